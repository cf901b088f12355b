// The program's query and criteria dialect: what the parser accepts, what it refuses,
// and the SQL it builds (bound parameters only).

#include <gtest/gtest.h>

#include "store/QueryText.h"
#include "store/StoreError.h"

using namespace store;

namespace {

const TableSpec &table(const char *name) { return *findTable(QString::fromLatin1(name)); }

QString errorOfSource(const QString &text) {
  try {
    parseRecordSource(text);
  } catch (const StoreError &e) {
    return e.message();
  }
  return QString();
}

QString errorOfCriteria(const QString &text, const char *tableName) {
  try {
    parseCriteria(text, table(tableName));
  } catch (const StoreError &e) {
    return e.message();
  }
  return QString();
}

} // namespace

TEST(QueryText, RecordSourcesOfTheScreens) {
  for (const char *name : {"Group", "Tips", "Settings", "group", "TIPS", "sEtTiNgS", " [Group] "}) {
    const RecordSource s = parseRecordSource(QString::fromLatin1(name));
    ASSERT_NE(s.table, nullptr) << name;
    EXPECT_TRUE(s.where.isEmpty());
    EXPECT_TRUE(s.orderBy.isEmpty());
  }
  EXPECT_EQ(parseRecordSource(QStringLiteral("tips")).table->name, QStringLiteral("Tips"));

  const RecordSource groups =
      parseRecordSource(QStringLiteral("SELECT * FROM Group ORDER BY Tip_Group"));
  EXPECT_EQ(groups.table->name, QStringLiteral("Group"));
  ASSERT_EQ(groups.orderBy.size(), 1);
  EXPECT_EQ(groups.orderBy[0].field->name, QStringLiteral("TIP_GROUP"));
  EXPECT_FALSE(groups.orderBy[0].descending);

  // The number is appended with no blank after "="; blanks are accepted too.
  for (const QString &text :
       {QStringLiteral("SELECT * FROM TIPS WHERE GROUP_ID =") + QString::number(17),
        QStringLiteral("SELECT * FROM TIPS WHERE GROUP_ID = 17"),
        QStringLiteral("select * from tips where group_id=17")}) {
    const RecordSource s = parseRecordSource(text);
    EXPECT_EQ(s.table->name, QStringLiteral("Tips")) << text.toStdString();
    ASSERT_EQ(s.where.size(), 1);
    EXPECT_EQ(s.where[0].field->name, QStringLiteral("GROUP_ID"));
    EXPECT_EQ(s.where[0].value.toLongLong(), 17);
  }
  const RecordSource one = parseRecordSource(QStringLiteral("SELECT * FROM TIPS WHERE TIPS_ID =") +
                                             QString::number(4711));
  EXPECT_EQ(one.where[0].field->name, QStringLiteral("TIPS_ID"));
  EXPECT_EQ(one.where[0].value.toLongLong(), 4711);
}

TEST(QueryText, GeneralisedRecordSources) {
  const RecordSource s = parseRecordSource(QStringLiteral(
      "SELECT * FROM [Tips] WHERE TIP_SUBJECT = 'it''s' AND [GROUP_ID]=-2 AND tip_local = True "
      "AND TIP_DATE = '2024-02-29' ORDER BY TIP_SUBJECT DESC, tips_id ASC;"));
  ASSERT_EQ(s.where.size(), 4);
  EXPECT_EQ(s.where[0].value.toString(), QStringLiteral("it's"));
  EXPECT_EQ(s.where[1].value.toLongLong(), -2);
  EXPECT_EQ(s.where[2].value.toLongLong(), -1);
  EXPECT_EQ(s.where[3].value.toString(), QStringLiteral("2024-02-29"));
  ASSERT_EQ(s.orderBy.size(), 2);
  EXPECT_TRUE(s.orderBy[0].descending);
  EXPECT_EQ(s.orderBy[1].field->name, QStringLiteral("TIPS_ID"));

  const SqlText sql = rowidQuery(s, TableLayout::ofNewFile(table("Tips")));
  EXPECT_EQ(sql.sql, QStringLiteral(
                         "SELECT rowid FROM \"Tips\" WHERE (\"TIP_SUBJECT_FOLD\" = ?1 OR "
                         "\"TIP_SUBJECT_FOLD\" IS NULL) AND obx_fold(\"TIP_SUBJECT\") = ?1 AND "
                         "\"GROUP_ID\" = ?2 AND \"TIP_LOCAL\" = ?3 AND \"TIP_DATE\" = ?4 ORDER BY "
                         "\"TIP_SUBJECT_FOLD\" DESC, \"TIPS_ID\" ASC, rowid ASC"));
  EXPECT_EQ(sql.params.size(), 4);
  EXPECT_FALSE(sql.sql.contains(QStringLiteral("it's")));

  // A file without the key columns (written by an older program) is read through the
  // connection's fold function.
  const SqlText plain = rowidQuery(s, TableLayout{&table("Tips"), QStringLiteral("tips"), {}});
  EXPECT_TRUE(plain.sql.startsWith(QStringLiteral(
      "SELECT rowid FROM \"tips\" WHERE obx_fold(\"TIP_SUBJECT\") = ?1 AND \"GROUP_ID\"")));
  EXPECT_TRUE(plain.sql.endsWith(
      QStringLiteral("ORDER BY obx_fold(\"TIP_SUBJECT\") DESC, \"TIPS_ID\" ASC, rowid ASC")));
}

