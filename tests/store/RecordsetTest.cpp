// Record sets as the screens and rules use them: the program's record sources, name and
// case rules, and the exact semantics of moves, lookups, adds, edits and deletes.

#include "StoreFixture.h"

using namespace store;
using namespace store::test;

class RecordsetTest : public StoreFixture {};

TEST_F(RecordsetTest, TheQueryTextsOfTheScreens) {
  const int kitchen = addGroup(QStringLiteral("Kitchen"));
  const int apple = addGroup(QStringLiteral("apple"));
  const int eclair = addGroup(QStringLiteral("Éclair"));
  const int appleUpper = addGroup(QStringLiteral("Apple")); // same name but for case
  const int garden = addGroup(QStringLiteral("Garden"));
  addTip(garden, QStringLiteral("Water early"));
  const int lid =
      addTip(kitchen, QStringLiteral("Keep the lid on"), QStringLiteral("Line 1\r\nLine 2"));
  addTip(kitchen, QStringLiteral("Salt late"));

  // Whole tables, in key order.
  for (const char *name : {"Group", "group", "GROUP"}) {
    auto dc = control(QString::fromLatin1(name));
    EXPECT_EQ(column(dc->recordset(), QStringLiteral("tip_group")),
              (QStringList{"Kitchen", "apple", "Éclair", "Apple", "Garden"}));
  }

  // Groups by name without regard to case (by the folded name: the reader's order with
  // accented letters beside their base letter is the lists' own); equal names stay in
  // key order.
  auto sorted = control(QStringLiteral("SELECT * FROM Group ORDER BY Tip_Group"));
  EXPECT_EQ(column(sorted->recordset(), QStringLiteral("TIP_GROUP")),
            (QStringList{"apple", "Apple", "Garden", "Kitchen", "Éclair"}));
  EXPECT_EQ(
      column(sorted->recordset(), QStringLiteral("GROUP_ID")),
      (QStringList{QString::number(apple), QString::number(appleUpper), QString::number(garden),
                   QString::number(kitchen), QString::number(eclair)}));

  // The tips of one group, the number appended with no blank after "=".
  auto ofKitchen =
      control(QStringLiteral("SELECT * FROM TIPS WHERE GROUP_ID =") + QString::number(kitchen));
  EXPECT_EQ(column(ofKitchen->recordset(), QStringLiteral("TIP_SUBJECT")),
            (QStringList{"Keep the lid on", "Salt late"}));
  auto none =
      control(QStringLiteral("SELECT * FROM TIPS WHERE GROUP_ID =") + QString::number(apple));
  EXPECT_EQ(none->recordset().recordCount(), 0);
  EXPECT_TRUE(none->recordset().eof());

  // One tip; its description keeps its line breaks.
  auto one = control(QStringLiteral("SELECT * FROM TIPS WHERE TIPS_ID =") + QString::number(lid));
  ASSERT_EQ(one->recordset().recordCount(), 1);
  EXPECT_EQ(one->recordset().text(QStringLiteral("Tip_Description")),
            QStringLiteral("Line 1\r\nLine 2"));

  // Settings: the one row, reached by moving to the first record.
  auto settings = control(QStringLiteral("Settings"));
  settings->recordset().moveFirst();
  EXPECT_EQ(settings->recordset().recordCount(), 1);
  EXPECT_EQ(settings->recordset().field(QStringLiteral("USER_W")), QVariant(7404));
  EXPECT_TRUE(settings->recordset().isNull(QStringLiteral("USER_FIRST")));
  EXPECT_FALSE(settings->recordset().field(QStringLiteral("USER_FIRST")).isValid());
  EXPECT_EQ(settings->recordset().text(QStringLiteral("USER_FIRST")), QString());

  // A source takes effect at the next refresh only.
  sorted->setRecordSource(QStringLiteral("Tips"));
  EXPECT_EQ(sorted->recordset().recordCount(), 5);
  sorted->refresh();
  EXPECT_EQ(sorted->recordset().recordCount(), 3);
  // A bad source leaves the open record set as it was.
  sorted->setRecordSource(QStringLiteral("SELECT * FROM Tips WHERE"));
  EXPECT_FALSE(errorOf([&] { sorted->refresh(); }).isEmpty());
  EXPECT_EQ(sorted->recordset().recordCount(), 3);
}

