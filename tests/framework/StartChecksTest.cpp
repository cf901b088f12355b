// What a start refuses before any screen opens: a second program on the same tips, and a
// program folder or tip database that may not be written.
#include "support/TestProgram.h"

#include "framework/Screens.h"
#include "startup/StartChecks.h"
#include "screens/AllScreens.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace {

class StartChecks : public ::testing::Test {
protected:
  TestProgram t;
  void SetUp() override { t.setUserDetails(); }

  // A program of its own on the installation's folder, as another start would make it.
  std::unique_ptr<Program> program() {
    auto p = std::make_unique<Program>(screenCatalogue(), t.folder(), t.home());
    p->setEndHandler([] {});
    return p;
  }
  QString lastMessage() {
    const auto &shown = t.messages().shown();
    return shown.empty() ? QString() : shown.back().prompt;
  }
};

TEST_F(StartChecks, ASecondProgramOnTheSameTipsIsRefusedUntilTheFirstEnds) {
  auto first = program();
  ASSERT_TRUE(first->start());
  ASSERT_FALSE(first->screens().loaded().empty());
  EXPECT_TRUE(QFileInfo::exists(InstanceLock::lockFile(t.folder())));

  {
    auto second = program();
    bool ended = false;
    second->setEndHandler([&ended] { ended = true; });
    t.messages().clearShown();
    EXPECT_FALSE(second->start());
    EXPECT_TRUE(ended);
    EXPECT_TRUE(second->screens().loaded().empty()) << "refused before any screen opens";
    ASSERT_EQ(t.messages().shown().size(), 1u);
    EXPECT_EQ(t.messages().shown().front().style, msgbox::vbCritical);
    EXPECT_TRUE(lastMessage().startsWith(
        QString("Ombrix Tips is already running on the tips in \"%1\"").arg(t.folder())))
        << lastMessage().toStdString();
  }
  // The refused program let go of nothing: the first still holds its tips.
  EXPECT_FALSE(program()->start());
  EXPECT_FALSE(first->ended());

  first.reset();
  t.settle();
  EXPECT_FALSE(QFileInfo::exists(InstanceLock::lockFile(t.folder())));
  auto next = program();
  EXPECT_TRUE(next->start());
  EXPECT_FALSE(next->screens().loaded().empty());
}

TEST_F(StartChecks, OneProgramStartingAgainKeepsItsOwnTips) {
  auto p = program();
  ASSERT_TRUE(p->start());
  t.messages().clearShown();
  EXPECT_TRUE(p->start());
  EXPECT_TRUE(t.messages().shown().empty());
}

TEST_F(StartChecks, FilesLeftHalfWrittenByAKilledProgramAreRemovedAndNothingElse) {
  const QString images = t.folder() + "/images/", temp = t.folder() + "/OBXTemp/";
  const QStringList left = {images + ".obx-copy-a1B2c3", images + ".obx-link-42-1",
                            temp + ".obx-unzip-keep-x9Y8z7"};
  const QStringList kept = {images + ".hidden-but-mine", temp + "obx-copy-notes.txt"};
  for (const QString &path : left + kept) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
  }
  ASSERT_TRUE(program()->start());
  for (const QString &path : left)
    EXPECT_FALSE(QFileInfo::exists(path)) << path.toStdString();
  for (const QString &path : kept)
    EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
}

TEST_F(StartChecks, TheLockOfAKilledProgramDoesNotBlockTheNextStart) {
  // The built program, portable in a copy of the program folder, killed while it runs.
  const QString exe = t.folder() + "/ombrixtips";
  ASSERT_TRUE(QFile::copy(QStringLiteral(OBX_PROGRAM_EXE), exe));
  QProcess killed;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert("HOME", t.home());
  environment.insert("XDG_DATA_HOME", t.home() + "/share");
  killed.setProcessEnvironment(environment);
  killed.start(exe, {});
  ASSERT_TRUE(killed.waitForStarted(30000));
  const QString lock = InstanceLock::lockFile(t.folder());
  for (int i = 0; i < 300 && !QFileInfo::exists(lock); ++i)
    QThread::msleep(100);
  ASSERT_TRUE(QFileInfo::exists(lock)) << "the program did not take its folder";

  // Another process holds the folder: refused, naming the folder.
  EXPECT_FALSE(program()->start());
  EXPECT_TRUE(lastMessage().contains(t.folder())) << lastMessage().toStdString();
  EXPECT_TRUE(lastMessage().contains(QString::number(killed.processId())))
      << lastMessage().toStdString();

  ::kill(static_cast<pid_t>(killed.processId()), SIGKILL);
  ASSERT_TRUE(killed.waitForFinished(30000));
  ASSERT_TRUE(QFileInfo::exists(lock)) << "a killed program leaves its lock";

  t.messages().clearShown();
  auto next = program();
  EXPECT_TRUE(next->start());
  EXPECT_TRUE(t.messages().shown().empty()) << lastMessage().toStdString();
  EXPECT_FALSE(next->screens().loaded().empty());
}

class ReadOnlyData : public StartChecks {
protected:
  QString restore;
  void TearDown() override {
    if (!restore.isEmpty())
      QFile::setPermissions(restore, QFile::permissions(restore) | QFileDevice::WriteOwner);
  }
  void markReadOnly(const QString &path) {
    restore = path;
    // WriteUser is the same bit for the owner: both go.
    ASSERT_TRUE(QFile::setPermissions(path, QFile::permissions(path) & ~QFileDevice::WriteOwner &
                                                ~QFileDevice::WriteUser));
  }
  // Starts on the installation's folder and expects a refusal before any screen, the
  // folder left without a lock; returns the message.
  QString refusal() {
    auto p = program();
    bool ended = false;
    p->setEndHandler([&ended] { ended = true; });
    t.messages().clearShown();
    EXPECT_FALSE(p->start());
    EXPECT_TRUE(ended);
    EXPECT_TRUE(p->screens().loaded().empty());
    EXPECT_FALSE(QFileInfo::exists(InstanceLock::lockFile(t.folder())));
    EXPECT_EQ(t.messages().shown().size(), 1u);
    return lastMessage();
  }
};

TEST_F(ReadOnlyData, AReadOnlyProgramFolderIsSaidAtStartNamingIt) {
  markReadOnly(t.folder());
  EXPECT_TRUE(
      refusal().startsWith(QString("The program folder \"%1\" is read-only: ").arg(t.folder())))
      << lastMessage().toStdString();
}

TEST_F(ReadOnlyData, AReadOnlyTipDatabaseIsSaidAtStartNamingIt) {
  const QString database = t.file("ombrixtips.mdb");
  markReadOnly(database);
  EXPECT_TRUE(refusal().startsWith(QString("The tip database \"%1\" is read-only: ").arg(database)))
      << lastMessage().toStdString();
  TearDown();
  restore.clear();
  auto p = program();
  EXPECT_TRUE(p->start()) << "once writable again, the tips open";
}

} // namespace
