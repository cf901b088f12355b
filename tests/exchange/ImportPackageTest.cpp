// The import of an unpacked package: the check of the package database, its counts, and
// the merge rules (names, subjects, order, pictures, flags and dates), all or nothing.
#include "ExchangeFixture.h"

#include "exchange/ImportDetails.h"
#include "exchange/ImportPackage.h"
#include "exchange/ImportUndo.h"
#include "search/TipIndex.h"

namespace {

using exchange::GroupFate;
using exchange::MergeOutcome;
using exchange::TipFate;

// A package database in OBXTemp, written the way another installation's export writes
// it, or as another program may (without the folded key columns).
class PackageDb {
public:
  PackageDb(Site &site, bool withKeyColumns = true) : site_(site) {
    path_ = site.root + "/OBXTemp/ombrixtipsie.mdb";
    if (withKeyColumns) {
      store::createDatabase(path_, store::DatabaseKind::Template);
    } else {
      Site::write(path_, {});
      auto db = store::Database::open(path_, store::OpenMode::ReadWrite);
      db->exec("CREATE TABLE \"Group\" (GROUP_ID INTEGER PRIMARY KEY AUTOINCREMENT, TIP_GROUP "
               "TEXT, G_LOCAL YESNO, G_IMPORT YESNO, G_ORIGINAL YESNO, G_DATE DATE)");
      db->exec("CREATE TABLE Tips (TIPS_ID INTEGER PRIMARY KEY AUTOINCREMENT, GROUP_ID INTEGER, "
               "TIP_SUBJECT TEXT, TIP_DESCRIPTION TEXT, TIP_LOCAL YESNO, TIP_IMPORT YESNO, "
               "TIP_ORIGINAL YESNO, TIP_DATE DATE)");
    }
  }
  // The group with the given package key; a picture when asked for.
  void group(int id, const QString &name, const QDate &date, bool picture = true) {
    exec(QString("INSERT INTO \"Group\" (GROUP_ID, TIP_GROUP, G_LOCAL, G_IMPORT, G_ORIGINAL, "
                 "G_DATE) VALUES (%1, '%2', -1, 0, 0, %3)")
             .arg(id)
             .arg(QString(name).replace("'", "''"), sqlDate(date)));
    if (picture)
      Site::write(site_.root + QString("/OBXTemp/%1.jpg").arg(id), "pic:" + name.toUtf8());
  }
  void tip(int groupId, const QString &subject, const QDate &date,
           const QString &description = " Described ") {
    exec(QString("INSERT INTO Tips (GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, TIP_LOCAL, "
                 "TIP_IMPORT, TIP_ORIGINAL, TIP_DATE) VALUES (%1, '%2', '%3', -1, 0, -1, %4)")
             .arg(groupId)
             .arg(QString(subject).replace("'", "''"), description, sqlDate(date)));
  }
  void exec(const QString &sql) {
    store::Database::open(path_, store::OpenMode::ReadWrite)->exec(sql);
  }

private:
  static QString sqlDate(const QDate &d) {
    return d.isValid() ? "'" + d.toString(Qt::ISODate) + "'" : "NULL";
  }
  Site &site_;
  QString path_;
};

class Import : public ::testing::Test {
protected:
  Site site;
  exchange::ImportPackage import{site.paths, site.files, site.clock, nullptr};
  qint32 vim = 0, shell = 0, bob = 0;

