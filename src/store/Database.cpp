#include "store/Database.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <limits>
#include <mutex>
#include <sqlite3.h>
#include <sys/stat.h>

#include "store/Collation.h"
#include "store/Sqlite.h"

namespace store {
namespace {

QHash<QString, std::weak_ptr<Database>> &connectionCache() {
  static QHash<QString, std::weak_ptr<Database>> cache;
  return cache;
}

// The cache is reached from the window's thread and from a job's worker.
std::mutex &cacheLock() {
  static std::mutex lock;
  return lock;
}

bool fileIdentity(const QString &path, quint64 &device, quint64 &inode) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0)
    return false;
  device = quint64(st.st_dev);
  inode = quint64(st.st_ino);
  return true;
}

QString notTipDatabase(const QString &path, const QString &reason) {
  return QStringLiteral("The file \"%1\" is not an Ombrix Tips database: %2.").arg(path, reason);
}

} // namespace

std::shared_ptr<Database> Database::open(const QString &nativePath, OpenMode mode) {
  const QFileInfo info(nativePath);
  if (nativePath.isEmpty() || !info.exists())
    throw StoreError(QStringLiteral("The database file \"%1\" does not exist.").arg(nativePath));
  if (!info.isFile())
    throw StoreError(QStringLiteral("\"%1\" is not a database file.").arg(nativePath));
  const QString canonical = info.canonicalFilePath();
  const QString key = canonical + (mode == OpenMode::ReadWrite ? QLatin1String("|rw")
                                                               : QLatin1String("|untrusted"));

  {
    const std::lock_guard<std::mutex> locked(cacheLock());
    auto &cache = connectionCache();
    for (auto it = cache.begin(); it != cache.end();)
      it = it->expired() ? cache.erase(it) : std::next(it);
    if (auto it = cache.find(key); it != cache.end())
      if (std::shared_ptr<Database> existing = it->lock(); existing && !existing->isStale())
        return existing;
  }

  // Never SQLITE_OPEN_CREATE: a missing file is an error, not a new database. A connection
  // is used by one thread at a time (the window's, or a job's worker while the window
  // waits for the job: jobs/JobRunner.h), so no per-call mutex.
  //
  // A file from a stranger is opened immutable: the engine reads the database file alone,
  // never a -wal or -journal beside it (which could be left from another file and would
  // change what is read, or ask for a write to roll back), and takes no locks.
  const bool untrusted = mode == OpenMode::ReadOnlyUntrusted;
  const int flags = (untrusted ? SQLITE_OPEN_READONLY | SQLITE_OPEN_URI : SQLITE_OPEN_READWRITE) |
                    SQLITE_OPEN_NOMUTEX;
  const QByteArray name = untrusted
                              ? "file:" + QUrl::toPercentEncoding(canonical, "/") + "?immutable=1"
                              : QFile::encodeName(canonical);
  std::shared_ptr<Database> db(
      new Database(sql::Connection(name, flags, nativePath), nativePath, mode));
  db->configure();
  if (!fileIdentity(canonical, db->device_, db->inode_))
    throw StoreError(QStringLiteral("The database file \"%1\" disappeared while it was opened.")
                         .arg(nativePath));
  if (mode == OpenMode::ReadWrite)
    updateFoldKeys(db);
  const std::lock_guard<std::mutex> locked(cacheLock());
  connectionCache().insert(key, db);
  return db;
}

Database::Database(sql::Connection connection, QString path, OpenMode mode)
    : connection_(std::move(connection)), db_(connection_.handle()), path_(std::move(path)),
      mode_(mode) {}

Database::~Database() {
  statements_.clear(); // finalize before the connection closes
}

sql::Statement &Database::prepared(const QString &sql) {
  auto it = statements_.find(sql);
  if (it == statements_.end())
    it = statements_.emplace(sql, std::make_unique<sql::Statement>(db_, sql, true)).first;
  return *it->second;
}

