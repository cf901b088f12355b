#include "screens/main/frmOmbrixShow.h"
#include "exchange/ImportUndo.h"
#include "exchange/WorkingFolder.h"
#include "framework/ErrorReport.h"
#include "search/TipIndex.h"
#include "tips/TipOfTheDay.h"

#include "framework/HelpLinks.h"
#include "framework/Program.h"
#include "framework/ScreenNames.h"
#include "framework/Screens.h"
#include "framework/SharedMessages.h"
#include "framework/WindowPositions.h"
#include "framework/WorkingFolders.h"
#include "platform/MousePointer.h"
#include "platform/MsgBox.h"
#include "widgets/DescriptionBox.h"
#include "widgets/ImageBox.h"
#include "widgets/SortedList.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <utility>

namespace {

constexpr int kClientWidth = 7308;
constexpr int kClientHeight = 4620;

} // namespace

frmOmbrixShow::frmOmbrixShow(Program &program)
    : Screen(program, screen::frmOmbrixShow, kClientWidth, kClientHeight),
      tips_(program.paths().tipDatabase(), program.clock(),
            search::indexFollowing(program.paths().tipDatabase())) {
  setWindowTitle(QStringLiteral("View Ombrix Tips Screen"));
  Data11.setRecordSource(QStringLiteral("Settings"));
  buildControls();
  buildMenu();
}

void frmOmbrixShow::buildControls() {
  addHeading(120, 50, 120, 900);
  Image1 = addImage("Image1", 5000, 160, 975, 1100);
  // Over the foot of the description while a job (Undo Last Import) runs.
  placeJobPanel(120, 4160, 7068, 400);
  Image1->setToolTip(QStringLiteral("This Image (if any) Corresponds to the Current Tip Group"));
  addLabel("lblTipGroup", QStringLiteral("Tip Group"), 120, 1200, 1332, 200);
  Combo1 = place(new QComboBox, "Combo1", 120, 1400, 3546, 288);
  Combo1->setToolTip(QStringLiteral("Current Tip Group Name"));
  cmdFirst = addButton("cmdFirst", QStringLiteral("First"),
                       QStringLiteral("Click here to go to the First Tip"), 3900, 1400, 800, 372);
  cmdPrevious =
      addButton("cmdPrevious", QStringLiteral("Previous"),
                QStringLiteral("Click here to go to the Previous Tip"), 4706, 1400, 800, 372);
  cmdNext = addButton("cmdNext", QStringLiteral("Next"),
                      QStringLiteral("Click here to go to the Next Tip"), 5512, 1400, 800, 372);
  cmdLast = addButton("cmdLast", QStringLiteral("Last"),
                      QStringLiteral("Click here to go to the Last Tip"), 6312, 1400, 800, 372);
  addLabel("lblSubject", QStringLiteral("Tip Subject"), 120, 1800, 1092, 200);
  Combo2 = place(new QComboBox, "Combo2", 120, 2000, 7092, 288);
  Combo2->setToolTip(QStringLiteral("Current Tip Subject"));
  addLabel("lblDescription", QStringLiteral("Tip Description"), 120, 2400, 1332, 200);
  txtDescription = place(new DescriptionBox, "txtDescription", 120, 2600, 7092, 1900);
  txtDescription->setToolTip(QStringLiteral("Current Tip Description"));
  // The viewer shows tips; changing them is the work of the edit screens, so nothing
  // typed here could be lost or written behind the user's back.
  txtDescription->setReadOnly(true);

  onActivated(Combo1, &frmOmbrixShow::Combo1_Click);
  onActivated(Combo2, &frmOmbrixShow::Combo2_Click);
  onClick(cmdFirst, &frmOmbrixShow::cmdFirst_Click);
  onClick(cmdPrevious, &frmOmbrixShow::cmdPrevious_Click);
  onClick(cmdNext, &frmOmbrixShow::cmdNext_Click);
  onClick(cmdLast, &frmOmbrixShow::cmdLast_Click);
}

