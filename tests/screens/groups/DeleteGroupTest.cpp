// Edit Group step 1 and Delete Group, driven through the real screens and checked in the
// database and the picture folder.
#include "support/MaintenanceFixture.h"

#include "framework/Screen.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

using msgbox::vbNo;
using msgbox::vbYes;

const QString kOops =
    "Oops! That was not supposed to happen!\r\nThere is a problem here, please report it.";
const QString kEmpty = "The Database Is Empty!\r\nClick OK To Add Your First Record.";
const QString kAnother = "Click YES To DELETE Other Group Record!\r\nClick NO to cancel!";

class DeleteGroup : public OnMaintenance {
protected:
  // Step 1 with the group at position index preselected, then on to step 2.
  void toStepTwo(int index) {
    openWithPositions("mnuDeleteGroupItem", index);
    ASSERT_EQ(t.activeName(), "frmDelGroup1");
    t.click("cmdClickNext");
    ASSERT_EQ(t.activeName(), "frmDelGroup2");
  }
};

TEST_F(DeleteGroup, StepOneHandsOnThePreselectedGroupAndStepTwoDeletesItsTipsAndPicture) {
  QStringList many;
  for (int i = 0; i < 40; ++i)
    many << QStringLiteral("Tip %1").arg(i, 2, 10, QLatin1Char('0'));
  useGroups({{"Vim", many}, {"Shell", {"Pipes", "Globs"}}, {"Emacs", {"Buffers"}}});
  openWithPositions("mnuDeleteGroupItem", 2);
  ASSERT_EQ(t.activeName(), "frmDelGroup1");
  EXPECT_EQ(entries("Combo1"), QStringList({"Emacs", "Shell", "Vim"}));
  EXPECT_EQ(t.text("Combo1"), "Vim");
  EXPECT_EQ(t.g().gGroupId, 101);
  EXPECT_EQ(t.g().gGroupName, "Vim");
  EXPECT_EQ(t.g().gGroupPicture, picture(101));
  EXPECT_EQ(t.g().gNewPicture, picture(101));
  EXPECT_EQ(focused(), "cmdClickNext");
  for (const char *unused : {"txtSubjectEdit", "txtDescriptionEdit"})
    EXPECT_FALSE(t.control(unused)->isEnabled()) << unused;
  // A group chosen by the user is handed on the same way.
  t.choose("Combo1", "Shell");
  EXPECT_EQ(t.g().gGroupId, 102);
  t.choose("Combo1", "Vim");
  t.click("cmdClickNext");

  ASSERT_EQ(t.activeName(), "frmDelGroup2");
  auto *name = t.control<QLineEdit>("txtGroupDel");
  EXPECT_EQ(name->text(), "Vim");
  EXPECT_TRUE(name->isReadOnly());
  // The delete button holds the focus: Enter deletes at once, with no question first.
  EXPECT_EQ(focused(), "cmdDelGroup");
  const size_t before = shownCount();
  t.messages().queue(vbNo);
  QTest::keyClick(t.control("cmdDelGroup"), Qt::Key_Return);
  t.settle();
  ASSERT_EQ(shownCount(), before + 1);
  EXPECT_EQ(lastMessage().prompt, kAnother);
  EXPECT_EQ(lastMessage().style, 52);
  EXPECT_EQ(lastMessage().title, "Delete Group Record");
  EXPECT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_EQ(rows("SELECT TIP_GROUP FROM \"Group\" ORDER BY GROUP_ID"),
            (QList<QStringList>{{"Shell"}, {"Emacs"}}));
  EXPECT_EQ(rows("SELECT COUNT(*) FROM Tips WHERE GROUP_ID = 101"), (QList<QStringList>{{"0"}}));
  EXPECT_EQ(rows("SELECT TIP_SUBJECT FROM Tips ORDER BY TIPS_ID"),
            (QList<QStringList>{{"Pipes"}, {"Globs"}, {"Buffers"}}));
  EXPECT_FALSE(QFile::exists(picture(101)));
  EXPECT_TRUE(QFile::exists(picture(102)));
}

TEST_F(DeleteGroup, AfterTheLastListedGroupGoesStepOneChoosesTheNearestAndTheLastLeadsToAddGroup) {
  useGroups({{"Emacs", {"Buffers"}}, {"Vim", {"Macros"}}});
  toStepTwo(1);
  t.messages().queue(vbYes);
  t.click("cmdDelGroup");
  // The main screen's position now names no group: the nearest one is chosen.
  ASSERT_EQ(t.activeName(), "frmDelGroup1");
  EXPECT_EQ(t.text("Combo1"), "Emacs");
  EXPECT_EQ(t.g().gGroupName, "Emacs");
  t.click("cmdClickNext");
  t.messages().queue(vbYes);
  t.click("cmdDelGroup");
  EXPECT_EQ(lastMessage().prompt, kEmpty);
  EXPECT_EQ(lastMessage().style, 16);
  EXPECT_EQ(lastMessage().title, "Delete Group Record");
  EXPECT_EQ(t.activeName(), "frmAddGroup");
  EXPECT_EQ(t.g().gPicturePath, picture(0));
  EXPECT_TRUE(rows("SELECT * FROM \"Group\"").isEmpty());
  EXPECT_TRUE(rows("SELECT * FROM Tips").isEmpty());

  // A position before the first entry chooses the first.
  useGroups({{"Emacs", {"Buffers"}}, {"Vim", {"Macros"}}});
  t.click("cmdShowTips");
  openWithPositions("mnuDeleteGroupItem", -3);
  EXPECT_EQ(t.text("Combo1"), "Emacs");
}

