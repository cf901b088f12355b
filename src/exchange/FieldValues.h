#pragma once
// The values of a tip database's fields, read exactly as a record set reads them
// (store/StoredValues.h), for the exchange's bulk readers and writers (TableReaders.h,
// RowWriter.h). Nothing here assumes that the file was written by this program: a package
// database comes from a stranger and may hold values of any type in any column.

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVariant>
#include <optional>

namespace store::sql {
class Statement;
}

namespace exchange {

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
// A text column that holds ASCII only, without its surrounding blanks: what
// QString::trimmed does, without the round trip through UTF-16. Nothing for other text.
std::optional<QByteArray> asciiTrimmedAt(const store::sql::Statement &s, int column);
// The key of a name as stored (untrimmed), for the stored rows that a lookup searches.
QByteArray storedKeyOf(const QVariant &stored);

} // namespace exchange
