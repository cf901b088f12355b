// Storing the window geometry for later runs, and going back to the default.
#include "support/TestProgram.h"

#include "shell/Screen.h"
#include "shell/Screens.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

class WindowPositions : public ::testing::Test {
protected:
  std::unique_ptr<TestProgram> t = std::make_unique<TestProgram>();
  void SetUp() override {
    t->setUserDetails();
    t->start();
    ASSERT_EQ(t->activeName(), "frmOmbrixShow");
  }
  QStringList stored() {
    return t->rows("SELECT USER_H, USER_L, USER_T, USER_W FROM Settings").value(0);
  }
  void place(int height, int left, int top, int width) {
    Screen *s = t->active();
    s->setHeight(height);
    s->setLeft(left);
    s->setTop(top);
    s->setWidth(width);
    t->settle();
  }
  // Ends this run and starts the program again on the same folder.
  void restart() {
    const QString folder = t->folder();
    auto next = std::make_unique<TestProgram>(false);
    copyFolder(folder, next->folder());
    t = std::move(next);
    t->start();
  }
  static void copyFolder(const QString &from, const QString &to) {
    QFile::remove(to + "/ombrixtips.mdb");
    QFile::copy(from + "/ombrixtips.mdb", to + "/ombrixtips.mdb");
    copyDeliveredProgramFolder(to);
  }
  std::vector<int> geometry() {
    Screen *s = t->active();
    return {s->Height(), s->Left(), s->Top(), s->Width()};
  }
};

TEST_F(WindowPositions, SetUserPositionStoresTheCurrentPlaceForTheNextRun) {
  place(6000, 120, 75, 9000);
  t->triggerMenu("mnuScreenUserPositionItem");
  EXPECT_EQ(t->activeName(), "frmOmbrixShow");
  ASSERT_EQ(t->messages().shown().size(), 1u);
  const auto &m = t->messages().shown().front();
  EXPECT_EQ(m.title, "Ombrix Tips Screen User Settings");
  EXPECT_EQ(m.style, 48);
  EXPECT_TRUE(m.prompt.startsWith("The Ombrix Tips window position and size have been set to\r\n"
                                  "the current settings.\r\n\r\n"));
  EXPECT_TRUE(m.prompt.endsWith("\r\n\r\nPlease click the OK button to exit this window!\r\n"));
  EXPECT_EQ(m.prompt.count("\r\n"), 10);
  EXPECT_EQ(stored(), QStringList({"6000", "120", "75", "9000"}));
  restart();
  ASSERT_EQ(t->activeName(), "frmOmbrixShow");
  EXPECT_EQ(geometry(), std::vector<int>({6000, 120, 75, 9000}));
}

TEST_F(WindowPositions, ANegativeStoredPlaceIsReadAsItIs) {
  // A window maximised on a wide screen stores its edges left of and above the screen.
  t->sql("UPDATE Settings SET USER_L = -120, USER_T = -75");
  restart();
  ASSERT_EQ(t->activeName(), "frmOmbrixShow");
  // The offscreen platform keeps a client area on the screen, so the place is checked
  // where the program keeps it.
  EXPECT_EQ(t->g().gFrmLeft, -120);
  EXPECT_EQ(t->g().gFrmTop, -75);
  t->triggerMenu("mnuUserPersonalItem");
  EXPECT_EQ(t->g().gFrmWidth, 7404);
}

TEST_F(WindowPositions, AMovedButUnstoredWindowReturnsToTheStoredPlaceNextRun) {
  place(6000, 300, 300, 9000);
  t->triggerMenu("mnuUserPersonalItem");
  t->click("cmdShowTips");
  EXPECT_EQ(geometry(), std::vector<int>({6000, 300, 300, 9000}));
  restart();
  EXPECT_EQ(geometry(), std::vector<int>({5172, 48, 504, 7404}));
}

TEST_F(WindowPositions, SetDefaultPositionThenOkReopensAtTheDefault) {
  place(6000, 300, 300, 9000);
  t->triggerMenu("mnuScreenUserPositionItem");
  t->triggerMenu("mnuScreenDefaultPositionItem");
  ASSERT_EQ(t->activeName(), "frmScreenDefault");
  EXPECT_EQ(t->program().screens().find("frmOmbrixShow"), nullptr);
  EXPECT_FALSE(t->g().gPositionLoaded);
  EXPECT_EQ(stored(), QStringList({"5172", "48", "504", "7404"}));
  EXPECT_EQ(t->active()->windowTitle(), "Ombrix Tips Screen Default Settings");
  EXPECT_EQ(t->control<QLabel>("Label10")->text(),
            "Please click the OK button to exit this window!");
  EXPECT_EQ(t->control<QLabel>("Label8")->text(), "5. Click on [Set User Position].");
  EXPECT_FALSE(t->active()->resizingControl().created());
  t->click("Command1");
  ASSERT_EQ(t->activeName(), "frmOmbrixShow");
  EXPECT_EQ(geometry(), std::vector<int>({5172, 48, 504, 7404}));
  EXPECT_TRUE(t->g().gPositionLoaded);
}

TEST_F(WindowPositions, AWindowBeyondSixteenBitsIsStoredWhole) {
  place(36000, 40000, 50, 40005);
  t->triggerMenu("mnuScreenUserPositionItem");
  EXPECT_EQ(t->messages().shown().size(), 1u);
  EXPECT_EQ(stored(), QStringList({"36000", "40000", "50", "40005"}));
  restart();
  EXPECT_EQ(geometry(), std::vector<int>({36000, 40000, 50, 40005}));
}

} // namespace
