// One exchange between two installations, through the core alone: each choice of kinds is
// exported on one, packed, unpacked on the other and merged; every row, flag, date,
// group key and picture that arrives is checked, and a second import adds nothing.
#include "ExchangeFixture.h"

#include <algorithm>
#include <set>

#include "exchange/ExchangePackage.h"
#include "exchange/ExportBuild.h"
#include "exchange/ImportPackage.h"
#include "exchange/UnzipLink.h"

namespace {

struct SourceTip {
  QString subject;
  QVariant original, local, imported;
};
struct SourceGroup {
  QString name;
  QVariant original, local, imported;
  std::vector<SourceTip> tips;
};

// The sender's collection: every kind, one group of two kinds, one of none.
const std::vector<SourceGroup> kSender = {
    {"Linux", T, F, F, {{"ls", T, F, F}, {"grep", F, T, F}}},
    {"Vim", F, T, F, {{"Macros", F, T, F}, {"Splits", F, F, T}}},
    {"Recipes", F, F, T, {{"Bread", F, F, T}}},
    {"Mixed", T, F, T, {{"Both", T, T, F}}},
    {"Nothing", N, N, N, {{"Plain", N, N, N}}},
};

// What a choice sends, by the export's rules: group names, and (group, subject) pairs.
void expectedExport(const exchange::ExportChoice &c, std::set<QString> &groups,
                    std::set<std::pair<QString, QString>> &tips) {
  for (const SourceGroup &g : kSender) {
    const bool delivered = store::isTrue(g.original);
    if (c.total || (c.initial && delivered))
      groups.insert(g.name);
    for (const SourceTip &t : g.tips) {
      const bool sent = c.total || (c.initial && delivered && store::isTrue(t.original)) ||
                        (c.local && store::isTrue(t.local)) ||
                        (c.imported && store::isTrue(t.imported));
      if (sent) {
        groups.insert(g.name);
        tips.insert({g.name, t.subject});
      }
    }
  }
}

class Exchange : public ::testing::Test {
protected:
  Site sender{QDate(2027, 5, 1)};

  void SetUp() override {
    sender.db()->exec("UPDATE Settings SET USER_FIRST = 'Ann'");
    for (const SourceGroup &g : kSender) {
      const qint32 id =
          sender.group(g.name, g.original, g.local, g.imported, QDate(2026, 12, 1), false);
      Site::write(sender.paths.groupPicture(id), "from Ann: " + g.name.toUtf8());
      for (const SourceTip &t : g.tips)
        sender.tip(id, t.subject, t.original, t.local, t.imported, QDate(2027, 2, 1),
                   "  About " + t.subject + "\r\nline two  ");
    }
  }

  // The receiver: a group of the sender's name in other letters, and subjects the sender
  // has, one of them in another group.
  static void fillReceiver(Site &r) {
    const qint32 vim = r.group("VIM", F, T, F, QDate(2027, 1, 1), false);
    Site::write(r.paths.groupPicture(vim), "receiver's vim");
    r.tip(vim, "Registers", F, T, F, QDate(2027, 1, 1));
    r.tip(vim, "MACROS", F, T, F, QDate(2027, 1, 1));
    const qint32 cooking = r.group("Cooking", F, T, F, QDate(2027, 1, 1), false);
    Site::write(r.paths.groupPicture(cooking), "receiver's cooking");
    r.tip(cooking, "bread", F, T, F, QDate(2027, 1, 1));
  }

