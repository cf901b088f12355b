#pragma once
// Text without regard to case, for all letters ("É" equals "é", not only A-Z), and
// independent of the locale.
//
// The fold: canonical composition (NFC), then simple Unicode case folding, code point by
// code point ("Straße" stays apart from "STRASSE"; "Café" typed with a combining accent
// equals "Café" typed precomposed). Two texts are equal without regard to case when their folds are
// equal. The store keeps the fold of every name in a key column beside it (Schema.h), so that
// standard SQLite tools can read and write the files: no stored schema names anything of
// this program.
//
// UNICASE, the collation that older files name in their indexes (only read, and converted
// to keys): equality is the case fold's, without the composition;
// order is first by the folded text with the accents of accented Latin/Greek/Cyrillic
// letters set aside ("Éclair" sorts between "Eclair" and "Ecmo"), then by the folded
// text itself (code point order). Invalid UTF-8 bytes compare as distinct characters.
// A connection needs it to read a file of the older form and to convert it.

#include <QString>
#include <QStringView>

struct sqlite3;

namespace store {

inline constexpr const char *kCollationName = "UNICASE";
// The SQL function obx_fold(text): the fold of a text (null stays null). Registered on a
// connection, never named by a stored schema.
inline constexpr const char *kFoldFunctionName = "obx_fold";

// The fold of a text (see above).
QString foldCase(QStringView text);

// Registers UNICASE and obx_fold() on a connection; throws StoreError on failure.
// store::Database does so on every open.
void registerTextFunctions(sqlite3 *db);

// The collation itself on UTF-8 bytes: <0, 0, >0.
int compareUnicase(const char *a, int aBytes, const char *b, int bBytes);
// The same on QString data (used by tests and by callers that sort in C++).
int compareUnicase(QStringView a, QStringView b);

} // namespace store
