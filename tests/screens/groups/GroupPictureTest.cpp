// Add Group and Edit Group step 2 with their picture picker, driven through the real
// screens and checked in the database and the picture folder.
#include "support/MaintenanceFixture.h"

#include "framework/HelpLinks.h"
#include "framework/Screen.h"
#include "framework/Screens.h"
#include "platform/Twips.h"
#include "widgets/ImageBox.h"

#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

using msgbox::vbCancel;
using msgbox::vbNo;
using msgbox::vbOK;
using msgbox::vbYes;

const QString kAddTitle = "Add New Group Record";
const QString kEditTitle = "Edit Group Record";
const QString kAnotherGroup =
    "Click YES To Create New Group Record!\r\nOr click NO to cancel Add New Group!";
const QString kEditAnother = "Click YES to Edit another Group Record.\r\nClick NO to Cancel.";
const QString kOops =
    "Oops! That was not supposed to happen!\r\nThere is a problem here, please report it.";

const char *const kPanel[] = {"cmdDirHelp", "cmdDirCancel", "Drive1", "Dir1", "File1"};

class GroupPicture : public OnMaintenance {
protected:
  const QDate day{2027, 3, 14};

  void SetUp() override {
    OnMaintenance::SetUp();
    t.program().clock().setToday(day);
    useGroups({{"Vim", {"Macros"}}, {"Shell", {"Pipes"}}});
    writePicture("pictures/sunset.jpg", Qt::red);
    writePicture("pictures/beach.jpg", Qt::blue);
    QFile broken(home("pictures/broken.jpg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
  }
  QString home(const QString &relative) const { return t.home() + '/' + relative; }
  void writePicture(const QString &relative, Qt::GlobalColor colour) {
    QDir().mkpath(QFileInfo(home(relative)).absolutePath());
    QImage image(16, 12, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(home(relative), "JPG"));
  }
  static QByteArray bytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  // The top of a control, and a designed top, in twips to the pixel.
  int top(const char *name) { return twips::fromPixels(t.control(name)->y()); }
  static int designed(int top) { return twips::fromPixels(twips::toPixels(top)); }
  void openPicker() {
    t.doubleClick("Image1");
    ASSERT_TRUE(t.control("File1")->isVisible());
    t.choose("Dir1", "C:\\pictures");
  }
  void toEditStepTwo(int groupIndex) {
    openWithPositions("mnuEditGroupItem", groupIndex);
    t.click("cmdClickNext");
    ASSERT_EQ(t.activeName(), "frmEditGroup2");
  }
};

TEST_F(GroupPicture, ThePanelOpensOverTheColumnAndClosesByCancelOrByAChoice) {
  t.triggerMenu("mnuAddNewGroupItem");
  ASSERT_EQ(t.activeName(), "frmAddGroup");
  EXPECT_EQ(t.control("Image1")->toolTip(), "Double-Click on Image to Import a New Image");
  EXPECT_EQ(t.control("cmdDirHelp")->toolTip(), "Display Help Screen");
  EXPECT_EQ(t.control("cmdDirCancel")->toolTip(), "Cancel this Action");
  const char *const locked[] = {"txtGroupAddNew", "txtSubjectAddNew", "txtDescriptionAddNew",
                                "cmdSaveNewGroup"};
  // Waiting below the client area.
  for (const char *name : kPanel) {
    EXPECT_FALSE(t.control(name)->isVisible()) << name;
    EXPECT_GT(t.control(name)->y(), t.active()->clientArea()->height()) << name;
  }

  openPicker();
  EXPECT_EQ(top("cmdDirHelp"), designed(480));
  EXPECT_EQ(top("cmdDirCancel"), designed(480));
  EXPECT_EQ(top("Drive1"), designed(800));
  EXPECT_EQ(top("Dir1"), designed(1160));
  EXPECT_EQ(top("File1"), designed(2600));
  for (const char *name : kPanel)
    EXPECT_TRUE(t.control(name)->isVisible()) << name;
  EXPECT_FALSE(t.control("cmdHelp")->isVisible());
  EXPECT_FALSE(t.control("cmdShowTips")->isVisible());
  for (const char *name : locked)
    EXPECT_FALSE(t.control(name)->isEnabled()) << name;
  EXPECT_FALSE(t.menuItemEnabled("mnuExiteItem"));
  EXPECT_TRUE(t.menuItemEnabled("nmuShowTipsItem"));
  EXPECT_EQ(t.text("Drive1"), "C:");
  EXPECT_EQ(t.entries("File1"), QStringList({"beach.jpg", "broken.jpg", "sunset.jpg"}));
  t.click("cmdDirHelp");
  EXPECT_EQ(t.program().help().calls().back().data, 20);
  // The resizing control lays the panel out from its closed place; open, it keeps its tops.
  t.active()->setWidth(t.active()->Width() * 3 / 2);
  t.active()->setHeight(t.active()->Height() * 3 / 2);
  t.settle();
  EXPECT_EQ(top("Dir1"), designed(1160));
  EXPECT_EQ(top("File1"), designed(2600));

  // A clicked file is shown and recorded, and Cancel does not undo it.
  t.choose("File1", "sunset.jpg");
  EXPECT_EQ(t.g().gPicturePath, home("pictures/sunset.jpg"));
  EXPECT_EQ(t.control<ImageBox>("Image1")->pictureFile(), home("pictures/sunset.jpg"));
  t.click("cmdDirCancel");
  for (const char *name : kPanel) {
    EXPECT_FALSE(t.control(name)->isVisible()) << name;
    EXPECT_EQ(top(name), designed(8000)) << name;
  }
  EXPECT_TRUE(t.control("cmdHelp")->isVisible());
  for (const char *name : locked)
    EXPECT_TRUE(t.control(name)->isEnabled()) << name;
  EXPECT_TRUE(t.menuItemEnabled("mnuExiteItem"));
  EXPECT_EQ(t.g().gPicturePath, home("pictures/sunset.jpg"));

  // A double-click records, shows and closes in one gesture; the name box takes the focus.
  openPicker();
  t.doubleClick("File1", "beach.jpg");
  EXPECT_FALSE(t.control("File1")->isVisible());
  EXPECT_EQ(t.g().gPicturePath, home("pictures/beach.jpg"));
  // (The help viewer may have taken the application's focus: the screen's own counts.)
  EXPECT_EQ(t.active()->focusWidget()->objectName(), "txtGroupAddNew");
  EXPECT_TRUE(t.control("cmdSaveNewGroup")->isEnabled());
  EXPECT_TRUE(t.messages().shown().empty());
}

TEST_F(GroupPicture, AFileThatIsNoPictureIsRefusedByNameAndNothingChanges) {
  t.triggerMenu("mnuAddNewGroupItem");
  const QString placeholder = t.g().gPicturePath;
  openPicker();
  t.choose("File1", "broken.jpg");
  ASSERT_EQ(shownCount(), 1u);
  EXPECT_EQ(lastMessage().prompt,
            "This file cannot be shown as a picture: C:\\pictures\\broken.jpg");
  EXPECT_EQ(lastMessage().style, 16);
  EXPECT_EQ(lastMessage().title, kAddTitle);
  EXPECT_EQ(t.g().gPicturePath, placeholder);
  EXPECT_EQ(t.control<ImageBox>("Image1")->pictureFile(), placeholder);
  // Not even a double-click closes the panel on it.
  t.doubleClick("File1", "broken.jpg");
  EXPECT_TRUE(t.control("File1")->isVisible());
  EXPECT_EQ(t.g().gPicturePath, placeholder);
}

TEST_F(GroupPicture, AddGroupStoresTheGroupItsFirstTipAndItsPictureThenStartsOver) {
  t.triggerMenu("mnuAddNewGroupItem");
  openPicker();
  t.doubleClick("File1", "sunset.jpg");
  t.type("txtGroupAddNew", "  what's new ");
  t.type("txtSubjectAddNew", "it's here: café שלום 😀");
  t.type("txtDescriptionAddNew", "don't wait ");
  EXPECT_EQ(t.text("txtGroupAddNew"), "  What's New ");
  t.messages().queue(vbOK);
  t.messages().queue(vbYes);
  t.click("cmdSaveNewGroup");
  ASSERT_EQ(shownCount(), 2u);
  EXPECT_EQ(t.messages().shown()[0].prompt,
            "Click OK if the new record is done\r\nor click CANCEL to cancel the update.");
  EXPECT_EQ(t.messages().shown()[0].style, 49);
  EXPECT_EQ(lastMessage().prompt, kAnotherGroup);
  EXPECT_EQ(lastMessage().style, 36);
  const auto added = rows("SELECT GROUP_ID, TIP_GROUP, G_LOCAL, G_IMPORT, G_ORIGINAL, G_DATE "
                          "FROM \"Group\" WHERE GROUP_ID > 102");
  ASSERT_EQ(added.size(), 1);
  const int id = added[0][0].toInt();
  EXPECT_EQ(added[0].mid(1), QStringList({"What`s New", "-1", "0", "0", "2027-03-14"}));
  EXPECT_EQ(
      rows(QString("SELECT TIP_SUBJECT, TIP_DESCRIPTION, TIP_LOCAL, TIP_IMPORT, "
                   "TIP_ORIGINAL, TIP_DATE FROM Tips WHERE GROUP_ID = %1")
               .arg(id)),
      (QList<QStringList>{{"It`s here: café שלום 😀", "Don't wait", "-1", "0", "0", "2027-03-14"}}));
  EXPECT_EQ(bytes(picture(id)), bytes(home("pictures/sunset.jpg")));

  // Yes: empty boxes and the placeholder for the next group, which gets its own copy of it.
  EXPECT_EQ(t.activeName(), "frmAddGroup");
  for (const char *box : {"txtGroupAddNew", "txtSubjectAddNew", "txtDescriptionAddNew"})
    EXPECT_EQ(t.text(box), "") << box;
  EXPECT_EQ(t.g().gPicturePath, t.program().paths().placeholderPicture());
  EXPECT_EQ(t.control<ImageBox>("Image1")->pictureFile(), t.g().gPicturePath);
  EXPECT_EQ(focused(), "txtGroupAddNew");
  t.type("txtGroupAddNew", "next");
  t.type("txtSubjectAddNew", "first");
  t.type("txtDescriptionAddNew", "text");
  t.messages().queue(vbOK);
  t.messages().queue(vbNo);
  t.click("cmdSaveNewGroup");
  EXPECT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_EQ(bytes(picture(id + 1)), bytes(picture(0)));
}

TEST_F(GroupPicture, AddGroupRefusesInTheScreensOrderAndACancelWritesNothing) {
  t.triggerMenu("mnuAddNewGroupItem");
  const struct {
    const char *group, *subject, *description, *message, *focus;
  } cases[] = {
      {" ", "", "", "Tip GROUP Name can NOT be Blank!\r\nPlease Try Again.", "txtGroupAddNew"},
      {"A", " ", "", "Tip SUBJECT Name can NOT be Blank!\r\nPlease Try Again.", "txtSubjectAddNew"},
      {"A", "B", " ", "Tip DESCRIPTION Name can NOT be Blank!\r\nPlease Try Again.",
       "txtDescriptionAddNew"},
      {" vim ", "B", "C", "TIP GROUP name already exists!\r\nPlease enter a new one.",
       "txtGroupAddNew"},
      {"A", "PIPES", "C", "TIP SUBJECT name already exists!\r\nPlease enter a new one.",
       "txtSubjectAddNew"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.message);
    t.control<QLineEdit>("txtGroupAddNew")->setText(c.group);
    t.control<QLineEdit>("txtSubjectAddNew")->setText(c.subject);
    t.control<QPlainTextEdit>("txtDescriptionAddNew")->setPlainText(c.description);
    const size_t before = shownCount();
    t.click("cmdSaveNewGroup");
    ASSERT_EQ(shownCount(), before + 1);
    EXPECT_EQ(lastMessage().prompt, c.message);
    EXPECT_EQ(lastMessage().style, 16);
    EXPECT_EQ(lastMessage().title, kAddTitle);
    EXPECT_EQ(focused(), c.focus);
  }

  // Cancelled while the database has no group: the notice, then the empty database.
  useGroups({});
  t.control<QLineEdit>("txtSubjectAddNew")->setText("B");
  t.control<QPlainTextEdit>("txtDescriptionAddNew")->setPlainText("C");
  const size_t before = shownCount();
  t.messages().queue(vbCancel);
  t.click("cmdSaveNewGroup");
  ASSERT_EQ(shownCount(), before + 3);
  EXPECT_EQ(t.messages().shown()[before + 1].prompt, "The Updated Record has Been Cancelled!");
  EXPECT_EQ(t.messages().shown()[before + 1].style, 48);
  EXPECT_EQ(lastMessage().prompt, "The Database Is Empty!\r\nClick OK To Add Your First Record.");
  EXPECT_EQ(t.text("txtGroupAddNew"), "A");
  EXPECT_EQ(focused(), "txtGroupAddNew");
  EXPECT_TRUE(rows("SELECT * FROM \"Group\"").isEmpty());
}

TEST_F(GroupPicture, APictureThatCannotBeCopiedIsToldAndTheGroupStays) {
  t.triggerMenu("mnuAddNewGroupItem");
  t.type("txtGroupAddNew", "Emacs");
  t.type("txtSubjectAddNew", "Buffers");
  t.type("txtDescriptionAddNew", "C-x b");
  t.program().files().failNth(FileOperation::Copy, 1);
  t.messages().queue(vbOK);
  t.messages().queue(vbOK);
  t.messages().queue(vbNo);
  t.click("cmdSaveNewGroup");
  ASSERT_EQ(shownCount(), 3u);
  const auto stored = rows("SELECT GROUP_ID FROM \"Group\" WHERE TIP_GROUP = 'Emacs'");
  ASSERT_EQ(stored.size(), 1);
  EXPECT_EQ(t.messages().shown()[1].prompt, "Injected failure: " + picture(stored[0][0].toInt()));
  EXPECT_EQ(t.messages().shown()[1].style, 16);
  EXPECT_EQ(lastMessage().prompt, kAnotherGroup);
  EXPECT_EQ(rows("SELECT COUNT(*) FROM Tips WHERE TIP_SUBJECT = 'Buffers'"),
            (QList<QStringList>{{"1"}}));
  EXPECT_EQ(t.activeName(), "frmOmbrixShow");
}

TEST_F(GroupPicture, EditGroupKeepsNameAndSaveUsableWhileThePanelIsOpen) {
  toEditStepTwo(1); // Vim
  EXPECT_EQ(t.text("txtGroupEdit"), "Vim");
  EXPECT_EQ(t.control("Image1")->toolTip(), "Double-click to change the image");
  EXPECT_EQ(t.control("cmdDirHelp")->toolTip(), "");
  EXPECT_EQ(t.control("cmdDirCancel")->toolTip(), "");
  openPicker();
  EXPECT_TRUE(t.control("txtGroupEdit")->isEnabled());
  EXPECT_TRUE(t.control("cmdSaveEditGroup")->isEnabled());
  EXPECT_FALSE(t.menuItemEnabled("mnuExiteItem"));
  t.click("cmdDirHelp");
  EXPECT_EQ(t.program().help().calls().back().data, 40);
  t.choose("File1", "beach.jpg");
  EXPECT_EQ(t.g().gNewPicture, home("pictures/beach.jpg"));

  // A rename saved with the panel still open: the name and the picture both change.
  const QByteArray before = bytes(picture(101));
  t.control<QLineEdit>("txtGroupEdit")->setText("Vim's editor ");
  t.messages().queue(vbNo);
  t.click("cmdSaveEditGroup");
  ASSERT_EQ(shownCount(), 1u);
  EXPECT_EQ(lastMessage().prompt, kEditAnother);
  EXPECT_EQ(lastMessage().style, 4);
  EXPECT_EQ(lastMessage().title, kEditTitle);
  EXPECT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_EQ(rows("SELECT TIP_GROUP, G_LOCAL, G_IMPORT, G_ORIGINAL, G_DATE FROM \"Group\" "
                 "WHERE GROUP_ID = 101"),
            (QList<QStringList>{{"Vim`s editor ", "-1", "0", "0", "2027-03-14"}}));
  EXPECT_NE(bytes(picture(101)), before);
  EXPECT_EQ(bytes(picture(101)), bytes(home("pictures/beach.jpg")));

  // A new picture alone: the row stays as it was, and a double-click closes the panel
  // with only File, Exit given back.
  toEditStepTwo(0); // Shell
  openPicker();
  t.doubleClick("File1", "sunset.jpg");
  EXPECT_FALSE(t.control("File1")->isVisible());
  EXPECT_TRUE(t.menuItemEnabled("mnuExiteItem"));
  t.messages().queue(vbOK);
  t.messages().queue(vbYes);
  t.click("cmdSaveEditGroup");
  EXPECT_EQ(t.messages().shown()[1].prompt,
            "There are No Changes to the Group Tip Name!\r\nOnly The Image will be Changed.");
  EXPECT_EQ(t.messages().shown()[1].style, 48);
  EXPECT_EQ(t.activeName(), "frmEditGroup1");
  EXPECT_EQ(bytes(picture(102)), bytes(home("pictures/sunset.jpg")));
  EXPECT_EQ(rows("SELECT TIP_GROUP, G_LOCAL, G_DATE FROM \"Group\" WHERE GROUP_ID = 102"),
            (QList<QStringList>{{"Shell", "0", "2026-12-01"}}));
  EXPECT_EQ(t.g().gGroupId, 102); // step 1 chose the main screen's group again
}

TEST_F(GroupPicture, EditGroupNeverSavesWithoutItsGroup) {
  // A group deleted since step 1: the user is told, no picture is written for it.
  toEditStepTwo(1);
  t.sql("DELETE FROM Tips WHERE GROUP_ID = 101; DELETE FROM \"Group\" WHERE GROUP_ID = 101;");
  QFile::remove(picture(101));
  openPicker();
  t.choose("File1", "beach.jpg");
  t.control<QLineEdit>("txtGroupEdit")->setText("Gone");
  t.messages().queue(vbOK);
  t.messages().queue(vbNo);
  t.click("cmdSaveEditGroup");
  ASSERT_EQ(shownCount(), 2u);
  EXPECT_EQ(t.messages().shown()[0].prompt, kOops);
  EXPECT_EQ(lastMessage().prompt, kEditAnother);
  EXPECT_FALSE(QFile::exists(picture(101)));
  EXPECT_TRUE(rows("SELECT * FROM \"Group\" WHERE TIP_GROUP = 'Gone'").isEmpty());

  // Step 2 reached without a group chosen goes back to step 1.
  t.g().gGroupId = 0;
  t.g().gGroupName.clear();
  t.program().screens().handOver(t.active(), "frmEditGroup2");
  t.settle();
  EXPECT_EQ(lastMessage().prompt, kOops);
  EXPECT_EQ(t.activeName(), "frmEditGroup1");
}

} // namespace