TEST_F(RecordsetTest, LookupsByNameIgnoreCaseForAllLetters) {
  const int tipsGroup = addGroup(QStringLiteral("Tips"));
  addGroup(QStringLiteral("été"));
  const int backtick = addGroup(QStringLiteral("O`Brien")); // QuoteToTick's form
  const int apostrophe = addGroup(QStringLiteral("It's"));  // as an import may bring it
  const int tipsAgain = addGroup(QStringLiteral("TIPS"));
  addTip(tipsGroup, QStringLiteral("Use the Tab key"));

  auto find = [&](const char *name) {
    return lookup(QStringLiteral("Group"), QStringLiteral("TIP_GROUP"), QString::fromUtf8(name));
  };
  EXPECT_EQ(find("tips"), QStringLiteral("Tips")); // the first in key order
  EXPECT_EQ(find("TIPS"), QStringLiteral("Tips"));
  EXPECT_EQ(find("ÉTÉ"), QStringLiteral("été"));
  EXPECT_EQ(find("ete"), QStringLiteral("<no match>"));
  EXPECT_EQ(find("Tips "), QStringLiteral("<no match>"));
  EXPECT_EQ(find("o`brien"), QStringLiteral("O`Brien"));
  EXPECT_EQ(find("O'Brien"), QStringLiteral("<no match>"));
  EXPECT_EQ(find("it's"), QStringLiteral("It's"));
  // An injection attempt inside a well-formed text is only a name that is not there.
  EXPECT_EQ(find("x' OR '1'='1"), QStringLiteral("<no match>"));

  auto byName = control(QStringLiteral("SELECT * FROM Group WHERE TIP_GROUP = 'tips'"));
  EXPECT_EQ(column(byName->recordset(), QStringLiteral("GROUP_ID")),
            (QStringList{QString::number(tipsGroup), QString::number(tipsAgain)}));
  auto byKey =
      control(QStringLiteral("SELECT * FROM Group WHERE GROUP_ID =") + QString::number(backtick));
  EXPECT_EQ(column(byKey->recordset(), QStringLiteral("TIP_GROUP")), QStringList{"O`Brien"});
  auto quoted = control(QStringLiteral("SELECT * FROM Group WHERE TIP_GROUP = 'IT''S'"));
  EXPECT_EQ(column(quoted->recordset(), QStringLiteral("GROUP_ID")),
            QStringList{QString::number(apostrophe)});

  auto tip = control(QStringLiteral("SELECT * FROM Tips WHERE TIP_SUBJECT = 'USE THE TAB KEY'"));
  ASSERT_EQ(tip->recordset().recordCount(), 1);
  EXPECT_EQ(tip->recordset().field(QStringLiteral("GROUP_ID")).toInt(), tipsGroup);
}