void frmOmbrixShow::buildMenu() {
  QMenuBar *bar = menuBar();
  auto menu = [](QMenu *parent, const char *name, const QString &caption) {
    QMenu *m = parent->addMenu(caption);
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name));
    return m;
  };
  auto item = [this](QMenu *parent, const char *name, const QString &caption,
                     void (frmOmbrixShow::*handler)()) {
    QAction *a = parent->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    onClick(a, handler);
  };
  auto separator = [](QMenu *parent, const char *name) {
    parent->addSeparator()->setObjectName(QString::fromLatin1(name));
  };

  QMenu *file = bar->addMenu(QStringLiteral("File"));
  file->setObjectName(QStringLiteral("mnuFileItem"));
  separator(file, "mnuFileBar0");
  item(file, "mnuExiteItem", QStringLiteral("Exit"), &frmOmbrixShow::mnuExiteItem_Click);
  separator(file, "mnuFileBar");

  QMenu *main = bar->addMenu(QStringLiteral("Menu"));
  main->setObjectName(QStringLiteral("mnuMenuItem"));
  QMenu *groupTip = menu(main, "mnuGroupTipItem", QStringLiteral("Group Tip"));
  item(groupTip, "mnuAddNewGroupItem", QStringLiteral("Add New Group"),
       &frmOmbrixShow::mnuAddNewGroupItem_Click);
  item(groupTip, "mnuEditGroupItem", QStringLiteral("Edit Group"),
       &frmOmbrixShow::mnuEditGroupItem_Click);
  item(groupTip, "mnuDeleteGroupItem", QStringLiteral("Delete Group"),
       &frmOmbrixShow::mnuDeleteGroupItem_Click);
  separator(main, "mnuFileBar1");
  QMenu *subjectTip =
      menu(main, "mnuSubjectTipItem", QStringLiteral("Subject and Description Tip"));
  item(subjectTip, "mnuAddNewSubjectItem", QStringLiteral("Add New Subject and Description"),
       &frmOmbrixShow::mnuAddNewSubjectItem_Click);
  item(subjectTip, "mnuEditSubjectItem", QStringLiteral("Edit Subject and/or Description"),
       &frmOmbrixShow::mnuEditSubjectItem_Click);
  item(subjectTip, "mnuDeleteSubjectItem", QStringLiteral("Delete Subject and Description"),
       &frmOmbrixShow::mnuDeleteSubjectItem_Click);
  separator(main, "mnuBar2");
  QMenu *exchange = menu(main, "mnuExchangeItem", QStringLiteral("Exchange Tips"));
  item(exchange, "mnuExportItem", QStringLiteral("Export Tips"),
       &frmOmbrixShow::mnuExportItem_Click);
  item(exchange, "mnuImportItem", QStringLiteral("Import Tips"),
       &frmOmbrixShow::mnuImportItem_Click);

  QMenu *tools = bar->addMenu(QStringLiteral("Tools"));
  tools->setObjectName(QStringLiteral("mnuToolsItem"));
  QMenu *position = menu(tools, "mnuScreenPositionItem", QStringLiteral("Screen Position"));
  item(position, "mnuScreenUserPositionItem", QStringLiteral("Set User Position"),
       &frmOmbrixShow::mnuScreenUserPositionItem_Click);
  item(position, "mnuScreenDefaultPositionItem", QStringLiteral("Set Default Position"),
       &frmOmbrixShow::mnuScreenDefaultPositionItem_Click);
  QMenu *settings = menu(tools, "mnuSettingsItem", QStringLiteral("Settings"));
  item(settings, "mnuUserPersonalItem", QStringLiteral("User Details"),
       &frmOmbrixShow::mnuUserPersonalItem_Click);
  item(tools, "mnuSaveDocumentItem", QStringLiteral("Save Tips As Document..."),
       &frmOmbrixShow::mnuSaveDocumentItem_Click);
  item(tools, "mnuFindTipsItem", QStringLiteral("Find Tips..."),
       &frmOmbrixShow::mnuFindTipsItem_Click);
  tools->findChild<QAction *>(QStringLiteral("mnuFindTipsItem"))
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  item(tools, "mnuUndoImportItem", QStringLiteral("Undo Last Import..."),
       &frmOmbrixShow::mnuUndoImportItem_Click);
  mnuUndoImportItem = tools->findChild<QAction *>(QStringLiteral("mnuUndoImportItem"));

  QMenu *help = bar->addMenu(QStringLiteral("Help"));
  help->setObjectName(QStringLiteral("mnuHelpItem"));
  item(help, "mnuContentsItem", QStringLiteral("Contents"), &frmOmbrixShow::mnuContentsItem_Click);
  item(help, "mnuTipOfTheDayItem", QStringLiteral("Tip of the Day"),
       &frmOmbrixShow::mnuTipOfTheDayItem_Click);
  separator(help, "mnuFileBar2");
  item(help, "mnuAboutItem", QStringLiteral("About"), &frmOmbrixShow::mnuAboutItem_Click);
}

