// A failure met on the disk is told in the user's words, naming the file or folder, before
// the engine's or the system's own words.
#include "support/TestProgram.h"

#include "framework/ErrorReport.h"
#include "platform/files/FileService.h"
#include "store/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/mount.h>

namespace {

class UserMessages : public ::testing::Test {
protected:
  TestProgram t;
  const QString database = QFileInfo(t.file("ombrixtips.mdb")).canonicalFilePath();

  // What runReportingErrors shows for work that fails.
  QString reported(const std::function<void()> &work) {
    t.messages().clearShown();
    EXPECT_FALSE(runReportingErrors("Ombrix Tips", work));
    const auto &shown = t.messages().shown();
    if (shown.size() != 1u) {
      ADD_FAILURE() << "expected one message, got " << shown.size();
      return {};
    }
    EXPECT_EQ(shown.front().style, msgbox::vbCritical);
    return shown.front().prompt;
  }
  std::shared_ptr<store::Database> open(store::OpenMode mode = store::OpenMode::ReadWrite) {
    return store::Database::open(database, mode);
  }
  QString city() { return t.rows("SELECT USER_CITY FROM Settings").value(0).value(0); }
};

TEST_F(UserMessages, TheEngineOnAFullDiskNamesTheDiskByTheDatabaseOnIt) {
  t.setUserDetails();
  auto db = open();
  // The engine's own ceiling stands in for the disk: the database may not grow.
  db->exec("PRAGMA max_page_count = 1");
  const QString message =
      reported([&] { db->exec("UPDATE Settings SET USER_CITY = 'Hobart' || zeroblob(2000000)"); });
  EXPECT_TRUE(message.startsWith(QString("The disk holding \"%1\" is full.\r\n\r\n"
                                         "The database engine failed: ")
                                     .arg(database)))
      << message.toStdString();
  db.reset();
  EXPECT_EQ(city(), "Perth") << "nothing of the failed save landed";
}

TEST_F(UserMessages, TheEngineOnAReadOnlyDatabaseNamesIt) {
  t.setUserDetails();
  auto db = open(store::OpenMode::ReadOnlyUntrusted);
  const QString message = reported([&] { db->exec("UPDATE Settings SET USER_CITY = 'Hobart'"); });
  EXPECT_TRUE(message.startsWith(QString("\"%1\" is read-only.\r\n\r\n").arg(database)))
      << message.toStdString();
  EXPECT_TRUE(message.contains("readonly")) << "the engine's words follow";
}

TEST_F(UserMessages, ATipDatabaseInUseByAnotherProgramIsSaidSo) {
  t.setUserDetails();
  auto db = open();
  db->exec("PRAGMA busy_timeout = 0"); // no wait for the other to finish
  // Another program, with a connection of its own.
  sqlite3 *other = nullptr;
  ASSERT_EQ(sqlite3_open(database.toUtf8().constData(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  const QString message = reported([&] { db->exec("UPDATE Settings SET USER_CITY = 'Hobart'"); });
  EXPECT_TRUE(message.startsWith(
      QString("The tip database \"%1\" is in use by another program.\r\n\r\n").arg(database)))
      << message.toStdString();
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  db.reset();
  EXPECT_EQ(city(), "Perth");
}

TEST_F(UserMessages, TheFileServiceNamesAFullDiskAndAReadOnlyFileOrFolder) {
  FileService &files = t.program().files();
  const QString picture = t.native("\\images\\0.jpg");
  const QString copy = t.folder() + "/images/copy.jpg";

  files.failNth(FileOperation::Copy, 1, ENOSPC);
  EXPECT_EQ(
      reported([&] { files.copyFile(picture, copy); }),
      QString("The disk holding \"%1\" is full.\r\n\r\nNo space left on device: %1").arg(copy));
  EXPECT_FALSE(QFileInfo::exists(copy));

  files.failNth(FileOperation::CreateFolder, 1, EROFS);
  EXPECT_TRUE(reported([&] {
                files.createFolder(t.folder() + "/Later");
              }).startsWith(QString("The folder \"%1\" is read-only.\r\n\r\n").arg(t.folder())));

  // A picture marked read-only is not deleted by force.
  ASSERT_TRUE(QFile::setPermissions(picture, QFileDevice::ReadOwner | QFileDevice::ReadUser));
  const QString message = reported([&] { files.deleteFile(picture); });
  EXPECT_EQ(message, QString("\"%1\" is read-only.\r\n\r\nPermission denied (the file is "
                             "read-only): %1")
                         .arg(picture));
  EXPECT_TRUE(QFileInfo::exists(picture));

  // A cause the user cannot act on keeps the words it had.
  files.failNth(FileOperation::Copy, 1);
  EXPECT_EQ(reported([&] { files.copyFile(picture, copy); }), "Injected failure: " + copy);
}

// The same causes met for real, on a small file system of their own. Mounting needs the
// privilege to; without it these tests are skipped, the fault seam above still stands in.
class RealFaults : public UserMessages {
protected:
  QTemporaryDir mountDir;
  QString disk;
  void SetUp() override {
    disk = mountDir.path() + "/disk";
    ASSERT_TRUE(QDir().mkpath(disk));
  }
  void TearDown() override { ::umount2(QFile::encodeName(disk).constData(), MNT_DETACH); }
  // Mounts a memory file system of `size` over `disk`.
  bool mountDisk(const char *size, unsigned long flags = 0) {
    return ::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", flags, size) == 0;
  }
};

TEST_F(RealFaults, AFullDiskIsNamedByTheFileServiceAndTheEngine) {
  if (!mountDisk("size=256k"))
    GTEST_SKIP() << "cannot mount a small file system here: " << std::strerror(errno);
  const QString big = mountDir.path() + "/big.jpg";
  {
    QFile f(big);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(1 << 20, 'x'));
  }
  const QString copy = disk + "/big.jpg";
  const QString message = reported([&] { t.program().files().copyFile(big, copy); });
  EXPECT_TRUE(message.startsWith(QString("The disk holding \"%1\" is full.\r\n\r\n").arg(copy)))
      << message.toStdString();
  EXPECT_FALSE(QFileInfo::exists(copy)) << "no half copy is left";

  // A tip database on the full disk: the save fails whole and says why.
  ASSERT_TRUE(QFile::copy(t.file("ombrixtips.mdb"), disk + "/ombrixtips.mdb"));
  const QString onDisk = QFileInfo(disk + "/ombrixtips.mdb").canonicalFilePath();
  auto db = store::Database::open(onDisk, store::OpenMode::ReadWrite);
  const QString engine =
      reported([&] { db->exec("UPDATE Settings SET USER_CITY = 'Hobart' || zeroblob(4000000)"); });
  EXPECT_TRUE(engine.startsWith(QString("The disk holding \"%1\" is full.\r\n\r\n").arg(onDisk)))
      << engine.toStdString();
}

TEST_F(RealFaults, AReadOnlyFileSystemIsNamedByTheFileService) {
  if (!mountDisk("size=256k", MS_RDONLY))
    GTEST_SKIP() << "cannot mount a read-only file system here: " << std::strerror(errno);
  const QString copy = disk + "/0.jpg";
  const QString message =
      reported([&] { t.program().files().copyFile(t.native("\\images\\0.jpg"), copy); });
  EXPECT_TRUE(message.startsWith(QString("The folder \"%1\" is read-only.\r\n\r\n").arg(disk)))
      << message.toStdString();
}

} // namespace