void Database::configure() {
  const bool untrusted = mode_ == OpenMode::ReadOnlyUntrusted;
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, 5000);
  if (untrusted) {
    int ignored = 0;
    sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, &ignored);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, &ignored);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, &ignored);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_VIEW, 0, &ignored);
  }
  registerTextFunctions(db_);

  // The first read tells whether the file is an SQLite database at all.
  if (sqlite3_exec(db_, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr) !=
      SQLITE_OK) {
    const QString engine = QString::fromUtf8(sqlite3_errmsg(db_));
    throw sql::engineError(
        db_,
        untrusted
            ? notTipDatabase(path_, engine)
            : QStringLiteral("The file \"%1\" is not a usable database: %2.").arg(path_, engine));
  }
  if (!untrusted)
    exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
  exec(QStringLiteral("PRAGMA synchronous=FULL"));
  // A whole tip table (32,767 tips with descriptions) stays in the page cache.
  exec(QStringLiteral("PRAGMA cache_size=-16384"));
  if (untrusted)
    checkTipTables();
}

void Database::checkTipTables() {
  for (const TableSpec &definition : knownTables()) {
    if (!definition.inTemplate)
      continue;
    sql::Statement find(db_, QStringLiteral("SELECT name, type FROM sqlite_schema "
                                            "WHERE name = ?1 COLLATE NOCASE"));
    find.bind(1, definition.name);
    if (!find.step())
      throw StoreError(
          notTipDatabase(path_, QStringLiteral("it has no table %1").arg(definition.name)));
    const QString actual = find.text(0);
    if (find.text(1) != QLatin1String("table"))
      throw StoreError(
          notTipDatabase(path_, QStringLiteral("%1 is not a table").arg(definition.name)));
    const QList<ColumnInfo> present = columns(actual);
    for (const FieldSpec &field : definition.fields) {
      const ColumnInfo *column = nullptr;
      for (const ColumnInfo &c : present)
        if (c.name.compare(field.name, Qt::CaseInsensitive) == 0)
          column = &c;
      if (!column)
        throw StoreError(notTipDatabase(
            path_,
            QStringLiteral("the table %1 has no field %2").arg(definition.name, field.name)));
    }
    try {
      sql::Statement rowid(
          db_, QStringLiteral("SELECT rowid FROM %1 LIMIT 0").arg(sql::quoteIdentifier(actual)));
    } catch (const StoreError &) {
      throw StoreError(notTipDatabase(
          path_, QStringLiteral("the table %1 has no row ids").arg(definition.name)));
    }
  }
}

