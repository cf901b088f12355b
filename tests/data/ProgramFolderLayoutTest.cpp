// The delivered files of the program folder: the tips source, the generated tip database,
// the template, the pictures, the help file, and that a new layout never replaces the
// user's data (the help file, the program's own, follows its source).
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "generator/DeliveredDatabase.h"
#include "generator/GroupPictures.h"
#include "generator/ProgramFolderLayout.h"
#include "generator/TipsSource.h"
#include "store/DataControl.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "tips/ProgramPaths.h"

using namespace obxdata;

namespace {

QString dataDir() { return QStringLiteral(OBX_DATA_DIR); }
QString tipsFile() { return QDir(dataDir()).filePath(QLatin1String(kTipsSource)); }

QByteArray fileHash(const QString &path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return {};
  return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

struct GroupRow {
  int id;
  QString name;
  QVariant local, import, original, date;
};
struct TipRow {
  int groupId;
  QString subject, description;
  QVariant local, import, original, date;
};

QList<GroupRow> readGroups(const QString &db) {
  store::DataControl dc;
  dc.setDatabaseName(db);
  dc.setRecordSource(QStringLiteral("Group"));
  dc.refresh();
  QList<GroupRow> rows;
  store::Recordset &rs = dc.recordset();
  if (rs.recordCount() < 1)
    return rows;
  rs.moveFirst();
  while (!rs.eof()) {
    rows.append({rs.field(QStringLiteral("GROUP_ID")).toInt(), rs.text(QStringLiteral("TIP_GROUP")),
                 rs.field(QStringLiteral("G_LOCAL")), rs.field(QStringLiteral("G_IMPORT")),
                 rs.field(QStringLiteral("G_ORIGINAL")), rs.field(QStringLiteral("G_DATE"))});
    rs.moveNext();
  }
  return rows;
}

QList<TipRow> readTips(const QString &db) {
  store::DataControl dc;
  dc.setDatabaseName(db);
  dc.setRecordSource(QStringLiteral("Tips"));
  dc.refresh();
  QList<TipRow> rows;
  store::Recordset &rs = dc.recordset();
  if (rs.recordCount() < 1)
    return rows;
  rs.moveFirst();
  while (!rs.eof()) {
    rows.append({rs.field(QStringLiteral("GROUP_ID")).toInt(),
                 rs.text(QStringLiteral("TIP_SUBJECT")), rs.text(QStringLiteral("TIP_DESCRIPTION")),
                 rs.field(QStringLiteral("TIP_LOCAL")), rs.field(QStringLiteral("TIP_IMPORT")),
                 rs.field(QStringLiteral("TIP_ORIGINAL")), rs.field(QStringLiteral("TIP_DATE"))});
    rs.moveNext();
  }
  return rows;
}

QStringList tableNames(const QString &db) {
  QStringList names;
  {
    auto conn = store::Database::open(db, store::OpenMode::ReadWrite);
    for (const QStringList &row :
         conn->rows(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                   "AND name NOT LIKE 'sqlite%' ORDER BY name")))
      names << row.value(0).toLower();
  }
  return names;
}

// A fresh program folder laid out once per test.
class LaidOutFolder : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.isValid());
    dir_ = QDir(temp_.filePath(QStringLiteral("ombrixtips")));
    report_ = layOutProgramFolder(dir_.path(), dataDir());
  }
  QString path(const QString &relative) const { return dir_.filePath(relative); }
  QString db() const { return path(relativeName(tips::relative::kTipDatabase)); }

  QTemporaryDir temp_;
  QDir dir_;
  LayoutReport report_;
};

} // namespace

// --- The tips source ---------------------------------------------------------------------

TEST(TipsSource, DeliveredFileIsValidAndSubstantial) {
  const TipCollection tips = readTipsFile(tipsFile());
  EXPECT_GE(tips.groups.size(), 6);
  EXPECT_GE(tips.tipCount(), 30);
  for (const auto &g : tips.groups) {
    EXPECT_GE(g.tips.size(), 3) << g.name.toStdString();
    for (const auto &t : g.tips) {
      EXPECT_GE(t.description.size(), 150) << "a few helpful lines: " << t.subject.toStdString();
      EXPECT_LE(t.subject.size(), 60) << t.subject.toStdString();
    }
  }
}

