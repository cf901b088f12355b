#include "CrashHarness.h"

#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sqlite3.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <zip.h>

#include "exchange/ExchangePackage.h"
#include "exchange/RowWriter.h"
#include "framework/Program.h"
#include "framework/Screen.h"
#include "framework/Screens.h"
#include "startup/StartChecks.h"
#include "platform/MsgBox.h"
#include "platform/files/FileService.h"
#include "screens/AllScreens.h"
#include "search/TipIndex.h"
#include "store/DataControl.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "support/Installation.h"
#include "tips/Clock.h"
#include "tips/ProgramPaths.h"
#include "tips/TipBook.h"

extern char **environ;

namespace crash {
namespace {

using namespace std::chrono_literals;

// --- sizes of the prepared data: large enough that a kill lands inside the operation --------

constexpr int kPictureBytes = 6 * 1024;
constexpr int kChosenPictureBytes = 512 * 1024;
constexpr int kMeasuredRuns = 2;
constexpr int kFaultsKept = 5; // descriptions kept per kind of fault

[[noreturn]] void harnessError(const QString &why) { throw std::runtime_error(why.toStdString()); }

void writeFile(const QString &path, const QByteArray &bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
    harnessError("cannot write " + path);
}

QByteArray randomBytes(int size, quint32 seed) {
  QByteArray bytes(size, Qt::Uninitialized);
  QRandomGenerator generator(seed);
  generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
  return bytes;
}

void copyFolder(const QString &from, const QString &to) {
  QDir().mkpath(to);
  QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QString target = to + '/' + QDir(from).relativeFilePath(path);
    if (it.fileInfo().isDir())
      QDir().mkpath(target);
    else if (!QFile::copy(path, target))
      harnessError("cannot copy " + path);
  }
}

// A program folder and the home folder that stands for drive C:.
struct Site {
  QString root;
  QString program = root + "/program";
  QString home = root + "/home";
  FileService files{home};
  tips::ProgramPaths paths{program, files};

  explicit Site(QString folder) : root(std::move(folder)) {}
  QString packagePath() const { return files.nativePath(exchange::packageText(kExportName)); }
};

// --- the prepared folders -------------------------------------------------------------------

// Groups of tipsEach tips each, with a picture per group in pictureFolder named by the
// group's key; names begin with prefix.
void addGroups(const QString &database, const QString &pictureFolder, const QString &prefix,
               int groups, int tipsEach, const QVariant &local, const QVariant &imported,
               const QVariant &original) {
  auto db = store::Database::open(database, store::OpenMode::ReadWrite);
  store::Database::Transaction transaction(db);
  exchange::RowWriter writer(db);
  const QDate day(2026, 11, 3);
  const QString text = QStringLiteral("A description long enough to be a real tip, with a few "
                                      "words that a search would find: compile, shortcut, "
                                      "window, folder, keyboard. Number %1.");
  for (int g = 1; g <= groups; ++g) {
    const QString name = groups == 1 ? prefix : QStringLiteral("%1 %2").arg(prefix).arg(g);
    const qint32 id = writer.insertGroup(name, local, imported, original, day);
    for (int t = 1; t <= tipsEach; ++t)
      writer.insertTip(id, QStringLiteral("%1 subject %2").arg(name).arg(t), text.arg(t), local,
                       imported, original, day);
    writeFile(pictureFolder + QStringLiteral("/%1.jpg").arg(id),
              randomBytes(kPictureBytes, quint32(id) * 7919u + quint32(prefix.size())));
  }
  transaction.commit();
}

void prepare(Operation operation, const Site &site, const Size &size) {
  copyDeliveredProgramFolder(site.program);
  for (const char *folder : {"/images", "/Export", "/OBXTemp"})
    QDir().mkpath(site.program + folder);
  QDir().mkpath(site.home);
  const QString tipDatabase = site.paths.tipDatabase();
  store::Database::open(tipDatabase, store::OpenMode::ReadWrite)
      ->exec("UPDATE Settings SET USER_FIRST='Ann', USER_LAST='Smith', "
             "USER_EMAIL='ann@example.org', USER_CITY='Perth', USER_COUNTRY='Australia'");
  const QVariant yes = store::kTrue, no = store::kFalse;
  switch (operation) {
  case Operation::Merge: {
    const QString package = site.program + "/OBXTemp/" + tips::relative::kPackageDatabaseName;
    store::createDatabase(package, store::DatabaseKind::Template);
    addGroups(package, site.program + "/OBXTemp", "Package Group", size.groups, size.tipsPerGroup,
              yes, no, no);
    break;
  }
  case Operation::Export:
    // As the main menu leaves it before the export screen: a fresh export database.
    addGroups(tipDatabase, site.paths.imagesFolder(), "Local Group", size.groups, size.tipsPerGroup,
              yes, no, no);
    if (!QFile::copy(site.paths.templateDatabase(), site.paths.exportDatabase()))
      harnessError("cannot make the export database");
    break;
  case Operation::AddGroup:
    writeFile(site.home + '/' + kNewPicture, randomBytes(kChosenPictureBytes, 17));
    break;
  case Operation::DeleteGroup:
    addGroups(tipDatabase, site.paths.imagesFolder(), kDoomedGroup, 1, size.doomedTips, yes, no,
              no);
    break;
  }
  // With a current search index, so that the operations keep it up to date as they go.
  search::TipIndex(search::indexPathBeside(tipDatabase), tipDatabase).rebuild();
}

// --- the child process ----------------------------------------------------------------------

struct Child {
  pid_t pid = -1;
  int output = -1;
  std::string read; // everything the child wrote to its standard output

