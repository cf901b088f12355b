// Storing the window geometry for later runs, and going back to the default.
#include "support/TestProgram.h"

#include "framework/Screen.h"
#include "framework/Screens.h"

#include <QFile>
#include <QLabel>
#include <QWindow>
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
    for (const char *name : {"/ombrixtips.mdb", "/ombrixtips.win"}) {
      QFile::remove(to + name);
      QFile::copy(from + name, to + name);
    }
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
  // On the next start its title bar would lie right of the screen: the window keeps its
  // size and opens on the screen, and the stored values stay as they are.
  restart();
  EXPECT_EQ(geometry(), std::vector<int>({36000, 0, 0, 40005}));
  EXPECT_EQ(stored(), QStringList({"36000", "40000", "50", "40005"}));
}

TEST_F(WindowPositions, TheOuterFrameIsPlacedAndTheClientAreaSitsInsideIt) {
  place(6000, 1500, 900, 9000);
  Screen *s = t->active();
  const QMargins frame = s->windowHandle()->frameMargins();
  EXPECT_EQ(s->geometry(), QRect(100, 60, 600, 400).marginsRemoved(frame));
  EXPECT_EQ(s->frameGeometry(), QRect(100, 60, 600, 400));
  // The next screen knows the frame before it is shown, and opens on the same edges.
  t->triggerMenu("mnuUserPersonalItem");
  EXPECT_EQ(t->active()->frameGeometry(), QRect(100, 60, 600, 400));
  EXPECT_EQ(geometry(), std::vector<int>({6000, 1500, 900, 9000}));
}

TEST_F(WindowPositions, AMaximisedWindowTravelsAndIsStoredWithItsNormalGeometry) {
  place(6000, 1500, 900, 9000);
  t->active()->setMaximised(true);
  t->settle();
  t->triggerMenu("mnuUserPersonalItem");
  ASSERT_EQ(t->activeName(), "frmUserDetails");
  EXPECT_TRUE(t->active()->maximised());
  t->click("cmdShowTips");
  EXPECT_TRUE(t->active()->maximised());
  t->triggerMenu("mnuScreenUserPositionItem");
  // The Settings row keeps its layout and holds the normal geometry.
  EXPECT_EQ(stored(), QStringList({"6000", "1500", "900", "9000"}));
  restart();
  EXPECT_TRUE(t->active()->maximised());
  // The normal geometry travels on with the maximised state and is there on restoring.
  t->triggerMenu("mnuUserPersonalItem");
  EXPECT_TRUE(t->active()->maximised());
  EXPECT_EQ(t->g().gFrmLeft, 1500);
  EXPECT_EQ(t->g().gFrmWidth, 9000);
  t->active()->setMaximised(false);
  t->settle();
  EXPECT_EQ(geometry(), std::vector<int>({6000, 1500, 900, 9000}));
}

TEST_F(WindowPositions, SetDefaultPositionForgetsTheMaximisedState) {
  t->active()->setMaximised(true);
  t->triggerMenu("mnuScreenUserPositionItem");
  EXPECT_TRUE(QFile::exists(t->file("ombrixtips.win")));
  t->triggerMenu("mnuScreenDefaultPositionItem");
  EXPECT_FALSE(QFile::exists(t->file("ombrixtips.win")));
  t->click("Command1");
  EXPECT_FALSE(t->active()->maximised());
  EXPECT_EQ(geometry(), std::vector<int>({5172, 48, 504, 7404}));
}

TEST_F(WindowPositions, AMaximisedStateIsNotRestoredForARowChangedSince) {
  t->active()->setMaximised(true);
  t->triggerMenu("mnuScreenUserPositionItem");
  // Another program stores another geometry in the Settings row.
  t->sql("UPDATE Settings SET USER_W = 8000");
  restart();
  EXPECT_FALSE(t->active()->maximised());
  EXPECT_EQ(geometry(), std::vector<int>({5172, 48, 504, 8000}));
}

} // namespace
