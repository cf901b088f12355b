#pragma once
// How typed names are made ready for storing and for lookups.

#include <QString>
#include <QStringView>

namespace tips {

// Every apostrophe becomes a backtick, so a name can stand between apostrophes in a
// criteria text. Group names and subjects are stored this way; descriptions are not.
QString QuoteToTick(const QString &text);

// Nothing but blanks (spaces, tabs, line breaks) or nothing at all. Views, not trimmed
// copies: a description may be hundreds of megabytes.
inline bool isBlank(const QString &text) { return QStringView(text).trimmed().isEmpty(); }

// Equal once the surrounding blanks are removed from both; letter case counts.
inline bool sameOnceTrimmed(const QString &a, const QString &b) {
  return QStringView(a).trimmed() == QStringView(b).trimmed();
}

} // namespace tips
