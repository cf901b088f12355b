#include "platform/files/FileService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/statvfs.h>
#include <unistd.h>

FileError::FileError(const QString &path, const QString &reason, int systemError)
    : std::runtime_error((reason + QStringLiteral(": ") + path).toStdString()), path_(path),
      reason_(reason), systemError_(systemError) {}

QString FileError::message() const { return reason_ + QStringLiteral(": ") + path_; }

FileService::FileService(QString homeFolder) : home_(std::move(homeFolder)) {}

void FileService::failNth(FileOperation operation, int nth, int systemError) {
  injected_[static_cast<int>(operation)] = {nth > 0 ? nth : 0, systemError};
}

void FileService::clearFailures() {
  for (Injected &i : injected_)
    i.callsLeft = 0;
}

void FileService::countCall(FileOperation operation, const QString &path) const {
  tell(operation, FileStep::Before, path);
  Injected &i = injected_[static_cast<int>(operation)];
  if (i.callsLeft > 0 && --i.callsLeft == 0)
    throw FileError(path,
                    i.systemError ? QString::fromLocal8Bit(std::strerror(i.systemError))
                                  : QStringLiteral("Injected failure"),
                    i.systemError);
}

namespace {

// The entry of a folder whose name equals name without regard to case; the exact
// spelling wins when both exist.
QString matchEntry(const QString &folder, const QString &name) {
  if (QFileInfo::exists(folder + QLatin1Char('/') + name))
    return name;
  const QStringList entries =
      QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QString &entry : entries)
    if (entry.compare(name, Qt::CaseInsensitive) == 0)
      return entry;
  return name;
}

} // namespace

QString FileService::nativePath(const QString &text) const {
  QString path = text;
  path.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].isLetter()) {
    // Drive C: is the home folder; other drive letters name nothing on this system.
    path = home_ + QLatin1Char('/') + path.mid(2);
  }
  const bool absolute = path.startsWith(QLatin1Char('/'));
  const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  QString resolved = absolute ? QString() : QStringLiteral(".");
  bool exists = true;
  for (const QString &part : parts) {
    const QString folder = resolved.isEmpty() ? QStringLiteral("/") : resolved;
    const QString name = exists && part != QLatin1String(".") && part != QLatin1String("..")
                             ? matchEntry(folder, part)
                             : part;
    resolved += QLatin1Char('/') + name;
    exists = exists && QFileInfo::exists(resolved);
  }
  if (resolved.isEmpty())
    return QStringLiteral("/");
  return absolute ? resolved : resolved.mid(2);
}

