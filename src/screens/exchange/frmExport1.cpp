#include "screens/exchange/frmExport1.h"

#include "exchange/ExportBuild.h"
#include "framework/OBXGlobals.h"
#include "framework/Program.h"
#include "framework/ScreenNames.h"
#include "framework/SharedMessages.h"
#include "platform/MsgBox.h"
#include "store/Database.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

using Column = CountColumns::Column;

frmExport1::frmExport1(Program &program)
    : ExchangeScreen(program, screen::frmExport1, CountColumns::Kind::Export) {
  busyDuringLoad_ = true;
  cmdLoadExport = addActionButton("cmdLoadExport", QStringLiteral("Load Export File"),
                                  QStringLiteral("Prepare Export File"));
  onClick(cmdLoadExport, &frmExport1::cmdLoadExport_Click);
  columns_.addColumn(Column::ToExport);
  lblExportName =
      addFileNameFrame("FrameExportFileName", QStringLiteral("Export File Name"), "lblExportName");
  for (Column column : {Column::Total, Column::Imported, Column::Local, Column::Initial})
    columns_.addColumn(column);
  CheckTotal = columns_.check(Column::Total);
  CheckImported = columns_.check(Column::Imported);
  CheckLocal = columns_.check(Column::Local);
  CheckInitial = columns_.check(Column::Initial);
  onClick(CheckTotal, &frmExport1::CheckTotal_Click);

  setTabOrder(CheckInitial, CheckLocal);
  setTabOrder(CheckLocal, CheckImported);
  setTabOrder(CheckImported, CheckTotal);
  setTabOrder(CheckTotal, cmdLoadExport);
  setTabOrder(cmdLoadExport, cmdHelp);
  setTabOrder(cmdHelp, cmdShowTips);
}

void frmExport1::loadScreen() {
  columns_.clear();
  OBXGlobals &globals = g();
  globals.gExportName.clear();
  globals.gExportMdbName.clear();

  {
    auto tipDb = store::Database::open(tipDatabase(), store::OpenMode::ReadWrite);
    globals.gExportName = exchange::readExportName(*tipDb);
  }
  globals.gExportMdbName = exchange::exportMdbName(globals.gExportName);
  lblExportName->setText(globals.gExportMdbName);
}

void frmExport1::countOnceShown() {
  const exchange::ExportBuild build(program().paths(), program().files());
  const auto [origins, content] = runJob([&](tips::WorkProgress &) {
    return std::make_pair(build.localSummary(), build.exportContent());
  });
  columns_.showOrigins(origins);
  columns_.show(Column::ToExport, content);
}

void frmExport1::CheckTotal_Click() {
  const bool all = CheckTotal->isChecked();
  for (QCheckBox *kind : {CheckInitial, CheckImported, CheckLocal}) {
    kind->setChecked(all);
    kind->setEnabled(!all);
  }
}

void frmExport1::cmdLoadExport_Click() {
  const int ticked = int(CheckInitial->isChecked()) + int(CheckLocal->isChecked()) +
                     int(CheckImported->isChecked());
  if (ticked == 0) {
    MsgBox(QStringLiteral("You Must Make a Selection!") + msgbox::kNewLine +
               QStringLiteral("Tick one of the {{To Export}} boxes."),
           msgbox::vbCritical + msgbox::vbOKOnly, g().gMsgTitle);
    return;
  }
  if (ticked == 3) {
    CheckTotal->setChecked(true);
    CheckTotal_Click();
  }
  const QString caption = cmdLoadExport->text();
  cmdLoadExport->setText(QStringLiteral("Loading Export File"));
  cmdLoadExport->setEnabled(false);
  const exchange::ExportChoice choice{CheckTotal->isChecked(), CheckInitial->isChecked(),
                                      CheckLocal->isChecked(), CheckImported->isChecked()};
  columns_.show(Column::ToExport, exchange::Tally{});

  exchange::ExportResult result;
  try {
    result = runJob([&](tips::WorkProgress &progress) {
      return exchange::ExportBuild(program().paths(), program().files()).run(choice, progress);
    });
  } catch (const tips::WorkCancelled &) {
    // Stopped: the build left nothing behind, and the screen is as before the click.
    cmdLoadExport->setText(caption);
    cmdLoadExport->setEnabled(true);
    return;
  }
  if (!result.error.isEmpty()) {
    // The build left nothing behind: the user may try again.
    MsgBox(result.error, msgbox::vbCritical + msgbox::vbOKOnly, g().gMsgTitle);
    cmdLoadExport->setText(caption);
    cmdLoadExport->setEnabled(true);
    return;
  }
  for (size_t i = 0; i < result.oops.size(); ++i)
    MsgOops(g());

  columns_.show(Column::ToExport, result.summary.toExport);
  g().gExportSummary = result.summary;
  handOver(screen::frmExport2);
}
