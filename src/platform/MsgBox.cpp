#include "platform/MsgBox.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

namespace msgbox {
namespace {

Script *activeScript = nullptr;
// Every owner installed, the last one counts; any of them may go first.
std::vector<Owner *> &owners() {
  static std::vector<Owner *> installed;
  return installed;
}

// The window in front: a box already open, the active window, else the program's window.
QWidget *ownerWindow() {
  if (QWidget *modal = QApplication::activeModalWidget())
    return modal;
  if (QWidget *active = QApplication::activeWindow())
    return active;
  return owners().empty() ? nullptr : owners().back()->window();
}

// A message box sizes itself by its text alone; a spacer across its layout keeps it as
// wide as its title needs on a window manager's title bar.
void makeRoomForTitle(QMessageBox &box) {
  QFont titleFont = box.font();
  titleFont.setBold(true);
  const int wanted = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarExtra;
  if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
    grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

int firstButton(int style) {
  switch (style & 7) {
  case vbYesNoCancel:
  case vbYesNo:
    return vbYes;
  default:
    return vbOK;
  }
}

} // namespace

Owner::Owner(std::function<QWidget *()> window) : window_(std::move(window)) {
  owners().push_back(this);
}
Owner::~Owner() { std::erase(owners(), this); }

Script::Script() : previous_(activeScript) { activeScript = this; }
Script::~Script() { activeScript = previous_; }

int Script::take(const ShownMessage &message) {
  shown_.push_back(message);
  if (answers_.empty())
    return firstButton(message.style);
  const int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

int MsgBox(const QString &prompt, int style, const QString &title) {
  const QString shownTitle = title.isEmpty() ? QStringLiteral("Ombrix Tips") : title;
  if (activeScript)
    return activeScript->take({prompt, style, shownTitle});

  QWidget *owner = ownerWindow();
  QMessageBox box(owner ? owner->window() : nullptr);
  box.setWindowTitle(shownTitle);
  // Lines come joined by CR LF; Qt wants plain line feeds.
  QString text = prompt;
  text.replace(kNewLine, QStringLiteral("\n"));
  box.setText(text);
  switch (style & 0x70) {
  case vbCritical:
    box.setIcon(QMessageBox::Critical);
    break;
  case vbQuestion:
    box.setIcon(QMessageBox::Question);
    break;
  case vbExclamation:
    box.setIcon(QMessageBox::Warning);
    break;
  case vbInformation:
    box.setIcon(QMessageBox::Information);
    break;
  default:
    box.setIcon(QMessageBox::NoIcon);
  }
  struct Choice {
    QMessageBox::StandardButton button;
    int answer;
  };
  std::vector<Choice> choices;
  switch (style & 7) {
  case vbOKCancel:
    choices = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
    break;
  case vbYesNoCancel:
    choices = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
    break;
  case vbYesNo:
    choices = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
    break;
  default:
    choices = {{QMessageBox::Ok, vbOK}};
  }
  QMessageBox::StandardButtons buttons;
  for (const Choice &c : choices)
    buttons |= c.button;
  box.setStandardButtons(buttons);
  box.setDefaultButton(choices.front().button);
  makeRoomForTitle(box);
  // The override cursor (hourglass) would hide the pointer over the box.
  const bool busy = QApplication::overrideCursor() != nullptr;
  if (busy)
    QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int pressed = box.exec();
  if (busy)
    QApplication::restoreOverrideCursor();
  for (const Choice &c : choices)
    if (c.button == pressed)
      return c.answer;
  // Closed with Esc or the window frame: the box's cancelling answer.
  for (const Choice &c : choices)
    if (c.answer == vbCancel)
      return vbCancel;
  return (style & 7) == vbYesNo ? vbNo : vbOK;
}

} // namespace msgbox
