#include "screens/subjects/frmAddSubject.h"

#include "framework/OBXGlobals.h"
#include "framework/ScreenNames.h"
#include "framework/SharedMessages.h"
#include "platform/MousePointer.h"
#include "platform/MsgBox.h"
#include "tips/SubjectMaintenance.h"
#include "widgets/BoxTint.h"
#include "widgets/DescriptionBox.h"
#include "widgets/ListPlace.h"

#include <QLineEdit>
#include <QPushButton>

frmAddSubject::frmAddSubject(Program &program)
    : MaintenanceScreen(program, screen::frmAddSubject, "lblAddSubject") {
  using namespace listPlace;
  addLabel("lblTipGroup", QStringLiteral("Tip Group"), kLeft, kGroupTop - 200, 1332, 200);
  addLabel("lblSubject", QStringLiteral("Tip Subject"), kLeft, kSubjectTop - 200, 1332, 200);
  addLabel("lblDescription", QStringLiteral("Tip Description"), kLeft, kDescriptionTop - 200, 1332,
           200);
  addGroupList(QStringLiteral("Current Tip Group Name"),
               QStringLiteral("This Image (if any) Corresponds to the Current Tip Group"));
  txtAddSubject = addEntryBox<QLineEdit>("txtAddSubject", kLeft, kSubjectTop, kFullWidth,
                                         kBoxHeight, QStringLiteral("Input New Subject"),
                                         BoxTint::Add, KeyFilter::CapFirst);
  txtAddDescription = addEntryBox<DescriptionBox>(
      "txtAddDescription", kLeft, kDescriptionTop, kFullWidth, kDescriptionHeight,
      QStringLiteral("Input New Tip Description"), BoxTint::Add, KeyFilter::CapFirst);
  cmdSaveNewSubject =
      addActionButton("cmdSaveNewSubject", QStringLiteral("Save New Subject"),
                      QStringLiteral("This will Save the New Subject and Description"));
  onClick(cmdSaveNewSubject, &frmAddSubject::cmdSaveNewSubject_Click);
}

void frmAddSubject::activateScreen() { showGroups(); }

void frmAddSubject::groupChosen(const GroupChoice &group) {
  BusyPointer busy;
  // Only the key travels: the save files the tip under it.
  g().gGroupId = group.id;
  groups_->showPicture(group.picture);
  txtAddSubject->setFocus();
}

void frmAddSubject::cmdSaveNewSubject_Click() {
  tips::SubjectMaintenance subjects(book_);
  const QString subject = txtAddSubject->text();
  const QString description = txtAddDescription->description();
  switch (subjects.checkNewSubject(subject, description)) {
  case tips::EntryProblem::SubjectBlank:
    refuseBlank(QStringLiteral("Tip SUBJECT Name"), txtAddSubject);
    return;
  case tips::EntryProblem::DescriptionBlank:
    refuseBlank(QStringLiteral("Tip DESCRIPTION Name"), txtAddDescription);
    return;
  case tips::EntryProblem::SubjectExists:
    MsgBox(QStringLiteral("TIP SUBJECT name already exists!") + msgbox::kNewLine +
               QStringLiteral("Please enter a new one."),
           msgbox::vbCritical + msgbox::vbOKOnly, g().gMsgTitle);
    txtAddSubject->setFocus();
    return;
  default:
    break;
  }

  if (MsgBox(QStringLiteral("Click OK if the new record is done!") + msgbox::kNewLine +
                 QStringLiteral("Or click CANCEL to cancel the update!"),
             msgbox::vbExclamation + msgbox::vbOKCancel, g().gMsgTitle) != msgbox::vbOK) {
    MsgBox(QStringLiteral("The Updated Record has been Cancelled!"),
           msgbox::vbExclamation + msgbox::vbOKOnly, g().gMsgTitle);
    if (!tips::GroupMaintenance(book_).hasGroups()) {
      toAddGroup();
      return;
    }
    txtAddSubject->setFocus();
    return;
  }

  const std::optional<GroupChoice> group = groups_->chosen();
  const bool added = group && store(description.size(), [&] {
                       return subjects.addSubject(group->id, subject, description);
                     });
  if (!added) {
    // The group went away since it was listed: nothing was stored. The list is read
    // again, and the typed entries stay for another group.
    MsgOops(g());
    showGroups();
    return;
  }

  if (MsgBox(QStringLiteral("Click YES To Create New Subject Record!") + msgbox::kNewLine +
                 QStringLiteral("Or click NO to cancel Add New Subject!"),
             msgbox::vbQuestion + msgbox::vbYesNo, g().gMsgTitle) == msgbox::vbYes) {
    txtAddSubject->clear();
    txtAddDescription->clear();
    txtAddSubject->setFocus();
    return;
  }
  returnToMainScreen();
}
