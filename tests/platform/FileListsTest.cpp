// The drive, folder and file lists of the file pickers: drive C: is the home folder, the
// folder list moves by clicks, the file list matches its pattern without regard to case,
// and what cannot be read is refused with a message while the list stays where it was.
#include "platform/FileLists.h"
#include "platform/MsgBox.h"
#include "platform/files/FileService.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class Lists : public ::testing::Test {
protected:
  QTemporaryDir dir;
  QString home = dir.path() + "/home";
  FileService files{home};
  msgbox::Script messages;

  Lists() {
    for (const char *folder : {"pictures/2024", "pictures/archive", "pictures/Beach", "other"})
      QDir().mkpath(home + '/' + folder);
    for (const char *file : {"pictures/SUNSET.JPG", "pictures/a.jpg", "pictures/notes.txt",
                             "pictures/b.jpeg", "pictures/.hidden.jpg"}) {
      QFile f(home + '/' + file);
      if (f.open(QIODevice::WriteOnly))
        f.write("x");
    }
  }
  static QStringList entries(const QListWidget &list) {
    QStringList result;
    for (int i = 0; i < list.count(); ++i)
      result << list.item(i)->text();
    return result;
  }
  static QPoint where(QListWidget &list, const QString &entry) {
    return list.visualItemRect(list.findItems(entry, Qt::MatchExactly).value(0)).center();
  }
};

TEST_F(Lists, DrivesAreTheHomeFolderTheRootAndRealVolumes) {
  const Drives drives(files);
  const QStringList names = drives.names();
  ASSERT_GE(names.size(), 2);
  EXPECT_EQ(names.mid(0, 2), QStringList({"C:", "/"}));
  EXPECT_EQ(drives.root("C:"), home);
  for (const QString &name : names) {
    EXPECT_FALSE(name.startsWith("/proc") || name.startsWith("/sys") || name.startsWith("/dev"))
        << name.toStdString();
    const QStorageInfo volume(drives.root(name));
    EXPECT_NE(volume.fileSystemType(), "tmpfs") << name.toStdString();
  }
  EXPECT_EQ(drives.driveOf(home + "/pictures/2024"), "C:");
  EXPECT_EQ(drives.driveOf(home), "C:");
  EXPECT_NE(drives.driveOf(dir.path()), "C:");
  EXPECT_EQ(shownPath(files, home + "/pictures/a.jpg"), "C:\\pictures\\a.jpg");
  EXPECT_EQ(shownPath(files, "/etc/hosts"), "/etc/hosts");
}

TEST_F(Lists, TheFolderListShowsAncestorsAndSubFoldersAndMovesOnAClick) {
  DirList folders(files);
  folders.resize(300, 400);
  folders.show();
  QSignalSpy changed(&folders, &DirList::changed);
  folders.setPath("c:\\PICTURES");
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(folders.path(), home + "/pictures");
  EXPECT_EQ(folders.shownPath(), "C:\\pictures");
  EXPECT_EQ(folders.drive(), "C:");
  // The drive's top, the folder, then its sub-folders in reading order.
  EXPECT_EQ(entries(folders), QStringList({"C:\\", "pictures", "2024", "archive", "Beach"}));
  EXPECT_EQ(folders.currentItem()->text(), "pictures");

  QTest::mouseClick(folders.viewport(), Qt::LeftButton, {}, where(folders, "archive"));
  EXPECT_EQ(changed.count(), 2);
  EXPECT_EQ(folders.shownPath(), "C:\\pictures\\archive");
  // Up again by the ancestor.
  QTest::mouseClick(folders.viewport(), Qt::LeftButton, {}, where(folders, "C:\\"));
  EXPECT_EQ(folders.path(), home);
  EXPECT_EQ(entries(folders), QStringList({"C:\\", "other", "pictures"}));

  // A double-click moves once: its second click lands on whatever the moved list shows
  // there, and must not move again.
  const QPoint point = where(folders, "pictures");
  QTest::mousePress(folders.viewport(), Qt::LeftButton, {}, point);
  QTest::mouseRelease(folders.viewport(), Qt::LeftButton, {}, point);
  QTest::mouseDClick(folders.viewport(), Qt::LeftButton, {}, point);
  QTest::mouseRelease(folders.viewport(), Qt::LeftButton, {}, point);
  EXPECT_EQ(folders.shownPath(), "C:\\pictures");
  EXPECT_TRUE(messages.shown().empty());
}

