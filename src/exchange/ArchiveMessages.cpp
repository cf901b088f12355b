#include "exchange/ArchiveMessages.h"

#include "exchange/UnzipLink.h"
#include "exchange/ZipLink.h"

#include <QFileInfo>
#include <cerrno>

namespace exchange {

namespace {

QString quotedName(const QString &path) {
  return QLatin1Char('"') + QFileInfo(path).fileName() + QLatin1Char('"');
}

QString withDetail(const QString &sentence, int code, const QString &detail) {
  QString text = sentence + QStringLiteral(" (code %1)").arg(code);
  if (!detail.isEmpty())
    text += QStringLiteral("\r\n\r\n") + detail;
  return text;
}

} // namespace

QString unpackFailureMessage(int code, const QString &archivePath, const QString &detail,
                             int systemError) {
  const QString name = quotedName(archivePath);
  QString sentence;
  switch (code) {
  case UnzipLink::kNotAnArchive:
    sentence = QFileInfo(archivePath).isFile()
                   ? QStringLiteral("The file %1 is not a ZIP package, or it is too damaged to "
                                    "be read.")
                         .arg(name)
                   : QStringLiteral("The package %1 cannot be found.").arg(name);
    break;
  case UnzipLink::kArchiveError:
    sentence = QStringLiteral("The package %1 is damaged: a file in it does not read back as "
                              "it was packed. Ask for the package again.")
                   .arg(name);
    break;
  case UnzipLink::kEarlyEnd:
    sentence = QStringLiteral("The package %1 is incomplete: the file ends too early, as after "
                              "a download or copy that did not finish. Ask for the package "
                              "again.")
                   .arg(name);
    break;
  case UnzipLink::kRefused:
    sentence = QStringLiteral("The package %1 was refused for safety: it holds a file whose "
                              "name or kind could write outside the working folder, or more "
                              "files or bytes than a package of tips can hold.")
                   .arg(name);
    break;
  case UnzipLink::kUnsupported:
    sentence = QStringLiteral("The package %1 uses a compression method that this program "
                              "cannot read (such as Deflate64 or LZMA). Pack it again with "
                              "the ordinary ZIP method (Deflate).")
                   .arg(name);
    break;
  case UnzipLink::kNoPassword:
    sentence = QStringLiteral("The package %1 is protected by a password. Exchange packages "
                              "must be packed without a password.")
                   .arg(name);
    break;
  case UnzipLink::kMemory:
    sentence = QStringLiteral("There was not enough memory to unpack the package %1.").arg(name);
    break;
  case UnzipLink::kDiskFull:
    sentence =
        systemError == ENOSPC || systemError == EDQUOT
            ? QStringLiteral("The package %1 could not be unpacked: the disk is full.").arg(name)
            : QStringLiteral("The package %1 could not be unpacked into the working "
                             "folder OBXTemp.")
                  .arg(name);
    break;
  case UnzipLink::kNoMatch:
    sentence = QStringLiteral("The package %1 holds none of the files asked for.").arg(name);
    break;
  default:
    sentence = QStringLiteral("The package %1 could not be unpacked.").arg(name);
    break;
  }
  return withDetail(sentence, code, detail);
}

QString packFailureMessage(int code, const QString &archivePath, const QString &detail) {
  const QString name = quotedName(archivePath);
  QString sentence;
  switch (code) {
  case ZipLink::kMemory:
    sentence = QStringLiteral("There was not enough memory to write the package %1.").arg(name);
    break;
  case ZipLink::kRead:
  case ZipLink::kOpen:
    sentence = QStringLiteral("The package %1 could not be written: a file to pack could not "
                              "be read.")
                   .arg(name);
    break;
  case ZipLink::kNothingToDo:
    sentence =
        QStringLiteral("The package %1 was not written: there was nothing to pack.").arg(name);
    break;
  case ZipLink::kTemp:
  case ZipLink::kWrite:
  case ZipLink::kCreate:
    sentence = QStringLiteral("The package %1 could not be written in its folder: the disk may "
                              "be full, or the folder missing or read-only.")
                   .arg(name);
    break;
  default:
    sentence = QStringLiteral("The package %1 could not be written.").arg(name);
    break;
  }
  return withDetail(sentence, code, detail);
}

} // namespace exchange
