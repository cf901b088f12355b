#include "screens/exchange/frmImport2.h"
#include "search/TipIndex.h"

#include "exchange/ImportPackage.h"
#include "framework/OBXGlobals.h"
#include "framework/Program.h"
#include "framework/ScreenNames.h"
#include "framework/SharedMessages.h"
#include "platform/MousePointer.h"
#include "platform/MsgBox.h"
#include "widgets/FitText.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <utility>

using Column = CountColumns::Column;

frmImport2::frmImport2(Program &program)
    : ExchangeScreen(program, screen::frmImport2, CountColumns::Kind::Import),
      package_(std::make_unique<exchange::ImportPackage>(
          program.paths(), program.files(), program.clock(),
          search::indexFollowing(program.paths().tipDatabase()))) {
  busyDuringLoad_ = true;
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
  setTabOrder(cmdStartImport, cmdHelp);
  setTabOrder(cmdHelp, cmdShowTips);
}

frmImport2::~frmImport2() = default;

void frmImport2::loadScreen() {
  columns_.clear();
  lblImportName->setText(g().gImportFileName);
  const exchange::OriginSummary local = package_->localSummary();
  columns_.showOrigins(local);
  localTotal_ = local.total();
  columns_.show(Column::Total2, localTotal_);
  if (g().gImportUnpackFailed) {
    // The unpacking has said what went wrong; there is nothing to count.
    cmdStartImport->setEnabled(false);
    return;
  }
  problem_ = package_->open();
  if (problem_.isEmpty())
    columns_.show(Column::ToImport, package_->content());
  else
    cmdStartImport->setEnabled(false);
}

void frmImport2::activateScreen() {
  ExchangeScreen::activateScreen();
  if (!problem_.isEmpty()) {
    const QString problem = std::exchange(problem_, QString());
    MsgBox(problem, msgbox::vbCritical + msgbox::vbOKOnly, g().gMsgTitle);
  }
}

void frmImport2::unloadScreen() {
  g().gImportUnpackFailed = false;
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
  repaintNow();

  exchange::MergeResult result;
  {
    BusyPointer busy;
    result = package_->merge();
  }
  switch (result.outcome) {
  case exchange::MergeOutcome::PackageEmpty:
    MsgDatabaseEmpty(g());
    return;
  case exchange::MergeOutcome::Failed:
    // Nothing was merged: the screen goes back to what it showed, and the user may try
    // again.
    MsgBox(result.error, msgbox::vbCritical + msgbox::vbOKOnly, g().gMsgTitle);
    showMergeColumns(false);
    cmdStartImport->setEnabled(true);
    return;
  case exchange::MergeOutcome::Merged:
    break;
  }
  columns_.show(Column::New, result.added);
  columns_.show(Column::Total2, exchange::totalAfterMerge(localTotal_, result));
  QFont bold = cmdShowTips->font();
  bold.setBold(true);
  cmdShowTips->setFont(bold);
  cmdShowTips->setText(QStringLiteral("Return To Main Screen"));
  fitFontToWidth(cmdShowTips, cmdShowTips->text(), 6);
  cmdStartImport->setText(QStringLiteral("Importing Done!"));
}
