// Descriptions too large for one block a line: a line longer than a block is cut into
// blocks and, beyond a million characters, lines share blocks. What the box reads back is
// what it was given, whatever is typed around a cut; a description of ordinary size is
// shown one block a line as before; and the edit screen saves a large description it did
// not change byte for byte.
#include "SameText.h"
#include "support/MaintenanceFixture.h"
#include "widgets/DescriptionBox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QTextBlock>

namespace {

using namespace Qt::Literals::StringLiterals;
using msgbox::vbNo;
using msgbox::vbOK;

constexpr int kBlockChars = 16 * 1024;

QString repeated(const QString &unit, qsizetype size) {
  QString text;
  while (text.size() < size)
    text += unit;
  return text;
}

QString words(qsizetype size) { return repeated(u"lorem ipsum dolor sit amet "_s, size); }

// Line breaks of every kind as the box reads them back: one '\n' each.
QString readBack(QString text) {
  text.replace("\r\n", "\n");
  for (const QChar c :
       {QChar(u'\r'), QChar(QChar::ParagraphSeparator), QChar(QChar::LineSeparator)})
    text.replace(c, u'\n');
  return text;
}

TEST(LargeDescription, IsReadBackAsShownInBlocksThatKeepCharactersTogether) {
  // Lines with no-break spaces and empty lines, breaks of every kind, a line of words and
  // a run without blanks each longer than a block, clusters of several characters (a
  // surrogate pair, a combining mark) wherever a cut may fall.
  QString text;
  while (text.size() < 1'200'000) {
    text += u"Line\u00A0one\n\nCR LF\r\nCR\rparagraph\u2029line\u2028"_s;
    text += words(40'000) + '\n';
    text += repeated(u"x\U0001F600e\u0301"_s, 40'000) + '\n';
  }
  text += "end";
  DescriptionBox box;
  box.setDescription(text);
  EXPECT_TRUE(same(box.description(), readBack(text)));
  EXPECT_TRUE(readsAs(box.description(), text));
  EXPECT_FALSE(box.changedFrom(text).has_value());
  for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
    ASSERT_LE(block.length(), kBlockChars + 1);
    const QString blockText = block.text();
    const QChar first = blockText.isEmpty() ? QChar() : blockText[0];
    ASSERT_FALSE(first.isLowSurrogate() || first.isMark()) << "block " << block.blockNumber();
  }

  // Shown once: a second description replaces the first.
  box.setDescription(u"Small"_s);
  EXPECT_EQ(box.description(), "Small");
}

TEST(LargeDescription, ShownAsItIsReadInPiecesIsShownAsWhenGivenWhole) {
  // CR LF breaks that pieces split, lines longer than a block.
  const QString text = repeated(
      u"Short line\r\n"_s + words(20'000) + "\r\n" + QString(30'000, 'x') + "\n\r\n", 1'100'000);
  DescriptionBox whole;
  whole.setDescription(text);
  for (const qsizetype size : {qsizetype(7), qsizetype(kBlockChars + 1), qsizetype(1) << 20}) {
    SCOPED_TRACE(size);
    DescriptionBox box;
    box.setDescription([&](const TextPieces &take) {
      for (qsizetype at = 0; at < text.size(); at += size)
        take(QStringView(text).sliced(at, std::min(size, text.size() - at)));
    });
    EXPECT_TRUE(same(box.document()->toRawText(), whole.document()->toRawText()));
    EXPECT_TRUE(same(box.description(), readBack(text)));
    EXPECT_EQ(box.wordWrapMode(), QTextOption::WrapAnywhere); // the run was cut inside
  }
  // A small description in pieces is shown as any other.
  DescriptionBox small;
  small.setDescription([](const TextPieces &take) {
    for (const QChar c : u"One\r\nTwo"_s)
      take(QStringView(&c, 1));
  });
  EXPECT_EQ(small.blockCount(), 2);
  EXPECT_EQ(small.description(), "One\nTwo");
}

TEST(LargeDescription, OfOrdinarySizeIsShownOneBlockALine) {
  DescriptionBox box;
  box.setDescription(u"One\r\nTwo\rThree\u2029Four\u00A0x "_s + QString(900, 'y'));
  EXPECT_EQ(box.blockCount(), 4);
  EXPECT_EQ(box.description(), u"One\nTwo\nThree\nFour\u00A0x "_s + QString(900, 'y'));
  EXPECT_EQ(box.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
  // A long word breaks anywhere, a whole line still one block.
  box.setDescription(u"a "_s + QString(kBlockChars - 2, 'x'));
  EXPECT_EQ(box.blockCount(), 1);
  EXPECT_EQ(box.wordWrapMode(), QTextOption::WrapAnywhere);
}

// A line of words cut into three blocks, edited around the first cut.
class EditedAroundACut : public ::testing::Test {
protected:
  const QString line = words(40'000);
  DescriptionBox box;
  int cut = 0; // the position of the second block: the cut falls just before it

  void SetUp() override {
    box.setDescription(line);
    ASSERT_EQ(box.blockCount(), 3);
    cut = box.document()->begin().next().position();
  }
  // The line as the box should read with `typed` in place of its characters [from, to).
  QString lineWith(qsizetype from, qsizetype to, const QString &typed) const {
    return line.left(from) + typed + line.mid(to);
  }
  void select(int from, int to) {
    QTextCursor cursor(box.document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
  }
  void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&box, Qt::Key(key), modifiers);
  }
  void undo() { key(Qt::Key_Z, Qt::ControlModifier); }
};

TEST_F(EditedAroundACut, BackspaceAtACutRemovesNoCharacterAndUndoKeepsTheLineWhole) {
  select(cut, cut);
  key(Qt::Key_Backspace);
  EXPECT_TRUE(same(box.description(), line));
  undo();
  EXPECT_TRUE(same(box.description(), line));
  key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); // redo
  EXPECT_TRUE(same(box.description(), line));
}

TEST_F(EditedAroundACut, EnterAndPastedLineBreaksGoInWhereTyped) {
  const qsizetype at = cut - 1 + 10; // the line's characters before the caret
  select(cut + 10, cut + 10);
  key(Qt::Key_Return);
  EXPECT_TRUE(same(box.description(), lineWith(at, at, "\n")));
  undo();
  EXPECT_TRUE(same(box.description(), line));
  EXPECT_FALSE(box.changedFrom(line).has_value());

  QGuiApplication::clipboard()->setText("A\nB");
  select(cut + 10, cut + 10);
  key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_TRUE(same(box.description(), lineWith(at, at, "A\nB")));
  // Then Enter before the pasted text: each break stays where it went in.
  select(cut + 10, cut + 10);
  key(Qt::Key_Return);
  EXPECT_TRUE(same(box.description(), lineWith(at, at, "\nA\nB")));
  EXPECT_TRUE(box.changedFrom(line).has_value());
}

TEST_F(EditedAroundACut, ASelectionOverACutIsCopiedAndTypedOverAsTheTextItCovers) {
  select(cut - 5, cut + 5);
  key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), line.mid(cut - 5, 9));
  key(Qt::Key_Q);
  EXPECT_TRUE(same(box.description(), lineWith(cut - 5, cut + 4, "q")));
  EXPECT_TRUE(box.changedFrom(line).has_value());
  undo();
  EXPECT_FALSE(box.changedFrom(line).has_value());
}

