#pragma once
// Edit Subject, step 1: choose a group and one of its subjects.

#include "framework/StepOneScreen.h"

class frmEditSubject1 : public StepOneScreen {
  Q_OBJECT
public:
  explicit frmEditSubject1(Program &program);
};
