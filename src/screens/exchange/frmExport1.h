#pragma once
// The first export screen: what the tip database holds by origin (Initial, Local,
// Imported, Total), the kinds the user ticks for export, and "Load Export File", which
// builds the export database and hands over to the second export screen.

#include "screens/exchange/ExchangeScreen.h"

class QCheckBox;

class frmExport1 : public ExchangeScreen {
  Q_OBJECT
public:
  explicit frmExport1(Program &program);

  void CheckTotal_Click();
  void cmdLoadExport_Click();

protected:
  void loadScreen() override;
  void countOnceShown() override;

private:
  QPushButton *cmdLoadExport;
  QLabel *lblExportName;
  QCheckBox *CheckTotal, *CheckImported, *CheckLocal, *CheckInitial;
};
