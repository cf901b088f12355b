// The export at a million tips in 3,000 groups (bench/MillionTips.h), each against a plain
// baseline measured in the same run:
//   build/bench/bench_exchange --benchmark_repetitions=3 --benchmark_filter=Million
//
// ExportBuildMillion   the export build with every kind ticked (Total)
// InsertSelectMillion  baseline: INSERT INTO ... SELECT of the same rows and columns from the
//                      tip database (ATTACHed) into a copy of the template, one transaction
// PackMillion          "Compress File": that export database and 3,000 pictures of 4 KB
// DeflateMillion       baseline: zlib level 1 over the same bytes in process, on one core
//
// Each reports peak_rss_mb, the process's peak resident memory during its own work.
#include "MillionTips.h"

#include "exchange/ExchangePackage.h"
#include "exchange/ExportBuild.h"
#include "exchange/WorkingFolder.h"
#include "platform/files/FileService.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "tips/ProgramPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <memory>
#include <sqlite3.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace {

constexpr int kPictureBytes = 4 * 1024;

void writeFile(const QString &path, const QByteArray &bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
    qFatal("cannot write %s", qPrintable(path));
}

// A program folder whose tip database holds the million tips, each group with a picture;
// the export database of a Total build, made once when a benchmark asks for it.
struct MillionExport : BenchFolder {
  bool built = false;

  MillionExport() {
    store::createDatabase(paths.tipDatabase(), store::DatabaseKind::TipDatabase);
    store::createDatabase(paths.templateDatabase(), store::DatabaseKind::Template);
    fillMillionTips(paths.tipDatabase());
    writeFile(paths.placeholderPicture(), "placeholder");
    for (int id = 1; id <= kMillionGroups; ++id) {
      // Pictures are compressed already: random bytes do not shrink either.
      QByteArray bytes(kPictureBytes, Qt::Uninitialized);
      QRandomGenerator generator{quint32(id)};
      generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), kPictureBytes / 4);
      writeFile(paths.groupPicture(id), bytes);
    }
  }

  // What the main menu does before an export.
  void freshExport() {
    files.copyNativeFileUnsynced(paths.templateDatabase(), paths.exportDatabase());
    exchange::emptyTempFolder(files, paths);
  }

  exchange::ExportResult build() {
    return exchange::ExportBuild(paths, files).run({true, true, true, true});
  }

  // The export database and the pictures of a Total build, the pictures kept in the stash.
  void ensureBuilt() {
    if (built)
      return;
    freshExport();
    const exchange::ExportResult r = build();
    if (!r.ok())
      qFatal("export failed: %s", qPrintable(r.error));
    for (const QString &name : QDir(paths.tempFolder()).entryList({"*.jpg"}, QDir::Files))
      files.copyNativeFileUnsynced(paths.tempFolder() + "/" + name, stash + "/" + name);
    built = true;
  }

  // The working folder as the build left it: each picture a second name of a picture kept
  // elsewhere, as the build gives them (a copy would make the packing's removal of the
  // packed files free their disk blocks, which the real working files never do).
  void restoreTemp() {
    exchange::emptyTempFolder(files, paths);
    for (const QString &name : QDir(stash).entryList({"*.jpg"}, QDir::Files))
      files.shareNativeFileUnsynced(stash + "/" + name, paths.tempFolder() + "/" + name);
  }
};

MillionExport &millionExport() {
  static const std::unique_ptr<MillionExport> instance = std::make_unique<MillionExport>();
  return *instance;
}

// Each iteration: prepare (not timed); what earlier runs wrote goes to the disk, so that no
// run pays for another's writes, and memory freed by earlier benchmarks goes back to the
// system, so that the peak is this run's own; then the work, timed.
template <class Prepare, class Work>
void measure(benchmark::State &state, Prepare prepare, Work work) {
  double peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    prepare();
    ::sync();
    malloc_trim(0);
    resetPeakRss();
    state.ResumeTiming();
    work();
    peak = std::max(peak, peakRssMb());
  }
  state.counters["peak_rss_mb"] = peak;
}

