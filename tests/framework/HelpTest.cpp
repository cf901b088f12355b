// The help links: each screen's Help buttons open its topic in the help window, the main
// menu opens the contents, a hand-off closes the window and File, Exit leaves it.
#include "support/TestProgram.h"

#include "framework/ContextIDs.h"
#include "framework/Screen.h"
#include "platform/HelpViewer.h"
#include "screens/AllScreens.h"

#include <QPushButton>
#include <gtest/gtest.h>
#include <map>

namespace {

class Help : public OnMainScreen {
protected:
  HelpViewer *viewer() { return t.program().help().viewer(); }
  bool helpShown() { return viewer() && viewer()->isVisible(); }
  QString shownTopic() { return helpShown() ? viewer()->currentTopicName() : QString(); }
};

TEST(HelpLinks, TheHelpFileSitsInTheProgramFolderWithOneSeparatorAtARoot) {
  EXPECT_EQ(ContextIDs::helpFilePath("/opt/obx"), "/opt/obx\\OMBRIXTIPS.HLP");
  EXPECT_EQ(ContextIDs::helpFilePath("C:\\"), "C:\\OMBRIXTIPS.HLP");
  EXPECT_EQ(ContextIDs::helpFilePath("C:\\ "), "C:\\ OMBRIXTIPS.HLP");
  EXPECT_EQ(ContextIDs::helpFilePath("/"), "/OMBRIXTIPS.HLP");
}

TEST(HelpLinks, EveryScreenHasTheTopicOfItsKind) {
  const std::map<QString, int> topics = {
      {"frmUserDetails", 10},    {"frmAddGroup", 20},     {"frmEditGroup1", 40},
      {"frmEditGroup2", 40},     {"frmDelGroup1", 60},    {"frmDelGroup2", 60},
      {"frmAddSubject", 70},     {"frmEditSubject1", 90}, {"frmEditSubject2", 90},
      {"frmDelSubject1", 110},   {"frmDelSubject2", 110}, {"frmExport1", 200},
      {"frmExport2", 200},       {"frmImport1", 300},     {"frmImport2", 300},
      {"frmImportDetails", 310}, {"frmFindTips", 400},    {"frmSaveDocument", 500}};
  std::size_t secondary = 0;
  for (const ScreenEntry &entry : screenCatalogue()) {
    if (!entry.frame)
      continue;
    ++secondary;
    const QString name(entry.name);
    ASSERT_EQ(topics.count(name), 1u) << name.toStdString();
    EXPECT_EQ(entry.frame->helpTopic, topics.at(name)) << name.toStdString();
  }
  EXPECT_EQ(secondary, topics.size());
}

TEST_F(Help, HelpButtonsOfFirstAndSecondStepsOpenTheirTopicInTheHelpFile) {
  const struct {
    const char *menu;
    bool nextStep;
    const char *screen;
    const char *topic;
  } screens[] = {{"mnuUserPersonalItem", false, "frmUserDetails", "10"},
                 {"mnuDeleteGroupItem", true, "frmDelGroup2", "60"},
                 {"mnuAddNewSubjectItem", false, "frmAddSubject", "70"},
                 {"mnuEditSubjectItem", false, "frmEditSubject1", "90"},
                 {"mnuEditSubjectItem", true, "frmEditSubject2", "90"},
                 {"mnuDeleteSubjectItem", true, "frmDelSubject2", "110"},
                 {"mnuSaveDocumentItem", false, "frmSaveDocument", "500"}};
  for (const auto &s : screens) {
    SCOPED_TRACE(s.screen);
    t.triggerMenu(s.menu);
    if (s.nextStep)
      t.click("cmdClickNext");
    ASSERT_EQ(t.activeName(), s.screen);
    t.click("cmdHelp");
    EXPECT_EQ(shownTopic(), s.topic);
    EXPECT_NE(viewer()->currentTitle(),
              viewer()->file().topics()[viewer()->file().contents()].title);
    t.click("cmdShowTips");
  }
}

TEST_F(Help, PickerHelpButtonsOpenTheTopicOfTheirScreen) {
  // On the screens that carry a picker, its own Help button opens the screen's topic too.
  const struct {
    const char *menu;
    bool nextStep;
    const char *screen;
  } screens[] = {{"mnuAddNewGroupItem", false, "frmAddGroup"},
                 {"mnuEditGroupItem", true, "frmEditGroup2"},
                 {"mnuImportItem", false, "frmImport1"}};
  for (const auto &s : screens) {
    SCOPED_TRACE(s.screen);
    t.triggerMenu(s.menu);
    if (s.nextStep)
      t.click("cmdClickNext");
    ASSERT_EQ(t.activeName(), s.screen);
    auto *dirHelp = t.active()->findChild<QPushButton *>("cmdDirHelp");
    ASSERT_NE(dirHelp, nullptr);
    dirHelp->click(); // the picker need not be open for its button to answer
    EXPECT_EQ(shownTopic(), QString::number(screenFrame(s.screen).helpTopic));
    t.triggerMenu("nmuShowTipsItem");
  }
}

TEST_F(Help, ContentsOfTheMainMenuOpenTheContentsAndAHandOffClosesThem) {
  t.triggerMenu("mnuContentsItem");
  EXPECT_EQ(shownTopic(), "contents");
  t.triggerMenu("mnuAddNewSubjectItem");
  EXPECT_FALSE(helpShown());
  t.click("cmdHelp");
  HelpViewer *first = viewer();
  EXPECT_EQ(shownTopic(), "70");
  // Asked again, the same window comes back.
  t.click("cmdHelp");
  EXPECT_EQ(viewer(), first);
  t.triggerMenu("nmuShowTipsItem");
  EXPECT_FALSE(helpShown());
  EXPECT_EQ(t.program().help().calls().back().command, ContextIDs::kQuit);
}

TEST_F(Help, FileExitLeavesTheHelpWindowOpen) {
  t.triggerMenu("mnuUserPersonalItem");
  t.click("cmdHelp");
  ASSERT_TRUE(helpShown());
  t.triggerMenu("mnuExiteItem");
  EXPECT_TRUE(t.ended());
  EXPECT_TRUE(helpShown());
  EXPECT_EQ(shownTopic(), "10");
}

} // namespace
