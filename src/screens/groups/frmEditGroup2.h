#pragma once
// Edit Group, step 2: a new name for the group chosen in step 1, another picture, or both.
// After a save the user edits another group (back to step 1) or returns to the main screen.

#include "screens/groups/GroupPictureScreen.h"

class QLineEdit;
namespace tips {
class GroupMaintenance;
}

class frmEditGroup2 : public GroupPictureScreen {
  Q_OBJECT
public:
  explicit frmEditGroup2(Program &program);

  void cmdSaveEditGroup_Click();

protected:
  void activateScreen() override;

private:
  // Step 1 hands on a group; without one (nothing chosen there) there is nothing to edit:
  // the user is told and goes back to step 1. True when a group is there.
  bool groupHandedOn();
  // Gives the group the chosen picture; a copy that fails is told, naming the file.
  void savePicture(tips::GroupMaintenance &groups, qint32 groupId);

  QLineEdit *txtGroupEdit;
  QPushButton *cmdSaveEditGroup;
};