  void SetUp() override {
    vim = site.group("Vim", F, T, F, QDate(2027, 1, 1));
    site.tip(vim, "Macros", F, T, F, QDate(2027, 1, 1));
    shell = site.group("Shell", F, T, F, QDate(2027, 1, 1));
    site.tip(shell, "Pipes", F, T, F, QDate(2027, 1, 1));
    bob = site.group("Bob`s corner", F, T, F, QDate(2027, 1, 1));
    site.tip(bob, "Hello", F, T, F, QDate(2027, 1, 1));
  }
  // The index built over the site, then a package of one new tip merged with the index
  // following it and its record kept.
  MergeOutcome mergeFollowedBy(search::TipIndex &index,
                               tips::WorkProgress &progress = tips::noProgress()) {
    index.rebuild();
    PackageDb p(site);
    p.group(11, "Git", QDate(2027, 2, 1));
    p.tip(11, "Rebase onto main", QDate(2027, 3, 3), "Replay commits");
    exchange::ImportPackage following(site.paths, site.files, site.clock,
                                      search::indexFollowing(site.paths.tipDatabase()));
    following.keepRecordAs("OBXAnn.ZIP");
    return following.merge(progress).outcome;
  }
  QList<QStringList> everything() {
    return site.rows("SELECT * FROM \"Group\" ORDER BY GROUP_ID") +
           site.rows("SELECT * FROM Tips ORDER BY TIPS_ID");
  }
};

TEST_F(Import, TheSearchIndexFollowsTheImportWithoutARebuild) {
  search::TipIndex index(search::indexPathBeside(site.paths.tipDatabase()),
                         site.paths.tipDatabase());
  ASSERT_EQ(mergeFollowedBy(index), MergeOutcome::Merged);
  EXPECT_EQ(index.health(), search::TipIndex::Health::Current);
  const search::SearchResult found = index.search("replay");
  ASSERT_EQ(found.tips.size(), 1u);
  EXPECT_EQ(found.tips[0].subject, "Rebase onto main");
  EXPECT_EQ(found.tips[0].groupName, "Git");
}

TEST_F(Import, AStopOnceTheMergeHasLandedEndsOnlyTheIndexUpdate) {
  search::TipIndex index(search::indexPathBeside(site.paths.tipDatabase()),
                         site.paths.tipDatabase());
  // Asks to stop as soon as the work can stop again after its commit.
  struct StopsAfterTheCommit : tips::NoProgress {
    bool committed = false;
    bool cancellable = true;
    void setCancellable(bool c) override {
      committed = committed || (!cancellable && c);
      cancellable = c;
    }
    bool stopRequested() const override { return committed && cancellable; }
  } stopping;
  ASSERT_EQ(mergeFollowedBy(index, stopping), MergeOutcome::Merged);
  EXPECT_EQ(site.rows("SELECT count(*) FROM Tips WHERE TIP_SUBJECT = 'Rebase onto main'"),
            (QList<QStringList>{{"1"}}));
  EXPECT_EQ(index.health(), search::TipIndex::Health::Stale);
}

TEST_F(Import, MergeMatchesNamesAndSubjectsAndAddsOnlyWhatIsNew) {
  PackageDb p(site);
  p.group(10, "  vim  ", QDate(2027, 4, 28)); // exists: trimmed and case ignored
  p.group(11, "Git", QDate(2027, 2, 1));
  p.group(12, "Bob's corner", QDate(2027, 4, 28)); // stored here with a backtick
  p.group(13, "No picture", QDate(2027, 1, 1), false);
  p.group(14, "   ", QDate(2027, 4, 27));
  // Tips in table order; the merge meets them group by group in the order of the groups.
  p.tip(11, "registers", QDate(2027, 4, 29)); // after group 10's "Registers": skipped
  p.tip(10, "Registers", QDate(2027, 1, 10));
  p.tip(10, "pipes", QDate(2027, 4, 30));  // exists in another local group
  p.tip(99, "Orphan", QDate(2027, 4, 30)); // of no package group: never looked at
  p.tip(10, "  Folds  ", QDate(2027, 1, 11));
  p.tip(11, "Rebase", QDate(2027, 3, 3));
  p.tip(11, "Don't panic", QDate(2027, 2, 2));
  p.tip(12, "It's fine", QDate());
  p.tip(13, "Lonely", QDate(2027, 1, 1));
  p.tip(14, "Hidden", QDate(2027, 4, 27));

  ASSERT_EQ(import.open(), "");
  EXPECT_EQ(import.content(), (exchange::Tally{5, 10, QDate(2027, 4, 30)})); // "To Import"
  const exchange::Tally before = import.localSummary().total();

  // The preview walks as the merge does and writes nothing.
  const QList<QStringList> untouched = everything();
  const exchange::MergeResult planned = import.plan();
  ASSERT_EQ(planned.outcome, MergeOutcome::Merged);
  EXPECT_EQ(everything(), untouched);
  EXPECT_EQ(site.pictures().size(), 4);

  const exchange::MergeResult r = import.merge();
  ASSERT_EQ(r.outcome, MergeOutcome::Merged) << r.error.toStdString();
  EXPECT_EQ(site.rows("SELECT GROUP_ID, TIP_GROUP, TIP_GROUP_FOLD, G_LOCAL, G_IMPORT, G_ORIGINAL, "
                      "G_DATE FROM \"Group\" WHERE GROUP_ID > 3"),
            (QList<QStringList>{{"4", "Git", "git", "0", "-1", "0", "2027-05-20"},
                                {"5", "No picture", "no picture", "0", "-1", "0", "2027-05-20"}}));
  EXPECT_EQ(site.rows("SELECT GROUP_ID, TIP_SUBJECT, TIP_SUBJECT_FOLD, TIP_DESCRIPTION, TIP_LOCAL, "
                      "TIP_IMPORT, TIP_ORIGINAL, TIP_DATE FROM Tips WHERE TIPS_ID > 3"),
            (QList<QStringList>{
                {"1", "Registers", "registers", "Described", "0", "-1", "0", "2027-05-20"},
                {"1", "Folds", "folds", "Described", "0", "-1", "0", "2027-05-20"},
                {"4", "Rebase", "rebase", "Described", "0", "-1", "0", "2027-05-20"},
                {"4", "Don`t panic", "don`t panic", "Described", "0", "-1", "0", "2027-05-20"},
                {"3", "It`s fine", "it`s fine", "Described", "0", "-1", "0", "2027-05-20"},
                {"5", "Lonely", "lonely", "Described", "0", "-1", "0", "2027-05-20"}}));
  // New groups get the package picture under their new key, or the placeholder.
  EXPECT_EQ(Site::read(site.paths.groupPicture(4)), "pic:Git");
  EXPECT_EQ(Site::read(site.paths.groupPicture(5)), "placeholder");
  EXPECT_EQ(site.pictures(), (QStringList{"0.jpg", "1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg"}));

  // The "New" column counts what was added, with the package's own dates.
  EXPECT_EQ(r.added, (exchange::Tally{2, 6, QDate(2027, 3, 3)}));
  // The second Total: the old one plus the New counts; the rows themselves are dated today.
  const exchange::Tally after = import.localSummary().total();
  EXPECT_EQ(exchange::totalAfterMerge(before, r),
            (exchange::Tally{after.groups, after.tips, QDate(2027, 3, 3)}));
  EXPECT_EQ(after.latest, QDate(2027, 5, 20));

  // What was added and skipped, for the screen and a report.
  ASSERT_EQ(r.groups.size(), 5u);
  EXPECT_EQ(r.groups[0].fate, GroupFate::Existing);
  EXPECT_EQ(r.groups[0].localId, vim);
  EXPECT_EQ(r.groups[1].fate, GroupFate::Added);
  EXPECT_EQ(r.groups[1].packageId, 11);
  EXPECT_EQ(r.groups[1].localId, 4);
  EXPECT_EQ(r.groups[2].localId, bob);
  EXPECT_TRUE(r.groups[3].placeholderPicture);
  EXPECT_EQ(r.groups[4].fate, GroupFate::BlankName);
  QStringList tips;
  for (const exchange::MergedTip &t : r.tips)
    tips << QString("%1/%2/%3/%4")
                .arg(r.subjectOf(t), r.groupNameOf(t))
                .arg(int(t.fate))
                .arg(t.holderGroupId);
  EXPECT_EQ(tips,
            (QStringList{"Registers/Vim/0/0", "pipes/Vim/1/2", "Folds/Vim/0/0", "registers/Git/1/1",
                         "Rebase/Git/0/0", "Don`t panic/Git/0/0", "It`s fine/Bob`s corner/0/0",
                         "Lonely/No picture/0/0", "Hidden//3/0", "Orphan//4/0"}));
  // The plan said the same, with its own numbers for the groups it would add.
  ASSERT_EQ(planned.tips.size(), r.tips.size());
  for (std::size_t i = 0; i < r.tips.size(); ++i) {
    EXPECT_EQ(planned.subjectOf(planned.tips[i]), r.subjectOf(r.tips[i]));
    EXPECT_EQ(planned.tips[i].fate, r.tips[i].fate);
    EXPECT_EQ(planned.groupNameOf(planned.tips[i]), r.groupNameOf(r.tips[i]));
  }
  EXPECT_EQ(planned.added, r.added);
  EXPECT_EQ(planned.groups[1].localId, -1);
  EXPECT_EQ(r.tips[0].tipId, 4);
  EXPECT_EQ(r.holderNameOf(r.tips[1]), "Shell");

  // The working files are replaced by the next package; the group's picture stays.
  Site::write(site.dir.path() + "/other.jpg", "another package's 11");
  site.files.copyFile(site.dir.path() + "/other.jpg", site.root + "/OBXTemp/11.jpg");
  EXPECT_EQ(Site::read(site.paths.groupPicture(4)), "pic:Git");

  // The same package again adds nothing.
  const QList<QStringList> merged = everything();
  const exchange::MergeResult again = import.merge();
  ASSERT_EQ(again.outcome, MergeOutcome::Merged);
  EXPECT_EQ(again.added, exchange::Tally{});
  EXPECT_EQ(everything(), merged);
  EXPECT_EQ(site.pictures().size(), 6);
}

TEST_F(Import, APackageWithoutKeyColumnsIsMerged) {
  PackageDb p(site, false);
  p.group(1, "Old", QDate(2020, 1, 1));
  p.tip(1, "Ancient", QDate(2020, 1, 1));
  p.tip(1, "MACROS", QDate(2020, 1, 1));
  ASSERT_EQ(import.open(), "");
  const exchange::MergeResult r = import.merge();
  ASSERT_EQ(r.outcome, MergeOutcome::Merged) << r.error.toStdString();
  EXPECT_EQ(r.added, (exchange::Tally{1, 1, QDate(2020, 1, 1)}));
  EXPECT_EQ(site.rows("SELECT TIP_SUBJECT, TIP_SUBJECT_FOLD FROM Tips WHERE TIPS_ID > 3"),
            (QList<QStringList>{{"Ancient", "ancient"}}));
}

TEST_F(Import, APackageDatabaseThatIsNoPackageIsRefusedWithAMessage) {
  const QString path = site.root + "/OBXTemp/ombrixtipsie.mdb";
  const QList<QStringList> local = everything();
  auto refused = [&](const char *what) {
    SCOPED_TRACE(what);
    const QString problem = import.open();
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_FALSE(import.isOpen());
    const exchange::MergeResult r = import.merge();
    EXPECT_EQ(r.outcome, MergeOutcome::Failed);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_EQ(everything(), local);
    return problem;
  };
  EXPECT_TRUE(refused("missing").contains("missing"));
  EXPECT_FALSE(QFile::exists(path)); // the engine never made an empty file of it
  EXPECT_TRUE(site.tempFiles().isEmpty());

  Site::write(path, QByteArray(4096, 'x'));
  refused("no database");

  QFile::remove(path);
  Site::write(path, {});
  store::Database::open(path, store::OpenMode::ReadWrite)->exec("CREATE TABLE Other (x)");
  EXPECT_TRUE(refused("other tables").contains("Group"));

  QFile::remove(path);
  PackageDb p(site);
  p.exec("ALTER TABLE Tips DROP COLUMN TIP_DATE");
  EXPECT_TRUE(refused("a missing column").contains("TIP_DATE"));
}

TEST_F(Import, AnEmptyPackageTableMergesNothing) {
  PackageDb p(site);
  p.group(1, "Lonely group", QDate(2027, 1, 1));
  const QList<QStringList> local = everything();
  ASSERT_EQ(import.open(), "");
  EXPECT_EQ(import.merge().outcome, MergeOutcome::PackageEmpty);
  EXPECT_EQ(everything(), local);
}

TEST_F(Import, AMergeThatFailsHalfWayLeavesTheDatabaseAndPicturesAsTheyWere) {
  PackageDb p(site);
  for (int g = 1; g <= 3; ++g) {
    p.group(g, QString("New %1").arg(g), QDate(2027, 1, 1));
    p.tip(g, QString("Subject %1").arg(g), QDate(2027, 1, 1));
  }
  const QList<QStringList> local = everything();
  const QStringList pictures = site.pictures();
  site.files.failNth(FileOperation::Copy, 2);
  const exchange::MergeResult r = import.merge();
  EXPECT_EQ(r.outcome, MergeOutcome::Failed);
  EXPECT_TRUE(r.error.contains("Injected failure")) << r.error.toStdString();
  EXPECT_EQ(everything(), local);
  EXPECT_EQ(site.pictures(), pictures);

  // Nothing of the failed merge is in the way of the next one.
  const exchange::MergeResult next = import.merge();
  ASSERT_EQ(next.outcome, MergeOutcome::Merged) << next.error.toStdString();
  EXPECT_EQ(next.added.groups, 3);
}

} // namespace

