#include "screens/subjects/frmDelSubject1.h"

#include "framework/OBXGlobals.h"
#include "framework/ScreenNames.h"

frmDelSubject1::frmDelSubject1(Program &program)
    : StepOneScreen(program, screen::frmDelSubject1, "lblDelGroup", screen::frmDelSubject2,
                    QStringLiteral("Current Tip Group Name"),
                    QStringLiteral("This Image (if any) Corresponds to the Current Tip Group")) {
  addSubjectList("txtDescription");
}

// Step 2 warns before it deletes a group's last subject.
void frmDelSubject1::subjectsListed() { g().gGroupSubjectCount = subjects_->count(); }
