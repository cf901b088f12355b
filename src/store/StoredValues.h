#pragma once
// The one conversion of stored values: how a value a file holds (whatever type name its
// column was declared with, whatever another tool wrote) reads as a field of the program's
// tables. The record sets and the exchange's bulk reads both go through it, so a package
// reads exactly as the same rows would through a record set.

#include <QVariant>
#include <optional>

#include "store/Schema.h"

namespace store {

// Yes/no fields hold -1 (True) or 0 (False).
constexpr int kTrue = -1;
constexpr int kFalse = 0;
// The one rule for yes/no values, for what is read and what is written alike: a number
// is True when it is not zero; a text is True when it reads "true" or "yes", False when
// it reads "false" or "no" (any case, blanks around ignored), and otherwise by the number
// it writes ("-1", "0"); a bool is itself; a null is not True. Anything else (other
// text, a date) has no yes/no value: nullopt, which a write refuses as a type mismatch
// and a read of a field takes as False.
std::optional<bool> yesNoOf(const QVariant &value);
// yesNoOf(value) is True.
bool isTrue(const QVariant &value);

// An integer from an integral, boolean (True = -1), integral-valued floating (rounded to
// the nearest) or numeric text value; nothing for anything else, null included.
std::optional<qint64> integerOf(const QVariant &stored);

// A stored value as a field of that kind reads: int (or a wider integer) for integers,
// kTrue/kFalse for yes/no (what is not True is False), QDate for an ISO date text, QString
// for text (a blob read as UTF-8); a null, or a value of no such form, is an invalid
// QVariant.
QVariant readAs(FieldKind kind, const QVariant &stored);

} // namespace store