TEST_F(Import, TheDetailsAndTheReportSayWhatTheMergeDoesAndDid) {
  PackageDb p(site);
  p.group(10, "vim", QDate(2027, 4, 28));
  p.group(11, "Git", QDate(2027, 2, 1));
  p.tip(10, "macros", QDate(2027, 1, 10)); // exists
  p.tip(11, "Rebase, then push", QDate(2027, 3, 3));
  p.tip(11, "=SUM(A1)", QDate(2027, 3, 3)); // a formula to a spreadsheet
  p.tip(11, "  ", QDate(2027, 3, 3));
  p.tip(99, "Orphan", QDate(2027, 3, 3));
  ASSERT_EQ(import.open(), "");

  const exchange::MergeResult planned = import.plan();
  QStringList lines;
  for (const exchange::DetailLine &line : exchange::detailLines(planned))
    lines << exchange::detailText(planned, line, false);
  EXPECT_EQ(lines, (QStringList{"Group \"vim\" matches the group \"Vim\"",
                                "    \"macros\" to skip: its subject exists in \"Vim\"",
                                "New group \"Git\"", "    \"Rebase, then push\" to add to \"Git\"",
                                "    \"=SUM(A1)\" to add to \"Git\"",
                                "    A tip to skip: its subject is blank",
                                "    \"Orphan\" to skip: its group is not in the package"}));
  EXPECT_EQ(exchange::detailSummary(planned, false), "2 tips to add, 3 skipped");

  const exchange::MergeResult r = import.merge();
  ASSERT_EQ(r.outcome, MergeOutcome::Merged);
  EXPECT_EQ(exchange::detailSummary(r, true), "2 tips added, 3 skipped");
  const exchange::DetailSums sums = exchange::detailSums(r);
  EXPECT_EQ(sums.tipsAdded, r.added.tips); // the New column
  EXPECT_EQ(sums.groupsAdded, r.added.groups);
  EXPECT_EQ(exchange::detailText(r, {true, 1}, true), "New group \"Git\" added");

  const QDateTime when(QDate(2026, 12, 8), QTime(14, 3, 22));
  const QString path = exchange::writeReport(site.paths, r, "/home/ann/OBXAnn.ZIP", when);
  EXPECT_TRUE(path.endsWith("/Reports/Import 2026-12-08 14-03-22 OBXAnn.csv"))
      << path.toStdString();
  EXPECT_EQ(Site::read(path),
            QByteArray("\xEF\xBB\xBF"
                       "outcome,group,subject,reason,local group\r\n"
                       "group matched,vim,,,Vim\r\n"
                       "tip skipped,vim,macros,its subject exists,Vim\r\n"
                       "group added,Git,,,Git\r\n"
                       "tip added,Git,\"Rebase, then push\",,Git\r\n"
                       "tip added,Git,'=SUM(A1),,Git\r\n"
                       "tip skipped,Git,,its subject is blank,\r\n"
                       "tip skipped,,Orphan,its group is not in the package,\r\n"));
}

