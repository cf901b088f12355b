#include "startup/CommandLine.h"

#include "startup/ProgramVersion.h"

#include <array>

namespace {

// The options QApplication itself reads (and the X11 platform's), so that a desktop or a
// session manager starting the program with them is not refused.
constexpr std::array kQtOptionsWithValue = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
    "style",       "stylesheet",         "title",         "name"};
constexpr std::array kQtFlags = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

// The option's name without its leading dashes (Qt accepts "-style" and "--style").
QString optionName(const QString &argument) {
  return argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
}

template <std::size_t N> bool listed(const std::array<const char *, N> &names, const QString &n) {
  for (const char *name : names)
    if (n == QLatin1String(name))
      return true;
  return false;
}

CommandLine refused(const QString &error) { return {CommandLine::Action::Refuse, error}; }

} // namespace

CommandLine parseCommandLine(const QStringList &arguments) {
  bool help = false;
  bool version = false;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString &argument = arguments[i];
    if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
      help = true;
      continue;
    }
    if (argument == QLatin1String("--version")) {
      version = true;
      continue;
    }
    if (!argument.startsWith(QLatin1Char('-')) || argument.size() < 2)
      return refused(QStringLiteral("unexpected argument '%1'").arg(argument));
    const QString name = optionName(argument);
    if (listed(kQtFlags, name))
      continue;
    // Qt reads "-style=fusion" and "-stylesheet=file" too; every other option takes the
    // next argument as its value.
    if (name.startsWith(QLatin1String("style=")) || name.startsWith(QLatin1String("stylesheet=")))
      continue;
    if (listed(kQtOptionsWithValue, name)) {
      if (i + 1 >= arguments.size())
        return refused(QStringLiteral("option '%1' needs a value").arg(argument));
      ++i;
      continue;
    }
    return refused(QStringLiteral("unknown option '%1'").arg(argument));
  }
  if (help)
    return {CommandLine::Action::Help, QString()};
  if (version)
    return {CommandLine::Action::Version, QString()};
  return {};
}

QString versionLine() {
  return QStringLiteral("Ombrix Tips %1.%2 BETA Build %3")
      .arg(version::kMajor)
      .arg(version::kMinor)
      .arg(version::kRevision);
}

QString usageText(const QString &commands) {
  return QStringLiteral(
             "Usage: ombrixtips [--version] [--help] [Qt options]\n"
             "       ombrixtips COMMAND [OPTIONS] [ARGUMENTS]\n"
             "Ombrix Tips: a desktop tips database. Without a command it opens its window.\n"
             "\n"
             "  --version   print the version and exit\n"
             "  -h, --help  print this help and exit\n"
             "\n") +
         (commands.isEmpty() ? QString() : commands + QLatin1Char('\n')) +
         QStringLiteral(
             "Qt's own options (-platform NAME, -style NAME, -reverse, ...) are passed on to Qt.\n"
             "The tips live in $XDG_DATA_HOME/ombrixtips (by default ~/.local/share/ombrixtips),\n"
             "made at the first start; a program folder holding a writable tip database keeps\n"
             "them beside the program instead. See also: man ombrixtips.\n");
}
