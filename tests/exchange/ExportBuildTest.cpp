// The export build: which rows each choice of kinds copies, under which keys, with which
// pictures; the counts of the export screens; and a build that fails leaving nothing.
#include "ExchangeFixture.h"

#include "exchange/ExchangeCounts.h"
#include "exchange/ExportBuild.h"

namespace {

using exchange::ExportChoice;
using exchange::ExportProcedure;
using P = exchange::ExportProcedure;

const QDate kDelivered(2026, 12, 1);

// A user's database with every kind: delivered rows, delivered rows edited here, local and
// imported rows, and rows with no flag at all. Local keys start at 7.
class Export : public ::testing::Test {
protected:
  Site site;
  qint32 delivered = 0, edited = 0, allEdited = 0, mine = 0, bare = 0;

  void SetUp() override {
    site.db()->exec("INSERT INTO sqlite_sequence(name, seq) VALUES ('Group', 6)");
    delivered = site.group("Delivered", T, F, F, kDelivered);
    site.tip(delivered, "D1", T, F, F, kDelivered);
    site.tip(delivered, "D2 edited", F, T, F, QDate(2027, 2, 1));
    edited = site.group("Edited delivered", F, T, F, QDate(2027, 1, 10)); // renamed here
    site.tip(edited, "D3", T, F, F, kDelivered);
    allEdited = site.group("All tips edited", T, F, F, kDelivered);
    site.tip(allEdited, "E1", F, T, F, QDate(2027, 3, 1));
    mine = site.group("Mine", F, T, F, QDate(2027, 4, 1));
    site.tip(mine, "M1", F, T, F, QDate(2027, 4, 1));
    site.tip(mine, "I1", F, F, T, QDate(2027, 4, 15));
    bare = site.group("Bare", N, N, N, QDate());
    site.tip(bare, "Nothing", N, N, N, QDate(), N);
  }

