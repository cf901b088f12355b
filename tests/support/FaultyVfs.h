#pragma once
// An SQLite VFS for tests that wraps the default one and counts, or makes fail, the calls
// that reach the disk: xRead, xWrite, xSync and xTruncate of every file SQLite opens
// through it (databases, their rollback journals, the search index).
//
//   FaultyVfs::install();                       // once; a second call does nothing
//   FaultyVfs::reset();                         // counters to zero, nothing armed
//   FaultyVfs::failNth(FaultyVfs::Kind::Write, 3, SQLITE_FULL);
//   ... the operation ...                       // its 3rd write from now returns SQLITE_FULL
//   if (FaultyVfs::fired()) ...                 // the armed point was reached
//
//   FaultyVfs::onNth(FaultyVfs::Kind::Sync, 2, [] { ::_exit(9); });
//                                               // calls the function at the 2nd sync from
//                                               // now, before that sync is passed on
//
// install() makes this VFS the default, so every sqlite3_open_v2 after it (the store's
// included) goes through it; connections opened before keep the VFS they had. Counts are
// of calls made since the last reset(), over all files. "nth from now" counts from the
// moment failNth/onNth is called (1: the next call of that kind). Each armed point fires
// once; several may be armed at once. Codes: SQLITE_IOERR_READ, SQLITE_IOERR_WRITE,
// SQLITE_IOERR_FSYNC, SQLITE_IOERR_TRUNCATE, SQLITE_FULL (a full disk), or any other.
//
// One thread: the store's. Nothing here is locked.

#include <functional>
#include <string>

class FaultyVfs {
public:
  enum class Kind { Read, Write, Sync, Truncate };

  static void install();
  // Counters to zero; every armed point and function dropped.
  static void reset();
  // The nth call of the kind from now returns code instead of reaching the disk.
  static void failNth(Kind kind, int n, int code);
  // The nth call of the kind from now first calls the function, then goes on as usual.
  static void onNth(Kind kind, int n, std::function<void()> function);

  // Calls of the kind since the last reset().
  static int calls(Kind kind);
  // How many armed points fired since the last reset(), and the file the last one hit.
  static int fired();
  static const std::string &lastFiredFile();

  static const char *name(Kind kind);
};
