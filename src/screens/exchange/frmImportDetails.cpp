#include "screens/exchange/frmImportDetails.h"

#include "exchange/ImportDetails.h"
#include "framework/ContextIDs.h"
#include "framework/OBXGlobals.h"
#include "framework/Program.h"
#include "framework/ScreenNames.h"
#include "framework/Screens.h"
#include "platform/MsgBox.h"

#include <QAbstractListModel>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QUrl>
#include <memory>
#include <utility>

namespace {

// The lines of an import's details. A line's words are made only when the view asks for
// them: a package of a million tips opens at once and scrolls as smoothly as a small one.
class DetailsModel : public QAbstractListModel {
public:
  DetailsModel(std::shared_ptr<const exchange::MergeResult> result, bool done, QObject *parent)
      : QAbstractListModel(parent), result_(std::move(result)),
        lines_(exchange::detailLines(*result_)), done_(done) {}

  int rowCount(const QModelIndex &parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
  }
  QVariant data(const QModelIndex &index, int role) const override {
    if (!index.isValid() || index.row() >= rowCount({}) ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole))
      return {};
    // The tool-tip shows a line too long for the list whole.
    return exchange::detailText(*result_, lines_[static_cast<size_t>(index.row())], done_);
  }

private:
  std::shared_ptr<const exchange::MergeResult> result_;
  std::vector<exchange::DetailLine> lines_;
  bool done_;
};

} // namespace

frmImportDetails::frmImportDetails(Program &program)
    : SecondaryScreen(program, screen::frmImportDetails, "lblDetails") {
  lstImportDetails = place(new QListView, "lstImportDetails", 120, 1300, 7092, 2300);
  // One height for every line: the view never measures the lines it does not show.
  lstImportDetails->setUniformItemSizes(true);
  lstImportDetails->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lstImportDetails->setToolTip(
      QStringLiteral("What the import does with each group and tip of the package"));
  lblImportDetails = addLabel("lblImportDetails", QString(), 120, 3680, 7092, 300);
  cmdOpenReport = addButton("cmdOpenReport", QStringLiteral("Open Report"),
                            QStringLiteral("Open the report of this import"), 120, 4080, 1500, 420);
  onClick(cmdOpenReport, &frmImportDetails::cmdOpenReport_Click);
  setTabOrder(lstImportDetails, cmdOpenReport);
  setTabOrder(cmdOpenReport, cmdShowTips);
  setTabOrder(cmdShowTips, cmdHelp);
}

frmImportDetails::~frmImportDetails() = default;

void frmImportDetails::loadScreen() {
  std::shared_ptr<const exchange::MergeResult> result = g().gImportDetails;
  if (!result)
    result = std::make_shared<const exchange::MergeResult>();
  const bool done = g().gImportDone;
  report_ = g().gImportReport;
  lblImportDetails->setText(exchange::detailSummary(*result, done));
  lstImportDetails->setModel(new DetailsModel(std::move(result), done, lstImportDetails));
  cmdOpenReport->setEnabled(!report_.isEmpty());
}

void frmImportDetails::activateScreen() {
  QAbstractItemModel *lines = lstImportDetails->model();
  if (!lstImportDetails->currentIndex().isValid() && lines->rowCount() > 0)
    lstImportDetails->setCurrentIndex(lines->index(0, 0));
  lstImportDetails->setFocus();
}

void frmImportDetails::exitScreen() { program().screens().unload(this); }

void frmImportDetails::unloadScreen() {
  Screens &screens = program().screens();
  Screen *import = screens.find(screen::frmImport2);
  if (!import || import->isVisible())
    return;
  if (Screen *next = screens.active(); next && next != import) {
    // Left for another screen (View Tips Screen): the import is over, its screen goes too.
    screens.unload(import);
    return;
  }
  // Exit This Screen, or the window closed from its frame: back to the import as it was.
  ThisFormSize();
  import->applySharedGeometry();
  program().help().HelpInit(import);
  screens.show(import);
}

void frmImportDetails::cmdOpenReport_Click() {
  const QFileInfo report(report_);
  const QString where = QDir::toNativeSeparators(report.absolutePath());
  QString problem;
  if (!report.exists())
    problem = QStringLiteral("The report \"%1\" is no longer in the folder \"%2\".");
  else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(report.absoluteFilePath())))
    problem = QStringLiteral("The report \"%1\" could not be opened: no program to open it "
                             "was found. It is kept in the folder \"%2\".");
  if (!problem.isEmpty())
    MsgBox(problem.arg(report.fileName(), where), msgbox::vbExclamation + msgbox::vbOKOnly,
           g().gMsgTitle);
}
