#pragma once
// The multi-line description box, and the showing and reading of a description in any
// multi-line box.

#include <QPlainTextEdit>
#include <QString>

// Shows a description in any multi-line box. Breaking a very long line at word boundaries
// takes time that grows with the square of its length (a 1 MB line without a blank froze
// a screen for more than a minute); such a text is broken anywhere instead, which is as
// quick as ordinary text.
void setDescriptionText(QPlainTextEdit *box, const QString &text);
// The text of a multi-line box with its line breaks as '\n' and every other character as
// it stands; toPlainText() would also turn each no-break space into a blank.
QString descriptionText(const QPlainTextEdit *box);

// The multi-line description box, with its vertical scroll bar. Text shown or pasted is
// laid out as setDescriptionText does, so neither freezes the screen.
class DescriptionBox : public QPlainTextEdit {
  Q_OBJECT
public:
  explicit DescriptionBox(QWidget *parent = nullptr);
  void setDescription(const QString &text) { setDescriptionText(this, text); }
  QString description() const { return descriptionText(this); }

protected:
  void insertFromMimeData(const QMimeData *source) override;
};
