// The exchange package on disk: what "Compress File" writes, how a package is unpacked,
// and what a package from a stranger cannot do (write outside OBXTemp, fill the disk,
// crash the reader).
#include "ExchangeFixture.h"

#include <sys/stat.h>
#include <zip.h>

#include "exchange/ExchangePackage.h"
#include "exchange/UnzipLink.h"
#include "exchange/ZipLink.h"

namespace {

struct Entry {
  QString name;
  QByteArray data;
  bool stored = true;
  bool link = false;
};

void makeZip(const QString &path, const std::vector<Entry> &entries) {
  int error = 0;
  zip_t *za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(za, nullptr);
  for (const Entry &e : entries) {
    zip_source_t *src = zip_source_buffer(za, e.data.constData(), zip_uint64_t(e.data.size()), 0);
    const zip_int64_t i = zip_file_add(za, e.name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8);
    ASSERT_GE(i, 0) << e.name.toStdString();
    zip_set_file_compression(za, zip_uint64_t(i), e.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    if (e.link)
      zip_file_set_external_attributes(za, zip_uint64_t(i), 0, ZIP_OPSYS_UNIX,
                                       zip_uint32_t(S_IFLNK | 0777) << 16);
  }
  ASSERT_EQ(zip_close(za), 0);
}

struct Member {
  QString name;
  QByteArray data;
  bool stored;
  bool operator==(const Member &) const = default;
};

std::vector<Member> readZip(const QString &path) {
  std::vector<Member> out;
  int error = 0;
  zip_t *za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
  if (!za)
    return out;
  for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
    zip_stat_t st;
    zip_stat_index(za, zip_uint64_t(i), 0, &st);
    QByteArray data(qsizetype(st.size), '\0');
    zip_file_t *f = zip_fopen_index(za, zip_uint64_t(i), 0);
    zip_fread(f, data.data(), st.size);
    zip_fclose(f);
    out.push_back({QString::fromUtf8(st.name), data, st.comp_method == ZIP_CM_STORE});
  }
  zip_discard(za);
  return out;
}

QStringList namesOf(const std::vector<Member> &members) {
  QStringList names;
  for (const Member &m : members)
    names << m.name;
  return names;
}

class Package : public ::testing::Test {
protected:
  Site site;
  UnzipAnswers user;
  QString temp = site.root + "/OBXTemp/";
  QString exchange = site.home + "/OBXImpExp";

