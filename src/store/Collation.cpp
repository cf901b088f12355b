#include "store/Collation.h"

#include <QChar>
#include <QString>
#include <algorithm>
#include <sqlite3.h>

#include "store/StoreError.h"

namespace store {
namespace {

// The fold of one code point: the one case rule of the store.
char32_t fold(char32_t c) {
  if (c < 0x80)
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
  if (c > 0x10FFFF)
    return c;
  return QChar::toCaseFolded(c);
}

bool allAscii(const char *s, int bytes) {
  for (int k = 0; k < bytes; ++k)
    if (static_cast<unsigned char>(s[k]) >= 0x80)
      return false;
  return true;
}

// obx_fold(x): the fold of x's text; null stays null. It runs over every name of a table
// when the keys of a file are written anew, so all-ASCII text (the common case) skips the
// round trip through QString; both ways give the same result.
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
    if (allAscii(text, bytes)) {
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
  if (sqlite3_create_function_v2(db, kFoldFunctionName, 1,
                                 SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                 foldFunction, nullptr, nullptr, nullptr) != SQLITE_OK)
    throw StoreError(QStringLiteral("The text functions could not be registered: %1")
                         .arg(QString::fromUtf8(sqlite3_errmsg(db))));
}

} // namespace store
