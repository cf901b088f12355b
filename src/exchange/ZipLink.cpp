#include "exchange/ZipLink.h"

#include "exchange/MemberSource.h"
#include "exchange/ZipErrorText.h"
#include "tips/WorkProgress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <thread>
#include <unistd.h>
#include <zip.h>

#include "platform/files/FileService.h"

namespace exchange {

namespace {

// Writes what the kernel holds of a file (or folder) to the disk, so that a rename that
// follows never puts an incomplete file in place after a power loss.
bool syncPath(const QString &path, bool folder) {
  const int fd = ::open(QFile::encodeName(path).constData(), (folder ? O_DIRECTORY : 0) | O_RDONLY);
  if (fd < 0)
    return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

// A file to pack: a regular file, not a link. A link in the working folder could pull
// any file of the user into a package that is sent to somebody else.
bool packable(const QFileInfo &info) { return info.isFile() && !info.isSymLink(); }

// Files of a folder matching the pattern, in name order; with recurse, then those of the
// folders below it, folder by folder in name order.
void collect(const FileService &files, const QString &folder, const QString &pattern, bool recurse,
             QStringList &out) {
  for (const QString &name : files.matchingFiles(folder, pattern)) {
    const QString path = folder + QLatin1Char('/') + name;
    if (packable(QFileInfo(path)))
      out << path;
  }
  if (!recurse)
    return;
  const QStringList below =
      QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
  for (const QString &sub : below) {
    const QString path = folder + QLatin1Char('/') + sub;
    if (!QFileInfo(path).isSymLink())
      collect(files, path, pattern, recurse, out);
  }
}

bool isPicture(const QString &name) {
  return name.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive);
}

int codeOfLibzip(int zipError) {
  switch (zipError) {
  case ZIP_ER_MEMORY:
    return ZipLink::kMemory;
  case ZIP_ER_OPEN:
  case ZIP_ER_NOENT:
    return ZipLink::kOpen;
  case ZIP_ER_READ:
  case ZIP_ER_CHANGED:
  case ZIP_ER_EOF:
    return ZipLink::kRead;
  case ZIP_ER_TMPOPEN:
    return ZipLink::kTemp;
  case ZIP_ER_CANCELLED: // a stop asked for by the user: the caller is told apart
    return ZipLink::kWrite;
  case ZIP_ER_WRITE:
  case ZIP_ER_CLOSE:
  case ZIP_ER_RENAME:
  case ZIP_ER_SEEK:
  case ZIP_ER_TELL:
    return ZipLink::kWrite;
  default:
    return ZipLink::kLogic;
  }
}

} // namespace

ZipLink::ZipLink(const FileService &files) : files_(files) {}

int ZipLink::fail(int code, const QString &why) {
  lastError_ = why;
  return code;
}

int ZipLink::ZipFiles(int count, const QString &archivePath, const QStringList &names, int junk,
                      int recurse, int update, int freshen, const QString &rootFolder) {
  lastError_.clear();
  leftBehind_.clear();
  if (count < 0 || count > 100 || count > names.size())
    return fail(kParameters, QStringLiteral("The list of files to pack holds %1 of the %2 "
                                            "specifications asked for.")
                                 .arg(names.size())
                                 .arg(count));
  if (update != 0 || freshen != 0)
    return fail(kParameters, QStringLiteral("Update and freshen are not supported: the archive "
                                            "is always written whole."));

  const QString root = QDir::cleanPath(files_.nativePath(rootFolder));
  std::vector<Member> members;
  QSet<QString> packed;
  QHash<QString, QString> pathOfName;
  for (int i = 0; i < count; ++i) {
    if (names[i].trimmed().isEmpty())
      continue;
    const QFileInfo pattern(files_.nativePath(names[i]));
    QStringList found;
    if (QFileInfo(pattern.absolutePath()).isDir())
      collect(files_, pattern.absolutePath(), pattern.fileName(), recurse != 0, found);
    for (const QString &path : std::as_const(found)) {
      const QString clean = QDir::cleanPath(path);
      if (packed.contains(clean))
        continue; // matched by an earlier specification
      packed.insert(clean);
      QString name = QFileInfo(clean).fileName();
      if (junk == 0) {
        name = clean.startsWith(root + QLatin1Char('/')) ? clean.mid(root.size() + 1)
                                                         : clean.mid(clean.startsWith('/') ? 1 : 0);
      }
      if (const auto other = pathOfName.constFind(name); other != pathOfName.cend())
        return fail(kParameters, QStringLiteral("Two files would have the same name %1 in the "
                                                "archive: %2 and %3")
                                     .arg(name, *other, clean));
      pathOfName.insert(name, clean);
      members.push_back({clean, name});
    }
  }
  if (members.empty())
    return fail(kNothingToDo, QStringLiteral("No file matches the names to pack."));

  cancelled_ = false;
  if (const int code = write(files_.nativePath(archivePath), members); code != kOk) {
    if (cancelled_)
      throw tips::WorkCancelled();
    return code;
  }

  // Move: the files go only now that the archive is complete on disk.
  for (const Member &m : members)
    if (!QFile::remove(m.path))
      leftBehind_ << m.path;
  return kOk;
}

int ZipLink::write(const QString &archive, const std::vector<Member> &members) {
  const QFileInfo target(archive);
  const QString folder = target.absolutePath();
  if (!QFileInfo(folder).isDir())
    return fail(kCreate, QStringLiteral("Path not found: ") + folder);
  if (target.isDir())
    return fail(kCreate, QStringLiteral("A folder stands where the archive goes: ") + archive);
  qint64 totalBytes = 0;
  for (const Member &m : members) {
    QFile probe(m.path);
    if (!probe.open(QIODevice::ReadOnly))
      return fail(kOpen,
                  QStringLiteral("Cannot read the file (%1): %2").arg(probe.errorString(), m.path));
    totalBytes += probe.size();
  }
  constexpr int kMegabyte = 1 << 20;
  if (work_)
    work_->begin(QStringLiteral("MB"), (totalBytes + kMegabyte - 1) / kMegabyte);
  qint64 packedBytes = 0;
  // Each piece packed: the count goes out and a stop is heard.
  const MemberTick tick = [&](qint64 bytes) {
    packedBytes += bytes;
    if (!work_)
      return true;
    work_->advance(packedBytes / kMegabyte);
    if (work_->stopRequested())
      cancelled_ = true;
    return !cancelled_;
  };
  const int threads = int(std::max(1u, std::thread::hardware_concurrency()));

  // Beside the archive, so that the rename below stays on one file system.
  const QString temp = folder + QStringLiteral("/.") + target.fileName() + QStringLiteral(".part");
  QFile::remove(temp); // left by a packing that was stopped half-way
  int openError = 0;
  zip_t *za = zip_open(QFile::encodeName(temp).constData(), ZIP_CREATE | ZIP_TRUNCATE, &openError);
  if (!za)
    return fail(kTemp, QStringLiteral("%1: %2").arg(libzipMessage(openError), temp));
  auto abandon = [&](int code, const QString &why) {
    zip_discard(za);
    QFile::remove(temp);
    return fail(code, why);
  };
  for (const Member &m : members) {
    // Pictures are compressed already: stored as they are, they pack and unpack at disk speed.
    // The other members come deflated already, and libzip keeps them so.
    const bool picture = isPicture(m.name);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source =
        memberSource(za, m.path, picture ? 0 : std::clamp(level_, 1, 9), threads, tick, &error);
    if (!source) {
      const int code = codeOfLibzip(zip_error_code_zip(&error));
      const QString why = QString::fromLocal8Bit(zip_error_strerror(&error));
      zip_error_fini(&error);
      return abandon(code, QStringLiteral("%1: %2").arg(why, m.path));
    }
    zip_error_fini(&error);
    const zip_int64_t index =
        zip_file_add(za, m.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
      zip_source_free(source);
      return abandon(
          kLogic, QStringLiteral("%1: %2").arg(QString::fromLocal8Bit(zip_strerror(za)), m.name));
    }
    if (picture && zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_STORE, 0))
      return abandon(kLogic, QString::fromLocal8Bit(zip_strerror(za)));
  }
  if (zip_close(za) != 0) {
    const int code = codeOfLibzip(zip_error_code_zip(zip_get_error(za)));
    return abandon(code, QStringLiteral("The archive could not be written (%1): %2")
                             .arg(QString::fromLocal8Bit(zip_strerror(za)), archive));
  }
  if (!syncPath(temp, false)) {
    QFile::remove(temp);
    return fail(kWrite, QStringLiteral("The archive could not be written to the disk: ") + temp);
  }
  if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(archive).constData()) != 0) {
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    QFile::remove(temp);
    return fail(
        kCreate,
        QStringLiteral("The archive could not be put in place (%1): %2").arg(reason, archive));
  }
  syncPath(folder, true);
  if (work_)
    work_->advance((totalBytes + kMegabyte - 1) / kMegabyte);
  return kOk;
}

} // namespace exchange
