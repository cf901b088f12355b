#pragma once
// What a start checks before any screen opens: that the data folder and its tip database
// can be written, and that no other running program uses the same data folder. Both are
// said before the user types anything, so nothing typed is lost to a save that cannot be
// made or that another program overwrites. The terminal's writing commands hold the same
// lock while they work. Messages separate their paragraphs with "\r\n\r\n", as the
// program's message boxes do.

#include <QString>
#include <QStringList>
#include <memory>

class QLockFile;

// The message for a data folder or tip database that the program may not write, naming
// it; empty when both may be written. A missing tip database is not this check's to tell:
// the main screen names it.
QString readOnlyDataMessage(const QString &dataFolder, const QString &tipDatabase);

// One running program per data folder, held for the run: two programs on the same tips
// would each save values loaded before the other's save. A lock left by a program that
// died (killed, a crash, a power cut) is taken over.
class InstanceLock {
public:
  explicit InstanceLock(const QString &dataFolder);
  ~InstanceLock();
  InstanceLock(const InstanceLock &) = delete;
  InstanceLock &operator=(const InstanceLock &) = delete;

  // True when this program holds the data folder (also when it held it already); else
  // message() says why, naming the folder.
  bool acquire();
  bool held() const;
  const QString &message() const { return message_; }

  // The lock's file in the data folder.
  static QString lockFile(const QString &dataFolder);

private:
  QString folder_;
  std::unique_ptr<QLockFile> lock_;
  QString message_;
};

// Files written under a temporary name and renamed into place once whole (a copied
// picture, an unpacked member, a file set aside while it is replaced) stay behind,
// hidden, when a program is killed or loses its power half-way. Removed from the given
// folders at start, once the lock is held: no other program is writing there then.
void removeInterruptedWrites(const QStringList &folders);
