#include "screens/groups/frmDelGroup1.h"

#include "framework/OBXGlobals.h"
#include "framework/ScreenNames.h"
#include "widgets/ImageBox.h"

frmDelGroup1::frmDelGroup1(Program &program)
    : StepOneScreen(program, screen::frmDelGroup1, "lblDelGroup", screen::frmDelGroup2,
                    QStringLiteral("Current Tip Group Name"),
                    QStringLiteral("This Image (if any) Corresponds to the Current Tip Group")) {
  addUnusedBoxes();
}

void frmDelGroup1::activateScreen() {
  // The placeholder (set by whoever opened this screen) until a group is chosen.
  Image1->loadPictureOr(g().gNewPicture, placeholderPicture());
  StepOneScreen::activateScreen();
}
