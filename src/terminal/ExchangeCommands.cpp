#include "terminal/ExchangeCommands.h"

#include "exchange/ExchangeCounts.h"
#include "exchange/ExchangePackage.h"
#include "exchange/ExportBuild.h"
#include "exchange/ImportDetails.h"
#include "exchange/ImportPackage.h"
#include "exchange/UnzipLink.h"
#include "exchange/WorkingFolder.h"
#include "search/TipIndex.h"
#include "store/Database.h"
#include "terminal/Output.h"
#include "terminal/Site.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace terminal {

namespace {

const QString kExport = QStringLiteral("export");
const QString kImport = QStringLiteral("import");

// The unpacking's side in the terminal: every member replaces what the working folder
// holds (the import screens answer so too), and a failure is said on standard error.
class TerminalUnzip : public exchange::UnzipUser {
public:
  int askReplace(const QString &, const QString &) override { return exchange::kReplaceYes; }
  void showFailure(const QString &text) override { printError(kImport, text); }
};

// The package named on the command line, as an absolute path.
QString absolutePackage(const QString &word) {
  return QDir::cleanPath(QFileInfo(word).absoluteFilePath());
}

// Each line of the details list, then the sums ("6 tips added, 2 skipped"); written line
// by line, since a million tips make a million lines.
void printDetails(const exchange::MergeResult &result, bool done) {
  for (const exchange::DetailLine &line : exchange::detailLines(result))
    printOut((terminalText(exchange::detailText(result, line, done)) + QLatin1Char('\n')).toUtf8());
  printOut((exchange::detailSummary(result, done) + QLatin1Char('\n')).toUtf8());
}

// Unpacks the package into the paths' working folder and opens it; false when it cannot be
// imported (said on standard error).
bool openPackage(const Site &site, const tips::ProgramPaths &paths, const QString &package,
                 exchange::ImportPackage &import) {
  TerminalUnzip user;
  if (exchange::unpackPackage(paths, site.files(), package, &user) != exchange::UnzipLink::kOk)
    return false; // the unpacking said why
  const QString problem = import.open();
  if (!problem.isEmpty()) {
    printError(kImport, problem);
    return false;
  }
  return true;
}

// Whether the merge (or its plan) can go on; says why not.
bool merged(const exchange::MergeResult &result) {
  switch (result.outcome) {
  case exchange::MergeOutcome::Merged:
    return true;
  case exchange::MergeOutcome::PackageEmpty:
    printError(kImport,
               QStringLiteral("the package holds no groups or no tips: nothing to import"));
    return false;
  case exchange::MergeOutcome::Failed:
    printError(kImport, result.error);
    return false;
  case exchange::MergeOutcome::Cancelled:
    printError(kImport, QStringLiteral("stopped: nothing was imported"));
    return false;
  }
  return false;
}

int previewImport(Site &site, const QString &package) {
  // A working folder of its own: the data folder's stays as it is, whoever uses it.
  QTemporaryDir scratch;
  if (!scratch.isValid()) {
    printError(kImport,
               QStringLiteral("no temporary folder can be made: %1").arg(scratch.errorString()));
    return kFailed;
  }
  const tips::ProgramPaths paths = site.paths().withWorkingFolder(scratch.path());
  exchange::ImportPackage import(paths, site.files(), site.clock(), nullptr);
  if (!openPackage(site, paths, package, import))
    return kFailed;
  const exchange::MergeResult plan = import.plan();
  import.close();
  if (!merged(plan))
    return kFailed;
  printDetails(plan, false);
  return kDone;
}

} // namespace

