#include "startup/DisplayCheck.h"

#include <algorithm>

namespace {

// The platforms asked for: "-platform name" on the command line wins over QT_QPA_PLATFORM.
// Either may list several, "wayland;xcb", each with options after a colon, "vnc:size=800x600".
QStringList requestedPlatforms(const QStringList &arguments,
                               const QProcessEnvironment &environment) {
  QString request = environment.value(QStringLiteral("QT_QPA_PLATFORM"));
  for (qsizetype i = 1; i + 1 < arguments.size(); ++i)
    if (arguments[i] == QLatin1String("-platform") || arguments[i] == QLatin1String("--platform"))
      request = arguments[i + 1];
  QStringList platforms;
  for (const QString &entry : request.split(u';', Qt::SkipEmptyParts))
    platforms << entry.section(u':', 0, 0).trimmed();
  platforms.removeAll(QString());
  return platforms;
}

} // namespace

QString missingDisplay(const QStringList &arguments, const QProcessEnvironment &environment) {
  const bool x11 = !environment.value(QStringLiteral("DISPLAY")).isEmpty();
  const bool wayland = !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
  const QStringList platforms = requestedPlatforms(arguments, environment);
  const auto line = [](const char *variable) {
    return QStringLiteral("Ombrix Tips needs a graphical display; %1 is not set.")
        .arg(QLatin1String(variable));
  };
  if (platforms.isEmpty())
    return x11 || wayland ? QString() : line("DISPLAY");
  // xcb and wayland need their display; the others (offscreen, minimal, vnc, linuxfb, eglfs
  // ...) draw without one.
  const auto usable = [x11, wayland](const QString &platform) {
    if (platform == QLatin1String("xcb"))
      return x11;
    if (platform.startsWith(QLatin1String("wayland")))
      return wayland;
    return true;
  };
  if (std::any_of(platforms.begin(), platforms.end(), usable))
    return QString();
  return line(platforms.first() == QLatin1String("xcb") ? "DISPLAY" : "WAYLAND_DISPLAY");
}
