// The exchange at scale: 32,767 tips in 300 groups with pictures of 50 KB.
//   build/bench/bench_exchange --benchmark_repetitions=5 --benchmark_report_aggregates_only
//
// ExportBuildAll   the export build with every kind ticked
// PackPictures     "Compress File": 300 pictures and the export database into the package
// UnpackPictures   the same package unpacked into OBXTemp
// MergeIntoLarge   a package of 30,000 tips merged into a database of 30,000 other tips;
//                  half of the package's subjects are there already
// PlainInsertBaseline  the rows that merge adds, inserted with prepared statements in one
//                  transaction, plain SQLite, no checks
// ImportPlanMillion  "Details..." before Start Importing: the plan of a package of a million
//                  tips in 3,000 groups (one run; peak_rss_mb is the process's peak)
// ImportDetailsOpenMillion  the details list opening over that plan: its lines, its summary
//                  and a screenful of words
#include "LargeDatabase.h"
#include "MillionTips.h"
#include "search/TipIndex.h"

#include "exchange/ExchangePackage.h"
#include "exchange/ExportBuild.h"
#include "exchange/ImportDetails.h"
#include "exchange/ImportPackage.h"
#include "platform/files/FileService.h"
#include "store/Collation.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "tips/Clock.h"
#include "tips/ProgramPaths.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int kGroups = 300;
constexpr int kPictureBytes = 50 * 1024;

void write(const QString &path, const QByteArray &bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
    qFatal("cannot write %s", qPrintable(path));
}

void replaceFile(const QString &from, const QString &to) {
  QFile::remove(to);
  if (!QFile::copy(from, to))
    qFatal("cannot copy %s", qPrintable(from));
}

void emptyFolder(const QString &folder) {
  QDir dir(folder);
  for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden))
    dir.remove(name);
}

// A program folder with the large collection and its pictures; a stash of pictures and
// pristine databases to restore between iterations.
struct Installation : BenchFolder {
  tips::Clock clock;
  qint64 pictureBytes = 0;

  Installation() {
    write(root + "/images/0.jpg", "placeholder");
    store::createDatabase(paths.tipDatabase(), store::DatabaseKind::TipDatabase);
    store::createDatabase(paths.templateDatabase(), store::DatabaseKind::Template);
    fillLargeCollection(paths.tipDatabase(), LargeCollection{});
    for (int id = 1; id <= kGroups; ++id) {
      // Pictures are compressed already: random bytes do not shrink either.
      QByteArray bytes(kPictureBytes, Qt::Uninitialized);
      QRandomGenerator generator{quint32(id)};
      generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), kPictureBytes / 4);
      write(paths.groupPicture(id), bytes);
      write(stash + QString("/%1.jpg").arg(id), bytes);
      pictureBytes += bytes.size();
    }
    clock.setToday(QDate(2027, 6, 1));
  }

  void freshExport() {
    replaceFile(paths.templateDatabase(), paths.exportDatabase());
    emptyFolder(root + "/OBXTemp");
  }
};

Installation *gInstallation = nullptr;

Installation &installation() {
  if (!gInstallation)
    gInstallation = new Installation;
  return *gInstallation;
}

void ExportBuildAll(benchmark::State &state) {
  Installation &inst = installation();
  int tips = 0;
  for (auto _ : state) {
    state.PauseTiming();
    inst.freshExport();
    state.ResumeTiming();
    const exchange::ExportResult r =
        exchange::ExportBuild(inst.paths, inst.files).run({true, true, true, true});
    if (!r.ok())
      state.SkipWithError(qPrintable(r.error));
    tips = r.tipsCopied;
  }
  state.counters["tips"] = tips;
}
BENCHMARK(ExportBuildAll)->Unit(benchmark::kMillisecond)->UseRealTime();

// The working folder as the export build leaves it: the pictures under their export keys.
void prepareTemp(Installation &inst) {
  emptyFolder(inst.root + "/OBXTemp");
  for (int id = 1; id <= kGroups; ++id)
    replaceFile(inst.stash + QString("/%1.jpg").arg(id),
                inst.root + QString("/OBXTemp/%1.jpg").arg(id));
}

