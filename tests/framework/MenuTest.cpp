// The main menu: what each command prepares, where it leads, and the clean-up of the
// working folders.
#include "support/TestProgram.h"

#include "framework/Screen.h"
#include "framework/Screens.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <functional>
#include <gtest/gtest.h>

namespace {

class Menu : public OnMainScreen {
protected:
  QString placeholder() { return t.program().paths().placeholderPicture(); }
  static void write(const QString &path, const QByteArray &bytes = "x") {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  static QStringList files(const QString &folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
  }
  static QByteArray bytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
};

TEST_F(Menu, EveryCommandPreparesItsValuesAndHandsOver) {
  struct Command {
    const char *item;
    const char *target;
    std::function<void(const OBXGlobals &)> check;
  };
  // The step-1 screens preselect the main screen's group (and subject) as they open, and
  // hand that choice on in place of what the menu cleared.
  QString mainGroup, mainSubject;
  const auto cleared = [&](const OBXGlobals &g) {
    EXPECT_EQ(g.gGroupName, mainGroup);
    EXPECT_EQ(g.gGroupPicture, t.program().paths().groupPicture(g.gGroupId));
    EXPECT_EQ(g.gNewPicture, g.gGroupPicture);
  };
  const auto subjectChosen = [&](const OBXGlobals &g) {
    cleared(g);
    EXPECT_EQ(g.gSubjectName, mainSubject);
    EXPECT_FALSE(g.gDescription.isEmpty());
  };
  const Command commands[] = {
      {"mnuAddNewGroupItem", "frmAddGroup",
       [&](const OBXGlobals &g) { EXPECT_EQ(g.gPicturePath, placeholder()); }},
      {"mnuEditGroupItem", "frmEditGroup1", cleared},
      {"mnuDeleteGroupItem", "frmDelGroup1", cleared},
      {"mnuAddNewSubjectItem", "frmAddSubject",
       [](const OBXGlobals &g) {
         EXPECT_TRUE(g.gSubjectName.isEmpty());
         EXPECT_TRUE(g.gDescription.isEmpty());
       }},
      {"mnuEditSubjectItem", "frmEditSubject1", subjectChosen},
      {"mnuDeleteSubjectItem", "frmDelSubject1", subjectChosen},
      {"mnuExportItem", "frmExport1",
       [&](const OBXGlobals &g) { EXPECT_EQ(g.gPicturePath, placeholder()); }},
      {"mnuImportItem", "frmImport1",
       [&](const OBXGlobals &g) { EXPECT_EQ(g.gPicturePath, placeholder()); }},
      {"mnuUserPersonalItem", "frmUserDetails",
       [&](const OBXGlobals &g) { EXPECT_EQ(g.gPicturePath, placeholder()); }},
      {"mnuFindTipsItem", "frmFindTips",
       [](const OBXGlobals &g) { EXPECT_FALSE(g.gShowRequested); }},
  };
  for (const Command &command : commands) {
    SCOPED_TRACE(command.item);
    // Values a previous screen left behind, and the main screen's list positions.
    t.g().gGroupName = "old";
    t.g().gGroupId = 9;
    t.g().gGroupPicture = "old.jpg";
    t.g().gNewPicture = "new.jpg";
    t.g().gSubjectName = "old subject";
    t.g().gDescription = "old description";
    t.g().gPicturePath = "old picture";
    t.choose("Combo1", t.control<QComboBox>("Combo1")->itemText(2));
    t.chooseIndex("Combo2", 1);
    mainGroup = t.text("Combo1");
    mainSubject = t.text("Combo2");
    t.active()->setLeft(2400);
    t.triggerMenu(command.item);
    ASSERT_EQ(t.activeName(), command.target);
    EXPECT_EQ(t.program().screens().find("frmOmbrixShow"), nullptr);
    command.check(t.g());
    EXPECT_EQ(t.g().gShowGroupIndex, 2);
    EXPECT_EQ(t.g().gShowSubjectIndex, 1);
    EXPECT_EQ(t.g().gFrmLeft, 2400);
    EXPECT_EQ(t.active()->Left(), 2400);
    t.click("cmdShowTips");
    ASSERT_EQ(t.activeName(), "frmOmbrixShow");
  }
}

TEST_F(Menu, AboutKeepsItsScreenLoadedAndComesBackToTheMainScreen) {
  t.triggerMenu("mnuAboutItem");
  ASSERT_EQ(t.activeName(), "frmAbout");
  EXPECT_EQ(t.program().screens().find("frmOmbrixShow"), nullptr);
  t.click("cmdOK");
  EXPECT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_NE(t.program().screens().find("frmAbout"), nullptr);
}

TEST_F(Menu, ExportEmptiesTheWorkingFoldersAndStartsAFreshExportDatabase) {
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    write(t.file("OBXTemp/7.jpg"));
    write(t.file("OBXTemp/OMBRIXTIPSIE.MDB"));
    write(t.file("OBXTemp/notes.txt"), "junk");
    write(t.file("OBXTemp/OBXREAD.TXT"), "keep");
    QDir().mkpath(t.file("OBXTemp/folder/inside"));
    write(t.file("Export/obxexpor.mdb"), "an old export");
    write(t.file("Export/other.MDB"));
    t.triggerMenu("mnuExportItem");
    ASSERT_EQ(t.activeName(), "frmExport1");
    EXPECT_EQ(files(t.file("OBXTemp")), QStringList({"OBXREAD.TXT"}));
    EXPECT_FALSE(QFileInfo::exists(t.file("OBXTemp/folder")));
    EXPECT_EQ(files(t.file("Export")), QStringList({"obxexpor.mdb"}));
    EXPECT_EQ(bytes(t.file("Export/obxexpor.mdb")), bytes(t.file("@@@@@@@@.@@@")));
    t.click("cmdShowTips");
  }
}

TEST_F(Menu, ImportRemovesWhatAnEarlierImportUnpacked) {
  write(t.file("OBXTemp/ombrixtipsie.mdb"));
  write(t.file("OBXTemp/12.jpg"));
  t.triggerMenu("mnuImportItem");
  ASSERT_EQ(t.activeName(), "frmImport1");
  EXPECT_TRUE(files(t.file("OBXTemp")).isEmpty());
}

// A missing working folder is made again (MissingFoldersTest); one that cannot be made is told.
TEST_F(Menu, AWorkingFolderThatCannotBeMadeIsReportedAndTheMainScreenStays) {
  ASSERT_TRUE(QDir(t.file("OBXTemp")).removeRecursively());
  write(t.file("OBXTemp"), "a file where the folder belongs");
  t.triggerMenu("mnuImportItem");
  EXPECT_EQ(t.activeName(), "frmOmbrixShow");
  ASSERT_EQ(t.messages().shown().size(), 1u);
  const auto &m = t.messages().shown().front();
  EXPECT_EQ(m.style, 16);
  EXPECT_TRUE(m.prompt.contains(t.file("OBXTemp"))) << m.prompt.toStdString();
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Menu, AReadOnlyFileInTheWorkingFolderIsReportedByName) {
  const QString locked = t.file("Export/locked.mdb");
  write(locked);
  QFile::setPermissions(locked, QFileDevice::ReadOwner);
  t.triggerMenu("mnuExportItem");
  EXPECT_EQ(t.activeName(), "frmOmbrixShow");
  ASSERT_EQ(t.messages().shown().size(), 1u);
  EXPECT_TRUE(t.messages().shown().front().prompt.contains("locked.mdb"));
}

TEST_F(Menu, EditAndDeleteSubjectClearTheMessageTitleUntilTheTargetSetsItsOwn) {
  t.triggerMenu("mnuDeleteSubjectItem");
  EXPECT_EQ(t.g().gMsgTitle, "Delete Subject and Description");
}

} // namespace