TEST_F(RecordsetTest, AddNewAssignsTheKeyAtOnceAndAppendsTheRow) {
  addGroup(QStringLiteral("Middle"));
  auto dc = control(QStringLiteral("SELECT * FROM Group ORDER BY Tip_Group"));
  Recordset &rs = dc->recordset();
  EXPECT_EQ(rs.text(QStringLiteral("TIP_GROUP")), QStringLiteral("Middle"));

  rs.addNew();
  const QVariant key = rs.field(QStringLiteral("group_id"));
  EXPECT_EQ(key, QVariant(2));
  EXPECT_TRUE(rs.isNull(QStringLiteral("TIP_GROUP")));
  EXPECT_EQ(rs.field(QStringLiteral("G_LOCAL")), QVariant(kFalse));
  rs.setField(QStringLiteral("TIP_GROUP"), QStringLiteral("Aardvark")); // sorts first by name
  rs.setField(QStringLiteral("G_LOCAL"), true);
  rs.setField(QStringLiteral("G_DATE"), QDate(2024, 2, 29));
  EXPECT_EQ(rs.text(QStringLiteral("TIP_GROUP")), QStringLiteral("Aardvark"));
  rs.update();

  // The row that was current stays current; the new row is the last of the set.
  EXPECT_EQ(rs.text(QStringLiteral("TIP_GROUP")), QStringLiteral("Middle"));
  EXPECT_EQ(rs.recordCount(), 2);
  rs.moveNext();
  EXPECT_EQ(rs.field(QStringLiteral("GROUP_ID")), key);
  EXPECT_EQ(rs.text(QStringLiteral("TIP_GROUP")), QStringLiteral("Aardvark"));
  EXPECT_EQ(rs.field(QStringLiteral("G_LOCAL")), QVariant(kTrue));
  EXPECT_EQ(rs.field(QStringLiteral("G_DATE")), QVariant(QDate(2024, 2, 29)));
  EXPECT_EQ(rawColumn(dbPath(), QStringLiteral("SELECT G_DATE || ' ' || G_LOCAL || ' ' || "
                                               "G_IMPORT FROM \"Group\" WHERE GROUP_ID = 2")),
            QStringList{"2024-02-29 -1 0"});
  rs.moveNext();
  EXPECT_TRUE(rs.eof());
  // Until the next refresh puts it in its place.
  dc->refresh();
  EXPECT_EQ(rs.text(QStringLiteral("TIP_GROUP")), QStringLiteral("Aardvark"));

  // Into an empty set: the set stays at its end until moved.
  auto tips = control(QStringLiteral("SELECT * FROM TIPS WHERE GROUP_ID =2"));
  Recordset &t = tips->recordset();
  EXPECT_LT(t.recordCount(), 1);
  t.addNew();
  t.setField(QStringLiteral("GROUP_ID"), key);
  t.setField(QStringLiteral("TIP_SUBJECT"), QStringLiteral("First"));
  t.update();
  EXPECT_GT(t.recordCount(), 0);
  EXPECT_TRUE(t.eof());
  t.moveFirst();
  EXPECT_EQ(t.text(QStringLiteral("TIP_SUBJECT")), QStringLiteral("First"));
  EXPECT_EQ(t.field(QStringLiteral("TIPS_ID")), QVariant(1));
}

TEST_F(RecordsetTest, KeysAreNeverHandedOutTwice) {
  auto one = control(QStringLiteral("Group"));
  auto two = control(QStringLiteral("Group"));
  one->recordset().addNew();
  two->recordset().addNew(); // pending at the same time on the same table
  const int first = one->recordset().field(QStringLiteral("GROUP_ID")).toInt();
  const int second = two->recordset().field(QStringLiteral("GROUP_ID")).toInt();
  EXPECT_NE(first, second);
  two->recordset().update();
  one->recordset().update();
  EXPECT_EQ(rawColumn(dbPath(), QStringLiteral("SELECT GROUP_ID FROM \"Group\" ORDER BY 1")),
            (QStringList{QString::number(first), QString::number(second)}));

  // A deleted last key is not given again; a new row left by a move stores nothing.
  one->refresh();
  one->recordset().moveNext();
  const int last = one->recordset().field(QStringLiteral("GROUP_ID")).toInt();
  one->recordset().deleteRow();
  one->recordset().addNew();
  EXPECT_EQ(one->recordset().field(QStringLiteral("GROUP_ID")).toInt(), last + 1);
  one->recordset().moveFirst();
  EXPECT_EQ(one->recordset().recordCount(), 1);
  EXPECT_EQ(rawColumn(dbPath(), QStringLiteral("SELECT count(*) FROM \"Group\"")),
            QStringList{"1"});
  EXPECT_EQ(addGroup(QStringLiteral("Next")), last + 1);
}