  Child(const QStringList &arguments, const QString &errorFile, char **environment = environ) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
      harnessError("no pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    const QByteArray errors = QFile::encodeName(errorFile);
    posix_spawn_file_actions_addopen(&actions, 2, errors.constData(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    std::vector<QByteArray> bytes;
    for (const QString &a : arguments)
      bytes.push_back(QFile::encodeName(a));
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
      argv.push_back(b.data());
    argv.push_back(nullptr);
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environment);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    output = pipeEnds[0];
    if (spawned != 0)
      harnessError("cannot start " + arguments.front());
  }
  ~Child() {
    if (pid > 0) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
    if (output >= 0)
      ::close(output);
  }

  // Reads what is there, waiting up to timeoutMs; false at the end of the output.
  bool pump(int timeoutMs) {
    pollfd p{output, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0)
      return true;
    char buffer[256];
    const ssize_t n = ::read(output, buffer, sizeof buffer);
    if (n <= 0)
      return false;
    read.append(buffer, size_t(n));
    return true;
  }
  bool said(const char *word) const { return read.find(word) != std::string::npos; }
  bool waitFor(const char *word, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!said(word) && timer.elapsed() < timeoutMs)
      if (!pump(50))
        break;
    return said(word);
  }
  // The exit status once the child has ended; waits up to timeoutMs (-1: for good).
  std::optional<int> wait(int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    for (;;) {
      int status = 0;
      const pid_t ended = ::waitpid(pid, &status, timeoutMs < 0 ? 0 : WNOHANG);
      if (ended == pid) {
        pid = -1;
        while (pump(0)) {
        }
        return status;
      }
      if (timeoutMs >= 0 && timer.elapsed() >= timeoutMs)
        return std::nullopt;
      std::this_thread::sleep_for(5ms);
    }
  }
};

bool killedBySignal(int status, int signal) {
  return WIFSIGNALED(status) && WTERMSIG(status) == signal;
}

QString describeStatus(int status) {
  if (WIFEXITED(status))
    return QStringLiteral("exit status %1").arg(WEXITSTATUS(status));
  if (WIFSIGNALED(status))
    return QStringLiteral("signal %1").arg(WTERMSIG(status));
  return QStringLiteral("status %1").arg(status);
}

QString childErrors(const QString &errorFile) {
  QFile f(errorFile);
  return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()).trimmed() : QString();
}

// --- what a folder holds ----------------------------------------------------------------------

