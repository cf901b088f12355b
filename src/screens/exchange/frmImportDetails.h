#pragma once
// The details of an import, opened over the second import screen by "Details...": one line
// per package group and tip telling what Start Importing will do with it or, once it has
// run, what it did; their sums below the list; and "Open Report" for the report the merge
// wrote. Leaving it shows the second import screen again, as it was left.

#include "framework/SecondaryScreen.h"

class QLabel;
class QListView;
class QPushButton;

class frmImportDetails : public SecondaryScreen {
  Q_OBJECT
public:
  explicit frmImportDetails(Program &program);
  ~frmImportDetails() override;

  void cmdOpenReport_Click();

protected:
  void loadScreen() override;
  void activateScreen() override;
  void unloadScreen() override;
  // Back to the second import screen.
  void exitScreen() override;

private:
  QListView *lstImportDetails;
  QLabel *lblImportDetails;
  QPushButton *cmdOpenReport;
  QString report_;
};
