#pragma once
// Delete Group, step 2: the chosen group once more, and the button that deletes it with
// all its tips and its picture. The screen itself is the confirmation.

#include "framework/MaintenanceScreen.h"

class QLineEdit;

class frmDelGroup2 : public MaintenanceScreen {
  Q_OBJECT
public:
  explicit frmDelGroup2(Program &program);

  void cmdDelGroup_Click();

protected:
  void activateScreen() override;

private:
  QLineEdit *txtGroupDel;
  QPushButton *cmdDelGroup;
};
