#include "exchange/RowWriter.h"

#include <sqlite3.h>

#include "exchange/TableReaders.h"
#include "store/Collation.h"
#include "store/DataControl.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "store/StoredValues.h"

namespace exchange {

using store::sql::quoteIdentifier;

namespace {

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

} // namespace exchange
