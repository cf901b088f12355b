#pragma once
// Add a new group with its first subject, that subject's description and the group's
// picture. After a save the screen starts over for the next group, or returns to the
// main screen.

#include "screens/groups/GroupPictureScreen.h"

class DescriptionBox;
class QLineEdit;

class frmAddGroup : public GroupPictureScreen {
  Q_OBJECT
public:
  explicit frmAddGroup(Program &program);

  void cmdSaveNewGroup_Click();

protected:
  void activateScreen() override;

private:
  QLineEdit *txtGroupAddNew;
  QLineEdit *txtSubjectAddNew;
  DescriptionBox *txtDescriptionAddNew;
  QPushButton *cmdSaveNewGroup;
};
