#pragma once
// Data controls and record sets: what the screens use to reach a tip database.
//
// A DataControl holds a database file, a record source (a table name or one of the
// program's SELECT texts) and one open Recordset. Every failure (missing file, malformed
// record source, engine error) throws StoreError with a message a user can read.

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

#include "store/StoreError.h"
#include "store/StoredValues.h"

namespace store {

class Database;
class RecordsetImpl;

// How a database file is opened. Files received from other users are opened
// ReadOnlyUntrusted: read-only, defensive, no trusted schema, and checked for the
// expected tables and columns before anything is read.
enum class OpenMode { ReadWrite, ReadOnlyUntrusted };

class Recordset {
public:
  Recordset();
  ~Recordset();
  Recordset(const Recordset &) = delete;
  Recordset &operator=(const Recordset &) = delete;

  // Callers only test whether it is below 1 or above 0; rows added through the
  // record set count too.
  int recordCount() const;
  bool eof() const;
  // Moves skip deleted rows and discard a pending addNew/edit. moveFirst on an empty set
  // leaves it at its end; moveNext at the end is an error ("no current row").
  void moveFirst();
  void moveNext();
  // False until the data control's first successful refresh (and after close()).
  bool isOpen() const;

  // addNew begins a new row: its key is assigned at once and readable through
  // field(); update() inserts it, after which it is the last row of the set (whatever
  // the set's ORDER BY, until the next refresh). The row that was current before
  // addNew stays current. Writing needs addNew or edit first; the automatic key cannot
  // be written.
  void addNew();
  void edit();
  void update();
  // Removes the current row; moveNext() then goes to the row after it.
  void deleteRow();

  // Field by name (any case). Text may be null (an invalid QVariant); dates are
  // QDate; yes/no and integers are int. Reading a deleted row, or at eof, is an error.
  // setField takes QString, integers, bool (True -> -1 for yes/no, by yesNoOf), QDate
  // (an invalid QDate writes the empty date) or an invalid QVariant (null); integer
  // fields refuse values outside their range (32-bit; 16-bit for SMALLINT) with an
  // "Overflow" error.
  // The folded key columns of names (Schema.h) are not fields: the record set keeps them
  // in step with the names it writes, and reading or writing them is an error like that
  // of any name the table does not have.
  QVariant field(const QString &name) const;
  bool isNull(const QString &name) const;
  QString text(const QString &name) const; // null reads as empty text
  void setField(const QString &name, const QVariant &value);

private:
  friend class DataControl;
  std::unique_ptr<RecordsetImpl> impl_;
};

class DataControl {
public:
  DataControl();
  ~DataControl();
  DataControl(const DataControl &) = delete;
  DataControl &operator=(const DataControl &) = delete;

  // The file is opened read-write.
  void setDatabaseName(const QString &nativePath);
  QString databaseName() const;
  // Takes effect at the next refresh().
  void setRecordSource(const QString &source);
  QString recordSource() const;
  // (Re)opens the record set; the first row becomes current.
  void refresh();
  Recordset &recordset();
  // Releases the database file (before it is copied or deleted).
  void close();

private:
  QString path_;
  QString source_;
  std::shared_ptr<Database> db_;
  Recordset recordset_;
};

} // namespace store