  exchange::ExportResult build(ExportChoice choice) {
    return exchange::ExportBuild(site.paths, site.files).run(choice);
  }
  QList<QStringList> exportRows(const QString &sql) {
    return rowsOf(site.paths.exportDatabase(), sql);
  }
  QList<QStringList> exportGroups() {
    return exportRows("SELECT GROUP_ID, TIP_GROUP FROM \"Group\" ORDER BY GROUP_ID");
  }
  QList<QStringList> exportTips() {
    return exportRows("SELECT GROUP_ID, TIP_SUBJECT FROM Tips ORDER BY TIPS_ID");
  }
  QByteArray tempPicture(int key) {
    return Site::read(site.root + QString("/OBXTemp/%1.jpg").arg(key));
  }
};

TEST(ExportRules, TheFirstMatchingRuleChoosesTheProcedures) {
  using V = std::vector<ExportProcedure>;
  EXPECT_EQ(exchange::exportProcedures({}), V{});
  EXPECT_EQ(exchange::exportProcedures({true, false, false, false}),
            V{}); // Total alone ticks nothing
  EXPECT_EQ(exchange::exportProcedures({true, true, true, true}), V{P::Total});
  EXPECT_EQ(exchange::exportProcedures({false, true, true, false}), (V{P::Initial, P::Local}));
  EXPECT_EQ(exchange::exportProcedures({false, true, false, true}), (V{P::Initial, P::Imported}));
  EXPECT_EQ(exchange::exportProcedures({false, false, true, true}), (V{P::Local, P::Imported}));
  EXPECT_EQ(exchange::exportProcedures({false, true, false, false}), V{P::Initial});
  EXPECT_EQ(exchange::exportProcedures({false, false, true, false}), V{P::Local});
  EXPECT_EQ(exchange::exportProcedures({false, false, false, true}), V{P::Imported});
}

TEST_F(Export, InitialCopiesDeliveredGroupsWithTheirDeliveredTipsUnderNewKeys) {
  const exchange::ExportResult r = build({false, true, false, false});
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  // A delivered tip of a group renamed here stays home; a delivered group whose tips were
  // all edited goes without tips.
  EXPECT_EQ(exportGroups(), (QList<QStringList>{{"1", "Delivered"}, {"2", "All tips edited"}}));
  EXPECT_EQ(exportTips(), (QList<QStringList>{{"1", "D1"}}));
  // Pictures are named by the export keys: local 7 went out as 1.
  EXPECT_EQ(delivered, 7);
  EXPECT_EQ(tempPicture(1), "pic:Delivered");
  EXPECT_EQ(tempPicture(2), "pic:All tips edited");
  EXPECT_EQ(site.tempFiles(), (QStringList{"1.jpg", "2.jpg"}));
  EXPECT_TRUE(r.oops.empty());
}

TEST_F(Export, LocalAndImportedTipsBringTheirGroupOnceWithItsOwnFlags) {
  exchange::ExportResult r = build({false, false, true, false});
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  // A local tip in a delivered group brings the group along, still marked delivered.
  EXPECT_EQ(exportRows("SELECT GROUP_ID, TIP_GROUP, G_ORIGINAL, G_LOCAL, G_DATE FROM \"Group\" "
                       "ORDER BY GROUP_ID"),
            (QList<QStringList>{{"1", "Delivered", "-1", "0", "2026-12-01"},
                                {"2", "All tips edited", "-1", "0", "2026-12-01"},
                                {"3", "Mine", "0", "-1", "2027-04-01"}}));
  EXPECT_EQ(exportTips(), (QList<QStringList>{{"1", "D2 edited"}, {"2", "E1"}, {"3", "M1"}}));
  EXPECT_EQ(tempPicture(1), "pic:Delivered");

  // Local and Imported: the imported tip of "Mine" joins the group the local pass copied.
  site.freshExport();
  r = build({false, false, true, true});
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  EXPECT_EQ(exportGroups().size(), 3);
  EXPECT_EQ(exportTips(),
            (QList<QStringList>{{"1", "D2 edited"}, {"2", "E1"}, {"3", "M1"}, {"3", "I1"}}));

  // Initial and Local: the groups the initial pass copied are found by name, not doubled.
  site.freshExport();
  r = build({false, true, true, false});
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  EXPECT_EQ(exportGroups(),
            (QList<QStringList>{{"1", "Delivered"}, {"2", "All tips edited"}, {"3", "Mine"}}));
  EXPECT_EQ(exportTips(),
            (QList<QStringList>{{"1", "D1"}, {"1", "D2 edited"}, {"2", "E1"}, {"3", "M1"}}));
}

TEST_F(Export, TotalCopiesEveryRowAsItIsAndCountsIt) {
  const exchange::ExportResult r = build({true, true, true, true});
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  // Flags, dates and texts as they are, nulls included; names with their folded keys.
  EXPECT_EQ(exportRows("SELECT GROUP_ID, TIP_GROUP, TIP_GROUP_FOLD, quote(G_ORIGINAL), "
                       "quote(G_LOCAL), quote(G_IMPORT), quote(G_DATE) FROM \"Group\" "
                       "WHERE TIP_GROUP IN ('Mine', 'Bare') ORDER BY GROUP_ID"),
            (QList<QStringList>{{"4", "Mine", "mine", "0", "-1", "0", "'2027-04-01'"},
                                {"5", "Bare", "bare", "NULL", "NULL", "NULL", "NULL"}}));
  EXPECT_EQ(exportRows("SELECT GROUP_ID, TIP_SUBJECT, quote(TIP_DESCRIPTION), quote(TIP_ORIGINAL), "
                       "quote(TIP_DATE) FROM Tips WHERE TIP_SUBJECT IN ('I1', 'Nothing')"),
            (QList<QStringList>{{"4", "I1", "'Text'", "0", "'2027-04-15'"},
                                {"5", "Nothing", "NULL", "NULL", "NULL"}}));
  EXPECT_EQ(r.groupsCopied, 5);
  EXPECT_EQ(r.tipsCopied, 7);

  // The fifteen values: Initial, Local, Imported, Total of the user's database (a row of
  // no kind counts nowhere), then what the export holds.
  const exchange::ExportSummary &s = r.summary;
  EXPECT_EQ(s.origins.initial, (exchange::Tally{2, 2, kDelivered}));
  EXPECT_EQ(s.origins.local, (exchange::Tally{2, 3, QDate(2027, 4, 1)}));
  EXPECT_EQ(s.origins.imported, (exchange::Tally{0, 1, QDate(2027, 4, 15)}));
  EXPECT_EQ(s.origins.total(), (exchange::Tally{4, 6, QDate(2027, 4, 15)}));
  EXPECT_EQ(s.toExport, (exchange::Tally{5, 7, QDate(2027, 4, 15)}));
  EXPECT_EQ(exchange::ExportBuild(site.paths, site.files).exportContent(), s.toExport);
}

TEST_F(Export, NothingTickedDoesNothing) {
  const exchange::ExportResult r = build({});
  EXPECT_TRUE(r.nothingChosen);
  EXPECT_FALSE(r.ok());
  EXPECT_TRUE(exportGroups().isEmpty());
}

TEST(ExportCounts, ARowCountsOnceUnderEachTrueFlagAndTheLatestDateWins) {
  Site site;
  const qint32 both = site.group("Both", T, F, T, QDate(2027, 1, 1));
  site.tip(both, "Later tip", T, F, F, QDate(2027, 6, 30));
  site.tip(both, "Undated", T, F, F, QDate());
  site.db()->exec("UPDATE \"Group\" SET G_LOCAL = 'yes'"); // another tool's yes
  const exchange::OriginSummary s = exchange::summarizeOrigins(*site.db());
  EXPECT_EQ(s.initial, (exchange::Tally{1, 2, QDate(2027, 6, 30)}));
  EXPECT_EQ(s.local, (exchange::Tally{1, 0, QDate(2027, 1, 1)}));
  EXPECT_EQ(s.imported, (exchange::Tally{1, 0, QDate(2027, 1, 1)}));
  EXPECT_EQ(s.total(), (exchange::Tally{3, 2, QDate(2027, 6, 30)}));
  EXPECT_EQ(exchange::countContent(*site.db()), (exchange::Tally{1, 2, QDate(2027, 6, 30)}));

  EXPECT_EQ(exchange::readExportName(*site.db()), "export");
  site.db()->exec("UPDATE Settings SET USER_FIRST = 'Ann '");
  EXPECT_EQ(exchange::readExportName(*site.db()), "Ann ");
  EXPECT_EQ(exchange::packageFileName("Ann"), "OBXAnn.ZIP");
  EXPECT_EQ(exchange::exportMdbName("export"), "OBXexport.MDB");
}

TEST(ExportOops, ATipOfAMissingGroupEndsItsProcedureOnlyAndIsReported) {
  Site site;
  const qint32 group = site.group("Group", F, T, F, QDate(2027, 1, 1));
  site.tip(group, "L1", F, T, F, QDate(2027, 1, 1));
  site.tip(99, "Orphan", F, T, F, QDate(2027, 1, 1));
  site.tip(group, "L2", F, T, F, QDate(2027, 1, 1));
  site.tip(group, "Imp", F, F, T, QDate(2027, 1, 1));
  const exchange::ExportResult r =
      exchange::ExportBuild(site.paths, site.files).run({false, false, true, true});
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  ASSERT_EQ(r.oops.size(), 1u);
  EXPECT_EQ(r.oops[0].procedure, P::Local);
  EXPECT_EQ(r.oops[0].tipId, 2);
  EXPECT_EQ(r.oops[0].groupId, 99);
  EXPECT_EQ(rowsOf(site.paths.exportDatabase(), "SELECT GROUP_ID, TIP_SUBJECT FROM Tips"),
            (QList<QStringList>{{"1", "L1"}, {"1", "Imp"}}));
}

TEST_F(Export, AMissingPictureTravelsAsThePlaceholder) {
  QFile::remove(site.paths.groupPicture(allEdited));
  const exchange::ExportResult r = build({false, true, false, false});
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  EXPECT_EQ(r.placeholderPictures, std::vector<qint32>{allEdited});
  EXPECT_EQ(tempPicture(2), "placeholder");
}

TEST_F(Export, AReadOnlyPictureTravelsAsACopyThatTheCleanUpCanDelete) {
  QFile::setPermissions(site.paths.groupPicture(delivered), QFileDevice::ReadOwner);
  const exchange::ExportResult r = build({false, true, false, false});
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  EXPECT_EQ(tempPicture(1), "pic:Delivered");
  // The clean-up does not force read-only files; the working copy must not be one.
  site.files.deleteFile(site.paths.tempFolder() + "/*.jpg");
  EXPECT_TRUE(site.tempFiles().isEmpty());
  EXPECT_EQ(Site::read(site.paths.groupPicture(delivered)), "pic:Delivered");
}

TEST_F(Export, AFailedBuildLeavesNoRowAndNoPictureAndSaysSo) {
  site.files.failNth(FileOperation::Copy, 3);
  exchange::ExportResult r = build({true, true, true, true});
  EXPECT_FALSE(r.ok());
  EXPECT_TRUE(r.error.contains("Injected failure")) << r.error.toStdString();
  EXPECT_TRUE(exportGroups().isEmpty());
  EXPECT_TRUE(exportTips().isEmpty());
  EXPECT_TRUE(site.tempFiles().isEmpty());

  // The user may press again: the next build is whole.
  r = build({true, true, true, true});
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  EXPECT_EQ(r.summary.toExport.groups, 5);
  EXPECT_EQ(site.tempFiles().size(), 5);
}

} // namespace
