#pragma once
// The file service: copy, delete by name or pattern, folder tests, and the one function
// that turns the program's own path texts into native paths.
//
// The program writes paths as the program folder followed by a relative text with
// backslashes ("/opt/obx\images\0.jpg"), and one absolute path on drive C:
// ("C:\OBXImpExp"). Backslashes become '/', drive C: is the user's home folder, and every
// component is matched without regard to case against what exists on disk.

#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>

class FileError : public std::runtime_error {
public:
  // systemError: the system's error number (ENOSPC, EROFS, ...) when the cause is known.
  FileError(const QString &path, const QString &reason, int systemError = 0);
  const QString &path() const { return path_; }
  const QString &reason() const { return reason_; }
  int systemError() const { return systemError_; }
  // "<reason>: <path>", for a message box.
  QString message() const;

private:
  QString path_;
  QString reason_;
  int systemError_ = 0;
};

// The operations that change files, for the fault seam below.
enum class FileOperation { Copy, Delete, CreateFolder };
// Where such an operation stands when the observer seam below is told of it.
enum class FileStep { Before, After };

class FileService {
public:
  explicit FileService(QString homeFolder);

  const QString &homeFolder() const { return home_; }
  void setHomeFolder(const QString &home) { home_ = home; }

  // Native path of a program path text; components that do not exist keep their spelling.
  QString nativePath(const QString &text) const;

  // Copies a file, replacing the target; the target is written whole or not at all.
  void copyFile(const QString &source, const QString &target) const;
  // The same between native paths taken as they are (no case matching), and without
  // waiting for the disk after each file: for the hundreds of pictures of an exchange,
  // where waiting once (syncFileSystem) is enough. Counts as a Copy for the fault seam.
  void copyNativeFileUnsynced(const QString &source, const QString &target) const;
  // Like copyNativeFileUnsynced, for files that the program only ever replaces whole and
  // never writes in place (pictures): the target becomes a second name of the source (a
  // hard link, which costs no copy and no new file) where the file system allows it and
  // the source is not read-only; otherwise a copy. Counts as a Copy for the fault seam.
  void shareNativeFileUnsynced(const QString &source, const QString &target) const;
  // Waits until everything written to the file system that holds the folder is on disk.
  void syncFileSystem(const QString &nativeFolder) const;
  // Deletes one file, or every file matching a pattern (* and ?) in the last component.
  // Read-only files are not forced: they make the delete fail. No match is an error.
  void deleteFile(const QString &pattern) const;
  // Empties a folder (a native path): every file, link and folder in it goes, with all a
  // folder holds, read-only or not, except the files directly in it whose names match
  // keepPattern (* and ?, without regard to case). Links are removed, never followed. A
  // missing folder is made. Counts as a Delete for the fault seam; throws FileError naming
  // the first entry that could not be removed.
  void emptyFolder(const QString &nativeFolder, const QString &keepPattern) const;
  bool fileExists(const QString &path) const;
  bool folderExists(const QString &path) const;
  void createFolder(const QString &path) const;
  // Files of a folder matching a pattern, without regard to case, sorted by name.
  QStringList matchingFiles(const QString &folder, const QString &pattern) const;

  // Observer seam for tests: told of every Copy, Delete and CreateFolder with its native
  // target, just before it touches anything and again once it has succeeded (not when it
  // fails). A crash test kills the process from here, so that it stops between a database
  // write and the file that goes with it. The program itself never sets one.
  using Observer = std::function<void(FileOperation, FileStep, const QString &path)>;
  void setObserver(Observer observer) { observer_ = std::move(observer); }

  // Fault seam for tests: the nth call of the operation from now on (1: the next one)
  // fails with a FileError before it touches anything, as a full disk or a lost
  // permission would; systemError (ENOSPC, EROFS, ...) makes it that cause, with the
  // system's words. Further calls succeed again.
  void failNth(FileOperation operation, int nth, int systemError = 0);
  void clearFailures();
  // True while the failure injected for the operation has not been met yet.
  bool failurePending(FileOperation operation) const {
    return injected_[static_cast<int>(operation)].callsLeft > 0;
  }

private:
  // Counts a call of the operation; throws the injected failure when it is the one.
  void countCall(FileOperation operation, const QString &path) const;
  void tell(FileOperation operation, FileStep step, const QString &path) const {
    if (observer_)
      observer_(operation, step, path);
  }

  QString home_;
  struct Injected {
    int callsLeft = 0; // 0: no failure injected
    int systemError = 0;
  };
  mutable Injected injected_[3];
  Observer observer_;
};

// Case-insensitive wildcard match of one file name (* any run, ? one character).
bool wildcardMatch(const QString &pattern, const QString &name);