TEST(QueryText, MalformedRecordSourcesAreRefused) {
  const QStringList bad = {
      QString(),
      QStringLiteral("   "),
      QStringLiteral("Groups"),
      QStringLiteral("Group Tips"),
      QStringLiteral("SELECT"),
      QStringLiteral("SELECT * FROM"),
      QStringLiteral("SELECT * FROM Nope"),
      QStringLiteral("SELECT TIP_GROUP FROM Group"),
      QStringLiteral("SELECT * Group"),
      QStringLiteral("SELECT * FROM Group WHERE"),
      QStringLiteral("SELECT * FROM Group ORDER Tip_Group"),
      QStringLiteral("SELECT * FROM Group ORDER BY Nope"),
      QStringLiteral("SELECT * FROM Group ORDER BY Tip_Group LIMIT 1"),
      QStringLiteral("SELECT * FROM TIPS WHERE GROUP_ID ="),
      QStringLiteral("SELECT * FROM TIPS WHERE GROUP_ID =x"),
      QStringLiteral("SELECT * FROM TIPS WHERE GROUP_ID =1 OR 1=1"),
      QStringLiteral("SELECT * FROM TIPS WHERE GROUP_ID =1; DELETE FROM Tips"),
      QStringLiteral("SELECT * FROM TIPS WHERE TIP_GROUP = 'x'"), // a field of Group
      QStringLiteral("Tips; DROP TABLE Tips"),
      QStringLiteral("SELECT * FROM \"Tips\""),
  };
  for (const QString &text : bad) {
    const QString message = errorOfSource(text);
    EXPECT_FALSE(message.isEmpty()) << "accepted: " << text.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("record source"))) << message.toStdString();
  }
  EXPECT_TRUE(errorOfSource(QStringLiteral("SELECT * FROM Nope"))
                  .contains(QStringLiteral("no table \"Nope\"")));
  EXPECT_TRUE(errorOfSource(QStringLiteral("SELECT * FROM Group ORDER BY Nope"))
                  .contains(QStringLiteral("has no field \"Nope\"")));
}

