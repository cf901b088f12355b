#pragma once
// Delete Subject, step 1: choose a group and the subject to delete.

#include "framework/StepOneScreen.h"

class frmDelSubject1 : public StepOneScreen {
  Q_OBJECT
public:
  explicit frmDelSubject1(Program &program);

protected:
  void subjectsListed() override;
};