  static QList<QStringList> groupsOf(Site &s) {
    QList<QStringList> rows = s.rows("SELECT TIP_GROUP, G_LOCAL, G_IMPORT, G_ORIGINAL, G_DATE, "
                                     "GROUP_ID FROM \"Group\"");
    for (QStringList &row : rows) // the key, as the picture it names
      row.last() = QString::fromUtf8(Site::read(s.paths.groupPicture(row.last().toInt())));
    std::sort(rows.begin(), rows.end());
    return rows;
  }
  static QList<QStringList> tipsOf(Site &s) {
    QList<QStringList> rows = s.rows(
        "SELECT g.TIP_GROUP, t.TIP_SUBJECT, t.TIP_DESCRIPTION, t.TIP_LOCAL, t.TIP_IMPORT, "
        "t.TIP_ORIGINAL, t.TIP_DATE FROM Tips t JOIN \"Group\" g ON g.GROUP_ID = t.GROUP_ID");
    std::sort(rows.begin(), rows.end());
    return rows;
  }
};

TEST_F(Exchange, EveryChoiceArrivesWholeAndASecondImportAddsNothing) {
  const std::vector<exchange::ExportChoice> choices = {
      {false, true, false, false}, {false, false, true, false}, {false, false, false, true},
      {false, true, true, false},  {false, true, false, true},  {false, false, true, true},
      {true, true, true, true}};
  for (const exchange::ExportChoice &choice : choices) {
    SCOPED_TRACE(testing::Message() << "initial " << choice.initial << " local " << choice.local
                                    << " imported " << choice.imported);
    // Export and pack on the sender.
    sender.freshExport();
    const exchange::ExportResult built =
        exchange::ExportBuild(sender.paths, sender.files).run(choice);
    ASSERT_TRUE(built.ok()) << built.error.toStdString();
    const QString name = exchange::readExportName(*sender.db());
    const exchange::PackResult packed = exchange::packExport(sender.paths, sender.files, name);
    ASSERT_TRUE(packed.ok()) << packed.error.toStdString();
    EXPECT_TRUE(packed.packagePath.endsWith("/OBXImpExp/OBXAnn.ZIP"));

    // Unpack and merge on the receiver.
    Site receiver;
    fillReceiver(receiver);
    QList<QStringList> groups = groupsOf(receiver);
    QList<QStringList> tipRows = tipsOf(receiver);
    const QString folder = QFileInfo(packed.packagePath).absolutePath();
    ASSERT_EQ(exchange::unpackPackage(receiver.paths, receiver.files,
                                      folder + "\\" + QFileInfo(packed.packagePath).fileName(),
                                      nullptr),
              0);
    exchange::ImportPackage import(receiver.paths, receiver.files, receiver.clock, nullptr);
    ASSERT_EQ(import.open(), "");
    EXPECT_EQ(import.content(), built.summary.toExport);
    const exchange::MergeResult merged = import.merge();
    ASSERT_EQ(merged.outcome, exchange::MergeOutcome::Merged) << merged.error.toStdString();

    // What should have arrived: new names as imported groups of today with the sender's
    // picture, new subjects as imported tips of today in the group of their name.
    std::set<QString> sentGroups;
    std::set<std::pair<QString, QString>> sentTips;
    expectedExport(choice, sentGroups, sentTips);
    QHash<QString, QString> localName = {{"vim", "VIM"}, {"cooking", "Cooking"}};
    std::set<QString> subjects = {"registers", "macros", "bread"};
    for (const QString &g : sentGroups) {
      if (localName.contains(g.toLower()))
        continue;
      localName.insert(g.toLower(), g);
      groups << QStringList{g, "0", "-1", "0", "2027-05-20", "from Ann: " + g};
    }
    for (const auto &[g, subject] : sentTips) {
      if (subjects.count(subject.toLower()))
        continue;
      subjects.insert(subject.toLower());
      tipRows << QStringList{localName.value(g.toLower()),
                             subject,
                             "About " + subject + "\r\nline two",
                             "0",
                             "-1",
                             "0",
                             "2027-05-20"};
    }
    std::sort(groups.begin(), groups.end());
    std::sort(tipRows.begin(), tipRows.end());
    EXPECT_EQ(groupsOf(receiver), groups);
    EXPECT_EQ(tipsOf(receiver), tipRows);

    // The same package once more: nothing new.
    ASSERT_EQ(exchange::unpackPackage(receiver.paths, receiver.files, packed.packagePath, nullptr),
              0);
    ASSERT_EQ(import.open(), "");
    EXPECT_EQ(import.merge().added, exchange::Tally{});
    EXPECT_EQ(groupsOf(receiver), groups);
    EXPECT_EQ(tipsOf(receiver), tipRows);
  }
}

} // namespace
