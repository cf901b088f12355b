#pragma once
// Internal helpers of the store around the SQLite C API: a prepared statement that
// finalizes itself, value binding and reading, and errors as StoreError; the connection is
// store/Connection.h.

#include <QString>
#include <QStringView>
#include <QVariant>
#include <functional>
#include <sqlite3.h>
#include <vector>

#include "store/Connection.h"
#include "store/StoreError.h"

namespace store::sql {

// Throws StoreError: "<what>: <engine message>", with the engine's code and file.
[[noreturn]] void fail(sqlite3 *db, const QString &what);
// The engine's last error on db as a StoreError: message, extended code, database file.
StoreError engineError(sqlite3 *db, const QString &message);

// Runs one or more statements; a failure throws StoreError "<what>: <engine message>".
void exec(sqlite3 *db, const char *sql, const QString &what);

// Double-quotes an identifier for SQL ("Group" -> "\"Group\"").
QString quoteIdentifier(const QString &name);

class Statement {
public:
  Statement() = default;
  Statement(sqlite3 *db, const QString &sql, bool persistent = false);
  ~Statement();
  Statement(const Statement &) = delete;
  Statement &operator=(const Statement &) = delete;
  Statement(Statement &&other) noexcept;
  Statement &operator=(Statement &&other) noexcept;

  bool isValid() const { return stmt_ != nullptr; }
  sqlite3_stmt *handle() const { return stmt_; }
  const QString &sql() const { return sql_; }

  // Binds 1-based parameter i: invalid QVariant -> NULL, integral/bool -> integer,
  // double -> real, QByteArray -> blob, everything else -> its text.
  void bind(int i, const QVariant &value);
  void bindAll(const QVariantList &values);
  // One step: true while a row is available, false when done. Errors throw.
  bool step();
  void reset();

  int columnCount() const;
  bool isNull(int col) const;
  qint64 int64(int col) const;
  QString text(int col) const;
  // The value with its storage class (NULL -> invalid QVariant).
  QVariant value(int col) const;

private:
  sqlite3 *db_ = nullptr;
  sqlite3_stmt *stmt_ = nullptr;
  QString sql_;
  std::vector<QByteArray> held_; // the texts bound, by parameter, read by the engine in place
};

// Reads the text (or blob) of one row's column in pieces of about a megabyte, each decoded
// from UTF-8 as it is read, so that a large value is never held whole: take(piece) for
// each piece in order, pieces ending between two characters. The characters are those that
// reading the whole value as text gives. False, with nothing read, when the value cannot be
// read so: the row is missing, the value is null or a number, or the file holds UTF-16.
bool readTextPieces(sqlite3 *db, const char *table, const char *column, qint64 rowid,
                    const std::function<void(QStringView piece)> &take);

// The bytes the text (or blob) of one row's column takes as stored, without reading it;
// -1 when it cannot be told so (as for readTextPieces).
qint64 storedBytes(sqlite3 *db, const char *table, const char *column, qint64 rowid);

// Resets a (cached) statement when the scope ends, errors included, so that no statement
// keeps a read lock on the file.
class ResetOnExit {
public:
  explicit ResetOnExit(Statement &s) : s_(s) {}
  ~ResetOnExit() { s_.reset(); }
  ResetOnExit(const ResetOnExit &) = delete;
  ResetOnExit &operator=(const ResetOnExit &) = delete;

private:
  Statement &s_;
};

} // namespace store::sql