namespace {

// Why writing at path failed, as a system error number the user can be told about in
// plain words (ENOSPC, EROFS, EACCES), else 0. reported is errno just after the failure;
// when it tells nothing useful (Qt's own steps may have changed it), the file system is
// asked: mounted read-only, a folder the program may not write, no free space left.
int writeFailureCause(const QString &path, int reported) {
  switch (reported) {
  case ENOSPC:
  case EDQUOT:
  case EROFS:
  case EACCES:
  case EPERM:
    return reported;
  default:
    break;
  }
  const QFileInfo info(path);
  const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
  const QByteArray native = QFile::encodeName(folder);
  struct statvfs fs {};
  if (::statvfs(native.constData(), &fs) == 0) {
    if (fs.f_flag & ST_RDONLY)
      return EROFS;
    if (fs.f_bavail == 0)
      return ENOSPC;
  }
  if (::access(native.constData(), W_OK) != 0 && errno == EACCES)
    return EACCES;
  return 0;
}

// Copies from into to through a file beside the target that is renamed into place, so the
// target is whole or untouched. durable: the data is on the disk before the rename.
void copyWhole(const QString &from, const QString &to, bool durable) {
  QFile in(from);
  if (!QFileInfo(from).isFile())
    throw FileError(from, QStringLiteral("File not found"), ENOENT);
  if (!in.open(QIODevice::ReadOnly))
    throw FileError(from, QStringLiteral("Cannot read the file (") + in.errorString() + ')');
  if (!QFileInfo(QFileInfo(to).absolutePath()).isDir())
    throw FileError(to, QStringLiteral("Path not found"), ENOENT);
  std::unique_ptr<QFileDevice> out;
  if (durable) {
    auto save = std::make_unique<QSaveFile>(to);
    save->setDirectWriteFallback(false);
    out = std::move(save);
  } else {
    out = std::make_unique<QTemporaryFile>(QFileInfo(to).absolutePath() +
                                           QStringLiteral("/.obx-copy-XXXXXX"));
  }
  const auto cannotWrite = [&to, &out] {
    const int reported = errno;
    return FileError(to, QStringLiteral("Cannot write the file (") + out->errorString() + ')',
                     writeFailureCause(to, reported));
  };
  if (!out->open(QIODevice::WriteOnly))
    throw cannotWrite();
  char buffer[1 << 16];
  for (;;) {
    const qint64 n = in.read(buffer, sizeof buffer);
    if (n < 0)
      throw FileError(from, QStringLiteral("Cannot read the file (") + in.errorString() + ')');
    if (n == 0)
      break;
    if (out->write(buffer, n) != n)
      throw cannotWrite();
  }
  if (durable) {
    if (!static_cast<QSaveFile &>(*out).commit())
      throw cannotWrite();
    return;
  }
  auto &temp = static_cast<QTemporaryFile &>(*out);
  // A new file as any other program would make it, not the temporary file's owner-only one.
  temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                      QFileDevice::ReadOther);
  if (!temp.flush() || std::rename(QFile::encodeName(temp.fileName()).constData(),
                                   QFile::encodeName(to).constData()) != 0)
    throw cannotWrite();
  temp.setAutoRemove(false);
}

} // namespace

void FileService::copyFile(const QString &source, const QString &target) const {
  const QString from = nativePath(source);
  const QString to = nativePath(target);
  countCall(FileOperation::Copy, to);
  copyWhole(from, to, true);
  tell(FileOperation::Copy, FileStep::After, to);
}

void FileService::copyNativeFileUnsynced(const QString &source, const QString &target) const {
  countCall(FileOperation::Copy, target);
  copyWhole(source, target, false);
  tell(FileOperation::Copy, FileStep::After, target);
}

void FileService::shareNativeFileUnsynced(const QString &source, const QString &target) const {
  countCall(FileOperation::Copy, target);
  const QFileInfo from(source);
  // A read-only source stays a copy: the second name would be read-only too, and a delete
  // that is not forced would then refuse the working file.
  if (from.isFile() && !from.isSymLink() && (from.permissions() & QFileDevice::WriteOwner)) {
    const QByteArray to = QFile::encodeName(target);
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 8; ++attempt) {
      const QByteArray temp = folder + "/.obx-link-" + QByteArray::number(::getpid()) + '-' +
                              QByteArray::number(++counter);
      if (::link(QFile::encodeName(source).constData(), temp.constData()) != 0) {
        if (errno == EEXIST)
          continue;
        break; // another file system, or one without links: copy
      }
      if (std::rename(temp.constData(), to.constData()) == 0) {
        tell(FileOperation::Copy, FileStep::After, target);
        return;
      }
      ::unlink(temp.constData());
      break;
    }
  }
  copyWhole(source, target, false);
  tell(FileOperation::Copy, FileStep::After, target);
}

void FileService::syncFileSystem(const QString &nativeFolder) const {
  const int fd = ::open(QFile::encodeName(nativeFolder).constData(), O_RDONLY | O_DIRECTORY);
  const bool ok = fd >= 0 && ::syncfs(fd) == 0;
  if (fd >= 0)
    ::close(fd);
  if (!ok)
    throw FileError(nativeFolder, QStringLiteral("Cannot write to the disk"));
}

bool wildcardMatch(const QString &pattern, const QString &name) {
  const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(
                                  pattern, QRegularExpression::UnanchoredWildcardConversion),
                              QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch m = re.match(name);
  return m.hasMatch() && m.capturedStart() == 0 && m.capturedLength() == name.size();
}

