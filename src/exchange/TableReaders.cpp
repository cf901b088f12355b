#include "exchange/TableReaders.h"

#include <sqlite3.h>

#include "store/Database.h"
#include "store/Sqlite.h"
#include "store/StoredValues.h"

namespace exchange {

using store::sql::quoteIdentifier;

namespace {

// Reads the tip columns of kTipColumns, which start at column first.
void readTip(const store::sql::Statement &s, int first, TipRow &row, DateReader &dates) {
  row.groupId = store::integerOf(s.value(first));
  row.subject = textOf(s.value(first + 1));
  row.description = textOf(s.value(first + 2));
  row.local = flagAt(s, first + 3);
  row.imported = flagAt(s, first + 4);
  row.original = flagAt(s, first + 5);
  row.date = dates.at(s, first + 6);
}

} // namespace

QString quotedTable(store::Database &db, const char *name) {
  return quoteIdentifier(db.actualTableName(QLatin1String(name)));
}

std::vector<GroupRow> readGroups(store::Database &db) {
  store::sql::Statement s(db.handle(),
                          QStringLiteral("SELECT rowid, \"GROUP_ID\", \"TIP_GROUP\", \"G_LOCAL\", "
                                         "\"G_IMPORT\", \"G_ORIGINAL\", \"G_DATE\" FROM %1 "
                                         "ORDER BY rowid")
                              .arg(quotedTable(db, "Group")));
  std::vector<GroupRow> groups;
  while (s.step()) {
    GroupRow g;
    g.rowid = s.int64(0);
    g.id = store::integerOf(s.value(1));
    g.name = textOf(s.value(2));
    g.local = flagOf(s.value(3));
    g.imported = flagOf(s.value(4));
    g.original = flagOf(s.value(5));
    g.date = dateOf(s.value(6));
    groups.push_back(std::move(g));
  }
  return groups;
}

// --- TipScan -----------------------------------------------------------------------------

TipScan::TipScan(store::Database &db)
    : stmt_(std::make_unique<store::sql::Statement>(
          db.handle(), QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid")
                           .arg(QLatin1String(kTipColumns), quotedTable(db, "Tips")))) {}

TipScan::~TipScan() = default;

bool TipScan::next(TipRow &row) {
  if (!stmt_->step())
    return false;
  row.rowid = stmt_->int64(0);
  readTip(*stmt_, 1, row, dates_);
  return true;
}

bool TipScan::step() { return stmt_->step(); }

TipCursor TipScan::cursor() { return TipCursor(*stmt_, 1, dates_); }

// --- TipCursor ---------------------------------------------------------------------------

qint64 TipCursor::rowid() const { return s_.int64(first_ - 1); }
QVariant TipCursor::subject() const { return textOf(s_.value(first_ + 1)); }
EntryName TipCursor::subjectEntry() const { return entryNameAt(s_, first_ + 1); }
QVariant TipCursor::description() const { return textOf(s_.value(first_ + 2)); }

QByteArray TipCursor::trimmedDescription() const {
  if (std::optional<QByteArray> trimmed = asciiTrimmedAt(s_, first_ + 2))
    return *trimmed;
  const QVariant text = description();
  return text.isValid() ? text.toString().trimmed().toUtf8() : QByteArray();
}
QDate TipCursor::date() const { return dates_.at(s_, first_ + 6); }

std::optional<qint64> TipCursor::groupId() const {
  if (sqlite3_column_type(s_.handle(), first_) == SQLITE_INTEGER)
    return sqlite3_column_int64(s_.handle(), first_);
  return store::integerOf(s_.value(first_));
}

bool TipCursor::isTrue(TipColumn column) const { return isTrueAt(s_, first_ + column); }

TipRow TipCursor::row() const {
  TipRow row;
  row.rowid = rowid();
  readTip(s_, first_, row, dates_);
  return row;
}

// --- TipsByGroup -------------------------------------------------------------------------

TipsByGroup::TipsByGroup(store::Database &db, Read read) {
  // Through the index: the join finds each group's tips through the index on
  // Tips.GROUP_ID (or an automatic one when a stranger's file has none) and hands them over
  // in walk order. Without descriptions: the tips are read in table order, each group found
  // by its GROUP_ID, and the engine sorts the narrow rows into walk order. The same
  // comparison joins them either way.
  const bool scan = read == Read::WithoutDescriptions;
  stmt_ = std::make_unique<store::sql::Statement>(
      db.handle(), QStringLiteral("SELECT g.rowid, t.rowid, t.\"GROUP_ID\", t.\"TIP_SUBJECT\", "
                                  "%1, t.\"TIP_LOCAL\", t.\"TIP_IMPORT\", t.\"TIP_ORIGINAL\", "
                                  "t.\"TIP_DATE\" FROM %2 ON t.\"GROUP_ID\" = g.\"GROUP_ID\" "
                                  "ORDER BY g.rowid, t.rowid")
                       .arg(scan ? QStringLiteral("NULL") : QStringLiteral("t.\"TIP_DESCRIPTION\""),
                            scan ? QStringLiteral("%2 AS t NOT INDEXED CROSS JOIN %1 AS g")
                                 : QStringLiteral("%1 AS g JOIN %2 AS t"))
                       .arg(quotedTable(db, "Group"), quotedTable(db, "Tips")));
}

TipsByGroup::~TipsByGroup() = default;

void TipsByGroup::advance() {
  hasRow_ = stmt_->step();
  done_ = !hasRow_;
  if (hasRow_)
    groupRowid_ = stmt_->int64(0);
}

void TipsByGroup::forTipsOf(qint64 groupRowid,
                            const std::function<void(const TipCursor &)> &visit) {
  if (!hasRow_ && !done_)
    advance();
  while (hasRow_ && groupRowid_ < groupRowid)
    advance();
  const TipCursor cursor(*stmt_, 2, dates_);
  while (hasRow_ && groupRowid_ == groupRowid) {
    visit(cursor);
    advance();
  }
}

namespace {

// The tips matching a condition, in table order, with the columns of TipsByGroup's.
void forTipsWhere(store::Database &db, const QString &condition,
                  const std::function<void(const TipCursor &)> &visit) {
  store::sql::Statement s(
      db.handle(), QStringLiteral("SELECT NULL, t.rowid, %1 FROM %2 AS t %3 ORDER BY t.rowid")
                       .arg(QLatin1String(kTipColumns), quotedTable(db, "Tips"), condition));
  DateReader dates;
  while (s.step())
    visit(TipCursor(s, 2, dates));
}

} // namespace

void forTipsWithoutGroup(store::Database &db, const std::function<void(const TipCursor &)> &visit) {
  // The same comparison as TipsByGroup's join.
  forTipsWhere(db,
               QStringLiteral("WHERE NOT EXISTS (SELECT 1 FROM %1 AS g WHERE g.\"GROUP_ID\" = "
                              "t.\"GROUP_ID\")")
                   .arg(quotedTable(db, "Group")),
               visit);
}

void forEveryTip(store::Database &db, const std::function<void(const TipCursor &)> &visit) {
  forTipsWhere(db, QString(), visit);
}

} // namespace exchange
