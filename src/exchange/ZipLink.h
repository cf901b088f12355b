#pragma once
// The zip binding: packs the files matched by a list of file specifications into one ZIP
// archive (libzip), the way the exchange package is written.
//
// What the program relies on, and what this guarantees:
// - Every matched file is stored under its bare name (junk folder names) or under its path
//   relative to the root folder; specifications are taken in their order, the files of
//   one specification in name order; names match without regard to case.
// - Move: the packed files are removed from their folder, but only once the archive is
//   complete on disk. A failed packing removes nothing.
// - The archive is written to a temporary file beside it and renamed into place: an
//   existing archive of that name is replaced whole, and is never left half-written.
// - The result is a code, 0 for success, with the numbers of the zip library interface
//   the program has always used: a failure is never reported as success.
//
// Paths are program path texts ("C:\OBXImpExp\OBXAnn.ZIP", "<program folder>\obxtemp\*.jpg"),
// turned into native paths by the file service (drive C: is the home folder).

#include <QString>
#include <QStringList>

class FileService;

namespace tips {
class WorkProgress;
}

namespace exchange {

class ZipLink {
public:
  // Result codes; the message for each is tips/ArchiveMessages.h.
  enum Code : int {
    kOk = 0,
    kMemory = 4,       // out of memory
    kLogic = 5,        // an unexpected failure of the zip library
    kTemp = 10,        // the temporary archive could not be written
    kRead = 11,        // a file to pack could not be read
    kNothingToDo = 12, // no file matched: no archive was written
    kWrite = 14,       // the archive could not be written
    kCreate = 15,      // the archive could not be created or put in place
    kParameters = 16,  // bad arguments (unsupported switches, repeated member names)
    kOpen = 18,        // a file to pack could not be opened
  };

  explicit ZipLink(const FileService &files);

  // count: the number of specifications used in names (at most 100); junk 1 stores bare
  // file names; recurse 1 also matches in the folders below; update and freshen are not
  // supported (the package is always written whole) and must be 0; rootFolder: member
  // names are relative to it when folder names are kept.
  int ZipFiles(int count, const QString &archivePath, const QStringList &names, int junk,
               int recurse, int update, int freshen, const QString &rootFolder);

  // Why the last call failed (empty after a success), with the path concerned.
  const QString &lastError() const { return lastError_; }
  // Files that were packed but could not be removed afterwards (the archive holds them).
  const QStringList &leftBehind() const { return leftBehind_; }

  // Deflate level of the members that are not pictures, 1 (fastest, the default) to 9
  // (smallest): pictures are stored as they are. The other members are deflated on every
  // core (MemberSource.h).
  void setDeflateLevel(int level) { level_ = level; }
  // Hears the packing in "MB" of the files packed, and may stop it: ZipFiles then throws
  // tips::WorkCancelled after removing what it wrote, every file to pack left in place.
  void setWorkProgress(tips::WorkProgress *progress) { work_ = progress; }

private:
  struct Member {
    QString path; // native
    QString name; // in the archive
  };
  int fail(int code, const QString &why);
  int write(const QString &archive, const std::vector<Member> &members);

  const FileService &files_;
  QString lastError_;
  QStringList leftBehind_;
  int level_ = 1;
  tips::WorkProgress *work_ = nullptr;
  bool cancelled_ = false;
};

} // namespace exchange
