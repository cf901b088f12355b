#include "tips/ExchangeRows.h"

#include <limits>
#include <sqlite3.h>

#include "store/Collation.h"
#include "store/DataControl.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/Sqlite.h"

namespace tips::exchange {

using store::sql::quoteIdentifier;

QVariant textOf(const QVariant &stored) {
  if (!stored.isValid())
    return {};
  if (stored.typeId() == QMetaType::QByteArray)
    return QString::fromUtf8(stored.toByteArray());
  return stored.toString();
}

QVariant flagOf(const QVariant &stored) {
  if (!stored.isValid())
    return {};
  return store::isTrue(stored) ? store::kTrue : store::kFalse;
}

QDate dateOf(const QVariant &stored) {
  if (stored.typeId() != QMetaType::QString)
    return {};
  return QDate::fromString(stored.toString().left(10), Qt::ISODate);
}

std::optional<qint64> integerOf(const QVariant &stored) {
  switch (stored.typeId()) {
  case QMetaType::LongLong:
  case QMetaType::Int:
    return stored.toLongLong();
  case QMetaType::Double: {
    const double d = stored.toDouble();
    if (d != d || d < -9.0e18 || d > 9.0e18 || d != double(qint64(d)))
      return std::nullopt;
    return qint64(d);
  }
  case QMetaType::QString: {
    bool ok = false;
    const qint64 n = stored.toString().trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(n) : std::nullopt;
  }
  default:
    return std::nullopt;
  }
}

QString nameKey(const QString &text) { return store::foldCase(text); }

namespace {

QString table(store::Database &db, const char *name) {
  return quoteIdentifier(db.actualTableName(QLatin1String(name)));
}

const char *const kTipColumns = "\"GROUP_ID\", \"TIP_SUBJECT\", \"TIP_DESCRIPTION\", "
                                "\"TIP_LOCAL\", \"TIP_IMPORT\", \"TIP_ORIGINAL\", \"TIP_DATE\"";

// Reads the tip columns of kTipColumns, which start at column first.
void readTip(const store::sql::Statement &s, int first, TipRow &row) {
  row.groupId = integerOf(s.value(first));
  row.subject = textOf(s.value(first + 1));
  row.description = textOf(s.value(first + 2));
  row.local = flagOf(s.value(first + 3));
  row.imported = flagOf(s.value(first + 4));
  row.original = flagOf(s.value(first + 5));
  row.date = dateOf(s.value(first + 6));
}

QVariant storedFlag(const QVariant &flag) {
  if (!flag.isValid())
    return {};
  return QVariant::fromValue<qlonglong>(store::isTrue(flag) ? store::kTrue : store::kFalse);
}

QVariant storedDate(const QDate &date) {
  return date.isValid() ? QVariant(date.toString(Qt::ISODate)) : QVariant();
}

QVariant storedText(const QVariant &text) { return textOf(text); }

QVariant foldedKey(const QVariant &text) {
  return text.isValid() ? QVariant(store::foldCase(text.toString())) : QVariant();
}

} // namespace

std::vector<GroupRow> readGroups(store::Database &db) {
  store::sql::Statement s(db.handle(),
                          QStringLiteral("SELECT rowid, \"GROUP_ID\", \"TIP_GROUP\", \"G_LOCAL\", "
                                         "\"G_IMPORT\", \"G_ORIGINAL\", \"G_DATE\" FROM %1 "
                                         "ORDER BY rowid")
                              .arg(table(db, "Group")));
  std::vector<GroupRow> groups;
  while (s.step()) {
    GroupRow g;
    g.rowid = s.int64(0);
    g.id = integerOf(s.value(1));
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
                           .arg(QLatin1String(kTipColumns), table(db, "Tips")))) {}

TipScan::~TipScan() = default;

bool TipScan::next(TipRow &row) {
  if (!stmt_->step())
    return false;
  row.rowid = stmt_->int64(0);
  readTip(*stmt_, 1, row);
  return true;
}

// --- TipsByGroup -------------------------------------------------------------------------

TipsByGroup::TipsByGroup(store::Database &db) {
  // The join lets the engine find each group's tips through the index on Tips.GROUP_ID (or
  // an automatic one when a stranger's file has none) and hands them over in walk order.
  stmt_ = std::make_unique<store::sql::Statement>(
      db.handle(), QStringLiteral("SELECT g.rowid, t.rowid, t.\"GROUP_ID\", t.\"TIP_SUBJECT\", "
                                  "t.\"TIP_DESCRIPTION\", t.\"TIP_LOCAL\", t.\"TIP_IMPORT\", "
                                  "t.\"TIP_ORIGINAL\", t.\"TIP_DATE\" FROM %1 AS g JOIN %2 AS t "
                                  "ON t.\"GROUP_ID\" = g.\"GROUP_ID\" ORDER BY g.rowid, t.rowid")
                       .arg(table(db, "Group"), table(db, "Tips")));
}

TipsByGroup::~TipsByGroup() = default;

void TipsByGroup::advance() {
  hasRow_ = stmt_->step();
  done_ = !hasRow_;
  if (!hasRow_)
    return;
  groupRowid_ = stmt_->int64(0);
  row_.rowid = stmt_->int64(1);
  readTip(*stmt_, 2, row_);
}

void TipsByGroup::forTipsOf(qint64 groupRowid, const std::function<void(const TipRow &)> &visit) {
  if (!hasRow_ && !done_)
    advance();
  while (hasRow_ && groupRowid_ < groupRowid)
    advance();
  while (hasRow_ && groupRowid_ == groupRowid) {
    visit(row_);
    advance();
  }
}

// --- RowWriter ---------------------------------------------------------------------------

RowWriter::RowWriter(std::shared_ptr<store::Database> db) : db_(std::move(db)) {
  const store::TableSpec &groups = *store::findTable(u"Group");
  const store::TableSpec &tips = *store::findTable(u"Tips");
  const store::TableLayout groupLayout = db_->layout(groups);
  const store::TableLayout tipLayout = db_->layout(tips);
  groupKey_ = groupLayout.hasFoldKey(*store::findField(groups, u"TIP_GROUP"));
  tipKey_ = tipLayout.hasFoldKey(*store::findField(tips, u"TIP_SUBJECT"));
  groupSql_ = QStringLiteral("INSERT INTO %1 (\"TIP_GROUP\", \"G_LOCAL\", \"G_IMPORT\", "
                             "\"G_ORIGINAL\", \"G_DATE\"%2) VALUES (?1, ?2, ?3, ?4, ?5%3)")
                  .arg(quoteIdentifier(groupLayout.name),
                       groupKey_ ? QStringLiteral(", \"TIP_GROUP_FOLD\"") : QString(),
                       groupKey_ ? QStringLiteral(", ?6") : QString());
  tipSql_ = QStringLiteral("INSERT INTO %1 (%2%3) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7%4)")
                .arg(quoteIdentifier(tipLayout.name), QLatin1String(kTipColumns),
                     tipKey_ ? QStringLiteral(", \"TIP_SUBJECT_FOLD\"") : QString(),
                     tipKey_ ? QStringLiteral(", ?8") : QString());
}

RowWriter::~RowWriter() = default;

qint32 RowWriter::insertGroup(const QVariant &name, const QVariant &local, const QVariant &imported,
                              const QVariant &original, const QDate &date) {
  store::sql::Statement &s = db_->prepared(groupSql_);
  store::sql::ResetOnExit reset(s);
  const QVariant text = storedText(name);
  s.bind(1, text);
  s.bind(2, storedFlag(local));
  s.bind(3, storedFlag(imported));
  s.bind(4, storedFlag(original));
  s.bind(5, storedDate(date));
  if (groupKey_)
    s.bind(6, foldedKey(text));
  s.step();
  const qint64 key = sqlite3_last_insert_rowid(db_->handle());
  if (key > std::numeric_limits<qint32>::max())
    throw store::StoreError(
        QStringLiteral("The table Group of \"%1\" has no more keys to hand out.").arg(db_->path()));
  return qint32(key);
}

void RowWriter::insertTip(qint32 groupId, const QVariant &subject, const QVariant &description,
                          const QVariant &local, const QVariant &imported, const QVariant &original,
                          const QDate &date) {
  store::sql::Statement &s = db_->prepared(tipSql_);
  store::sql::ResetOnExit reset(s);
  const QVariant text = storedText(subject);
  s.bind(1, QVariant::fromValue<qlonglong>(groupId));
  s.bind(2, text);
  s.bind(3, storedText(description));
  s.bind(4, storedFlag(local));
  s.bind(5, storedFlag(imported));
  s.bind(6, storedFlag(original));
  s.bind(7, storedDate(date));
  if (tipKey_)
    s.bind(8, foldedKey(text));
  s.step();
  if (sqlite3_last_insert_rowid(db_->handle()) > std::numeric_limits<qint32>::max())
    throw store::StoreError(
        QStringLiteral("The table Tips of \"%1\" has no more keys to hand out.").arg(db_->path()));
}

} // namespace tips::exchange
