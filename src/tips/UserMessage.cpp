#include "tips/UserMessage.h"

#include "platform/files/FileService.h"
#include "store/StoreError.h"

#include <QFileInfo>
#include <cerrno>
#include <sqlite3.h>

namespace tips {

namespace {

QString quoted(const QString &path) { return QLatin1Char('"') + path + QLatin1Char('"'); }

QString diskFull(const QString &path) {
  return QStringLiteral("The disk holding %1 is full.").arg(quoted(path));
}

QString withCause(const QString &cause, const QString &words) {
  return cause.isEmpty() ? words : cause + QStringLiteral("\r\n\r\n") + words;
}

QString storeCause(const store::StoreError &error) {
  const QString &file = error.file();
  if (file.isEmpty())
    return {};
  switch (error.engineCode() & 0xff) {
  case SQLITE_FULL:
    return diskFull(file);
  case SQLITE_READONLY:
    if (error.engineCode() == SQLITE_READONLY_DIRECTORY)
      return QStringLiteral("The folder %1 is read-only.")
          .arg(quoted(QFileInfo(file).absolutePath()));
    return QStringLiteral("%1 is read-only.").arg(quoted(file));
  case SQLITE_BUSY:
  case SQLITE_LOCKED:
    return QStringLiteral("The tip database %1 is in use by another program.").arg(quoted(file));
  default:
    return {};
  }
}

QString fileCause(const FileError &error) {
  switch (error.systemError()) {
  case ENOSPC:
  case EDQUOT:
    return diskFull(error.path());
  case EROFS:
  case EACCES:
  case EPERM:
    // A file that could not be made: its folder is the one that refused.
    if (!QFileInfo::exists(error.path()))
      return QStringLiteral("The folder %1 is read-only.")
          .arg(quoted(QFileInfo(error.path()).absolutePath()));
    return QStringLiteral("%1 is read-only.").arg(quoted(error.path()));
  case ENOENT: {
    // Say the first thing missing: a folder deleted by hand, else the file itself.
    const QString folder = QFileInfo(error.path()).absolutePath();
    if (!QFileInfo(folder).isDir())
      return QStringLiteral("The folder %1 is missing.").arg(quoted(folder));
    return QStringLiteral("%1 is missing.").arg(quoted(error.path()));
  }
  default:
    return {};
  }
}

} // namespace

QString userMessage(const store::StoreError &error) {
  return withCause(storeCause(error), error.message());
}

QString userMessage(const FileError &error) { return withCause(fileCause(error), error.message()); }

} // namespace tips
