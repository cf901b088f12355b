#pragma once
// The data folder a terminal command works on, chosen as the window chooses it (a portable
// program folder, or the user's data folder made at the first start), its paths, and the
// data folder's lock for the commands that write. Also where commands print.

#include <QByteArray>
#include <QString>
#include <memory>

#include "platform/files/FileService.h"
#include "startup/DataFolder.h"
#include "tips/Clock.h"
#include "tips/ProgramPaths.h"

class InstanceLock;

namespace terminal {

// Exit statuses: done, failed (said on standard error), the command line refused.
inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

class Site {
public:
  Site(const ProgramFolders &folders, const QString &homeFolder);
  ~Site();
  Site(const Site &) = delete;
  Site &operator=(const Site &) = delete;

  const FileService &files() const { return files_; }
  const tips::ProgramPaths &paths() const { return paths_; }
  const tips::Clock &clock() const { return clock_; }
  const QString &dataFolder() const { return dataFolder_; }

  // For a command that writes: the data folder and tip database must be writable and no
  // other Ombrix Tips (a window or another command) may hold the folder; the lock is then
  // held until the site goes, so that no window starts on the folder meanwhile. Empty
  // when it is held; else why not, for the user.
  QString holdDataFolder();

private:
  FileService files_;
  QString dataFolder_;
  tips::ProgramPaths paths_;
  tips::Clock clock_;
  std::unique_ptr<InstanceLock> lock_;
};

// Standard output, as given (UTF-8).
void printOut(const QByteArray &bytes);
// "ombrixtips: <command>: <message>" on standard error, the message's "\r\n" as "\n".
void printError(const QString &command, const QString &message);
// A line on standard error without the program's name (a note while working).
void printNote(const QString &message);

} // namespace terminal
