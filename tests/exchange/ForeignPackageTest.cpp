// Packages as other tools make them, imported through the exchange core: data descriptors
// (bsdtar, zip writing to a pipe), a zipped folder (beside a __MACOSX folder, or with
// Windows names), upper-case names, databases typed with SQLite's plain types; and what one
// package leaves behind (a -wal, a -journal, a folder named like a member) never reaching
// the next.
#include "ExchangeFixture.h"

#include <sqlite3.h>

#include "exchange/ExchangePackage.h"
#include "exchange/ImportPackage.h"
#include "exchange/UnzipLink.h"

namespace {

// --- a ZIP writer of stored members, as the tools lay them out ---------------------------

quint32 crc32Of(const QByteArray &data) {
  quint32 crc = 0xFFFFFFFFu;
  for (const char byte : data) {
    crc ^= quint8(byte);
    for (int k = 0; k < 8; ++k)
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void put16(QByteArray &out, quint32 v) {
  out.append(char(v & 0xFF));
  out.append(char((v >> 8) & 0xFF));
}
void put32(QByteArray &out, quint32 v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

struct Member {
  QString name;
  QByteArray data;
};

// descriptors: sizes and checksum follow each member's data instead of standing in its
// local header (general purpose flag bit 3), as a writer that cannot seek back does.
QByteArray zipOf(const std::vector<Member> &members, bool descriptors) {
  QByteArray out, central;
  for (const Member &m : members) {
    const QByteArray name = m.name.toUtf8();
    const quint32 crc = crc32Of(m.data), size = quint32(m.data.size()),
                  offset = quint32(out.size());
    const quint32 flags = (descriptors ? 0x0008u : 0u) | 0x0800u; // UTF-8 names
    put32(out, 0x04034b50);
    put16(out, 20);
    put16(out, flags);
    put16(out, 0); // stored
    put32(out, 0); // time and date
    put32(out, descriptors ? 0 : crc);
    put32(out, descriptors ? 0 : size);
    put32(out, descriptors ? 0 : size);
    put16(out, quint32(name.size()));
    put16(out, 0);
    out += name + m.data;
    if (descriptors) {
      put32(out, 0x08074b50);
      put32(out, crc);
      put32(out, size);
      put32(out, size);
    }
    put32(central, 0x02014b50);
    put16(central, 0x0314); // made on Unix
    put16(central, 20);
    put16(central, flags);
    put16(central, 0);
    put32(central, 0);
    put32(central, crc);
    put32(central, size);
    put32(central, size);
    put16(central, quint32(name.size()));
    put32(central, 0); // extra and comment lengths
    put32(central, 0); // disk number and internal attributes
    put32(central, (m.name.endsWith('/') ? 040755u : 0100644u) << 16);
    put32(central, offset);
    central += name;
  }
  const quint32 centralAt = quint32(out.size());
  out += central;
  put32(out, 0x06054b50);
  put32(out, 0);
  put16(out, quint32(members.size()));
  put16(out, quint32(members.size()));
  put32(out, quint32(central.size()));
  put32(out, centralAt);
  put16(out, 0);
  return out;
}

// --- package databases -------------------------------------------------------------------

void runSql(const QString &path, const char *sql) {
  sqlite3 *db = nullptr;
  ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
  char *error = nullptr;
  const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
  EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
  sqlite3_free(error);
  sqlite3_close(db);
}

// The rows every package below brings: group 7 "Shell" with two tips, dated in 2026.
const char *const kRows =
    "INSERT INTO \"Group\" (GROUP_ID, TIP_GROUP, G_LOCAL, G_IMPORT, G_ORIGINAL, G_DATE) "
    "VALUES (7, 'Shell', -1, 0, 0, '2026-03-04');"
    "INSERT INTO Tips (GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, TIP_LOCAL, TIP_IMPORT, "
    "TIP_ORIGINAL, TIP_DATE) VALUES (7, 'Pipes', 'a | b', -1, 0, 0, '2026-03-05'), "
    "(7, 'Globs', '*.txt', -1, 0, 0, '2026-03-06');";

enum class Types { Program, Plain, Untyped, Strict };

QByteArray packageDatabase(const QString &scratch, Types types) {
  const QString path = scratch + "/made.mdb";
  QFile::remove(path);
  switch (types) {
  case Types::Program:
    store::createDatabase(path, store::DatabaseKind::Template);
    break;
  case Types::Plain:
    runSql(path, "CREATE TABLE \"Group\" (GROUP_ID INTEGER PRIMARY KEY, TIP_GROUP TEXT, "
                 "G_LOCAL INTEGER, G_IMPORT BOOLEAN, G_ORIGINAL NUMERIC, G_DATE TEXT);"
                 "CREATE TABLE Tips (TIPS_ID INTEGER PRIMARY KEY, GROUP_ID INTEGER, "
                 "TIP_SUBJECT TEXT, TIP_DESCRIPTION TEXT, TIP_LOCAL INTEGER, TIP_IMPORT "
                 "INTEGER, TIP_ORIGINAL INTEGER, TIP_DATE TEXT);");
    break;
  case Types::Untyped:
    runSql(path, "CREATE TABLE \"Group\" (GROUP_ID, TIP_GROUP, G_LOCAL, G_IMPORT, G_ORIGINAL, "
                 "G_DATE); CREATE TABLE Tips (TIPS_ID, GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, "
                 "TIP_LOCAL, TIP_IMPORT, TIP_ORIGINAL, TIP_DATE);");
    break;
  case Types::Strict:
    runSql(path, "CREATE TABLE \"Group\" (GROUP_ID INTEGER PRIMARY KEY, TIP_GROUP TEXT, "
                 "G_LOCAL INT, G_IMPORT INT, G_ORIGINAL INT, G_DATE TEXT) STRICT;"
                 "CREATE TABLE Tips (TIPS_ID INTEGER PRIMARY KEY, GROUP_ID INTEGER, "
                 "TIP_SUBJECT TEXT, TIP_DESCRIPTION TEXT, TIP_LOCAL INT, TIP_IMPORT INT, "
                 "TIP_ORIGINAL INT, TIP_DATE TEXT) STRICT;");
    break;
  }
  runSql(path, kRows);
  return Site::read(path);
}

class ForeignPackage : public ::testing::Test {
protected:
  Site site;
  UnzipAnswers user;
  QString temp = site.root + "/OBXTemp/";

  QString put(const QString &name, const QByteArray &bytes) {
    const QString path = site.dir.path() + "/" + name;
    Site::write(path, bytes);
    return path;
  }
  // Unpacks, counts and merges as the import screens do; the merge's message, or empty.
  QString import(const QString &archive) {
    exchange::unpackPackage(site.paths, site.files, archive, &user);
    exchange::ImportPackage package(site.paths, site.files, site.clock, nullptr);
    QString problem = package.open();
    if (problem.isEmpty()) {
      const exchange::MergeResult merged = package.merge();
      problem = merged.error;
    }
    package.finish();
    return problem;
  }
  QList<QStringList> tips() {
    return site.rows("SELECT g.TIP_GROUP, t.TIP_SUBJECT FROM Tips t JOIN \"Group\" g "
                     "ON g.GROUP_ID = t.GROUP_ID ORDER BY t.TIPS_ID");
  }
  // What stays in OBXTemp once an import is over: the package text files alone.
  QStringList leftInTemp() const {
    return QDir(temp).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
  }
};

TEST_F(ForeignPackage, PackagesAsCommonToolsMakeThemImportWhole) {
  struct Case {
    const char *what;
    QString folder; // the members' folder inside the archive
    bool descriptors;
    Types types;
    QString database = "ombrixtipsie.mdb";
    QString picture = "7.jpg";
    std::vector<Member> extra = {};
  };
  const Case cases[] = {
      {"bsdtar, zip to a pipe: data descriptors", "", true, Types::Program},
      {"zip -r of the folder",
       "OBXAnn/",
       false,
       Types::Program,
       "ombrixtipsie.mdb",
       "7.jpg",
       {{"OBXAnn/", {}}, {"OBXAnn/OBXREAD.TXT", "hello"}}},
      {"a Mac's archive of the folder",
       "OBXAnn/",
       true,
       Types::Program,
       "ombrixtipsie.mdb",
       "7.jpg",
       {{"__MACOSX/OBXAnn/._7.jpg", "fork"}}},
      {"Windows names, two folders deep", "Downloads\\OBXAnn\\", false, Types::Program},
      {"upper-case names", "", false, Types::Program, "OMBRIXTIPSIE.MDB", "7.JPG"},
      {"plain SQLite types", "", false, Types::Plain},
      {"no types", "", false, Types::Untyped},
      {"STRICT tables", "", false, Types::Strict},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    // Each case starts from the user's database as it was: no Shell group yet.
    site.db()->exec("DELETE FROM Tips");
    site.db()->exec("DELETE FROM \"Group\"");
    std::vector<Member> members = c.extra;
    members.push_back({c.folder + c.picture, "Shell's picture"});
    members.push_back({c.folder + c.database, packageDatabase(site.dir.path(), c.types)});
    const QString archive = put("OBXAnn.ZIP", zipOf(members, c.descriptors));

    EXPECT_EQ(import(archive), QString());
    EXPECT_EQ(user.failures, QStringList());
    EXPECT_EQ(tips(), (QList<QStringList>{{"Shell", "Pipes"}, {"Shell", "Globs"}}));
    const QString id = site.rows("SELECT GROUP_ID FROM \"Group\"").value(0).value(0);
    EXPECT_EQ(Site::read(site.root + "/images/" + id + ".jpg"), "Shell's picture");
    EXPECT_EQ(site.rows("SELECT G_IMPORT, G_DATE FROM \"Group\""),
              (QList<QStringList>{{"-1", "2027-05-20"}}));
    // Only the package text files the package brought stay for the next export.
    const QStringList left = leftInTemp();
    EXPECT_TRUE(left.isEmpty() || left == QStringList{"OBXREAD.TXT"})
        << left.join(' ').toStdString();
    user.failures.clear();
  }
}

TEST_F(ForeignPackage, WhatARefusedPackageLeavesNeverReachesTheNextImport) {
  const QByteArray good =
      zipOf({{"7.jpg", "Shell's picture"},
             {"ombrixtipsie.mdb", packageDatabase(site.dir.path(), Types::Program)}},
            false);
  // A database of another group, to be read through a stale -wal or -journal.
  const QString other = site.dir.path() + "/other.mdb";
  runSql(other, "PRAGMA journal_mode=WAL; CREATE TABLE x(a); INSERT INTO x VALUES(1);");
  struct Case {
    const char *what;
    std::vector<Member> members;
  };
  const Case cases[] = {
      {"a -wal alone", {{"ombrixtipsie.mdb-wal", QByteArray(4096, 'w')}}},
      {"a -journal alone", {{"ombrixtipsie.mdb-journal", QByteArray(512, 'j')}}},
      {"a folder named like the database",
       {{"ombrixtipsie.mdb/", {}}, {"ombrixtipsie.mdb/x", "x"}}},
      {"a folder named like a picture", {{"7.jpg/", {}}, {"readme.txt", "junk"}}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    site.db()->exec("DELETE FROM Tips");
    site.db()->exec("DELETE FROM \"Group\"");
    // The refused package: its import fails, and leaves nothing.
    EXPECT_NE(import(put("OBXEve.ZIP", zipOf(c.members, false))), QString());
    EXPECT_EQ(leftInTemp(), QStringList());
    // Even when its files are back (a program stopped before the import was over), the
    // next unpacking starts from an empty folder.
    for (const Member &m : c.members)
      if (m.name.endsWith('/'))
        QDir().mkpath(temp + m.name);
      else
        Site::write(temp + m.name, m.data);
    EXPECT_EQ(import(put("OBXAnn.ZIP", good)), QString());
    EXPECT_EQ(tips(), (QList<QStringList>{{"Shell", "Pipes"}, {"Shell", "Globs"}}));
    EXPECT_EQ(leftInTemp(), QStringList());
  }
}

TEST_F(ForeignPackage, AFailedUnpackingSaysWhyInWordsAndLeavesNoFolder) {
  struct Case {
    QByteArray archive;
    int code;
    const char *words;
  };
  QByteArray damaged = zipOf({{"sub/1.jpg", QByteArray(3000, 'a')}}, false);
  damaged[damaged.indexOf(QByteArray(100, 'a')) + 10] = 'b';
  const Case cases[] = {
      {"this is no archive at all", exchange::UnzipLink::kNotAnArchive, "is not a ZIP package"},
      {damaged, exchange::UnzipLink::kArchiveError, "is damaged"},
      {zipOf({{"../stray.txt", "x"}}, false), exchange::UnzipLink::kRefused, "refused for safety"},
  };
  for (const Case &c : cases) {
    user.failures.clear();
    EXPECT_EQ(exchange::unpackPackage(site.paths, site.files, put("OBXEve.ZIP", c.archive), &user),
              c.code);
    ASSERT_EQ(user.failures.size(), 1);
    EXPECT_TRUE(user.failures[0].startsWith(QString("The ")));
    EXPECT_TRUE(user.failures[0].contains("\"OBXEve.ZIP\"")) << user.failures[0].toStdString();
    EXPECT_TRUE(user.failures[0].contains(c.words)) << user.failures[0].toStdString();
    EXPECT_TRUE(user.failures[0].contains(QString("(code %1)").arg(c.code)));
    EXPECT_EQ(leftInTemp(), QStringList());
  }
}

TEST_F(ForeignPackage, NamesEqualToTheEyeAreOneGroupAndOneSubject) {
  const QString composed = QString::fromUtf8("Caf\xC3\xA9");    // é as one character
  const QString decomposed = QString::fromUtf8("Cafe\xCC\x81"); // e + combining acute
  const qint32 cafe = site.group(composed, F, T, F, QDate(2026, 1, 1));
  site.tip(cafe, QString::fromUtf8("Cr\xC3\xA8me"), F, T, F, QDate(2026, 1, 1));

  const QString made = site.dir.path() + "/made.mdb";
  store::createDatabase(made, store::DatabaseKind::Template);
  {
    exchange::RowWriter w(store::Database::open(made, store::OpenMode::ReadWrite));
    const qint32 g = w.insertGroup(decomposed.toUpper(), T, F, F, QDate(2026, 2, 2));
    w.insertTip(g, QString::fromUtf8("Cre\xCC\x80me"), QString("same"), T, F, F, QDate(2026, 2, 2));
    w.insertTip(g, QString("Espresso"), QString("new"), T, F, F, QDate(2026, 2, 2));
  }
  EXPECT_EQ(import(put("OBXAnn.ZIP", zipOf({{"ombrixtipsie.mdb", Site::read(made)}}, false))),
            QString());
  EXPECT_EQ(site.rows("SELECT COUNT(*) FROM \"Group\""), (QList<QStringList>{{"1"}}));
  EXPECT_EQ(tips().size(), 2);
  EXPECT_EQ(tips().last(), (QStringList{composed, "Espresso"}));
}

} // namespace