TEST_F(RecordsetTest, EditChangesTheCurrentRowWithTheFieldTypes) {
  const int g = addGroup(QStringLiteral("Before"));
  addGroup(QStringLiteral("Other"));
  auto dc = control(QStringLiteral("Group"));
  Recordset &rs = dc->recordset();
  rs.edit();
  rs.setField(QStringLiteral("Tip_Group"), QStringLiteral("After"));
  rs.setField(QStringLiteral("G_LOCAL"), false);
  rs.setField(QStringLiteral("G_IMPORT"), 1); // any non-zero is True
  rs.setField(QStringLiteral("G_DATE"), QVariant());
  rs.update();
  EXPECT_EQ(rs.field(QStringLiteral("GROUP_ID")), QVariant(g));
  EXPECT_EQ(rs.text(QStringLiteral("TIP_GROUP")), QStringLiteral("After"));
  EXPECT_EQ(rs.field(QStringLiteral("G_LOCAL")), QVariant(0));
  EXPECT_FALSE(isTrue(rs.field(QStringLiteral("G_LOCAL"))));
  EXPECT_EQ(rs.field(QStringLiteral("G_IMPORT")), QVariant(-1));
  EXPECT_TRUE(isTrue(rs.field(QStringLiteral("G_IMPORT"))));
  EXPECT_TRUE(rs.isNull(QStringLiteral("G_DATE")));
  EXPECT_FALSE(isTrue(QVariant()));
  rs.moveNext();
  EXPECT_EQ(rs.text(QStringLiteral("TIP_GROUP")), QStringLiteral("Other"));

  // Settings: geometry stored whole (negative, beyond 16 bits), 32-bit overflow refused.
  auto settings = control(QStringLiteral("Settings"));
  Recordset &s = settings->recordset();
  s.moveFirst();
  s.edit();
  s.setField(QStringLiteral("USER_L"), -120);
  s.setField(QStringLiteral("USER_T"), QVariant::fromValue<short>(-32768));
  s.setField(QStringLiteral("USER_FIRST"), QStringLiteral("Zoë"));
  s.setField(QStringLiteral("USER_W"), 40000);
  EXPECT_TRUE(errorOf([&] {
                s.setField(QStringLiteral("USER_H"), qint64(1) << 31);
              }).contains(QStringLiteral("32-bit field USER_H")));
  EXPECT_TRUE(errorOf([&] {
                s.setField(QStringLiteral("USER_H"), QStringLiteral("tall"));
              }).contains(QStringLiteral("Type mismatch")));
  s.update();
  s.moveFirst();
  EXPECT_EQ(s.field(QStringLiteral("USER_L")), QVariant(-120));
  EXPECT_EQ(s.field(QStringLiteral("USER_T")), QVariant(-32768));
  EXPECT_EQ(s.field(QStringLiteral("USER_W")), QVariant(40000));
  EXPECT_EQ(s.field(QStringLiteral("USER_H")), QVariant(5172));
  EXPECT_EQ(s.text(QStringLiteral("user_first")), QStringLiteral("Zoë"));
}

