// The import merge at a million tips, against the same rows inserted by SQLite alone:
//   build/bench/bench_exchange --benchmark_filter='Million' --benchmark_repetitions=3
//
// IndexedInsertMillion  baseline: the package's million rows inserted with one prepared
//                  statement in one transaction into the Tips table of a fresh tip database
//                  (the same indexes), their folded keys with them
// MergeMillion     "Start Importing": the package of a million tips in 3,000 groups merged
//                  into the tip database a new user has
// MergeMillionIndexed  the same with the search index present and kept current
#include "MillionTips.h"

#include "exchange/ImportPackage.h"
#include "platform/files/FileService.h"
#include "search/TipIndex.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "tips/Clock.h"
#include "tips/ProgramPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

// A new user's program folder and a package of a million tips, with pristine copies to
// restore before each run.
struct MergeMillionCase : BenchFolder {
  tips::Clock clock;

  MergeMillionCase() {
    QFile placeholder(root + "/images/0.jpg");
    if (!placeholder.open(QIODevice::WriteOnly) || placeholder.write("placeholder") != 11)
      qFatal("cannot write the placeholder");
    store::createDatabase(stash + "/receiver.mdb", store::DatabaseKind::TipDatabase);
    store::createDatabase(stash + "/package.mdb", store::DatabaseKind::Template);
    fillMillionTips(stash + "/package.mdb");
    clock.setToday(QDate(2027, 6, 1));
  }

  static void copy(const QString &from, const QString &to) {
    QFile::remove(to);
    if (!QFile::copy(from, to))
      qFatal("cannot copy %s", qPrintable(from));
  }

  void reset(bool withIndex) {
    copy(stash + "/receiver.mdb", paths.tipDatabase());
    QDir images(root + "/images");
    for (const QString &name : images.entryList(QDir::Files))
      if (name != "0.jpg")
        images.remove(name);
    QFile::remove(paths.lastImport());
    QFile::remove(search::indexPathBeside(paths.tipDatabase()));
    if (withIndex)
      search::indexFollowing(paths.tipDatabase())->rebuild();
    copy(stash + "/package.mdb", paths.packageDatabase());
  }
};

MergeMillionCase &mergeMillionCase() {
  static MergeMillionCase *c = nullptr;
  if (!c) {
    c = new MergeMillionCase;
    atEndOfRun([] { delete c; });
  }
  return *c;
}

void IndexedInsertMillion(benchmark::State &state) {
  MergeMillionCase &c = mergeMillionCase();
  for (auto _ : state) {
    state.PauseTiming();
    c.reset(false);
    resetPeakRss();
    state.ResumeTiming();
    store::sql::Connection db(c.paths.tipDatabase(), SQLITE_OPEN_READWRITE);
    store::sql::Connection package(c.paths.packageDatabase(), SQLITE_OPEN_READONLY);
    sqlite3_exec(db.handle(), "BEGIN", nullptr, nullptr, nullptr);
    store::sql::Statement read(package.handle(),
                               "SELECT GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, TIP_DATE, "
                               "TIP_SUBJECT_FOLD FROM Tips ORDER BY rowid");
    store::sql::Statement write(db.handle(),
                                "INSERT INTO Tips(GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, "
                                "TIP_LOCAL, TIP_IMPORT, TIP_ORIGINAL, TIP_DATE, "
                                "TIP_SUBJECT_FOLD) VALUES (?1, ?2, ?3, 0, -1, 0, ?4, ?5)");
    while (read.step()) {
      for (int column = 0; column < 5; ++column)
        sqlite3_bind_value(write.handle(), column + 1, sqlite3_column_value(read.handle(), column));
      write.step();
      write.reset();
    }
    sqlite3_exec(db.handle(), "COMMIT", nullptr, nullptr, nullptr);
  }
  state.counters["peak_rss_mb"] = peakRssMb();
}
BENCHMARK(IndexedInsertMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void mergeMillion(benchmark::State &state, bool withIndex) {
  MergeMillionCase &c = mergeMillionCase();
  exchange::MergeResult result;
  for (auto _ : state) {
    state.PauseTiming();
    c.reset(withIndex);
    result = {};
    resetPeakRss();
    state.ResumeTiming();
    exchange::ImportPackage import(c.paths, c.files, c.clock,
                                   withIndex ? search::indexFollowing(c.paths.tipDatabase())
                                             : nullptr);
    import.keepRecordAs("OBXMillion.ZIP");
    result = import.merge();
    if (result.outcome != exchange::MergeOutcome::Merged)
      state.SkipWithError(qPrintable(result.error));
  }
  state.counters["peak_rss_mb"] = peakRssMb();
  state.counters["tips"] = double(result.added.tips);
  if (withIndex) {
    search::TipIndex index(search::indexPathBeside(c.paths.tipDatabase()), c.paths.tipDatabase());
    state.counters["index_current"] = index.health() == search::TipIndex::Health::Current;
  }
}

void MergeMillion(benchmark::State &state) { mergeMillion(state, false); }
BENCHMARK(MergeMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void MergeMillionIndexed(benchmark::State &state) { mergeMillion(state, true); }
BENCHMARK(MergeMillionIndexed)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