void ExportBuildMillion(benchmark::State &state) {
  MillionExport &m = millionExport();
  int tips = 0;
  measure(
      state, [&] { m.freshExport(); },
      [&] {
        const exchange::ExportResult r = m.build();
        if (!r.ok())
          state.SkipWithError(qPrintable(r.error));
        tips = r.tipsCopied;
      });
  state.counters["tips"] = tips;
}
BENCHMARK(ExportBuildMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void exec(sqlite3 *db, const char *sql) {
  char *message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK)
    qFatal("%s: %s", sql, message);
}

void InsertSelectMillion(benchmark::State &state) {
  MillionExport &m = millionExport();
  measure(
      state, [&] { m.freshExport(); },
      [&] {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(QFile::encodeName(m.paths.exportDatabase()).constData(), &db,
                        SQLITE_OPEN_READWRITE, nullptr);
        // The settings of the store's connections.
        exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; PRAGMA cache_size=-16384");
        const QByteArray attach =
            "ATTACH DATABASE '" + QFile::encodeName(m.paths.tipDatabase()) + "' AS src";
        exec(db, attach.constData());
        exec(db, "PRAGMA src.cache_size=-16384");
        exec(db, "BEGIN IMMEDIATE");
        exec(db, "INSERT INTO \"Group\" (TIP_GROUP, G_LOCAL, G_IMPORT, G_ORIGINAL, G_DATE, "
                 "TIP_GROUP_FOLD) SELECT TIP_GROUP, G_LOCAL, G_IMPORT, G_ORIGINAL, G_DATE, "
                 "TIP_GROUP_FOLD FROM src.\"Group\" ORDER BY rowid");
        exec(db, "INSERT INTO Tips (GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, TIP_LOCAL, "
                 "TIP_IMPORT, TIP_ORIGINAL, TIP_DATE, TIP_SUBJECT_FOLD) SELECT GROUP_ID, "
                 "TIP_SUBJECT, TIP_DESCRIPTION, TIP_LOCAL, TIP_IMPORT, TIP_ORIGINAL, TIP_DATE, "
                 "TIP_SUBJECT_FOLD FROM src.Tips ORDER BY rowid");
        exec(db, "COMMIT");
        exec(db, "DETACH DATABASE src");
        sqlite3_close(db);
      });
}
BENCHMARK(InsertSelectMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void PackMillion(benchmark::State &state) {
  MillionExport &m = millionExport();
  m.ensureBuilt();
  qint64 packageBytes = 0;
  measure(
      state, [&] { m.restoreTemp(); },
      [&] {
        const exchange::PackResult r = exchange::packExport(m.paths, m.files, "export");
        if (!r.ok())
          state.SkipWithError(qPrintable(r.error));
        packageBytes = QFileInfo(r.packagePath).size();
      });
  state.counters["package_mb"] = double(packageBytes) / (1 << 20);
}
BENCHMARK(PackMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// zlib level 1 over the export database and the pictures, read in blocks, the output
// counted and dropped.
void DeflateMillion(benchmark::State &state) {
  MillionExport &m = millionExport();
  m.ensureBuilt();
  QStringList inputs{m.paths.exportDatabase()};
  for (const QString &name : QDir(m.stash).entryList({"*.jpg"}, QDir::Files))
    inputs << m.stash + "/" + name;
  std::vector<unsigned char> in(1 << 20), out(1 << 20);
  qint64 compressed = 0;
  measure(
      state, [] {},
      [&] {
        compressed = 0;
        for (const QString &path : std::as_const(inputs)) {
          QFile f(path);
          if (!f.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", qPrintable(path));
          z_stream z{};
          deflateInit2(&z, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
          int flush = Z_NO_FLUSH;
          while (flush != Z_FINISH) {
            const qint64 n = f.read(reinterpret_cast<char *>(in.data()), qint64(in.size()));
            flush = n < qint64(in.size()) ? Z_FINISH : Z_NO_FLUSH;
            z.next_in = in.data();
            z.avail_in = uInt(std::max<qint64>(n, 0));
            do {
              z.next_out = out.data();
              z.avail_out = uInt(out.size());
              deflate(&z, flush);
              compressed += qint64(out.size() - z.avail_out);
            } while (z.avail_out == 0);
          }
          deflateEnd(&z);
        }
      });
  state.counters["deflated_mb"] = double(compressed) / (1 << 20);
}
BENCHMARK(DeflateMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
