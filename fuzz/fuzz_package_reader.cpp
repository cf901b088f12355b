// Fuzzes the reading of an import package's database: the bytes of each input are the
// unpacked package database ("\OBXTemp\ombrixtipsie.mdb" of a program folder), read as the
// import screen reads it: opened and checked (store's ReadOnlyUntrusted), counted, and
// merged into the user's database. A refusal with a message is the expected answer to a
// file that is no package; crashes, sanitizer reports and hangs are faults, and so is
// each of these, which stops the run:
// - open() or merge() throwing (both promise to answer with a message instead);
// - the package file changed by reading it;
// - a merge that adds more groups or tips than the package holds.

#include <QDir>
#include <QFile>
#include <QString>
#include <exception>

#include "FuzzSupport.h"
#include "exchange/ExchangeCounts.h"
#include "exchange/ImportPackage.h"
#include "exchange/RowWriter.h"
#include "exchange/TableReaders.h"
#include "platform/files/FileService.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/StoreError.h"
#include "tips/Clock.h"
#include "tips/ProgramPaths.h"

namespace {

[[noreturn]] void finding(const char *what) {
  std::fprintf(stderr, "fuzz_package_reader: %s\n", what);
  std::abort();
}

struct ProgramFolder {
  QString folder;
  QString pristineDatabase; // the user's database before any merge
  FileService files{QDir::homePath()};

  ProgramFolder() {
    folder = fuzz::scratchRoot() + QStringLiteral("/program");
    fuzz::freshFolder(folder);
    for (const char *sub : {"OBXTemp", "images"})
      QDir().mkpath(folder + QLatin1Char('/') + QLatin1String(sub));
    pristineDatabase = fuzz::scratchRoot() + QStringLiteral("/pristine.mdb");
    store::createDatabase(pristineDatabase, store::DatabaseKind::TipDatabase);
    {
      auto db = store::Database::open(pristineDatabase, store::OpenMode::ReadWrite);
      exchange::RowWriter writer(db);
      const qint32 group = writer.insertGroup(QStringLiteral("Shell"), store::kFalse, store::kFalse,
                                              store::kTrue, QDate(2026, 1, 2));
      writer.insertTip(group, QStringLiteral("Globbing"), QStringLiteral("Use * and ?"),
                       store::kFalse, store::kFalse, store::kTrue, QDate(2026, 1, 2));
    }
    // A picture of the package's group 1 and the placeholder for groups without one.
    const uint8_t jpeg[] = {0xFF, 0xD8, 0xFF, 0xD9};
    fuzz::writeFile(folder + QStringLiteral("/OBXTemp/1.jpg"), jpeg, sizeof jpeg);
    fuzz::writeFile(folder + QStringLiteral("/images/0.jpg"), jpeg, sizeof jpeg);
  }

  // The user's database and pictures as they were before the last merge.
  void reset() const {
    const QString local = folder + QStringLiteral("/ombrixtips.mdb");
    QFile::remove(local);
    QFile::remove(local + QStringLiteral("-journal"));
    QFile::remove(folder + QStringLiteral("/ombrixtips.idx"));
    if (!QFile::copy(pristineDatabase, local))
      fuzz::harnessFailure("cannot copy", local);
    QFile(local).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    QDir images(folder + QStringLiteral("/images"));
    for (const QString &name : images.entryList(QDir::Files))
      if (name != QLatin1String("0.jpg"))
        images.remove(name);
  }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static const ProgramFolder program;
  program.reset();
  const tips::ProgramPaths paths(program.folder, program.files);
  const QString package = paths.packageDatabase();
  QFile::remove(package + QStringLiteral("-journal"));
  fuzz::writeFile(package, data, size);

  tips::Clock clock;
  clock.setToday(QDate(2026, 12, 7));
  exchange::ImportPackage import(paths, program.files, clock, nullptr);
  QString problem;
  exchange::Tally content;
  try {
    problem = import.open();
    if (problem.isEmpty()) {
      content = import.content();
      const exchange::MergeResult merged = import.merge();
      if (merged.outcome == exchange::MergeOutcome::Merged &&
          (merged.added.groups > content.groups || merged.added.tips > content.tips))
        finding("a merge added more than the package holds");
    }
  } catch (const std::exception &e) {
    std::fprintf(stderr, "%s\n", e.what());
    finding("the import threw instead of answering with a message");
  }
  if (problem.isEmpty()) {
    // The package read the other ways the exchange reads a tip database.
    try {
      auto db = store::Database::open(package, store::OpenMode::ReadOnlyUntrusted);
      exchange::summarizeOrigins(*db);
      exchange::TipScan scan(*db);
      exchange::TipRow row;
      while (scan.next(row)) {
      }
    } catch (const store::StoreError &) {
      // A damaged page met on the way: the refusal of a file that is no database.
    }
  }
  import.close();
  if (fuzz::readFile(package) !=
      QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)))
    finding("reading the package changed its file");
  return 0;
}
