// Add, edit and delete subject, driven through the real screens and checked in the
// database and the picture folder.
#include "support/MaintenanceFixture.h"

#include "framework/Screen.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

using msgbox::vbCancel;
using msgbox::vbNo;
using msgbox::vbOK;
using msgbox::vbYes;

const QString kOops =
    "Oops! That was not supposed to happen!\r\nThere is a problem here, please report it.";
const QString kEmpty = "The Database Is Empty!\r\nClick OK To Add Your First Record.";

class Subjects : public OnMaintenance {
protected:
  void SetUp() override {
    OnMaintenance::SetUp();
    useGroups({{"Vim", {"Macros", "Registers", "Marks"}}, {"Shell", {"Pipes"}}});
    t.program().clock().setToday(QDate(2027, 5, 6));
  }
  QString description(const char *box) { return t.control<QPlainTextEdit>(box)->toPlainText(); }
  void replace(const char *box, const QString &text) {
    if (auto *line = qobject_cast<QLineEdit *>(t.control(box)))
      line->clear();
    else
      t.control<QPlainTextEdit>(box)->clear();
    t.type(box, text);
  }
  QList<QStringList> tip(const QString &subject) {
    return rows("SELECT GROUP_ID, TIP_DESCRIPTION, TIP_LOCAL, TIP_ORIGINAL, TIP_DATE FROM Tips "
                "WHERE TIP_SUBJECT = '" +
                subject + "'");
  }
};

TEST_F(Subjects, AddSubjectChecksInOrderAndFilesTheTipUnderTheChosenGroup) {
  openWithPositions("mnuAddNewSubjectItem", 1); // Vim
  ASSERT_EQ(t.activeName(), "frmAddSubject");
  EXPECT_EQ(t.text("Combo1"), "Vim");
  EXPECT_EQ(t.g().gGroupId, 101);
  EXPECT_EQ(focused(), "txtAddSubject");

  t.click("cmdSaveNewSubject");
  EXPECT_EQ(lastMessage().prompt, "Tip SUBJECT Name can NOT be Blank!\r\nPlease Try Again.");
  EXPECT_EQ(lastMessage().title, "Add New Subject And Description Record");
  t.type("txtAddSubject", "folds");
  EXPECT_EQ(t.text("txtAddSubject"), "Folds");
  t.click("cmdSaveNewSubject");
  EXPECT_EQ(lastMessage().prompt, "Tip DESCRIPTION Name can NOT be Blank!\r\nPlease Try Again.");
  EXPECT_EQ(focused(), "txtAddDescription");
  // A subject of another group, with blanks around it, is taken.
  replace("txtAddSubject", " pipes ");
  t.type("txtAddDescription", "za toggles a fold");
  t.click("cmdSaveNewSubject");
  EXPECT_EQ(lastMessage().prompt, "TIP SUBJECT name already exists!\r\nPlease enter a new one.");
  EXPECT_EQ(lastMessage().style, 16);
  EXPECT_EQ(focused(), "txtAddSubject");

  replace("txtAddSubject", "folds");
  t.messages().queue(vbCancel);
  t.click("cmdSaveNewSubject");
  EXPECT_EQ(lastMessage().prompt, "The Updated Record has been Cancelled!");
  EXPECT_EQ(t.messages().shown()[t.messages().shown().size() - 2].style, 49);
  EXPECT_TRUE(tip("Folds").isEmpty());
  EXPECT_EQ(t.text("txtAddSubject"), "Folds");

  // The group goes to Shell; after Yes the next subject goes there without choosing again.
  t.choose("Combo1", "Shell");
  t.messages().queue(vbOK);
  t.messages().queue(vbYes);
  t.click("cmdSaveNewSubject");
  EXPECT_EQ(lastMessage().prompt,
            "Click YES To Create New Subject Record!\r\nOr click NO to cancel Add New Subject!");
  EXPECT_EQ(lastMessage().style, 36);
  EXPECT_EQ(tip("Folds"),
            (QList<QStringList>{{"102", "Za toggles a fold", "-1", "0", "2027-05-06"}}));
  EXPECT_EQ(t.text("txtAddSubject"), "");
  EXPECT_EQ(description("txtAddDescription"), "");
  t.type("txtAddSubject", "here's a tip");
  t.type("txtAddDescription", "text");
  t.messages().queue(vbOK);
  t.messages().queue(vbNo);
  t.click("cmdSaveNewSubject");
  EXPECT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_EQ(rows("SELECT GROUP_ID FROM Tips WHERE TIP_SUBJECT = 'Here`s a tip'"),
            (QList<QStringList>{{"102"}}));
  // The group's own row is not touched.
  EXPECT_EQ(rows("SELECT G_LOCAL, G_ORIGINAL, G_DATE FROM \"Group\" WHERE GROUP_ID = 102"),
            (QList<QStringList>{{"0", "-1", "2026-12-01"}}));
}

