// The program's record sources: what the parser accepts, what it refuses, and the SQL it
// builds (bound parameters only).

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

// The value of "SELECT * FROM Group WHERE <comparison>".
QVariant valueOf(const char *comparison) {
  const RecordSource s = parseRecordSource(QStringLiteral("SELECT * FROM Group WHERE ") +
                                           QString::fromUtf8(comparison));
  EXPECT_TRUE(s.where.has_value()) << comparison;
  return s.where ? s.where->value : QVariant();
}

} // namespace

TEST(QueryText, RecordSourcesOfTheScreens) {
  for (const char *name : {"Group", "Tips", "Settings", "group", "TIPS", "sEtTiNgS", " Group "}) {
    const RecordSource s = parseRecordSource(QString::fromLatin1(name));
    ASSERT_NE(s.table, nullptr) << name;
    EXPECT_FALSE(s.where.has_value());
    EXPECT_EQ(s.orderBy, nullptr);
  }
  EXPECT_EQ(parseRecordSource(QStringLiteral("tips")).table->name, QStringLiteral("Tips"));

  const RecordSource groups =
      parseRecordSource(QStringLiteral("SELECT * FROM Group ORDER BY Tip_Group"));
  EXPECT_EQ(groups.table->name, QStringLiteral("Group"));
  ASSERT_NE(groups.orderBy, nullptr);
  EXPECT_EQ(groups.orderBy->name, QStringLiteral("TIP_GROUP"));

  // The number is appended with no blank after "="; blanks are accepted too.
  for (const QString &text :
       {QStringLiteral("SELECT * FROM TIPS WHERE GROUP_ID =") + QString::number(17),
        QStringLiteral("SELECT * FROM TIPS WHERE GROUP_ID = 17"),
        QStringLiteral("select * from tips where group_id=17")}) {
    const RecordSource s = parseRecordSource(text);
    EXPECT_EQ(s.table->name, QStringLiteral("Tips")) << text.toStdString();
    ASSERT_TRUE(s.where.has_value());
    EXPECT_EQ(s.where->field->name, QStringLiteral("GROUP_ID"));
    EXPECT_EQ(s.where->value.toLongLong(), 17);
  }
  const RecordSource one = parseRecordSource(QStringLiteral("SELECT * FROM TIPS WHERE TIPS_ID =") +
                                             QString::number(4711));
  EXPECT_EQ(one.where->field->name, QStringLiteral("TIPS_ID"));
  EXPECT_EQ(one.where->value.toLongLong(), 4711);
  EXPECT_EQ(valueOf("GROUP_ID = -2").toLongLong(), -2);

  // A lookup by name: the value taken literally (doubled apostrophe, backtick, blanks,
  // Unicode), ordered by key.
  const RecordSource byName = parseRecordSource(
      QStringLiteral("SELECT * FROM TIPS WHERE TIP_SUBJECT = 'Keep the lid on' ORDER BY TIPS_ID"));
  EXPECT_EQ(byName.where->field->name, QStringLiteral("TIP_SUBJECT"));
  EXPECT_EQ(byName.where->value.toString(), QStringLiteral("Keep the lid on"));
  EXPECT_EQ(byName.orderBy->name, QStringLiteral("TIPS_ID"));
  EXPECT_EQ(valueOf("tip_group='O''Brien'''").toString(), QStringLiteral("O'Brien'"));
  EXPECT_EQ(valueOf("Tip_Group = 'O`Brien'").toString(), QStringLiteral("O`Brien"));
  EXPECT_EQ(valueOf("TIP_GROUP = '  Été -- ; x'").toString(), QStringLiteral("  Été -- ; x"));
  EXPECT_EQ(valueOf("TIP_GROUP = ''").toString(), QString());
}

TEST(QueryText, TheSqlBindsTheValueAndComparesNamesByTheirFold) {
  const RecordSource s = parseRecordSource(QStringLiteral(
      "SELECT * FROM Tips WHERE TIP_SUBJECT = 'X'' OR 1=1 --' ORDER BY TIP_SUBJECT"));
  const SqlText sql = rowidQuery(s, TableLayout::ofNewFile(table("Tips")));
  EXPECT_EQ(sql.sql,
            QStringLiteral("SELECT rowid FROM \"Tips\" WHERE (\"TIP_SUBJECT_FOLD\" = ?1 OR "
                           "\"TIP_SUBJECT_FOLD\" IS NULL) AND obx_fold(\"TIP_SUBJECT\") = ?1 ORDER "
                           "BY \"TIP_SUBJECT_FOLD\" ASC, rowid ASC"));
  EXPECT_EQ(sql.params, QVariantList{QStringLiteral("x' or 1=1 --")});

  // A file without the key columns (a package of another program) is read through the
  // connection's fold function.
  const SqlText plain = rowidQuery(s, TableLayout{&table("Tips"), QStringLiteral("tips"), {}},
                                   QStringLiteral("\"TIPS_ID\""));
  EXPECT_EQ(plain.sql, QStringLiteral("SELECT rowid, \"TIPS_ID\" FROM \"tips\" WHERE "
                                      "obx_fold(\"TIP_SUBJECT\") = ?1 ORDER BY "
                                      "obx_fold(\"TIP_SUBJECT\") ASC, rowid ASC"));

  const SqlText byKey = rowidQuery(parseRecordSource(QStringLiteral("SELECT * FROM TIPS WHERE "
                                                                    "GROUP_ID =7")),
                                   TableLayout::ofNewFile(table("Tips")));
  EXPECT_EQ(
      byKey.sql,
      QStringLiteral("SELECT rowid FROM \"Tips\" WHERE \"GROUP_ID\" = ?1 ORDER BY rowid ASC"));
  EXPECT_EQ(byKey.params, QVariantList{QVariant::fromValue<qlonglong>(7)});
}

