// The folders a starting program chooses: a portable folder as it is, else the user's data
// folder, made whole at the first start from an installed program's delivered files and
// never touched again.
#include "startup/DataFolder.h"
#include "framework/ContextIDs.h"
#include "framework/Program.h"
#include "framework/Screens.h"
#include "platform/MsgBox.h"
#include "platform/components/ComponentService.h"
#include "platform/files/FileService.h"
#include "screens/AllScreens.h"
#include "startup/InstallLayout.h"
#include "support/Installation.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

QByteArray contents(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void write(const QString &path, const QByteArray &bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(bytes);
}

// Every entry under folder (hidden ones too), relative to it, sorted.
QStringList tree(const QString &folder) {
  QStringList entries;
  QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext())
    entries << QDir(folder).relativeFilePath(it.next());
  entries.sort();
  return entries;
}

QStringList leftovers(const QString &dataFolder) {
  const QFileInfo prefix(buildFolderPrefix(dataFolder));
  return QDir(prefix.absolutePath())
      .entryList({prefix.fileName() + '*'}, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// An installed program under a temporary prefix (bin/, share/ombrixtips/ with the
// delivered files made read-only as a package installs them) and a user's home.
class DataFolders : public ::testing::Test {
protected:
  QTemporaryDir dir;
  QString prefix = dir.path() + "/usr";
  QString bin = prefix + "/bin";
  QString delivered = prefix + "/share/ombrixtips";
  QString home = dir.path() + "/home";
  QString data = home + "/.local/share/ombrixtips";
  FileService files{home};
  InstalledLayout layout{QString::fromUtf8(install::kLibraryFolder),
                         QString::fromUtf8(install::kDeliveredFolder)};

  void SetUp() override {
    QDir().mkpath(bin);
    QDir().mkpath(home);
    copyDeliveredProgramFolder(delivered);
    setReadOnly(delivered, true);
  }
  void TearDown() override { setReadOnly(delivered, false); }

  static void setReadOnly(const QString &folder, bool readOnly) {
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString path = it.next();
      QFile::setPermissions(path, readOnly ? QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther
                                           : QFile::ReadOwner | QFile::WriteOwner);
    }
  }

  ProgramFolders choose() { return chooseProgramFolders(bin, layout, data, files); }

  // What the first start is expected to lay out: the delivered files without the
  // installed program's own (help, library, registry).
  QStringList expectedTree() const {
    QStringList expected;
    for (const QString &entry : tree(delivered)) {
      const bool picture = entry.startsWith("images/") && entry.endsWith(".jpg");
      if (picture ||
          QStringList{"@@@@@@@@.@@@", "Export", "OBXTemp", "images", "ombrixtips.mdb"}.contains(
              entry))
        expected << entry;
    }
    return expected;
  }

  // The message of a DataFolderError thrown by choose(), or an empty text.
  QString chooseError() {
    try {
      choose();
    } catch (const DataFolderError &e) {
      return e.message();
    }
    return QString();
  }
};

TEST_F(DataFolders, APortableFolderWithAWritableDatabaseIsUsedAsItIs) {
  const QString portable = dir.path() + "/stick/ombrixtips";
  copyDeliveredProgramFolder(portable);
  const ProgramFolders folders = chooseProgramFolders(portable, layout, data, files);
  EXPECT_EQ(folders.kind, ProgramFolders::Kind::Portable);
  EXPECT_EQ(folders.data, portable);
  EXPECT_EQ(folders.components, portable);
  EXPECT_EQ(folders.help, portable);
  EXPECT_FALSE(QFileInfo::exists(home + "/.local")) << "nothing is written into the home";
}

TEST_F(DataFolders, TheFirstStartMakesTheDataFolderFromTheDeliveredFiles) {
  ASSERT_FALSE(QFileInfo::exists(home + "/.local/share"));
  const ProgramFolders folders = choose();
  EXPECT_EQ(folders.kind, ProgramFolders::Kind::FirstStart);
  EXPECT_EQ(folders.data, data);
  EXPECT_EQ(folders.components, QDir::cleanPath(prefix + "/lib/ombrixtips"));
  EXPECT_EQ(folders.help, delivered);

  EXPECT_EQ(tree(data), expectedTree());
  EXPECT_TRUE(tree(data).contains("images/0.jpg"));
  EXPECT_EQ(contents(data + "/ombrixtips.mdb"), contents(delivered + "/ombrixtips.mdb"));
  EXPECT_EQ(contents(data + "/images/1.jpg"), contents(delivered + "/images/1.jpg"));
  // The installed files are read-only; the user's copies are the user's to change.
  for (const QString &entry : tree(data))
    EXPECT_TRUE(QFileInfo(data + '/' + entry).isWritable()) << entry.toStdString();
  EXPECT_EQ(QDir(home + "/.local/share")
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"ombrixtips"})
      << "the build folder was renamed into place, nothing else is left";
}