void Database::updateFoldKeys(const std::shared_ptr<Database> &db) {
  if (sqlite3_db_readonly(db->db_, "main") == 1)
    return;
  using sql::quoteIdentifier;

  struct Work {
    QString table;                   // as the file spells it
    QList<const FieldSpec *> fields; // the folded fields whose key column the file has
  };
  QList<Work> work;
  try {
    const bool earlierFold =
        db->rows(QStringLiteral("PRAGMA user_version")).value(0).value(0).toInt() <
        kFoldRuleVersion;
    // Reads only, so that an up-to-date file is not locked for writing at every open.
    bool fill = false; // keys are missing
    for (const TableSpec &table : knownTables()) {
      sql::Statement &find = db->prepared(QStringLiteral(
          "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE"));
      {
        sql::ResetOnExit reset(find);
        find.bind(1, table.name);
        if (!find.step())
          continue; // not a tip table: nothing to keep up to date
      }
      const TableLayout present = db->layout(table);
      for (const FieldSpec *f : present.foldKeys) {
        sql::Statement &missing = db->prepared(
            QStringLiteral("SELECT 1 FROM %1 WHERE %2 IS NULL AND %3 IS NOT NULL LIMIT 1")
                .arg(quoteIdentifier(present.name), quoteIdentifier(foldColumnName(*f)),
                     quoteIdentifier(f->name)));
        sql::ResetOnExit reset(missing);
        fill = fill || missing.step();
      }
      if (!present.foldKeys.isEmpty())
        work << Work{present.name, present.foldKeys};
    }
    if (work.isEmpty() || !(fill || earlierFold))
      return;

    Transaction transaction(db);
    for (const Work &w : std::as_const(work)) {
      const QString table = quoteIdentifier(w.table);
      for (const FieldSpec *f : w.fields) {
        const QString key = quoteIdentifier(foldColumnName(*f));
        const QString fold = QStringLiteral("%1(%2)").arg(QLatin1String(kFoldFunctionName),
                                                          quoteIdentifier(f->name));
        // A new fold checks every key once; an up-to-date file only lacks some.
        db->exec(
            earlierFold
                ? QStringLiteral("UPDATE %1 SET %2 = %3 WHERE %2 IS NOT %3").arg(table, key, fold)
                : QStringLiteral("UPDATE %1 SET %2 = %3 WHERE %2 IS NULL AND %4 IS "
                                 "NOT NULL")
                      .arg(table, key, fold, quoteIdentifier(f->name)));
      }
    }
    db->exec(QStringLiteral("PRAGMA user_version = %1").arg(kFoldRuleVersion));
    transaction.commit();
  } catch (const StoreError &e) {
    // The file stays as it was (the transaction rolled back); lookups compare the names
    // themselves where keys are missing, so the file is still read right, only slower.
    db->foldKeyProblem_ =
        QStringLiteral("The name keys of \"%1\" could not be brought up to date: %2")
            .arg(db->path_, e.message());
    qWarning("%s", qUtf8Printable(db->foldKeyProblem_));
  }
}

void Database::exec(const QString &sql) {
  sql::exec(db_, sql.toUtf8().constData(), QStringLiteral("The database engine failed"));
}

QList<QStringList> Database::rows(const QString &sql) {
  sql::Statement stmt(db_, sql);
  QList<QStringList> out;
  while (stmt.step()) {
    QStringList row;
    for (int c = 0; c < stmt.columnCount(); ++c)
      row << (stmt.isNull(c) ? QString(QLatin1String("")) : stmt.text(c));
    out << row;
  }
  return out;
}

bool Database::inTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

QString Database::actualTableName(const QString &name) {
  sql::Statement &find =
      prepared(QStringLiteral("SELECT name FROM sqlite_schema "
                              "WHERE type = 'table' AND name = ?1 COLLATE NOCASE"));
  sql::ResetOnExit reset(find);
  find.bind(1, name);
  if (!find.step())
    throw StoreError(QStringLiteral("The database \"%1\" has no table \"%2\".").arg(path_, name));
  return find.text(0);
}

TableLayout Database::layout(const TableSpec &table) {
  TableLayout out{&table, actualTableName(table.name), {}};
  const QList<ColumnInfo> present = columns(out.name);
  auto find = [&](const QString &name) -> const ColumnInfo * {
    for (const ColumnInfo &c : present)
      if (c.name.compare(name, Qt::CaseInsensitive) == 0)
        return &c;
    return nullptr;
  };
  for (const FieldSpec &f : table.fields) {
    if (!f.folded || !find(f.name))
      continue;
    // Only a key column of TEXT affinity holds the keys as text, as written.
    const ColumnInfo *key = find(foldColumnName(f));
    if (key && key->declaredType.trimmed().compare(QLatin1String("TEXT"), Qt::CaseInsensitive) == 0)
      out.foldKeys << &f;
  }
  return out;
}

QList<ColumnInfo> Database::columns(const QString &actualTable) {
  sql::Statement &info =
      prepared(QStringLiteral("PRAGMA table_info(%1)").arg(sql::quoteIdentifier(actualTable)));
  sql::ResetOnExit reset(info);
  // A field of the program's tables is read as its kind, whatever type name the file
  // declares it with: a file written with SQLite's plain types (INTEGER flags, TEXT dates,
  // no type, STRICT tables) holds the same values as one written by this program.
  const TableSpec *known = findTable(actualTable);
  QList<ColumnInfo> out;
  while (info.step()) {
    ColumnInfo c;
    c.name = info.text(1);
    c.declaredType = info.text(2);
    const FieldSpec *field = known ? findField(*known, c.name) : nullptr;
    c.kind = field ? field->kind : kindOfDeclaredType(c.declaredType);
    c.primaryKey = info.int64(5) != 0;
    out << c;
  }
  return out;
}

