#include "terminal/CommandArguments.h"

namespace terminal {

std::optional<QString> CommandArguments::value(const QString &option) const {
  const auto found = values.constFind(option);
  if (found == values.constEnd())
    return std::nullopt;
  return *found;
}

CommandArguments parseArguments(const QStringList &arguments,
                                const std::vector<CommandOption> &options) {
  CommandArguments parsed;
  const auto refuse = [&parsed](const QString &error) {
    parsed.error = error;
    return parsed;
  };
  bool optionsEnded = false;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString &argument = arguments[i];
    if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument.size() < 2) {
      parsed.words << argument;
      continue;
    }
    if (argument == QLatin1String("--")) {
      optionsEnded = true;
      continue;
    }
    if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
      parsed.help = true;
      continue;
    }
    const qsizetype equals = argument.indexOf(QLatin1Char('='));
    const QString name = equals < 0 ? argument : argument.left(equals);
    const CommandOption *declared = nullptr;
    for (const CommandOption &option : options)
      if (option.name == name)
        declared = &option;
    if (!declared)
      return refuse(QStringLiteral("unknown option '%1'").arg(name));
    if (parsed.flags.contains(name) || parsed.values.contains(name))
      return refuse(QStringLiteral("option '%1' is given twice").arg(name));
    if (declared->valueName.isEmpty()) {
      if (equals >= 0)
        return refuse(QStringLiteral("option '%1' takes no value").arg(name));
      parsed.flags.insert(name);
      continue;
    }
    QString value;
    if (equals >= 0) {
      value = argument.mid(equals + 1);
    } else {
      if (i + 1 >= arguments.size())
        return refuse(
            QStringLiteral("option '%1' needs a value (%2)").arg(name, declared->valueName));
      value = arguments[++i];
    }
    if (value.isEmpty())
      return refuse(
          QStringLiteral("option '%1' needs a value (%2)").arg(name, declared->valueName));
    parsed.values.insert(name, value);
  }
  return parsed;
}

} // namespace terminal
