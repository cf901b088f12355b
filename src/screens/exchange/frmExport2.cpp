#include "screens/exchange/frmExport2.h"

#include "exchange/ExchangePackage.h"
#include "framework/OBXGlobals.h"
#include "framework/Program.h"
#include "framework/ScreenNames.h"
#include "platform/MsgBox.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

using Column = CountColumns::Column;

frmExport2::frmExport2(Program &program)
    : ExchangeScreen(program, screen::frmExport2, CountColumns::Kind::Export) {
  busyDuringLoad_ = true;
  cmdCompressFile = addActionButton("cmdCompressFile", QStringLiteral("Compress File"),
                                    QStringLiteral("Begin Compression of Export File"));
  onClick(cmdCompressFile, &frmExport2::cmdCompressFile_Click);
  columns_.addColumn(Column::ToExport);
  lblExportName =
      addFileNameFrame("FrameExportFileName", QStringLiteral("Export File Name"), "lblExportName");
  // The kinds were chosen on the first screen; here the boxes only stand in their place.
  for (Column column : {Column::Total, Column::Imported, Column::Local, Column::Initial}) {
    columns_.addColumn(column);
    columns_.check(column)->setEnabled(false);
  }
  setTabOrder(cmdCompressFile, cmdHelp);
  setTabOrder(cmdHelp, cmdShowTips);
}

void frmExport2::loadScreen() {
  const exchange::ExportSummary &summary = g().gExportSummary;
  columns_.showOrigins(summary.origins);
  columns_.show(Column::ToExport, summary.toExport);
  lblExportName->setText(exchange::packageFileName(g().gExportName));
}

void frmExport2::cmdCompressFile_Click() {
  const QString caption = cmdCompressFile->text();
  cmdCompressFile->setEnabled(false);
  cmdCompressFile->setText(QStringLiteral("Compressing File"));

  exchange::PackResult result;
  try {
    result = runJob([&](tips::WorkProgress &progress) {
      return exchange::packExport(program().paths(), program().files(), g().gExportName, progress);
    });
  } catch (const tips::WorkCancelled &) {
    // Stopped: no package was written, and the files to pack are where they were.
    cmdCompressFile->setText(caption);
    cmdCompressFile->setEnabled(true);
    return;
  }
  if (!result.ok()) {
    // Nothing was removed from the working folder: the user may try again.
    MsgBox(result.error, msgbox::vbCritical + msgbox::vbOKOnly, g().gMsgTitle);
    cmdCompressFile->setText(caption);
    cmdCompressFile->setEnabled(true);
    return;
  }
  cmdCompressFile->setText(QStringLiteral("File Compressed!"));
  fileNameFrame_->setTitle(QStringLiteral("Exported Path and File Name"));
  lblExportName->setText(result.packageText);
}