TEST(TipsSource, FirstGroupTeachesTheProgramAndListsFirst) {
  const TipCollection tips = readTipsFile(tipsFile());
  ASSERT_FALSE(tips.groups.isEmpty());
  const TipGroupText &first = tips.groups.first();
  // The main screen lists groups by name: the guide must also be first there.
  for (const auto &g : tips.groups) {
    if (&g != &first) {
      EXPECT_LT(first.name.compare(g.name, Qt::CaseInsensitive), 0) << g.name.toStdString();
    }
  }
  QString all;
  for (const auto &t : first.tips)
    all += t.subject + QLatin1Char('\n') + t.description + QLatin1Char('\n');
  for (const char *phrase :
       {"Tip Group", "Tip Subject", "First", "Previous", "Next", "Last",
        "Menu > Group Tip > Add New Group", "Menu > Subject and Description Tip", "Edit Group",
        "Delete Group", "Menu > Exchange Tips > Export Tips", "OBXImpExp", "Import Tips",
        "Tools > Settings > User Details", "Tools > Screen Position"})
    EXPECT_TRUE(all.contains(QLatin1String(phrase))) << phrase;
}

TEST(TipsSource, ParsesMarkersDescriptionsAndSettings) {
  const QString text = QStringLiteral("Preamble ## not a marker here\r\n"
                                      "\r\n"
                                      "## First Group\r\n"
                                      "colour: #102030\r\n"
                                      "emblem: gear\r\n"
                                      "label: ONE\r\n"
                                      "\r\n"
                                      "### A Subject\r\n"
                                      "\r\n"
                                      "  indented first line   \r\n"
                                      "\r\n"
                                      "It`s fine: apostrophes ' in descriptions\r\n"
                                      "\\## escaped marker\r\n"
                                      "\\\\ backslash\r\n"
                                      "# single hash stays\r\n"
                                      "\r\n"
                                      "## second group\n"
                                      "### Another One\n"
                                      "text\n");
  const TipCollection c = parseTips(text, QStringLiteral("t"));
  ASSERT_EQ(c.groups.size(), 2);
  EXPECT_EQ(c.groups[0].name, QStringLiteral("First Group"));
  EXPECT_EQ(c.groups[0].picture.colour, QColor(0x10, 0x20, 0x30));
  EXPECT_EQ(c.groups[0].picture.emblem, QStringLiteral("gear"));
  EXPECT_EQ(c.groups[0].picture.label, QStringLiteral("ONE"));
  ASSERT_EQ(c.groups[0].tips.size(), 1);
  EXPECT_EQ(c.groups[0].tips[0].subject, QStringLiteral("A Subject"));
  EXPECT_EQ(c.groups[0].tips[0].description,
            QStringLiteral("  indented first line\n\nIt`s fine: apostrophes ' in descriptions "
                           "## escaped marker \\ backslash # single hash stays"));
  // Defaults for a group without settings.
  EXPECT_TRUE(c.groups[1].picture.colour.isValid());
  EXPECT_TRUE(emblemNames().contains(c.groups[1].picture.emblem));
  EXPECT_EQ(c.groups[1].picture.label, QStringLiteral("SG"));
  EXPECT_EQ(c.tipCount(), 2);
}

TEST(TipsSource, JoinsTheLinesOfAParagraph) {
  const TipCollection c = parseTips(QStringLiteral("## G\n### S\n"
                                                   "First line of a paragraph\n"
                                                   "goes on here:\n"
                                                   "  command one\n"
                                                   "  command two\n"
                                                   "After the commands\n"
                                                   "and more.\n"
                                                   "\n"
                                                   "- item one\n"
                                                   "continues\n"
                                                   "* item two\n"
                                                   "1. numbered\n"
                                                   "2) numbered too\n"));
  EXPECT_EQ(c.groups[0].tips[0].description,
            QStringLiteral("First line of a paragraph goes on here:\n"
                           "  command one\n  command two\n"
                           "After the commands and more.\n"
                           "\n"
                           "- item one continues\n* item two\n1. numbered\n2) numbered too"));
}