// PRAGMA integrity_check of a database opened afresh for writing, so that a hot journal is
// rolled back first, as the program's next open would; with fts, also FTS5's own check.
QString integrity(const QString &path, bool fts = false) {
  sqlite3 *db = nullptr;
  if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
      SQLITE_OK) {
    const QString why = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close(db);
    return why;
  }
  QStringList answers;
  auto collect = [](void *out, int, char **values, char **) {
    static_cast<QStringList *>(out)->append(QString::fromUtf8(values[0] ? values[0] : ""));
    return 0;
  };
  char *error = nullptr;
  if (sqlite3_exec(db, "PRAGMA integrity_check", collect, &answers, &error) != SQLITE_OK ||
      (fts && sqlite3_exec(db, "INSERT INTO tip_text(tip_text) VALUES ('integrity-check')", nullptr,
                           nullptr, &error) != SQLITE_OK)) {
    answers << QString::fromUtf8(error ? error : sqlite3_errmsg(db));
    sqlite3_free(error);
  }
  sqlite3_close(db);
  return answers.join("; ");
}

void hashRows(QCryptographicHash &hash, const QList<QStringList> &rows) {
  for (const QStringList &row : rows)
    hash.addData(row.join(QChar(0x1f)).toUtf8() + '\x1e');
}

struct DatabaseState {
  QByteArray digest;
  QList<qint32> groupIds;
};

// The rows of a tip, export or package database.
DatabaseState rowsOf(const QString &path) {
  auto db = store::Database::open(path, store::OpenMode::ReadWrite);
  QCryptographicHash hash(QCryptographicHash::Sha256);
  const QList<QStringList> groups = db->rows("SELECT * FROM \"Group\" ORDER BY GROUP_ID");
  hashRows(hash, groups);
  hashRows(hash, db->rows("SELECT * FROM Tips ORDER BY TIPS_ID"));
  DatabaseState state;
  for (const QStringList &g : groups)
    state.groupIds << g.front().toInt();
  state.digest = hash.result().toHex();
  return state;
}

// Every member of the package read whole (libzip checks each one's CRC), the database among
// them by its rows; "broken: ..." when the archive cannot be read.
QByteArray packageDigest(const QString &path, const QString &scratch) {
  int error = 0;
  zip_t *za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
  if (!za)
    return "broken: cannot open (libzip error " + QByteArray::number(error) + ")";
  QCryptographicHash hash(QCryptographicHash::Sha256);
  QByteArray result;
  const zip_int64_t count = zip_get_num_entries(za, 0);
  QStringList names;
  for (zip_int64_t i = 0; i < count && result.isEmpty(); ++i) {
    const QString name = QString::fromUtf8(zip_get_name(za, zip_uint64_t(i), 0));
    names << name;
    zip_file_t *member = zip_fopen_index(za, zip_uint64_t(i), 0);
    QByteArray bytes;
    char buffer[1 << 16];
    zip_int64_t n = 0;
    while (member && (n = zip_fread(member, buffer, sizeof buffer)) > 0)
      bytes.append(buffer, qsizetype(n));
    if (!member || n < 0) {
      result = "broken: member " + name.toUtf8();
    } else if (name == QLatin1String(tips::relative::kPackageDatabaseName)) {
      const QString copy = scratch + "/unpacked.mdb";
      QFile::remove(copy);
      writeFile(copy, bytes);
      hash.addData(name.toUtf8() + ':' + rowsOf(copy).digest);
      QFile::remove(copy);
    } else {
      hash.addData(name.toUtf8() + ':' + QCryptographicHash::hash(bytes, QCryptographicHash::Sha1));
    }
    if (member)
      zip_fclose(member);
  }
  zip_discard(za);
  if (!names.contains(QLatin1String(tips::relative::kPackageDatabaseName)) && result.isEmpty())
    result = "broken: no database";
  return result.isEmpty() ? hash.result().toHex() : result;
}

// The state an operation may leave: the tip database with its pictures, and for the export
// the export database and the package.
struct State {
  QByteArray tips;
  QByteArray exportRows;
  QByteArray package;
  QStringList groupsWithoutPicture;
  bool operator==(const State &o) const {
    return tips == o.tips && exportRows == o.exportRows && package == o.package;
  }
};

