#pragma once
// The arguments of one terminal command ("ombrixtips find --json vim macros"): its options,
// as the command declares them, and the words left over. Parsed without any side effect,
// so that a mistyped command line changes nothing.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace terminal {

struct CommandOption {
  QString name;      // "--json", "--to"
  QString valueName; // "FILE" when the option takes a value; empty for a flag
  QString help;      // one line for the command's usage
};

struct CommandArguments {
  QStringList words;              // the arguments that are no option, in order
  QSet<QString> flags;            // the flags given
  QHash<QString, QString> values; // the options with a value, by name
  bool help = false;              // --help or -h: the command's usage is asked for
  QString error;                  // why the arguments are refused; empty when they are not

  bool has(const QString &flag) const { return flags.contains(flag); }
  std::optional<QString> value(const QString &option) const;
};

// Reads the arguments after the command's name. "--" ends the options: every argument
// after it is a word, so that a search for "--json" can be typed. "--to=FILE" and
// "--to FILE" both give a value; an option given twice, an unknown option and a missing
// value are refused.
CommandArguments parseArguments(const QStringList &arguments,
                                const std::vector<CommandOption> &options);

} // namespace terminal
