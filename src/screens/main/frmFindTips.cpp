#include "screens/main/frmFindTips.h"

#include "framework/TipOnMainScreen.h"
#include "search/TipIndex.h"

#include "framework/OBXGlobals.h"
#include "framework/Program.h"
#include "framework/ScreenNames.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <utility>

namespace {

// Rows indexed in one turn of the event loop: about a fifth of a second's work, so the
// window keeps answering while a large index is built.

constexpr int kTipRole = Qt::UserRole;
constexpr int kGroupRole = Qt::UserRole + 1;

QString foundText(const search::SearchResult &result) {
  if (result.capped)
    return QStringLiteral("More Than %1 Tips Found").arg(result.total);
  return result.total == 1 ? QStringLiteral("1 Tip Found")
                           : QStringLiteral("%1 Tips Found").arg(result.total);
}

} // namespace

frmFindTips::frmFindTips(Program &program)
    : SecondaryScreen(program, screen::frmFindTips, "lblFindTips"),
      rows_(program.paths().tipDatabase(), program.clock(),
            search::indexFollowing(program.paths().tipDatabase())),
      index_(program.paths().tipIndex(), program.paths().tipDatabase()) {
  addLabel("lblFind", QStringLiteral("Find Tips Containing"), 120, 1300, 3000, 200);
  txtFind = place(new QLineEdit, "txtFind", 120, 1500, 4600, 330);
  txtFind->setToolTip(
      QStringLiteral("Type words or the beginnings of words; put a phrase in double quotes"));
  lblFound = addLabel("lblFound", QString(), 4900, 1540, 2300, 250);
  lstResults = place(new QListWidget, "lstResults", 120, 1950, 7092, 1980);
  lstResults->setToolTip(QStringLiteral("Each tip found: its subject, its group and the words "
                                        "around the match. Double-click one to show it"));
  cmdShowTip =
      addButton("cmdShowTip", QStringLiteral("Show Tip"),
                QStringLiteral("Show the chosen tip on the main screen"), 120, 4080, 1500, 420);
  placeFrameButtons(5688, 4080, 4068, 4080);

  onSignal(txtFind, &QLineEdit::textChanged, &frmFindTips::txtFind_Change);
  onSignal(txtFind, &QLineEdit::returnPressed, &frmFindTips::txtFind_KeyEnter);
  // Enter on an entry and a double-click both activate it.
  onSignal(lstResults, &QListWidget::itemActivated, &frmFindTips::lstResults_Activate);
  onClick(cmdShowTip, &frmFindTips::cmdShowTip_Click);

  setTabOrder(txtFind, lstResults);
  setTabOrder(lstResults, cmdShowTip);
  setTabOrder(cmdShowTip, cmdShowTips);
  setTabOrder(cmdShowTips, cmdHelp);
}

frmFindTips::~frmFindTips() = default;

void frmFindTips::activateScreen() {
  if (jobRunner().running())
    return; // the index is being built: the screen is activated again by its messages
  cmdShowTip->setEnabled(false);
  txtFind->setFocus();
  if (index_.health() == search::TipIndex::Health::Current)
    showResults();
  else
    startIndexBuild();
}

void frmFindTips::unloadScreen() {
  index_.close(); // an unfinished build is thrown away; the next visit starts it again
  rows_.close();
}

void frmFindTips::startIndexBuild() {
  lblFound->setText(QStringLiteral("Preparing the search..."));
  try {
    runJob([this](tips::WorkProgress &progress) { index_.rebuild(progress); });
  } catch (const tips::WorkCancelled &) {
    // The old index, if any, stays as it was; the next visit prepares the search again.
    lblFound->setText(QStringLiteral("Search unavailable"));
    return;
  } catch (...) {
    lblFound->setText(QStringLiteral("Search unavailable"));
    throw;
  }
  showResults();
}

void frmFindTips::showResults() {
  lstResults->clear();
  cmdShowTip->setEnabled(false);
  search::SearchResult result;
  try {
    result = index_.search(txtFind->text(), kListed);
  } catch (const store::StoreError &) {
    if (std::exchange(rebuiltAfterFailure_, true)) {
      // Built again and still failing: what fails is not the index (the tip database
      // changed under it); asking again would only repeat the failure.
      lblFound->setText(QStringLiteral("Search unavailable"));
      return;
    }
    // The index went bad under the screen (damaged, removed): build it again, then search.
    index_.close();
    startIndexBuild();
    return;
  }
  rebuiltAfterFailure_ = false;
  lblFound->setText(txtFind->text().trimmed().isEmpty() ? QString() : foundText(result));
  for (const search::FoundTip &tip : result.tips) {
    auto *item = new QListWidgetItem(
        QStringLiteral("%1  \u2014  %2  \u2014  %3").arg(tip.subject, tip.groupName, tip.excerpt));
    item->setData(kTipRole, tip.tipId);
    item->setData(kGroupRole, tip.groupId);
    item->setToolTip(tip.subject);
    lstResults->addItem(item);
  }
  if (lstResults->count() > 0) {
    lstResults->setCurrentRow(0);
    cmdShowTip->setEnabled(true);
  }
}

void frmFindTips::txtFind_Change() { showResults(); }

void frmFindTips::txtFind_KeyEnter() { showTip(lstResults->currentRow()); }

void frmFindTips::lstResults_Activate() { showTip(lstResults->currentRow()); }

void frmFindTips::cmdShowTip_Click() { showTip(lstResults->currentRow()); }

// The main screen shows the tip through the places of its group and subject in its
// sorted lists, the way every screen hands a tip back to it.
void frmFindTips::showTip(int row) {
  if (row < 0 || row >= lstResults->count())
    return;
  const QListWidgetItem *item = lstResults->item(row);
  const qint32 tipId = item->data(kTipRole).toInt();
  const qint32 groupId = item->data(kGroupRole).toInt();
  if (!askMainScreenToShow(g(), rows_, groupId, tipId)) {
    // Deleted since it was listed (another program); the list is read again.
    showResults();
    return;
  }
  returnToMainScreen();
}
