// The fold: case-insensitive for all letters, locale-independent, canonically composed,
// and the same in C++ and in SQL.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "store/Collation.h"

using store::foldCase;

namespace {
bool sameFold(const char *a, const char *b) {
  return foldCase(QString::fromUtf8(a)) == foldCase(QString::fromUtf8(b));
}
} // namespace

TEST(Collation, IgnoresCaseOfAllLetters) {
  EXPECT_TRUE(sameFold("Tips", "tips"));
  EXPECT_TRUE(sameFold("TIPS", "tIpS"));
  EXPECT_TRUE(sameFold("É", "é"));
  EXPECT_TRUE(sameFold("ÉTÉ À PARIS", "été à paris"));
  EXPECT_TRUE(sameFold("ΣΟΦΊΑ", "σοφία"));
  EXPECT_TRUE(sameFold("ДОМ", "дом"));
  EXPECT_TRUE(sameFold("Cafe\xCC\x81", "CAFÉ")); // a combining accent equals the precomposed
  EXPECT_FALSE(sameFold("Straße", "STRASSE"));   // simple folding only: ß is not "ss"
  EXPECT_FALSE(sameFold("e", "é"));              // accents are not ignored
  EXPECT_FALSE(sameFold("O`Brien", "O'Brien"));
  EXPECT_FALSE(sameFold("tips ", "tips"));
}

TEST(Collation, TheFoldIsTheSameInCxxAndInSql) {
  EXPECT_EQ(foldCase(u"ÉTÉ à Paris ΣΟΦΊΑ ДОМ"), QStringLiteral("été à paris σοφία дом"));
  EXPECT_EQ(foldCase(u"Straße"), QStringLiteral("straße"));
  EXPECT_EQ(foldCase(QString::fromUcs4(U"\U00010400x")), QString::fromUcs4(U"\U00010428x"));
  const QString lone = QString(QChar(0xD800)) + QLatin1Char('A');
  EXPECT_EQ(foldCase(lone), QString(QChar(0xD800)) + QLatin1Char('a'));

  // obx_fold() on a connection gives the same, on all-ASCII text too; null stays null.
  sqlite3 *db = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
  store::registerTextFunctions(db);
  sqlite3_stmt *stmt = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db,
                               "SELECT obx_fold('ÉTÉ Abc') || '|' || obx_fold('ABC xyz') || '|' || "
                               "obx_fold(12) || '|' || (obx_fold(NULL) IS NULL)",
                               -1, &stmt, nullptr),
            SQLITE_OK);
  ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
  EXPECT_EQ(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0))),
            QStringLiteral("été abc|abc xyz|12|1"));
  sqlite3_finalize(stmt);
  sqlite3_close(db);
}
