#pragma once
// Delete Group, step 1: choose the group to delete.

#include "framework/StepOneScreen.h"

class frmDelGroup1 : public StepOneScreen {
  Q_OBJECT
public:
  explicit frmDelGroup1(Program &program);

protected:
  void activateScreen() override;
};
