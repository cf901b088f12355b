#pragma once
// The unzip binding: unpacks the members of one ZIP archive into a folder (libzip).
//
// A package comes from somebody else: everything in it is untrusted. So:
// - A member whose name is absolute ("/x", "\x", "C:x") or climbs out of the target
//   folder (".." as a component, with either kind of slash), or that is a link, refuses
//   the whole archive before anything is written: nothing is ever written outside the
//   target folder.
// - The number of members and the bytes actually written (not the sizes the archive
//   declares) are capped, so that a small archive cannot fill the disk (a zip bomb).
// - A missing file, a file that is no archive, a truncated or damaged archive all give a
//   failure code, never a crash.
// - Each member is written to a temporary file beside its place and renamed into place
//   when complete; when the unpacking fails, the files it wrote are removed again, so a
//   half unpacked package is never taken for a package, and the files they replaced are
//   put back.
//
// - Each member's checksum is checked as it is read; the archive as a whole is not held to
//   libzip's consistency check, which refuses the data descriptors that bsdtar and zip
//   writing to a pipe produce although every member reads correctly.
//
// What the screen shows goes through UnzipUser: the overwrite question and a failure, in
// words (ArchiveMessages.h).

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

class FileService;

namespace tips {
class WorkProgress;
}

namespace exchange {

// The answers to the overwrite question; the numbers are the ones the unzip library
// interface has always used, so that callers written for it keep working.
enum UnzipReplace : int {
  kReplaceYes = 102,  // replace this file
  kReplaceNo = 100,   // keep the existing file
  kReplaceNone = 104, // keep this one and every further existing file
};

// Implemented by the screen, with message boxes.
class UnzipUser {
public:
  virtual ~UnzipUser() = default;
  // Text "Overwrite " + name + "?", title "QorUnzip - File already exists"; the screen
  // shows Yes, No and Cancel without an icon and answers kReplaceYes, kReplaceNo or
  // kReplaceNone.
  virtual int askReplace(const QString &text, const QString &title) = 0;
  // A failed unpacking: text says what went wrong, naming the archive, with the failure
  // code after it; the screen shows it with OK only and the stop icon.
  virtual void showFailure(const QString &text) = 0;
};

class UnzipLink {
public:
  // Result codes, 0 for success; the numbers are those of the unzip library interface the
  // program has always used, and appear after each failure's message.
  enum Code : int {
    kOk = 0,
    kArchiveError = 2, // a damaged member (bad checksum, bad compressed data)
    kRefused = 3,      // unsafe: a member's name, a link, too many members or bytes
    kMemory = 4,
    kNotAnArchive = 9, // missing, unreadable, or not a ZIP archive
    kParameters = 10,  // bad arguments
    kNoMatch = 11,     // the include list matched no member
    kDiskFull = 50,    // a file could not be written
    kEarlyEnd = 51,    // the archive ends too early (truncated)
    kUnsupported = 81, // a compression or encryption method this reader does not know
    kNoPassword = 82,  // an encrypted member: no password is ever supplied
  };

  struct Limits {
    qint64 maxBytes = qint64(1) << 30; // bytes written by one call
    int maxEntries = 65536;            // members of one archive
  };

  // user may be null: then no question is asked (existing files are kept when the caller
  // asks to be prompted) and failures are only returned.
  UnzipLink(const FileService &files, UnzipUser *user);

  // Names of the members to unpack (include) and to leave out (exclude), wildcards * and ?
  // matching with regard to case; the counts passed to UnzipToFolder say how many entries
  // are used, 0 meaning all members and none left out.
  std::array<QString, 100> includeList;
  std::array<QString, 100> excludeList;
  // Members reported by a listing (list only).
  int memberCount = 0;
  // When not empty, only the members inside this folder of the archive (its components,
  // matched without regard to case) are unpacked, each placed relative to it: a package
  // zipped as a folder unpacks as if its files stood at the top.
  QStringList memberRoot;

  // archive and target are program path texts (a backslash is a folder separator). With
  // overwrite 1 (and no prompt) existing files are replaced without a question; with
  // prompt 1 the user is asked for each. keepFolderNames 0 puts every member directly in
  // the target folder. A failure code is shown to the user (UnzipUser) and returned.
  int UnzipToFolder(const QString &archive, const QString &target, int promptOverwrite,
                    int overwrite, int listOnly, int keepFolderNames, int includeCount,
                    int excludeCount);

  // The names of the archive's members as they stand in it, for a caller that decides
  // what to unpack; a failure code (nothing is shown to the user).
  int listMembers(const QString &archive, QStringList &names);
  // A member's place below the target folder as folder components and a file name;
  // nothing when the name is absolute, names a drive or climbs out with "..".
  static std::optional<QStringList> placeOf(const QString &name);

  static QString overwriteText(const QString &name) {
    return QStringLiteral("Overwrite ") + name + QLatin1Char('?');
  }
  static QString overwriteTitle() { return QStringLiteral("QorUnzip - File already exists"); }

  void setLimits(const Limits &limits) { limits_ = limits; }
  // Hears the unpacking in "MB" of the members written, and may stop it: UnzipToFolder then
  // throws tips::WorkCancelled after undoing it as it undoes a failure (the files it wrote
  // removed, the files they replaced put back), without showing the user a failure.
  void setWorkProgress(tips::WorkProgress *progress) { work_ = progress; }
  // Why the last call failed (empty after a success), in the words of whoever helps the
  // user; and the system's error number when a file could not be written (0 otherwise).
  const QString &lastError() const { return lastError_; }
  int lastSystemError() const { return lastSystemError_; }
  // Files written by the last call, in the order written.
  const QStringList &written() const { return written_; }

private:
  int unzip(const QString &archive, const QString &target, bool prompt, bool overwrite,
            bool listOnly, bool keepFolderNames, int includeCount, int excludeCount);
  int fail(int code, const QString &why, int systemError = 0);
  // The archive open for reading, with its native path and member count.
  struct OpenArchive;
  // Opens the archive and checks its member count; a failure code otherwise.
  int open(const QString &archive, OpenArchive &opened);

  const FileService &files_;
  UnzipUser *user_;
  tips::WorkProgress *work_ = nullptr;
  Limits limits_;
  QString lastError_;
  int lastSystemError_ = 0;
  QStringList written_;
  QStringList madeFolders_; // folders the current call made, removed again when it fails
  // Existing files replaced by the current call, each kept under a temporary name.
  struct Replaced {
    QString destination;
    QString kept;
  };
  std::vector<Replaced> replaced_;
};

} // namespace exchange
