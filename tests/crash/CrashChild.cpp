// One operation of the program, run in a process of its own so that the crash harness can
// kill it part-way (CrashHarness.h). The operation is what a screen calls, with the rules
// library as the program uses it:
//
//   obx_crash_child <operation> <program folder> <home folder> [<point> <n>]
//
// It writes "ready" to its standard output just before the operation starts and
// "done <file operations> <database writes> <database syncs>" once it has ended well;
// a failure the operation reports ends the process with status 3. With a point, the
// process kills itself (SIGKILL) there: "file-before"/"file-after" the nth Copy, Delete
// or CreateFolder of the file service, "write"/"sync" the nth write or sync that SQLite
// makes (through the test VFS, where the build has it).
#include "CrashOperations.h"
#include "search/TipIndex.h"

#include <QCoreApplication>
#include <QDate>
#include <csignal>
#include <cstdio>
#include <unistd.h>

#include "exchange/ExchangePackage.h"
#include "exchange/ExportBuild.h"
#include "exchange/ImportPackage.h"
#include "platform/files/FileService.h"
#include "tips/Clock.h"
#include "tips/GroupMaintenance.h"
#include "tips/ProgramPaths.h"
#include "tips/TipBook.h"

#include "jobs/JobRunner.h"
#include "support/FaultyVfs.h"

namespace {

[[noreturn]] void die() {
  ::kill(::getpid(), SIGKILL);
  for (;;)
    ::pause();
}

int failed(const QString &why) {
  std::fprintf(stderr, "%s\n", why.toLocal8Bit().constData());
  return 3;
}

// Runs the operation; empty when it ended well, else what went wrong.
QString run(crash::Operation operation, const tips::ProgramPaths &paths, const FileService &files,
            const QString &home, tips::WorkProgress &progress) {
  tips::Clock clock;
  clock.setToday(crash::kToday);
  switch (operation) {
  case crash::Operation::Merge: {
    exchange::ImportPackage package(paths, files, clock,
                                    search::indexFollowing(paths.tipDatabase()));
    if (const QString problem = package.open(); !problem.isEmpty())
      return problem;
    const exchange::MergeResult merged = package.merge(progress);
    return merged.outcome == exchange::MergeOutcome::Merged
               ? QString()
               : QStringLiteral("merge: ") + merged.error;
  }
  case crash::Operation::Export: {
    const exchange::ExportResult built =
        exchange::ExportBuild(paths, files).run({true, true, true, true}, progress);
    if (!built.ok())
      return QStringLiteral("export build: ") + built.error;
    const exchange::PackResult packed =
        exchange::packExport(paths, files, QString::fromLatin1(crash::kExportName), progress);
    return packed.ok() ? QString() : QStringLiteral("pack: ") + packed.error;
  }
  case crash::Operation::AddGroup: {
    tips::TipBook book(paths, files, clock, search::indexFollowing(paths.tipDatabase()));
    const tips::TipBook::Added added = tips::GroupMaintenance(book).addGroup(
        {QString::fromLatin1(crash::kNewGroup), QStringLiteral("A first subject"),
         QStringLiteral("Its description.")},
        home + QLatin1Char('/') + QLatin1String(crash::kNewPicture));
    return added.pictureFailure ? added.pictureFailure->message() : QString();
  }
  case crash::Operation::DeleteGroup: {
    tips::TipBook book(paths, files, clock, search::indexFollowing(paths.tipDatabase()));
    return tips::GroupMaintenance(book).deleteGroupNamed(QString::fromLatin1(crash::kDoomedGroup))
               ? QString()
               : QStringLiteral("the group to delete is missing");
  }
  }
  return QStringLiteral("unknown operation");
}

} // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  const auto operation = args.size() >= 4 ? crash::operationNamed(args[1]) : std::nullopt;
  if (!operation || (args.size() != 4 && args.size() != 6))
    return failed(QStringLiteral("usage: obx_crash_child <operation> <program folder> <home "
                                 "folder> [file-before|file-after|write|sync <n>]"));
  const QString point = args.size() == 6 ? args[4] : QString();
  const int nth = args.size() == 6 ? args[5].toInt() : 0;

  FileService files(args[3]);
  const tips::ProgramPaths paths(args[2], files);
  int fileOperations = 0;
  files.setObserver([&](FileOperation, FileStep step, const QString &) {
    if (step == FileStep::Before && ++fileOperations == nth && point == "file-before")
      die();
    if (step == FileStep::After && fileOperations == nth && point == "file-after")
      die();
  });
  FaultyVfs::install();
  FaultyVfs::reset();
  if (point == "write")
    FaultyVfs::onNth(FaultyVfs::Kind::Write, nth, die);
  else if (point == "sync")
    FaultyVfs::onNth(FaultyVfs::Kind::Sync, nth, die);

  std::printf("ready\n");
  std::fflush(stdout);
  // Run as the screens run it: on a job's worker, this thread waiting in its event loop.
  jobs::JobRunner runner;
  const QString problem = runner.runFor([&](tips::WorkProgress &progress) {
    return run(*operation, paths, files, args[3], progress);
  });
  if (!problem.isEmpty())
    return failed(problem);
  std::printf("done %d %d %d\n", fileOperations, FaultyVfs::calls(FaultyVfs::Kind::Write),
              FaultyVfs::calls(FaultyVfs::Kind::Sync));
  std::fflush(stdout);
  return 0;
}