int runExport(const CommandArguments &arguments, Site &site) {
  exchange::ExportChoice choice{
      arguments.has(QStringLiteral("--total")), arguments.has(QStringLiteral("--initial")),
      arguments.has(QStringLiteral("--local")), arguments.has(QStringLiteral("--imported"))};
  // Total is every kind, as the export screen ticks them all for it.
  if (choice.total)
    choice.initial = choice.local = choice.imported = true;
  if (exchange::exportProcedures(choice).empty()) {
    printError(kExport, QStringLiteral("say what to export: --initial, --local, --imported "
                                       "or --total"));
    return kUsage;
  }
  QString target;
  if (const auto to = arguments.value(QStringLiteral("--to"))) {
    target = absolutePackage(*to);
    if (!QFileInfo(QFileInfo(target).absolutePath()).isDir()) {
      printError(kExport, QStringLiteral("the folder of \"%1\" does not exist").arg(target));
      return kFailed;
    }
    if (QFileInfo(target).isDir()) {
      printError(kExport, QStringLiteral("\"%1\" is a folder; give a file name").arg(target));
      return kFailed;
    }
  }
  const QString refusal = site.holdDataFolder();
  if (!refusal.isEmpty()) {
    printError(kExport, refusal);
    return kFailed;
  }

  exchange::prepareExport(site.files(), site.paths());
  QString exportName;
  {
    auto tipDb = store::Database::open(site.paths().tipDatabase(), store::OpenMode::ReadWrite);
    exportName = exchange::readExportName(*tipDb);
  }
  const exchange::ExportResult built =
      exchange::ExportBuild(site.paths(), site.files()).run(choice);
  if (!built.error.isEmpty()) {
    printError(kExport, built.error);
    return kFailed;
  }
  for (const exchange::ExportOops &oops : built.oops)
    printError(kExport, QStringLiteral("the local tip %1 names the group %2, which does not "
                                       "exist: that kind's further tips were not exported")
                            .arg(oops.tipId)
                            .arg(oops.groupId));
  const exchange::PackResult packed =
      target.isEmpty() ? exchange::packExport(site.paths(), site.files(), exportName)
                       : exchange::packExportTo(site.paths(), site.files(), target);
  if (!packed.ok()) {
    printError(kExport, packed.error);
    return kFailed;
  }
  printOut(QStringLiteral("Exported %1 groups and %2 tips to %3\n")
               .arg(built.summary.toExport.groups)
               .arg(built.summary.toExport.tips)
               .arg(packed.packagePath)
               .toUtf8());
  return kDone;
}

int runImport(const CommandArguments &arguments, Site &site) {
  if (arguments.words.size() != 1) {
    printError(kImport, QStringLiteral("give one package file to import"));
    return kUsage;
  }
  const QString package = absolutePackage(arguments.words.first());
  if (!QFileInfo(package).isFile()) {
    printError(kImport, QStringLiteral("there is no file \"%1\"").arg(package));
    return kFailed;
  }
  if (arguments.has(QStringLiteral("--dry-run")))
    return previewImport(site, package);

  const QString refusal = site.holdDataFolder();
  if (!refusal.isEmpty()) {
    printError(kImport, refusal);
    return kFailed;
  }
  // As the main menu does before the import screens.
  exchange::cleanWorkingFolders(site.files(), site.paths());
  exchange::ImportPackage import(site.paths(), site.files(), site.clock(),
                                 search::indexFollowing(site.paths().tipDatabase()));
  if (!openPackage(site, site.paths(), package, import)) {
    import.finish();
    return kFailed;
  }
  const exchange::ImportRun run =
      exchange::importWithReport(import, site.paths(), package, QDateTime::currentDateTime());
  import.finish();
  if (!merged(run.merge))
    return kFailed;
  printDetails(run.merge, true);
  if (!run.report.isEmpty())
    printOut(QStringLiteral("Report: %1\n").arg(run.report).toUtf8());
  if (!run.reportProblem.isEmpty())
    printError(kImport, QStringLiteral("the tips were imported, but the report of the import "
                                       "could not be written: ") +
                            run.reportProblem);
  if (!run.merge.recordProblem.isEmpty())
    printError(kImport, QStringLiteral("the tips were imported, but Undo Last Import cannot "
                                       "take them back: ") +
                            run.merge.recordProblem);
  return kDone;
}

} // namespace terminal
