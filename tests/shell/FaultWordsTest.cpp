// A failure met on the disk is told in the user's words, naming the file or folder, before
// the engine's or the system's own words.
#include "support/TestProgram.h"

#include "platform/FileService.h"
#include "shell/ErrorReport.h"
#include "store/Database.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

class FaultWords : public ::testing::Test {
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

TEST_F(FaultWords, TheEngineOnAFullDiskNamesTheDiskByTheDatabaseOnIt) {
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

TEST_F(FaultWords, TheEngineOnAReadOnlyDatabaseNamesIt) {
  t.setUserDetails();
  auto db = open(store::OpenMode::ReadOnlyUntrusted);
  const QString message = reported([&] { db->exec("UPDATE Settings SET USER_CITY = 'Hobart'"); });
  EXPECT_TRUE(message.startsWith(QString("\"%1\" is read-only.\r\n\r\n").arg(database)))
      << message.toStdString();
  EXPECT_TRUE(message.contains("readonly")) << "the engine's words follow";
}

TEST_F(FaultWords, ATipDatabaseInUseByAnotherProgramIsSaidSo) {
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

TEST_F(FaultWords, TheFileServiceNamesAFullDiskAndAReadOnlyFileOrFolder) {
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

} // namespace
