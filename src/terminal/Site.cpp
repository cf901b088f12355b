#include "terminal/Site.h"

#include "startup/StartChecks.h"
#include "terminal/Output.h"

#include <cstdio>

namespace terminal {

Site::Site(const ProgramFolders &folders, const QString &homeFolder)
    : files_(homeFolder), dataFolder_(files_.nativePath(folders.data)),
      paths_(folders.data, files_) {}

Site::~Site() = default;

QString Site::holdDataFolder() {
  const QString refusal = readOnlyDataMessage(dataFolder_, paths_.tipDatabase());
  if (!refusal.isEmpty())
    return refusal;
  if (!lock_)
    lock_ = std::make_unique<InstanceLock>(dataFolder_);
  if (lock_->acquire())
    return {};
  return lock_->message();
}

void printOut(const QByteArray &bytes) {
  std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
}

void printError(const QString &command, const QString &message) {
  const QString prefix = command.isEmpty() ? QStringLiteral("ombrixtips: ")
                                           : QStringLiteral("ombrixtips: %1: ").arg(command);
  std::fflush(stdout);
  std::fprintf(stderr, "%s\n", (prefix + terminalText(message)).toLocal8Bit().constData());
}

void printNote(const QString &message) {
  std::fprintf(stderr, "%s\n", terminalText(message).toLocal8Bit().constData());
}

} // namespace terminal
