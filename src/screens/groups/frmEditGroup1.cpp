#include "screens/groups/frmEditGroup1.h"

#include "framework/ScreenNames.h"

frmEditGroup1::frmEditGroup1(Program &program)
    : StepOneScreen(program, screen::frmEditGroup1, "lblEditGroup", screen::frmEditGroup2,
                    QStringLiteral("Current Tip Group"),
                    QStringLiteral("This Image (if any) Corresponds to the Current Tip Group.")) {
  addUnusedBoxes();
}
