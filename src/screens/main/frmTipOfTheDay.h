#pragma once
// Tip of the Day: a small window over the main screen with one tip (its group's picture,
// group, subject and description), the next and previous tips of the random order, the way
// to the main screen on that tip, and whether it shows when the program starts. The order
// and the choice are the rule's (tips/TipOfTheDay.h); this window shows what it answers.

#include "framework/Screen.h"
#include "tips/TipOfTheDay.h"
#include "tips/TipRows.h"

#include <optional>

class DescriptionBox;
class QCheckBox;

class frmTipOfTheDay : public Screen {
  Q_OBJECT
public:
  explicit frmTipOfTheDay(Program &program);
  ~frmTipOfTheDay() override;

  void Form_Load() override;
  // Each opening shows the next tip.
  void Form_Activate() override;
  void Form_Unload() override;

  void cmdNextTip_Click();
  void cmdPreviousTip_Click();
  void cmdShowInMain_Click();
  void chkShowAtStart_Click();
  void cmdClose_Click();

  // The tip shown; none when there is no tip at all.
  const std::optional<tips::TipHeading> &shownTip() const { return shown_; }

protected:
  void showHelp() override;
  void keyPressEvent(QKeyEvent *event) override;

private:
  void showTip(std::optional<tips::TipHeading> tip);

  tips::TipRows rows_;
  tips::TipOfTheDay order_;
  std::optional<tips::TipHeading> shown_;
  ImageBox *Image1;
  QLabel *lblGroupName;
  QLabel *lblSubjectName;
  DescriptionBox *txtDescription;
  QCheckBox *chkShowAtStart;
  QPushButton *cmdPreviousTip, *cmdNextTip, *cmdShowInMain, *cmdClose;
};