  void workingFiles() {
    Site::write(temp + "1.jpg", QByteArray(3000, 'a'));
    Site::write(temp + "2.jpg", "second picture");
    Site::write(temp + "OBXREAD.TXT", "read me");
    Site::write(temp + "notes.txt", "not packed");
  }
  int unpack(const QString &archive) {
    return exchange::unpackPackage(site.paths, site.files, archive, &user);
  }
};

TEST_F(Package, CompressFileWritesBareNamesInPatternOrderAndMovesTheFiles) {
  workingFiles();
  const exchange::PackResult r = exchange::packExport(site.paths, site.files, "export");
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  EXPECT_EQ(r.packageText, "C:\\OBXImpExp\\OBXexport.ZIP");
  EXPECT_EQ(r.packagePath, exchange + "/OBXexport.ZIP");
  const std::vector<Member> members = readZip(r.packagePath);
  EXPECT_EQ(namesOf(members), (QStringList{"OBXREAD.TXT", "1.jpg", "2.jpg", "ombrixtipsie.mdb"}));
  ASSERT_EQ(members.size(), 4u);
  EXPECT_EQ(members[1].data, QByteArray(3000, 'a'));
  EXPECT_TRUE(members[1].stored); // pictures are stored as they are
  EXPECT_EQ(members[3].data, Site::read(site.paths.exportDatabase()));
  // Moved: only what matched no specification stays.
  EXPECT_EQ(site.tempFiles(), QStringList{"notes.txt"});
  EXPECT_EQ(QDir(exchange).entryList(QDir::Files | QDir::Hidden), QStringList{"OBXexport.ZIP"});
}

TEST_F(Package, ANewExportReplacesTheOldPackageWholeOrNotAtAll) {
  QDir().mkpath(exchange);
  makeZip(exchange + "/OBXAnn.ZIP", {{"old.jpg", "old"}, {"ombrixtipsie.mdb", "old database"}});
  const QByteArray old = Site::read(exchange + "/OBXAnn.ZIP");

  // Packing fails half-way (a file vanishes while the archive is written): the old package
  // stays as it was, and so do the files still to pack.
  workingFiles();
  struct Striking : tips::NoProgress {
    QString picture;
    bool struck = false;
    void advance(qint64) override {
      if (!struck) {
        struck = true;
        QFile::remove(picture);
        QDir().mkpath(picture);
      }
    }
  } striking;
  striking.picture = temp + "2.jpg";
  const exchange::PackResult failed = exchange::packExport(site.paths, site.files, "Ann", striking);
  const bool struck = striking.struck;
  EXPECT_TRUE(struck);
  EXPECT_FALSE(failed.ok());
  EXPECT_NE(failed.code, 0);
  EXPECT_TRUE(failed.error.contains("OBXTemp")) << failed.error.toStdString();
  EXPECT_EQ(Site::read(exchange + "/OBXAnn.ZIP"), old);
  EXPECT_EQ(QDir(exchange).entryList(QDir::Files | QDir::Hidden), QStringList{"OBXAnn.ZIP"});
  EXPECT_EQ(site.tempFiles(),
            (QStringList{"1.jpg", "OBXREAD.TXT", "notes.txt", "ombrixtipsie.mdb"}));

  QDir().rmdir(temp + "2.jpg");
  const exchange::PackResult r = exchange::packExport(site.paths, site.files, "Ann");
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  EXPECT_EQ(namesOf(readZip(exchange + "/OBXAnn.ZIP")),
            (QStringList{"OBXREAD.TXT", "1.jpg", "ombrixtipsie.mdb"}));
}

TEST_F(Package, AStepThatFailsIsReportedAndTheWorkingFilesStay) {
  workingFiles();
  Site::write(exchange, "a file where the exchange folder goes");
  exchange::PackResult r = exchange::packExport(site.paths, site.files, "export");
  EXPECT_FALSE(r.ok());
  EXPECT_TRUE(r.error.contains(exchange)) << r.error.toStdString();
  EXPECT_EQ(site.tempFiles().size(), 4);

  QFile::remove(exchange);
  site.files.failNth(FileOperation::Copy, 1); // the copy of the export database
  r = exchange::packExport(site.paths, site.files, "export");
  EXPECT_FALSE(r.ok());
  EXPECT_FALSE(QFile::exists(exchange + "/OBXexport.ZIP"));
  EXPECT_EQ(site.tempFiles().size(), 4);

  // A folder where the package goes: nothing is packed, nothing removed.
  QDir().mkpath(exchange + "/OBXexport.ZIP");
  r = exchange::packExport(site.paths, site.files, "export");
  EXPECT_EQ(r.code, exchange::ZipLink::kCreate);
  EXPECT_EQ(site.tempFiles().size(), 5);
}

TEST_F(Package, UnpackingReplacesExistingFilesOrAsksWhenToldTo) {
  makeZip(site.dir.path() + "/p.zip", {{"1.jpg", "new one"}, {"ombrixtipsie.mdb", "db", false}});
  Site::write(temp + "1.jpg", "old one");
  // The file list's folder, a backslash and the name, as the import screen joins them.
  EXPECT_EQ(unpack(site.dir.path() + "\\p.zip"), 0);
  EXPECT_EQ(Site::read(temp + "1.jpg"), "new one");
  EXPECT_EQ(Site::read(temp + "ombrixtipsie.mdb"), "db");
  EXPECT_TRUE(user.asked.isEmpty());
  EXPECT_TRUE(user.failures.isEmpty());

  makeZip(site.dir.path() + "/q.zip",
          {{"a.jpg", "new a"}, {"b.jpg", "new b"}, {"c.jpg", "new c"}, {"d.jpg", "new d"}});
  for (const char *name : {"a.jpg", "b.jpg", "c.jpg"})
    Site::write(temp + name, "old");
  user.replies = {exchange::kReplaceYes, exchange::kReplaceNone};
  exchange::UnzipLink unzip(site.files, &user);
  EXPECT_EQ(
      unzip.UnzipToFolder(site.dir.path() + "/q.zip", site.root + "\\OBXTemp\\", 1, 0, 0, 1, 0, 0),
      0);
  EXPECT_EQ(user.asked,
            (QList<QStringList>{{"Overwrite a.jpg?", "QorUnzip - File already exists"},
                                {"Overwrite b.jpg?", "QorUnzip - File already exists"}}));
  EXPECT_EQ(Site::read(temp + "a.jpg"), "new a");
  EXPECT_EQ(Site::read(temp + "b.jpg"), "old");
  EXPECT_EQ(Site::read(temp + "c.jpg"), "old");
  EXPECT_EQ(Site::read(temp + "d.jpg"), "new d");
}

TEST_F(Package, AMemberThatWouldLandOutsideRefusesTheWholePackage) {
  const QStringList hostile = {"../evil.jpg",
                               "..\\evil.jpg",
                               "sub/../../evil.jpg",
                               "sub\\..\\..\\evil.jpg",
                               "/tmp/evil.jpg",
                               "\\evil.jpg",
                               "C:evil.jpg",
                               "C:\\evil.jpg",
                               ".."};
  for (const QString &name : hostile) {
    SCOPED_TRACE(name.toStdString());
    user.failures.clear();
    makeZip(site.dir.path() + "/p.zip", {{"1.jpg", "fine"}, {name, "evil"}});
    EXPECT_EQ(unpack(site.dir.path() + "/p.zip"), exchange::UnzipLink::kRefused);
    ASSERT_EQ(user.failures.size(), 1);
    EXPECT_TRUE(user.failures[0].contains("refused for safety"));
    EXPECT_TRUE(user.failures[0].contains("(code 3)"));
    EXPECT_TRUE(site.tempFiles().isEmpty());
    EXPECT_FALSE(QFile::exists(site.root + "/evil.jpg"));
    EXPECT_FALSE(QFile::exists("/tmp/evil.jpg"));
  }
  makeZip(site.dir.path() + "/p.zip", {{"1.jpg", "/etc/passwd", true, true}});
  EXPECT_EQ(unpack(site.dir.path() + "/p.zip"), exchange::UnzipLink::kRefused);
  EXPECT_TRUE(site.tempFiles().isEmpty());

  // A folder inside that is a link to elsewhere is not followed, nor is anything made there:
  // the unpacking refuses it, and the import's emptying of the folder removes the link.
  const QString elsewhere = site.dir.path() + "/elsewhere";
  QDir().mkpath(elsewhere);
  ASSERT_TRUE(QFile::link(elsewhere, temp + "sub"));
  makeZip(site.dir.path() + "/p.zip", {{"sub/deeper/x.jpg", "x"}, {"sub/y.jpg", "y"}});
  exchange::UnzipLink unzip(site.files, &user);
  EXPECT_EQ(
      unzip.UnzipToFolder(site.dir.path() + "/p.zip", site.root + "\\OBXTemp\\", 0, 1, 0, 1, 0, 0),
      exchange::UnzipLink::kRefused);
  EXPECT_EQ(unpack(site.dir.path() + "/p.zip"), 0);
  EXPECT_FALSE(QFileInfo(temp + "sub").isSymLink());
  EXPECT_TRUE(QDir(elsewhere).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());

  // Folder names inside the package stay inside the folder.
  makeZip(site.dir.path() + "/p.zip", {{"sub/./x.jpg", "x"}});
  EXPECT_EQ(unpack(site.dir.path() + "/p.zip"), 0);
  EXPECT_EQ(Site::read(temp + "sub/x.jpg"), "x");
}

// The archive's sizes set to a lie: the member says it unpacks to 100 bytes.
void declareSmallSize(const QString &path) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  QByteArray bytes = f.readAll();
  const char small[4] = {100, 0, 0, 0};
  ASSERT_TRUE(bytes.startsWith("PK\x03\x04"));
  bytes.replace(22, 4, small, 4);
  const qsizetype central = bytes.indexOf("PK\x01\x02");
  ASSERT_GT(central, 0);
  bytes.replace(central + 24, 4, small, 4);
  f.seek(0);
  f.write(bytes);
}