TEST_F(Subjects, AddSubjectNeverStoresATipForAGroupThatWentAway) {
  openWithPositions("mnuAddNewSubjectItem", 1);
  t.type("txtAddSubject", "Folds");
  t.type("txtAddDescription", "za");
  t.sql("DELETE FROM \"Group\" WHERE GROUP_ID = 101");
  t.messages().queue(vbOK);
  t.click("cmdSaveNewSubject");
  EXPECT_EQ(lastMessage().prompt, kOops);
  EXPECT_TRUE(tip("Folds").isEmpty());
  // The list is read again; what was typed stays.
  EXPECT_EQ(entries("Combo1"), QStringList({"Shell"}));
  EXPECT_EQ(t.text("txtAddSubject"), "Folds");
  EXPECT_EQ(t.activeName(), "frmAddSubject");
}

TEST_F(Subjects, EditSubjectPreselectsTheMainScreenPositionsOrTheNearestEntry) {
  openWithPositions("mnuEditSubjectItem", 1, 9); // Vim, past its last subject
  ASSERT_EQ(t.activeName(), "frmEditSubject1");
  EXPECT_EQ(entries("Combo2"), QStringList({"Macros", "Marks", "Registers"}));
  EXPECT_EQ(t.text("Combo2"), "Registers");
  EXPECT_EQ(description("txtDescriptionEdit"), "About Registers");
  EXPECT_TRUE(t.control<QPlainTextEdit>("txtDescriptionEdit")->isReadOnly());
  EXPECT_EQ(t.g().gSubjectName, "Registers");
  EXPECT_EQ(t.g().gDescription, "About Registers");
  EXPECT_EQ(focused(), "cmdClickNext");
  t.choose("Combo2", "Macros");
  EXPECT_EQ(t.g().gDescription, "About Macros");
  // Another group preselects the main screen's subject position again, as near as it can.
  t.choose("Combo1", "Shell");
  EXPECT_EQ(t.text("Combo2"), "Pipes");
  EXPECT_EQ(t.g().gGroupId, 102);
  EXPECT_EQ(t.g().gGroupName, "Shell");

  // A group without tips has nothing to edit.
  t.sql("INSERT INTO \"Group\"(GROUP_ID, TIP_GROUP) VALUES (200, 'Zsh')");
  t.click("cmdShowTips");
  openWithPositions("mnuEditSubjectItem", 2);
  EXPECT_EQ(lastMessage().prompt, kEmpty);
  EXPECT_EQ(lastMessage().title, "Edit Subject and Description");
  EXPECT_EQ(t.activeName(), "frmAddGroup");
}

TEST_F(Subjects, EditSubjectWritesOnlyWhatChangedAndRefusesASubjectOfAnotherGroup) {
  openWithPositions("mnuEditSubjectItem", 1, 0); // Vim, Macros
  t.click("cmdClickNext");
  ASSERT_EQ(t.activeName(), "frmEditSubject2");
  EXPECT_EQ(t.text("txtGroupEdit"), "Vim");
  EXPECT_EQ(t.text("txtSubjectEdit"), "Macros");
  EXPECT_EQ(description("txtDescriptionEdit"), "About Macros");
  EXPECT_EQ(focused(), "txtSubjectEdit");

  t.click("cmdSaveEditSubject");
  EXPECT_EQ(lastMessage().prompt, "There are No Changes to the Subject And Description Name!\r\n"
                                  "Type a different Subject Name or select a different "
                                  "Description Name.");
  replace("txtSubjectEdit", "pipes");
  t.click("cmdSaveEditSubject");
  EXPECT_EQ(lastMessage().prompt, "TIP SUBJECT name already exists! Please enter a new one.");
  EXPECT_EQ(lastMessage().style, 48);

  // The description alone: flags and date stay.
  replace("txtSubjectEdit", "Macros");
  replace("txtDescriptionEdit", "record with q");
  t.messages().queue(vbOK);
  t.messages().queue(vbYes);
  t.click("cmdSaveEditSubject");
  EXPECT_EQ(t.messages().shown()[t.messages().shown().size() - 2].prompt,
            "There are No Changes to the Subject Name!\r\nOnly The Description will be Changed.");
  EXPECT_EQ(lastMessage().prompt, "Click YES To Edit Other Subject Record!\r\nClick NO to cancel!");
  EXPECT_EQ(lastMessage().style, 4);
  EXPECT_EQ(tip("Macros"), (QList<QStringList>{{"101", "Record with q", "0", "-1", "2026-12-01"}}));

  // Back at step 1 with the main screen's positions; a new subject makes the tip local.
  ASSERT_EQ(t.activeName(), "frmEditSubject1");
  EXPECT_EQ(t.text("Combo1"), "Vim");
  EXPECT_EQ(t.text("Combo2"), "Macros");
  t.click("cmdClickNext");
  replace("txtSubjectEdit", "recording macros");
  t.messages().queue(vbNo);
  t.click("cmdSaveEditSubject");
  EXPECT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_EQ(tip("Recording Macros"),
            (QList<QStringList>{{"101", "Record with q", "-1", "0", "2027-05-06"}}));
}