// The export database of a build with every kind, made once.
void exportAll(Installation &inst) {
  static bool done = false;
  if (done)
    return;
  inst.freshExport();
  const exchange::ExportResult r =
      exchange::ExportBuild(inst.paths, inst.files).run({true, true, true, true});
  if (!r.ok())
    qFatal("export failed: %s", qPrintable(r.error));
  done = true;
}

void PackPictures(benchmark::State &state) {
  Installation &inst = installation();
  exportAll(inst);
  const qint64 bytes = inst.pictureBytes + QFileInfo(inst.paths.exportDatabase()).size();
  for (auto _ : state) {
    state.PauseTiming();
    prepareTemp(inst);
    state.ResumeTiming();
    const exchange::PackResult r = exchange::packExport(inst.paths, inst.files, "export");
    if (!r.ok())
      state.SkipWithError(qPrintable(r.error));
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(PackPictures)->Unit(benchmark::kMillisecond)->UseRealTime();

void UnpackPictures(benchmark::State &state) {
  Installation &inst = installation();
  exportAll(inst);
  prepareTemp(inst);
  const exchange::PackResult packed = exchange::packExport(inst.paths, inst.files, "export");
  if (!packed.ok())
    qFatal("pack failed: %s", qPrintable(packed.error));
  const qint64 bytes = inst.pictureBytes + QFileInfo(inst.paths.exportDatabase()).size();
  for (auto _ : state) {
    state.PauseTiming();
    emptyFolder(inst.root + "/OBXTemp");
    state.ResumeTiming();
    const int code = exchange::unpackPackage(inst.paths, inst.files, packed.packagePath, nullptr);
    if (code != 0)
      state.SkipWithError("unpack failed");
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(UnpackPictures)->Unit(benchmark::kMillisecond)->UseRealTime();

// --- the merge -----------------------------------------------------------------------------

constexpr int kMergeTips = 30000;

// A receiver of 30,000 tips, and a package of 30,000 tips in 300 groups: half of the
// groups and every odd tip's subject are the receiver's already.
struct MergeCase {
  Installation &inst;
  QString pristine; // the receiver's database before the merge

  explicit MergeCase(Installation &i) : inst(i) {
    pristine = inst.stash + "/receiver.mdb";
    QFile::remove(pristine);
    store::createDatabase(pristine, store::DatabaseKind::TipDatabase);
    LargeCollection c;
    c.tips = kMergeTips;
    fillLargeCollection(pristine, c);

    const QString package = inst.stash + "/package.mdb";
    QFile::remove(package);
    store::createDatabase(package, store::DatabaseKind::Template);
    auto db = store::Database::open(package, store::OpenMode::ReadWrite);
    store::Database::Transaction t(db);
    db->exec(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                     "%1) INSERT INTO \"Group\"(GROUP_ID, TIP_GROUP, G_LOCAL, G_IMPORT, "
                     "G_ORIGINAL, G_DATE) SELECT i, CASE WHEN i = 1 THEN 'Big Group' WHEN i <= "
                     "%2 THEN printf('Group %04d of tips', i) ELSE printf('Friend group %04d', "
                     "i) END, -1, 0, 0, '2027-03-01' FROM n")
                 .arg(kGroups)
                 .arg(kGroups / 2));
    db->exec(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                     "%1) INSERT INTO Tips(GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, TIP_LOCAL, "
                     "TIP_IMPORT, TIP_ORIGINAL, TIP_DATE) SELECT 1 + i % %2, CASE WHEN i % 2 = 1 "
                     "THEN printf('Subject number %06d about something useful', (i * 7919) % "
                     "1000003) ELSE printf('New subject %06d from a friend', i) END, "
                     "printf('Description of tip %d. ', i) || substr(hex(zeroblob(200)), 1, "
                     "380), -1, 0, 0, '2027-03-02' FROM n")
                 .arg(kMergeTips)
                 .arg(kGroups));
    db->exec("UPDATE \"Group\" SET TIP_GROUP_FOLD = lower(TIP_GROUP)");
    db->exec("UPDATE Tips SET TIP_SUBJECT_FOLD = lower(TIP_SUBJECT)");
    t.commit();
  }

  // The receiver as before the merge, the package unpacked; the receiver's database open,
  // as the import screen holds it.
  std::shared_ptr<store::Database> reset() {
    replaceFile(pristine, inst.paths.tipDatabase());
    QDir images(inst.root + "/images");
    for (const QString &name : images.entryList(QDir::Files))
      if (name.section('.', 0, 0).toInt() > kGroups)
        images.remove(name);
    emptyFolder(inst.root + "/OBXTemp");
    replaceFile(inst.stash + "/package.mdb", inst.paths.packageDatabase());
    for (int id = 1; id <= kGroups; ++id)
      replaceFile(inst.stash + QString("/%1.jpg").arg(id),
                  inst.root + QString("/OBXTemp/%1.jpg").arg(id));
    return store::Database::open(inst.paths.tipDatabase(), store::OpenMode::ReadWrite);
  }
};

MergeCase *gMergeCase = nullptr;

MergeCase &mergeCase() {
  if (!gMergeCase)
    gMergeCase = new MergeCase(installation());
  return *gMergeCase;
}

void MergeIntoLarge(benchmark::State &state) {
  MergeCase &c = mergeCase();
  exchange::MergeResult r;
  for (auto _ : state) {
    state.PauseTiming();
    auto local = c.reset();
    exchange::ImportPackage import(c.inst.paths, c.inst.files, c.inst.clock,
                                   search::indexFollowing(c.inst.paths.tipDatabase()));
    if (!import.open().isEmpty())
      state.SkipWithError("the package cannot be opened");
    state.ResumeTiming();
    r = import.merge();
    if (r.outcome != exchange::MergeOutcome::Merged)
      state.SkipWithError(qPrintable(r.error));
  }
  state.counters["groups"] = r.added.groups;
  state.counters["tips"] = r.added.tips;
}
BENCHMARK(MergeIntoLarge)->Unit(benchmark::kMillisecond)->UseRealTime();

void PlainInsertBaseline(benchmark::State &state) {
  MergeCase &c = mergeCase();
  // The rows the merge adds, made ready beforehand: no lookups, no checks.
  struct Row {
    int group;
    QByteArray text, fold, description;
  };
  std::vector<Row> groups, tipRows;
  for (int g = kGroups / 2 + 1; g <= kGroups; ++g) {
    const QByteArray name = QString("Friend group %1").arg(g, 4, 10, QChar('0')).toUtf8();
    groups.push_back({g, name, store::foldCase(QString::fromUtf8(name)).toUtf8(), {}});
  }
  for (int i = 2; i <= kMergeTips; i += 2) {
    const QByteArray subject =
        QString("New subject %1 from a friend").arg(i, 6, 10, QChar('0')).toUtf8();
    tipRows.push_back({1 + i % kGroups, subject,
                       store::foldCase(QString::fromUtf8(subject)).toUtf8(),
                       QString("Description of tip %1. ").arg(i).toUtf8() + QByteArray(380, '0')});
  }
  for (auto _ : state) {
    state.PauseTiming();
    c.reset().reset();
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(c.inst.paths.tipDatabase()).constData(), &db,
                    SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL", nullptr, nullptr,
                 nullptr);
    state.ResumeTiming();
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt *g = nullptr, *t = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO \"Group\" (TIP_GROUP, G_LOCAL, G_IMPORT, G_ORIGINAL, G_DATE, "
                       "TIP_GROUP_FOLD) VALUES (?1, 0, -1, 0, '2027-06-01', ?2)",
                       -1, &g, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO Tips (GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, TIP_LOCAL, "
                       "TIP_IMPORT, TIP_ORIGINAL, TIP_DATE, TIP_SUBJECT_FOLD) VALUES (?1, ?2, ?3, "
                       "0, -1, 0, '2027-06-01', ?4)",
                       -1, &t, nullptr);
    std::vector<sqlite3_int64> keys(kGroups + 1, 0);
    for (const Row &r : groups) {
      sqlite3_bind_text(g, 1, r.text.constData(), int(r.text.size()), SQLITE_STATIC);
      sqlite3_bind_text(g, 2, r.fold.constData(), int(r.fold.size()), SQLITE_STATIC);
      sqlite3_step(g);
      sqlite3_reset(g);
      keys[size_t(r.group)] = sqlite3_last_insert_rowid(db);
    }
    for (const Row &r : tipRows) {
      sqlite3_bind_int64(t, 1, keys[size_t(r.group)] ? keys[size_t(r.group)] : r.group);
      sqlite3_bind_text(t, 2, r.text.constData(), int(r.text.size()), SQLITE_STATIC);
      sqlite3_bind_text(t, 3, r.description.constData(), int(r.description.size()), SQLITE_STATIC);
      sqlite3_bind_text(t, 4, r.fold.constData(), int(r.fold.size()), SQLITE_STATIC);
      sqlite3_step(t);
      sqlite3_reset(t);
    }
    sqlite3_finalize(g);
    sqlite3_finalize(t);
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
      state.SkipWithError("commit failed");
    state.PauseTiming();
    sqlite3_close(db);
    state.ResumeTiming();
  }
  state.counters["groups"] = double(groups.size());
  state.counters["tips"] = double(tipRows.size());
}
BENCHMARK(PlainInsertBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

// --- the import details at a million tips ---------------------------------------------------

// A package of a million tips in 3,000 groups, all of them new to the large collection,
// unpacked beside it.
struct MillionCase {
  Installation &inst;
  QString package;

  explicit MillionCase(Installation &i) : inst(i) {
    package = inst.stash + "/million.mdb";
    QFile::remove(package);
    store::createDatabase(package, store::DatabaseKind::Template);
    fillMillionTips(package);
  }

  void unpack() {
    emptyFolder(inst.root + "/OBXTemp");
    replaceFile(package, inst.paths.packageDatabase());
  }
};

MillionCase *gMillionCase = nullptr;

MillionCase &millionCase() {
  if (!gMillionCase)
    gMillionCase = new MillionCase(installation());
  return *gMillionCase;
}

// What "Details..." costs before Start Importing: the plan of a million-tip import.
void ImportPlanMillion(benchmark::State &state) {
  MillionCase &c = millionCase();
  c.unpack();
  exchange::ImportPackage import(c.inst.paths, c.inst.files, c.inst.clock, nullptr);
  if (!import.open().isEmpty())
    state.SkipWithError("the package cannot be opened");
  resetPeakRss();
  exchange::MergeResult plan;
  for (auto _ : state)
    plan = import.plan();
  state.counters["tips"] = double(plan.tips.size());
  state.counters["peak_rss_mb"] = peakRssMb();
}
BENCHMARK(ImportPlanMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// The details list opening over that plan: its lines, its summary and a screenful of
// their words (the model makes the words of the lines shown only).
void ImportDetailsOpenMillion(benchmark::State &state) {
  MillionCase &c = millionCase();
  c.unpack();
  exchange::ImportPackage import(c.inst.paths, c.inst.files, c.inst.clock, nullptr);
  if (!import.open().isEmpty())
    state.SkipWithError("the package cannot be opened");
  const exchange::MergeResult plan = import.plan();
  for (auto _ : state) {
    const std::vector<exchange::DetailLine> lines = exchange::detailLines(plan);
    benchmark::DoNotOptimize(exchange::detailSummary(plan, false));
    for (std::size_t row = 0; row < 40 && row < lines.size(); ++row)
      benchmark::DoNotOptimize(exchange::detailText(plan, lines[row], false));
  }
  state.counters["lines"] = double(plan.groups.size() + plan.tips.size());
  state.counters["peak_rss_mb"] = peakRssMb();
}
BENCHMARK(ImportDetailsOpenMillion)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
  // The screens of ImportWindowMillion: on the display when there is one (Xvfb), else
  // off screen.
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  endOfRun();
  delete gMergeCase; // the temporary folders go with them
  delete gMillionCase;
  delete gInstallation;
  return 0;
}