TEST_F(Package, ABombStopsAtTheBytesWrittenAndTheMemberCount) {
  exchange::UnzipLink unzip(site.files, &user);
  unzip.setLimits({1 << 20, 20});
  auto run = [&](const QString &archive) {
    return unzip.UnzipToFolder(archive, site.root + "\\OBXTemp\\", 0, 1, 0, 1, 0, 0);
  };
  const QString bomb = site.dir.path() + "/bomb.zip";
  makeZip(bomb, {{"1.jpg", "fine"}, {"big.mdb", QByteArray(8 << 20, '\0'), false}});
  EXPECT_LT(QFileInfo(bomb).size(), 64 << 10);
  EXPECT_EQ(run(bomb), exchange::UnzipLink::kRefused);
  EXPECT_TRUE(site.tempFiles().isEmpty());

  // The declared size lies; the bytes actually written are what counts.
  makeZip(bomb, {{"big.mdb", QByteArray(8 << 20, '\0'), false}});
  declareSmallSize(bomb);
  EXPECT_EQ(run(bomb), exchange::UnzipLink::kRefused);
  EXPECT_TRUE(unzip.lastError().contains("more than 1048576 bytes"))
      << unzip.lastError().toStdString();
  EXPECT_TRUE(site.tempFiles().isEmpty()) << site.tempFiles().join(' ').toStdString();

  std::vector<Entry> many;
  for (int i = 0; i < 21; ++i)
    many.push_back({QString("%1.jpg").arg(i), "x"});
  makeZip(bomb, many);
  EXPECT_EQ(run(bomb), exchange::UnzipLink::kRefused);
  EXPECT_TRUE(site.tempFiles().isEmpty());
  many.pop_back();
  makeZip(bomb, many);
  EXPECT_EQ(run(bomb), 0);
  EXPECT_EQ(site.tempFiles().size(), 20);
}

