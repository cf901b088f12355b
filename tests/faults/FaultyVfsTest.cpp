// The faulty VFS itself: installed once whatever the calls, counting, failing the nth call
// of a kind with the given code, calling a function at the nth call.
#include "support/FaultyVfs.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

using K = FaultyVfs::Kind;

struct Connection {
  sqlite3 *db = nullptr;
  explicit Connection(const QString &path) {
    EXPECT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                              SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
              SQLITE_OK);
    sqlite3_extended_result_codes(db, 1);
  }
  ~Connection() { sqlite3_close(db); }
  int exec(const char *sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
};

TEST(FaultyVfs, InstalledTwiceItIsTheDefaultOnce) {
  FaultyVfs::install();
  sqlite3_vfs *first = sqlite3_vfs_find(nullptr);
  FaultyVfs::install();
  EXPECT_EQ(sqlite3_vfs_find(nullptr), first);
  EXPECT_STREQ(first->zName, "obx-faulty");
}

TEST(FaultyVfs, CountsAndFailsTheNthCallOfAKind) {
  FaultyVfs::install();
  QTemporaryDir dir;
  Connection c(dir.filePath("t.db"));
  ASSERT_EQ(c.exec("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; CREATE TABLE t(x)"),
            SQLITE_OK);
  FaultyVfs::reset();
  ASSERT_EQ(c.exec("INSERT INTO t VALUES (1)"), SQLITE_OK);
  EXPECT_GT(FaultyVfs::calls(K::Write), 0);
  EXPECT_GT(FaultyVfs::calls(K::Sync), 0);
  EXPECT_EQ(FaultyVfs::fired(), 0);

  FaultyVfs::reset();
  FaultyVfs::failNth(K::Write, 1, SQLITE_FULL);
  EXPECT_EQ(c.exec("INSERT INTO t VALUES (2)"), SQLITE_FULL);
  EXPECT_EQ(FaultyVfs::fired(), 1);
  EXPECT_NE(FaultyVfs::lastFiredFile().find("t.db"), std::string::npos);
  // Each point fires once: the next write goes through.
  EXPECT_EQ(c.exec("INSERT INTO t VALUES (3)"), SQLITE_OK);

  FaultyVfs::reset();
  FaultyVfs::failNth(K::Sync, 1, SQLITE_IOERR_FSYNC);
  EXPECT_EQ(c.exec("INSERT INTO t VALUES (4)"), SQLITE_IOERR_FSYNC);
  FaultyVfs::reset();
  sqlite3_stmt *s = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(c.db, "SELECT group_concat(x) FROM t", -1, &s, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)), "1,3");
  sqlite3_finalize(s);
}

TEST(FaultyVfs, CallsAFunctionAtTheNthCallThenGoesOn) {
  FaultyVfs::install();
  QTemporaryDir dir;
  Connection c(dir.filePath("t.db"));
  ASSERT_EQ(c.exec("CREATE TABLE t(x)"), SQLITE_OK);
  FaultyVfs::reset();
  int called = 0;
  int writesThen = -1;
  FaultyVfs::onNth(K::Sync, 2, [&] {
    ++called;
    writesThen = FaultyVfs::calls(K::Write);
  });
  EXPECT_EQ(c.exec("INSERT INTO t VALUES (1)"), SQLITE_OK);
  EXPECT_EQ(called, 1);
  EXPECT_GT(writesThen, 0);
  EXPECT_EQ(FaultyVfs::fired(), 1);
}

} // namespace
