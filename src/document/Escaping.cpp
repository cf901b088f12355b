#include "document/Escaping.h"

#include <utility>

namespace document {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Walks a piece character by character, pairs of surrogates as one: f(c) for each UTF-16
// unit to write, an unpaired surrogate given as U+FFFD.
template <class F> void forEachUnit(QStringView piece, F &&f) {
  const qsizetype n = piece.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = piece[i];
    if (c.isHighSurrogate() && i + 1 < n && piece[i + 1].isLowSurrogate()) {
      f(c.unicode());
      f(piece[++i].unicode());
    } else if (c.isSurrogate()) {
      f(kReplacement);
    } else {
      f(c.unicode());
    }
  }
}

bool isAsciiWordChar(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

} // namespace

bool isForbidden(QChar c) {
  const char16_t u = c.unicode();
  if (u == u'\t' || u == u'\n' || u == u'\r')
    return false;
  return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0xFFFE || u == 0xFFFF;
}

void PlainText::add(QStringView piece, QString &out) {
  out.reserve(out.size() + piece.size());
  forEachUnit(piece, [&](char16_t c) {
    const bool afterCR = std::exchange(afterCR_, false);
    if (c == u'\r') {
      afterCR_ = true;
      out += QLatin1Char('\n');
    } else if (c != u'\n' || !afterCR) {
      out += isForbidden(QChar(c)) ? QChar(kReplacement) : QChar(c);
    }
  });
}

void HtmlText::add(QStringView piece, QString &out) {
  out.reserve(out.size() + piece.size() + piece.size() / 8);
  forEachUnit(piece, [&](char16_t c) {
    const bool afterCR = std::exchange(afterCR_, false);
    switch (c) {
    case u'&':
      out += QLatin1String("&amp;");
      return;
    case u'<':
      out += QLatin1String("&lt;");
      return;
    case u'>':
      out += QLatin1String("&gt;");
      return;
    case u'"':
      out += QLatin1String("&quot;");
      return;
    case u'\'':
      out += QLatin1String("&#39;");
      return;
    case u'\r':
      afterCR_ = true;
      out += QLatin1Char('\n');
      return;
    case u'\n':
      if (!afterCR) // CR LF is one line break
        out += QLatin1Char('\n');
      return;
    default:
      out += isForbidden(QChar(c)) ? QChar(kReplacement) : QChar(c);
    }
  });
}

QString htmlEscaped(QStringView text) {
  QString out;
  HtmlText().add(text, out);
  return out;
}

void MarkdownText::lineBreak(QString &out) {
  if (lines_ == Lines::Joined) {
    out += QLatin1Char(' ');
    previous_ = u' ';
    return;
  }
  if (breakPending_)
    out += QLatin1String("\\\n");
  // An empty line would end the paragraph: a no-break space keeps it a line of its own.
  if (lineEmpty_)
    out += QLatin1String("&#160;");
  breakPending_ = true;
  lineEmpty_ = true;
  inIndent_ = true;
  leadingWord_ = 0;
  leadingWordOnly_ = true;
  previous_ = 0;
}

void MarkdownText::addChar(char16_t c, QString &out) {
  if (breakPending_) {
    out += QLatin1String("\\\n");
    breakPending_ = false;
  }
  const bool kept = lines_ == Lines::Kept;
  const bool atLineStart = kept && inIndent_;
  lineEmpty_ = false;
  if (kept && inIndent_ && (c == u' ' || c == u'\t')) {
    // Leading blanks would make the line code, or be dropped.
    out += c == u' ' ? QLatin1String("&#160;") : QLatin1String("&#160;&#160;&#160;&#160;");
    previous_ = c;
    return;
  }
  inIndent_ = false;
  // A list number or letter ("1.", "a)", "iv.") opens a list only at the start of a line.
  const bool afterLeadingWord = kept && leadingWordOnly_ && leadingWord_ > 0;
  if (isAsciiWordChar(c) && leadingWordOnly_ && leadingWord_ < 10) {
    ++leadingWord_;
  } else {
    leadingWordOnly_ = false;
  }

  bool escape = false;
  switch (c) {
  // Inline markup, anywhere: emphasis, code, links and images, HTML and entities, tables,
  // strike-through, headings' closing marks and attributes, pandoc's math, superscripts
  // and citations.
  case u'\\':
  case u'`':
  case u'*':
  case u'_':
  case u'{':
  case u'}':
  case u'[':
  case u']':
  case u'<':
  case u'>':
  case u'#':
  case u'|':
  case u'~':
  case u'&':
  case u'$':
  case u'^':
  case u'@':
    escape = true;
    break;
  // Blocks that begin at the start of a line: lists, rules, headings underlined, pandoc's
  // definitions and example lists.
  case u'-':
    // "--" is a dash to pandoc's typography.
    escape = atLineStart || previous_ == u'-';
    break;
  case u'+':
  case u'=':
  case u':':
  case u'(':
    escape = atLineStart;
    break;
  case u'.':
  case u')':
    escape = afterLeadingWord;
    break;
  default:
    break;
  }
  if (escape)
    out += QLatin1Char('\\');
  out += isForbidden(QChar(c)) ? QChar(kReplacement) : QChar(c);
  previous_ = c;
}

void MarkdownText::add(QStringView piece, QString &out) {
  out.reserve(out.size() + piece.size() + piece.size() / 8);
  forEachUnit(piece, [&](char16_t c) {
    const bool afterCR = std::exchange(afterCR_, false);
    if (c == u'\r') {
      afterCR_ = true;
      lineBreak(out);
    } else if (c == u'\n') {
      if (!afterCR)
        lineBreak(out);
    } else {
      addChar(c, out);
    }
  });
}

QString markdownEscaped(QStringView text, MarkdownText::Lines lines) {
  QString out;
  MarkdownText(lines).add(text, out);
  return out;
}

} // namespace document