TEST_F(Package, ABrokenArchiveGivesACodeAndLeavesNothingBehind) {
  const QString archive = site.dir.path() + "/p.zip";
  EXPECT_EQ(unpack(archive), exchange::UnzipLink::kNotAnArchive); // missing
  Site::write(archive, "this is no archive at all");
  EXPECT_EQ(unpack(archive), exchange::UnzipLink::kNotAnArchive);
  ASSERT_EQ(user.failures.size(), 2);
  EXPECT_TRUE(user.failures[0].startsWith("The package \"p.zip\" cannot be found. (code 9)"));
  EXPECT_TRUE(user.failures[1].startsWith("The file \"p.zip\" is not a ZIP package"));

  makeZip(archive, {{"1.jpg", QByteArray(5000, 'a')}, {"2.jpg", QByteArray(5000, 'b')}});
  const QByteArray whole = Site::read(archive);
  Site::write(archive, whole.left(whole.size() / 2));
  EXPECT_NE(unpack(archive), 0);
  EXPECT_TRUE(site.tempFiles().isEmpty());

  // The second member's bytes are damaged: its checksum fails when it has been read, and
  // neither it nor the member before it is left in the folder.
  QByteArray damaged = whole;
  damaged[damaged.indexOf(QByteArray(100, 'b')) + 50] = 'c';
  Site::write(archive, damaged);
  EXPECT_EQ(unpack(archive), exchange::UnzipLink::kArchiveError);
  EXPECT_TRUE(site.tempFiles().isEmpty()) << site.tempFiles().join(' ').toStdString();

  // The files the first member replaced before the failure are put back as they were.
  Site::write(temp + "1.jpg", "mine");
  Site::write(temp + "2.jpg", "mine too");
  exchange::UnzipLink unzip(site.files, &user);
  EXPECT_EQ(unzip.UnzipToFolder(archive, site.root + "\\OBXTemp\\", 0, 1, 0, 1, 0, 0),
            exchange::UnzipLink::kArchiveError);
  EXPECT_EQ(site.tempFiles(), QStringList({"1.jpg", "2.jpg"}));
  EXPECT_EQ(Site::read(temp + "1.jpg"), "mine");
  EXPECT_EQ(Site::read(temp + "2.jpg"), "mine too");
}

} // namespace