TEST(TipsSource, RejectsBrokenInput) {
  const auto fails = [](const char *text) {
    try {
      parseTips(QString::fromUtf8(text), QStringLiteral("t"));
    } catch (const DataError &) {
      return true;
    }
    return false;
  };
  EXPECT_FALSE(fails("## G\n### S\nd\n"));
  EXPECT_TRUE(fails(""));                                     // no group
  EXPECT_TRUE(fails("### S\nd\n"));                           // subject before a group
  EXPECT_TRUE(fails("## G\n"));                               // group without tips
  EXPECT_TRUE(fails("## G\n### S\n\n  \n"));                  // tip without description
  EXPECT_TRUE(fails("## G\n### S\nd\n## g\n### T\nd\n"));     // group names ignore case
  EXPECT_TRUE(fails("## G\n### Sub\nd\n## H\n### SUB\nd\n")); // subjects unique over groups
  EXPECT_TRUE(fails("## It's\n### S\nd\n"));                  // apostrophe in a name
  EXPECT_TRUE(fails("## G\n### Don't\nd\n"));                 // apostrophe in a subject
  EXPECT_TRUE(fails("## G\n### S\nd\n#### x\n"));             // unknown marker
  EXPECT_TRUE(fails("## G\n### S\n##no blank\n"));            // marker typo
  EXPECT_TRUE(fails("## G\nshape: round\n### S\nd\n"));       // unknown setting
  EXPECT_TRUE(fails("## G\nemblem: star\n### S\nd\n"));       // unknown emblem
  EXPECT_TRUE(fails("## G\ncolour: red\n### S\nd\n"));        // colour not #rrggbb
  EXPECT_TRUE(fails("## G\nlabel: TOOLONGWORD\n### S\nd\n")); // label too long
  EXPECT_TRUE(fails("## G\nlabel: A\nlabel: B\n### S\nd\n")); // setting twice
  EXPECT_TRUE(fails("## \n### S\nd\n"));                      // empty name
  try {
    parseTips(QStringLiteral("## G\n### S\nd\n\n### s\nd\n"), QStringLiteral("x.txt"));
    FAIL() << "duplicate subject accepted";
  } catch (const DataError &e) {
    EXPECT_NE(std::string(e.what()).find("x.txt:5"), std::string::npos) << e.what();
  }
}

// --- A fresh layout ----------------------------------------------------------------------

TEST_F(LaidOutFolder, CreatesEveryDeliveredFile) {
  for (const char *file : {"ombrixtips.mdb", "@@@@@@@@.@@@", "images/0.jpg", "OMBRIXTIPS.HLP"})
    EXPECT_TRUE(QFileInfo(path(QLatin1String(file))).isFile()) << file;
  for (const char *folder : {"images", "Export", "OBXTemp"})
    EXPECT_TRUE(QFileInfo(path(QLatin1String(folder))).isDir()) << folder;
  EXPECT_TRUE(QDir(path(QStringLiteral("Export"))).isEmpty());
  EXPECT_TRUE(QDir(path(QStringLiteral("OBXTemp"))).isEmpty());
  EXPECT_TRUE(report_.created.contains(QStringLiteral("ombrixtips.mdb")));
  EXPECT_TRUE(report_.kept.isEmpty()) << report_.kept.join(QLatin1Char(' ')).toStdString();
  // No temporary file is left behind.
  const QStringList parts = dir_.entryList({QStringLiteral("*.part*")}, QDir::Files);
  EXPECT_TRUE(parts.isEmpty()) << parts.join(QLatin1Char(' ')).toStdString();
}

