#include "screens/exchange/frmImport2.h"
#include "search/TipIndex.h"

#include "exchange/ImportDetails.h"
#include "exchange/ImportPackage.h"
#include "framework/OBXGlobals.h"
#include "framework/Program.h"
#include "framework/ScreenNames.h"
#include "framework/Screens.h"
#include "framework/SharedMessages.h"
#include "platform/MsgBox.h"
#include "platform/files/FileService.h"
#include "tips/UserMessage.h"
#include "widgets/FitText.h"

#include <QDateTime>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <utility>

using Column = CountColumns::Column;

namespace {

// Below the column of buttons on the right (twips).
constexpr int kDetailsLeft = 5040;
constexpr int kDetailsTop = 1719;
constexpr int kDetailsWidth = 2064;
constexpr int kDetailsHeight = 375;

} // namespace

frmImport2::frmImport2(Program &program)
    : ExchangeScreen(program, screen::frmImport2, CountColumns::Kind::Import),
      package_(std::make_unique<exchange::ImportPackage>(
          program.paths(), program.files(), program.clock(),
          search::indexFollowing(program.paths().tipDatabase()))) {
  lblImportName = addFileNameFrame("FrameImportFileName",
                                   QStringLiteral("Import Path and File Name"), "lblImportName");
  for (Column column :
       {Column::Initial, Column::Local, Column::Imported, Column::Total, Column::ToImport})
    columns_.addColumn(column);
  columns_.addColumn(Column::New, false);
  columns_.addColumn(Column::Total2, false);
  cmdStartImport = addActionButton("cmdStartImport", QStringLiteral("Start Importing"),
                                   QStringLiteral("Begin Importing a File"));
  onClick(cmdStartImport, &frmImport2::cmdStartImport_Click);
  cmdImportDetails = addButton("cmdImportDetails", QStringLiteral("Details..."),
                               QStringLiteral("Show What Each Group and Tip of the Package Does"),
                               kDetailsLeft, kDetailsTop, kDetailsWidth, kDetailsHeight);
  cmdImportDetails->setEnabled(false);
  onClick(cmdImportDetails, &frmImport2::cmdImportDetails_Click);
  setTabOrder(cmdStartImport, cmdImportDetails);
  setTabOrder(cmdImportDetails, cmdHelp);
  setTabOrder(cmdHelp, cmdShowTips);
}

frmImport2::~frmImport2() = default;

void frmImport2::loadScreen() {
  columns_.clear();
  lblImportName->setText(g().gImportFileName);
  cmdStartImport->setEnabled(false);
}

void frmImport2::countOnceShown() {
  const bool unpacked = !g().gImportUnpackFailed;
  exchange::OriginSummary local;
  const QString problem = runJob([&](tips::WorkProgress &) {
    local = package_->localSummary();
    // A package that could not be unpacked has said what went wrong: nothing to count.
    return unpacked ? package_->open() : QString();
  });
  columns_.showOrigins(local);
  localTotal_ = local.total();
  columns_.show(Column::Total2, localTotal_);
  if (!unpacked)
    return;
  if (!problem.isEmpty()) {
    MsgBox(problem, msgbox::vbCritical + msgbox::vbOKOnly, g().gMsgTitle);
    return;
  }
  const exchange::Tally &content = package_->content();
  columns_.show(Column::ToImport, content);
  cmdStartImport->setEnabled(true);
  cmdImportDetails->setEnabled(content.groups > 0 && content.tips > 0);
}

void frmImport2::unloadScreen() {
  g().gImportUnpackFailed = false;
  g().gImportDetails.reset();
  g().gImportReport.clear();
  package_->finish();
}

void frmImport2::showMergeColumns(bool merging) {
  columns_.frame(Column::Total)->setVisible(!merging);
  columns_.frame(Column::ToImport)->setVisible(!merging);
  columns_.frame(Column::Total2)->setVisible(merging);
  columns_.frame(Column::New)->setVisible(merging);
}

void frmImport2::cmdStartImport_Click() {
  showMergeColumns(true);
  cmdStartImport->setEnabled(false);
  columns_.show(Column::New, exchange::Tally{});

  const QString packagePath = program().files().nativePath(g().gImportFileName);
  exchange::ImportRun run = runJob([&](tips::WorkProgress &progress) {
    return exchange::importWithReport(*package_, program().paths(), packagePath,
                                      QDateTime::currentDateTime(), progress);
  });
  exchange::MergeResult &result = run.merge;
  const QString &reportProblem = run.reportProblem;
  report_ = run.report;
  switch (result.outcome) {
  case exchange::MergeOutcome::PackageEmpty:
    cmdImportDetails->setEnabled(false);
    MsgDatabaseEmpty(g());
    return;
  case exchange::MergeOutcome::Failed:
    // Nothing was merged: the screen goes back to what it showed, and the user may try
    // again.
    MsgBox(result.error, msgbox::vbCritical + msgbox::vbOKOnly, g().gMsgTitle);
    showMergeColumns(false);
    cmdStartImport->setEnabled(true);
    return;
  case exchange::MergeOutcome::Cancelled:
    // Stopped by the user before anything was written for good: as before the start.
    showMergeColumns(false);
    cmdStartImport->setEnabled(true);
    return;
  case exchange::MergeOutcome::Merged:
    break;
  }
  details_ = std::make_shared<const exchange::MergeResult>(std::move(result));
  merged_ = true;
  const exchange::MergeResult &merge = *details_;
  columns_.show(Column::New, merge.added);
  columns_.show(Column::Total2, exchange::totalAfterMerge(localTotal_, merge));
  QFont bold = cmdShowTips->font();
  bold.setBold(true);
  cmdShowTips->setFont(bold);
  cmdShowTips->setText(QStringLiteral("Return To Main Screen"));
  fitFontToWidth(cmdShowTips, cmdShowTips->text(), 6);
  cmdStartImport->setText(QStringLiteral("Importing Done!"));
  if (!reportProblem.isEmpty())
    MsgBox(QStringLiteral("The tips were imported, but the report of the import could not be "
                          "written.\r\n\r\n") +
               reportProblem,
           msgbox::vbExclamation + msgbox::vbOKOnly, g().gMsgTitle);
  if (!merge.recordProblem.isEmpty())
    MsgBox(QStringLiteral("The tips were imported, but Ombrix Tips cannot offer to take the "
                          "import back.\r\n\r\n") +
               merge.recordProblem,
           msgbox::vbExclamation + msgbox::vbOKOnly, g().gMsgTitle);
}

void frmImport2::cmdImportDetails_Click() {
  if (!details_) {
    // Made once: the package and the tips stay as they are until Start Importing.
    exchange::MergeResult plan =
        runJob([this](tips::WorkProgress &progress) { return package_->plan(progress); });
    if (plan.outcome == exchange::MergeOutcome::Cancelled)
      return;
    if (plan.outcome == exchange::MergeOutcome::Failed) {
      MsgBox(plan.error, msgbox::vbCritical + msgbox::vbOKOnly, g().gMsgTitle);
      return;
    }
    details_ = std::make_shared<const exchange::MergeResult>(std::move(plan));
  }
  g().gImportDetails = details_;
  g().gImportDone = merged_;
  g().gImportReport = report_;
  // This screen waits, hidden and as it is, for the details screen to hand back to it.
  ThisFormSize();
  if (program().screens().open(screen::frmImportDetails))
    hide();
}
