#pragma once
// Find Tips: a search text, the tips that match it as it is typed, and the way back to the
// main screen on the tip chosen. The matching and the index are the search library's (TipIndex.h);
// this screen reads the text, shows the results and builds the index when it must.

#include "framework/SecondaryScreen.h"
#include "search/TipIndex.h"
#include "tips/TipRows.h"

class QLineEdit;
class QListWidget;

class frmFindTips : public SecondaryScreen {
  Q_OBJECT
public:
  explicit frmFindTips(Program &program);
  ~frmFindTips() override;

  void txtFind_Change();
  void txtFind_KeyEnter();
  void lstResults_Activate();
  void cmdShowTip_Click();

  // The most tips listed at once; lblFound still counts them all.
  static constexpr int kListed = search::kListedTips;

protected:
  void activateScreen() override;
  void unloadScreen() override;

private:
  void startIndexBuild();
  void showResults();
  void showTip(int row);

  tips::TipRows rows_;
  search::TipIndex index_;
  QLineEdit *txtFind;
  QListWidget *lstResults;
  QLabel *lblFound;
  QPushButton *cmdShowTip;
  // A search failed and the index is being built again because of it: a second failure
  // after that build is not the index's fault, and the search is said to be unavailable.
  bool rebuiltAfterFailure_ = false;
};