TEST_F(LaidOutFolder, DatabaseHoldsTheDeliveredTips) {
  const QList<GroupRow> groups = readGroups(db());
  const QList<TipRow> tips = readTips(db());
  EXPECT_GE(groups.size(), 6);
  EXPECT_GE(tips.size(), 30);
  const TipCollection source = readTipsFile(tipsFile());
  EXPECT_EQ(groups.size(), source.groups.size());
  EXPECT_EQ(tips.size(), source.tipCount());

  QSet<QString> names;
  QSet<int> ids;
  for (const GroupRow &g : groups) {
    SCOPED_TRACE(g.name.toStdString());
    EXPECT_GT(g.id, 0);
    EXPECT_FALSE(g.name.isEmpty());
    EXPECT_FALSE(g.name.contains(QLatin1Char('\'')));
    EXPECT_FALSE(names.contains(g.name.toCaseFolded())) << "duplicate group name";
    names.insert(g.name.toCaseFolded());
    ids.insert(g.id);
    EXPECT_TRUE(store::isTrue(g.original));
    EXPECT_EQ(g.original.toInt(), store::kTrue);
    EXPECT_EQ(g.local.toInt(), store::kFalse);
    EXPECT_FALSE(g.local.isNull());
    EXPECT_EQ(g.import.toInt(), store::kFalse);
    EXPECT_FALSE(g.import.isNull());
    EXPECT_EQ(g.date.toDate(), releaseDate());
  }
  QSet<QString> subjects;
  QHash<int, int> perGroup;
  for (const TipRow &t : tips) {
    SCOPED_TRACE(t.subject.toStdString());
    EXPECT_TRUE(ids.contains(t.groupId)) << "tip of an unknown group";
    ++perGroup[t.groupId];
    EXPECT_FALSE(t.subject.isEmpty());
    EXPECT_FALSE(t.subject.contains(QLatin1Char('\'')));
    EXPECT_FALSE(t.subject.contains(QLatin1Char('\n')));
    EXPECT_FALSE(subjects.contains(t.subject.toCaseFolded())) << "duplicate subject";
    subjects.insert(t.subject.toCaseFolded());
    EXPECT_FALSE(t.description.trimmed().isEmpty());
    EXPECT_EQ(t.original.toInt(), store::kTrue);
    EXPECT_EQ(t.local.toInt(), store::kFalse);
    EXPECT_FALSE(t.local.isNull());
    EXPECT_EQ(t.import.toInt(), store::kFalse);
    EXPECT_FALSE(t.import.isNull());
    EXPECT_EQ(t.date.toDate(), releaseDate());
  }
  for (int id : ids)
    EXPECT_GE(perGroup.value(id), 1) << "group " << id << " has no tips";

  // Descriptions arrive exactly as written, line breaks and apostrophes included.
  for (const TipGroupText &g : source.groups)
    for (const TipText &t : g.tips) {
      bool found = false;
      for (const TipRow &row : tips)
        if (row.subject == t.subject) {
          found = true;
          EXPECT_EQ(row.description, t.description) << t.subject.toStdString();
        }
      EXPECT_TRUE(found) << t.subject.toStdString();
    }
}

TEST_F(LaidOutFolder, EveryGroupHasALoadableJpegPicture) {
  const QList<GroupRow> groups = readGroups(db());
  ASSERT_FALSE(groups.isEmpty());
  QSet<QByteArray> hashes;
  for (const GroupRow &g : groups) {
    const QString file = path(QStringLiteral("images/%1.jpg").arg(g.id));
    ASSERT_TRUE(QFileInfo::exists(file)) << file.toStdString();
    QImageReader reader(file);
    EXPECT_EQ(reader.format(), QByteArray("jpeg")) << file.toStdString();
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << file.toStdString();
    EXPECT_EQ(image.size(), defaultPictureSize());
    hashes.insert(fileHash(file));
  }
  EXPECT_EQ(hashes.size(), groups.size()) << "every group has a picture of its own";
  // Pictures only for the groups.
  const QStringList jpgs =
      QDir(path(QStringLiteral("images"))).entryList({QStringLiteral("*.jpg")}, QDir::Files);
  EXPECT_EQ(jpgs.size(), groups.size() + 1);

  QImageReader placeholder(path(QStringLiteral("images/0.jpg")));
  EXPECT_EQ(placeholder.format(), QByteArray("jpeg"));
  EXPECT_FALSE(placeholder.read().isNull());
  EXPECT_FALSE(hashes.contains(fileHash(path(QStringLiteral("images/0.jpg")))));
}

TEST_F(LaidOutFolder, SettingsRowAsDelivered) {
  store::DataControl dc;
  dc.setDatabaseName(db());
  dc.setRecordSource(QStringLiteral("Settings"));
  dc.refresh();
  store::Recordset &rs = dc.recordset();
  ASSERT_EQ(rs.recordCount(), 1);
  rs.moveFirst();
  for (const char *name : {"USER_FIRST", "USER_LAST", "USER_EMAIL", "USER_CITY", "USER_COUNTRY"})
    EXPECT_TRUE(rs.isNull(QLatin1String(name))) << name;
  const store::WindowGeometry &geometry = store::kDefaultWindowGeometry;
  EXPECT_EQ(rs.field(QStringLiteral("USER_H")).toInt(), geometry.height);
  EXPECT_EQ(rs.field(QStringLiteral("USER_L")).toInt(), geometry.left);
  EXPECT_EQ(rs.field(QStringLiteral("USER_T")).toInt(), geometry.top);
  EXPECT_EQ(rs.field(QStringLiteral("USER_W")).toInt(), geometry.width);
  rs.moveNext();
  EXPECT_TRUE(rs.eof());
}

