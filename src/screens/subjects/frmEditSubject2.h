#pragma once
// Edit Subject, step 2: change the chosen tip's subject, its description, or both.

#include "framework/MaintenanceScreen.h"

class DescriptionBox;
class QLineEdit;

class frmEditSubject2 : public MaintenanceScreen {
  Q_OBJECT
public:
  explicit frmEditSubject2(Program &program);

  void cmdSaveEditSubject_Click();

protected:
  void activateScreen() override;

private:
  QLineEdit *txtGroupEdit;
  QLineEdit *txtSubjectEdit;
  DescriptionBox *txtDescriptionEdit;
  QPushButton *cmdSaveEditSubject;
};
