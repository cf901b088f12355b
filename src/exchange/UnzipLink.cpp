#include "exchange/UnzipLink.h"

#include "exchange/ArchiveMessages.h"
#include "exchange/ZipErrorText.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <vector>
#include <zip.h>

#include "platform/files/FileService.h"
#include "tips/WorkProgress.h"

namespace exchange {

namespace {

bool isFolderEntry(const QString &name) {
  return name.endsWith(QLatin1Char('/')) || name.endsWith(QLatin1Char('\\'));
}

bool isLink(zip_t *za, zip_uint64_t index) {
  zip_uint8_t opsys = 0;
  zip_uint32_t attributes = 0;
  if (zip_file_get_external_attributes(za, index, 0, &opsys, &attributes) != 0)
    return false;
  return opsys == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK;
}

// * any run, ? one character; letter case counts, so that "*.jpg" and "*.JPG" can be told
// apart.
bool matches(QStringView pattern, QStringView name) {
  qsizetype p = 0, n = 0, star = -1, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == QLatin1Char('?') || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
      star = p++;
      resume = n;
    } else if (star >= 0) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
    ++p;
  return p == pattern.size();
}

int codeOfLibzip(int zipError) {
  switch (zipError) {
  case ZIP_ER_NOENT:
  case ZIP_ER_OPEN:
  case ZIP_ER_NOZIP:
  case ZIP_ER_MULTIDISK:
    return UnzipLink::kNotAnArchive;
  case ZIP_ER_MEMORY:
    return UnzipLink::kMemory;
  case ZIP_ER_EOF:
  case ZIP_ER_READ:
  case ZIP_ER_SEEK:
    return UnzipLink::kEarlyEnd;
  case ZIP_ER_COMPNOTSUPP:
  case ZIP_ER_ENCRNOTSUPP:
    return UnzipLink::kUnsupported;
  case ZIP_ER_NOPASSWD:
  case ZIP_ER_WRONGPASSWD:
    return UnzipLink::kNoPassword;
  default:
    return UnzipLink::kArchiveError;
  }
}

bool startsWithFolder(const QStringList &place, const QStringList &folder) {
  if (place.size() <= folder.size())
    return false;
  for (qsizetype i = 0; i < folder.size(); ++i)
    if (place[i].compare(folder[i], Qt::CaseInsensitive) != 0)
      return false;
  return true;
}

struct Planned {
  zip_uint64_t index;
  QString name;     // as the archive has it
  QString relative; // below the target folder
  bool folder;
};

struct ArchiveCloser {
  void operator()(zip_t *za) const { zip_discard(za); }
};
struct MemberCloser {
  void operator()(zip_file_t *f) const { zip_fclose(f); }
};

} // namespace

// Both kinds of slash separate folders: an archive made on another system may use either.
std::optional<QStringList> UnzipLink::placeOf(const QString &name) {
  if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')))
    return std::nullopt;
  if (name.size() >= 2 && name[0].isLetter() && name[1] == QLatin1Char(':'))
    return std::nullopt;
  QStringList parts;
  QString part;
  auto endPart = [&]() -> bool {
    if (part == QLatin1String(".."))
      return false;
    if (!part.isEmpty() && part != QLatin1String("."))
      parts << part;
    part.clear();
    return true;
  };
  for (const QChar c : name) {
    if (c == QLatin1Char('/') || c == QLatin1Char('\\')) {
      if (!endPart())
        return std::nullopt;
    } else if (c.unicode() < 0x20) {
      return std::nullopt; // control characters name no file a user could see or remove
    } else {
      part += c;
    }
  }
  if (!endPart())
    return std::nullopt;
  return parts;
}

UnzipLink::UnzipLink(const FileService &files, UnzipUser *user) : files_(files), user_(user) {}

int UnzipLink::fail(int code, const QString &why, int systemError) {
  lastError_ = why;
  lastSystemError_ = systemError;
  return code;
}

struct UnzipLink::OpenArchive {
  QString path;
  std::unique_ptr<zip_t, ArchiveCloser> za;
  zip_int64_t entries = 0;
};

