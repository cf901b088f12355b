#include "exchange/FieldValues.h"

#include <optional>
#include <sqlite3.h>

#include "store/Collation.h"
#include "store/Sqlite.h"
#include "store/StoredValues.h"
#include "tips/NameRules.h"

namespace exchange {

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
  const QString entry = tips::QuoteToTick(text.isValid() ? text.toString() : QString()).trimmed();
  return {entry.toUtf8(), store::foldCase(entry).toUtf8()};
}

std::optional<QByteArray> asciiTrimmedAt(const store::sql::Statement &s, int column) {
  sqlite3_stmt *stmt = s.handle();
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

EntryName entryNameAt(const store::sql::Statement &s, int column) {
  if (std::optional<QByteArray> trimmed = asciiTrimmedAt(s, column)) {
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

} // namespace exchange
