#include "faults/FaultSweep.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <iostream>
#include <sqlite3.h>

#include "jobs/JobRunner.h"
#include "search/TipIndex.h"
#include "store/Database.h"
#include "store/StoreError.h"
#include "tips/UserMessage.h"

namespace faults {

namespace {

const char *const kStaleIndex = "stale: to be built again";

// Every row of every table, with each value's storage class, and the schema.
QString dump(const QString &path, std::string &problem) {
  sqlite3 *db = nullptr;
  QString out;
  // Read-write, so that a journal left by a failed write is rolled back as the program's
  // next open would.
  if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
      SQLITE_OK) {
    problem = "cannot open " + path.toStdString() + ": " + sqlite3_errmsg(db);
    sqlite3_close(db);
    return out;
  }
  auto query = [&](const QString &sql, const std::function<void(sqlite3_stmt *)> &row) {
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK) {
      problem = "cannot read " + path.toStdString() + ": " + sqlite3_errmsg(db);
      return;
    }
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
      row(s);
    if (rc != SQLITE_DONE)
      problem = "cannot read " + path.toStdString() + ": " + sqlite3_errmsg(db);
    sqlite3_finalize(s);
  };
  auto text = [](sqlite3_stmt *s, int c) {
    const char *t = reinterpret_cast<const char *>(sqlite3_column_text(s, c));
    return t ? QString::fromUtf8(t) : QStringLiteral("<null>");
  };
  query(QStringLiteral("PRAGMA integrity_check"), [&](sqlite3_stmt *s) {
    if (text(s, 0) != QLatin1String("ok"))
      problem = path.toStdString() + " is not whole: " + text(s, 0).toStdString();
  });
  QStringList tables;
  query(QStringLiteral("SELECT type, name, sql FROM sqlite_schema ORDER BY type, name"),
        [&](sqlite3_stmt *s) {
          out += text(s, 0) + ' ' + text(s, 1) + ": " + text(s, 2) + '\n';
          if (text(s, 0) == QLatin1String("table"))
            tables << text(s, 1);
        });
  for (const QString &table : tables) {
    out += QStringLiteral("-- %1\n").arg(table);
    query(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table), [&](sqlite3_stmt *s) {
      QStringList values;
      for (int c = 0; c < sqlite3_column_count(s); ++c)
        values << QString::number(sqlite3_column_type(s, c)) + ':' + text(s, c);
      out += values.join('|') + '\n';
    });
  }
  sqlite3_close(db);
  return out;
}

// The rows of a query on a database file, opened afresh, as text.
QString rowsOf(const QString &path, const char *sql) {
  std::string problem;
  QString out;
  sqlite3 *db = nullptr;
  sqlite3_stmt *s = nullptr;
  if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
          SQLITE_OK &&
      sqlite3_prepare_v2(db, sql, -1, &s, nullptr) == SQLITE_OK) {
    while (sqlite3_step(s) == SQLITE_ROW) {
      for (int c = 0; c < sqlite3_column_count(s); ++c) {
        const char *t = reinterpret_cast<const char *>(sqlite3_column_text(s, c));
        out += QString::fromUtf8(t ? t : "<null>") + '|';
      }
      out += '\n';
    }
  }
  sqlite3_finalize(s);
  sqlite3_close(db);
  return out;
}

// The search index may be left stale by a failure (it is built again then), but an index
// that calls itself current must hold exactly the tips of the database.
QString indexState(const QString &indexPath) {
  const QString tipPath = indexPath.left(indexPath.size() - 4) + QStringLiteral(".mdb");
  if (!QFileInfo::exists(tipPath))
    return QStringLiteral("beside no database");
  search::TipIndex index(indexPath, tipPath);
  if (index.health() != search::TipIndex::Health::Current)
    return QString::fromLatin1(kStaleIndex);
  const QString indexed = rowsOf(
      indexPath, "SELECT rowid, subject, description, group_id FROM tip_text ORDER BY rowid");
  const QString stored = rowsOf(
      tipPath, "SELECT TIPS_ID, TIP_SUBJECT, TIP_DESCRIPTION, GROUP_ID FROM Tips ORDER BY TIPS_ID");
  return indexed == stored ? QStringLiteral("current")
                           : QStringLiteral("current, but it holds\n") + indexed +
                                 QStringLiteral("while the database holds\n") + stored;
}

bool isIndex(const QString &name) { return name.endsWith(QLatin1String(".idx")); }

bool isDatabase(const QString &name) {
  return name.endsWith(QLatin1String(".mdb"), Qt::CaseInsensitive) ||
         name.endsWith(QLatin1String(".idx"), Qt::CaseInsensitive);
}

} // namespace

