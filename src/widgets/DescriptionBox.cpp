#include "widgets/DescriptionBox.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>
#include <limits>
#include <optional>

namespace {

// Beyond this run of characters without a blank, a line is broken anywhere.
constexpr int kLongestWord = 1000;
// The most characters of a block when a line is cut or lines share blocks: a key typed into
// such a block lays it out again in a few milliseconds.
constexpr qsizetype kBlockChars = 16 * 1024;
// A line is cut after the last blank in this many characters before the end of the block.
constexpr qsizetype kBlankWindow = kBlockChars / 4;
// Beyond this many characters the lines of a description share blocks: a million blocks
// would take seconds to make and more memory than the text.
constexpr qsizetype kLargeText = qsizetype(1) << 20;
// The block format property of a block that continues the line of the block before it.
// Every cut has a number of its own: a block split off a marked block (a line break typed
// or put in by the box) copies the mark, and is told apart by having the number of the
// block before it. The number is an int, which the document hashes by its value (a 64-bit
// number would share one hash with every other, and each new format would be compared with
// all formats before it).
constexpr int kContinues = QTextFormat::UserProperty + 1;
int lastCut = 0;

int nextCut() {
  lastCut = lastCut == std::numeric_limits<int>::max() ? 1 : lastCut + 1;
  return lastCut;
}

bool isBreak(char16_t c) {
  if (c > u'\r' && c < QChar::LineSeparator)
    return false; // nearly every character
  return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator ||
         c == 0xfdd0 || c == 0xfdd1; // the frame marks of a document
}

// The length of the line break at text[i]: 2 for CR LF, 1 for any other, 0 for none.
qsizetype breakAt(QStringView text, qsizetype i) {
  if (!isBreak(text[i].unicode()))
    return 0;
  return text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
}

// Follows the runs of characters without a blank.
struct WordRuns {
  int run = 0;
  bool tooLong = false;
  void see(QChar c) {
    if (!c.isSpace()) {
      ++run;
      return;
    }
    tooLong = tooLong || run > kLongestWord;
    run = 0;
  }
  bool longWord() const { return tooLong || run > kLongestWord; }
};

struct TextShape {
  bool longWord = false;
  bool longLine = false; // longer than a block
};

TextShape shapeOf(QStringView text) {
  WordRuns words;
  qsizetype line = 0;
  for (const QChar c : text) {
    words.see(c);
    if (isBreak(c.unicode()))
      line = 0;
    else if (++line > kBlockChars)
      return {false, true}; // written in blocks, which tell a long word by a cut inside it
  }
  return {words.longWord(), false};
}

// The end of the last whole character cluster in text[start, limit), limit < text.size().
qsizetype clusterEnd(QStringView text, qsizetype start, qsizetype limit) {
  constexpr qsizetype kAround = 64; // longer clusters are cut anyway
  const qsizetype from = std::max(start, limit - kAround);
  const qsizetype to = std::min(text.size(), limit + kAround);
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.sliced(from, to - from));
  finder.setPosition(limit - from);
  if (!finder.isAtBoundary())
    finder.toPreviousBoundary();
  if (finder.position() > 0)
    return from + finder.position();
  return text[limit].isLowSurrogate() ? limit - 1 : limit;
}

// Writes a text at a cursor in blocks of at most kBlockChars characters. A longer line is
// cut at the end of a block, after a blank near it if there is one (so the line ends as
// wrapping would end it), else between two clusters of characters. With shareBlocks the
// lines fill blocks, a line separator between two of them, and a block ends at the last
// line break before it is full.
class BlockWriter {
public:
  BlockWriter(QTextCursor &cursor, bool shareBlocks)
      : cursor_(cursor), shareBlocks_(shareBlocks), plain_(cursor.blockFormat()) {
    plain_.clearProperty(kContinues);
  }

  void write(QStringView text) { writeBlocks(text, true); }
  // A text that arrives in pieces: what a block cannot yet be made of waits for the next.
  // Pieces are written where they stand; only the characters that wait are copied.
  void add(QStringView piece) {
    if (!pending_.isEmpty()) {
      // Enough of the piece for the waiting characters to go into blocks.
      const qsizetype waiting = pending_.size();
      const qsizetype taken = std::min(piece.size(), 2 * kBlockChars + 2);
      pending_ += piece.first(taken);
      const qsizetype written = writeBlocks(pending_, false);
      if (written < waiting || taken == piece.size()) {
        pending_.remove(0, written);
        pending_ += piece.sliced(taken);
        return;
      }
      piece = piece.sliced(written - waiting);
    }
    pending_ = piece.sliced(writeBlocks(piece, false)).toString();
  }
  void finish() {
    writeBlocks(pending_, true);
    pending_ = QString();
  }

