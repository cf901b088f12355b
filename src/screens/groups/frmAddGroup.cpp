#include "screens/groups/frmAddGroup.h"

#include "tips/UserMessage.h"

#include "framework/OBXGlobals.h"
#include "framework/ScreenNames.h"
#include "framework/SharedMessages.h"
#include "platform/MousePointer.h"
#include "platform/MsgBox.h"
#include "tips/GroupMaintenance.h"
#include "widgets/BoxTint.h"
#include "widgets/DescriptionBox.h"
#include "widgets/ImageBox.h"
#include "widgets/ListPlace.h"

#include <QLineEdit>
#include <QPushButton>

frmAddGroup::frmAddGroup(Program &program)
    : GroupPictureScreen(program, screen::frmAddGroup, "lblAddGroup",
                         QStringLiteral("Double-Click on Image to Import a New Image")) {
  using namespace listPlace;
  addLabel("lblTipGroup", QStringLiteral("Tip Group"), kLeft, kGroupTop - 200, 1332, 200);
  addLabel("lblSubject", QStringLiteral("Tip Subject"), kLeft, kSubjectTop - 200, 1332, 200);
  addLabel("lblDescription", QStringLiteral("Tip Description"), kLeft, kDescriptionTop - 200, 1332,
           200);
  txtGroupAddNew = addEntryBox<QLineEdit>("txtGroupAddNew", kLeft, kGroupTop, kGroupWidth,
                                          kBoxHeight, QStringLiteral("Input New Tip Group"),
                                          BoxTint::Add, KeyFilter::CapWord);
  txtSubjectAddNew = addEntryBox<QLineEdit>("txtSubjectAddNew", kLeft, kSubjectTop, kFullWidth,
                                            kBoxHeight, QStringLiteral("Input New Tip Subject"),
                                            BoxTint::Add, KeyFilter::CapFirst);
  txtDescriptionAddNew = addEntryBox<DescriptionBox>(
      "txtDescriptionAddNew", kLeft, kDescriptionTop, kFullWidth, kDescriptionHeight,
      QStringLiteral("Input New Tip Description"), BoxTint::Add, KeyFilter::CapFirst);
  cmdSaveNewGroup = addActionButton("cmdSaveNewGroup", QStringLiteral("Save New Group"),
                                    QStringLiteral("Save This New Group"));
  onClick(cmdSaveNewGroup, &frmAddGroup::cmdSaveNewGroup_Click);

  setTabOrder(txtGroupAddNew, txtSubjectAddNew);
  setTabOrder(txtSubjectAddNew, txtDescriptionAddNew);
  setTabOrder(txtDescriptionAddNew, cmdSaveNewGroup);
  setTabOrder(cmdSaveNewGroup, cmdHelp);
  setTabOrder(cmdHelp, cmdShowTips);

  PicturePicker::Setup picker;
  picker.lockedWhileOpen = {txtGroupAddNew, txtSubjectAddNew, txtDescriptionAddNew,
                            cmdSaveNewGroup};
  picker.focusAfterChoice = txtGroupAddNew;
  picker.helpToolTip = QStringLiteral("Display Help Screen");
  picker.cancelToolTip = QStringLiteral("Cancel this Action");
  picker.record = [this](const QString &path) { g().gPicturePath = path; };
  addPicker(std::move(picker));
}

void frmAddGroup::activateScreen() {
  Image1->loadPictureOr(g().gPicturePath, placeholderPicture());
  txtGroupAddNew->setFocus();
}

void frmAddGroup::cmdSaveNewGroup_Click() {
  tips::GroupMaintenance groups(book_);
  const tips::GroupInput input{txtGroupAddNew->text(), txtSubjectAddNew->text(),
                               txtDescriptionAddNew->description()};
  auto exists = [this](const QString &firstLine, QWidget *box) {
    MsgBox(firstLine + msgbox::kNewLine + QStringLiteral("Please enter a new one."),
           msgbox::vbCritical + msgbox::vbOKOnly, g().gMsgTitle);
    box->setFocus();
  };
  switch (groups.checkNewGroup(input)) {
  case tips::EntryProblem::GroupBlank:
    return refuseBlank(QStringLiteral("Tip GROUP Name"), txtGroupAddNew);
  case tips::EntryProblem::SubjectBlank:
    return refuseBlank(QStringLiteral("Tip SUBJECT Name"), txtSubjectAddNew);
  case tips::EntryProblem::DescriptionBlank:
    return refuseBlank(QStringLiteral("Tip DESCRIPTION Name"), txtDescriptionAddNew);
  case tips::EntryProblem::GroupExists:
    return exists(QStringLiteral("TIP GROUP name already exists!"), txtGroupAddNew);
  case tips::EntryProblem::SubjectExists:
    return exists(QStringLiteral("TIP SUBJECT name already exists!"), txtSubjectAddNew);
  case tips::EntryProblem::None:
    break;
  }

  if (MsgBox(QStringLiteral("Click OK if the new record is done") + msgbox::kNewLine +
                 QStringLiteral("or click CANCEL to cancel the update."),
             msgbox::vbExclamation + msgbox::vbOKCancel, g().gMsgTitle) != msgbox::vbOK) {
    MsgBox(QStringLiteral("The Updated Record has Been Cancelled!"),
           msgbox::vbExclamation + msgbox::vbOKOnly, g().gMsgTitle);
    if (!groups.hasGroups())
      MsgDatabaseEmpty(g());
    txtGroupAddNew->setFocus();
    return;
  }

  const tips::TipBook::Added added =
      store(input.description.size(),
            [&, picture = g().gPicturePath] { return groups.addGroup(input, picture); });
  // The rows are stored; a picture that could not be copied is told, and the group shows
  // the placeholder until it is given another picture.
  if (added.pictureFailure)
    MsgBox(tips::userMessage(*added.pictureFailure), msgbox::vbCritical + msgbox::vbOKOnly,
           g().gMsgTitle);

  if (MsgBox(QStringLiteral("Click YES To Create New Group Record!") + msgbox::kNewLine +
                 QStringLiteral("Or click NO to cancel Add New Group!"),
             msgbox::vbQuestion + msgbox::vbYesNo, g().gMsgTitle) != msgbox::vbYes) {
    returnToMainScreen();
    return;
  }
  g().gPicturePath = placeholderPicture();
  Image1->loadPicture(g().gPicturePath);
  txtGroupAddNew->clear();
  txtSubjectAddNew->clear();
  txtDescriptionAddNew->clear();
  txtGroupAddNew->setFocus();
}
