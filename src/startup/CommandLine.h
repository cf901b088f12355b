#pragma once
// The program's command line, read before anything else: --version and --help answer
// without a display, and anything the program does not know is refused rather than
// silently ignored. Qt's own options (-platform, -style, ...) are let through to Qt.

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
// The short usage, for --help and after a refused command line.
QString usageText();
