#pragma once
// The information window shown after the window position was reset to the default.

#include "framework/Screen.h"

class frmScreenDefault : public Screen {
  Q_OBJECT
public:
  explicit frmScreenDefault(Program &program);

  void Command1_Click();
};
