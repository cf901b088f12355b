#pragma once
// Step 1 of the two-step edit and delete screens: the user chooses a group (and, on the
// subject screens, one of its subjects), preselected at the main screen's positions, and
// "Click For Next Screen" hands the choice to step 2 through the program-wide values.

#include "framework/MaintenanceScreen.h"
#include "widgets/SubjectList.h"

class StepOneScreen : public MaintenanceScreen {
  Q_OBJECT
public:
  // A subject chosen in Combo2 (by the user, or preselected when a group is chosen).
  void Combo2_Click();
  void cmdClickNext_Click();

protected:
  // next: the step-2 screen. comboToolTip, imageToolTip: those of the group list.
  StepOneScreen(Program &program, const QString &name, const char *headingName, const QString &next,
                const QString &comboToolTip, const QString &imageToolTip);

  // The subject list (Combo2 and the read-only description box descriptionName).
  void addSubjectList(const char *descriptionName);

  void activateScreen() override;
  // Hands the group on; on the subject screens lists its subjects, or leads to Add Group
  // when it has none.
  void groupChosen(const GroupChoice &group) override;
  // After a group's subjects are listed and one is chosen.
  virtual void subjectsListed() {}

  std::unique_ptr<SubjectList> subjects_;
  QPushButton *cmdClickNext;

private:
  QString next_;
};