TEST_F(RecordsetTest, YesNoValuesFollowOneRuleReadAndWritten) {
  addGroup(QStringLiteral("One"));
  auto dc = control(QStringLiteral("Group"));
  Recordset &rs = dc->recordset();
  const std::pair<QVariant, int> accepted[] = {{QStringLiteral("yes"), kTrue},
                                               {QStringLiteral(" No "), kFalse},
                                               {QStringLiteral("TRUE"), kTrue},
                                               {QStringLiteral("false"), kFalse},
                                               {QStringLiteral("-1"), kTrue},
                                               {QStringLiteral("0"), kFalse},
                                               {2, kTrue},
                                               {0.5, kTrue},
                                               {false, kFalse}};
  for (const auto &[value, stored] : accepted) {
    rs.edit();
    rs.setField(QStringLiteral("G_IMPORT"), value);
    rs.update();
    EXPECT_EQ(rs.field(QStringLiteral("G_IMPORT")), QVariant(stored))
        << value.toString().toStdString();
    EXPECT_EQ(isTrue(value), stored == kTrue) << value.toString().toStdString();
  }
  rs.edit();
  for (const QVariant &value :
       {QVariant(QStringLiteral("maybe")), QVariant(QString()), QVariant(QDate(2024, 1, 1))}) {
    EXPECT_TRUE(errorOf([&] {
                  rs.setField(QStringLiteral("G_IMPORT"), value);
                }).contains(QStringLiteral("Type mismatch")));
    EXPECT_FALSE(isTrue(value));
  }
  rs.moveFirst(); // leaves the edit

  // What another tool stored reads by the same rule; a null is not True.
  Database::open(dbPath(), OpenMode::ReadWrite)
      ->exec(QStringLiteral(
          "UPDATE \"Group\" SET G_LOCAL = 'Yes', G_IMPORT = 'maybe', G_ORIGINAL = NULL"));
  dc->refresh();
  EXPECT_EQ(rs.field(QStringLiteral("G_LOCAL")), QVariant(kTrue));
  EXPECT_EQ(rs.field(QStringLiteral("G_IMPORT")), QVariant(kFalse));
  EXPECT_TRUE(rs.isNull(QStringLiteral("G_ORIGINAL")));
  EXPECT_FALSE(isTrue(rs.field(QStringLiteral("G_ORIGINAL"))));
}

TEST_F(RecordsetTest, WritesOutsideAddNewOrEditAreErrors) {
  addGroup(QStringLiteral("One"));
  auto dc = control(QStringLiteral("Group"));
  Recordset &rs = dc->recordset();
  EXPECT_TRUE(errorOf([&] {
                rs.setField(QStringLiteral("TIP_GROUP"), QStringLiteral("x"));
              }).contains(QStringLiteral("AddNew or Edit")));
  EXPECT_TRUE(errorOf([&] { rs.update(); }).contains(QStringLiteral("without AddNew or Edit")));
  rs.edit();
  EXPECT_TRUE(errorOf([&] {
                rs.setField(QStringLiteral("GROUP_ID"), 99);
              }).contains(QStringLiteral("automatic key")));
  EXPECT_TRUE(errorOf([&] {
                rs.setField(QStringLiteral("NO_SUCH"), 1);
              }).contains(QStringLiteral("has no field \"NO_SUCH\"")));
  EXPECT_TRUE(errorOf([&] {
                rs.setField(QStringLiteral("TIP_GROUP_FOLD"), QStringLiteral("x"));
              }).contains(QStringLiteral("has no field")));
  EXPECT_TRUE(errorOf([&] {
                rs.setField(QStringLiteral("G_DATE"), QStringLiteral("1st May"));
              }).contains(QStringLiteral("Type mismatch")));
  rs.setField(QStringLiteral("TIP_GROUP"), QStringLiteral("Discarded"));
  rs.moveFirst(); // a move discards the pending edit
  EXPECT_EQ(rs.text(QStringLiteral("TIP_GROUP")), QStringLiteral("One"));
  EXPECT_TRUE(errorOf([&] { rs.field(QStringLiteral("NOPE")); }).contains(QStringLiteral("NOPE")));

  DataControl closed;
  EXPECT_TRUE(closed.recordset().eof());
  EXPECT_EQ(closed.recordset().recordCount(), 0);
  EXPECT_TRUE(errorOf([&] {
                closed.recordset().field(QStringLiteral("TIP_GROUP"));
              }).contains(QStringLiteral("not open")));
  EXPECT_FALSE(errorOf([&] { closed.refresh(); }).isEmpty());
}