Snapshot capture(const QString &root) {
  Snapshot snapshot;
  const QDir base(root);
  {
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString path = it.next();
      if (!isDatabase(path))
        continue;
      if (isIndex(path)) {
        snapshot.databases.insert(base.relativeFilePath(path), indexState(path));
        continue;
      }
      std::string problem;
      snapshot.databases.insert(base.relativeFilePath(path), dump(path, problem));
      if (!problem.empty())
        ADD_FAILURE() << problem;
    }
  }
  // The other files once every journal is rolled back.
  QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    if (isDatabase(path))
      continue;
    QFile f(path);
    QByteArray bytes;
    if (f.open(QIODevice::ReadOnly))
      bytes = f.readAll();
    // A package's members carry their files' times: its size stands for it.
    const bool zip = path.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive);
    snapshot.files.insert(
        base.relativeFilePath(path),
        QString::number(bytes.size()) + ' ' +
            (zip ? QString() : QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex()));
  }
  return snapshot;
}

std::string difference(const Snapshot &expected, const Snapshot &actual) {
  auto compare = [](const char *what, const QMap<QString, QString> &a,
                    const QMap<QString, QString> &b) -> std::string {
    for (auto it = a.begin(); it != a.end(); ++it) {
      if (!b.contains(it.key()))
        return std::string(what) + " missing: " + it.key().toStdString();
      if (b.value(it.key()) != it.value() && b.value(it.key()) != QLatin1String(kStaleIndex) &&
          it.value() != QLatin1String(kStaleIndex)) {
        const QStringList x = it.value().split('\n'), y = b.value(it.key()).split('\n');
        for (int i = 0; i < std::max(x.size(), y.size()); ++i)
          if (x.value(i) != y.value(i))
            return std::string(what) + " differs: " + it.key().toStdString() +
                   "\n  expected: " + x.value(i).toStdString() +
                   "\n  actual:   " + y.value(i).toStdString();
      }
    }
    for (auto it = b.begin(); it != b.end(); ++it)
      if (!a.contains(it.key()))
        return std::string(what) + " unexpected: " + it.key().toStdString();
    return {};
  };
  std::string d = compare("database", expected.databases, actual.databases);
  return d.empty() ? compare("file", expected.files, actual.files) : d;
}

const std::vector<Fault> &allFaults() {
  using K = FaultyVfs::Kind;
  static const std::vector<Fault> faults = {
      {"database read", true, K::Read, SQLITE_IOERR_READ},
      {"database write", true, K::Write, SQLITE_IOERR_WRITE},
      {"database write on a full disk", true, K::Write, SQLITE_FULL},
      {"database sync", true, K::Sync, SQLITE_IOERR_FSYNC},
      {"database truncate", true, K::Truncate, SQLITE_IOERR_TRUNCATE},
      {"file copy", false, K::Read, ENOSPC, FileOperation::Copy},
      {"file delete", false, K::Read, EACCES, FileOperation::Delete},
      {"folder creation", false, K::Read, EROFS, FileOperation::CreateFolder},
  };
  return faults;
}

Outcome runCatching(const std::function<Outcome()> &work) {
  try {
    return work();
  } catch (const store::StoreError &e) {
    return {Outcome::Failed, tips::userMessage(e)};
  } catch (const FileError &e) {
    return {Outcome::Failed, tips::userMessage(e)};
  } catch (const std::exception &e) {
    return {Outcome::Failed, QString::fromLocal8Bit(e.what())};
  }
}

void printTally(const char *what, const Tally &tally) {
  std::cout << "[ faults   ] " << what << ": " << tally.points << " failure points";
  for (auto it = tally.byFault.begin(); it != tally.byFault.end(); ++it)
    std::cout << (it == tally.byFault.begin() ? " (" : ", ") << it.value() << ' '
              << it.key().toStdString();
  std::cout << (tally.byFault.isEmpty() ? "" : ")") << "; " << tally.absorbed
            << " of them passed over by design (the search index, reads of the folded-key upkeep)"
            << " with the work done all the same" << std::endl;
}

Tally &grandTotal() {
  static Tally total;
  return total;
}