QString frmOmbrixShow::greetingText() {
  const QStringList lines = {
      QString(),
      QStringLiteral("Congratulations!"),
      QStringLiteral("You have succeeded in installing Ombrix Tips!"),
      QStringLiteral("Before you start using Ombrix Tips, you will need to enter your details."),
      QStringLiteral("Click the OK button when you are ready."),
      QString(),
      QStringLiteral("Thanks for using Ombrix Tips."),
      QString(),
  };
  QString text;
  for (const QString &line : lines)
    text += line + msgbox::kNewLine;
  return text;
}

QString frmOmbrixShow::placeholderPicture() const { return program().paths().placeholderPicture(); }

void frmOmbrixShow::Form_Load() {
  prepareToBePlaced();
  program().help().HelpInit(this);
  bool firstRun = false;
  {
    BusyPointer busy;
    Data11.setDatabaseName(program().paths().tipDatabase());
    Data11.refresh();
    store::Recordset &settings = Data11.recordset();
    settings.moveFirst();
    if (!g().gPositionLoaded) {
      readStoredGeometry(settings, program().paths().windowState(), g());
      keepSharedGeometryReachable();
      g().gPositionLoaded = true;
    }
    Flexora1.Init();
    applySharedGeometry();
    firstRun = settings.isNull(QStringLiteral("USER_FIRST"));
  }
  if (firstRun) {
    MsgBox(greetingText(), msgbox::vbExclamation + msgbox::vbOKOnly,
           QStringLiteral("Ombrix Tips, Enter New User Details!"));
    BusyPointer busy;
    g().gPicturePath = placeholderPicture();
    handOver(screen::frmUserDetails);
  }
}

void frmOmbrixShow::Form_Activate() {
  g().gMsgTitle = QStringLiteral("View Tips");
  // What the edit screens handed on is done with: a large description is not kept.
  g().gDescription.clear();
  // Only an import whose rows are still in the database can be taken back.
  mnuUndoImportItem->setEnabled(undoOffer().has_value());
  offerTipOfTheDay();
  const std::vector<ListEntry> groups = tips_.groups();
  if (groups.empty()) {
    AllFrmFalse();
    return;
  }
  BusyPointer busy;
  AllBtnTrue();
  fillSortedList(Combo1, groups);
  int group = 0;
  pendingSubject_ = 0;
  // A screen that hands back a particular tip (Find Tips) names its places in the lists;
  // every other return starts at the first group.
  if (std::exchange(g().gShowRequested, false)) {
    group = std::clamp(g().gShowGroupIndex, 0, int(groups.size()) - 1);
    pendingSubject_ = g().gShowSubjectIndex;
  }
  selectEntry(Combo1, group);
  Combo1_Click();
}

void frmOmbrixShow::Form_Unload() { program().help().HelpQuit(); }

void frmOmbrixShow::showGroupPicture(qint32 groupId) {
  // A group whose picture went missing shows the placeholder instead of failing.
  Image1->loadPictureOr(program().paths().groupPicture(groupId), placeholderPicture());
}

void frmOmbrixShow::Combo1_Click() {
  BusyPointer busy;
  const int position = Combo1->currentIndex();
  if (position < 0)
    return;
  const qint32 id = itemData(Combo1, position);
  g().gShowGroupIndex = position;
  showGroupPicture(id);
  const std::vector<ListEntry> subjects = tips_.subjects(id);
  Combo2->clear();
  txtDescription->clear();
  if (subjects.empty()) {
    busy.release();
    AllFrmFalse();
    return;
  }
  AllBtnTrue();
  fillSortedList(Combo2, subjects);
  const int subject = std::exchange(pendingSubject_, 0);
  selectEntry(Combo2, subject >= 0 && subject < int(subjects.size()) ? subject : 0);
  Combo2_Click();
  cmdNext->setFocus();
}

void frmOmbrixShow::Combo2_Click() {
  BusyPointer busy;
  const int position = Combo2->currentIndex();
  if (position < 0)
    return;
  const qint32 tip = itemData(Combo2, position);
  g().gShowSubjectIndex = position;
  // Shown as it is read: a large description is never held whole beside the box.
  txtDescription->setDescription(
      [this, tip](const TextPieces &take) { tips_.readDescription(tip, take); });
}

