#include "platform/FileService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

FileError::FileError(const QString &path, const QString &reason)
    : std::runtime_error((reason + QStringLiteral(": ") + path).toStdString()), path_(path),
      reason_(reason) {}

QString FileError::message() const { return reason_ + QStringLiteral(": ") + path_; }

FileService::FileService(QString homeFolder) : home_(std::move(homeFolder)) {}

void FileService::failNth(FileOperation operation, int nth) {
  injected_[static_cast<int>(operation)].callsLeft = nth > 0 ? nth : 0;
}

void FileService::clearFailures() {
  for (Injected &i : injected_)
    i.callsLeft = 0;
}

void FileService::countCall(FileOperation operation, const QString &path) const {
  Injected &i = injected_[static_cast<int>(operation)];
  if (i.callsLeft > 0 && --i.callsLeft == 0)
    throw FileError(path, QStringLiteral("Injected failure"));
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

void FileService::copyFile(const QString &source, const QString &target) const {
  const QString from = nativePath(source);
  const QString to = nativePath(target);
  countCall(FileOperation::Copy, to);
  QFile in(from);
  if (!QFileInfo(from).isFile())
    throw FileError(from, QStringLiteral("File not found"));
  if (!in.open(QIODevice::ReadOnly))
    throw FileError(from, QStringLiteral("Cannot read the file (") + in.errorString() + ')');
  if (!QFileInfo(QFileInfo(to).absolutePath()).isDir())
    throw FileError(to, QStringLiteral("Path not found"));
  QSaveFile out(to);
  out.setDirectWriteFallback(false);
  if (!out.open(QIODevice::WriteOnly))
    throw FileError(to, QStringLiteral("Cannot write the file (") + out.errorString() + ')');
  char buffer[1 << 16];
  for (;;) {
    const qint64 n = in.read(buffer, sizeof buffer);
    if (n < 0)
      throw FileError(from, QStringLiteral("Cannot read the file (") + in.errorString() + ')');
    if (n == 0)
      break;
    if (out.write(buffer, n) != n)
      throw FileError(to, QStringLiteral("Cannot write the file (") + out.errorString() + ')');
  }
  if (!out.commit())
    throw FileError(to, QStringLiteral("Cannot write the file (") + out.errorString() + ')');
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
      throw FileError(path, QStringLiteral("Permission denied (the file is read-only)"));
    QFile file(path);
    if (!file.remove())
      throw FileError(path, QStringLiteral("Cannot delete the file (") + file.errorString() + ')');
  }
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
  if (!QDir().mkdir(native))
    throw FileError(native, QStringLiteral("Cannot create the folder"));
}