namespace {

void arm(World &w, const Fault &f, int n) {
  FaultyVfs::reset();
  w.site.files.clearFailures();
  if (f.database)
    FaultyVfs::failNth(f.kind, n, f.code);
  else
    w.site.files.failNth(f.operation, n, f.code);
}

// Runs the operation on a job's worker, as the screens run their long work, this thread
// waiting in its event loop.
Outcome runAsJob(World &w) {
  jobs::JobRunner runner;
  return runner.runFor([&](tips::WorkProgress &) { return w.run(); });
}

// Runs the operation with the fault armed; whether the fault was met, and on which file.
Outcome runArmed(World &w, const Fault &f, int n, bool &met, std::string &file) {
  arm(w, f, n);
  const Outcome o = runAsJob(w);
  met = f.database ? FaultyVfs::fired() > 0 : !w.site.files.failurePending(f.operation);
  file = f.database ? FaultyVfs::lastFiredFile() : std::string("(file service)");
  FaultyVfs::reset();
  w.site.files.clearFailures();
  return o;
}

// No transaction is left open on a connection the objects still hold.
void expectNoTransaction(World &w) {
  for (const QString &path : {w.site.paths.tipDatabase(), w.site.paths.exportDatabase()}) {
    if (!QFile::exists(path))
      continue;
    try {
      auto db = store::Database::open(path, store::OpenMode::ReadWrite);
      EXPECT_FALSE(db->inTransaction()) << "a transaction stays open on " << path.toStdString();
    } catch (const store::StoreError &e) {
      ADD_FAILURE() << "the database cannot be opened again: " << e.what();
    }
  }
}

} // namespace

Tally sweep(const char *operation, const std::function<std::unique_ptr<World>()> &make) {
  FaultyVfs::install();
  Tally tally;
  Snapshot before, success;
  {
    auto w = make();
    before = capture(w->site.dir.path());
    FaultyVfs::reset();
    const Outcome o = runAsJob(*w);
    EXPECT_EQ(o.kind, Outcome::Succeeded) << o.message.toStdString();
    w->release();
    success = capture(w->site.dir.path());
    EXPECT_NE(difference(before, success), "") << operation << " changed nothing";
  }
  for (const Fault &f : allFaults()) {
    for (int n = 1;; ++n) {
      if (n > 5000) {
        ADD_FAILURE() << "no end to the " << f.label << "s of " << operation;
        break;
      }
      SCOPED_TRACE(std::string(operation) + ": failed " + f.label + " number " + std::to_string(n));
      // The state the failure leaves, all connections closed.
      auto w = make();
      bool met = false;
      std::string file;
      const Outcome o = runArmed(*w, f, n, met, file);
      if (!met) {
        // Past the last call: a run like any other.
        EXPECT_EQ(o.kind, Outcome::Succeeded) << o.message.toStdString();
        w->release();
        EXPECT_EQ(difference(success, capture(w->site.dir.path())), "");
        break;
      }
      ++tally.points;
      ++tally.byFault[QLatin1String(f.label)];
      SCOPED_TRACE("hit " + file);
      // The search index never fails a save: a fault there may pass unreported.
      const bool indexOnly = QString::fromStdString(file).contains(QLatin1String(".idx"));
      expectNoTransaction(*w);
      if (o.kind == Outcome::Succeeded) {
        // Only a read may be given up on and the work done all the same (the upkeep of the
        // folded keys at an open is best effort); a write or a sync never.
        EXPECT_TRUE(indexOnly || f.kind == FaultyVfs::Kind::Read)
            << "reported success after the failure";
        ++tally.absorbed;
        w->release();
        EXPECT_EQ(difference(success, capture(w->site.dir.path())), "")
            << "reported success after the failure, and the work is not whole";
        continue;
      }
      EXPECT_FALSE(o.message.trimmed().isEmpty()) << "no message for the user";
      if (f.database && f.code == SQLITE_FULL && !indexOnly) {
        EXPECT_TRUE(o.message.contains(QLatin1String("is full"))) << o.message.toStdString();
      }
      w->release();
      const Snapshot after = capture(w->site.dir.path());
      const std::optional<Snapshot> partial = w->partialState(f, o, before, success);
      if (o.kind == Outcome::PartlyDone) {
        EXPECT_TRUE(partial.has_value()) << "reported as partly done: " << o.message.toStdString();
      }
      if (partial && after == *partial)
        continue; // the design's partial state; no retry (the second run differs)
      EXPECT_EQ(difference(before, after), "") << o.message.toStdString();

      // The same objects, without the fault, do it on the next try.
      if (!w->retryAfter(o))
        continue;
      auto again = make();
      bool metAgain = false;
      runArmed(*again, f, n, metAgain, file);
      expectNoTransaction(*again);
      const Outcome retry = runAsJob(*again);
      EXPECT_EQ(retry.kind, Outcome::Succeeded)
          << "the next try fails: " << retry.message.toStdString();
      again->release();
      EXPECT_EQ(difference(success, capture(again->site.dir.path())), "") << "after the next try";
    }
  }
  printTally(operation, tally);
  ::testing::Test::RecordProperty("failure_points", tally.points);
  Tally &total = grandTotal();
  total.points += tally.points;
  total.absorbed += tally.absorbed;
  for (auto it = tally.byFault.begin(); it != tally.byFault.end(); ++it)
    total.byFault[it.key()] += it.value();
  return tally;
}

} // namespace faults
