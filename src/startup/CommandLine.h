#pragma once
// The program's command line when it starts its window, read before anything else:
// --version and --help answer without a display, and anything the program does not know
// is refused rather than silently ignored. Qt's own options (-platform, -style, ...) are
// let through to Qt. A first argument that is a word names a terminal command instead
// (terminal/Commands.h), read there.

#include <QString>
#include <QStringList>

struct CommandLine {
  enum class Action { Run, Version, Help, Refuse };
  Action action = Action::Run;
  QString error; // why the command line is refused
};

// arguments: as main() received them, the program's name first.
CommandLine parseCommandLine(const QStringList &arguments);

// "Ombrix Tips 0.31 BETA Build 200", from the version numbers of the build.
QString versionLine();
// The short usage, for --help and after a refused command line; commands is the list of
// the terminal's commands, put after the options.
QString usageText(const QString &commands = QString());