TEST_F(Subjects, DeletingTheOnlySubjectWarnsAndTakesTheGroupButLeavesItsPicture) {
  openWithPositions("mnuDeleteSubjectItem", 0); // Shell, one subject
  ASSERT_EQ(t.activeName(), "frmDelSubject1");
  EXPECT_EQ(t.g().gGroupSubjectCount, 1);
  t.click("cmdClickNext");
  ASSERT_EQ(t.activeName(), "frmDelSubject2");
  EXPECT_EQ(focused(), "cmdDelSubject");
  for (const char *box : {"txtGroup", "txtSubject"})
    EXPECT_TRUE(t.control<QLineEdit>(box)->isReadOnly()) << box;
  EXPECT_TRUE(t.control<QPlainTextEdit>("txtDescription")->isReadOnly());

  t.messages().queue(vbNo);
  t.click("cmdDelSubject");
  EXPECT_EQ(lastMessage().prompt, "It is only ONE Subject record on this Group!\r\n"
                                  "Click NO to cancel or Click YES to remove the Group too!");
  EXPECT_EQ(lastMessage().style, 20);
  EXPECT_EQ(lastMessage().title, "Delete Subject And Description Record");
  EXPECT_EQ(rows("SELECT COUNT(*) FROM Tips"), (QList<QStringList>{{"4"}}));
  EXPECT_EQ(rows("SELECT COUNT(*) FROM \"Group\""), (QList<QStringList>{{"2"}}));

  t.g().gShowSubjectIndex = 2;
  t.messages().queue(vbYes);
  t.messages().queue(vbYes);
  t.click("cmdDelSubject");
  EXPECT_EQ(lastMessage().prompt,
            "Click YES To DELETE Other Subject Record!\r\nClick NO to cancel!");
  EXPECT_EQ(lastMessage().style, 52);
  EXPECT_EQ(rows("SELECT TIP_GROUP FROM \"Group\""), (QList<QStringList>{{"Vim"}}));
  EXPECT_TRUE(tip("Pipes").isEmpty());
  EXPECT_TRUE(QFile::exists(picture(102)));
  // Step 1 again, with the first subject of the (nearest) group preselected.
  EXPECT_EQ(t.g().gShowSubjectIndex, 0);
  ASSERT_EQ(t.activeName(), "frmDelSubject1");
  EXPECT_EQ(t.text("Combo1"), "Vim");
  EXPECT_EQ(t.text("Combo2"), "Macros");
  EXPECT_EQ(t.g().gGroupSubjectCount, 3);
}

TEST_F(Subjects, DeletingOneOfSeveralSubjectsAsksNothingFirst) {
  t.sql("UPDATE Tips SET TIP_SUBJECT = 'Marks ' WHERE TIP_SUBJECT = 'Marks'");
  openWithPositions("mnuDeleteSubjectItem", 1, 1); // Vim, "Marks "
  t.click("cmdClickNext");
  EXPECT_EQ(t.text("txtSubject"), "Marks");
  const size_t before = shownCount();
  t.messages().queue(vbNo);
  t.click("cmdDelSubject");
  ASSERT_EQ(shownCount(), before + 1);
  EXPECT_EQ(lastMessage().style, 52);
  EXPECT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_EQ(rows("SELECT TIP_SUBJECT FROM Tips WHERE GROUP_ID = 101 ORDER BY TIPS_ID"),
            (QList<QStringList>{{"Macros"}, {"Registers"}}));
}

TEST_F(Subjects, ATipGoneSinceStepOneIsReportedAndItsGroupStays) {
  openWithPositions("mnuDeleteSubjectItem", 0);
  t.click("cmdClickNext");
  t.sql("UPDATE Tips SET TIP_SUBJECT = 'Tubes' WHERE TIP_SUBJECT = 'Pipes'");
  t.messages().queue(vbYes);
  t.click("cmdDelSubject");
  EXPECT_EQ(lastMessage().prompt, kOops);
  EXPECT_EQ(t.activeName(), "frmDelSubject2");
  EXPECT_EQ(focused(), "cmdDelSubject");
  EXPECT_EQ(rows("SELECT COUNT(*) FROM \"Group\""), (QList<QStringList>{{"2"}}));
  EXPECT_EQ(rows("SELECT COUNT(*) FROM Tips"), (QList<QStringList>{{"4"}}));
}

} // namespace