State stateOf(Operation operation, const Site &site, const QString &scratch) {
  State state;
  const DatabaseState tips = rowsOf(site.paths.tipDatabase());
  QCryptographicHash hash(QCryptographicHash::Sha256);
  hash.addData(tips.digest);
  for (qint32 id : tips.groupIds) {
    QFile picture(site.paths.groupPicture(id));
    if (!picture.open(QIODevice::ReadOnly)) {
      state.groupsWithoutPicture << QString::number(id);
      continue;
    }
    hash.addData(QByteArray::number(id) + ':' +
                 QCryptographicHash::hash(picture.readAll(), QCryptographicHash::Sha1));
  }
  state.tips = hash.result().toHex();
  if (operation == Operation::Export) {
    state.exportRows = rowsOf(site.paths.exportDatabase()).digest;
    // Only the package's own name counts as a package: a file packed half-way has
    // another one until it is whole.
    const QString package = site.packagePath();
    state.package = QFileInfo::exists(package) ? packageDigest(package, scratch) : "none";
    const QString exchange = QFileInfo(package).absolutePath();
    for (const QString &other : QDir(exchange).entryList({"*.zip", "*.ZIP"}, QDir::Files))
      if (exchange + '/' + other != package)
        state.package += " and " + other.toUtf8();
  }
  return state;
}

// The search index must not say it is current unless it holds exactly the tips.
QString indexProblem(const Site &site) {
  const QString database = site.paths.tipDatabase();
  const QString path = search::indexPathBeside(database);
  if (!QFileInfo::exists(path))
    return {};
  search::TipIndex index(path, database);
  if (index.health() != search::TipIndex::Health::Current)
    return {};
  index.close();
  auto ids = [](const QString &file, const QString &query) {
    return store::Database::open(file, store::OpenMode::ReadWrite)->rows(query);
  };
  sqlite3 *db = nullptr;
  QList<QStringList> indexed;
  if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
      SQLITE_OK) {
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid FROM tip_text ORDER BY rowid", -1, &s, nullptr);
    while (s && sqlite3_step(s) == SQLITE_ROW)
      indexed << QStringList{QString::number(sqlite3_column_int64(s, 0))};
    sqlite3_finalize(s);
  }
  sqlite3_close(db);
  const QList<QStringList> stored = ids(database, "SELECT TIPS_ID FROM Tips ORDER BY TIPS_ID");
  if (indexed == stored)
    return {};
  return QStringLiteral("the index says it is current, but holds %1 tips for %2")
      .arg(indexed.size())
      .arg(stored.size());
}

// What the rules library reads: every group and the subjects of each.
QString listingProblem(const Site &site) {
  try {
    tips::Clock clock;
    tips::TipBook book(site.paths, site.files, clock,
                       search::indexFollowing(site.paths.tipDatabase()));
    const auto groups = book.rows().groups();
    if (groups.empty())
      return QStringLiteral("no groups listed");
    size_t subjects = 0;
    for (const tips::ListEntry &g : groups)
      subjects += book.rows().subjects(g.id).size();
    if (subjects == 0)
      return QStringLiteral("no subjects listed");
    return {};
  } catch (const std::exception &e) {
    return QStringLiteral("listing failed: ") + QString::fromLocal8Bit(e.what());
  }
}

void settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }
}

// The program in this process: it starts on its main screen without a message and lists
// every group.
QString programProblem(const Site &site, int groups) {
  msgbox::Script messages;
  QString problem;
  {
    Program program(screenCatalogue(), site.program, site.home);
    program.setEndHandler([] {});
    const bool started = program.start();
    settle();
    Screen *screen = program.screens().active();
    auto *list = screen ? screen->findChild<QComboBox *>("Combo1") : nullptr;
    if (!started || !messages.shown().empty())
      problem = QStringLiteral("the program did not start: ") +
                (messages.shown().empty() ? QStringLiteral("no message")
                                          : messages.shown().front().prompt);
    else if (!list || list->count() != groups)
      problem = QStringLiteral("the main screen lists %1 groups of %2")
                    .arg(list ? list->count() : -1)
                    .arg(groups);
  }
  settle();
  return problem;
}

