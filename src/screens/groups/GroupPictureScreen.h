#pragma once
// What Add Group and Edit Group step 2 share beyond the maintenance screens: the group's
// picture Image1 and the picture picker that opens on it, over the right-hand column.

#include "framework/MaintenanceScreen.h"
#include "widgets/PicturePicker.h"

class GroupPictureScreen : public MaintenanceScreen {
  Q_OBJECT
protected:
  GroupPictureScreen(Program &program, const QString &name, const char *headingName,
                     const QString &imageToolTip);

  // Places the picker after every other control, so the open panel stands above the
  // column it covers. The frame's parts are filled in here: the Help and Exit buttons and
  // File, Exit that the panel puts away, the screen's help topic, and its message title
  // on every failure the picker meets.
  void addPicker(PicturePicker::Setup setup);

  PicturePicker *picker_ = nullptr;
};
