#pragma once
// Delete Subject, step 2: the chosen tip once more, and the button that deletes it; the
// last tip of a group takes the group with it, after a warning.

#include "framework/MaintenanceScreen.h"

class DescriptionBox;
class QLineEdit;

class frmDelSubject2 : public MaintenanceScreen {
  Q_OBJECT
public:
  explicit frmDelSubject2(Program &program);

  void cmdDelSubject_Click();

protected:
  void activateScreen() override;

private:
  QLineEdit *txtGroup;
  QLineEdit *txtSubject;
  DescriptionBox *txtDescription;
  QPushButton *cmdDelSubject;
};
