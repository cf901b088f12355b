#include "startup/StartChecks.h"

#include "startup/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace {

// Between the paragraphs of a message: the line break of the program's message boxes.
const QString kParagraph = QStringLiteral("\r\n\r\n");

QString readOnly(const QString &what) {
  return what +
         QStringLiteral(" is read-only: Ombrix Tips could not save your tips, groups or "
                        "details there.") +
         kParagraph + QStringLiteral("Please make it writable, then start Ombrix Tips again.");
}

} // namespace

QString readOnlyDataMessage(const QString &dataFolder, const QString &tipDatabase) {
  if (!writableByProgram(dataFolder))
    return readOnly(QStringLiteral("The program folder \"%1\"").arg(dataFolder));
  if (QFileInfo(tipDatabase).isFile() && !writableByProgram(tipDatabase))
    return readOnly(QStringLiteral("The tip database \"%1\"").arg(tipDatabase));
  return {};
}

QString InstanceLock::lockFile(const QString &dataFolder) {
  return dataFolder + QStringLiteral("/.ombrixtips.lock");
}

InstanceLock::InstanceLock(const QString &dataFolder)
    : folder_(dataFolder), lock_(std::make_unique<QLockFile>(lockFile(dataFolder))) {
  // Only a lock whose program has ended is stale: a program left open for days keeps it.
  lock_->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::held() const { return lock_->isLocked(); }

bool InstanceLock::acquire() {
  if (lock_->isLocked() || lock_->tryLock(0)) {
    message_.clear();
    return true;
  }
  switch (lock_->error()) {
  case QLockFile::LockFailedError: {
    qint64 pid = 0;
    QString host;
    QString application;
    const QString holder = lock_->getLockInfo(&pid, &host, &application)
                               ? QStringLiteral(" (process %1 on %2)").arg(pid).arg(host)
                               : QString();
    message_ = QStringLiteral("Ombrix Tips is already running on the tips in \"%1\"%2.")
                   .arg(folder_, holder) +
               kParagraph +
               QStringLiteral("Only one Ombrix Tips may use these tips at a time, so that "
                              "neither overwrites what the other saved. Please use the one "
                              "that is open, or end it and start Ombrix Tips again.");
    break;
  }
  case QLockFile::PermissionError:
    message_ = readOnlyDataMessage(folder_, QString());
    if (message_.isEmpty())
      message_ = readOnly(QStringLiteral("The program folder \"%1\"").arg(folder_));
    break;
  default:
    message_ = QStringLiteral("Ombrix Tips cannot write its lock file \"%1\" (is the disk "
                              "holding it full?), so it cannot make sure that no other Ombrix "
                              "Tips uses the same tips.")
                   .arg(lockFile(folder_));
    break;
  }
  return false;
}

void removeInterruptedWrites(const QStringList &folders) {
  // The temporary names of the file service and of the unpacking.
  const QStringList names = {QStringLiteral(".obx-copy-*"), QStringLiteral(".obx-link-*"),
                             QStringLiteral(".obx-unzip-*")};
  for (const QString &folder : folders) {
    const QDir dir(folder);
    for (const QString &name : dir.entryList(names, QDir::Files | QDir::Hidden | QDir::System))
      QFile::remove(dir.filePath(name));
  }
}