// Each member's checksum is checked when it is read, not the consistency of the whole
// archive up front (see the header).
int UnzipLink::open(const QString &archive, OpenArchive &opened) {
  opened.path = files_.nativePath(archive);
  if (!QFileInfo(opened.path).isFile())
    return fail(kNotAnArchive, QStringLiteral("The archive does not exist: ") + opened.path);
  int openError = 0;
  opened.za.reset(zip_open(QFile::encodeName(opened.path).constData(), ZIP_RDONLY, &openError));
  if (!opened.za)
    return fail(codeOfLibzip(openError),
                QStringLiteral("%1: %2").arg(libzipMessage(openError), opened.path));
  opened.entries = zip_get_num_entries(opened.za.get(), 0);
  if (opened.entries < 0 || opened.entries > limits_.maxEntries)
    return fail(kRefused, QStringLiteral("The archive holds %1 members, more than %2: %3")
                              .arg(opened.entries)
                              .arg(limits_.maxEntries)
                              .arg(opened.path));
  return kOk;
}

int UnzipLink::listMembers(const QString &archive, QStringList &names) {
  names.clear();
  lastError_.clear();
  OpenArchive opened;
  if (const int code = open(archive, opened); code != kOk)
    return code;
  for (zip_int64_t i = 0; i < opened.entries; ++i) {
    const char *raw = zip_get_name(opened.za.get(), zip_uint64_t(i), ZIP_FL_ENC_GUESS);
    if (!raw)
      return fail(kArchiveError, QStringLiteral("A member has no readable name: ") + opened.path);
    names << QString::fromUtf8(raw);
  }
  return kOk;
}

int UnzipLink::UnzipToFolder(const QString &archive, const QString &target, int promptOverwrite,
                             int overwrite, int listOnly, int keepFolderNames, int includeCount,
                             int excludeCount) {
  lastError_.clear();
  lastSystemError_ = 0;
  written_.clear();
  madeFolders_.clear();
  int code = kParameters;
  bool cancelled = false;
  try {
    code = unzip(archive, target, promptOverwrite != 0, overwrite != 0, listOnly != 0,
                 keepFolderNames != 0, includeCount, excludeCount);
  } catch (const std::bad_alloc &) {
    code = fail(kMemory, QStringLiteral("Out of memory."));
  } catch (const tips::WorkCancelled &) {
    cancelled = true;
    code = fail(kParameters, QStringLiteral("The unpacking was stopped."));
  }
  if (code == kOk) {
    for (const Replaced &r : replaced_)
      QFile::remove(r.kept);
  } else {
    // A half unpacked package must not be taken for a package.
    for (const QString &path : std::as_const(written_))
      QFile::remove(path);
    written_.clear();
    // Deepest first; a folder that still holds something (a file put back) stays.
    for (auto it = madeFolders_.crbegin(); it != madeFolders_.crend(); ++it)
      QDir().rmdir(*it);
    // Latest first: a name the archive holds twice ends with the file that was there.
    for (auto it = replaced_.rbegin(); it != replaced_.rend(); ++it)
      std::rename(QFile::encodeName(it->kept).constData(),
                  QFile::encodeName(it->destination).constData());
    if (user_ && !cancelled)
      user_->showFailure(
          unpackFailureMessage(code, files_.nativePath(archive), lastError_, lastSystemError_));
  }
  replaced_.clear();
  madeFolders_.clear();
  if (cancelled)
    throw tips::WorkCancelled();
  return code;
}