TEST(QueryText, MalformedRecordSourcesAreRefusedWithAClearMessage) {
  struct Case {
    const char *text;
    const char *expected; // part of the message
  };
  const Case cases[] = {
      {"", "empty"},
      {"   ", "empty"},
      {"Groups", "no table \"Groups\""},
      {"Group Tips", "unexpected \"Tips\""},
      {"[Group]", "unexpected character \"[\""},
      {"Tips; DROP TABLE Tips", "unexpected character \";\""},
      {"SELECT", "\"*\" expected"},
      {"SELECT * FROM", "a table name expected"},
      {"SELECT * FROM Nope", "no table \"Nope\""},
      {"SELECT TIP_GROUP FROM Group", "\"*\" expected"},
      {"SELECT * Group", "FROM expected"},
      {"SELECT * FROM \"Tips\"", "unexpected character \"\"\""},
      {"SELECT * FROM Group WHERE", "a field name expected"},
      {"SELECT * FROM Group ORDER Tip_Group", "BY expected"},
      {"SELECT * FROM Group ORDER BY Nope", "has no field \"Nope\""},
      {"SELECT * FROM Group ORDER BY Tip_Group LIMIT 1", "unexpected \"LIMIT\""},
      {"SELECT * FROM Group ORDER BY Tip_Group DESC", "unexpected \"DESC\""},
      {"SELECT * FROM Group ORDER BY Tip_Group, GROUP_ID", "unexpected character \",\""},
      {"SELECT * FROM TIPS WHERE GROUP_ID =", "holds numbers"},
      {"SELECT * FROM TIPS WHERE GROUP_ID =x", "holds numbers"},
      {"SELECT * FROM TIPS WHERE GROUP_ID =1 OR 1=1", "unexpected \"OR\""},
      {"SELECT * FROM TIPS WHERE GROUP_ID =1 AND TIPS_ID = 2", "unexpected \"AND\""},
      {"SELECT * FROM TIPS WHERE GROUP_ID =1; DELETE FROM Tips", "unexpected character \";\""},
      {"SELECT * FROM TIPS WHERE TIP_GROUP = 'x'", "has no field \"TIP_GROUP\""}, // of Group
      {"SELECT * FROM Group WHERE TIP_GROUP = 'abc", "no closing apostrophe"},
      {"SELECT * FROM Group WHERE TIP_GROUP = 'a'b'", "no closing apostrophe"},
      {"SELECT * FROM Group WHERE TIP_GROUP = 'x' OR 1=1 --", "unexpected character \"-\""},
      {"SELECT * FROM Group WHERE TIP_GROUP = abc", "takes a text between apostrophes"},
      {"SELECT * FROM Group WHERE TIP_GROUP = 7", "takes a text between apostrophes"},
      {"SELECT * FROM Group WHERE TIP_GROUP 'abc'", "\"=\" expected"},
      {"SELECT * FROM Group WHERE TIP_GROUP == 'abc'", "found \"=\""},
      {"SELECT * FROM Group WHERE TIP_GROUP LIKE 'x%'", "\"=\" expected"},
      {"SELECT * FROM Group WHERE TIP_GROUP = \"x\"", "unexpected character \"\"\""},
      {"SELECT * FROM Group WHERE TIP_GROUP = `x`", "unexpected character \"`\""},
      {"SELECT * FROM Group WHERE TIP_GROUP_FOLD = 'x'", "has no field \"TIP_GROUP_FOLD\""},
      {"SELECT * FROM Group WHERE (TIP_GROUP = 'x')", "unexpected character \"(\""},
      {"SELECT * FROM Group WHERE GROUP_ID = 7abc", "is not a number"},
      {"SELECT * FROM Group WHERE GROUP_ID = 99999999999", "out of the range"},
      {"SELECT * FROM Group WHERE GROUP_ID = 99999999999999999999", "too large"},
      {"SELECT * FROM Group WHERE G_LOCAL = -1", "only number and text fields"},
      {"SELECT * FROM Group WHERE G_DATE = '2024-01-01'", "only number and text fields"},
  };
  for (const Case &c : cases) {
    const QString text = QString::fromUtf8(c.text);
    const QString message = errorOfSource(text);
    ASSERT_FALSE(message.isEmpty()) << "accepted: " << c.text;
    EXPECT_TRUE(message.contains(QStringLiteral("record source \"") + text + QLatin1Char('"')))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QString::fromUtf8(c.expected)))
        << c.text << " -> " << message.toStdString();
  }
}
