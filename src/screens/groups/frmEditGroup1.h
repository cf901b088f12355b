#pragma once
// Edit Group, step 1: choose the group to rename or give another picture.

#include "framework/StepOneScreen.h"

class frmEditGroup1 : public StepOneScreen {
  Q_OBJECT
public:
  explicit frmEditGroup1(Program &program);
};
