// The long work of the exchange heard from outside: the export build, the packing and the
// unpacking count up to their totals, and a stop leaves everything as it was before.
#include "ExchangeFixture.h"

#include <zip.h>

#include "exchange/ExchangePackage.h"
#include "exchange/ExportBuild.h"
#include "tips/WorkProgress.h"

namespace {

// Records what the work tells; asks it to stop once stopAt units are done (0: at once).
struct Recorder : tips::WorkProgress {
  QString unit;
  qint64 total = -1;
  qint64 done = -1;
  qint64 stopAt = -1;
  bool cancellable = true;
  void begin(const QString &u, qint64 t) override {
    unit = u;
    total = t;
    done = 0;
  }
  void advance(qint64 d) override { done = d; }
  void setCancellable(bool c) override { cancellable = c; }
  bool stopRequested() const override { return stopAt >= 0 && done >= stopAt; }
};

class ExchangeProgress : public ::testing::Test {
protected:
  Site site;
  QString exchange = site.home + "/OBXImpExp";

  QList<QStringList> exportRows(const QString &sql) {
    return rowsOf(site.paths.exportDatabase(), sql);
  }
  // A database-sized working file: text that deflates, different all along, so that the
  // blocks deflated apart must be stitched together right.
  QByteArray largeDatabase() {
    QByteArray bytes;
    for (int i = 0; bytes.size() < 3'500'000; ++i)
      bytes +=
          QByteArray::number(i * 7919) + " some words about tip " + QByteArray::number(i) + '\n';
    return bytes;
  }
};

TEST_F(ExchangeProgress, AStoppedBuildLeavesTheExportAsItWasAndAWholeBuildCountsEveryTip) {
  const qint32 group = site.group("Group", F, T, F, QDate(2027, 1, 1));
  site.db()->exec(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE "
                          "i < 1500) INSERT INTO Tips(GROUP_ID, TIP_SUBJECT, TIP_LOCAL) SELECT %1, "
                          "'Tip ' || i, -1 FROM n")
                      .arg(group));
  exchange::ExportBuild build(site.paths, site.files);

  // Stopped in the middle of the walk, and after the walk just before the commit.
  for (qint64 stopAt : {1000, 1500}) {
    Recorder stop;
    stop.stopAt = stopAt;
    EXPECT_THROW(build.run({true, true, true, true}, stop), tips::WorkCancelled);
    EXPECT_TRUE(exportRows("SELECT * FROM \"Group\"").isEmpty());
    EXPECT_TRUE(exportRows("SELECT * FROM Tips").isEmpty());
    EXPECT_TRUE(site.tempFiles().isEmpty());
  }
  // The subject key index set aside during the copy is back.
  EXPECT_EQ(exportRows("SELECT count(*) FROM sqlite_schema WHERE name = 'Tips_TIP_SUBJECT_FOLD'"),
            (QList<QStringList>{{"1"}}));

  Recorder whole;
  const exchange::ExportResult r = build.run({true, true, true, true}, whole);
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  EXPECT_EQ(r.tipsCopied, 1500);
  EXPECT_EQ(whole.unit, "tips");
  EXPECT_EQ(whole.total, 1500);
  EXPECT_EQ(whole.done, 1500);
  EXPECT_FALSE(whole.cancellable); // the commit cannot be stopped
  EXPECT_EQ(exportRows("SELECT count(*), min(TIPS_ID), max(TIPS_ID) FROM Tips WHERE "
                       "TIP_SUBJECT_FOLD = lower(TIP_SUBJECT)"),
            (QList<QStringList>{{"1500", "1", "1500"}}));
}

TEST_F(ExchangeProgress, ALargeMemberPacksWholeAndAStoppedPackingWritesNoPackage) {
  const QByteArray database = largeDatabase();
  Site::write(site.paths.exportDatabase(), database);
  Site::write(site.root + "/OBXTemp/1.jpg", "picture");
  Site::write(site.root + "/OBXTemp/obxempty.txt", ""); // deflated too: to nothing

  Recorder stop;
  stop.stopAt = 0;
  EXPECT_THROW(exchange::packExport(site.paths, site.files, "export", stop), tips::WorkCancelled);
  EXPECT_TRUE(QDir(exchange).entryList(QDir::Files | QDir::Hidden).isEmpty());
  EXPECT_EQ(site.tempFiles(), (QStringList{"1.jpg", "obxempty.txt", "ombrixtipsie.mdb"}));

  Recorder whole;
  const exchange::PackResult packed = exchange::packExport(site.paths, site.files, "export", whole);
  ASSERT_TRUE(packed.ok()) << packed.error.toStdString();
  EXPECT_EQ(whole.unit, "MB");
  EXPECT_EQ(whole.done, whole.total);
  EXPECT_EQ(whole.total, 4);

  // libzip reads it back, checksum included, as the one deflated stream it must be.
  int error = 0;
  zip_t *za = zip_open(QFile::encodeName(packed.packagePath).constData(), ZIP_RDONLY, &error);
  ASSERT_NE(za, nullptr);
  zip_stat_t st;
  ASSERT_EQ(zip_stat(za, "ombrixtipsie.mdb", 0, &st), 0);
  EXPECT_EQ(st.comp_method, ZIP_CM_DEFLATE);
  EXPECT_LT(st.comp_size, st.size / 2);
  QByteArray read(qsizetype(st.size), '\0');
  zip_file_t *f = zip_fopen(za, "ombrixtipsie.mdb", 0);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(zip_fread(f, read.data(), st.size), zip_int64_t(st.size));
  char more = 0;
  EXPECT_EQ(zip_fread(f, &more, 1), 0); // the end, with a checksum that matches
  zip_fclose(f);
  f = zip_fopen(za, "obxempty.txt", 0);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(zip_fread(f, &more, 1), 0);
  zip_fclose(f);
  zip_discard(za);
  EXPECT_TRUE(read == database);
}

TEST_F(ExchangeProgress, AStoppedUnpackingLeavesNoFileAndShowsNoFailure) {
  Site::write(site.paths.exportDatabase(), largeDatabase());
  Site::write(site.root + "/OBXTemp/1.jpg", "picture");
  const exchange::PackResult packed = exchange::packExport(site.paths, site.files, "export");
  ASSERT_TRUE(packed.ok()) << packed.error.toStdString();
  site.emptyTemp();

  UnzipAnswers user;
  Recorder stop;
  stop.stopAt = 1;
  EXPECT_THROW(exchange::unpackPackage(site.paths, site.files, packed.packagePath, &user, stop),
               tips::WorkCancelled);
  EXPECT_GE(stop.done, 1); // stopped in the middle of the database
  EXPECT_TRUE(site.tempFiles().isEmpty());
  EXPECT_TRUE(user.failures.isEmpty());

  Recorder whole;
  EXPECT_EQ(exchange::unpackPackage(site.paths, site.files, packed.packagePath, &user, whole), 0);
  EXPECT_EQ(whole.unit, "MB");
  EXPECT_EQ(whole.done, whole.total);
  EXPECT_EQ(site.tempFiles(), (QStringList{"1.jpg", "ombrixtipsie.mdb"}));
}

} // namespace