// The built program, portable in the crashed folder: it must take its folder and still run
// a second later (a start that fails ends at once, or sits on a message box that the
// in-process start above would have seen); then it is asked to end.
QString builtProgramProblem(const Site &site) {
  const QString exe = site.program + "/ombrixtips";
  QFile::remove(exe);
  if (::link(OBX_PROGRAM_EXE, QFile::encodeName(exe).constData()) != 0 &&
      !QFile::copy(OBX_PROGRAM_EXE, exe))
    harnessError("cannot place the program in " + site.program);
  std::vector<QByteArray> variables;
  for (char **e = environ; *e; ++e) {
    const QByteArray v(*e);
    if (!v.startsWith("HOME=") && !v.startsWith("XDG_DATA_HOME=") &&
        !v.startsWith("QT_QPA_PLATFORM="))
      variables.push_back(v);
  }
  variables.push_back("HOME=" + QFile::encodeName(site.home));
  variables.push_back("XDG_DATA_HOME=" + QFile::encodeName(site.home) + "/share");
  variables.push_back("QT_QPA_PLATFORM=offscreen");
  std::vector<char *> environment;
  for (QByteArray &v : variables)
    environment.push_back(v.data());
  environment.push_back(nullptr);

  const QString errors = site.root + "/program.err";
  Child program({exe}, errors, environment.data());
  const QString lock = InstanceLock::lockFile(site.program);
  QElapsedTimer timer;
  timer.start();
  std::optional<int> ended;
  while (!QFileInfo::exists(lock) && !(ended = program.wait(0)) && timer.elapsed() < 30000)
    std::this_thread::sleep_for(20ms);
  if (!ended && QFileInfo::exists(lock))
    ended = program.wait(1000);
  if (ended)
    return QStringLiteral("the built program ended at its start (%1): %2")
        .arg(describeStatus(*ended), childErrors(errors));
  if (!QFileInfo::exists(lock))
    return QStringLiteral("the built program did not take its folder");
  ::kill(program.pid, SIGTERM);
  const int status = program.wait(-1).value_or(0);
  if (!killedBySignal(status, SIGTERM) && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
    return QStringLiteral("the built program ended badly (%1): %2")
        .arg(describeStatus(status), childErrors(errors));
  return {};
}

// --- the kills --------------------------------------------------------------------------------

struct Point {
  QString kind; // file-before, file-after, write, sync; empty: a random moment
  int nth = 0;
  int delayUs = 0;
};

struct Counts {
  int fileOperations = 0;
  int writes = 0;
  int syncs = 0;
};

// Chosen points spread evenly over each kind, the first and the last of each included.
std::vector<Point> chosenPoints(const Counts &counts, int wanted) {
  const std::vector<std::pair<QString, int>> kinds = {{"file-before", counts.fileOperations},
                                                      {"file-after", counts.fileOperations},
                                                      {"write", counts.writes},
                                                      {"sync", counts.syncs}};
  int present = 0;
  for (const auto &k : kinds)
    present += k.second > 0;
  std::vector<Point> points;
  int left = wanted;
  for (const auto &[kind, total] : kinds) {
    if (total == 0)
      continue;
    const int share = std::min(total, (left + present - 1) / present);
    for (int i = 0; i < share; ++i)
      points.push_back({kind, share == 1 ? 1 : 1 + int(qint64(i) * (total - 1) / (share - 1))});
    left -= share;
    --present;
  }
  return points;
}

class Run {
public:
  Run(Operation operation, const Options &options)
      : operation_(operation), options_(options), random_(options.seed) {
    if (!scratch_.isValid())
      harnessError("no temporary folder");
    figures_.operation = operation;
    pristine_ = scratch_.path() + "/pristine";
    prepare(operation, Site(pristine_), options.size);
    // The state before, read once from a copy as every kill will be read.
    fresh();
    before_ = stateOf(operation_, site(), scratch_.path());
  }

  Figures go() {
    measure();
    std::vector<Point> plan = chosenPoints(counts_, options_.kills / 2);
    int attempts = 0;
    size_t next = 0;
    // Chosen points and random moments alternate, so that a sample of either starts the
    // program.
    while (figures_.kills < options_.kills && attempts++ < options_.kills * 8) {
      Point point;
      const bool chosen = next < plan.size() && figures_.kills % 2 == 0;
      if (chosen)
        point = plan[next++];
      else
        point.delayUs = int(random_.bounded(std::max(1.0, durationUs_)));
      killOnce(point);
    }
    if (figures_.kills < options_.kills)
      harnessError(QStringLiteral("%1: only %2 of %3 kills landed")
                       .arg(operationName(operation_))
                       .arg(figures_.kills)
                       .arg(options_.kills));
    return figures_;
  }

private:
  Site site() const { return Site(scratch_.path() + "/run"); }

  void fresh() {
    const QString run = scratch_.path() + "/run";
    QDir(run).removeRecursively();
    copyFolder(pristine_, run);
  }

  QStringList childArguments(const Point &point) const {
    const Site s = site();
    QStringList arguments = {OBX_CRASH_CHILD, operationName(operation_), s.program, s.home};
    if (!point.kind.isEmpty())
      arguments << point.kind << QString::number(point.nth);
    return arguments;
  }

  // Undisturbed runs: how long the operation takes, how many file operations, writes and
  // syncs it makes, and the state it leaves.
  void measure() {
    std::vector<double> durations;
    for (int i = 0; i < kMeasuredRuns; ++i) {
      fresh();
      const QString errors = scratch_.path() + "/child.err";
      QFile::remove(errors);
      Child child(childArguments({}), errors);
      if (!child.waitFor("ready", 60000))
        harnessError(operationName(operation_) + ": the child did not start");
      QElapsedTimer timer;
      timer.start();
      child.waitFor("done", 600000);
      durations.push_back(double(timer.nsecsElapsed()) / 1000.0);
      const int status = child.wait(-1).value_or(-1);
      if (!child.said("done") || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        harnessError(
            QStringLiteral("%1 fails undisturbed (%2): %3")
                .arg(operationName(operation_), describeStatus(status), childErrors(errors)));
      const auto done = QString::fromStdString(child.read.substr(child.read.find("done")))
                            .split(' ', Qt::SkipEmptyParts);
      counts_ = {done.value(1).toInt(), done.value(2).toInt(), done.value(3).toInt()};
      const State state = stateOf(operation_, site(), scratch_.path());
      if (i == 0)
        after_ = state;
      else if (!(state == after_))
        harnessError(operationName(operation_) + ": two undisturbed runs ended differently");
    }
    if (after_ == before_)
      harnessError(operationName(operation_) + ": the operation changed nothing");
    std::sort(durations.begin(), durations.end());
    // Random moments fall within the quickest undisturbed run: a kill drawn past the end
    // of a run that happens to be quick lands nowhere (the first run, on cold caches, is
    // often several times slower than the next).
    durationUs_ = durations.front();
    figures_.operationMs = durations[durations.size() / 2] / 1000.0;
  }

  void fault(int Figures::*counter, const QString &what) {
    ++(figures_.*counter);
    if (figures_.faults.size() < kFaultsKept * 6)
      figures_.faults << QStringLiteral("%1, kill %2: %3")
                             .arg(operationName(operation_))
                             .arg(figures_.kills)
                             .arg(what);
  }

  void killOnce(const Point &point) {
    fresh();
    const QString errors = scratch_.path() + "/child.err";
    QFile::remove(errors);
    int status = 0;
    {
      Child child(childArguments(point), errors);
      if (!child.waitFor("ready", 60000))
        harnessError(operationName(operation_) + ": the child did not start");
      if (point.kind.isEmpty()) {
        std::this_thread::sleep_for(std::chrono::microseconds(point.delayUs));
        ::kill(child.pid, SIGKILL);
      }
      status = child.wait(600000).value_or(-1);
    }
    if (!killedBySignal(status, SIGKILL)) {
      // It ended before the kill came (or never met its point): no kill to count.
      ++figures_.missed;
      if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
        harnessError(
            QStringLiteral("%1 failed undisturbed (%2): %3")
                .arg(operationName(operation_), describeStatus(status), childErrors(errors)));
      return;
    }
    const int kill = figures_.kills++;
    if (!point.kind.isEmpty()) {
      ++figures_.chosenKills;
      ++figures_.chosenByKind[point.kind];
    }
    check(kill, point);
  }

  void check(int kill, const Point &point) {
    const Site s = site();
    const QString where = point.kind.isEmpty()
                              ? QStringLiteral("%1 us in").arg(point.delayUs)
                              : QStringLiteral("%1 %2").arg(point.kind).arg(point.nth);
    QStringList databases = {s.paths.tipDatabase()};
    if (operation_ == Operation::Export)
      databases << s.paths.exportDatabase();
    for (const QString &database : databases)
      if (const QString answer = integrity(database); answer != QLatin1String("ok")) {
        fault(&Figures::corrupt, QStringLiteral("%1 (%2): %3").arg(database, where, answer));
        return;
      }
    const QString index = search::indexPathBeside(s.paths.tipDatabase());
    if (QFileInfo::exists(index))
      if (const QString answer = integrity(index, true); answer != QLatin1String("ok"))
        fault(&Figures::corrupt, QStringLiteral("%1 (%2): %3").arg(index, where, answer));

    const State state = stateOf(operation_, s, scratch_.path());
    if (!state.groupsWithoutPicture.empty())
      fault(&Figures::withoutPicture, QStringLiteral("groups %1 have no picture (%2)")
                                          .arg(state.groupsWithoutPicture.join(", "), where));
    // Each part is whole on its own: the export build and the packing are two steps, and a
    // build that landed without its package is an export to be packed again.
    auto side = [](const QByteArray &now, const QByteArray &old, const QByteArray &done) {
      return now == old ? QStringLiteral("before") : now == done ? QStringLiteral("after") : "";
    };
    const QString tips = side(state.tips, before_.tips, after_.tips);
    const QString exportRows = side(state.exportRows, before_.exportRows, after_.exportRows);
    const QString package = side(state.package, before_.package, after_.package);
    if (tips.isEmpty() || exportRows.isEmpty() || package.isEmpty())
      fault(&Figures::partial,
            QStringLiteral("half done (%1): tips %2, export %3, package %4")
                .arg(where, tips.isEmpty() ? "other" : tips,
                     exportRows.isEmpty() ? "other" : exportRows,
                     package.isEmpty() ? QString::fromUtf8(state.package) : package));
    else if (state == before_)
      ++figures_.leftBefore;
    else
      ++figures_.leftAfter;
    if (const QString problem = indexProblem(s); !problem.isEmpty())
      fault(&Figures::wrongIndex, problem + " (" + where + ")");
    if (const QString problem = listingProblem(s); !problem.isEmpty())
      fault(&Figures::failedStarts, problem + " (" + where + ")");

    // Every so many kills, taking random moments and chosen points in turn.
    if (kill % options_.startEvery == (kill / options_.startEvery) % 2) {
      const int groups = int(rowsOf(s.paths.tipDatabase()).groupIds.size());
      for (const QString &problem : {programProblem(s, groups), builtProgramProblem(s)}) {
        ++figures_.programStarts;
        if (!problem.isEmpty())
          fault(&Figures::failedStarts, problem + " (" + where + ")");
      }
    }
  }

  Operation operation_;
  Options options_;
  QRandomGenerator random_;
  QTemporaryDir scratch_;
  QString pristine_;
  State before_, after_;
  Counts counts_;
  double durationUs_ = 0;
  Figures figures_;
};

} // namespace

Figures runKills(Operation operation, const Options &options) {
  QElapsedTimer timer;
  timer.start();
  Figures figures = Run(operation, options).go();
  figures.seconds = double(timer.elapsed()) / 1000.0;
  return figures;
}

QString figuresTable(const std::vector<Figures> &figures) {
  const QString row = QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11 %12 %13\n");
  QString table = row.arg("operation", -13)
                      .arg("ms", 7)
                      .arg("kills", 6)
                      .arg("chosen", 7)
                      .arg("old", 5)
                      .arg("new", 5)
                      .arg("corrupt", 8)
                      .arg("partial", 8)
                      .arg("no-picture", 11)
                      .arg("wrong-index", 12)
                      .arg("failed-starts", 14)
                      .arg("starts", 7)
                      .arg("seconds", 8);
  QString kinds;
  for (const Figures &f : figures) {
    kinds += operationName(f.operation) + QStringLiteral(" chosen points:");
    for (const auto &[kind, count] : f.chosenByKind)
      kinds += QStringLiteral(" %1 %2").arg(kind).arg(count);
    kinds += QStringLiteral("; runs that ended before their kill: %1\n").arg(f.missed);
  }
  for (const Figures &f : figures)
    table += row.arg(operationName(f.operation), -13)
                 .arg(f.operationMs, 7, 'f', 1)
                 .arg(f.kills, 6)
                 .arg(f.chosenKills, 7)
                 .arg(f.leftBefore, 5)
                 .arg(f.leftAfter, 5)
                 .arg(f.corrupt, 8)
                 .arg(f.partial, 8)
                 .arg(f.withoutPicture, 11)
                 .arg(f.wrongIndex, 12)
                 .arg(f.failedStarts, 14)
                 .arg(f.programStarts, 7)
                 .arg(f.seconds, 8, 'f', 1);
  return table + kinds;
}

} // namespace crash
