// The fold and the UNICASE collation: case-insensitive for all letters, locale-independent,
// and a consistent order.

#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "store/Collation.h"

using store::compareUnicase;
using store::foldCase;

namespace {
int sign(int v) { return (v > 0) - (v < 0); }
int cmp(const char *a, const char *b) {
  return sign(compareUnicase(QString::fromUtf8(a), QString::fromUtf8(b)));
}
} // namespace

TEST(Collation, IgnoresCaseOfAllLetters) {
  EXPECT_EQ(cmp("Tips", "tips"), 0);
  EXPECT_EQ(cmp("TIPS", "tIpS"), 0);
  EXPECT_EQ(cmp("É", "é"), 0);
  EXPECT_EQ(cmp("ÉTÉ À PARIS", "été à paris"), 0);
  EXPECT_EQ(cmp("ΣΟΦΊΑ", "σοφία"), 0);
  EXPECT_EQ(cmp("ДОМ", "дом"), 0);
  EXPECT_NE(cmp("Straße", "STRASSE"), 0); // simple folding only: ß is not "ss"
  EXPECT_NE(cmp("e", "é"), 0);            // accents are not ignored
  EXPECT_NE(cmp("O`Brien", "O'Brien"), 0);
  EXPECT_NE(cmp("tips ", "tips"), 0);
}

TEST(Collation, OrdersLikeADictionaryWithoutRegardToCase) {
  EXPECT_LT(cmp("apple", "Banana"), 0);
  EXPECT_LT(cmp("Apple", "banana"), 0);
  EXPECT_LT(cmp("Eclair", "Éclair"), 0);
  EXPECT_LT(cmp("Éclair", "Ecmo"), 0);    // the accent only breaks ties
  EXPECT_GT(cmp("Zebra", "Ångström"), 0); // Å sorts with A
  EXPECT_LT(cmp("", "a"), 0);
  EXPECT_LT(cmp("a", "ab"), 0);
}

TEST(Collation, IsAConsistentTotalOrder) {
  // Includes combining marks, invalid UTF-8 and texts that are prefixes of others.
  QList<QByteArray> samples = {
      "",     "a", "A",    "ab",        "aB",         "abc",      "b",  "B",      "é",
      "É",    "e", "E",    "e\xCC\x81", "E\xCC\x81x", "ex",       "éx", "Éclair", "eclair",
      "Ecmo", "z", "\xC3", "a\xFF",     "a\xFFz",     "\xE2\x82", "Ω",  "ω",      "ß",
      "ss",   "~", "`x",   "'x",        "1",          "10",       "9"};
  auto c = [](const QByteArray &a, const QByteArray &b) {
    return sign(compareUnicase(a.constData(), int(a.size()), b.constData(), int(b.size())));
  };
  for (const QByteArray &a : samples) {
    EXPECT_EQ(c(a, a), 0);
    for (const QByteArray &b : samples) {
      EXPECT_EQ(c(a, b), -c(b, a)) << a.toHex().constData() << " " << b.toHex().constData();
      for (const QByteArray &d : samples)
        if (c(a, b) <= 0 && c(b, d) <= 0) {
          EXPECT_LE(c(a, d), 0) << a.toHex().constData() << " " << b.toHex().constData() << " "
                                << d.toHex().constData();
        }
    }
  }
}

TEST(Collation, TheFoldIsItsEqualityInCxxAndInSql) {
  EXPECT_EQ(foldCase(u"ÉTÉ à Paris ΣΟΦΊΑ ДОМ"), QStringLiteral("été à paris σοφία дом"));
  EXPECT_EQ(foldCase(u"Straße"), QStringLiteral("straße"));
  EXPECT_EQ(foldCase(QString::fromUcs4(U"\U00010400x")), QString::fromUcs4(U"\U00010428x"));
  const QString lone = QString(QChar(0xD800)) + QLatin1Char('A');
  EXPECT_EQ(foldCase(lone), QString(QChar(0xD800)) + QLatin1Char('a'));
  const QStringList samples = {"", "a", "A", "É", "é", "e", "Ω", "ω", "ß", "ss", "Σ", "ς", "σ"};
  for (const QString &a : samples)
    for (const QString &b : samples)
      EXPECT_EQ(compareUnicase(a, b) == 0, foldCase(a) == foldCase(b))
          << a.toStdString() << " " << b.toStdString();

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