TEST_F(LaidOutFolder, TemplateHasEmptyGroupAndTipsAndNoSettings) {
  const QString tmpl = path(relativeName(tips::relative::kTemplateDatabase));
  const QStringList tables = tableNames(tmpl);
  EXPECT_TRUE(tables.contains(QStringLiteral("group")))
      << tables.join(QLatin1Char(' ')).toStdString();
  EXPECT_TRUE(tables.contains(QStringLiteral("tips")));
  EXPECT_FALSE(tables.contains(QStringLiteral("settings")));
  EXPECT_TRUE(readGroups(tmpl).isEmpty());
  EXPECT_TRUE(readTips(tmpl).isEmpty());
  // The tip database, for comparison, has all three.
  const QStringList dbTables = tableNames(db());
  for (const char *t : {"group", "tips", "settings"})
    EXPECT_TRUE(dbTables.contains(QLatin1String(t))) << t;
}

TEST_F(LaidOutFolder, HelpFileHasEveryTopic) {
  QFile help(path(relativeName(tips::relative::kHelpFile)));
  ASSERT_TRUE(help.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(help.readAll());
  for (int topic : {10, 20, 40, 60, 70, 90, 110, 200, 300})
    EXPECT_TRUE(html.contains(QStringLiteral("<a name=\"%1\"></a>").arg(topic))) << topic;
  EXPECT_TRUE(html.contains(QStringLiteral("<a name=\"contents\"></a>")));
  EXPECT_EQ(fileHash(path(relativeName(tips::relative::kHelpFile))),
            fileHash(QDir(dataDir()).filePath(QLatin1String(kHelpSource))));
}

// --- A layout over an existing folder ----------------------------------------------------

TEST_F(LaidOutFolder, SecondLayoutReplacesNothing) {
  // The user changes a tip, adds a group and gives group 1 a picture of their own.
  {
    store::DataControl tips;
    tips.setDatabaseName(db());
    tips.setRecordSource(QStringLiteral("Tips"));
    tips.refresh();
    store::Recordset &rs = tips.recordset();
    rs.moveFirst();
    rs.edit();
    rs.setField(QStringLiteral("TIP_DESCRIPTION"), QStringLiteral("My own words."));
    rs.update();
    store::DataControl groups;
    groups.setDatabaseName(db());
    groups.setRecordSource(QStringLiteral("Group"));
    groups.refresh();
    store::Recordset &g = groups.recordset();
    g.addNew();
    g.setField(QStringLiteral("TIP_GROUP"), QStringLiteral("My Group"));
    g.setField(QStringLiteral("G_LOCAL"), store::kTrue);
    g.setField(QStringLiteral("G_IMPORT"), store::kFalse);
    g.setField(QStringLiteral("G_ORIGINAL"), store::kFalse);
    g.setField(QStringLiteral("G_DATE"), QDate(2027, 1, 2));
    g.update();
  }
  QImage mine(40, 30, QImage::Format_RGB32);
  mine.fill(Qt::red);
  const QString picture1 = path(QStringLiteral("images/1.jpg"));
  QFile::remove(picture1);
  saveJpeg(mine, picture1);
  const QByteArray dbBefore = fileHash(db());
  const QByteArray pictureBefore = fileHash(picture1);
  const QByteArray placeholderBefore = fileHash(path(QStringLiteral("images/0.jpg")));
  const QByteArray templateBefore = fileHash(path(relativeName(tips::relative::kTemplateDatabase)));

  const LayoutReport again = layOutProgramFolder(dir_.path(), dataDir());
  EXPECT_TRUE(again.created.isEmpty()) << again.created.join(QLatin1Char(' ')).toStdString();
  EXPECT_TRUE(again.kept.contains(QStringLiteral("ombrixtips.mdb")));

  EXPECT_EQ(fileHash(db()), dbBefore);
  EXPECT_EQ(fileHash(picture1), pictureBefore);
  EXPECT_EQ(QImage(picture1).size(), QSize(40, 30));
  EXPECT_EQ(fileHash(path(QStringLiteral("images/0.jpg"))), placeholderBefore);
  EXPECT_EQ(fileHash(path(relativeName(tips::relative::kTemplateDatabase))), templateBefore);

  const QList<TipRow> tips = readTips(db());
  bool mineFound = false;
  for (const TipRow &t : tips)
    mineFound = mineFound || t.description == QStringLiteral("My own words.");
  EXPECT_TRUE(mineFound);
  bool groupFound = false;
  for (const GroupRow &g : readGroups(db()))
    groupFound = groupFound || g.name == QStringLiteral("My Group");
  EXPECT_TRUE(groupFound);
}

TEST_F(LaidOutFolder, HelpFileFollowsItsSourceAndIsLeftAloneWhenUnchanged) {
  // The help file is the program's, not the user's: a changed or damaged copy is put right.
  const QString help = path(relativeName(tips::relative::kHelpFile));
  const QByteArray source = fileHash(QDir(dataDir()).filePath(QLatin1String(kHelpSource)));
  const QDateTime written = QFileInfo(help).lastModified();
  LayoutReport again = layOutProgramFolder(dir_.path(), dataDir());
  EXPECT_TRUE(again.kept.contains(QStringLiteral("OMBRIXTIPS.HLP")));
  EXPECT_TRUE(again.refreshed.isEmpty());
  EXPECT_EQ(QFileInfo(help).lastModified(), written) << "an unchanged help file is not rewritten";

  QFile old(help);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
  old.write("the help of an older build");
  old.close();
  again = layOutProgramFolder(dir_.path(), dataDir());
  EXPECT_EQ(again.refreshed, QStringList({QStringLiteral("OMBRIXTIPS.HLP")}));
  EXPECT_TRUE(again.created.isEmpty());
  EXPECT_EQ(fileHash(help), source);
}

TEST_F(LaidOutFolder, MissingFilesAreAddedAndOnlyThose) {
  const QList<GroupRow> groups = readGroups(db());
  ASSERT_GE(groups.size(), 3);
  const QString gone = path(QStringLiteral("images/%1.jpg").arg(groups[2].id));
  ASSERT_TRUE(QFile::remove(gone));
  ASSERT_TRUE(QFile::remove(path(relativeName(tips::relative::kTemplateDatabase))));
  ASSERT_TRUE(QDir(path(QStringLiteral("OBXTemp"))).removeRecursively());
  const QByteArray dbBefore = fileHash(db());

  const LayoutReport again = layOutProgramFolder(dir_.path(), dataDir());
  QStringList created = again.created;
  created.sort();
  QStringList expected = {QStringLiteral("@@@@@@@@.@@@"), QStringLiteral("OBXTemp/"),
                          QStringLiteral("images/%1.jpg").arg(groups[2].id)};
  expected.sort();
  EXPECT_EQ(created, expected);
  EXPECT_FALSE(QImage(gone).isNull());
  EXPECT_EQ(fileHash(db()), dbBefore);
  EXPECT_EQ(tableNames(path(relativeName(tips::relative::kTemplateDatabase)))
                .contains(QStringLiteral("settings")),
            false);
}

TEST(ProgramFolder, LeftoverTemporaryFileDoesNotBlockTheLayout) {
  QTemporaryDir temp;
  ASSERT_TRUE(temp.isValid());
  QFile stale(QDir(temp.path()).filePath(QStringLiteral("ombrixtips.mdb.part")));
  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  stale.write("half a database");
  stale.close();
  layOutProgramFolder(temp.path(), dataDir());
  EXPECT_FALSE(QFileInfo::exists(stale.fileName()));
  EXPECT_GE(readGroups(QDir(temp.path()).filePath(QStringLiteral("ombrixtips.mdb"))).size(), 6);
}

TEST(ProgramFolder, WritersNeverReplaceAFile) {
  QTemporaryDir temp;
  ASSERT_TRUE(temp.isValid());
  const QString db = QDir(temp.path()).filePath(QStringLiteral("x.mdb"));
  const QList<int> ids = writeInitialDatabase(db, tipsFile());
  EXPECT_EQ(ids.size(), readTipsFile(tipsFile()).groups.size());
  EXPECT_EQ(ids.first(), 1);
  const QByteArray before = fileHash(db);
  EXPECT_THROW(writeInitialDatabase(db, tipsFile()), DataError);
  EXPECT_THROW(writeTemplateDatabase(db), DataError);
  EXPECT_EQ(fileHash(db), before);
}

TEST(ProgramFolder, BrokenTipsSourceFailsTheLayout) {
  QTemporaryDir data, program;
  ASSERT_TRUE(data.isValid() && program.isValid());
  QDir(data.path()).mkpath(QStringLiteral("tips"));
  QDir(data.path()).mkpath(QStringLiteral("help"));
  QFile tips(QDir(data.path()).filePath(QLatin1String(kTipsSource)));
  ASSERT_TRUE(tips.open(QIODevice::WriteOnly));
  tips.write("## G\n### Same\nd\n### same\nd\n");
  tips.close();
  QFile::copy(QDir(dataDir()).filePath(QLatin1String(kHelpSource)),
              QDir(data.path()).filePath(QLatin1String(kHelpSource)));
  EXPECT_THROW(layOutProgramFolder(program.path(), data.path()), DataError);
  EXPECT_FALSE(QFileInfo::exists(QDir(program.path()).filePath(QStringLiteral("ombrixtips.mdb"))));
}

// --- Pictures ----------------------------------------------------------------------------

TEST(Pictures, EveryEmblemDrawsADistinctColourfulPicture) {
  QSet<QByteArray> seen;
  for (const QString &emblem : emblemNames()) {
    const QImage image =
        drawGroupPicture({QColor(0x3b, 0x6e, 0xa5), emblem, QStringLiteral("WORD")});
    ASSERT_EQ(image.size(), defaultPictureSize());
    // The emblem is drawn in near-white over the background colour.
    int light = 0, coloured = 0;
    for (int y = 0; y < image.height(); y += 2)
      for (int x = 0; x < image.width(); x += 2) {
        const QColor c = image.pixelColor(x, y);
        if (c.lightness() > 230)
          ++light;
        else if (c.saturation() > 60)
          ++coloured;
      }
    EXPECT_GT(light, 300) << emblem.toStdString();
    EXPECT_GT(coloured, 3000) << emblem.toStdString();
    seen.insert(QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes()));
  }
  EXPECT_EQ(seen.size(), emblemNames().size());
}

