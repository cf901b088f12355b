#include "framework/StepOneScreen.h"

#include "framework/OBXGlobals.h"
#include "framework/Program.h"
#include "platform/MousePointer.h"

#include <QComboBox>
#include <QPushButton>

StepOneScreen::StepOneScreen(Program &program, const QString &name, const char *headingName,
                             const QString &next, const QString &comboToolTip,
                             const QString &imageToolTip)
    : MaintenanceScreen(program, name, headingName), next_(next) {
  addGroupList(comboToolTip, imageToolTip);
  cmdClickNext = addActionButton("cmdClickNext", QStringLiteral("Click For Next Screen"),
                                 QStringLiteral("Click to Proceed to the Next Step"));
  onClick(cmdClickNext, &StepOneScreen::cmdClickNext_Click);
}

void StepOneScreen::addSubjectList(const char *descriptionName) {
  subjects_ = std::make_unique<SubjectList>(clientArea(), book_.rows(), descriptionName);
  onActivated(subjects_->combo(), &StepOneScreen::Combo2_Click);
}

void StepOneScreen::activateScreen() { showGroups(); }

void StepOneScreen::groupChosen(const GroupChoice &group) {
  {
    BusyPointer busy;
    handOnGroup(group);
    if (!subjects_) {
      cmdClickNext->setFocus();
      return;
    }
    if (subjects_->fill(group.id)) {
      subjects_->preselect(g().gShowSubjectIndex);
      Combo2_Click();
      subjectsListed();
      cmdClickNext->setFocus();
      return;
    }
  }
  // A group without tips: nothing to choose here.
  toAddGroup();
}

void StepOneScreen::Combo2_Click() {
  BusyPointer busy;
  const std::optional<SubjectChoice> tip = subjects_->chosen();
  if (!tip)
    return;
  g().gSubjectName = tip->subject;
  g().gDescription.clear(); // not held beside the next one while it is read
  g().gDescription = subjects_->showDescription();
}

void StepOneScreen::cmdClickNext_Click() {
  // Step 2 acts on the choice: without one there is nothing to hand on.
  if (!groups_->chosen() || (subjects_ && !subjects_->chosen()))
    return;
  handOver(next_);
}
