#pragma once
// The multi-line description box, and the showing and reading of a description in any
// multi-line box.
//
// A multi-line box lays out each of its blocks (paragraphs) as a whole, again at every key
// typed into it, and every block costs some microseconds and a few hundred bytes to make.
// A description of ordinary size is shown one line a block, as the box itself would show it.
// A line longer than a block may be (16,384 characters) is cut into several blocks, each
// marked as continuing the line of the block before it, and in a description of more than
// a million characters the lines share blocks, with line separators (U+2028) between them.
// Reading the box back joins the cut lines again, so that what is read is what was shown.

#include <QPlainTextEdit>
#include <QString>
#include <QStringView>
#include <functional>
#include <optional>

// Takes the pieces of a text in order.
using TextPieces = std::function<void(QStringView piece)>;

// Shows a description in any multi-line box. Breaking a very long line at word boundaries
// takes time that grows with the square of its length (a 1 MB line without a blank froze
// a screen for more than a minute); such a text is broken anywhere instead, which is as
// quick as ordinary text.
void setDescriptionText(QPlainTextEdit *box, QStringView text);
// Shows a description that read(take) hands to take in pieces as it reads them: a large one
// goes into the box piece by piece and is never held whole beside it; any other is shown as
// setDescriptionText shows it. The description shown before goes first.
void setDescriptionPieces(QPlainTextEdit *box, const std::function<void(const TextPieces &)> &read);
// The text of a multi-line box with its line breaks as '\n' and every other character as
// it stands; toPlainText() would also turn each no-break space into a blank.
QString descriptionText(const QPlainTextEdit *box);
// Whether text is what a box showing `shown` reads back: each line break of `shown` (LF,
// CR LF, CR, the line and paragraph separators) as one '\n', every other character as it
// stands.
bool readsAs(QStringView text, QStringView shown);

// The multi-line description box, with its vertical scroll bar. Text shown or pasted is
// laid out as setDescriptionText does, so neither freezes the screen.
class DescriptionBox : public QPlainTextEdit {
  Q_OBJECT
public:
  explicit DescriptionBox(QWidget *parent = nullptr);
  void setDescription(QStringView text) { setDescriptionText(this, text); }
  void setDescription(const std::function<void(const TextPieces &)> &read) {
    setDescriptionPieces(this, read);
  }
  QString description() const { return descriptionText(this); }
  // The text as the box reads it back, when that is no longer what setDescription(shown)
  // left; nothing when it is (nothing typed since, or what was typed taken back). shown:
  // the text last shown.
  std::optional<QString> changedFrom(QStringView shown) const;

protected:
  void keyPressEvent(QKeyEvent *event) override;
  QMimeData *createMimeDataFromSelection() const override;
  void insertFromMimeData(const QMimeData *source) override;
};
