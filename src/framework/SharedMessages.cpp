#include "framework/SharedMessages.h"

#include "framework/OBXGlobals.h"
#include "platform/MsgBox.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextEdit>

namespace {

bool isLowerLetter(int code) { return code >= 97 && code <= 122; }

// The caret (start of the selection) of a text box and the box's text before it. The rules
// read no more than the character before the caret, so a multi-line box gives that one alone
// (as its plain text reads it) instead of copying its whole text at every key: a description
// may hold hundreds of megabytes.
bool readBox(const QWidget *box, QString &text, int &selStart) {
  if (const auto *line = qobject_cast<const QLineEdit *>(box)) {
    text = line->text();
    selStart = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
    return true;
  }
  const QTextDocument *document = nullptr;
  int caret = 0;
  if (const auto *plain = qobject_cast<const QPlainTextEdit *>(box)) {
    document = plain->document();
    caret = plain->textCursor().selectionStart();
  } else if (const auto *rich = qobject_cast<const QTextEdit *>(box)) {
    document = rich->document();
    caret = rich->textCursor().selectionStart();
  } else {
    return false;
  }
  text.clear();
  selStart = 0;
  if (caret > 0) {
    const char16_t before = document->characterAt(caret - 1).unicode();
    const bool lineBreak = before == QChar::ParagraphSeparator || before == QChar::LineSeparator ||
                           before == 0xfdd0 || before == 0xfdd1;
    text = QChar(lineBreak ? u'\n' : before == QChar::Nbsp ? u' ' : before);
    selStart = 1;
  }
  return true;
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