TEST_F(DeleteGroup, AGroupGoneSinceStepOneIsReportedAndNothingIsDeleted) {
  useGroups({{"Emacs", {"Buffers"}}, {"Vim", {"Macros"}}});
  toStepTwo(1);
  t.sql("UPDATE \"Group\" SET TIP_GROUP = 'Neovim' WHERE GROUP_ID = 102");
  t.click("cmdDelGroup");
  EXPECT_EQ(lastMessage().prompt, kOops);
  EXPECT_EQ(t.activeName(), "frmDelGroup2");
  EXPECT_EQ(focused(), "cmdDelGroup");
  EXPECT_EQ(rows("SELECT COUNT(*) FROM \"Group\""), (QList<QStringList>{{"2"}}));
  EXPECT_EQ(rows("SELECT COUNT(*) FROM Tips"), (QList<QStringList>{{"2"}}));
  EXPECT_TRUE(QFile::exists(picture(102)));
}

TEST_F(DeleteGroup, ANameWithSurroundingBlanksIsShownTrimmedAndStillDeleted) {
  useGroups({{"Emacs", {"Buffers"}}, {"Vim  ", {"Macros"}}});
  toStepTwo(1);
  EXPECT_EQ(t.text("txtGroupDel"), "Vim");
  t.messages().queue(vbNo);
  t.click("cmdDelGroup");
  EXPECT_EQ(lastMessage().prompt, kAnother);
  EXPECT_EQ(rows("SELECT TIP_GROUP FROM \"Group\""), (QList<QStringList>{{"Emacs"}}));
}

TEST_F(DeleteGroup, AMissingPictureCountsAsDeletedAndOneThatStaysIsNamed) {
  useGroups({{"Emacs", {"Buffers"}}, {"Vim", {"Macros"}}});
  QFile::remove(picture(102));
  toStepTwo(1);
  t.messages().queue(vbNo);
  t.click("cmdDelGroup");
  EXPECT_EQ(lastMessage().prompt, kAnother);
  EXPECT_EQ(rows("SELECT TIP_GROUP FROM \"Group\""), (QList<QStringList>{{"Emacs"}}));

  toStepTwo(0);
  t.program().files().failNth(FileOperation::Delete, 1);
  const size_t before = shownCount();
  t.messages().queue(vbNo);
  t.click("cmdDelGroup");
  // The stop message naming the file, the question, then the main screen finds no group.
  ASSERT_EQ(shownCount(), before + 3);
  const msgbox::ShownMessage &stop = t.messages().shown()[before];
  EXPECT_EQ(stop.style, 16);
  EXPECT_TRUE(stop.prompt.contains(picture(101))) << stop.prompt.toStdString();
  EXPECT_EQ(t.messages().shown()[before + 1].prompt, kAnother);
  EXPECT_EQ(lastMessage().prompt, kEmpty);
  EXPECT_TRUE(rows("SELECT * FROM \"Group\"").isEmpty());
  EXPECT_TRUE(QFile::exists(picture(101)));
}

TEST_F(DeleteGroup, EditGroupStepOneHandsOnTheGroupAndLeadsToStepTwo) {
  useGroups({{"Emacs", {"Buffers"}}, {"Vim", {"Macros"}}});
  openWithPositions("mnuEditGroupItem", 7);
  ASSERT_EQ(t.activeName(), "frmEditGroup1");
  EXPECT_EQ(t.text("Combo1"), "Vim");
  EXPECT_EQ(t.control("Combo1")->toolTip(), "Current Tip Group");
  EXPECT_EQ(t.g().gGroupId, 102);
  EXPECT_EQ(t.g().gGroupPicture, picture(102));
  EXPECT_EQ(t.g().gNewPicture, picture(102));
  EXPECT_EQ(focused(), "cmdClickNext");
  EXPECT_FALSE(t.control("txtDescriptionEdit")->isEnabled());
  t.click("cmdClickNext");
  EXPECT_EQ(t.activeName(), "frmEditGroup2");

  // With no group at all, Add Group opens after the message.
  t.click("cmdShowTips");
  useGroups({});
  t.triggerMenu("mnuEditGroupItem");
  EXPECT_EQ(lastMessage().prompt, kEmpty);
  EXPECT_EQ(lastMessage().title, "Edit Group Record");
  EXPECT_EQ(t.activeName(), "frmAddGroup");
}

} // namespace
