#pragma once
// The second import screen: what the tip database holds, what the unpacked package holds
// ("To Import"), and "Start Importing", which merges the package into the tip database
// and shows what was added ("New") and the totals after the merge.

#include <memory>

#include "exchange/ExchangeCounts.h"
#include "screens/exchange/ExchangeScreen.h"

namespace exchange {
class ImportPackage;
}

class frmImport2 : public ExchangeScreen {
  Q_OBJECT
public:
  explicit frmImport2(Program &program);
  ~frmImport2() override;

  void cmdStartImport_Click();

protected:
  void loadScreen() override;
  void activateScreen() override;
  void unloadScreen() override;

private:
  // Before the merge: Total and To Import; from the merge on: New and the second Total.
  void showMergeColumns(bool merging);

  QPushButton *cmdStartImport;
  QLabel *lblImportName;
  std::unique_ptr<exchange::ImportPackage> package_;
  exchange::Tally localTotal_;
  // Why the package cannot be imported; told once, when the screen first shows.
  QString problem_;
};
