#include "tips/ExchangeRows.h"

#include <QDir>
#include <cstring>
#include <limits>
#include <optional>
#include <sqlite3.h>

#include "store/Collation.h"
#include "store/DataControl.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "tips/NameRules.h"

namespace tips::exchange {

using store::sql::quoteIdentifier;

QVariant textOf(const QVariant &stored) { return store::readAs(store::FieldKind::Text, stored); }

QVariant flagOf(const QVariant &stored) { return store::readAs(store::FieldKind::YesNo, stored); }

QDate dateOf(const QVariant &stored) {
  return store::readAs(store::FieldKind::Date, stored).toDate();
}

bool isTrueAt(const store::sql::Statement &s, int column) {
  switch (sqlite3_column_type(s.handle(), column)) {
  case SQLITE_INTEGER:
    return sqlite3_column_int64(s.handle(), column) != 0;
  case SQLITE_NULL:
    return false;
  default:
    return store::isTrue(s.value(column));
  }
}

QVariant flagAt(const store::sql::Statement &s, int column) {
  switch (sqlite3_column_type(s.handle(), column)) {
  case SQLITE_INTEGER:
    return sqlite3_column_int64(s.handle(), column) != 0 ? store::kTrue : store::kFalse;
  case SQLITE_NULL:
    return {};
  default:
    return flagOf(s.value(column));
  }
}

QDate DateReader::at(const store::sql::Statement &s, int column) {
  sqlite3_stmt *stmt = s.handle();
  if (sqlite3_column_type(stmt, column) != SQLITE_TEXT)
    return {};
  const char *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
  const int bytes = sqlite3_column_bytes(stmt, column);
  if (!text)
    return {};
  if (raw_.size() != bytes || std::memcmp(raw_.constData(), text, size_t(bytes)) != 0) {
    raw_ = QByteArray(text, bytes);
    date_ = dateOf(QString::fromUtf8(raw_));
  }
  return date_;
}

QString nameKey(const QString &text) { return store::foldCase(text); }

namespace {
// The blanks QString::trimmed removes, among ASCII characters.
bool asciiBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
} // namespace

EntryName entryNameOf(const QVariant &stored) {
  const QVariant text = textOf(stored);
  const QString entry = QuoteToTick(text.isValid() ? text.toString() : QString()).trimmed();
  return {entry.toUtf8(), store::foldCase(entry).toUtf8()};
}

namespace {
// A text column that holds ASCII only, without its surrounding blanks: what
// QString::trimmed does, without the round trip through UTF-16. Nothing for other text.
std::optional<QByteArray> asciiTrimmedColumn(sqlite3_stmt *stmt, int column) {
  if (sqlite3_column_type(stmt, column) != SQLITE_TEXT)
    return std::nullopt;
  const auto *text = reinterpret_cast<const unsigned char *>(sqlite3_column_text(stmt, column));
  int end = sqlite3_column_bytes(stmt, column);
  if (text == nullptr)
    return std::nullopt;
  for (int i = 0; i < end; ++i)
    if (text[i] >= 0x80)
      return std::nullopt;
  int begin = 0;
  while (begin < end && asciiBlank(text[begin]))
    ++begin;
  while (end > begin && asciiBlank(text[end - 1]))
    --end;
  return QByteArray(reinterpret_cast<const char *>(text) + begin, end - begin);
}

} // namespace

EntryName entryNameAt(const store::sql::Statement &s, int column) {
  if (std::optional<QByteArray> trimmed = asciiTrimmedColumn(s.handle(), column)) {
    // What QuoteToTick and the store's fold do to ASCII text.
    EntryName name;
    name.text = std::move(*trimmed);
    name.text.replace('\'', '`');
    name.key = name.text.toLower();
    return name;
  }
  return entryNameOf(s.value(column));
}

QByteArray storedKeyOf(const QVariant &stored) {
  const QVariant text = textOf(stored);
  return text.isValid() ? store::foldCase(text.toString()).toUtf8() : QByteArray();
}

namespace {

QString table(store::Database &db, const char *name) {
  return quoteIdentifier(db.actualTableName(QLatin1String(name)));
}

const char *const kTipColumns = "\"GROUP_ID\", \"TIP_SUBJECT\", \"TIP_DESCRIPTION\", "
                                "\"TIP_LOCAL\", \"TIP_IMPORT\", \"TIP_ORIGINAL\", \"TIP_DATE\"";

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

QVariant storedFlag(const QVariant &flag) {
  if (!flag.isValid())
    return {};
  return QVariant::fromValue<qlonglong>(store::isTrue(flag) ? store::kTrue : store::kFalse);
}

QVariant storedText(const QVariant &text) { return textOf(text); }

QVariant foldedKey(const QVariant &text) {
  return text.isValid() ? QVariant(store::foldCase(text.toString())) : QVariant();
}

} // namespace

// --- FolderNames -------------------------------------------------------------------------

FolderNames::FolderNames(QString nativeFolder) : folder_(std::move(nativeFolder)) {
  const QStringList names = QDir(folder_).entryList(QDir::Files | QDir::Hidden | QDir::System);
  for (const QString &name : names)
    add(name);
}

void FolderNames::add(const QString &name) {
  exact_.insert(name, name);
  const QString key = name.toCaseFolded();
  if (!folded_.contains(key))
    folded_.insert(key, name);
}

bool FolderNames::contains(const QString &name) const {
  return exact_.contains(name) || folded_.contains(name.toCaseFolded());
}

QString FolderNames::path(const QString &name) const {
  if (exact_.contains(name))
    return folder_ + QLatin1Char('/') + name;
  return folder_ + QLatin1Char('/') + folded_.value(name.toCaseFolded(), name);
}

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
                           .arg(QLatin1String(kTipColumns), table(db, "Tips")))) {}

