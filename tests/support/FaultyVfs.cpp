#include "support/FaultyVfs.h"

#include <cstring>
#include <sqlite3.h>
#include <vector>

namespace {

struct Armed {
  FaultyVfs::Kind kind;
  int at; // the call count of the kind at which it fires
  int code;
  std::function<void()> function; // instead of a code, when set
};

struct State {
  sqlite3_vfs *base = nullptr;
  sqlite3_vfs vfs{};
  int calls[4] = {};
  std::vector<Armed> armed;
  int fired = 0;
  std::string lastFiredFile;
};

State &state() {
  static State s;
  return s;
}

// Our file: the methods, the name, then the wrapped VFS's own file.
struct File {
  sqlite3_file base;
  sqlite3_file *real;
  char name[512];
};

sqlite3_file *real(sqlite3_file *f) { return reinterpret_cast<File *>(f)->real; }

// Counts the call; the code to return instead of passing it on, or SQLITE_OK.
int count(FaultyVfs::Kind kind, sqlite3_file *f) {
  State &s = state();
  const int now = ++s.calls[int(kind)];
  for (auto it = s.armed.begin(); it != s.armed.end(); ++it) {
    if (it->kind != kind || it->at != now)
      continue;
    Armed hit = std::move(*it);
    s.armed.erase(it);
    ++s.fired;
    s.lastFiredFile = reinterpret_cast<File *>(f)->name;
    if (hit.function) {
      hit.function();
      return SQLITE_OK;
    }
    return hit.code;
  }
  return SQLITE_OK;
}

int xClose(sqlite3_file *f) {
  sqlite3_file *r = real(f);
  const int rc = r->pMethods ? r->pMethods->xClose(r) : SQLITE_OK;
  f->pMethods = nullptr;
  return rc;
}
int xRead(sqlite3_file *f, void *buffer, int amount, sqlite3_int64 offset) {
  if (int rc = count(FaultyVfs::Kind::Read, f))
    return rc;
  return real(f)->pMethods->xRead(real(f), buffer, amount, offset);
}
int xWrite(sqlite3_file *f, const void *buffer, int amount, sqlite3_int64 offset) {
  if (int rc = count(FaultyVfs::Kind::Write, f))
    return rc;
  return real(f)->pMethods->xWrite(real(f), buffer, amount, offset);
}
int xTruncate(sqlite3_file *f, sqlite3_int64 size) {
  if (int rc = count(FaultyVfs::Kind::Truncate, f))
    return rc;
  return real(f)->pMethods->xTruncate(real(f), size);
}
int xSync(sqlite3_file *f, int flags) {
  if (int rc = count(FaultyVfs::Kind::Sync, f))
    return rc;
  return real(f)->pMethods->xSync(real(f), flags);
}
int xFileSize(sqlite3_file *f, sqlite3_int64 *size) {
  return real(f)->pMethods->xFileSize(real(f), size);
}
int xLock(sqlite3_file *f, int level) { return real(f)->pMethods->xLock(real(f), level); }
int xUnlock(sqlite3_file *f, int level) { return real(f)->pMethods->xUnlock(real(f), level); }
int xCheckReservedLock(sqlite3_file *f, int *out) {
  return real(f)->pMethods->xCheckReservedLock(real(f), out);
}
int xFileControl(sqlite3_file *f, int op, void *arg) {
  return real(f)->pMethods->xFileControl(real(f), op, arg);
}
int xSectorSize(sqlite3_file *f) { return real(f)->pMethods->xSectorSize(real(f)); }
int xDeviceCharacteristics(sqlite3_file *f) {
  return real(f)->pMethods->xDeviceCharacteristics(real(f));
}
int xShmMap(sqlite3_file *f, int region, int size, int extend, void volatile **out) {
  return real(f)->pMethods->xShmMap(real(f), region, size, extend, out);
}
int xShmLock(sqlite3_file *f, int offset, int n, int flags) {
  return real(f)->pMethods->xShmLock(real(f), offset, n, flags);
}
void xShmBarrier(sqlite3_file *f) { real(f)->pMethods->xShmBarrier(real(f)); }
int xShmUnmap(sqlite3_file *f, int deleteFlag) {
  return real(f)->pMethods->xShmUnmap(real(f), deleteFlag);
}
int xFetch(sqlite3_file *f, sqlite3_int64 offset, int amount, void **out) {
  // No memory-mapped reads: every read goes through xRead, where it is counted.
  (void)f, (void)offset, (void)amount;
  *out = nullptr;
  return SQLITE_OK;
}
int xUnfetch(sqlite3_file *f, sqlite3_int64 offset, void *p) {
  (void)f, (void)offset, (void)p;
  return SQLITE_OK;
}

const sqlite3_io_methods kMethods = {
    3,          xClose,      xRead,     xWrite,          xTruncate,
    xSync,      xFileSize,   xLock,     xUnlock,         xCheckReservedLock,
    xFileControl, xSectorSize, xDeviceCharacteristics, xShmMap, xShmLock,
    xShmBarrier, xShmUnmap,  xFetch,    xUnfetch,
};

int xOpen(sqlite3_vfs *vfs, const char *name, sqlite3_file *f, int flags, int *outFlags) {
  State &s = state();
  (void)vfs;
  File *file = reinterpret_cast<File *>(f);
  file->base.pMethods = nullptr;
  file->real = reinterpret_cast<sqlite3_file *>(file + 1);
  std::memset(file->real, 0, size_t(s.base->szOsFile));
  std::strncpy(file->name, name ? name : "(temporary)", sizeof file->name - 1);
  file->name[sizeof file->name - 1] = '\0';
  const int rc = s.base->xOpen(s.base, name, file->real, flags, outFlags);
  // A file whose methods are set is closed through them, even when the open failed.
  if (file->real->pMethods)
    file->base.pMethods = &kMethods;
  return rc;
}

// The rest is the wrapped VFS's own.
int xDelete(sqlite3_vfs *, const char *name, int syncDir) {
  return state().base->xDelete(state().base, name, syncDir);
}
int xAccess(sqlite3_vfs *, const char *name, int flags, int *out) {
  return state().base->xAccess(state().base, name, flags, out);
}
int xFullPathname(sqlite3_vfs *, const char *name, int size, char *out) {
  return state().base->xFullPathname(state().base, name, size, out);
}
void *xDlOpen(sqlite3_vfs *, const char *name) {
  return state().base->xDlOpen(state().base, name);
}
void xDlError(sqlite3_vfs *, int size, char *out) {
  state().base->xDlError(state().base, size, out);
}
void (*xDlSym(sqlite3_vfs *, void *handle, const char *symbol))(void) {
  return state().base->xDlSym(state().base, handle, symbol);
}
void xDlClose(sqlite3_vfs *, void *handle) { state().base->xDlClose(state().base, handle); }
int xRandomness(sqlite3_vfs *, int size, char *out) {
  return state().base->xRandomness(state().base, size, out);
}
int xSleep(sqlite3_vfs *, int micro) { return state().base->xSleep(state().base, micro); }
int xCurrentTime(sqlite3_vfs *, double *out) {
  return state().base->xCurrentTime(state().base, out);
}
int xGetLastError(sqlite3_vfs *, int size, char *out) {
  return state().base->xGetLastError ? state().base->xGetLastError(state().base, size, out) : 0;
}
int xCurrentTimeInt64(sqlite3_vfs *, sqlite3_int64 *out) {
  return state().base->xCurrentTimeInt64(state().base, out);
}

} // namespace