TEST(Pictures, LabelAndColourChangeThePicture) {
  const QImage a =
      drawGroupPicture({QColor(0x3b, 0x6e, 0xa5), QStringLiteral("gear"), QStringLiteral("AB")});
  const QImage b =
      drawGroupPicture({QColor(0x3b, 0x6e, 0xa5), QStringLiteral("gear"), QStringLiteral("XY")});
  const QImage c =
      drawGroupPicture({QColor(0xa0, 0x52, 0x3d), QStringLiteral("gear"), QStringLiteral("AB")});
  EXPECT_NE(a, b) << "the label is drawn";
  EXPECT_NE(a, c);
  const QImage small = drawGroupPicture(
      {QColor(0x3b, 0x6e, 0xa5), QStringLiteral("globe"), QStringLiteral("NET")}, QSize(65, 73));
  EXPECT_EQ(small.size(), QSize(65, 73));
}

TEST(Pictures, PlaceholderIsNeutral) {
  const QImage p = drawPlaceholderPicture();
  ASSERT_EQ(p.size(), defaultPictureSize());
  for (int y = 0; y < p.height(); y += 5)
    for (int x = 0; x < p.width(); x += 5)
      EXPECT_LT(p.pixelColor(x, y).hsvSaturation(), 40) << x << "," << y;
  QTemporaryDir temp;
  ASSERT_TRUE(temp.isValid());
  const QString file = QDir(temp.path()).filePath(QStringLiteral("0.jpg"));
  saveJpeg(p, file);
  QImageReader reader(file);
  EXPECT_EQ(reader.format(), QByteArray("jpeg"));
  EXPECT_EQ(reader.read().size(), defaultPictureSize());
}
