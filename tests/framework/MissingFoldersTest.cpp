// Folders and files of the program folder deleted by hand: the working folders are made
// again, and a missing picture folder or placeholder is told by name, losing nothing.
#include "support/MaintenanceFixture.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

using namespace msgbox;

class MissingFolders : public OnMaintenance {
protected:
  void SetUp() override {
    OnMaintenance::SetUp();
    useGroups({{"Vim", {"Macros"}}});
    t.messages().clearShown();
  }
  // Adds a group "Emacs" with its first tip, answering the boxes that follow a picture
  // that cannot be stored: returns the message about the picture.
  QString addGroup() {
    t.triggerMenu("mnuAddNewGroupItem");
    t.type("txtGroupAddNew", "Emacs");
    t.type("txtSubjectAddNew", "Buffers");
    t.type("txtDescriptionAddNew", "C-x b");
    t.messages().queue(vbOK);
    t.messages().queue(vbOK);
    t.messages().queue(vbNo);
    t.click("cmdSaveNewGroup");
    EXPECT_EQ(shownCount(), 3u);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM Tips JOIN \"Group\" USING (GROUP_ID) WHERE "
                   "TIP_GROUP = 'Emacs' AND TIP_SUBJECT = 'Buffers'"),
              (QList<QStringList>{{"1"}}))
        << "the group and its tip are stored all the same";
    EXPECT_EQ(t.activeName(), "frmOmbrixShow");
    return shownCount() > 1 ? t.messages().shown()[1].prompt : QString();
  }
};

TEST_F(MissingFolders, ExportAndImportMakeTheirWorkingFoldersAgain) {
  ASSERT_TRUE(QDir(t.file("OBXTemp")).removeRecursively());
  ASSERT_TRUE(QDir(t.file("Export")).removeRecursively());
  t.triggerMenu("mnuExportItem");
  EXPECT_EQ(t.activeName(), "frmExport1");
  EXPECT_TRUE(t.messages().shown().empty()) << t.messages().shown().front().prompt.toStdString();
  EXPECT_TRUE(QFileInfo(t.file("OBXTemp")).isDir());
  EXPECT_TRUE(QFileInfo(t.file("Export/obxexpor.mdb")).isFile());

  t.click("cmdShowTips");
  ASSERT_EQ(t.activeName(), "frmOmbrixShow");
  ASSERT_TRUE(QDir(t.file("OBXTemp")).removeRecursively());
  t.triggerMenu("mnuImportItem");
  EXPECT_EQ(t.activeName(), "frmImport1");
  EXPECT_TRUE(t.messages().shown().empty());
  EXPECT_TRUE(QFileInfo(t.file("OBXTemp")).isDir());
}

TEST_F(MissingFolders, AMissingPictureFolderIsNamedAndTheNewGroupKept) {
  const QString images = t.program().paths().imagesFolder();
  ASSERT_TRUE(QDir(images).removeRecursively());
  const QString message = addGroup();
  EXPECT_TRUE(message.startsWith(QString("The folder \"%1\" is missing.\r\n\r\n").arg(images)))
      << message.toStdString();
  EXPECT_FALSE(QFileInfo::exists(images)) << "the user's picture folder is not made up";
}

TEST_F(MissingFolders, AMissingPlaceholderIsNamedAndTheNewGroupKept) {
  const QString placeholder = t.program().paths().placeholderPicture();
  ASSERT_TRUE(QFile::remove(placeholder));
  EXPECT_EQ(addGroup(), QString("\"%1\" is missing.\r\n\r\nFile not found: %1").arg(placeholder));
}

} // namespace
