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

// A batch of tips: rows to one INSERT, and the text it may hold at most before it is
// written (descriptions may be long).
constexpr std::size_t kBatchRows = 64;
constexpr std::size_t kBatchBytes = 1 << 20;
constexpr int kNullFlag = 1; // never a stored flag (-1 or 0)

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
  const QString row = tipKey_ ? QStringLiteral("(?, ?, ?, ?, ?, ?, ?, ?)")
                              : QStringLiteral("(?, ?, ?, ?, ?, ?, ?)");
  QStringList rows;
  for (std::size_t i = 0; i < kBatchRows; ++i)
    rows << row;
  batchSql_ = tipSql_.left(tipSql_.indexOf(QLatin1String(" VALUES "))) +
              QStringLiteral(" VALUES ") + rows.join(QStringLiteral(", "));
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
  if (!held_.empty())
    flushTips(); // the tips keep the order they came in
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
  return lastKey("Tips");
}

void RowWriter::hold(qsizetype &offset, qsizetype &length, const char *text, qsizetype bytes) {
  offset = qsizetype(heldText_.size());
  length = text ? bytes : -1;
  if (text)
    heldText_.insert(heldText_.end(), text, text + bytes);
}

QDate RowWriter::copyTip(qint32 groupId, const TipCursor &cursor) {
  const store::sql::Statement &source = cursor.statement();
  sqlite3_stmt *from = source.handle();
  const int first = cursor.first();
  HeldTip tip;
  tip.groupId = groupId;
  const CopiedText subject(source, first + kTipSubject);
  const CopiedText description(source, first + kTipDescription);
  hold(tip.offset[0], tip.length[0], subject.data, subject.size);
  hold(tip.offset[1], tip.length[1], description.data, description.size);
  const TipColumn flags[3] = {kTipLocal, kTipImported, kTipOriginal};
  for (int i = 0; i < 3; ++i)
    tip.flag[i] = sqlite3_column_type(from, first + flags[i]) == SQLITE_NULL ? kNullFlag
                  : cursor.isTrue(flags[i])                                  ? store::kTrue
                                                                             : store::kFalse;

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
  hold(tip.offset[2], tip.length[2], date.isValid() ? copiedDateText_.constData() : nullptr,
       copiedDateText_.size());

  if (!subject.data) {
    hold(tip.offset[3], tip.length[3], nullptr, 0);
  } else if (allAscii(subject.data, subject.size)) {
    // What the fold does to ASCII text.
    hold(tip.offset[3], tip.length[3], subject.data, subject.size);
    for (auto c = heldText_.begin() + tip.offset[3]; c != heldText_.end(); ++c)
      if (*c >= 'A' && *c <= 'Z')
        *c = char(*c + 32);
  } else {
    const QByteArray key = store::foldCase(QString::fromUtf8(subject.data, subject.size)).toUtf8();
    hold(tip.offset[3], tip.length[3], key.constData(), key.size());
  }
  held_.push_back(tip);
  if (held_.size() == kBatchRows || heldText_.size() > kBatchBytes)
    flushTips();
  return date;
}

void RowWriter::writeHeld(store::sql::Statement &s, std::size_t from, std::size_t count) {
  store::sql::ResetOnExit reset(s);
  sqlite3_stmt *to = s.handle();
  auto check = [&](int rc) {
    if (rc != SQLITE_OK)
      store::sql::fail(db_->handle(), QStringLiteral("The database engine refused a value"));
  };
  const int columns = tipKey_ ? 8 : 7;
  for (std::size_t row = 0; row < count; ++row) {
    const HeldTip &tip = held_[from + row];
    const int p = int(row) * columns + 1;
    check(sqlite3_bind_int64(to, p, tip.groupId));
    auto bindText = [&](int parameter, int slot) {
      check(tip.length[slot] < 0
                ? sqlite3_bind_null(to, parameter)
                : sqlite3_bind_text64(to, parameter, heldText_.data() + tip.offset[slot],
                                      sqlite3_uint64(tip.length[slot]), SQLITE_STATIC,
                                      SQLITE_UTF8));
    };
    bindText(p + 1, 0);
    bindText(p + 2, 1);
    for (int i = 0; i < 3; ++i)
      check(tip.flag[i] == kNullFlag ? sqlite3_bind_null(to, p + 3 + i)
                                     : sqlite3_bind_int64(to, p + 3 + i, tip.flag[i]));
    bindText(p + 6, 2);
    if (tipKey_)
      bindText(p + 7, 3);
  }
  s.step();
  lastKey("Tips");
}

void RowWriter::flushTips() {
  if (held_.size() == kBatchRows) {
    writeHeld(db_->prepared(batchSql_), 0, held_.size());
  } else {
    // A short batch row by row: one statement for every length would pile up.
    for (std::size_t row = 0; row < held_.size(); ++row)
      writeHeld(db_->prepared(tipSql_), row, 1);
  }
  held_.clear();
  heldText_.clear();
}

qint32 RowWriter::lastKey(const char *table) const {
  const qint64 key = sqlite3_last_insert_rowid(db_->handle());
  if (key > std::numeric_limits<qint32>::max())
    throw store::StoreError(QStringLiteral("The table %1 of \"%2\" has no more keys to hand out.")
                                .arg(QLatin1String(table), db_->path()));
  return qint32(key);
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
  return lastKey("Group");
}

void RowWriter::insertTip(qint32 groupId, const QVariant &subject, const QVariant &description,
                          const QVariant &local, const QVariant &imported, const QVariant &original,
                          const QDate &date) {
  if (!held_.empty())
    flushTips(); // the tips keep the order they came in
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
  lastKey("Tips");
}

} // namespace exchange
