#pragma once
// The store's text collation "UNICASE": compares text without regard to case for all
// letters ("É" equals "é", not only A-Z), independent of the locale (indexes are built
// with it, so its order must never change between runs).
//
// Equality: two texts are equal when their simple Unicode case foldings are equal.
// Order: first by the folded text with the accents of accented Latin/Greek/Cyrillic
// letters set aside ("Éclair" sorts between "Eclair" and "Ecmo"), then by the folded
// text itself (code point order). Invalid UTF-8 bytes compare as distinct characters.
//
// Every connection that reads or writes the tables must register it (the indexes of
// Group.TIP_GROUP and Tips.TIP_SUBJECT use it); store::Database does so on every open.

#include <QStringView>

struct sqlite3;

namespace store {

inline constexpr const char *kCollationName = "UNICASE";

// Registers UNICASE on a connection; throws StoreError on failure.
void registerCollation(sqlite3 *db);

// The collation itself on UTF-8 bytes: <0, 0, >0.
int compareUnicase(const char *a, int aBytes, const char *b, int bBytes);
// The same on QString data (used by tests and by callers that sort in C++).
int compareUnicase(QStringView a, QStringView b);

} // namespace store
