#include "exchange/RowWriter.h"

#include <QByteArrayView>
#include <cstring>
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

// Stored text that a record set reads back byte for byte: valid UTF-8 without a leading
// byte order mark, which QString::fromUtf8 drops.
bool readsBackUnchanged(const char *text, qsizetype bytes) {
  return QByteArrayView(text, bytes).isValidUtf8() &&
         !(bytes >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0);
}

bool allAscii(const char *text, qsizetype bytes) {
  for (qsizetype i = 0; i < bytes; ++i)
    if (static_cast<unsigned char>(text[i]) >= 0x80)
      return false;
  return true;
}

// A text column as storedText writes what a record set reads of it, in UTF-8: the stored
// bytes themselves when they read back unchanged, else the conversion. No data: null.
struct CopiedText {
  const char *data = nullptr;
  qsizetype size = 0;
  QByteArray converted; // holds the bytes when they had to be converted

  CopiedText(const store::sql::Statement &source, int column) {
    sqlite3_stmt *s = source.handle();
    const int type = sqlite3_column_type(s, column);
    if (type == SQLITE_NULL)
      return;
    if (type == SQLITE_TEXT) {
      const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(s, column));
      const int bytes = sqlite3_column_bytes(s, column);
      if (text && readsBackUnchanged(text, bytes)) {
        data = text;
        size = bytes;
        return;
      }
    }
    converted = textOf(source.value(column)).toString().toUtf8();
    data = converted.isNull() ? "" : converted.constData();
    size = converted.size();
  }
};

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

QDate RowWriter::copyTip(qint32 groupId, const TipCursor &cursor) {
  const store::sql::Statement &source = cursor.statement();
  sqlite3_stmt *from = source.handle();
  const int first = cursor.first();
  store::sql::Statement &s = db_->prepared(tipSql_);
  store::sql::ResetOnExit reset(s);
  sqlite3_stmt *to = s.handle();
  auto check = [&](int rc) {
    if (rc != SQLITE_OK)
      store::sql::fail(db_->handle(), QStringLiteral("The database engine refused a value"));
  };
  // The texts stay in the source's row (or in these) until the step below.
  const CopiedText subject(source, first + kTipSubject);
  const CopiedText description(source, first + kTipDescription);
  auto bindText = [&](int i, const char *text, qsizetype bytes) {
    check(text ? sqlite3_bind_text64(to, i, text, sqlite3_uint64(bytes), SQLITE_STATIC, SQLITE_UTF8)
               : sqlite3_bind_null(to, i));
  };
  check(sqlite3_bind_int64(to, 1, groupId));
  bindText(2, subject.data, subject.size);
  bindText(3, description.data, description.size);
  for (const auto &[parameter, column] :
       {std::pair{4, kTipLocal}, std::pair{5, kTipImported}, std::pair{6, kTipOriginal}})
    check(sqlite3_column_type(from, first + column) == SQLITE_NULL
              ? sqlite3_bind_null(to, parameter)
              : sqlite3_bind_int64(to, parameter,
                                   cursor.isTrue(column) ? store::kTrue : store::kFalse));

  // Dates repeat from row to row: the last one is kept with what was written for it.
  const int dateColumn = first + kTipDate;
  QDate date;
  if (sqlite3_column_type(from, dateColumn) == SQLITE_TEXT) {
    const auto *raw = reinterpret_cast<const char *>(sqlite3_column_text(from, dateColumn));
    const int bytes = sqlite3_column_bytes(from, dateColumn);
    if (raw) {
      if (!copiedDateKnown_ || copiedDateRaw_.size() != bytes ||
          std::memcmp(copiedDateRaw_.constData(), raw, size_t(bytes)) != 0) {
        copiedDateRaw_ = QByteArray(raw, bytes);
        copiedDate_ = dateOf(QString::fromUtf8(copiedDateRaw_));
        copiedDateText_ = copiedDate_.toString(Qt::ISODate).toUtf8();
        copiedDateKnown_ = true;
      }
      date = copiedDate_;
    }
  }
  bindText(7, date.isValid() ? copiedDateText_.constData() : nullptr, copiedDateText_.size());

  QByteArray key;
  if (tipKey_) {
    if (subject.data && allAscii(subject.data, subject.size)) {
      // What the fold does to ASCII text.
      key = QByteArray(subject.data, subject.size);
      for (char &c : key)
        if (c >= 'A' && c <= 'Z')
          c = char(c + 32);
    } else if (subject.data) {
      key = store::foldCase(QString::fromUtf8(subject.data, subject.size)).toUtf8();
    }
    bindText(8, subject.data ? (key.isNull() ? "" : key.constData()) : nullptr, key.size());
  }
  s.step();
  if (sqlite3_last_insert_rowid(db_->handle()) > std::numeric_limits<qint32>::max())
    throw store::StoreError(
        QStringLiteral("The table Tips of \"%1\" has no more keys to hand out.").arg(db_->path()));
  return date;
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