void FaultyVfs::install() {
  State &s = state();
  if (s.base)
    return;
  sqlite3_initialize();
  s.base = sqlite3_vfs_find(nullptr);
  sqlite3_vfs &v = s.vfs;
  v.iVersion = 2;
  v.szOsFile = int(sizeof(File)) + s.base->szOsFile;
  v.mxPathname = s.base->mxPathname;
  v.zName = "obx-faulty";
  v.xOpen = xOpen;
  v.xDelete = xDelete;
  v.xAccess = xAccess;
  v.xFullPathname = xFullPathname;
  v.xDlOpen = xDlOpen;
  v.xDlError = xDlError;
  v.xDlSym = xDlSym;
  v.xDlClose = xDlClose;
  v.xRandomness = xRandomness;
  v.xSleep = xSleep;
  v.xCurrentTime = xCurrentTime;
  v.xGetLastError = xGetLastError;
  v.xCurrentTimeInt64 = xCurrentTimeInt64;
  sqlite3_vfs_register(&v, 1);
}

void FaultyVfs::reset() {
  State &s = state();
  for (int &c : s.calls)
    c = 0;
  s.armed.clear();
  s.fired = 0;
  s.lastFiredFile.clear();
}

void FaultyVfs::failNth(Kind kind, int n, int code) {
  State &s = state();
  s.armed.push_back({kind, s.calls[int(kind)] + n, code, {}});
}

void FaultyVfs::onNth(Kind kind, int n, std::function<void()> function) {
  State &s = state();
  s.armed.push_back({kind, s.calls[int(kind)] + n, SQLITE_OK, std::move(function)});
}

int FaultyVfs::calls(Kind kind) { return state().calls[int(kind)]; }

int FaultyVfs::fired() { return state().fired; }

const std::string &FaultyVfs::lastFiredFile() { return state().lastFiredFile; }

const char *FaultyVfs::name(Kind kind) {
  switch (kind) {
  case Kind::Read:
    return "read";
  case Kind::Write:
    return "write";
  case Kind::Sync:
    return "sync";
  case Kind::Truncate:
    return "truncate";
  }
  return "?";
}
