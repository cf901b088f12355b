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

#include <QString>
#include <QStringView>

struct sqlite3;

namespace store {

// The SQL function obx_fold(text): the fold of a text (null stays null). Registered on a
// connection, never named by a stored schema.
inline constexpr const char *kFoldFunctionName = "obx_fold";

// The fold of a text (see above).
QString foldCase(QStringView text);

// Registers obx_fold() on a connection; throws StoreError on failure.
// store::Database does so on every open.
void registerTextFunctions(sqlite3 *db);

} // namespace store
