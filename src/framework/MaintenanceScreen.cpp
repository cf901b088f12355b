#include "framework/MaintenanceScreen.h"
#include "search/TipIndex.h"

#include "framework/Program.h"
#include "framework/ScreenNames.h"
#include "framework/SharedMessages.h"
#include "platform/MousePointer.h"
#include "platform/MsgBox.h"
#include "widgets/BoxTint.h"
#include "widgets/DescriptionBox.h"
#include "widgets/ImageBox.h"
#include "widgets/ListPlace.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// The right-hand column: Help, "Exit This Screen", then the screen's own button.
constexpr int kColumnLeft = 5148;
constexpr int kColumnWidth = 2040;
constexpr int kButtonHeight = 420;
constexpr int kFirstButtonTop = 600;
constexpr int kButtonStep = 480;

} // namespace

MaintenanceScreen::MaintenanceScreen(Program &program, const QString &name, const char *headingName)
    : SecondaryScreen(program, name, headingName),
      book_(program.paths(), program.files(), program.clock(),
            search::indexFollowing(program.paths().tipDatabase())) {
  // The heading stands above the group's picture.
  if (auto *heading = findChild<QLabel *>(QString::fromLatin1(headingName)))
    setTwipGeometry(heading, 2300, 100, 2600, 400);
  placeFrameButtons(kColumnLeft, kFirstButtonTop, kColumnLeft, kFirstButtonTop + kButtonStep,
                    kColumnWidth, kButtonHeight);
  actionButtons_ = 2;
}

QPushButton *MaintenanceScreen::addActionButton(const char *name, const QString &caption,
                                                const QString &toolTip) {
  const int top = kFirstButtonTop + kButtonStep * actionButtons_++;
  return addButton(name, caption, toolTip, kColumnLeft, top, kColumnWidth, kButtonHeight);
}

void MaintenanceScreen::addGroupList(const QString &comboToolTip, const QString &imageToolTip) {
  groups_ = std::make_unique<GroupList>(clientArea(), book_.rows(), program().paths(), comboToolTip,
                                        imageToolTip);
  Image1 = groups_->image();
  onActivated(groups_->combo(), &MaintenanceScreen::Combo1_Click);
}

ImageBox *MaintenanceScreen::addGroupImage(const QString &toolTip) {
  using namespace listPlace;
  Image1 = addImage("Image1", kImageLeft, kImageTop, kImageWidth, kImageHeight);
  if (!toolTip.isEmpty())
    Image1->setToolTip(toolTip);
  return Image1;
}

void MaintenanceScreen::addUnusedBoxes() {
  using namespace listPlace;
  makeUnusedBox(place(new QLineEdit, "txtSubjectEdit", kLeft, kSubjectTop, kFullWidth, kBoxHeight));
  makeUnusedBox(place(new DescriptionBox, "txtDescriptionEdit", kLeft, kDescriptionTop, kFullWidth,
                      kDescriptionHeight));
}

QString MaintenanceScreen::placeholderPicture() const {
  return program().paths().placeholderPicture();
}

bool MaintenanceScreen::showGroups() {
  {
    BusyPointer busy;
    if (groups_->fill()) {
      groups_->preselect(g().gShowGroupIndex);
      busy.release();
      Combo1_Click();
      return true;
    }
  }
  toAddGroup();
  return false;
}

void MaintenanceScreen::Combo1_Click() {
  const std::optional<GroupChoice> group = groups_->chosen();
  if (group)
    groupChosen(*group);
}

void MaintenanceScreen::handOnGroup(const GroupChoice &group) {
  OBXGlobals &globals = g();
  globals.gGroupId = group.id;
  globals.gGroupName = group.name;
  globals.gGroupPicture = group.picture;
  globals.gNewPicture = globals.gGroupPicture;
  groups_->showPicture(globals.gGroupPicture);
}

void MaintenanceScreen::toAddGroup() {
  MsgDatabaseEmpty(g());
  // Add Group shows and saves this picture: a picture chosen there earlier must not come
  // back unasked.
  g().gPicturePath = placeholderPicture();
  handOver(screen::frmAddGroup);
}

void MaintenanceScreen::askAnother(const QString &question, int style, const QString &stepOne) {
  const bool another = MsgBox(question, style, g().gMsgTitle) == msgbox::vbYes;
  // The work is done and the screen is left either way: its descriptions go before the next
  // screen reads its own.
  for (DescriptionBox *box : findChildren<DescriptionBox *>())
    box->clear();
  if (!another) {
    returnToMainScreen();
    return;
  }
  OBXGlobals &globals = g();
  globals.gGroupName.clear();
  globals.gGroupId = 0;
  globals.gSubjectName.clear();
  globals.gDescription.clear();
  globals.gGroupPicture = placeholderPicture();
  globals.gNewPicture = globals.gGroupPicture;
  if (Image1)
    Image1->loadPicture(globals.gGroupPicture);
  handOver(stepOne);
}

void MaintenanceScreen::unloadScreen() { book_.close(); }

void MaintenanceScreen::refuseBlank(const QString &fieldName, QWidget *box) {
  g().gBlankField = fieldName;
  MsgNotBlank(g());
  box->setFocus();
}
