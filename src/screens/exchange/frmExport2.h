#pragma once
// The second export screen: the export summary of the first, the package's name, and
// "Compress File", which packs the export database and the group pictures into the
// exchange package in "C:\OBXImpExp".

#include "screens/exchange/ExchangeScreen.h"

class frmExport2 : public ExchangeScreen {
  Q_OBJECT
public:
  explicit frmExport2(Program &program);

  void cmdCompressFile_Click();

protected:
  void loadScreen() override;

private:
  QPushButton *cmdCompressFile;
  QLabel *lblExportName;
};
