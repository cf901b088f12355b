#pragma once
// The main screen: the tip viewer and the menu that leads to every other screen.

#include "exchange/ImportUndo.h"
#include "framework/Screen.h"
#include "store/DataControl.h"
#include "tips/TipRows.h"

#include <functional>
#include <optional>

class QComboBox;
class DescriptionBox;
class QAction;
class QMenu;

class frmOmbrixShow : public Screen {
  Q_OBJECT
public:
  explicit frmOmbrixShow(Program &program);

  void Form_Load() override;
  void Form_Activate() override;
  void Form_Unload() override;

  // The first-run greeting.
  static QString greetingText();

  void Combo1_Click();
  void Combo2_Click();
  void cmdFirst_Click();
  void cmdPrevious_Click();
  void cmdNext_Click();
  void cmdLast_Click();

  void mnuExiteItem_Click();
  void mnuAddNewGroupItem_Click();
  void mnuEditGroupItem_Click();
  void mnuDeleteGroupItem_Click();
  void mnuAddNewSubjectItem_Click();
  void mnuEditSubjectItem_Click();
  void mnuDeleteSubjectItem_Click();
  void mnuExportItem_Click();
  void mnuImportItem_Click();
  void mnuScreenUserPositionItem_Click();
  void mnuScreenDefaultPositionItem_Click();
  void mnuUserPersonalItem_Click();
  void mnuFindTipsItem_Click();
  void mnuSaveDocumentItem_Click();
  void mnuUndoImportItem_Click();
  void mnuContentsItem_Click();
  void mnuTipOfTheDayItem_Click();
  void mnuAboutItem_Click();

private:
  void buildControls();
  void buildMenu();
  void AllBtnFalse();
  void AllBtnTrue();
  void AllFrmFalse();
  void setNavigation(bool first, bool previous, bool next, bool last);
  void showGroupPicture(qint32 groupId);
  // Opens the tip of the day once a run, when the user wants it at start.
  void offerTipOfTheDay();
  QString placeholderPicture() const;
  void clearSubjectsForEditing();
  // What Undo Last Import would take back; none when nothing is left.
  std::optional<exchange::UndoOffer> undoOffer();
  // A menu command that opens another screen: shared values, geometry, extra steps, hand-off.
  void openFromMenu(const QString &target, const std::function<void()> &sharedValues,
                    const std::function<void()> &extraSteps = {}, bool busyPointer = true);

  store::DataControl Data11;
  tips::TipRows tips_;
  // The subject to select when the group list is clicked next (a tip asked for by another
  // screen); 0 otherwise.
  int pendingSubject_ = 0;
  QComboBox *Combo1;
  QComboBox *Combo2;
  DescriptionBox *txtDescription;
  ImageBox *Image1;
  QAction *mnuUndoImportItem = nullptr;
  QPushButton *cmdFirst, *cmdPrevious, *cmdNext, *cmdLast;
};
