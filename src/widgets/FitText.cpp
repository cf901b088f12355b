#include "widgets/FitText.h"

#include <QFontMetrics>
#include <QResizeEvent>

namespace {

// The font a control was given before any fitting, kept on the control.
constexpr const char *kNormalSize = "obxNormalPointSize";
constexpr double kMinimumPointSize = 6.0;

} // namespace

void fitFontToWidth(QWidget *control, const QString &text, int margin) {
  QVariant normal = control->property(kNormalSize);
  if (!normal.isValid()) {
    normal = control->font().pointSizeF();
    control->setProperty(kNormalSize, normal);
  }
  QFont font = control->font();
  double size = normal.toDouble();
  if (size <= 0)
    return; // a pixel-sized font: left as it is
  const int available = control->width() - 2 * margin;
  font.setPointSizeF(size);
  while (size > kMinimumPointSize && QFontMetrics(font).horizontalAdvance(text) > available) {
    size -= 0.5;
    font.setPointSizeF(size);
  }
  if (font != control->font())
    control->setFont(font);
}

FitLabel::FitLabel(const QString &text, QWidget *parent) : QLabel(text, parent) {}

void FitLabel::setFitText(const QString &text) {
  setText(text);
  fitFontToWidth(this, text);
}

void FitLabel::resizeEvent(QResizeEvent *event) {
  QLabel::resizeEvent(event);
  fitFontToWidth(this, text());
}