  // A line was cut inside a word: it has a word longer than a quarter of a block.
  bool longWord() const { return cutInWord_; }

private:
  // Writes the blocks of text, the last one too when the text is complete; returns where
  // the text still to be written begins.
  qsizetype writeBlocks(QStringView text, bool complete) {
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (;;) {
      // Deciding where a block ends takes the character after its end, and one more.
      if (!complete && n - start <= kBlockChars + 1)
        return start;
      const qsizetype limit = std::min(n, start + kBlockChars);
      qsizetype end = limit; // of the block's text
      qsizetype next = -1;   // the start of the next block; none after the last
      bool cut = false;
      if (!shareBlocks_) {
        for (qsizetype i = start; i < std::min(n, limit + 1); ++i)
          if (const qsizetype length = breakAt(text, i)) {
            end = i;
            next = i + length;
            break;
          }
      }
      if (next < 0 && limit < n) {
        qsizetype blank = -1;
        for (qsizetype i = limit; i > start && i >= limit - kBlankWindow; --i) {
          const QChar c = text[i];
          if (isBreak(c.unicode())) {
            const bool crlf = c == u'\n' && text[i - 1] == u'\r';
            end = crlf ? i - 1 : i;
            next = end + breakAt(text, end);
            break;
          }
          if (blank < 0 && i < limit && (c == u' ' || c == u'\t'))
            blank = i + 1;
        }
        if (next < 0) {
          cutInWord_ = cutInWord_ || blank < 0;
          end = next = blank > 0 ? blank : clusterEnd(text, start, limit);
          cut = true;
        }
      }
      insert(text.sliced(start, end - start));
      if (next < 0)
        return n;
      if (cut) {
        QTextBlockFormat continues = plain_;
        continues.setProperty(kContinues, nextCut());
        cursor_.insertBlock(continues);
      } else {
        cursor_.insertBlock(plain_);
      }
      start = next;
    }
  }

  // One block's text; its line breaks, when lines share the block, as line separators.
  void insert(QStringView piece) {
    const char16_t *in = piece.utf16();
    const qsizetype n = piece.size();
    qsizetype i = 0;
    while (shareBlocks_ && i < n && !isBreak(in[i]))
      ++i;
    if (i == n) {
      cursor_.insertText(QString::fromRawData(piece.data(), n)); // the cursor copies it
      return;
    }
    block_.resize(n);
    char16_t *out = std::copy(in, in + i, reinterpret_cast<char16_t *>(block_.data()));
    for (; i < n; ++i) {
      if (isBreak(in[i])) {
        i += breakAt(piece, i) - 1;
        *out++ = QChar::LineSeparator;
      } else {
        *out++ = in[i];
      }
    }
    block_.truncate(out - reinterpret_cast<const char16_t *>(block_.constData()));
    cursor_.insertText(block_);
  }

  QTextCursor &cursor_;
  const bool shareBlocks_;
  QTextBlockFormat plain_;
  QString block_;
  QString pending_; // of a text arriving in pieces
  bool cutInWord_ = false;
};

QTextOption::WrapMode wrapFor(bool longWord) {
  return longWord ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
}

QTextDocument *emptied(QPlainTextEdit *box) {
  box->clear(); // the text shown before goes first
  return box->document();
}

// A description written into a box in blocks, as one edit that cannot be undone; once
// written, the caret is at its start and it counts as unchanged.
class BoxWriting {
public:
  BoxWriting(QPlainTextEdit *box, bool shareBlocks)
      : box_(box), cursor_(emptied(box)), writer_(cursor_, shareBlocks) {
    box->document()->setUndoRedoEnabled(false);
    cursor_.beginEditBlock();
  }
  ~BoxWriting() {
    // The blocks are laid out at the end of the edit, in this mode.
    box_->setWordWrapMode(wrapFor(writer_.longWord()));
    cursor_.endEditBlock();
    QTextDocument *doc = box_->document();
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
    box_->setTextCursor(QTextCursor(doc));
  }
  BoxWriting(const BoxWriting &) = delete;
  BoxWriting &operator=(const BoxWriting &) = delete;

  BlockWriter &writer() { return writer_; }

private:
  QPlainTextEdit *box_;
  QTextCursor cursor_;
  BlockWriter writer_;
};

bool hasCuts(const QTextDocument *doc) {
  const QList<QTextFormat> formats = doc->allFormats();
  return std::any_of(formats.begin(), formats.end(),
                     [](const QTextFormat &f) { return f.hasProperty(kContinues); });
}

bool continuesLine(const QTextBlock &block) {
  const QVariant cut = block.blockFormat().property(kContinues);
  const QTextBlock before = block.previous();
  return cut.isValid() && before.isValid() && before.blockFormat().property(kContinues) != cut;
}

