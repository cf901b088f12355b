#include "exchange/SafeFileName.h"

#include <QTextBoundaryFinder>
#include <algorithm>

namespace exchange {
namespace {

bool refused(QChar c) {
  switch (c.unicode()) {
  case '/':
  case '\\':
  case ':':
  case '*':
  case '?':
  case '"':
  case '<':
  case '>':
  case '|':
    return true;
  default:
    break;
  }
  switch (c.category()) {
  case QChar::Other_Control:
  case QChar::Separator_Line:
  case QChar::Separator_Paragraph:
    return true;
  default:
    return false;
  }
}

bool dotOrBlank(QChar c) { return c == QLatin1Char('.') || c.isSpace(); }

// A surrogate that is not half of a pair names no character.
bool brokenSurrogate(const QString &text, qsizetype i) {
  const QChar c = text.at(i);
  if (c.isHighSurrogate())
    return i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate();
  if (c.isLowSurrogate())
    return i == 0 || !text.at(i - 1).isHighSurrogate();
  return false;
}

QString replaced(const QString &text) {
  QString out = text;
  for (qsizetype i = 0; i < out.size(); ++i)
    if (refused(out.at(i)) || brokenSurrogate(text, i))
      out[i] = QLatin1Char('_');
  return out;
}

// The longest beginning of part, ending at a character boundary, whose UTF-8 form takes at
// most maxBytes.
QString cutToBytes(const QString &part, qsizetype maxBytes) {
  if (part.toUtf8().size() <= maxBytes)
    return part;
  QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, part);
  qsizetype kept = 0;
  for (qsizetype at = boundaries.toNextBoundary(); at > 0; at = boundaries.toNextBoundary()) {
    if (QStringView(part).left(at).toUtf8().size() > maxBytes)
      break;
    kept = at;
  }
  return part.left(kept);
}

} // namespace

QString safeFileName(const QString &prefix, const QString &part, const QString &suffix) {
  const qsizetype room = kMaxFileNameBytes - prefix.toUtf8().size() - suffix.toUtf8().size();
  QString name = prefix + cutToBytes(replaced(part), std::max<qsizetype>(room, 0)) + suffix;
  for (qsizetype i = 0; i < name.size() && dotOrBlank(name.at(i)); ++i)
    name[i] = QLatin1Char('_');
  for (qsizetype i = name.size() - 1; i >= 0 && dotOrBlank(name.at(i)); --i)
    name[i] = QLatin1Char('_');
  return name;
}

} // namespace exchange
