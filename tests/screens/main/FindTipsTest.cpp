// The Find Tips screen: reached by Ctrl+F, lists matches as the user types, and hands the
// chosen tip to the main screen; an index that is missing or behind is built first.
#include "support/TestProgram.h"

#include "framework/Screen.h"
#include "framework/Screens.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class FindTips : public ::testing::Test {
protected:
  TestProgram t;
  void SetUp() override {
    t.setUserDetails();
    t.sql("INSERT INTO \"Group\"(TIP_GROUP) VALUES ('Zebra care')");
    const QString zebra =
        t.rows("SELECT GROUP_ID FROM \"Group\" WHERE TIP_GROUP = 'Zebra care'")[0][0];
    t.sql(QString("INSERT INTO Tips(GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION) VALUES "
                  "(%1, 'Feeding', 'Zorbleberry hay twice a day.'), "
                  "(%1, 'Stripes', 'Brush them gently; never use a Xylofine comb.'), "
                  "(%1, 'Water', 'Fresh glimmerwater, every morning.')")
              .arg(zebra));
    t.start();
    ASSERT_EQ(t.activeName(), "frmOmbrixShow");
  }
  void openFind() {
    QTest::keyClick(t.active(), Qt::Key_F, Qt::ControlModifier);
    t.settle();
    ASSERT_EQ(t.activeName(), "frmFindTips");
  }
};

TEST_F(FindTips, CtrlFOpensTheScreenNearTheEndOfTheToolsMenu) {
  QAction *item =
      t.program().screens().find("frmOmbrixShow")->findChild<QAction *>("mnuFindTipsItem");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(t.text("mnuFindTipsItem"), "Find Tips..."); // the caption without its access key
  QMenu *tools = t.active()->findChild<QMenu *>("mnuToolsItem");
  ASSERT_NE(tools, nullptr);
  EXPECT_EQ(tools->actions().at(tools->actions().size() - 2), item); // Undo Last Import last
  openFind();
  EXPECT_EQ(t.active()->windowTitle(), "Find Tips Screen");
  EXPECT_TRUE(QFile::exists(t.file("ombrixtips.idx"))); // built on the way in
}

TEST_F(FindTips, ResultsFollowTheTypingWithTheFirstChosen) {
  openFind();
  t.type("txtFind", "xylo");
  const QStringList found = t.entries("lstResults");
  ASSERT_EQ(found.size(), 1);
  EXPECT_TRUE(found[0].startsWith("Stripes")) << found[0].toStdString();
  EXPECT_TRUE(found[0].contains("Zebra care"));
  EXPECT_TRUE(found[0].contains("Xylofine comb"));
  EXPECT_EQ(t.text("lblFound"), "1 Tip Found");
  EXPECT_EQ(t.control<QListWidget>("lstResults")->currentRow(), 0);
  EXPECT_TRUE(t.control<QPushButton>("cmdShowTip")->isEnabled());

  t.control<QLineEdit>("txtFind")->clear();
  t.type("txtFind", "zzzq");
  EXPECT_TRUE(t.entries("lstResults").isEmpty());
  EXPECT_EQ(t.text("lblFound"), "0 Tips Found");
  EXPECT_FALSE(t.control<QPushButton>("cmdShowTip")->isEnabled());
  QTest::keyClick(t.control("txtFind"), Qt::Key_Return); // nothing to show: stays
  EXPECT_EQ(t.activeName(), "frmFindTips");
}

TEST_F(FindTips, EachWayOfChoosingShowsTheTipOnTheMainScreen) {
  const auto expectShown = [&](const char *subject) {
    ASSERT_EQ(t.activeName(), "frmOmbrixShow");
    EXPECT_EQ(t.text("Combo1"), "Zebra care");
    EXPECT_EQ(t.text("Combo2"), subject);
    EXPECT_FALSE(t.g().gShowRequested);
  };
  openFind();
  t.type("txtFind", "glimmer");
  t.click("cmdShowTip");
  expectShown("Water");

  openFind();
  t.type("txtFind", "zorble");
  QTest::keyClick(t.control("txtFind"), Qt::Key_Return);
  t.settle();
  expectShown("Feeding");

  openFind();
  t.type("txtFind", "xylofine brush");
  t.doubleClick("lstResults", t.entries("lstResults").value(0));
  expectShown("Stripes");

  openFind();
  t.type("txtFind", "zebra");
  EXPECT_TRUE(t.entries("lstResults").isEmpty()); // group names are not searched
  t.click("cmdShowTips");
  ASSERT_EQ(t.activeName(), "frmOmbrixShow");
  // Left without a choice: the main screen opens as it always does, on its first group.
  EXPECT_EQ(t.control<QComboBox>("Combo1")->currentIndex(), 0);
}

TEST_F(FindTips, AnIndexLeftBehindIsBuiltAgainBeforeTheSearch) {
  openFind();
  t.click("cmdShowTips");
  // Another program adds a tip while the index sits on disk.
  t.sql("INSERT INTO Tips(GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION) SELECT GROUP_ID, "
        "'Quagga', 'Extinct cousin.' FROM \"Group\" WHERE TIP_GROUP = 'Zebra care'");
  openFind();
  t.type("txtFind", "quag");
  EXPECT_EQ(t.entries("lstResults").size(), 1);
}

TEST_F(FindTips, ASearchThatFailsAfterARebuildSaysTheSearchIsUnavailable) {
  openFind();
  t.type("txtFind", "xylo");
  ASSERT_EQ(t.entries("lstResults").size(), 1);
  // Another program takes away what the search reads beside the index: a rebuild of the
  // index cannot mend that, so the screen tries once and then says so.
  t.sql("ALTER TABLE \"Group\" RENAME TO \"Group_gone\"");
  t.type("txtFind", "f");
  EXPECT_EQ(t.entries("lstResults").size(), 0);
  EXPECT_EQ(t.text("lblFound"), "Search unavailable");
}

} // namespace