// Reads the document's characters from `offset` on, as held in text, as a description:
// line breaks as '\n' and the lines cut into blocks whole again.
void readLines(QString &text, const QTextDocument *doc, qsizetype offset) {
  for (QChar &c : text)
    if (isBreak(c.unicode()))
      c = u'\n';
  if (!hasCuts(doc))
    return;
  QChar *data = text.data();
  qsizetype in = 0, out = 0;
  for (QTextBlock block = doc->findBlock(int(offset)).next();
       block.isValid() && block.position() - 1 - offset < text.size(); block = block.next()) {
    if (!continuesLine(block))
      continue;
    const qsizetype at = block.position() - 1 - offset; // the break before the block
    if (in != out)
      std::copy(data + in, data + at, data + out);
    out += at - in;
    in = at + 1;
  }
  if (in != out)
    std::copy(data + in, data + text.size(), data + out);
  text.truncate(out + text.size() - in);
}

} // namespace

void setDescriptionText(QPlainTextEdit *box, QStringView text) {
  const bool large = text.size() > kLargeText;
  const TextShape shape = large ? TextShape{false, true} : shapeOf(text);
  if (!shape.longLine) {
    // The mode is chosen before the text arrives, so the text is laid out once.
    box->setWordWrapMode(wrapFor(shape.longWord));
    box->setPlainText(text.toString());
    return;
  }
  BoxWriting(box, large).writer().write(text);
}

void setDescriptionPieces(QPlainTextEdit *box,
                          const std::function<void(const TextPieces &)> &read) {
  box->clear();  // not held while the next is read
  QString whole; // until the text is known to be large
  std::optional<BoxWriting> large;
  read([&](QStringView piece) {
    if (large) {
      large->writer().add(piece);
      return;
    }
    whole += piece;
    if (whole.size() > kLargeText) {
      large.emplace(box, true);
      large->writer().add(whole);
      whole = QString();
    }
  });
  if (large)
    large->writer().finish();
  else
    setDescriptionText(box, whole);
}

QString descriptionText(const QPlainTextEdit *box) {
  QString text = box->document()->toRawText();
  readLines(text, box->document(), 0);
  return text;
}

bool readsAs(QStringView text, QStringView shown) {
  qsizetype i = 0;
  for (qsizetype j = 0; j < shown.size(); ++i, ++j) {
    if (i == text.size())
      return false;
    if (const qsizetype length = breakAt(shown, j)) {
      if (text[i] != u'\n')
        return false;
      j += length - 1;
    } else if (text[i] != shown[j]) {
      return false;
    }
  }
  return i == text.size();
}

DescriptionBox::DescriptionBox(QWidget *parent) : QPlainTextEdit(parent) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

std::optional<QString> DescriptionBox::changedFrom(QStringView shown) const {
  if (!document()->isModified())
    return std::nullopt;
  QString text = description();
  if (readsAs(text, shown))
    return std::nullopt;
  return text;
}

void DescriptionBox::keyPressEvent(QKeyEvent *event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && !isReadOnly() && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
      textCursor().blockFormat().hasProperty(kContinues)) {
    // The new line is a block of its own; the part before the caret keeps the mark.
    QTextCursor cursor = textCursor();
    QTextBlockFormat plain = cursor.blockFormat();
    plain.clearProperty(kContinues);
    cursor.insertBlock(plain);
    setTextCursor(cursor);
    ensureCursorVisible();
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

QMimeData *DescriptionBox::createMimeDataFromSelection() const {
  const QTextCursor cursor = textCursor();
  const QTextDocument *doc = document();
  if (!hasCuts(doc) ||
      doc->findBlock(cursor.selectionStart()) == doc->findBlock(cursor.selectionEnd()))
    return QPlainTextEdit::createMimeDataFromSelection();
  // A cut line is copied whole, no-break spaces as blanks as the box copies any text.
  QString text = cursor.selectedText();
  readLines(text, doc, cursor.selectionStart());
  text.replace(QChar::Nbsp, u' ');
  auto *data = new QMimeData;
  data->setText(text);
  return data;
}

void DescriptionBox::insertFromMimeData(const QMimeData *source) {
  const QString text = source && source->hasText() ? source->text() : QString();
  const bool large = text.size() > kLargeText;
  const TextShape shape = large ? TextShape{false, true} : shapeOf(text);
  if (!shape.longLine) {
    // Layout happens as the text goes in: a long pasted word switches the mode first. The
    // mode stays until the next description is shown.
    if (shape.longWord)
      setWordWrapMode(QTextOption::WrapAnywhere);
    QPlainTextEdit::insertFromMimeData(source);
    return;
  }
  QTextCursor cursor = textCursor();
  cursor.beginEditBlock();
  cursor.removeSelectedText();
  BlockWriter writer(cursor, large);
  writer.write(text);
  if (writer.longWord())
    setWordWrapMode(QTextOption::WrapAnywhere);
  cursor.endEditBlock();
  setTextCursor(cursor);
  ensureCursorVisible();
}
