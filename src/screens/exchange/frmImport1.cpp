#include "screens/exchange/frmImport1.h"

#include "exchange/ExchangePackage.h"
#include "exchange/ImportPackage.h"
#include "framework/ErrorReport.h"
#include "framework/OBXGlobals.h"
#include "framework/Program.h"
#include "framework/ScreenNames.h"
#include "platform/MousePointer.h"
#include "screens/exchange/UnzipMessages.h"
#include "tips/ProgramPaths.h"
#include "widgets/FilePicker.h"

#include <QLabel>
#include <QPushButton>

using Column = CountColumns::Column;

frmImport1::frmImport1(Program &program)
    : ExchangeScreen(program, screen::frmImport1, CountColumns::Kind::Import) {
  busyDuringLoad_ = true;
  lblImportName = addFileNameFrame("FrameImportFileName",
                                   QStringLiteral("Import Path and File Name"), "lblImportName");
  for (Column column : {Column::Initial, Column::Local, Column::Imported, Column::Total})
    columns_.addColumn(column);
  cmdReadImport = addActionButton("cmdReadImport", QStringLiteral("Read Import File"),
                                  QStringLiteral("Access and Read Import File"));
  onClick(cmdReadImport, &frmImport1::cmdReadImport_Click);

  FilePicker::Setup setup;
  setup.pattern = QStringLiteral("obx*.zip");
  setup.fileTop = 2500;
  // Packages are written to the exchange folder: the lists start there when it exists.
  const QString exchange = QLatin1String(tips::relative::kExchangeFolder);
  if (program.files().folderExists(exchange))
    setup.startFolder = exchange;
  setup.help = cmdHelp;
  setup.exit = cmdShowTips;
  setup.exitItem = mnuExiteItem;
  setup.helpToolTip = QStringLiteral("Display Help Screen");
  setup.cancelToolTip = QStringLiteral("Cancel Directory Information");
  setup.showHelp = [this] { cmdHelp_Click(); };
  setup.fileClicked = [this] { File1_Click(); };
  setup.fileDoubleClicked = [this] { File1_DblClick(); };
  setup.run = [this](const std::function<void()> &work) {
    runReportingErrors(g().gMsgTitle, work);
  };
  picker_ = new FilePicker(clientArea(), program.files(), std::move(setup));
}

void frmImport1::loadScreen() { columns_.clear(); }

void frmImport1::countOnceShown() {
  const exchange::ImportPackage package(program().paths(), program().files(), program().clock(),
                                        nullptr);
  columns_.showOrigins(runJob([&](tips::WorkProgress &) { return package.localSummary(); }));
}

void frmImport1::cmdReadImport_Click() { picker_->open(); }

void frmImport1::cmdDirCancel_Click() { picker_->cmdDirCancel_Click(); }

bool frmImport1::recordPackage() {
  const QString path = picker_->files()->filePath();
  if (path.isEmpty())
    return false;
  g().gImportFileName = shownPath(program().files(), path);
  lblImportName->setText(g().gImportFileName);
  return true;
}

void frmImport1::File1_Click() { recordPackage(); }

void frmImport1::File1_DblClick() {
  BusyPointer busy;
  if (!recordPackage())
    return;
  picker_->close(FilePicker::Closing::Cancel);
  // The job panel shows the unpacking, with its Cancel.
  busy.release();
  UnzipMessages messages(g().gMsgTitle);
  // A package that could not be unpacked has said why; the second screen then shows the
  // package empty, without a second message about the working folder.
  try {
    g().gImportUnpackFailed =
        runJob([&](tips::WorkProgress &progress) {
          return exchange::unpackPackage(program().paths(), program().files(), g().gImportFileName,
                                         &messages, progress);
        }) != 0;
  } catch (const tips::WorkCancelled &) {
    return; // stopped: nothing was unpacked, and the user may choose again
  }
  handOver(screen::frmImport2);
}