class LargeDescriptionOnScreens : public OnMaintenance {
protected:
  void SetUp() override {
    OnMaintenance::SetUp();
    useGroups({{"Vim", {"Macros"}}});
  }
};

TEST_F(LargeDescriptionOnScreens, IsShownWholeAndSavedUnchangedWhenOnlyTheSubjectChanges) {
  // Stored by another program: CR LF line breaks, blanks around it, a line longer than a
  // block, more than a million characters.
  const QString stored =
      "  " + repeated(u"Tip line\u00A0with CR LF\r\n"_s, 1'100'000) + words(50'000) + "\r\n";
  t.sql("UPDATE Tips SET TIP_DESCRIPTION = '" + stored + "' WHERE TIP_SUBJECT = 'Macros'");
  t.restart();
  t.choose("Combo1", "Vim");
  EXPECT_TRUE(same(t.control<DescriptionBox>("txtDescription")->description(), readBack(stored)));

  t.triggerMenu("mnuEditSubjectItem");
  t.choose("Combo1", "Vim");
  t.click("cmdClickNext");
  ASSERT_EQ(t.activeName(), "frmEditSubject2");
  auto *box = t.control<DescriptionBox>("txtDescriptionEdit");
  EXPECT_TRUE(same(box->description(), readBack(stored.trimmed())));
  t.control<QLineEdit>("txtSubjectEdit")->setText("Recorded macros");
  t.messages().queue(vbNo);
  t.click("cmdSaveEditSubject");
  const QList<QStringList> saved =
      rows("SELECT TIP_DESCRIPTION FROM Tips WHERE TIP_SUBJECT = 'Recorded macros'");
  ASSERT_EQ(saved.size(), 1);
  EXPECT_TRUE(same(saved[0][0], stored));

  // A character typed: the description is saved as the box holds it.
  t.triggerMenu("mnuEditSubjectItem");
  t.choose("Combo1", "Vim");
  t.click("cmdClickNext");
  ASSERT_EQ(t.activeName(), "frmEditSubject2");
  t.type("txtDescriptionEdit", "!");
  t.messages().queue(vbOK);
  t.messages().queue(vbNo);
  t.click("cmdSaveEditSubject");
  EXPECT_TRUE(
      same(rows("SELECT TIP_DESCRIPTION FROM Tips")[0][0], "!" + readBack(stored.trimmed())));
}

} // namespace
