#include "tips/NameRules.h"

QString QuoteToTick(const QString &text) {
  QString result = text;
  result.replace(QLatin1Char('\''), QLatin1Char('`'));
  return result;
}