QStringList FileService::matchingFiles(const QString &folder, const QString &pattern) const {
  QStringList result;
  const QString dir = nativePath(folder);
  const QStringList entries =
      QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
  for (const QString &entry : entries)
    if (wildcardMatch(pattern, entry))
      result << entry;
  return result;
}

void FileService::deleteFile(const QString &pattern) const {
  const QString native = nativePath(pattern);
  countCall(FileOperation::Delete, native);
  const QFileInfo info(native);
  const QString folder = info.absolutePath();
  const QString namePattern = info.fileName();
  if (!QFileInfo(folder).isDir())
    throw FileError(native, QStringLiteral("Path not found"));
  const QStringList names = matchingFiles(folder, namePattern);
  if (names.isEmpty())
    throw FileError(native, QStringLiteral("File not found"));
  for (const QString &name : names) {
    const QString path = folder + QLatin1Char('/') + name;
    // The read-only attribute is the owner's write permission; it holds for every user.
    if (!(QFile::permissions(path) & QFileDevice::WriteOwner))
      throw FileError(path, QStringLiteral("Permission denied (the file is read-only)"), EACCES);
    QFile file(path);
    if (!file.remove()) {
      const int reported = errno;
      throw FileError(path, QStringLiteral("Cannot delete the file (") + file.errorString() + ')',
                      writeFailureCause(path, reported));
    }
  }
  tell(FileOperation::Delete, FileStep::After, native);
}

void FileService::emptyFolder(const QString &nativeFolder, const QString &keepPattern) const {
  countCall(FileOperation::Delete, nativeFolder);
  namespace fs = std::filesystem;
  const fs::path folder(QFile::encodeName(nativeFolder).toStdString());
  std::error_code error;
  auto failed = [&](const fs::path &entry) {
    const QString path = QFile::decodeName(QByteArray::fromStdString(entry.string()));
    const int reported = error.value();
    return FileError(path,
                     QStringLiteral("Cannot remove (") +
                         QString::fromLocal8Bit(error.message().c_str()) + QLatin1Char(')'),
                     writeFailureCause(path, reported));
  };
  if (!fs::is_directory(fs::status(folder, error))) {
    error.clear();
    if (!fs::create_directories(folder, error) && error)
      throw failed(folder);
  }
  for (auto it = fs::directory_iterator(folder, error); !error && it != fs::directory_iterator();
       it.increment(error)) {
    const fs::path entry = it->path();
    const fs::file_status status = fs::symlink_status(entry, error);
    if (error)
      throw failed(entry);
    const QString name = QFile::decodeName(QByteArray::fromStdString(entry.filename().string()));
    if (fs::is_regular_file(status) && wildcardMatch(keepPattern, name))
      continue;
    if (fs::is_directory(status)) {
      // A folder that is not writable or searchable cannot be emptied: open it up first,
      // without ever following a link inside.
      fs::permissions(entry, fs::perms::owner_all, fs::perm_options::add, error);
      for (auto inner = fs::recursive_directory_iterator(entry, error);
           !error && inner != fs::recursive_directory_iterator(); inner.increment(error))
        if (inner->is_directory(error) && !inner->is_symlink(error))
          fs::permissions(inner->path(), fs::perms::owner_all, fs::perm_options::add, error);
      error.clear();
    }
    fs::remove_all(entry, error);
    if (error)
      throw failed(entry);
  }
  if (error)
    throw failed(folder);
  tell(FileOperation::Delete, FileStep::After, nativeFolder);
}

bool FileService::fileExists(const QString &path) const {
  return QFileInfo(nativePath(path)).isFile();
}

bool FileService::folderExists(const QString &path) const {
  return QFileInfo(nativePath(path)).isDir();
}

void FileService::createFolder(const QString &path) const {
  const QString native = nativePath(path);
  countCall(FileOperation::CreateFolder, native);
  if (QFileInfo(native).exists())
    throw FileError(native, QStringLiteral("File already exists"));
  if (!QDir().mkdir(native)) {
    const int reported = errno;
    throw FileError(native, QStringLiteral("Cannot create the folder"),
                    writeFailureCause(native, reported));
  }
  tell(FileOperation::CreateFolder, FileStep::After, native);
}
