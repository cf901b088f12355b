#include "tips/NameRules.h"

namespace tips {

QString QuoteToTick(const QString &text) {
  QString result = text;
  result.replace(QLatin1Char('\''), QLatin1Char('`'));
  return result;
}

} // namespace tips