TEST_F(DataFolders, TheDataFolderFollowsXdgDataHome) {
  QProcessEnvironment environment;
  EXPECT_EQ(userDataFolder(environment, "/home/ann"), "/home/ann/.local/share/ombrixtips");
  environment.insert("XDG_DATA_HOME", "");
  EXPECT_EQ(userDataFolder(environment, "/home/ann"), "/home/ann/.local/share/ombrixtips");
  environment.insert("XDG_DATA_HOME", "relative/share");
  EXPECT_EQ(userDataFolder(environment, "/home/ann"), "/home/ann/.local/share/ombrixtips");
  environment.insert("XDG_DATA_HOME", "/srv/ann/data/");
  EXPECT_EQ(userDataFolder(environment, "/home/ann"), "/srv/ann/data/ombrixtips");
}

TEST_F(DataFolders, TheProgramOpensOnTheGreetingOfAFirstRunWithItsLibraryAndHelpInstalled) {
  const ProgramFolders folders = choose();
  // The library installed and registered beside itself, as the install does.
  QDir().mkpath(folders.components);
  const QString library = folders.components + "/libflexora.so";
  ASSERT_TRUE(QFile::copy(QStringLiteral(OBX_PROGRAM_DIR) + "/libflexora.so", library));
  QString error;
  ASSERT_TRUE(ComponentService(folders.components).registerServer(library, &error))
      << error.toStdString();

  msgbox::Script messages;
  messages.queue(msgbox::vbOK);
  {
    Program program(screenCatalogue(), folders.data, folders.components, folders.help, home);
    program.setEndHandler([] {});
    EXPECT_EQ(program.paths().tipDatabase(), data + "/ombrixtips.mdb");
    EXPECT_EQ(program.components().registeredLibrary("FlexoraControl.Flexora"), library);
    ASSERT_TRUE(program.start());
    EXPECT_EQ(files.nativePath(program.help().helpFile()), delivered + "/OMBRIXTIPS.HLP");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown().front().title, "Ombrix Tips, Enter New User Details!");
    ASSERT_FALSE(program.screens().loaded().empty());
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(QFileInfo::exists(data + "/components.ini"));
}

TEST_F(DataFolders, LaterStartsAndUpgradesUseTheDataFolderAsItIs) {
  choose();
  write(data + "/ombrixtips.mdb", "the user's tips");
  write(data + "/images/9.jpg", "the user's picture");
  ASSERT_TRUE(QFile::remove(data + "/images/3.jpg")); // the user deleted that group
  const QStringList before = tree(data);
  EXPECT_EQ(choose().kind, ProgramFolders::Kind::Existing);

  // A new version delivers other tips and one more picture.
  setReadOnly(delivered, false);
  write(delivered + "/ombrixtips.mdb", "newer delivered tips");
  write(delivered + "/images/99.jpg", "a newer picture");
  const ProgramFolders folders = choose();
  EXPECT_EQ(folders.kind, ProgramFolders::Kind::Existing);
  EXPECT_EQ(folders.data, data);
  EXPECT_EQ(tree(data), before);
  EXPECT_EQ(contents(data + "/ombrixtips.mdb"), "the user's tips");
}

TEST_F(DataFolders, ADataFolderThatIsNoFolderIsReportedNamingItAndKept) {
  write(data, "a file where the data folder belongs");
  EXPECT_EQ(chooseError(),
            QString("The data folder \"%1\" of Ombrix Tips is not a folder.").arg(data));
  EXPECT_EQ(contents(data), "a file where the data folder belongs");

  QFile::remove(data);
  ASSERT_TRUE(QFile::link(dir.path() + "/gone", data));
  EXPECT_TRUE(chooseError().contains(data)) << "a link to nothing is no folder either";
  EXPECT_TRUE(QFileInfo(data).isSymLink());
  EXPECT_TRUE(leftovers(data).isEmpty());
}

