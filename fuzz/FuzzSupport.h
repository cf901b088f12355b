#pragma once
// Shared by the fuzz targets: a private scratch folder for the whole run and plain file
// helpers that never throw. Scratch lives under $TMPDIR (scripts/fuzz points it at a
// memory file system where there is one), so the many small writes of a run stay cheap.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

// One scratch folder per process, removed when the process ends normally.
inline const QString &scratchRoot() {
  static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/obx-fuzz-XXXXXX"));
  if (!dir.isValid()) {
    std::fprintf(stderr, "fuzz: cannot create a scratch folder under %s\n",
                 qPrintable(QDir::tempPath()));
    std::abort();
  }
  static const QString path = QDir(dir.path()).canonicalPath();
  return path;
}

// Stops the run: a precondition of the harness itself failed (not a finding).
[[noreturn]] inline void harnessFailure(const char *what, const QString &path) {
  std::fprintf(stderr, "fuzz harness: %s: %s\n", what, qPrintable(path));
  std::abort();
}

inline void writeFile(const QString &path, const uint8_t *data, size_t size) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      f.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
    harnessFailure("cannot write", path);
}

inline QByteArray readFile(const QString &path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    harnessFailure("cannot read", path);
  return f.readAll();
}

// A folder made anew, empty.
inline void freshFolder(const QString &path) {
  QDir dir(path);
  if (dir.exists() && !dir.removeRecursively())
    harnessFailure("cannot remove", path);
  if (!QDir().mkpath(path))
    harnessFailure("cannot create", path);
}

} // namespace fuzz
