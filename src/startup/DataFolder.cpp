#include "startup/DataFolder.h"

#include "platform/files/FileService.h"
#include "startup/InstallLayout.h"
#include "tips/ProgramPaths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

DataFolderError::DataFolderError(const QString &message)
    : std::runtime_error(message.toStdString()), message_(message) {}

namespace {

QString absoluteClean(const QString &path) {
  return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool holdsTipDatabase(const QString &folder, const FileService &files) {
  return QFileInfo(tips::ProgramPaths(folder, files).tipDatabase()).isFile();
}

QString notAFolder(const QString &dataFolder) {
  return QStringLiteral("The data folder \"%1\" of Ombrix Tips is not a folder.").arg(dataFolder);
}

QString cannotMake(const QString &dataFolder, const QString &reason) {
  return QStringLiteral("The data folder \"%1\" of Ombrix Tips cannot be made: %2")
      .arg(dataFolder, reason);
}

// Flushes a folder's entries to disk, so that a folder renamed into place after a crash
// holds the files written into it. Best effort: some file systems cannot.
void syncFolder(const QString &folder) {
  const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return;
  ::fsync(fd);
  ::close(fd);
}

// rename() that never replaces what is at `to`. Without RENAME_NOREPLACE (some network
// file systems) plain rename() still refuses a target folder that holds anything.
int renameNoReplace(const QString &from, const QString &to) {
  const QByteArray source = QFile::encodeName(from);
  const QByteArray target = QFile::encodeName(to);
#ifdef RENAME_NOREPLACE
  if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
      0)
    return 0;
  if (errno != EINVAL && errno != ENOSYS)
    return -1;
#endif
  return ::rename(source.constData(), target.constData());
}

// A start killed while building the data folder leaves its hidden build folder behind.
// One that has not changed for an hour belongs to no running start.
void removeLeftovers(const QString &dataFolder) {
  const QFileInfo prefix(buildFolderPrefix(dataFolder));
  QDir parent(prefix.absolutePath());
  const QDateTime cutoff = QDateTime::currentDateTimeUtc().addSecs(-kLeftoverAgeSeconds);
  const QFileInfoList entries = parent.entryInfoList(
      {prefix.fileName() + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
  for (const QFileInfo &entry : entries)
    if (!entry.isSymLink() && entry.lastModified().toUTC() < cutoff)
      QDir(entry.absoluteFilePath()).removeRecursively();
}

// Copies the delivered files into an empty folder. The help file and the component
// registry are the installed program's and stay there.
void fill(const QString &folder, const QString &deliveredFolder, const FileService &files) {
  const tips::ProgramPaths from(deliveredFolder, files);
  const tips::ProgramPaths to(folder, files);
  files.copyFile(from.tipDatabase(), to.tipDatabase());
  files.copyFile(from.templateDatabase(), to.templateDatabase());
  files.createFolder(to.imagesFolder());
  files.copyFile(from.placeholderPicture(), to.placeholderPicture());
  const QString placeholder = QFileInfo(from.placeholderPicture()).fileName();
  for (const QString &name : files.matchingFiles(from.imagesFolder(), QStringLiteral("*.jpg")))
    if (name != placeholder)
      files.copyFile(from.imagesFolder() + QLatin1Char('/') + name,
                     to.imagesFolder() + QLatin1Char('/') + name);
  files.createFolder(to.exportFolder());
  files.createFolder(to.tempFolder());
  syncFolder(to.imagesFolder());
  syncFolder(folder);
}

} // namespace

bool writableByProgram(const QString &path) {
  return (QFile::permissions(path) & QFileDevice::WriteOwner) &&
         ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

QString userDataFolder(const QProcessEnvironment &environment, const QString &homeFolder) {
  const QString dataHome = environment.value(QStringLiteral("XDG_DATA_HOME"));
  const QString base = !dataHome.isEmpty() && QDir::isAbsolutePath(dataHome)
                           ? dataHome
                           : homeFolder + QStringLiteral("/.local/share");
  return QDir::cleanPath(base + QStringLiteral("/ombrixtips"));
}

QString buildFolderPrefix(const QString &dataFolder) {
  const QFileInfo info(absoluteClean(dataFolder));
  return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral("-new-");
}

bool makeDataFolder(const QString &deliveredFolder, const QString &dataFolder,
                    const FileService &files) {
  const QString target = absoluteClean(dataFolder);
  const QString parent = QFileInfo(target).absolutePath();
  if (!QDir().mkpath(parent))
    throw DataFolderError(
        cannotMake(target, QStringLiteral("the folder \"%1\" cannot be created").arg(parent)));
  removeLeftovers(target);

  // Made with the owner's permissions only: the data folder holds the user's own details.
  QTemporaryDir build(buildFolderPrefix(target) + QStringLiteral("XXXXXX"));
  if (!build.isValid())
    throw DataFolderError(cannotMake(target, build.errorString()));
  try {
    fill(build.path(), deliveredFolder, files);
  } catch (const FileError &e) {
    throw DataFolderError(cannotMake(target, e.message()));
  }
  if (renameNoReplace(build.path(), target) != 0) {
    const int error = errno;
    if (error == EEXIST || error == ENOTEMPTY)
      return false; // another start made it first; the build folder goes with `build`
    throw DataFolderError(cannotMake(target, QString::fromLocal8Bit(std::strerror(error))));
  }
  build.setAutoRemove(false);
  syncFolder(parent);
  return true;
}

ProgramFolders chooseProgramFolders(const QString &executableFolder, const InstalledLayout &layout,
                                    const QString &dataFolder, const FileService &files) {
  const QString own = absoluteClean(executableFolder);
  const bool ownDatabase = holdsTipDatabase(own, files);
  if (ownDatabase && writableByProgram(tips::ProgramPaths(own, files).tipDatabase()) &&
      writableByProgram(own))
    return {own, own, own, ProgramFolders::Kind::Portable};

  ProgramFolders folders;
  QString delivered = absoluteClean(own + QLatin1Char('/') + layout.deliveredFolder);
  if (holdsTipDatabase(delivered, files)) {
    folders.components = absoluteClean(own + QLatin1Char('/') + layout.libraryFolder);
    folders.help = delivered;
  } else if (ownDatabase) {
    // A whole program folder installed read-only (under /opt, say): its files are the
    // delivered ones, and its library and help stay with it.
    delivered = own;
    folders.components = own;
    folders.help = own;
  } else {
    throw DataFolderError(QStringLiteral("Ombrix Tips cannot find its delivered files: neither "
                                         "\"%1\" nor \"%2\" holds a tip database.")
                              .arg(delivered, own));
  }

  folders.data = absoluteClean(dataFolder);
  const QFileInfo info(folders.data);
  if (info.exists() || info.isSymLink()) {
    // The user's data, whatever state it is in: a damaged tip database is reported by the
    // program, naming the file, and nothing here repairs or replaces it.
    if (!info.isDir())
      throw DataFolderError(notAFolder(folders.data));
    folders.kind = ProgramFolders::Kind::Existing;
    return folders;
  }
  if (makeDataFolder(delivered, folders.data, files)) {
    folders.kind = ProgramFolders::Kind::FirstStart;
  } else {
    if (!QFileInfo(folders.data).isDir())
      throw DataFolderError(notAFolder(folders.data));
    folders.kind = ProgramFolders::Kind::Existing;
  }
  return folders;
}

ProgramFolders chooseExecutableFolders(const QString &executableFolder,
                                       const QProcessEnvironment &environment,
                                       const QString &homeFolder) {
  const FileService files(homeFolder);
  return chooseProgramFolders(
      executableFolder,
      {QString::fromUtf8(install::kLibraryFolder), QString::fromUtf8(install::kDeliveredFolder)},
      userDataFolder(environment, homeFolder), files);
}
