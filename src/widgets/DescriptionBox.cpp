#include "widgets/DescriptionBox.h"

#include <QMimeData>
#include <QTextDocument>
#include <QTextOption>

namespace {

// Beyond this run of characters without a blank, a line is broken anywhere.
constexpr int kLongestWord = 1000;

bool hasLongWord(const QString &text) {
  int run = 0;
  for (const QChar c : text) {
    if (c.isSpace())
      run = 0;
    else if (++run > kLongestWord)
      return true;
  }
  return false;
}

} // namespace

void setDescriptionText(QPlainTextEdit *box, const QString &text) {
  // The mode is chosen before the text arrives, so the text is laid out once.
  box->setWordWrapMode(hasLongWord(text) ? QTextOption::WrapAnywhere
                                         : QTextOption::WrapAtWordBoundaryOrAnywhere);
  box->setPlainText(text);
}

QString descriptionText(const QPlainTextEdit *box) {
  QString text = box->document()->toRawText();
  for (QChar &c : text) {
    // A paragraph break, a line break typed with Shift+Enter, and the frame marks
    // toPlainText() also reads as line breaks.
    const char16_t u = c.unicode();
    if (u == QChar::ParagraphSeparator || u == QChar::LineSeparator || u == 0xfdd0 || u == 0xfdd1)
      c = u'\n';
  }
  return text;
}

DescriptionBox::DescriptionBox(QWidget *parent) : QPlainTextEdit(parent) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void DescriptionBox::insertFromMimeData(const QMimeData *source) {
  // Layout happens as the text goes in: a long pasted word switches the mode first. The
  // mode stays until the next description is shown.
  if (source && source->hasText() && hasLongWord(source->text()))
    setWordWrapMode(QTextOption::WrapAnywhere);
  QPlainTextEdit::insertFromMimeData(source);
}