int UnzipLink::unzip(const QString &archive, const QString &target, bool prompt, bool overwrite,
                     bool listOnly, bool keepFolderNames, int includeCount, int excludeCount) {
  if (includeCount < 0 || includeCount > int(includeList.size()) || excludeCount < 0 ||
      excludeCount > int(excludeList.size()))
    return fail(kParameters, QStringLiteral("The include or exclude count is out of range."));

  OpenArchive opened;
  if (const int code = open(archive, opened); code != kOk)
    return code;
  const QString &archivePath = opened.path;
  zip_t *za = opened.za.get();
  const zip_int64_t entries = opened.entries;

  // Every member is checked before anything is written.
  std::vector<Planned> plan;
  qint64 declared = 0;
  for (zip_int64_t i = 0; i < entries; ++i) {
    const zip_uint64_t index = zip_uint64_t(i);
    const char *raw = zip_get_name(za, index, ZIP_FL_ENC_GUESS);
    if (!raw)
      return fail(kArchiveError, QStringLiteral("A member has no readable name: ") + archivePath);
    const QString name = QString::fromUtf8(raw);
    const std::optional<QStringList> place = placeOf(name);
    if (!place)
      return fail(kRefused, QStringLiteral("The member \"%1\" would be written outside the "
                                           "folder: %2")
                                .arg(name, archivePath));
    if (isLink(za, index))
      return fail(kRefused,
                  QStringLiteral("The member \"%1\" is a link: %2").arg(name, archivePath));
    bool wanted = includeCount == 0;
    for (int k = 0; k < includeCount && !wanted; ++k)
      wanted = matches(includeList[size_t(k)], name);
    for (int k = 0; k < excludeCount && wanted; ++k)
      wanted = !matches(excludeList[size_t(k)], name);
    const bool folder = isFolderEntry(name);
    QStringList inRoot = *place;
    if (!memberRoot.isEmpty()) {
      if (!startsWithFolder(inRoot, memberRoot))
        continue;
      inRoot = inRoot.mid(memberRoot.size());
    }
    if (!wanted || inRoot.isEmpty() || (folder && !keepFolderNames))
      continue;
    zip_stat_t st;
    if (!folder && zip_stat_index(za, index, 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE)) {
      // Checked member by member, so that the sum never overflows.
      declared += qint64(std::min<zip_uint64_t>(st.size, zip_uint64_t(1) << 62));
      if (declared > limits_.maxBytes)
        return fail(kRefused, QStringLiteral("The archive would unpack to more than %1 bytes: %2")
                                  .arg(limits_.maxBytes)
                                  .arg(archivePath));
    }
    plan.push_back(
        {index, name, keepFolderNames ? inRoot.join(QLatin1Char('/')) : inRoot.last(), folder});
  }
  if (plan.empty() && includeCount > 0)
    return fail(kNoMatch, QStringLiteral("No member matches the names asked for."));

  if (listOnly) {
    for (const Planned &p : plan)
      if (!p.folder)
        ++memberCount;
    return kOk;
  }

  const QString folder = QDir::cleanPath(files_.nativePath(target));
  if (!QDir().mkpath(folder))
    return fail(kDiskFull, QStringLiteral("Cannot create the folder: ") + folder, errno);
  const QString home = QFileInfo(folder).canonicalFilePath();

  // The folder of a member below the target, made one level at a time: a link on the way
  // (which could lead anywhere) is refused before anything is made through it.
  auto folderBelow = [&](const QString &relative) -> std::optional<QString> {
    QString current = home;
    for (const QString &part : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
      current += QLatin1Char('/') + part;
      const QFileInfo info(current);
      if (info.isSymLink() || (info.exists() && !info.isDir()))
        return std::nullopt;
      if (!info.exists()) {
        if (!QDir().mkdir(current))
          return std::nullopt;
        madeFolders_ << current;
      }
    }
    return current;
  };

  constexpr qint64 kMegabyte = 1 << 20;
  if (work_)
    work_->begin(QStringLiteral("MB"), (declared + kMegabyte - 1) / kMegabyte);
  bool replaceNone = false;
  qint64 total = 0;
  std::vector<char> buffer(256 * 1024);
  for (const Planned &p : plan) {
    const qsizetype slash = p.relative.lastIndexOf(QLatin1Char('/'));
    const std::optional<QString> parent =
        folderBelow(p.folder ? p.relative : p.relative.left(std::max<qsizetype>(slash, 0)));
    if (!parent)
      return fail(kRefused, QStringLiteral("The folder of \"%1\" is not a plain folder below %2")
                                .arg(p.name, folder));
    if (p.folder)
      continue;
    const QString destination = *parent + QLatin1Char('/') + p.relative.mid(slash + 1);
    const QFileInfo existing(destination);
    const bool replacing = existing.exists() || existing.isSymLink();
    if (replacing) {
      if (existing.isDir() && !existing.isSymLink())
        return fail(kDiskFull,
                    QStringLiteral("A folder stands where the file goes: ") + destination);
      bool replace = overwrite && !prompt;
      if (prompt && !replaceNone && user_) {
        const int answer = user_->askReplace(overwriteText(p.relative), overwriteTitle());
        replace = answer == kReplaceYes;
        replaceNone = answer == kReplaceNone;
      }
      if (!replace)
        continue;
    }

    std::unique_ptr<zip_file_t, MemberCloser> in(zip_fopen_index(za, p.index, 0));
    if (!in) {
      const int error = zip_error_code_zip(zip_get_error(za));
      return fail(codeOfLibzip(error), QStringLiteral("%1: %2").arg(libzipMessage(error), p.name));
    }
    // Written beside its place and renamed when complete: a partly written member never
    // stands under its name, and an existing link there is replaced, not followed.
    QTemporaryFile out(*parent + QStringLiteral("/.obx-unzip-XXXXXX"));
    if (!out.open())
      return fail(
          kDiskFull,
          QStringLiteral("Cannot write in the folder (%1): %2").arg(out.errorString(), *parent),
          errno);
    for (;;) {
      const zip_int64_t n = zip_fread(in.get(), buffer.data(), buffer.size());
      if (n < 0) {
        const int error = zip_error_code_zip(zip_file_get_error(in.get()));
        return fail(error == ZIP_ER_READ || error == ZIP_ER_EOF ? kEarlyEnd : codeOfLibzip(error),
                    QStringLiteral("%1: %2").arg(libzipMessage(error), p.name));
      }
      if (n == 0)
        break;
      total += n;
      if (total > limits_.maxBytes)
        return fail(kRefused, QStringLiteral("The archive unpacks to more than %1 bytes: %2")
                                  .arg(limits_.maxBytes)
                                  .arg(archivePath));
      if (out.write(buffer.data(), n) != n)
        return fail(
            kDiskFull,
            QStringLiteral("Cannot write the file (%1): %2").arg(out.errorString(), destination),
            errno);
      if (work_) {
        work_->advance(total / kMegabyte);
        work_->checkpoint();
      }
    }
    zip_stat_t st;
    if (zip_stat_index(za, p.index, 0, &st) == 0 && (st.valid & ZIP_STAT_MTIME))
      out.setFileTime(QDateTime::fromSecsSinceEpoch(qint64(st.mtime)),
                      QFileDevice::FileModificationTime);
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                       QFileDevice::ReadOther);
    if (!out.flush())
      return fail(
          kDiskFull,
          QStringLiteral("Cannot write the file (%1): %2").arg(out.errorString(), destination),
          errno);
    if (replacing) {
      // The file it replaces is set aside until the whole archive is in: a failure
      // further on puts it back, so a failed unpacking never costs a file.
      QTemporaryFile keep(*parent + QStringLiteral("/.obx-unzip-keep-XXXXXX"));
      if (!keep.open())
        return fail(
            kDiskFull,
            QStringLiteral("Cannot write in the folder (%1): %2").arg(keep.errorString(), *parent));
      keep.setAutoRemove(false);
      const QString kept = keep.fileName();
      keep.close();
      if (std::rename(QFile::encodeName(destination).constData(),
                      QFile::encodeName(kept).constData()) != 0) {
        QFile::remove(kept);
        return fail(kDiskFull,
                    QStringLiteral("Cannot set the existing file aside: ") + destination);
      }
      replaced_.push_back({destination, kept});
    }
    if (std::rename(QFile::encodeName(out.fileName()).constData(),
                    QFile::encodeName(destination).constData()) != 0)
      return fail(kDiskFull, QStringLiteral("Cannot put the file in place: ") + destination);
    out.setAutoRemove(false);
    written_ << destination;
  }
  if (work_)
    work_->advance((declared + kMegabyte - 1) / kMegabyte);
  return kOk;
}

} // namespace exchange
