#pragma once
// What the group and subject maintenance screens share beyond the frame: the rules over
// the tip database (released when the screen is unloaded), the right-hand column of
// buttons, the group list with what choosing a group hands on, the way to Add Group when
// there is nothing to maintain, and the question to do another after a change.

#include <memory>

#include "framework/SecondaryScreen.h"
#include "framework/SharedMessages.h"
#include "platform/MousePointer.h"
#include "tips/TipBook.h"
#include "widgets/BoxTint.h"
#include "widgets/GroupList.h"

class QPushButton;
class ImageBox;

class MaintenanceScreen : public SecondaryScreen {
  Q_OBJECT
public:
  // A group chosen in Combo1 (by the user, or preselected on activation).
  void Combo1_Click();

protected:
  MaintenanceScreen(Program &program, const QString &name, const char *headingName);

  // A box the user types into: placed, with its tool-tip, the tint of what the screen does
  // with it, and the key filter that raises its letters.
  template <class Box>
  Box *addEntryBox(const char *name, int left, int top, int width, int height,
                   const QString &toolTip, BoxTint tint, KeyFilter filter) {
    Box *box = place(new Box, name, left, top, width, height);
    box->setToolTip(toolTip);
    tintBox(box, tint);
    installKeyFilter(box, filter);
    return box;
  }

  // Stores what the user typed: work() writes it and answers. A description of more than
  // a megabyte is written as a job, so that the window repaints while the tip database and
  // the search index take it in (seconds for hundreds of megabytes); the write is one
  // transaction, begun at once, so there is no Cancel. A smaller one is written at once
  // under the busy pointer, without the controls waiting for a moment.
  template <class Save> auto store(qsizetype descriptionLength, Save &&work) {
    if (descriptionLength > kLargeDescription)
      return runJob([&](tips::WorkProgress &progress) {
        progress.setCancellable(false);
        return work();
      });
    BusyPointer busy;
    return work();
  }
  static constexpr qsizetype kLargeDescription = 1 << 20;
  // A blank entry refused: the field's name in the message, the focus back in its box.
  void refuseBlank(const QString &fieldName, QWidget *box);

  // The button that does the screen's work, below Help and "Exit This Screen".
  QPushButton *addActionButton(const char *name, const QString &caption, const QString &toolTip);
  // The group list (Combo1 and Image1), wired to Combo1_Click.
  void addGroupList(const QString &comboToolTip, const QString &imageToolTip);
  // Image1 of a screen without a group list, where the group list's picture stands.
  ImageBox *addGroupImage(const QString &toolTip);
  // txtSubjectEdit and txtDescriptionEdit, grey and disabled: the group screens show them
  // but have no use for them.
  void addUnusedBoxes();

  // Re-reads the groups. None: the database-empty hand-off, and false. Otherwise the list
  // is filled, the main screen's group (gShowGroupIndex, or the nearest one) is chosen as
  // a click would choose it, and true.
  bool showGroups();
  // What choosing a group does on this screen; by default handOnGroup.
  virtual void groupChosen(const GroupChoice &group) { handOnGroup(group); }
  // The chosen group handed on to step 2: key, name, its picture as the one to show.
  void handOnGroup(const GroupChoice &group);
  // "The Database Is Empty!", then Add Group with the placeholder as its picture.
  void toAddGroup();

  // After a change: Yes forgets the choice and goes back to stepOne, No returns to the
  // main screen. The style is the message's icon and buttons.
  void askAnother(const QString &question, int style, const QString &stepOne);

  QString placeholderPicture() const;
  void unloadScreen() override;

  tips::TipBook book_;
  std::unique_ptr<GroupList> groups_;
  ImageBox *Image1 = nullptr;

private:
  int actionButtons_ = 0;
};
