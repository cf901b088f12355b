#include "screens/subjects/frmDelSubject2.h"

#include "framework/OBXGlobals.h"
#include "framework/ScreenNames.h"
#include "framework/SharedMessages.h"
#include "platform/MousePointer.h"
#include "platform/MsgBox.h"
#include "tips/SubjectMaintenance.h"
#include "widgets/BoxTint.h"
#include "widgets/DescriptionBox.h"
#include "widgets/ImageBox.h"
#include "widgets/ListPlace.h"

#include <QLineEdit>
#include <QPushButton>

frmDelSubject2::frmDelSubject2(Program &program)
    : MaintenanceScreen(program, screen::frmDelSubject2, "lblDelSubject") {
  using namespace listPlace;
  addGroupImage(QStringLiteral("This Image (if any) Corresponds to the Current Tip Group"));
  txtGroup = place(new QLineEdit, "txtGroup", kLeft, kGroupTop, kGroupWidth, kBoxHeight);
  txtGroup->setToolTip(QStringLiteral("Current Tip Group Name"));
  txtGroup->setReadOnly(true);
  txtSubject = place(new QLineEdit, "txtSubject", kLeft, kSubjectTop, kFullWidth, kBoxHeight);
  txtSubject->setToolTip(QStringLiteral("This Tip Subject is about to be Deleted!"));
  txtSubject->setReadOnly(true);
  tintBox(txtSubject, BoxTint::Delete);
  txtDescription = place(new DescriptionBox, "txtDescription", kLeft, kDescriptionTop, kFullWidth,
                         kDescriptionHeight);
  txtDescription->setToolTip(QStringLiteral("This Tip Description is about to be Deleted!"));
  txtDescription->setReadOnly(true);
  tintBox(txtDescription, BoxTint::Delete);
  cmdDelSubject =
      addActionButton("cmdDelSubject", QStringLiteral("Delete Subject"),
                      QStringLiteral("This will Delete the Current Subject and Description"));
  onClick(cmdDelSubject, &frmDelSubject2::cmdDelSubject_Click);
}

void frmDelSubject2::activateScreen() {
  Image1->loadPictureOr(g().gNewPicture, placeholderPicture());
  txtGroup->setText(g().gGroupName.trimmed());
  txtSubject->setText(g().gSubjectName.trimmed());
  txtDescription->setDescription(QStringView(g().gDescription).trimmed());
  cmdDelSubject->setFocus();
}

void frmDelSubject2::cmdDelSubject_Click() {
  const bool lastOfGroup = g().gGroupSubjectCount <= 1;
  if (lastOfGroup &&
      MsgBox(QStringLiteral("It is only ONE Subject record on this Group!") + msgbox::kNewLine +
                 QStringLiteral("Click NO to cancel or Click YES to remove the Group too!"),
             msgbox::vbCritical + msgbox::vbYesNo, g().gMsgTitle) != msgbox::vbYes)
    return;

  tips::SubjectDeletion result;
  {
    BusyPointer busy;
    // The names as stored: one with surrounding blanks is shown without them but must
    // still be found. Both are looked up before anything is deleted.
    result = tips::SubjectMaintenance(book_).deleteSubject(g().gGroupName, g().gSubjectName,
                                                           lastOfGroup);
  }
  if (result != tips::SubjectDeletion::Deleted) {
    MsgOops(g());
    cmdDelSubject->setFocus();
    return;
  }
  g().gShowSubjectIndex = 0;
  askAnother(QStringLiteral("Click YES To DELETE Other Subject Record!") + msgbox::kNewLine +
                 QStringLiteral("Click NO to cancel!"),
             msgbox::vbExclamation + msgbox::vbYesNo, screen::frmDelSubject1);
}