TEST_F(Lists, AFolderThatCannotBeReadIsNamedAndTheListStays) {
  DirList folders(files);
  folders.resize(300, 400);
  folders.show();
  folders.setPath("C:\\pictures");
  QSignalSpy changed(&folders, &DirList::changed);
  // Gone since it was listed.
  ASSERT_TRUE(QDir(home + "/pictures/2024").removeRecursively());
  QTest::mouseClick(folders.viewport(), Qt::LeftButton, {}, where(folders, "2024"));
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].prompt, "The folder cannot be read: C:\\pictures\\2024");
  EXPECT_EQ(messages.shown()[0].style, 16);
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(folders.shownPath(), "C:\\pictures");
  EXPECT_EQ(folders.currentItem()->text(), "pictures");

  // A path that names nothing, and a drive letter other than C:.
  EXPECT_THROW(folders.setPath(home + "/nowhere"), FileError);
  EXPECT_THROW(folders.setPath("D:\\"), FileError);
  EXPECT_EQ(folders.shownPath(), "C:\\pictures");

  // A drive whose folder cannot be read: the choice stays.
  DriveList drives(files);
  drives.showDrive("C:");
  drives.showDrive(dir.path() + "/unplugged");
  drives.showDrive("C:");
  QSignalSpy driveChanged(&drives, &DriveList::changed);
  const int unplugged = drives.findText(dir.path() + "/unplugged");
  drives.setCurrentIndex(unplugged);
  emit drives.activated(unplugged);
  ASSERT_EQ(messages.shown().size(), 2u);
  EXPECT_EQ(messages.shown()[1].prompt, "The drive cannot be read: " + dir.path() + "/unplugged");
  EXPECT_EQ(drives.drive(), "C:");
  EXPECT_EQ(drives.currentText(), "C:");
  EXPECT_EQ(driveChanged.count(), 0);
}

TEST_F(Lists, TheFileListMatchesItsPatternWithoutRegardToCase) {
  FileList list(files, "*.jpg");
  list.setPath(home + "/pictures");
  EXPECT_EQ(entries(list), QStringList({"a.jpg", "SUNSET.JPG"}));
  EXPECT_TRUE(list.fileName().isEmpty());
  list.setPattern("*.JPEG");
  EXPECT_EQ(entries(list), QStringList({"b.jpeg"}));
  list.setPattern("*.jpg");

  list.resize(300, 400);
  list.show();
  QSignalSpy clicked(&list, &FileList::clicked);
  QSignalSpy doubleClicked(&list, &FileList::doubleClicked);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, where(list, "SUNSET.JPG"));
  EXPECT_EQ(clicked.count(), 1);
  EXPECT_EQ(list.filePath(), home + "/pictures/SUNSET.JPG");
  // The keyboard chooses as well, and Enter counts as a double-click.
  QTest::keyClick(&list, Qt::Key_Up);
  EXPECT_EQ(list.fileName(), "a.jpg");
  EXPECT_GE(clicked.count(), 2);
  QTest::keyClick(&list, Qt::Key_Return);
  EXPECT_EQ(doubleClicked.count(), 1);

  EXPECT_THROW(list.setPath(home + "/nowhere"), FileError);
  EXPECT_EQ(list.path(), home + "/pictures");
  EXPECT_EQ(list.count(), 2);
}

} // namespace
