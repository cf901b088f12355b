#pragma once
// How the maintenance screens dress their text boxes: the tint that says what a box is
// for, the grey of a box a screen does not use, and the multi-line description box.

#include <QPlainTextEdit>
#include <QString>

class QWidget;

// Light yellow for what is being added, light green for what is being edited, light red
// for what is about to be deleted.
enum class BoxTint { Add, Edit, Delete };

void tintBox(QWidget *box, BoxTint tint);
// Grey, disabled and empty: a box that a screen shows but has no use for.
void makeUnusedBox(QWidget *box);

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
