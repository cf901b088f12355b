#include "widgets/AccessibleNames.h"

#include "widgets/AccessKeys.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>
#include <cstdlib>
#include <limits>

namespace {

const char *const kHeading = "obxHeading";

// How far a label may stand from its control, in pixels.
constexpr int kBesideGap = 24;
// How far the left edge of a label above may be from the control's left edge.
constexpr int kAboveIndent = 24;

QRect rectIn(const QWidget *widget, const QWidget *area) {
  return QRect(widget->mapTo(area, QPoint(0, 0)), widget->size());
}

// The distance from the label to the control when it stands beside it, or -1.
int besideDistance(const QRect &label, const QRect &control) {
  const int labelMiddle = label.center().y();
  const bool sameRow = labelMiddle >= control.top() && labelMiddle <= control.bottom();
  const int leftGap = control.left() - label.right() - 1;
  if (sameRow && leftGap >= 0 && leftGap <= kBesideGap)
    return leftGap;
  const int aboveGap = control.top() - label.bottom() - 1;
  if (aboveGap >= 0 && aboveGap <= kBesideGap &&
      std::abs(label.left() - control.left()) <= kAboveIndent)
    return aboveGap;
  return -1;
}

QLabel *labelBeside(QWidget *control, QWidget *area) {
  const QRect place = rectIn(control, area);
  QLabel *best = nullptr;
  int bestDistance = std::numeric_limits<int>::max();
  for (QLabel *label : area->findChildren<QLabel *>()) {
    if (label->window() != area->window() || label->text().trimmed().isEmpty() ||
        !label->pixmap().isNull() || label->property(kHeading).toBool())
      continue;
    const int distance = besideDistance(rectIn(label, area), place);
    if (distance >= 0 && distance < bestDistance) {
      best = label;
      bestDistance = distance;
    }
  }
  return best;
}

// The title of the frame the control stands in, if any.
QString frameTitle(const QWidget *control, const QWidget *area) {
  for (const QWidget *w = control->parentWidget(); w && w != area; w = w->parentWidget())
    if (auto *frame = qobject_cast<const QGroupBox *>(w))
      return frame->title().trimmed();
  return {};
}

bool namedByCaption(const QWidget *control) {
  if (auto *button = qobject_cast<const QAbstractButton *>(control))
    return !accessKeys::plainCaption(button->text()).trimmed().isEmpty();
  if (auto *box = qobject_cast<const QGroupBox *>(control))
    return !box->title().trimmed().isEmpty();
  return false;
}

// The controls of area a user can reach with the keyboard (visible or not yet); the parts
// inside a combo box or a spin box are left out.
QList<QWidget *> reachableControls(QWidget *area) {
  QList<QWidget *> controls;
  for (QWidget *w : area->findChildren<QWidget *>()) {
    if (w->window() != area->window() || !(w->focusPolicy() & Qt::TabFocus))
      continue;
    const QWidget *parent = w->parentWidget();
    if (qobject_cast<const QComboBox *>(parent) || qobject_cast<const QAbstractSpinBox *>(parent))
      continue;
    controls << w;
  }
  return controls;
}

} // namespace

void markAsHeading(QLabel *label) { label->setProperty(kHeading, true); }

void nameControlsForAccessibility(QWidget *area) {
  for (QWidget *control : reachableControls(area)) {
    // Qt reads a tool-tip as the description of most controls, not of every one (lists).
    if (control->accessibleDescription().isEmpty())
      control->setAccessibleDescription(control->toolTip());
    if (!control->accessibleName().isEmpty() || namedByCaption(control))
      continue;
    if (const QString title = frameTitle(control, area); !title.isEmpty()) {
      control->setAccessibleName(title);
    } else if (QLabel *label = labelBeside(control, area)) {
      control->setAccessibleName(label->text().trimmed());
      label->setBuddy(control);
    } else if (!control->toolTip().isEmpty()) {
      control->setAccessibleName(control->toolTip());
    }
  }
}
