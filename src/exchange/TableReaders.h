#pragma once
// The groups and tips of a tip database read in bulk, for the long operations of the
// exchange (the export build, the import merge). A record set per lookup costs tens of
// microseconds, which is too much inside loops over 32,767 tips; these read a table in one
// statement, each value as a record set reads it (FieldValues.h). The file may come from a
// stranger (opened ReadOnlyUntrusted) and lack the folded key columns.

#include <QDate>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "exchange/FieldValues.h"

namespace store {
class Database;
namespace sql {
class Statement;
}
} // namespace store

namespace exchange {

// The name of a table of the file as it is spelled there, quoted for SQL ("Group" may be
// "GROUP" in a stranger's file).
QString quotedTable(store::Database &db, const char *name);

// The tip columns every reader and writer here names, in this order.
inline constexpr const char *kTipColumns =
    "\"GROUP_ID\", \"TIP_SUBJECT\", \"TIP_DESCRIPTION\", "
    "\"TIP_LOCAL\", \"TIP_IMPORT\", \"TIP_ORIGINAL\", \"TIP_DATE\"";
// Their places in that list.
enum TipColumn : int {
  kTipGroup,
  kTipSubject,
  kTipDescription,
  kTipLocal,
  kTipImported,
  kTipOriginal,
  kTipDate,
};

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
class TipCursor;
class TipScan {
public:
  explicit TipScan(store::Database &db);
  ~TipScan();
  bool next(TipRow &row);
  // The next tip, read through cursor() until the following step.
  bool step();
  TipCursor cursor();

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
  // GROUP_ID as a record set reads it.
  std::optional<qint64> groupId() const;
  // A yes/no column read by store::isTrue.
  bool isTrue(TipColumn column) const;
  // The statement and the column of GROUP_ID, for a writer that copies the columns as
  // they are stored (RowWriter::copyTip).
  const store::sql::Statement &statement() const { return s_; }
  int first() const { return first_; }

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
  enum class Read {
    Everything,
    // Every column but the description (read as null), from one pass over the table in its
    // order, sorted by the engine: a large file whose groups' tips lie all over it is read
    // once instead of page by page for each group.
    WithoutDescriptions,
  };
  explicit TipsByGroup(store::Database &db, Read read = Read::Everything);
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

// The tips whose GROUP_ID is no group's, in table order: the tips a walk over the groups
// never meets.
void forTipsWithoutGroup(store::Database &db, const std::function<void(const TipCursor &)> &visit);
// Every tip, in table order.
void forEveryTip(store::Database &db, const std::function<void(const TipCursor &)> &visit);

} // namespace exchange
