// The file service: program path texts on a case-sensitive file system, drive C:, and the
// copy and delete rules the working folders depend on.
#include "platform/files/FileService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class Files : public ::testing::Test {
protected:
  QTemporaryDir dir;
  QString root = dir.path();
  FileService files{root + "/home"};

  void write(const QString &relative, const QByteArray &bytes = "x") {
    QDir().mkpath(QFileInfo(root + '/' + relative).absolutePath());
    QFile f(root + '/' + relative);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  QStringList list(const QString &relative) {
    return QDir(root + '/' + relative).entryList(QDir::Files, QDir::Name);
  }
};

TEST_F(Files, PathTextsFindFilesWithoutRegardToCase) {
  write("images/0.jpg");
  write("home/OBXImpExp/OBXAnn.ZIP");
  EXPECT_EQ(files.nativePath(root + "\\Images\\0.JPG"), root + "/images/0.jpg");
  EXPECT_EQ(files.nativePath("C:\\obximpexp\\obxann.zip"), root + "/home/OBXImpExp/OBXAnn.ZIP");
  // What does not exist keeps its spelling, so it can be created.
  EXPECT_EQ(files.nativePath(root + "\\Images\\New\\1.jpg"), root + "/images/New/1.jpg");
  EXPECT_TRUE(files.folderExists(root + "\\IMAGES"));
  EXPECT_FALSE(files.fileExists(root + "\\IMAGES"));
}

TEST_F(Files, DeleteByPatternMatchesWithoutRegardToCaseAndNeedsAMatch) {
  write("OBXTemp/a.jpg");
  write("OBXTemp/B.JPG");
  write("OBXTemp/keep.txt");
  files.deleteFile(root + "\\obxtemp\\*.jpg");
  EXPECT_EQ(list("OBXTemp"), QStringList({"keep.txt"}));
  try {
    files.deleteFile(root + "\\OBXTemp\\*.mdb");
    FAIL() << "no file matched, yet nothing was reported";
  } catch (const FileError &e) {
    EXPECT_EQ(e.reason(), "File not found");
  }
  EXPECT_THROW(files.deleteFile(root + "\\Missing\\*.mdb"), FileError);
}

TEST_F(Files, AReadOnlyFileIsNotForcedAndNamesItself) {
  write("Export/locked.mdb");
  write("Export/other.mdb");
  QFile::setPermissions(root + "/Export/locked.mdb", QFileDevice::ReadOwner);
  try {
    files.deleteFile(root + "\\Export\\locked.mdb");
    FAIL() << "a read-only file was deleted";
  } catch (const FileError &e) {
    EXPECT_TRUE(e.message().contains("locked.mdb"));
  }
  EXPECT_TRUE(QFile::exists(root + "/Export/locked.mdb"));
}

TEST_F(Files, CopyReplacesTheTargetAndFailsClearly) {
  write("a.mdb", "new contents");
  write("Export/obxexpor.mdb", "old");
  files.copyFile(root + "\\A.MDB", root + "\\export\\obxexpor.mdb");
  QFile copied(root + "/Export/obxexpor.mdb");
  ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
  EXPECT_EQ(copied.readAll(), "new contents");
  EXPECT_THROW(files.copyFile(root + "\\nothing.mdb", root + "\\b.mdb"), FileError);
  EXPECT_THROW(files.copyFile(root + "\\a.mdb", root + "\\NoFolder\\b.mdb"), FileError);
  EXPECT_EQ(list("Export"), QStringList({"obxexpor.mdb"}));
}

TEST_F(Files, EmptyingAFolderKeepsOnlyMatchingFilesAndNeverFollowsALink) {
  write("work/OBXREAD.TXT", "keep");
  write("work/obxnotes.txt", "keep");
  write("work/notes.txt");
  write("work/ombrixtipsie.mdb-wal");
  write("work/sub/deep/locked.jpg");
  write("outside/precious.txt");
  QFile::setPermissions(root + "/work/sub/deep/locked.jpg", QFileDevice::ReadOwner);
  QFile::setPermissions(root + "/work/sub/deep", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  QFile::setPermissions(root + "/work/sub", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  ASSERT_TRUE(QFile::link(root + "/outside", root + "/work/link"));
  ASSERT_TRUE(QDir().mkpath(root + "/work/obxfolder.txt")); // a folder, not a package text

  files.emptyFolder(root + "/work", "obx*.txt");
  EXPECT_EQ(QDir(root + "/work")
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
            (QStringList{"OBXREAD.TXT", "obxnotes.txt"}));
  EXPECT_EQ(list("outside"), QStringList{"precious.txt"});

  // A missing folder is made, empty.
  files.emptyFolder(root + "/made", "obx*.txt");
  EXPECT_TRUE(QFileInfo(root + "/made").isDir());
}

TEST(Wildcards, MatchWholeNamesOnly) {
  EXPECT_TRUE(wildcardMatch("*.jpg", "12.JPG"));
  EXPECT_TRUE(wildcardMatch("t.?db", "t.mdb"));
  EXPECT_FALSE(wildcardMatch("*.jpg", "12.jpg.txt"));
  EXPECT_FALSE(wildcardMatch("*.mdb", "obxexpor.mdbx"));
}

} // namespace

namespace {

TEST_F(Files, AnInjectedFailureHitsOnlyTheNthCallOfItsOperation) {
  write("a.jpg");
  files.failNth(FileOperation::Copy, 2);
  files.copyFile(root + "\\a.jpg", root + "\\b.jpg");
  EXPECT_THROW(files.copyFile(root + "\\a.jpg", root + "\\c.jpg"), FileError);
  EXPECT_FALSE(QFile::exists(root + "/c.jpg"));
  files.copyFile(root + "\\a.jpg", root + "\\c.jpg");
  // Other operations were not counted.
  files.failNth(FileOperation::CreateFolder, 1);
  files.deleteFile(root + "\\b.jpg");
  EXPECT_THROW(files.createFolder(root + "\\New"), FileError);
  EXPECT_FALSE(QDir(root + "/New").exists());
}

} // namespace