TEST(QueryText, CriteriaOfTheScreens) {
  const QList<Comparison> byName =
      parseCriteria(QStringLiteral("TIP_GROUP = 'Kitchen'"), table("Group"));
  ASSERT_EQ(byName.size(), 1);
  EXPECT_EQ(byName[0].field->name, QStringLiteral("TIP_GROUP"));
  EXPECT_EQ(byName[0].value.toString(), QStringLiteral("Kitchen"));

  const QList<Comparison> bySubject =
      parseCriteria(QStringLiteral("TIP_SUBJECT = 'Keep the lid on'"), table("Tips"));
  EXPECT_EQ(bySubject[0].value.toString(), QStringLiteral("Keep the lid on"));

  const QList<Comparison> byKey =
      parseCriteria(QStringLiteral("[GROUP_ID] = ") + QString::number(7), table("Group"));
  EXPECT_EQ(byKey[0].field->name, QStringLiteral("GROUP_ID"));
  EXPECT_EQ(byKey[0].value.toLongLong(), 7);

  // Names in any case; values taken literally: doubled apostrophe, backtick, blanks, Unicode.
  EXPECT_EQ(
      parseCriteria(QStringLiteral("tip_group='O''Brien'''"), table("Group"))[0].value.toString(),
      QStringLiteral("O'Brien'"));
  EXPECT_EQ(
      parseCriteria(QStringLiteral("Tip_Group = 'O`Brien'"), table("Group"))[0].value.toString(),
      QStringLiteral("O`Brien"));
  EXPECT_EQ(parseCriteria(QStringLiteral("TIP_GROUP = '  Été -- ; x'"), table("Group"))[0]
                .value.toString(),
            QStringLiteral("  Été -- ; x"));
  EXPECT_EQ(parseCriteria(QStringLiteral("TIP_GROUP = ''"), table("Group"))[0].value.toString(),
            QString());
  EXPECT_EQ(
      parseCriteria(QStringLiteral("TIP_GROUP = 'a' and G_LOCAL = -1"), table("Group")).size(), 2);

  // The value is bound, folded.
  const SqlText sql =
      matchQuery(parseCriteria(QStringLiteral("TIP_GROUP = 'X'' OR 1=1 --'"), table("Group")),
                 TableLayout::ofNewFile(table("Group")));
  EXPECT_EQ(sql.sql,
            QStringLiteral("SELECT rowid FROM \"Group\" WHERE (\"TIP_GROUP_FOLD\" = ?1 OR "
                           "\"TIP_GROUP_FOLD\" IS NULL) AND obx_fold(\"TIP_GROUP\") = ?1"));
  EXPECT_EQ(sql.params, QVariantList{QStringLiteral("x' or 1=1 --")});
}

TEST(QueryText, MalformedCriteriaAreRefusedWithAClearMessage) {
  struct Case {
    const char *text;
    const char *expected; // part of the message
  };
  const Case cases[] = {
      {"", "empty"},
      {"TIP_GROUP = 'abc", "no closing apostrophe"},
      {"TIP_GROUP = 'a'b'", "no closing apostrophe"},
      {"x' OR 1=1 --", "no closing apostrophe"},
      {"TIP_GROUP = 'x' OR 1=1 --", "unexpected character \"-\""},
      {"TIP_GROUP = 'x' OR '1'='1'", "unexpected \"OR\""},
      {"TIP_GROUP = 'x'; DROP TABLE Tips", "unexpected \";\""},
      {"TIP_GROUP = abc", "takes a text between apostrophes"},
      {"TIP_GROUP = 7", "takes a text between apostrophes"},
      {"TIP_GROUP 'abc'", "\"=\" expected"},
      {"TIP_GROUP == 'abc'", "found \"=\""},
      {"TIP_GROUP = 'abc' extra", "unexpected \"extra\""},
      {"TIP_GROUP = 'abc' AND", "a field name expected"},
      {"NO_SUCH = 'x'", "has no field \"NO_SUCH\""},
      {"TIP_SUBJECT = 'x'", "has no field \"TIP_SUBJECT\""}, // a field of Tips, not Group
      {"[GROUP_ID] = 'seven'", "holds numbers"},
      {"[GROUP_ID = 7", "no closing \"]\""},
      {"[] = 7", "empty name"},
      {"GROUP_ID = 7abc", "is not a number"},
      {"GROUP_ID = 99999999999", "out of the range"},
      {"GROUP_ID = 99999999999999999999", "too large"},
      {"TIP_GROUP = \"x\"", "unexpected character \"\"\""},
      {"TIP_GROUP = `x`", "unexpected character \"`\""},
      {"TIP_GROUP LIKE 'x%'", "\"=\" expected"},
      {"TIP_GROUP_FOLD = 'x'", "has no field \"TIP_GROUP_FOLD\""}, // the key is no field
      {"(TIP_GROUP = 'x')", "unexpected character \"(\""},
      {"G_DATE = '2024-13-01'", "YYYY-MM-DD"},
      {"G_LOCAL = maybe", "True or False"},
  };
  for (const Case &c : cases) {
    const QString text = QString::fromUtf8(c.text);
    const QString message = errorOfCriteria(text, "Group");
    ASSERT_FALSE(message.isEmpty()) << "accepted: " << c.text;
    EXPECT_TRUE(message.contains(QStringLiteral("criteria text \"") + text + QLatin1Char('"')))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QString::fromUtf8(c.expected)))
        << c.text << " -> " << message.toStdString();
  }
}