TEST_F(Import, TheLastImportIsTakenBackSaveWhatChangedSince) {
  PackageDb p(site);
  p.group(10, "vim", QDate(2027, 4, 28));
  p.group(11, "Git", QDate(2027, 2, 1));
  p.group(12, "Make", QDate(2027, 2, 1));
  p.tip(10, "Registers", QDate(2027, 1, 10));
  p.tip(11, "Rebase", QDate(2027, 3, 3));
  p.tip(11, "Stash", QDate(2027, 3, 3));
  p.tip(12, "Targets", QDate(2027, 3, 3));
  const QList<QStringList> before = everything();
  import.keepRecordAs("OBXAnn.ZIP");
  ASSERT_EQ(import.merge().outcome, MergeOutcome::Merged);
  import.close();

  // The record outlives the program: a fresh read offers the import back.
  const std::optional<exchange::UndoOffer> offer = exchange::undoOffer(site.paths);
  ASSERT_TRUE(offer);
  EXPECT_EQ(offer->package, "OBXAnn.ZIP");
  EXPECT_EQ(offer->groups, 2);
  EXPECT_EQ(offer->tips, 4);
  EXPECT_TRUE(exchange::undoQuestion(*offer).startsWith("Take back the import of \"OBXAnn.ZIP\""));
  EXPECT_TRUE(exchange::undoQuestion(*offer).contains("It added 2 groups and 4 tips"));

  // Changed since: a description edited, and a tip of the user's own in an imported group.
  site.rows("UPDATE Tips SET TIP_DESCRIPTION = 'Mine now' WHERE TIP_SUBJECT = 'Stash'");
  const qint32 git = 4, make = 5;
  const exchange::UndoResult undone = exchange::undoLastImport(site.paths, nullptr);
  EXPECT_EQ(undone.tipsRemoved, 3);
  EXPECT_EQ(undone.groupsRemoved, 1);
  EXPECT_EQ(undone.keptTips, QStringList{"Stash"});
  EXPECT_EQ(undone.keptGroups, QStringList{"Git"});
  EXPECT_EQ(exchange::undoReport(undone),
            "The import was taken back: 1 group and 3 tips removed.\r\n"
            "These tips stay, as they changed since the import: \"Stash\".\r\n"
            "These groups stay, as they changed or hold other tips: \"Git\".");
  EXPECT_EQ(site.rows("SELECT TIP_SUBJECT FROM Tips WHERE TIPS_ID > 3"),
            (QList<QStringList>{{"Stash"}}));
  EXPECT_TRUE(QFile::exists(site.paths.groupPicture(git)));
  EXPECT_FALSE(QFile::exists(site.paths.groupPicture(make)));

  // Only the last import, and only once.
  EXPECT_FALSE(exchange::undoOffer(site.paths));
  EXPECT_EQ(exchange::undoLastImport(site.paths, nullptr).tipsRemoved, 0);
  site.rows("DELETE FROM Tips WHERE TIP_SUBJECT = 'Stash'");
  site.rows("DELETE FROM \"Group\" WHERE GROUP_ID = 4");
  EXPECT_EQ(everything(), before);
}

