#include "screens/subjects/frmEditSubject1.h"

#include "framework/OBXGlobals.h"
#include "framework/ScreenNames.h"

frmEditSubject1::frmEditSubject1(Program &program)
    : StepOneScreen(program, screen::frmEditSubject1, "lblEditSubject", screen::frmEditSubject2,
                    QStringLiteral("Current Tip Group Name"),
                    QStringLiteral("This Image (if any) Corresponds to the Current Tip Group")) {
  addSubjectList("txtDescriptionEdit");
}
