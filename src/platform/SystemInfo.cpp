#include "platform/SystemInfo.h"

#include <QProcess>
#include <QStandardPaths>

namespace sysinfo {

const QStringList &viewerNames() {
  // System profilers first (hardware, operating system, drivers, as a system information
  // viewer shows them), then the desktops' own information centres, then the system
  // monitors, which show at least the system and its resources.
  static const QStringList names = {
      QStringLiteral("hardinfo2"),
      QStringLiteral("hardinfo"),
      QStringLiteral("kinfocenter"),
      QStringLiteral("cpu-x"),
      QStringLiteral("i-nex"),
      QStringLiteral("gnome-system-monitor"),
      QStringLiteral("mate-system-monitor"),
      QStringLiteral("plasma-systemmonitor"),
  };
  return names;
}

QString findInstalledViewer(const QStringList &names) {
  for (const QString &name : names) {
    const QString path = QStandardPaths::findExecutable(name);
    if (!path.isEmpty())
      return path;
  }
  return {};
}

bool startInNormalWindow(const QString &program) {
  // Detached: the viewer lives on its own, whether the About box closes or the program ends.
  return QProcess::startDetached(program, {});
}

} // namespace sysinfo

SystemInfoServices platformSystemInfo() {
  return {std::make_shared<SettingsRegistry>(), [] { return sysinfo::findInstalledViewer(); },
          [](const QString &program) { return sysinfo::startInNormalWindow(program); }};
}