TEST_F(Import, AnImportThatAddedNothingLeavesNothingToTakeBack) {
  PackageDb p(site);
  p.group(10, "vim", QDate(2027, 4, 28));
  p.tip(10, "Macros", QDate(2027, 1, 10));
  import.keepRecordAs("OBXAnn.ZIP");
  ASSERT_EQ(import.merge().outcome, MergeOutcome::Merged);
  EXPECT_FALSE(exchange::undoOffer(site.paths));
}

TEST_F(Import, AStoppedMergeLeavesTheDatabaseAndPicturesByteForByte) {
  PackageDb p(site);
  p.group(11, "Git", QDate(2027, 2, 1));
  p.tip(11, "Rebase", QDate(2027, 3, 3));
  const QByteArray before = Site::read(site.paths.tipDatabase());
  const QStringList pictures = site.pictures();
  struct Stopping : tips::NoProgress {
    bool stopRequested() const override { return true; }
  } stopping;
  import.keepRecordAs("OBXAnn.ZIP");
  EXPECT_EQ(import.merge(stopping).outcome, MergeOutcome::Cancelled);
  EXPECT_EQ(Site::read(site.paths.tipDatabase()), before);
  EXPECT_EQ(site.pictures(), pictures);
  EXPECT_FALSE(exchange::undoOffer(site.paths));
}