TEST_F(RecordsetTest, DeleteThenMoveNextWalksOn) {
  const int keep = addGroup(QStringLiteral("Keep"));
  const int drop = addGroup(QStringLiteral("Drop"));
  for (int i = 1; i <= 6; ++i)
    addTip(i % 2 ? drop : keep, QStringLiteral("Tip %1").arg(i));

  // Delete Group's walk: delete every tip of the group, step over the others.
  auto dc = control(QStringLiteral("Tips"));
  Recordset &rs = dc->recordset();
  rs.moveFirst();
  int visited = 0;
  while (!rs.eof()) {
    ++visited;
    if (rs.field(QStringLiteral("GROUP_ID")).toInt() == drop) {
      rs.deleteRow();
      EXPECT_TRUE(errorOf([&] {
                    rs.field(QStringLiteral("TIP_SUBJECT"));
                  }).contains(QStringLiteral("deleted")));
      EXPECT_FALSE(rs.eof());
    }
    rs.moveNext();
  }
  EXPECT_EQ(visited, 6);
  EXPECT_EQ(rs.recordCount(), 3);
  EXPECT_EQ(column(rs, QStringLiteral("TIP_SUBJECT")), (QStringList{"Tip 2", "Tip 4", "Tip 6"}));
  EXPECT_EQ(rawColumn(dbPath(), QStringLiteral("SELECT group_concat(TIP_SUBJECT) FROM Tips")),
            QStringList{"Tip 2,Tip 4,Tip 6"});

  // Deleting the last row: the next move reaches the end; moving on is an error.
  rs.moveFirst();
  rs.moveNext();
  rs.moveNext();
  EXPECT_EQ(rs.text(QStringLiteral("TIP_SUBJECT")), QStringLiteral("Tip 6"));
  rs.deleteRow();
  rs.moveNext();
  EXPECT_TRUE(rs.eof());
  EXPECT_TRUE(errorOf([&] { rs.moveNext(); }).contains(QStringLiteral("no current row")));
  EXPECT_TRUE(errorOf([&] { rs.deleteRow(); }).contains(QStringLiteral("no current row")));
  rs.moveFirst();
  EXPECT_FALSE(rs.eof());

  // Deleting every row leaves an empty set.
  rs.moveFirst();
  while (!rs.eof()) {
    rs.deleteRow();
    rs.moveNext();
  }
  EXPECT_EQ(rs.recordCount(), 0);
  rs.moveFirst();
  EXPECT_TRUE(rs.eof());

  // A row deleted through another record set is an error to read, not stale data.
  const int t = addTip(keep, QStringLiteral("Shared"));
  auto a = control(QStringLiteral("SELECT * FROM TIPS WHERE TIPS_ID =") + QString::number(t));
  auto b = control(QStringLiteral("Tips"));
  EXPECT_EQ(a->recordset().text(QStringLiteral("TIP_SUBJECT")), QStringLiteral("Shared"));
  b->recordset().deleteRow();
  EXPECT_TRUE(errorOf([&] {
                a->recordset().text(QStringLiteral("TIP_SUBJECT"));
              }).contains(QStringLiteral("deleted")));
}

TEST_F(RecordsetTest, AnEditReadsALongTextItDoesNotReplaceAsStored) {
  const int g = addGroup(QStringLiteral("Group"));
  addTip(g, QStringLiteral("Subject"), QStringLiteral("Stored text"));
  auto dc = control(QStringLiteral("Tips"));
  Recordset &rs = dc->recordset();
  rs.edit();
  rs.setField(QStringLiteral("TIP_SUBJECT"), QStringLiteral("New subject"));
  EXPECT_EQ(rs.text(QStringLiteral("TIP_DESCRIPTION")), QStringLiteral("Stored text"));
  rs.update();
  rs.edit();
  rs.setField(QStringLiteral("TIP_DESCRIPTION"), QStringLiteral("New text"));
  EXPECT_EQ(rs.text(QStringLiteral("TIP_DESCRIPTION")), QStringLiteral("New text"));
  rs.update();
  EXPECT_EQ(rawColumn(dbPath(), QStringLiteral("SELECT TIP_SUBJECT || '|' || TIP_DESCRIPTION "
                                               "FROM Tips")),
            QStringList{"New subject|New text"});
}

