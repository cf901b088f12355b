// The checks and writes of the group and subject maintenance screens, without windows.
#include "BookFixture.h"
#include "tips/GroupMaintenance.h"
#include "tips/SubjectMaintenance.h"

namespace {

using tips::EntryProblem;
using tips::GroupEdit;
using tips::SubjectDeletion;
using tips::SubjectEdit;

class Maintenance : public Book {
protected:
  tips::GroupMaintenance groups{*book};
  tips::SubjectMaintenance subjects{*book};
  qint32 id(const QString &name) { return book->rows().findGroup(name).value_or(0); }
};

TEST_F(Maintenance, NewGroupsAreCheckedInOrderAndStoredTickedAndTrimmed) {
  EXPECT_EQ(groups.checkNewGroup({"  ", "", ""}), EntryProblem::GroupBlank);
  EXPECT_EQ(groups.checkNewGroup({"A", " \t", ""}), EntryProblem::SubjectBlank);
  EXPECT_EQ(groups.checkNewGroup({"A", "B", "\n"}), EntryProblem::DescriptionBlank);

  ASSERT_EQ(groups.checkNewGroup({"  What's New ", " It's here ", " Don't wait \n"}),
            EntryProblem::None);
  EXPECT_FALSE(groups.addGroup({"  What's New ", " It's here ", " Don't wait \n"}, {})
                   .pictureFailure.has_value());
  EXPECT_EQ(rows("SELECT TIP_GROUP FROM \"Group\""), (QList<QStringList>{{"What`s New"}}));
  EXPECT_EQ(rows("SELECT TIP_SUBJECT, TIP_DESCRIPTION FROM Tips"),
            (QList<QStringList>{{"It`s here", "Don't wait"}}));

  // The same name again, typed with an apostrophe, other blanks or other case.
  EXPECT_EQ(groups.checkNewGroup({"What's New", "x", "y"}), EntryProblem::GroupExists);
  EXPECT_EQ(groups.checkNewGroup({" WHAT`S NEW  ", "x", "y"}), EntryProblem::GroupExists);
  // A first subject used under any other group.
  EXPECT_EQ(groups.checkNewGroup({"Other", "it's HERE", "y"}), EntryProblem::SubjectExists);
}

TEST_F(Maintenance, RenamesCompareExactlyButLookUpWithoutCase) {
  groups.addGroup({"Vim", "Macros", "x"}, {});
  groups.addGroup({"Shell", "Pipes", "x"}, {});
  EXPECT_EQ(groups.planEdit("Vim", " Vim  ", false), GroupEdit::NothingChanged);
  EXPECT_EQ(groups.planEdit("Vim", "Vim", true), GroupEdit::PictureOnly);
  EXPECT_EQ(groups.planEdit("Vim", "   ", false), GroupEdit::NameBlank);
  // A change of letter case alone finds the group itself.
  EXPECT_EQ(groups.planEdit("Vim", "VIM", false), GroupEdit::NameExists);
  EXPECT_EQ(groups.planEdit("Vim", " shell ", false), GroupEdit::NameExists);
  ASSERT_EQ(groups.planEdit("Vim", "Vim's editor ", false), GroupEdit::Rename);

  const qint32 vim = id("Vim");
  EXPECT_EQ(groups.renameGroup("Vim", "Vim's editor "), vim);
  // Stored as typed: blanks kept, apostrophes ticked.
  EXPECT_EQ(book->rows().groupName(vim), "Vim`s editor ");
  EXPECT_EQ(groups.renameGroup("Vim", "Again"), std::nullopt);
}

TEST_F(Maintenance, APictureIsCopiedOnlyWhenItIsAnotherFile) {
  groups.addGroup({"Vim", "Macros", "x"}, {});
  const qint32 vim = id("Vim");
  // Its own picture: nothing is copied (an injected copy failure would show).
  files.failNth(FileOperation::Copy, 1);
  groups.replacePicture(vim, paths.groupPicture(vim) + " ");
  files.clearFailures();

  QFile chosen(root + "/sunset.jpg");
  ASSERT_TRUE(chosen.open(QIODevice::WriteOnly));
  chosen.write("sunset");
  chosen.close();
  const QList<QStringList> before = rows("SELECT * FROM \"Group\"");
  clock.setToday(QDate(2030, 1, 1));
  groups.replacePicture(vim, root + "/sunset.jpg");
  EXPECT_EQ(picture(vim), "sunset");
  EXPECT_EQ(rows("SELECT * FROM \"Group\""), before);
}

TEST_F(Maintenance, DeletingAGroupByNameNeedsTheGroup) {
  groups.addGroup({"Vim", "Macros", "x"}, {});
  EXPECT_FALSE(groups.deleteGroupNamed("Emacs"));
  EXPECT_TRUE(groups.hasGroups());
  EXPECT_TRUE(groups.deleteGroupNamed("vim"));
  EXPECT_FALSE(groups.hasGroups());
}

TEST_F(Maintenance, SubjectsAreUniqueOverTheWholeDatabase) {
  groups.addGroup({"Vim", "Macros", "x"}, {});
  groups.addGroup({"Shell", "Pipes", "x"}, {});
  const qint32 shell = id("Shell");
  EXPECT_EQ(subjects.checkNewSubject(" ", "x"), EntryProblem::SubjectBlank);
  EXPECT_EQ(subjects.checkNewSubject("Redirects", " "), EntryProblem::DescriptionBlank);
  EXPECT_EQ(subjects.checkNewSubject(" MACROS ", "x"), EntryProblem::SubjectExists);
  ASSERT_EQ(subjects.checkNewSubject(" Here's how ", "x"), EntryProblem::None);
  EXPECT_TRUE(subjects.addSubject(shell, " Here's how ", " text "));
  EXPECT_EQ(rows("SELECT GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION FROM Tips ORDER BY TIPS_ID DESC "
                 "LIMIT 1"),
            (QList<QStringList>{{QString::number(shell), "Here`s how", "text"}}));
  // Never a tip without its group.
  EXPECT_FALSE(subjects.addSubject(0, "Lost", "x"));
  EXPECT_FALSE(subjects.addSubject(shell + 100, "Lost", "x"));
  EXPECT_TRUE(rows("SELECT * FROM Tips WHERE TIP_SUBJECT = 'Lost'").isEmpty());
}

TEST_F(Maintenance, SubjectEditsSayWhatChangedAndWriteOnlyThat) {
  groups.addGroup({"Vim", "Macros", "Record with q"}, {});
  groups.addGroup({"Shell", "Pipes", "x"}, {});
  EXPECT_EQ(subjects.planEdit("Macros", "Record with q", " ", "y"), SubjectEdit::SubjectBlank);
  EXPECT_EQ(subjects.planEdit("Macros", "Record with q", "M", " "), SubjectEdit::DescriptionBlank);
  EXPECT_EQ(subjects.planEdit("Macros", "Record with q", " Macros", "Record with q "),
            SubjectEdit::NothingChanged);
  EXPECT_EQ(subjects.planEdit("Macros", "Record with q", "MACROS", "x"),
            SubjectEdit::SubjectExists);
  EXPECT_EQ(subjects.planEdit("Macros", "Record with q", "pipes", "x"), SubjectEdit::SubjectExists);
  EXPECT_EQ(subjects.planEdit("Macros", "Record with q", "Macros", "Play with @"),
            SubjectEdit::DescriptionOnly);
  EXPECT_EQ(subjects.planEdit("Macros", "Record with q", "Macro's", "x"),
            SubjectEdit::SubjectChanged);

  clock.setToday(QDate(2030, 1, 1));
  ASSERT_TRUE(subjects.saveDescription("Macros", " Play with @ "));
  EXPECT_EQ(rows("SELECT TIP_SUBJECT, TIP_DESCRIPTION, TIP_DATE FROM Tips WHERE TIPS_ID = 1"),
            (QList<QStringList>{{"Macros", " Play with @ ", "2027-03-14"}}));
  ASSERT_TRUE(subjects.saveSubject("Macros", "Macro's ", "Play"));
  EXPECT_EQ(rows("SELECT TIP_SUBJECT, TIP_DESCRIPTION, TIP_LOCAL, TIP_DATE FROM Tips "
                 "WHERE TIPS_ID = 1"),
            (QList<QStringList>{{"Macro`s ", "Play", "-1", "2030-01-01"}}));
  EXPECT_FALSE(subjects.saveDescription("Macros", "gone"));
  EXPECT_FALSE(subjects.saveSubject("Macros", "gone", "gone"));
}

TEST_F(Maintenance, DeletingTheLastSubjectTakesItsGroupOnlyWhenAskedAndAllOrNothing) {
  groups.addGroup({"Vim", "Macros", "x"}, {});
  groups.addGroup({"Shell", "Pipes", "x"}, {});
  const qint32 vim = id("Vim");
  EXPECT_EQ(subjects.deleteSubject("Vim", "Registers", true), SubjectDeletion::TipGone);
  EXPECT_EQ(subjects.deleteSubject("Emacs", "Macros", true), SubjectDeletion::GroupGone);
  EXPECT_EQ(rows("SELECT COUNT(*) FROM \"Group\""), (QList<QStringList>{{"2"}}));
  EXPECT_EQ(rows("SELECT COUNT(*) FROM Tips"), (QList<QStringList>{{"2"}}));

  EXPECT_EQ(subjects.deleteSubject("Vim", "macros", true), SubjectDeletion::Deleted);
  EXPECT_EQ(rows("SELECT TIP_GROUP FROM \"Group\""), (QList<QStringList>{{"Shell"}}));
  EXPECT_EQ(rows("SELECT TIP_SUBJECT FROM Tips"), (QList<QStringList>{{"Pipes"}}));
  // The picture of a group deleted with its last tip stays in the picture folder.
  EXPECT_TRUE(QFile::exists(paths.groupPicture(vim)));

  EXPECT_EQ(subjects.deleteSubject("Shell", "Pipes", false), SubjectDeletion::Deleted);
  EXPECT_EQ(rows("SELECT TIP_GROUP FROM \"Group\""), (QList<QStringList>{{"Shell"}}));
}

TEST_F(Maintenance, AGroupIsThereByItsKeyUntilItIsDeleted) {
  groups.addGroup({"Vim", "Macros", "x"}, {});
  const qint32 vim = id("Vim");
  EXPECT_TRUE(groups.hasGroup(vim));
  EXPECT_FALSE(groups.hasGroup(vim + 1));
  EXPECT_FALSE(groups.hasGroup(0));
  groups.deleteGroupNamed("Vim");
  EXPECT_FALSE(groups.hasGroup(vim));
}

} // namespace
