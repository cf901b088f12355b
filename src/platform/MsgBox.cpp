#include "platform/MsgBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace msgbox {
namespace {

Script *activeScript = nullptr;

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

  QMessageBox box(QApplication::activeWindow());
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
