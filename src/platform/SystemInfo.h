#pragma once
// The system information viewer: where the About screen finds a program that shows this
// computer's system information, and how it starts one. The three services form a seam,
// so a test can replace the registry, the search and the start.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "platform/Registry.h"

struct SystemInfoServices {
  std::shared_ptr<const Registry> registry;
  // The platform's own system information program: its full path, or empty when none is
  // installed.
  std::function<QString()> findViewer;
  // Starts a program (native path) in a normal window, apart from this program, which
  // does not wait for it. True when it started.
  std::function<bool(const QString &program)> start;
};

// The services of this platform.
SystemInfoServices platformSystemInfo();

namespace sysinfo {

// The programs that show a Linux desktop's system information, the fullest first.
const QStringList &viewerNames();
// The first of the programs that is installed on the search path: its full path, or empty.
QString findInstalledViewer(const QStringList &names = viewerNames());
bool startInNormalWindow(const QString &program);

} // namespace sysinfo
