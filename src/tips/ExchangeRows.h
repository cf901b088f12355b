#pragma once
// Rows of a tip database read and written in bulk, for the long operations of the
// exchange (the export build, the import merge). A record set per lookup costs tens of
// microseconds, which is too much inside loops over 32,767 tips; these read a table in one
// statement and write through prepared statements, with the very values a record set
// reads and writes (store/DataControl.h), the folded key of every name included.
//
// Nothing here assumes that the file was written by this program: a package database
// comes from a stranger (opened ReadOnlyUntrusted), may lack the folded key columns and
// may hold values of any type in any column.

#include <QDate>
#include <QHash>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace store {
class Database;
namespace sql {
class Statement;
}
} // namespace store

namespace tips::exchange {

// --- values as a record set reads them (store/StoredValues.h) ----------------------------

// A text field: null stays null (an invalid QVariant), anything else reads as its text.
QVariant textOf(const QVariant &stored);
// A yes/no field: null stays null, anything else reads as -1 (True) or 0 by store::isTrue.
QVariant flagOf(const QVariant &stored);
// A date field: ISO text "YYYY-MM-DD"; anything else (null included) is the empty date.
QDate dateOf(const QVariant &stored);

// The same straight from a statement's column, without a detour through QVariant for the
// common stored forms (integer flags, ISO dates): the exchange reads whole tables.
bool isTrueAt(const store::sql::Statement &s, int column);
QVariant flagAt(const store::sql::Statement &s, int column);
// Dates repeat from row to row: the last one read is kept.
class DateReader {
public:
  QDate at(const store::sql::Statement &s, int column);

private:
  QByteArray raw_;
  QDate date_;
};

// A text without regard to case, as the store's lookups compare names (store/Collation.h).
QString nameKey(const QString &text);

// A name or subject as the program's entry screens store it (blanks around removed, every
// apostrophe a backtick: QuoteToTick), and its key for lookups without regard to case
// (the fold the store keeps beside it), both in UTF-8. A null is the empty name.
struct EntryName {
  QByteArray text;
  QByteArray key;
};
EntryName entryNameOf(const QVariant &stored);
// The same straight from a column; plain ASCII text (the common case) never becomes a
// QString on the way.
EntryName entryNameAt(const store::sql::Statement &s, int column);
// The key of a name as stored (untrimmed), for the stored rows that a lookup searches.
QByteArray storedKeyOf(const QVariant &stored);

// --- files -------------------------------------------------------------------------------

// The files of one folder (not its folders) by name without regard to case (the exact spelling
// first), read once: the exchange names hundreds of pictures in a row, and matching each name on
// disk would read the folder every time.
class FolderNames {
public:
  explicit FolderNames(QString nativeFolder);
  const QString &folder() const { return folder_; }
  // The native path of the file of that name: its spelling on disk when it exists.
  QString path(const QString &name) const;
  bool contains(const QString &name) const;
  // A file written since the folder was read.
  void add(const QString &name);

private:
  QString folder_;
  QHash<QString, QString> exact_;  // name -> name
  QHash<QString, QString> folded_; // folded name -> first name of that fold
};

// --- reading -----------------------------------------------------------------------------

struct GroupRow {
  qint64 rowid = 0;
  std::optional<qint64> id; // GROUP_ID
  QVariant name;            // TIP_GROUP
  QVariant local, imported, original;
  QDate date;
};

struct TipRow {
  qint64 rowid = 0;
  std::optional<qint64> groupId;
  QVariant subject, description;
  QVariant local, imported, original;
  QDate date;
};

// Every group of the file, in the order of the table (the order of a record set on
// "Group").
std::vector<GroupRow> readGroups(store::Database &db);

// Every tip of the file, one at a time, in the order of the table.
class TipScan {
public:
  explicit TipScan(store::Database &db);
  ~TipScan();
  bool next(TipRow &row);

private:
  std::unique_ptr<store::sql::Statement> stmt_;
  DateReader dates_;
};

// The tip a walk stands on, read column by column when asked for: a merge skips half of
// the tips by their subject and never needs their descriptions.
class TipCursor {
public:
  TipCursor(const store::sql::Statement &s, int first, DateReader &dates)
      : s_(s), first_(first), dates_(dates) {}
  qint64 rowid() const;
  QVariant subject() const;
  EntryName subjectEntry() const;
  QVariant description() const;
  // The description without blanks around, in UTF-8; a null one is a null QByteArray.
  QByteArray trimmedDescription() const;
  QDate date() const;
  TipRow row() const;

private:
  const store::sql::Statement &s_;
  int first_; // the column of GROUP_ID; the rowid is the one before it
  DateReader &dates_;
};

// The tips of each group, for walks over the groups in table order that visit each
// group's tips in table order right after it (what a walk over all tips per group gives,
// in one pass instead of one per group). A tip belongs to every group whose GROUP_ID
// equals its own; a tip of no group is never met.
class TipsByGroup {
public:
  explicit TipsByGroup(store::Database &db);
  ~TipsByGroup();
  // The tips of the group of that rowid. Groups must be asked for in table order; groups
  // left out are passed over with their tips.
  void forTipsOf(qint64 groupRowid, const std::function<void(const TipCursor &)> &visit);

private:
  std::unique_ptr<store::sql::Statement> stmt_;
  bool hasRow_ = false;
  bool done_ = false;
  qint64 groupRowid_ = 0;
  DateReader dates_;
  void advance();
};

// --- writing -----------------------------------------------------------------------------

// Inserts rows through prepared statements; the caller holds the transaction. Each name
// is written with its folded key when the file has the key column, exactly as a record
// set writes it; flags are written as -1/0 or null, dates as ISO text or null.
class RowWriter {
public:
  explicit RowWriter(std::shared_ptr<store::Database> db);
  ~RowWriter();
  // Returns the key the database gave the new group.
  qint32 insertGroup(const QVariant &name, const QVariant &local, const QVariant &imported,
                     const QVariant &original, const QDate &date);
  void insertTip(qint32 groupId, const QVariant &subject, const QVariant &description,
                 const QVariant &local, const QVariant &imported, const QVariant &original,
                 const QDate &date);
  // The same with the subject, its key and the description already in UTF-8 (a null
  // description is null): the merge has them so. Returns the key of the new tip.
  qint32 insertTip(qint32 groupId, const EntryName &subject, const QByteArray &description,
                   const QVariant &local, const QVariant &imported, const QVariant &original,
                   const QDate &date);

private:
  std::shared_ptr<store::Database> db_;
  QString groupSql_;
  QString tipSql_;
  bool groupKey_ = false;
  bool tipKey_ = false;
  QDate lastDate_; // rows written together mostly share their date
  QVariant lastDateText_;
  QVariant dateText(const QDate &date);
};

} // namespace tips::exchange
