#pragma once
// Add a subject with its description to a group chosen from the list. After a save the
// same group stays chosen for the next subject.

#include "framework/MaintenanceScreen.h"

class DescriptionBox;
class QLineEdit;

class frmAddSubject : public MaintenanceScreen {
  Q_OBJECT
public:
  explicit frmAddSubject(Program &program);

  void cmdSaveNewSubject_Click();

protected:
  void activateScreen() override;
  void groupChosen(const GroupChoice &group) override;

private:
  QLineEdit *txtAddSubject;
  DescriptionBox *txtAddDescription;
  QPushButton *cmdSaveNewSubject;
};
