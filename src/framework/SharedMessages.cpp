#include "framework/SharedMessages.h"

#include "framework/OBXGlobals.h"
#include "platform/MsgBox.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

bool isLowerLetter(int code) { return code >= 97 && code <= 122; }

// The caret (start of the selection) and the text of a text box.
bool readBox(const QWidget *box, QString &text, int &selStart) {
  if (const auto *line = qobject_cast<const QLineEdit *>(box)) {
    text = line->text();
    selStart = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
    return true;
  }
  if (const auto *plain = qobject_cast<const QPlainTextEdit *>(box)) {
    text = plain->toPlainText();
    selStart = plain->textCursor().selectionStart();
    return true;
  }
  if (const auto *rich = qobject_cast<const QTextEdit *>(box)) {
    text = rich->toPlainText();
    selStart = rich->textCursor().selectionStart();
    return true;
  }
  return false;
}

class KeyFilterObject : public QObject {
public:
  KeyFilterObject(QObject *parent, KeyFilter filter) : QObject(parent), filter_(filter) {}

protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() != QEvent::KeyPress)
      return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const QString typed = key->text();
    if (typed.size() != 1 || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
      return false;
    const int code = typed.at(0).unicode();
    auto *box = qobject_cast<QWidget *>(watched);
    const int replaced =
        filter_ == KeyFilter::CapFirst ? CapFirstKey(box, code) : CapWordKey(box, code);
    if (replaced == code)
      return false;
    // The box receives the replaced character instead of the typed one.
    QKeyEvent substitute(QEvent::KeyPress, Qt::Key_A + (replaced - 'A'),
                         key->modifiers() | Qt::ShiftModifier, QString(QChar(replaced)),
                         key->isAutoRepeat(), key->count());
    QCoreApplication::sendEvent(watched, &substitute);
    return true;
  }

private:
  KeyFilter filter_;
};

} // namespace

int capFirstKey(const QString &, int selStart, int code) {
  if (isLowerLetter(code) && selStart == 0)
    return code - 32;
  return code;
}

int capWordKey(const QString &text, int selStart, int code) {
  if (!isLowerLetter(code))
    return code;
  if (selStart == 0)
    return code - 32;
  // The character just before the caret: a blank or a control character starts a word.
  if (selStart <= text.size() && text.at(selStart - 1).unicode() < '!')
    return code - 32;
  return code;
}

int CapFirstKey(const QWidget *box, int code) {
  QString text;
  int selStart = 0;
  return readBox(box, text, selStart) ? capFirstKey(text, selStart, code) : code;
}

int CapWordKey(const QWidget *box, int code) {
  QString text;
  int selStart = 0;
  return readBox(box, text, selStart) ? capWordKey(text, selStart, code) : code;
}

void installKeyFilter(QWidget *box, KeyFilter filter) {
  box->installEventFilter(new KeyFilterObject(box, filter));
}

void MsgDatabaseEmpty(const OBXGlobals &g) {
  MsgBox(QStringLiteral("The Database Is Empty!") + msgbox::kNewLine +
             QStringLiteral("Click OK To Add Your First Record."),
         msgbox::vbCritical + msgbox::vbOKOnly, g.gMsgTitle);
}

void MsgOops(const OBXGlobals &g) {
  MsgBox(QStringLiteral("Oops! That was not supposed to happen!") + msgbox::kNewLine +
             QStringLiteral("There is a problem here, please report it."),
         msgbox::vbCritical + msgbox::vbOKOnly, g.gMsgTitle);
}

void MsgNotBlank(const OBXGlobals &g) {
  MsgBox(g.gBlankField + QStringLiteral(" can NOT be Blank!") + msgbox::kNewLine +
             QStringLiteral("Please Try Again."),
         msgbox::vbCritical + msgbox::vbOKOnly, g.gMsgTitle);
}