TipScan::~TipScan() = default;

bool TipScan::next(TipRow &row) {
  if (!stmt_->step())
    return false;
  row.rowid = stmt_->int64(0);
  readTip(*stmt_, 1, row, dates_);
  return true;
}

// --- TipCursor ---------------------------------------------------------------------------

qint64 TipCursor::rowid() const { return s_.int64(first_ - 1); }
QVariant TipCursor::subject() const { return textOf(s_.value(first_ + 1)); }
EntryName TipCursor::subjectEntry() const { return entryNameAt(s_, first_ + 1); }
QVariant TipCursor::description() const { return textOf(s_.value(first_ + 2)); }

QByteArray TipCursor::trimmedDescription() const {
  if (std::optional<QByteArray> trimmed = asciiTrimmedColumn(s_.handle(), first_ + 2))
    return *trimmed;
  const QVariant text = description();
  return text.isValid() ? text.toString().trimmed().toUtf8() : QByteArray();
}
QDate TipCursor::date() const { return dates_.at(s_, first_ + 6); }

TipRow TipCursor::row() const {
  TipRow row;
  row.rowid = rowid();
  readTip(s_, first_, row, dates_);
  return row;
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

QVariant RowWriter::dateText(const QDate &date) {
  if (date != lastDate_ || !lastDateText_.isValid()) {
    lastDate_ = date;
    lastDateText_ = date.isValid() ? QVariant(date.toString(Qt::ISODate)) : QVariant();
  }
  return date.isValid() ? lastDateText_ : QVariant();
}

qint32 RowWriter::insertTip(qint32 groupId, const EntryName &subject, const QByteArray &description,
                            const QVariant &local, const QVariant &imported,
                            const QVariant &original, const QDate &date) {
  store::sql::Statement &s = db_->prepared(tipSql_);
  store::sql::ResetOnExit reset(s);
  auto bindText = [&](int i, const QByteArray &text) {
    if (text.isNull()
            ? sqlite3_bind_null(s.handle(), i) != SQLITE_OK
            : sqlite3_bind_text64(s.handle(), i, text.constData(), sqlite3_uint64(text.size()),
                                  SQLITE_STATIC, SQLITE_UTF8) != SQLITE_OK)
      store::sql::fail(db_->handle(), QStringLiteral("The database engine refused a value"));
  };
  s.bind(1, QVariant::fromValue<qlonglong>(groupId));
  bindText(2, subject.text.isNull() ? QByteArray("") : subject.text);
  bindText(3, description);
  s.bind(4, storedFlag(local));
  s.bind(5, storedFlag(imported));
  s.bind(6, storedFlag(original));
  s.bind(7, dateText(date));
  if (tipKey_)
    bindText(8, subject.key.isNull() ? QByteArray("") : subject.key);
  s.step();
  const sqlite3_int64 key = sqlite3_last_insert_rowid(db_->handle());
  if (key > std::numeric_limits<qint32>::max())
    throw store::StoreError(
        QStringLiteral("The table Tips of \"%1\" has no more keys to hand out.").arg(db_->path()));
  return static_cast<qint32>(key);
}

qint32 RowWriter::insertGroup(const QVariant &name, const QVariant &local, const QVariant &imported,
                              const QVariant &original, const QDate &date) {
  store::sql::Statement &s = db_->prepared(groupSql_);
  store::sql::ResetOnExit reset(s);
  const QVariant text = storedText(name);
  s.bind(1, text);
  s.bind(2, storedFlag(local));
  s.bind(3, storedFlag(imported));
  s.bind(4, storedFlag(original));
  s.bind(5, dateText(date));
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
  s.bind(7, dateText(date));
  if (tipKey_)
    s.bind(8, foldedKey(text));
  s.step();
  if (sqlite3_last_insert_rowid(db_->handle()) > std::numeric_limits<qint32>::max())
    throw store::StoreError(
        QStringLiteral("The table Tips of \"%1\" has no more keys to hand out.").arg(db_->path()));
}

} // namespace tips::exchange