void frmOmbrixShow::setNavigation(bool first, bool previous, bool next, bool last) {
  cmdFirst->setEnabled(first);
  cmdPrevious->setEnabled(previous);
  cmdNext->setEnabled(next);
  cmdLast->setEnabled(last);
}

void frmOmbrixShow::AllBtnFalse() { setNavigation(false, false, false, false); }
void frmOmbrixShow::AllBtnTrue() { setNavigation(true, true, true, true); }

void frmOmbrixShow::cmdFirst_Click() {
  if (Combo2->count() == 0) {
    AllBtnFalse();
    return;
  }
  selectEntry(Combo2, 0);
  Combo2_Click();
  setNavigation(false, false, true, true);
}

void frmOmbrixShow::cmdPrevious_Click() {
  const int n = Combo2->count();
  if (n == 0) {
    AllBtnFalse();
    return;
  }
  const int i = Combo2->currentIndex();
  if (i != 0) {
    selectEntry(Combo2, i - 1);
    Combo2_Click();
    AllBtnTrue();
    return;
  }
  setNavigation(false, false, true, true);
  MsgBox(QStringLiteral("This Is The First Record!"), msgbox::vbExclamation + msgbox::vbOKOnly,
         g().gMsgTitle);
}

void frmOmbrixShow::cmdNext_Click() {
  const int n = Combo2->count();
  if (n == 0) {
    AllBtnFalse();
    return;
  }
  const int i = Combo2->currentIndex();
  if (i + 1 != n) {
    selectEntry(Combo2, i + 1);
    Combo2_Click();
    AllBtnTrue();
    return;
  }
  setNavigation(true, true, false, false);
  MsgBox(QStringLiteral("This Is The Last Record!"), msgbox::vbExclamation + msgbox::vbOKOnly,
         g().gMsgTitle);
}

void frmOmbrixShow::cmdLast_Click() {
  const int n = Combo2->count();
  if (n == 0) {
    AllBtnFalse();
    return;
  }
  selectEntry(Combo2, n - 1);
  Combo2_Click();
  setNavigation(true, true, false, false);
}

void frmOmbrixShow::AllFrmFalse() {
  AllBtnFalse();
  Combo1->setEnabled(false);
  Combo2->setEnabled(false);
  MsgDatabaseEmpty(g());
  g().gPicturePath = placeholderPicture();
  handOver(screen::frmAddGroup);
}

// The menu.

void frmOmbrixShow::openFromMenu(const QString &target, const std::function<void()> &sharedValues,
                                 const std::function<void()> &extraSteps, bool busyPointer) {
  std::optional<BusyPointer> busy;
  if (busyPointer)
    busy.emplace();
  if (sharedValues)
    sharedValues();
  ThisFormSize();
  if (extraSteps)
    extraSteps();
  program().screens().handOver(this, target);
}

void frmOmbrixShow::mnuExiteItem_Click() { program().endProgram(); }

void frmOmbrixShow::mnuAddNewGroupItem_Click() {
  openFromMenu(screen::frmAddGroup, [this] { g().gPicturePath = placeholderPicture(); });
}

void frmOmbrixShow::mnuEditGroupItem_Click() {
  openFromMenu(screen::frmEditGroup1, [this] {
    g().gGroupName.clear();
    g().gGroupId = 0;
    g().gGroupPicture.clear();
    g().gNewPicture.clear();
  });
}

void frmOmbrixShow::mnuDeleteGroupItem_Click() {
  openFromMenu(screen::frmDelGroup1, [this] {
    g().gGroupName.clear();
    g().gGroupId = 0;
    g().gGroupPicture.clear();
    g().gNewPicture = placeholderPicture();
  });
}

void frmOmbrixShow::mnuAddNewSubjectItem_Click() {
  openFromMenu(screen::frmAddSubject, [this] {
    g().gSubjectName.clear();
    g().gDescription.clear();
  });
}

void frmOmbrixShow::clearSubjectsForEditing() {
  g().gGroupName.clear();
  g().gSubjectName.clear();
  g().gDescription.clear();
  g().gGroupId = 0;
  g().gGroupPicture.clear();
  g().gNewPicture.clear();
  g().gMsgTitle.clear();
}

void frmOmbrixShow::mnuEditSubjectItem_Click() {
  openFromMenu(screen::frmEditSubject1, [this] { clearSubjectsForEditing(); });
}

