#include "screens/groups/frmEditGroup2.h"

#include "tips/UserMessage.h"

#include "framework/OBXGlobals.h"
#include "framework/ScreenNames.h"
#include "framework/SharedMessages.h"
#include "platform/MousePointer.h"
#include "platform/MsgBox.h"
#include "tips/GroupMaintenance.h"
#include "widgets/BoxTint.h"
#include "widgets/ImageBox.h"
#include "widgets/ListPlace.h"

#include <QLineEdit>
#include <QPushButton>

frmEditGroup2::frmEditGroup2(Program &program)
    : GroupPictureScreen(program, screen::frmEditGroup2, "lblEditGroup",
                         QStringLiteral("Double-click to change the image")) {
  using namespace listPlace;
  txtGroupEdit = addEntryBox<QLineEdit>("txtGroupEdit", kLeft, kGroupTop, kGroupWidth, kBoxHeight,
                                        QStringLiteral("Change Tip Group Name"), BoxTint::Edit,
                                        KeyFilter::CapWord);
  addUnusedBoxes();
  cmdSaveEditGroup = addActionButton("cmdSaveEditGroup", QStringLiteral("Save Edit Group"),
                                     QStringLiteral("Save the Edited Group"));
  onClick(cmdSaveEditGroup, &frmEditGroup2::cmdSaveEditGroup_Click);

  setTabOrder(txtGroupEdit, cmdSaveEditGroup);
  setTabOrder(cmdSaveEditGroup, cmdHelp);
  setTabOrder(cmdHelp, cmdShowTips);

  // The name and the save stay usable while the panel is open.
  PicturePicker::Setup picker;
  picker.enabledOnCancel = {txtGroupEdit, cmdSaveEditGroup};
  picker.record = [this](const QString &path) { g().gNewPicture = path; };
  addPicker(std::move(picker));
}

bool frmEditGroup2::groupHandedOn() {
  if (g().gGroupId != 0 && !g().gGroupName.isEmpty())
    return true;
  MsgOops(g());
  handOver(screen::frmEditGroup1);
  return false;
}

void frmEditGroup2::activateScreen() {
  if (!groupHandedOn())
    return;
  Image1->loadPictureOr(g().gNewPicture, placeholderPicture());
  txtGroupEdit->setText(g().gGroupName.trimmed());
  txtGroupEdit->setFocus();
}

void frmEditGroup2::savePicture(tips::GroupMaintenance &groups, qint32 groupId) {
  try {
    BusyPointer busy;
    groups.replacePicture(groupId, g().gNewPicture);
  } catch (const FileError &e) {
    MsgBox(tips::userMessage(e), msgbox::vbCritical + msgbox::vbOKOnly, g().gMsgTitle);
  }
}

void frmEditGroup2::cmdSaveEditGroup_Click() {
  if (!groupHandedOn())
    return;
  tips::GroupMaintenance groups(book_);
  const QString typed = txtGroupEdit->text();
  const bool pictureChanged = g().gNewPicture.trimmed() != g().gGroupPicture.trimmed();
  qint32 groupId = g().gGroupId;
  bool oopsShown = false;
  switch (groups.planEdit(g().gGroupName, typed, pictureChanged)) {
  case tips::GroupEdit::NothingChanged:
    MsgBox(QStringLiteral("There are No Changes to the Group Tip Name and Image!") +
               msgbox::kNewLine +
               QStringLiteral("Type a different Group Name or select a different Image."),
           msgbox::vbExclamation + msgbox::vbOKOnly, g().gMsgTitle);
    return;
  case tips::GroupEdit::NameBlank:
    refuseBlank(QStringLiteral("Tip GROUP Name"), txtGroupEdit);
    return;
  case tips::GroupEdit::NameExists:
    MsgBox(QStringLiteral("TIP GROUP name already exists! Please enter a new one."),
           msgbox::vbExclamation + msgbox::vbOKOnly, g().gMsgTitle);
    txtGroupEdit->setFocus();
    return;
  case tips::GroupEdit::PictureOnly:
    MsgBox(QStringLiteral("There are No Changes to the Group Tip Name!") + msgbox::kNewLine +
               QStringLiteral("Only The Image will be Changed."),
           msgbox::vbExclamation + msgbox::vbOKOnly, g().gMsgTitle);
    break;
  case tips::GroupEdit::Rename: {
    std::optional<qint32> renamed;
    {
      BusyPointer busy;
      renamed = groups.renameGroup(g().gGroupName, typed);
    }
    if (renamed) {
      groupId = *renamed;
    } else {
      MsgOops(g());
      oopsShown = true;
    }
    break;
  }
  }

  // A group that went away since step 1 gets no picture: the file would belong to nothing.
  if (groups.hasGroup(groupId))
    savePicture(groups, groupId);
  else if (!oopsShown)
    MsgOops(g());

  askAnother(QStringLiteral("Click YES to Edit another Group Record.") + msgbox::kNewLine +
                 QStringLiteral("Click NO to Cancel."),
             msgbox::vbYesNo, screen::frmEditGroup1);
}
