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

void copyOver(const QString &from, const QString &to) {
  QFile::remove(to);
  if (!QFile::copy(from, to))
    qFatal("cannot copy %s", qPrintable(from));
}

void emptyFolder(const QString &folder) {
  QDir dir(folder);
  for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden))
    dir.remove(name);
}

// A program folder whose tip database holds the million tips, each group with a picture;
// the export database of a Total build, made once when a benchmark asks for it.
struct MillionExport {
  QTemporaryDir dir;
  QString root = dir.path() + "/program";
  QString stash = dir.path() + "/stash";
  FileService files{dir.path() + "/home"};
  tips::ProgramPaths paths{root, files};
  bool built = false;

  MillionExport() {
    for (const char *folder : {"/images", "/Export", "/OBXTemp"})
      QDir().mkpath(root + folder);
    QDir().mkpath(stash);
    QDir().mkpath(dir.path() + "/home");
    store::createDatabase(paths.tipDatabase(), store::DatabaseKind::TipDatabase);
    store::createDatabase(paths.templateDatabase(), store::DatabaseKind::Template);
    fillMillionTips(paths.tipDatabase());
    QFile placeholder(root + "/images/0.jpg");
    if (!placeholder.open(QIODevice::WriteOnly) || placeholder.write("placeholder") != 11)
      qFatal("cannot write the placeholder");
    for (int id = 1; id <= kMillionGroups; ++id) {
      // Pictures are compressed already: random bytes do not shrink either.
      QByteArray bytes(kPictureBytes, Qt::Uninitialized);
      QRandomGenerator generator{quint32(id)};
      generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), kPictureBytes / 4);
      QFile f(paths.groupPicture(id));
      if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write a picture");
    }
  }

  // What the main menu does before an export.
  void freshExport() {
    copyOver(paths.templateDatabase(), paths.exportDatabase());
    emptyFolder(paths.tempFolder());
  }

  // Before each measured run: what earlier runs wrote goes to the disk first, so that no
  // run pays for another's writes; memory freed by earlier benchmarks goes back to the
  // system, so that the peak is this run's own.
  static void settle() {
    ::sync();
    malloc_trim(0);
    resetPeakRss();
  }

  exchange::ExportResult build() {
    return exchange::ExportBuild(paths, files).run({true, true, true, true});
  }

  // The export database and the pictures of a Total build, kept in the stash.
  void ensureBuilt() {
    if (built)
      return;
    freshExport();
    const exchange::ExportResult r = build();
    if (!r.ok())
      qFatal("export failed: %s", qPrintable(r.error));
    QDir temp(paths.tempFolder());
    for (const QString &name : temp.entryList(QDir::Files))
      copyOver(temp.filePath(name), stash + "/" + name);
    built = true;
  }

  // The working folder as the build left it.
  void restoreTemp() {
    emptyFolder(paths.tempFolder());
    QDir saved(stash);
    for (const QString &name : saved.entryList({"*.jpg"}, QDir::Files))
      copyOver(saved.filePath(name), paths.tempFolder() + "/" + name);
  }
};

MillionExport &millionExport() {
  static const std::unique_ptr<MillionExport> instance = std::make_unique<MillionExport>();
  return *instance;
}

void ExportBuildMillion(benchmark::State &state) {
  MillionExport &m = millionExport();
  int tips = 0;
  double peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    m.freshExport();
    m.settle();
    state.ResumeTiming();
    const exchange::ExportResult r = m.build();
    if (!r.ok())
      state.SkipWithError(qPrintable(r.error));
    tips = r.tipsCopied;
    peak = std::max(peak, peakRssMb());
  }
  state.counters["tips"] = tips;
  state.counters["peak_rss_mb"] = peak;
}
BENCHMARK(ExportBuildMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void exec(sqlite3 *db, const char *sql) {
  char *message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK)
    qFatal("%s: %s", sql, message);
}

void InsertSelectMillion(benchmark::State &state) {
  MillionExport &m = millionExport();
  double peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    m.freshExport();
    m.settle();
    state.ResumeTiming();
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
    exec(db, "INSERT INTO Tips (GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, TIP_LOCAL, TIP_IMPORT, "
             "TIP_ORIGINAL, TIP_DATE, TIP_SUBJECT_FOLD) SELECT GROUP_ID, TIP_SUBJECT, "
             "TIP_DESCRIPTION, TIP_LOCAL, TIP_IMPORT, TIP_ORIGINAL, TIP_DATE, TIP_SUBJECT_FOLD "
             "FROM src.Tips ORDER BY rowid");
    exec(db, "COMMIT");
    exec(db, "DETACH DATABASE src");
    sqlite3_close(db);
    peak = std::max(peak, peakRssMb());
  }
  state.counters["peak_rss_mb"] = peak;
}
BENCHMARK(InsertSelectMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void PackMillion(benchmark::State &state) {
  MillionExport &m = millionExport();
  m.ensureBuilt();
  double peak = 0;
  qint64 packageBytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    m.restoreTemp();
    m.settle();
    state.ResumeTiming();
    const exchange::PackResult r = exchange::packExport(m.paths, m.files, "export");
    if (!r.ok())
      state.SkipWithError(qPrintable(r.error));
    peak = std::max(peak, peakRssMb());
    packageBytes = QFileInfo(r.packagePath).size();
  }
  state.counters["package_mb"] = double(packageBytes) / (1 << 20);
  state.counters["peak_rss_mb"] = peak;
}
BENCHMARK(PackMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// zlib level 1 over the export database and the pictures, read in blocks, the output
// counted and dropped.
void DeflateMillion(benchmark::State &state) {
  MillionExport &m = millionExport();
  m.ensureBuilt();
  QStringList inputs{m.paths.exportDatabase()};
  QDir saved(m.stash);
  for (const QString &name : saved.entryList({"*.jpg"}, QDir::Files))
    inputs << saved.filePath(name);
  std::vector<unsigned char> in(1 << 20), out(1 << 20);
  double peak = 0;
  qint64 compressed = 0;
  for (auto _ : state) {
    state.PauseTiming();
    m.settle();
    state.ResumeTiming();
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
    peak = std::max(peak, peakRssMb());
  }
  state.counters["deflated_mb"] = double(compressed) / (1 << 20);
  state.counters["peak_rss_mb"] = peak;
}
BENCHMARK(DeflateMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
