#pragma once
// One open SQLite connection to a tip database file. Data controls on the same file
// and mode share one connection, so a transaction covers all of them.
//
// Every connection: journal_mode DELETE, synchronous FULL, the text functions
// (store/Collation.h). A single change commits at once unless a Transaction is open.
// ReadOnlyUntrusted connections are read-only, defensive, without trusted schema,
// triggers or views, and are checked for the Group and Tips tables with their columns
// before anything else is read; they never write, and work with or without the folded
// key columns (Schema.h).
//
// A ReadWrite open brings the folded keys up to date, in one transaction and only when
// something is to be done: the keys that other tools left unknown are filled in (found
// through the key's index, so an up-to-date file costs a few index probes), and the keys
// of a file folded by an earlier rule are written anew (Schema.h). A table without the
// key columns is read as it stands, never changed. A file that cannot be written (a
// read-only file, a lock held elsewhere) is left as it is and read as it stands. An
// update that fails rolls back whole: the file is read as it stands too, and the failure
// is kept (foldKeyProblem()) and written to the program's log, never dropped unseen.
//
// Threads: the store (connections, their cache, record sets) belongs to one thread, the
// user-interface thread; nothing in it may be used from two threads.

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <unordered_map>

#include "store/Connection.h"
#include "store/DataControl.h"
#include "store/Schema.h"

struct sqlite3;

namespace store {
namespace sql {
class Statement;
}

// One column of a table as the file declares it.
struct ColumnInfo {
  QString name;
  QString declaredType;
  FieldKind kind;
  bool primaryKey;
};

class Database {
public:
  // Opens an existing file; a missing file is an error (never creates one). Returns the
  // connection already open on the same file (canonical path) and mode, if any.
  static std::shared_ptr<Database> open(const QString &nativePath, OpenMode mode);
  ~Database();
  Database(const Database &) = delete;
  Database &operator=(const Database &) = delete;

  sqlite3 *handle() const { return db_; }
  const QString &path() const { return path_; }
  OpenMode mode() const { return mode_; }

  // Trusted SQL written by the program itself (schema, generator, tests, scenario
  // runner); never for text typed by a user or read from a package.
  void exec(const QString &sql);
  // Rows of a trusted query, each value as text (null as an empty string).
  QList<QStringList> rows(const QString &sql);

  // One transaction: commits when commit() is called, rolls back if destroyed before.
  // A transaction opened while another one is open on the same connection nests
  // (a savepoint): it lands only when the outer one commits.
  class Transaction {
  public:
    explicit Transaction(std::shared_ptr<Database> db);
    ~Transaction();
    void commit();

  private:
    std::shared_ptr<Database> db_;
    bool done_ = false;
    QString savepoint_; // empty for the outermost transaction
  };

  // --- used by the store itself -------------------------------------------------------

  // True while a transaction is open on this connection.
  bool inTransaction() const;
  // The table's name as the file spells it, matched without regard to case; StoreError
  // when the file has no such table.
  QString actualTableName(const QString &name);
  // The table's columns in their declared order.
  QList<ColumnInfo> columns(const QString &actualTable);
  // The known table as this file holds it; StoreError when the file has no such table.
  TableLayout layout(const TableSpec &table);
  // A stamp that changes whenever data may have changed through this connection.
  quint64 dataVersion() const;
  // The file on disk is no longer the one this connection opened (replaced or deleted).
  bool isStale() const;

  // The automatic key a new row of the table will get: one above the highest key ever
  // handed out (sqlite_sequence), the highest key present and the keys reserved by
  // pending new rows. Reserved until releaseKey().
  qint64 reserveKey(const QString &actualTable);
  void releaseKey(const QString &actualTable, qint64 key);

  // Why the update of the folded keys at open failed (see above); empty when it did not.
  const QString &foldKeyProblem() const { return foldKeyProblem_; }

  // A prepared statement kept for reuse on this connection; reset it after each use.
  sql::Statement &prepared(const QString &sql);

private:
  Database(sql::Connection connection, QString path, OpenMode mode);
  void configure();
  void checkTipTables();
  static void updateFoldKeys(const std::shared_ptr<Database> &db);

  sql::Connection connection_; // closed when the database goes
  sqlite3 *db_;                // its handle
  QString path_;
  OpenMode mode_;
  quint64 device_ = 0;
  quint64 inode_ = 0;
  quint64 rollbacks_ = 0;
  int savepointCounter_ = 0;
  QString foldKeyProblem_;
  QHash<QString, QSet<qint64>> reservedKeys_;
  std::unordered_map<QString, std::unique_ptr<sql::Statement>> statements_;
};

} // namespace store
