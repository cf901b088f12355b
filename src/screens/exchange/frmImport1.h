#pragma once
// The first import screen: what the tip database holds by origin, and the package
// picker ("Read Import File"): a click on a package names it, a double-click unpacks it
// into the working folder and hands over to the second import screen.

#include "screens/exchange/ExchangeScreen.h"

class FilePicker;

class frmImport1 : public ExchangeScreen {
  Q_OBJECT
public:
  explicit frmImport1(Program &program);

  void cmdReadImport_Click();
  void cmdDirCancel_Click();
  void File1_Click();
  void File1_DblClick();

  FilePicker &picker() const { return *picker_; }

protected:
  void loadScreen() override;
  void countOnceShown() override;

private:
  // gImportFileName and lblImportName: the selected package. False when none is selected.
  bool recordPackage();

  QPushButton *cmdReadImport;
  QLabel *lblImportName;
  FilePicker *picker_;
};
