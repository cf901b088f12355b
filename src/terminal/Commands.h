#pragma once
// The terminal's commands: "ombrixtips COMMAND [OPTIONS] [ARGUMENTS]" runs one command on
// the window's data folder without a display, and exits. Each command is one entry of the
// table (its name, usage, options and the function that runs it); the help and the
// dispatch are made from the table alone.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "terminal/CommandArguments.h"

namespace terminal {

class Site;

struct Command {
  const char *name;
  const char *arguments; // after the options in the usage line: "WORDS...", "ID", ""
  const char *summary;   // one line for --help
  std::vector<CommandOption> options;
  // Runs the command on parsed arguments; returns its exit status (Site.h).
  int (*run)(const CommandArguments &arguments, Site &site);
  // Lays out pages (the PDF document): runs with a QGuiApplication on the offscreen
  // platform, still without any display.
  bool laysOutPages = false;
};

// Every command, in the order --help lists them.
const std::vector<Command> &commands();
const Command *findCommand(const QString &name);

// "Usage: ombrixtips find [--json] [--limit N] WORDS..." and the options, for
// "ombrixtips find --help" and after a refused command line.
QString commandUsage(const Command &command);
// The commands part of the program's --help: each command's usage line and summary.
QString commandsHelp();

// Whether these arguments (as main() got them, the program's name first) ask for a
// command rather than the window: the first argument is a word, not an option.
bool asksForCommand(const QStringList &arguments);

// Runs the command the arguments name (asksForCommand), with a QCoreApplication and
// without any display, and returns the exit status.
int runCommand(int &argc, char **argv, const QStringList &arguments);

} // namespace terminal
