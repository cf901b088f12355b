#include "store/Collation.h"

#include <QChar>
#include <QList>
#include <QString>
#include <algorithm>
#include <sqlite3.h>
#include <string>
#include <unordered_map>

#include "store/StoreError.h"

namespace store {
namespace {

constexpr char32_t kInvalidBase = 0x110000; // invalid byte b decodes as kInvalidBase + b
constexpr char32_t kSkip = 0xFFFFFFFF;      // a combining mark: left out of the first pass

// Decodes one UTF-8 character at s[i] and advances i; an invalid byte decodes as
// kInvalidBase + byte and advances by one.
char32_t decode(const unsigned char *s, int n, int &i) {
  const unsigned char c = s[i];
  if (c < 0x80) {
    ++i;
    return c;
  }
  int len = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if ((c & 0xE0) == 0xC0) {
    len = 2;
    cp = c & 0x1F;
    min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    len = 3;
    cp = c & 0x0F;
    min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    len = 4;
    cp = c & 0x07;
    min = 0x10000;
  }
  if (len == 0 || i + len > n) {
    ++i;
    return kInvalidBase + c;
  }
  for (int k = 1; k < len; ++k) {
    const unsigned char cc = s[i + k];
    if ((cc & 0xC0) != 0x80) {
      ++i;
      return kInvalidBase + c;
    }
    cp = (cp << 6) | (cc & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return kInvalidBase + c;
  }
  i += len;
  return cp;
}

// The fold of one code point: the one case rule of the store.
char32_t fold(char32_t c) {
  if (c < 0x80)
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
  if (c > 0x10FFFF)
    return c;
  return QChar::toCaseFolded(c);
}

// The letter without its accents, for the first pass (c is already folded).
char32_t baseOf(char32_t c) {
  if (c < 0x80 || c > 0x10FFFF)
    return c;
  thread_local std::unordered_map<char32_t, char32_t> cache;
  if (auto it = cache.find(c); it != cache.end())
    return it->second;
  char32_t result = c;
  if (QChar::category(c) == QChar::Mark_NonSpacing) {
    result = kSkip;
  } else {
    // Strip canonical decompositions of the form letter + combining marks.
    for (int guard = 0; guard < 8 && QChar::decompositionTag(result) == QChar::Canonical; ++guard) {
      const QList<uint> parts = QChar::decomposition(result).toUcs4();
      if (parts.size() < 2)
        break;
      bool marksOnly = true;
      for (qsizetype k = 1; k < parts.size(); ++k)
        marksOnly = marksOnly && QChar::category(char32_t(parts[k])) == QChar::Mark_NonSpacing;
      if (!marksOnly)
        break;
      result = char32_t(parts[0]);
    }
    if (result != c)
      result = fold(result);
  }
  cache.emplace(c, result);
  return result;
}

std::u32string foldAll(const char *text, int bytes) {
  std::u32string out;
  out.reserve(size_t(bytes));
  const auto *s = reinterpret_cast<const unsigned char *>(text);
  int i = 0;
  while (i < bytes)
    out.push_back(fold(decode(s, bytes, i)));
  return out;
}

int compareGeneral(const char *a, int aBytes, const char *b, int bBytes) {
  const std::u32string fa = foldAll(a, aBytes);
  const std::u32string fb = foldAll(b, bBytes);
  // First pass: letters without their accents, combining marks left out.
  size_t i = 0, j = 0;
  for (;;) {
    char32_t ca = kSkip, cb = kSkip;
    while (i < fa.size() && (ca = baseOf(fa[i])) == kSkip)
      ++i;
    while (j < fb.size() && (cb = baseOf(fb[j])) == kSkip)
      ++j;
    const bool endA = i >= fa.size(), endB = j >= fb.size();
    if (endA || endB) {
      if (endA != endB)
        return endA ? -1 : 1;
      break;
    }
    if (ca != cb)
      return ca < cb ? -1 : 1;
    ++i;
    ++j;
  }
  // Second pass: the folded texts themselves.
  const int c = fa.compare(fb);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool allAscii(const char *s, int from, int to) {
  for (int k = from; k < to; ++k)
    if (static_cast<unsigned char>(s[k]) >= 0x80)
      return false;
  return true;
}

int collationCallback(void *, int aBytes, const void *a, int bBytes, const void *b) {
  return compareUnicase(static_cast<const char *>(a), aBytes, static_cast<const char *>(b), bBytes);
}

// obx_fold(x): the fold of x's text; null stays null. It runs over every name of a table
// when a file is converted, so all-ASCII text (the common case) skips the round trip
// through QString; both ways give the same result.
void foldFunction(sqlite3_context *context, int, sqlite3_value **argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_null(context);
    return;
  }
  const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
  const int bytes = sqlite3_value_bytes(argv[0]);
  if (!text) {
    sqlite3_result_error_nomem(context);
    return;
  }
  try {
    QByteArray folded;
    if (allAscii(text, 0, bytes)) {
      folded = QByteArray(text, bytes);
      for (char &c : folded)
        if (c >= 'A' && c <= 'Z')
          c = char(c + 32);
    } else {
      folded = foldCase(QString::fromUtf8(text, bytes)).toUtf8();
    }
    sqlite3_result_text64(context, folded.constData(), sqlite3_uint64(folded.size()),
                          SQLITE_TRANSIENT, SQLITE_UTF8);
  } catch (...) {
    sqlite3_result_error_nomem(context); // no exception may cross the engine
  }
}

} // namespace

int compareUnicase(const char *a, int aBytes, const char *b, int bBytes) {
  // Fast path for the common all-ASCII case; it gives the same answer as the general
  // comparison, which it hands over to as soon as a non-ASCII byte can matter.
  const int n = aBytes < bBytes ? aBytes : bBytes;
  for (int k = 0; k < n; ++k) {
    unsigned char ca = static_cast<unsigned char>(a[k]);
    unsigned char cb = static_cast<unsigned char>(b[k]);
    if (ca >= 0x80 || cb >= 0x80)
      return compareGeneral(a, aBytes, b, bBytes);
    if (ca >= 'A' && ca <= 'Z')
      ca += 32;
    if (cb >= 'A' && cb <= 'Z')
      cb += 32;
    if (ca != cb)
      return ca < cb ? -1 : 1;
  }
  if (aBytes == bBytes)
    return 0;
  // One text is an ASCII prefix of the other; the rest of the longer one may consist of
  // combining marks only, which the general comparison treats in its second pass.
  if (aBytes < bBytes ? allAscii(b, n, bBytes) : allAscii(a, n, aBytes))
    return aBytes < bBytes ? -1 : 1;
  return compareGeneral(a, aBytes, b, bBytes);
}

int compareUnicase(QStringView a, QStringView b) {
  const QByteArray ua = a.toUtf8();
  const QByteArray ub = b.toUtf8();
  return compareUnicase(ua.constData(), int(ua.size()), ub.constData(), int(ub.size()));
}

QString foldCase(QStringView input) {
  // Canonically equal texts fold alike: the text is composed first ("e" + U+0301 becomes
  // "é"). Below U+0300, where the combining marks begin, every text is composed already.
  QString composed;
  QStringView text = input;
  if (std::any_of(input.begin(), input.end(), [](QChar c) { return c.unicode() >= 0x300; })) {
    composed = input.toString().normalized(QString::NormalizationForm_C);
    text = composed;
  }
  QString out;
  out.reserve(text.size());
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    char32_t c = text[i].unicode();
    if (text[i].isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(text[i], text[i + 1]);
      ++i;
    }
    c = fold(c); // a lone surrogate stays as it is
    if (QChar::requiresSurrogates(c)) {
      out.append(QChar(QChar::highSurrogate(c)));
      out.append(QChar(QChar::lowSurrogate(c)));
    } else {
      out.append(QChar(char16_t(c)));
    }
  }
  return out;
}

void registerTextFunctions(sqlite3 *db) {
  if (sqlite3_create_collation_v2(db, kCollationName, SQLITE_UTF8, nullptr, collationCallback,
                                  nullptr) != SQLITE_OK ||
      sqlite3_create_function_v2(db, kFoldFunctionName, 1,
                                 SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                 foldFunction, nullptr, nullptr, nullptr) != SQLITE_OK)
    throw StoreError(QStringLiteral("The text functions could not be registered: %1")
                         .arg(QString::fromUtf8(sqlite3_errmsg(db))));
}

} // namespace store
