#include "store/StoredValues.h"

#include <QDate>
#include <cmath>
#include <limits>

namespace store {
namespace {

// An integer from an integral, boolean (True = -1), integral floating or numeric text value.
bool integral(const QVariant &v, qint64 &out) {
  switch (v.typeId()) {
  case QMetaType::Bool:
    out = v.toBool() ? -1 : 0;
    return true;
  case QMetaType::Int:
  case QMetaType::UInt:
  case QMetaType::Short:
  case QMetaType::UShort:
  case QMetaType::Long:
  case QMetaType::LongLong:
  case QMetaType::SChar:
  case QMetaType::UChar: {
    out = v.toLongLong();
    return true;
  }
  case QMetaType::ULong:
  case QMetaType::ULongLong: {
    const qulonglong u = v.toULongLong();
    if (u > qulonglong(std::numeric_limits<qint64>::max()))
      return false;
    out = qint64(u);
    return true;
  }
  case QMetaType::Double:
  case QMetaType::Float: {
    const double d = v.toDouble();
    if (!std::isfinite(d) || std::fabs(d) > 9.0e18)
      return false;
    out = qint64(std::nearbyint(d));
    return true;
  }
  case QMetaType::QString: {
    bool ok = false;
    out = v.toString().trimmed().toLongLong(&ok);
    return ok;
  }
  default:
    return false;
  }
}

} // namespace

std::optional<qint64> integerOf(const QVariant &stored) {
  qint64 n = 0;
  if (!stored.isValid() || !integral(stored, n))
    return std::nullopt;
  return n;
}

std::optional<bool> yesNoOf(const QVariant &value) {
  if (!value.isValid() || value.isNull())
    return false;
  switch (value.typeId()) {
  case QMetaType::Double:
  case QMetaType::Float: {
    const double d = value.toDouble();
    return std::isnan(d) ? std::nullopt : std::optional<bool>(d != 0);
  }
  case QMetaType::QString:
  case QMetaType::QByteArray: {
    const QString t = value.toString().trimmed();
    for (const char *yes : {"true", "yes"})
      if (t.compare(QLatin1String(yes), Qt::CaseInsensitive) == 0)
        return true;
    for (const char *no : {"false", "no"})
      if (t.compare(QLatin1String(no), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double d = t.toDouble(&ok); // "-1", "0", "1", "2.5"
    if (ok && !std::isnan(d))
      return d != 0;
    return std::nullopt;
  }
  default:
    break;
  }
  qint64 n = 0;
  if (integral(value, n))
    return n != 0;
  return std::nullopt;
}

bool isTrue(const QVariant &value) { return yesNoOf(value).value_or(false); }

QVariant readAs(FieldKind kind, const QVariant &stored) {
  if (!stored.isValid())
    return {};
  switch (kind) {
  case FieldKind::YesNo:
    // Another tool may have stored anything; what is not True reads as False.
    return isTrue(stored) ? kTrue : kFalse;
  case FieldKind::Integer:
  case FieldKind::SmallInt: {
    qint64 n = 0;
    if (!integral(stored, n))
      return {};
    if (n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max())
      return int(n);
    return QVariant::fromValue<qlonglong>(n);
  }
  case FieldKind::Date: {
    if (stored.typeId() != QMetaType::QString)
      return {};
    const QDate date = QDate::fromString(stored.toString().left(10), Qt::ISODate);
    return date.isValid() ? QVariant(date) : QVariant();
  }
  case FieldKind::Text:
    if (stored.typeId() == QMetaType::QByteArray)
      return QString::fromUtf8(stored.toByteArray());
    return stored.toString();
  case FieldKind::Other:
    break;
  }
  if (stored.typeId() == QMetaType::LongLong) {
    const qlonglong n = stored.toLongLong();
    if (n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max())
      return int(n);
  }
  return stored;
}

} // namespace store
