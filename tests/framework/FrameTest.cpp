// The frame of secondary screens: geometry that travels, the way back, Exit, Help.
#include "support/TestProgram.h"

#include "framework/ErrorReport.h"
#include "framework/HelpLinks.h"
#include "framework/Screens.h"
#include "framework/SecondaryScreen.h"
#include "screens/AllScreens.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

class Frame : public OnMainScreen {
protected:
  bool helpQuitSent() {
    for (const auto &call : t.program().help().calls())
      if (call.command == HelpLinks::kQuit)
        return true;
    return false;
  }
};

TEST_F(Frame, GeometryTravelsAcrossAResizeAndTwoHandOffs) {
  t.triggerMenu("mnuEditGroupItem");
  ASSERT_EQ(t.activeName(), "frmEditGroup1");
  Screen *step1 = t.active();
  step1->setWidth(10005);
  step1->setHeight(6990);
  step1->setLeft(1200);
  step1->setTop(300);
  t.settle();
  t.click("cmdShowTips");
  ASSERT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_EQ(t.active()->Width(), 10005);
  EXPECT_EQ(t.active()->Height(), 6990);
  EXPECT_EQ(t.active()->Left(), 1200);
  EXPECT_EQ(t.active()->Top(), 300);
  t.triggerMenu("mnuUserPersonalItem");
  ASSERT_EQ(t.activeName(), "frmUserDetails");
  EXPECT_EQ(t.active()->Width(), 10005);
  EXPECT_EQ(t.active()->Height(), 6990);
  // The stored geometry changes only on request.
  EXPECT_EQ(t.rows("SELECT USER_H, USER_L, USER_T, USER_W FROM Settings").value(0),
            QStringList({"5172", "48", "504", "7404"}));
}

TEST_F(Frame, EveryScreenShowsItsOwnFrameAndOpensItsHelpTopic) {
  const struct {
    const char *menu;
    const char *screen;
    const char *heading;
  } screens[] = {{"mnuAddNewGroupItem", "frmAddGroup", "lblAddGroup"},
                 {"mnuDeleteGroupItem", "frmDelGroup1", "lblDelGroup"},
                 {"mnuEditSubjectItem", "frmEditSubject1", "lblEditSubject"},
                 {"mnuImportItem", "frmImport1", "lblAddGroup"},
                 {"mnuUserPersonalItem", "frmUserDetails", "lblDelGroup"}};
  for (const auto &s : screens) {
    SCOPED_TRACE(s.screen);
    t.triggerMenu(s.menu);
    ASSERT_EQ(t.activeName(), s.screen);
    const ScreenFrame &frame = screenFrame(s.screen);
    EXPECT_EQ(t.active()->windowTitle(), frame.caption);
    EXPECT_EQ(t.control<QLabel>(s.heading)->text(), frame.heading);
    EXPECT_EQ(t.control<QLabel>("lblTop1")->text(), "Tips and Hints Database");
    EXPECT_EQ(t.control("cmdShowTips")->toolTip(), frame.exitToolTip);
    EXPECT_EQ(t.control<QPushButton>("cmdShowTips")->text(), "Exit This Screen");
    EXPECT_EQ(t.control("cmdHelp")->toolTip(), "Display Help Screen");
    EXPECT_EQ(t.g().gMsgTitle, frame.msgTitle);
    t.click("cmdHelp");
    const auto &calls = t.program().help().calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().command, HelpLinks::kContext);
    EXPECT_EQ(calls.back().data, frame.helpTopic);
    t.triggerMenu("nmuShowTipsItem");
    ASSERT_EQ(t.activeName(), "frmOmbrixShow");
  }
  EXPECT_EQ(screenFrame("frmImport2").exitToolTip, "Cancel this Action");
  EXPECT_EQ(screenFrame("frmEditSubject2").msgTitle, "Edit Subject And Description Record");
}

