// Names made safe for criteria texts, the key filters on real key presses, and the
// standard messages.
#include "support/TestProgram.h"

#include "framework/SharedMessages.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(QuoteToTick, ReplacesEveryApostropheAndLeavesOtherTextAlone) {
  EXPECT_EQ(tips::QuoteToTick("Ann's ''tips'' "), "Ann`s ``tips`` ");
  EXPECT_EQ(tips::QuoteToTick("No quote here `"), "No quote here `");
  EXPECT_EQ(tips::QuoteToTick(""), "");
}

// Types into a fresh text box carrying the filter, through real key events.
QString typed(KeyFilter filter, const QString &text, QWidget *box = nullptr) {
  std::unique_ptr<QWidget> owned;
  if (!box) {
    owned = std::make_unique<QLineEdit>();
    box = owned.get();
    installKeyFilter(box, filter);
  }
  QTest::keyClicks(box, text);
  if (auto *line = qobject_cast<QLineEdit *>(box))
    return line->text();
  return qobject_cast<QPlainTextEdit *>(box)->toPlainText();
}

TEST(KeyFilters, RaiseTheRightLettersAsTheyAreTyped) {
  EXPECT_EQ(typed(KeyFilter::CapWord, "john smith"), "John Smith");
  EXPECT_EQ(typed(KeyFilter::CapFirst, "john smith"), "John smith");
  // A letter after a hyphen stays lower case; capitals and digits are never changed.
  EXPECT_EQ(typed(KeyFilter::CapWord, "mary-jane o'neil"), "Mary-jane O'neil");
  EXPECT_EQ(typed(KeyFilter::CapFirst, "-x"), "-x");
  EXPECT_EQ(typed(KeyFilter::CapWord, "3 kings AND queens"), "3 Kings AND Queens");
  EXPECT_EQ(typed(KeyFilter::CapFirst, "ABC def"), "ABC def");
  // A tab or another control character before the caret starts a word too.
  EXPECT_EQ(capWordKey("a\tb", 2, 'c'), 'C');
  EXPECT_EQ(capWordKey("a!", 2, 'c'), 'c');
  EXPECT_EQ(capWordKey("x", 1, '1'), '1');
}

TEST(KeyFilters, ApplyWhereTheCaretIsAfterItWasMovedBack) {
  for (KeyFilter filter : {KeyFilter::CapFirst, KeyFilter::CapWord}) {
    QLineEdit box;
    installKeyFilter(&box, filter);
    box.setText("ohn");
    QTest::keyClick(&box, Qt::Key_Home);
    QTest::keyClicks(&box, "j");
    EXPECT_EQ(box.text(), "John");
    EXPECT_EQ(box.cursorPosition(), 1);
  }
  QLineEdit box;
  installKeyFilter(&box, KeyFilter::CapWord);
  box.setText("new ork");
  for (int i = 0; i < 3; ++i)
    QTest::keyClick(&box, Qt::Key_Left);
  QTest::keyClicks(&box, "y");
  EXPECT_EQ(box.text(), "new York");
  // With a selection the caret is its start.
  box.setSelection(0, 3);
  QTest::keyClicks(&box, "old");
  EXPECT_EQ(box.text(), "Old York");
}

TEST(KeyFilters, WorkInMultiLineBoxes) {
  QPlainTextEdit box;
  installKeyFilter(&box, KeyFilter::CapFirst);
  EXPECT_EQ(typed(KeyFilter::CapFirst, "first line", &box), "First line");
}

TEST(SharedMessages, ShowTheirTextsWithAStopIconAndTheScreenTitle) {
  msgbox::Script script;
  OBXGlobals g;
  g.gMsgTitle = "User Details Record";
  g.gBlankField = "City";
  MsgNotBlank(g);
  MsgOops(g);
  MsgDatabaseEmpty(g);
  const auto &shown = script.shown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].prompt, "City can NOT be Blank!\r\nPlease Try Again.");
  EXPECT_EQ(shown[1].prompt,
            "Oops! That was not supposed to happen!\r\nThere is a problem here, please report it.");
  EXPECT_EQ(shown[2].prompt, "The Database Is Empty!\r\nClick OK To Add Your First Record.");
  for (const auto &m : shown) {
    EXPECT_EQ(m.style, 16);
    EXPECT_EQ(m.title, "User Details Record");
  }
}

} // namespace
