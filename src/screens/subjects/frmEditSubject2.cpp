#include "screens/subjects/frmEditSubject2.h"

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

frmEditSubject2::frmEditSubject2(Program &program)
    : MaintenanceScreen(program, screen::frmEditSubject2, "lblEditSubject") {
  using namespace listPlace;
  addGroupImage(QStringLiteral("This Image (if any) Corresponds to the Current Tip Group"));
  txtGroupEdit = place(new QLineEdit, "txtGroupEdit", kLeft, kGroupTop, kGroupWidth, kBoxHeight);
  txtGroupEdit->setToolTip(QStringLiteral("Current Tip Group Name"));
  // A tip cannot move to another group, and a group is renamed on its own screen: the
  // name is shown, not taken.
  txtGroupEdit->setReadOnly(true);
  txtSubjectEdit = addEntryBox<QLineEdit>("txtSubjectEdit", kLeft, kSubjectTop, kFullWidth,
                                          kBoxHeight, QStringLiteral("Change Tip Subject"),
                                          BoxTint::Edit, KeyFilter::CapWord);
  txtDescriptionEdit = addEntryBox<DescriptionBox>(
      "txtDescriptionEdit", kLeft, kDescriptionTop, kFullWidth, kDescriptionHeight,
      QStringLiteral("Change Tip Description"), BoxTint::Edit, KeyFilter::CapFirst);
  cmdSaveEditSubject = addActionButton("cmdSaveEditSubject", QStringLiteral("Save Edited Subject"),
                                       QStringLiteral("Save the Edited Subject and Description"));
  onClick(cmdSaveEditSubject, &frmEditSubject2::cmdSaveEditSubject_Click);
}

void frmEditSubject2::activateScreen() {
  Image1->loadPictureOr(g().gNewPicture, placeholderPicture());
  txtGroupEdit->setText(g().gGroupName.trimmed());
  txtSubjectEdit->setText(g().gSubjectName.trimmed());
  txtDescriptionEdit->setDescription(QStringView(g().gDescription).trimmed());
  txtSubjectEdit->setFocus();
}

void frmEditSubject2::cmdSaveEditSubject_Click() {
  tips::SubjectMaintenance subjects(book_);
  const QString subject = txtSubjectEdit->text();
  // A description left as shown is the stored one: the box holds CR LF as one line break
  // and shows it without its surrounding blanks, and a new subject alone must not rewrite
  // the description.
  const std::optional<QString> typed =
      txtDescriptionEdit->changedFrom(QStringView(g().gDescription).trimmed());
  const QString description = typed ? *typed : g().gDescription;
  const QString &title = g().gMsgTitle;
  bool saved = false;
  switch (subjects.planEdit(g().gSubjectName, g().gDescription, subject, description)) {
  case tips::SubjectEdit::SubjectBlank:
    refuseBlank(QStringLiteral("Tip SUBJECT Name"), txtSubjectEdit);
    return;
  case tips::SubjectEdit::DescriptionBlank:
    refuseBlank(QStringLiteral("Tip DESCRIPTION Name"), txtDescriptionEdit);
    return;
  case tips::SubjectEdit::NothingChanged:
    MsgBox(
        QStringLiteral("There are No Changes to the Subject And Description Name!") +
            msgbox::kNewLine +
            QStringLiteral("Type a different Subject Name or select a different Description Name."),
        msgbox::vbExclamation + msgbox::vbOKOnly, title);
    txtSubjectEdit->setFocus();
    return;
  case tips::SubjectEdit::SubjectExists:
    MsgBox(QStringLiteral("TIP SUBJECT name already exists! Please enter a new one."),
           msgbox::vbExclamation + msgbox::vbOKOnly, title);
    txtSubjectEdit->setFocus();
    return;
  case tips::SubjectEdit::DescriptionOnly: {
    MsgBox(QStringLiteral("There are No Changes to the Subject Name!") + msgbox::kNewLine +
               QStringLiteral("Only The Description will be Changed."),
           msgbox::vbExclamation + msgbox::vbOKOnly, title);
    saved = store(description.size(), [&, old = g().gSubjectName] {
      return subjects.saveDescription(old, description);
    });
    break;
  }
  case tips::SubjectEdit::SubjectChanged: {
    saved = store(description.size(), [&, old = g().gSubjectName] {
      return subjects.saveSubject(old, subject, description);
    });
    break;
  }
  }
  if (!saved)
    MsgOops(g());
  askAnother(QStringLiteral("Click YES To Edit Other Subject Record!") + msgbox::kNewLine +
                 QStringLiteral("Click NO to cancel!"),
             msgbox::vbYesNo, screen::frmEditSubject1);
}