void frmOmbrixShow::mnuDeleteSubjectItem_Click() {
  openFromMenu(screen::frmDelSubject1, [this] { clearSubjectsForEditing(); });
}

void frmOmbrixShow::mnuExportItem_Click() {
  openFromMenu(
      screen::frmExport1, [this] { g().gPicturePath = placeholderPicture(); },
      [this] { exchange::prepareExport(program().files(), program().paths()); });
}

void frmOmbrixShow::mnuImportItem_Click() {
  openFromMenu(
      screen::frmImport1, [this] { g().gPicturePath = placeholderPicture(); },
      [this] { CleanJPGMDB(program().files(), program().paths()); });
}

void frmOmbrixShow::mnuUserPersonalItem_Click() {
  openFromMenu(screen::frmUserDetails, [this] { g().gPicturePath = placeholderPicture(); });
}

void frmOmbrixShow::mnuFindTipsItem_Click() { openFromMenu(screen::frmFindTips, {}); }

void frmOmbrixShow::mnuSaveDocumentItem_Click() { openFromMenu(screen::frmSaveDocument, {}); }

std::optional<exchange::UndoOffer> frmOmbrixShow::undoOffer() {
  // Read over the screen's own connection: the main screen is activated at every return.
  return exchange::undoOffer(program().paths(), *tips_.database());
}

void frmOmbrixShow::mnuUndoImportItem_Click() {
  const QString title = QStringLiteral("Undo Last Import");
  const std::optional<exchange::UndoOffer> offer = undoOffer();
  if (!offer) {
    mnuUndoImportItem->setEnabled(false);
    return;
  }
  if (MsgBox(exchange::undoQuestion(*offer), msgbox::vbYesNo + msgbox::vbQuestion, title) !=
      msgbox::vbYes)
    return;
  exchange::UndoResult undone;
  tips_.close(); // the rows the undo removes are read again below
  const QString database = program().paths().tipDatabase();
  bool stopped = false;
  const bool done = runReportingErrors(title, [&] {
    try {
      undone = runJob([&](tips::WorkProgress &progress) {
        return exchange::undoLastImport(program().paths(), search::indexFollowing(database).get(),
                                        progress);
      });
    } catch (const tips::WorkCancelled &) {
      stopped = true; // nothing was removed
    }
  });
  if (!done || stopped) {
    Form_Activate();
    return;
  }
  MsgBox(exchange::undoReport(undone), msgbox::vbInformation + msgbox::vbOKOnly, title);
  Form_Activate();
}

void frmOmbrixShow::mnuAboutItem_Click() { openFromMenu(screen::frmAbout, {}, {}, false); }

void frmOmbrixShow::mnuContentsItem_Click() { program().help().HelpContents(); }

void frmOmbrixShow::mnuTipOfTheDayItem_Click() {
  program().screens().openBeside(this, screen::frmTipOfTheDay);
}

void frmOmbrixShow::offerTipOfTheDay() {
  // Once a run, when the main screen first shows (after the first run's details), and
  // only once it is up: the tip comes after the screen, never before it.
  if (std::exchange(g().gTipOfTheDayOffered, true) ||
      !tips::readTipOfTheDayState(program().paths().tipOfTheDay()).showAtStart)
    return;
  QTimer::singleShot(0, this, [this] {
    if (!isUnloaded() && program().screens().active() == this)
      runReportingErrors(g().gMsgTitle, [this] { mnuTipOfTheDayItem_Click(); });
  });
}

void frmOmbrixShow::mnuScreenUserPositionItem_Click() {
  ThisFormSize();
  {
    BusyPointer busy;
    storeGeometry(Data11, {g().gFrmHeight, g().gFrmLeft, g().gFrmTop, g().gFrmWidth},
                  g().gFrmMaximised, program().paths().windowState());
  }
  MsgBox(userPositionMessage(), msgbox::vbExclamation + msgbox::vbOKOnly,
         QString::fromLatin1(kUserPositionTitle));
}

void frmOmbrixShow::mnuScreenDefaultPositionItem_Click() {
  BusyPointer busy;
  storeGeometry(Data11, store::kDefaultWindowGeometry, false, program().paths().windowState());
  Data11.recordset().moveFirst();
  g().gPositionLoaded = false;
  program().screens().handOver(this, screen::frmScreenDefault);
}