TEST_F(Import, ARecordThatCannotBeWrittenIsToldAndTheMergeStands) {
  PackageDb p(site);
  p.group(11, "Git", QDate(2027, 2, 1));
  p.tip(11, "Rebase", QDate(2027, 3, 3));
  ASSERT_TRUE(QDir().mkpath(site.paths.lastImport())); // a folder where the record goes
  import.keepRecordAs("OBXAnn.ZIP");
  const exchange::MergeResult r = import.merge();
  EXPECT_EQ(r.outcome, MergeOutcome::Merged);
  EXPECT_EQ(r.added.tips, 1);
  EXPECT_TRUE(r.recordProblem.contains("cannot be written")) << r.recordProblem.toStdString();
  EXPECT_FALSE(exchange::undoOffer(site.paths));
}

TEST_F(Import, TheSearchIndexFollowsTheUndo) {
  search::TipIndex index(search::indexPathBeside(site.paths.tipDatabase()),
                         site.paths.tipDatabase());
  ASSERT_EQ(mergeFollowedBy(index), MergeOutcome::Merged);
  ASSERT_EQ(index.search("replay").tips.size(), 1u);
  index.close();

  exchange::undoLastImport(site.paths, search::indexFollowing(site.paths.tipDatabase()).get());
  EXPECT_EQ(index.health(), search::TipIndex::Health::Current);
  EXPECT_TRUE(index.search("replay").tips.empty());
}