TEST_F(DataFolders, ADamagedDataFolderIsUsedAndItsTipDatabaseReportedByName) {
  QDir().mkpath(data);
  write(data + "/images/0.jpg", "the user's placeholder");
  const ProgramFolders folders = choose();
  ASSERT_EQ(folders.kind, ProgramFolders::Kind::Existing);
  EXPECT_EQ(tree(data), QStringList({"images", "images/0.jpg"})) << "nothing is repaired";

  msgbox::Script messages;
  {
    Program program(screenCatalogue(), folders.data, folders.components, folders.help, home);
    bool ended = false;
    program.setEndHandler([&ended] { ended = true; });
    EXPECT_FALSE(program.start());
    EXPECT_TRUE(ended);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown().front().style, msgbox::vbCritical);
    EXPECT_TRUE(messages.shown().front().prompt.contains(data + "/ombrixtips.mdb"))
        << messages.shown().front().prompt.toStdString();
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(tree(data), QStringList({"images", "images/0.jpg"}));
}

TEST_F(DataFolders, AnInterruptedFirstStartLeavesNoHalfFolderAndTheNextStartMakesItWhole) {
  files.failNth(FileOperation::Copy, 3); // the tip database and the template are copied
  const QString error = chooseError();
  EXPECT_TRUE(
      error.startsWith(QString("The data folder \"%1\" of Ombrix Tips cannot be made: ").arg(data)))
      << error.toStdString();
  EXPECT_FALSE(QFileInfo::exists(data));
  EXPECT_TRUE(leftovers(data).isEmpty());

  EXPECT_EQ(choose().kind, ProgramFolders::Kind::FirstStart);
  EXPECT_EQ(tree(data), expectedTree());
}

TEST_F(DataFolders, MissingDeliveredFilesAreNamedAndNoDataFolderIsMade) {
  setReadOnly(delivered, false);
  ASSERT_TRUE(QFile::remove(delivered + "/@@@@@@@@.@@@"));
  QString error = chooseError();
  EXPECT_TRUE(error.contains(data) && error.contains(delivered + "/@@@@@@@@.@@@"))
      << error.toStdString();
  EXPECT_FALSE(QFileInfo::exists(data));
  EXPECT_TRUE(leftovers(data).isEmpty());

  QDir(delivered).removeRecursively();
  error = chooseError();
  EXPECT_TRUE(error.contains(delivered) && error.contains(bin)) << error.toStdString();
  EXPECT_FALSE(QFileInfo::exists(data));
}

TEST_F(DataFolders, ALeftoverOfAKilledFirstStartIsRemovedAndARunningOneKept) {
  const QString stale = buildFolderPrefix(data) + "k1ll3d";
  const QString running = buildFolderPrefix(data) + "runnin";
  write(stale + "/ombrixtips.mdb", "half");
  write(running + "/ombrixtips.mdb", "in progress");
  std::filesystem::last_write_time(stale.toStdString(),
                                   std::filesystem::file_time_type::clock::now() -
                                       std::chrono::seconds(kLeftoverAgeSeconds + 60));

  EXPECT_EQ(choose().kind, ProgramFolders::Kind::FirstStart);
  EXPECT_FALSE(QFileInfo::exists(stale));
  EXPECT_EQ(contents(running + "/ombrixtips.mdb"), "in progress");
}

TEST_F(DataFolders, AFolderThatAnotherStartMadeMeanwhileIsKept) {
  write(data + "/ombrixtips.mdb", "made by the other start");
  EXPECT_FALSE(makeDataFolder(delivered, data, files));
  EXPECT_EQ(tree(data), QStringList{"ombrixtips.mdb"});
  EXPECT_EQ(contents(data + "/ombrixtips.mdb"), "made by the other start");
  EXPECT_TRUE(leftovers(data).isEmpty());
}

TEST_F(DataFolders, AProgramFolderMarkedReadOnlyIsTheSourceOfTheDataFolder) {
  // A whole program folder installed read-only, without the share/ layout.
  const QString opt = dir.path() + "/opt/ombrixtips";
  copyDeliveredProgramFolder(opt);
  QFile::setPermissions(opt + "/ombrixtips.mdb", QFile::ReadOwner | QFile::ReadGroup);
  const ProgramFolders folders = chooseProgramFolders(opt, layout, data, files);
  QFile::setPermissions(opt + "/ombrixtips.mdb", QFile::ReadOwner | QFile::WriteOwner);
  EXPECT_EQ(folders.kind, ProgramFolders::Kind::FirstStart);
  EXPECT_EQ(folders.components, opt);
  EXPECT_EQ(folders.help, opt);
  EXPECT_EQ(contents(data + "/ombrixtips.mdb"), contents(opt + "/ombrixtips.mdb"));
  EXPECT_FALSE(QFileInfo::exists(data + "/components.ini"));
}

} // namespace