quint64 Database::dataVersion() const {
  return quint64(sqlite3_total_changes64(db_)) + (rollbacks_ << 40);
}

bool Database::isStale() const {
  quint64 device = 0, inode = 0;
  return !fileIdentity(path_, device, inode) || device != device_ || inode != inode_;
}

qint64 Database::reserveKey(const QString &actualTable) {
  qint64 highest = 0;
  bool hasSequence = false;
  {
    sql::Statement &probe =
        prepared(QStringLiteral("SELECT 1 FROM sqlite_schema WHERE name = 'sqlite_sequence'"));
    sql::ResetOnExit reset(probe);
    hasSequence = probe.step();
  }
  {
    const QString maxRowid = QStringLiteral("coalesce((SELECT max(rowid) FROM %1), 0)")
                                 .arg(sql::quoteIdentifier(actualTable));
    sql::Statement &seq = prepared(
        hasSequence ? QStringLiteral("SELECT max(coalesce((SELECT seq FROM sqlite_sequence WHERE "
                                     "name = ?1), 0), %1)")
                          .arg(maxRowid)
                    : QStringLiteral("SELECT %1 WHERE ?1 IS NOT NULL").arg(maxRowid));
    sql::ResetOnExit reset(seq);
    seq.bind(1, actualTable);
    if (seq.step())
      highest = seq.int64(0);
  }
  QSet<qint64> &reserved = reservedKeys_[actualTable];
  for (qint64 key : std::as_const(reserved))
    highest = std::max(highest, key);
  if (highest >= std::numeric_limits<qint32>::max())
    throw StoreError(QStringLiteral("The table %1 of \"%2\" has no more keys to hand out.")
                         .arg(actualTable, path_));
  reserved.insert(highest + 1);
  return highest + 1;
}

void Database::releaseKey(const QString &actualTable, qint64 key) {
  auto it = reservedKeys_.find(actualTable);
  if (it != reservedKeys_.end())
    it->remove(key);
}

// --- Transaction -----------------------------------------------------------------------

Database::Transaction::Transaction(std::shared_ptr<Database> db) : db_(std::move(db)) {
  if (!db_)
    throw StoreError(QStringLiteral("A transaction needs an open database."));
  if (db_->inTransaction()) {
    savepoint_ = QStringLiteral("obx_savepoint_%1").arg(++db_->savepointCounter_);
    db_->exec(QStringLiteral("SAVEPOINT ") + savepoint_);
  } else {
    db_->exec(db_->mode_ == OpenMode::ReadWrite ? QStringLiteral("BEGIN IMMEDIATE")
                                                : QStringLiteral("BEGIN"));
  }
}

Database::Transaction::~Transaction() {
  if (done_)
    return;
  try {
    if (!savepoint_.isEmpty()) {
      db_->exec(QStringLiteral("ROLLBACK TO ") + savepoint_);
      db_->exec(QStringLiteral("RELEASE ") + savepoint_);
    } else if (db_->inTransaction()) {
      db_->exec(QStringLiteral("ROLLBACK"));
    }
  } catch (const StoreError &) {
    // A destructor must not throw; the engine has already ended the transaction.
  }
  ++db_->rollbacks_;
}

void Database::Transaction::commit() {
  if (done_)
    throw StoreError(QStringLiteral("The transaction has already been committed."));
  db_->exec(savepoint_.isEmpty() ? QStringLiteral("COMMIT")
                                 : QStringLiteral("RELEASE ") + savepoint_);
  done_ = true;
}

} // namespace store
