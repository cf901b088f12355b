// The rules of the tip database without windows: lists, lookups and the writes with their
// flags, dates and pictures, including what is left when a step fails.
#include "BookFixture.h"

namespace {

TEST_F(Book, AddingAGroupWritesItsFlagsDateFirstTipAndPicture) {
  const qint32 local = addGroup("Shell", "Pipes");
  const qint32 imported = addGroup("Vim", "Macros", tips::Origin::Imported);
  EXPECT_EQ(rows("SELECT GROUP_ID, TIP_GROUP, G_LOCAL, G_IMPORT, G_ORIGINAL, G_DATE "
                 "FROM \"Group\" ORDER BY GROUP_ID"),
            (QList<QStringList>{{QString::number(local), "Shell", "-1", "0", "0", "2027-03-14"},
                                {QString::number(imported), "Vim", "0", "-1", "0", "2027-03-14"}}));
  EXPECT_EQ(rows("SELECT GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, TIP_LOCAL, TIP_IMPORT, "
                 "TIP_ORIGINAL, TIP_DATE FROM Tips ORDER BY TIPS_ID"),
            (QList<QStringList>{
                {QString::number(local), "Pipes", "Some text", "-1", "0", "0", "2027-03-14"},
                {QString::number(imported), "Macros", "Some text", "0", "-1", "0", "2027-03-14"}}));
  // The picture is named by the key the engine handed out; no choice means the placeholder.
  EXPECT_EQ(picture(local), "placeholder");

  QFile chosen(root + "/chosen.jpg");
  ASSERT_TRUE(chosen.open(QIODevice::WriteOnly));
  chosen.write("sunset");
  chosen.close();
  const qint32 third = book->addGroup({"Git", "Rebase", "x", root + "/chosen.jpg"}).groupId;
  EXPECT_EQ(picture(third), "sunset");
}

TEST_F(Book, AFailedPictureCopyKeepsTheRowsAndNamesTheFile) {
  // A missing placeholder must not make adding groups impossible.
  QFile::remove(paths.placeholderPicture());
  const tips::TipBook::Added added = book->addGroup({"Vim", "Macros", "x", {}});
  ASSERT_TRUE(added.pictureFailure.has_value());
  EXPECT_EQ(added.pictureFailure->path(), paths.placeholderPicture());
  EXPECT_EQ(rows("SELECT TIP_GROUP FROM \"Group\""), (QList<QStringList>{{"Vim"}}));
  EXPECT_EQ(rows("SELECT TIP_SUBJECT FROM Tips"), (QList<QStringList>{{"Macros"}}));
}

TEST_F(Book, ListsAreSortedForAReaderAndLookupsIgnoreCase) {
  const qint32 zebra = addGroup("zebra", "Stripes");
  const qint32 eclair = addGroup("Éclair", "Pastry");
  const qint32 apple = addGroup("Apple", "Pie");
  book->rows().insertTip(apple, "apple crumble", "", tips::Origin::Local);
  std::vector<tips::ListEntry> groups = book->rows().groups();
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[0].id, apple);
  EXPECT_EQ(groups[1].id, eclair);
  EXPECT_EQ(groups[2].id, zebra);
  std::vector<tips::ListEntry> subjects = book->rows().subjects(apple);
  ASSERT_EQ(subjects.size(), 2u);
  EXPECT_EQ(subjects[0].text, "apple crumble");

  EXPECT_EQ(book->rows().findGroup("ÉCLAIR"), eclair);
  EXPECT_EQ(book->rows().findGroup("ZEBRA"), zebra);
  EXPECT_EQ(book->rows().findGroup("Zebras"), std::nullopt);
  // Subjects are unique over the whole database, whatever the group.
  EXPECT_EQ(book->rows().findSubject("PASTRY").has_value(), true);
  // A value with an apostrophe is looked up safely, not pasted into the criteria.
  EXPECT_EQ(book->rows().findSubject("it's"), std::nullopt);
  EXPECT_EQ(book->rows().description(subjects[1].id), "Some text");
}

TEST_F(Book, RenamesAndSubjectChangesMakeRowsLocalButADescriptionAloneDoesNot) {
  const qint32 id = addGroup("Vim", "Macros", tips::Origin::Imported);
  const qint32 tip = book->rows().subjects(id).front().id;
  clock.setToday(QDate(2027, 4, 1));
  book->rows().changeTip(tip, "Macros", "New text");
  EXPECT_EQ(rows("SELECT TIP_DESCRIPTION, TIP_LOCAL, TIP_IMPORT, TIP_DATE FROM Tips"),
            (QList<QStringList>{{"New text", "0", "-1", "2027-03-14"}}));
  book->rows().changeTip(tip, "Recorded macros", "New text");
  EXPECT_EQ(rows("SELECT TIP_SUBJECT, TIP_LOCAL, TIP_IMPORT, TIP_DATE FROM Tips"),
            (QList<QStringList>{{"Recorded macros", "-1", "0", "2027-04-01"}}));
  book->rows().renameGroup(id, "Vim editor");
  EXPECT_EQ(rows("SELECT TIP_GROUP, G_LOCAL, G_IMPORT, G_DATE FROM \"Group\""),
            (QList<QStringList>{{"Vim editor", "-1", "0", "2027-04-01"}}));
  EXPECT_THROW(book->rows().renameGroup(id + 1, "Nothing"), store::StoreError);
}

TEST_F(Book, DeletingAGroupTakesItsTipsAndPictureAndSparesTheOthers) {
  const qint32 keep = addGroup("Shell", "Pipes");
  const qint32 gone = addGroup("Vim", "Macros");
  book->rows().insertTip(gone, "Registers", "", tips::Origin::Local);
  book->deleteGroup(gone);
  EXPECT_EQ(rows("SELECT GROUP_ID FROM \"Group\""), (QList<QStringList>{{QString::number(keep)}}));
  EXPECT_EQ(rows("SELECT TIP_SUBJECT FROM Tips"), (QList<QStringList>{{"Pipes"}}));
  EXPECT_FALSE(QFile::exists(paths.groupPicture(gone)));
  EXPECT_TRUE(QFile::exists(paths.groupPicture(keep)));

  // A group whose picture is already gone is still deleted.
  QFile::remove(paths.groupPicture(keep));
  book->deleteGroup(keep);
  EXPECT_TRUE(rows("SELECT * FROM \"Group\"").isEmpty());
}

TEST_F(Book, APictureThatCannotBeDeletedIsReportedAfterTheGroupIsGone) {
  const qint32 id = addGroup("Vim", "Macros");
  files.failNth(FileOperation::Delete, 1);
  EXPECT_THROW(book->deleteGroup(id), FileError);
  // The rows went first: a picture left behind harms nothing, a group without one would.
  EXPECT_TRUE(rows("SELECT * FROM \"Group\"").isEmpty());
  EXPECT_TRUE(QFile::exists(paths.groupPicture(id)));
}

} // namespace