TEST_F(Frame, EveryCatalogueEntryMakesTheScreenOfItsNameWithItsFrame) {
  for (const ScreenEntry &entry : screenCatalogue()) {
    SCOPED_TRACE(entry.name.data());
    std::unique_ptr<Screen> made(entry.make(t.program()));
    EXPECT_EQ(made->screenName(), entry.name);
    auto *secondary = dynamic_cast<SecondaryScreen *>(made.get());
    ASSERT_EQ(secondary != nullptr, entry.frame.has_value());
    if (secondary) {
      EXPECT_EQ(secondary->windowTitle(), entry.frame->caption);
    }
  }
}

TEST_F(Frame, AnUnknownScreenNameIsAReportedErrorAndTheScreenStays) {
  Screens &screens = t.program().screens();
  try {
    screens.load("frmNoSuchScreen");
    ADD_FAILURE() << "no UnknownScreen thrown";
  } catch (const UnknownScreen &e) {
    EXPECT_EQ(e.name(), "frmNoSuchScreen");
  }
  EXPECT_FALSE(runReportingErrors(t.g().gMsgTitle,
                                  [&] { screens.handOver(t.active(), "frmNoSuchScreen"); }));
  ASSERT_EQ(t.messages().shown().size(), 1u);
  EXPECT_EQ(t.messages().shown().front().prompt,
            "Ombrix Tips has no screen named \"frmNoSuchScreen\".");
  EXPECT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_EQ(screens.loaded().size(), 1u);
}

TEST_F(Frame, ExitEndsAtOnceWithoutTellingHelpToQuit) {
  t.triggerMenu("mnuAddNewGroupItem");
  const std::size_t callsBefore = t.program().help().calls().size();
  t.triggerMenu("mnuExiteItem");
  EXPECT_TRUE(t.ended());
  EXPECT_EQ(t.program().help().calls().size(), callsBefore);
  EXPECT_TRUE(t.program().screens().loaded().empty());
}

TEST_F(Frame, ExitFromTheMainScreenAlsoSkipsTheUnloadSteps) {
  const std::size_t callsBefore = t.program().help().calls().size();
  t.triggerMenu("mnuExiteItem");
  EXPECT_TRUE(t.ended());
  EXPECT_EQ(t.program().help().calls().size(), callsBefore);
}

TEST_F(Frame, ClosingTheMainWindowTellsHelpToQuit) {
  EXPECT_FALSE(helpQuitSent());
  t.active()->close();
  t.settle();
  EXPECT_TRUE(helpQuitSent());
  EXPECT_EQ(t.program().screens().find("frmOmbrixShow"), nullptr);
}

TEST_F(Frame, EveryHandOffClosesTheHelpOfTheScreenLeft) {
  t.triggerMenu("mnuAddNewGroupItem");
  t.click("cmdHelp");
  ASSERT_NE(t.program().help().viewer(), nullptr);
  t.click("cmdShowTips");
  EXPECT_EQ(t.program().help().calls().back().command, HelpLinks::kQuit);
}

} // namespace

namespace {

// A screen whose job the test starts.
class ScreenWithAJob : public Screen {
public:
  using Screen::Screen;
  template <class Work> void job(Work &&work) { runJob(std::forward<Work>(work)); }
};

TEST(JobWait, TheWindowsBesideAScreenWaitWithItsControlsAndComeBackAfter) {
  TestProgram t;
  ScreenWithAJob screen(t.program(), QStringLiteral("frmJobTest"), 3000, 2000);
  auto *beside = new QWidget(&screen, Qt::Window); // as the tip of the day over the main screen
  screen.show();
  beside->show();
  std::atomic<bool> looked{false};
  bool besideWaited = false;
  // Looked at by the window's thread while the work waits for it.
  QTimer::singleShot(0, &screen, [&] {
    besideWaited = !beside->isEnabled();
    looked = true;
  });
  screen.job([&](tips::WorkProgress &) {
    while (!looked)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  EXPECT_TRUE(besideWaited);
  EXPECT_TRUE(beside->isEnabled());
}

} // namespace
