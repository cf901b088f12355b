#include "screens/groups/GroupPictureScreen.h"

#include "framework/ErrorReport.h"
#include "framework/OBXGlobals.h"
#include "framework/Program.h"

#include <QPushButton>

GroupPictureScreen::GroupPictureScreen(Program &program, const QString &name,
                                       const char *headingName, const QString &imageToolTip)
    : MaintenanceScreen(program, name, headingName) {
  addGroupImage(imageToolTip);
}

void GroupPictureScreen::addPicker(PicturePicker::Setup setup) {
  setup.image = Image1;
  setup.help = cmdHelp;
  setup.exit = cmdShowTips;
  setup.exitItem = mnuExiteItem;
  setup.showHelp = [this] { cmdHelp_Click(); };
  setup.run = [this](const std::function<void()> &work) {
    runReportingErrors(g().gMsgTitle, work);
  };
  picker_ = new PicturePicker(clientArea(), program().files(), std::move(setup));
}
