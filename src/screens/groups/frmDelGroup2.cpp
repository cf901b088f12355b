#include "screens/groups/frmDelGroup2.h"

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

frmDelGroup2::frmDelGroup2(Program &program)
    : MaintenanceScreen(program, screen::frmDelGroup2, "lblDelGroup") {
  using namespace listPlace;
  addGroupImage({});
  txtGroupDel = place(new QLineEdit, "txtGroupDel", kLeft, kGroupTop, kGroupWidth, kBoxHeight);
  txtGroupDel->setToolTip(QStringLiteral("The Current Tip Group is about to be Deleted!"));
  txtGroupDel->setReadOnly(true);
  tintBox(txtGroupDel, BoxTint::Delete);
  addUnusedBoxes();
  cmdDelGroup =
      addActionButton("cmdDelGroup", QStringLiteral("Delete Group"),
                      QStringLiteral("This will Delete the Selected Tip Group and ALL Tips!"));
  onClick(cmdDelGroup, &frmDelGroup2::cmdDelGroup_Click);
}

void frmDelGroup2::activateScreen() {
  Image1->loadPictureOr(g().gNewPicture, placeholderPicture());
  txtGroupDel->setText(g().gGroupName.trimmed());
  cmdDelGroup->setFocus();
}

void frmDelGroup2::cmdDelGroup_Click() {
  tips::GroupMaintenance groups(book_);
  std::optional<FileError> pictureLeft;
  {
    BusyPointer busy;
    // The group as stored: a name with surrounding blanks is shown without them but must
    // still be found.
    try {
      if (!groups.deleteGroupNamed(g().gGroupName)) {
        busy.release();
        MsgOops(g());
        cmdDelGroup->setFocus();
        return;
      }
    } catch (const FileError &e) {
      // The group and its tips are gone; only the picture file stayed behind.
      pictureLeft = e;
    }
  }
  if (pictureLeft)
    MsgBox(tips::userMessage(*pictureLeft), msgbox::vbCritical + msgbox::vbOKOnly, g().gMsgTitle);
  askAnother(QStringLiteral("Click YES To DELETE Other Group Record!") + msgbox::kNewLine +
                 QStringLiteral("Click NO to cancel!"),
             msgbox::vbExclamation + msgbox::vbYesNo, screen::frmDelGroup1);
}