TEST_F(RecordsetTest, ChangesThroughOneSetAreReadThroughAnother) {
  addGroup(QStringLiteral("Old name"));
  auto reader = control(QStringLiteral("Group"));
  auto writer = control(QStringLiteral("Group"));
  EXPECT_EQ(reader->recordset().text(QStringLiteral("TIP_GROUP")), QStringLiteral("Old name"));
  writer->recordset().edit();
  writer->recordset().setField(QStringLiteral("TIP_GROUP"), QStringLiteral("New name"));
  writer->recordset().update();
  EXPECT_EQ(reader->recordset().text(QStringLiteral("TIP_GROUP")), QStringLiteral("New name"));
}

TEST_F(RecordsetTest, LargeSetsReadRightBeyondTheirFirstRows) {
  // 3,000 tips: more than the rows a refresh reads at once and many windows of rows.
  auto db = Database::open(dbPath(), OpenMode::ReadWrite);
  db->exec(QStringLiteral(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
      "INSERT INTO Tips (GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, TIP_DATE) "
      "SELECT i % 3, 'S' || i, 'D' || i, '2024-01-01' FROM n"));
  auto dc = control(QStringLiteral("Tips"));
  auto other = control(QStringLiteral("SELECT * FROM Tips WHERE TIP_SUBJECT = 's2499'"));
  Recordset &rs = dc->recordset();
  other->recordset().edit();
  other->recordset().setField(QStringLiteral("TIP_DESCRIPTION"), QStringLiteral("changed"));
  other->recordset().update();

  int i = 0, deleted = 0;
  while (!rs.eof()) {
    ++i;
    ASSERT_EQ(rs.text(QStringLiteral("TIP_SUBJECT")), QStringLiteral("S%1").arg(i));
    if (i % 7 == 0) { // only some rows are asked for their long text
      EXPECT_EQ(rs.text(QStringLiteral("TIP_DESCRIPTION")),
                i == 2499 ? QStringLiteral("changed") : QStringLiteral("D%1").arg(i));
    }
    if (i % 100 == 0) {
      rs.deleteRow();
      ++deleted;
    } else if (i % 101 == 0) {
      rs.edit();
      rs.setField(QStringLiteral("TIP_DESCRIPTION"), QStringLiteral("edited %1").arg(i));
      rs.update();
      EXPECT_EQ(rs.text(QStringLiteral("TIP_DESCRIPTION")), QStringLiteral("edited %1").arg(i));
    }
    rs.moveNext();
  }
  EXPECT_EQ(i, 3000);
  EXPECT_EQ(rs.recordCount(), 3000 - deleted);
  auto edited = control(QStringLiteral("SELECT * FROM Tips WHERE TIP_SUBJECT = 'S2929'"));
  ASSERT_EQ(edited->recordset().recordCount(), 1);
  EXPECT_EQ(edited->recordset().text(QStringLiteral("TIP_DESCRIPTION")),
            QStringLiteral("edited 2929"));
  EXPECT_EQ(lookup(QStringLiteral("Tips"), QStringLiteral("TIP_SUBJECT"), QStringLiteral("S2900")),
            QStringLiteral("<no match>"));
  EXPECT_EQ(rawColumn(dbPath(), QStringLiteral("SELECT count(*) FROM Tips")),
            QStringList{QString::number(3000 - deleted)});
}
