#include "terminal/Commands.h"

#include "platform/files/FileService.h"
#include "search/TipIndex.h"
#include "startup/DataFolder.h"
#include "store/StoreError.h"
#include "terminal/DocumentCommand.h"
#include "terminal/ExchangeCommands.h"
#include "terminal/ReadCommands.h"
#include "terminal/Site.h"
#include "tips/UserMessage.h"
#include "tips/WorkProgress.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QProcessEnvironment>
#include <cstdio>
#include <memory>

namespace terminal {

namespace {

const CommandOption kJson{QStringLiteral("--json"), QString(),
                          QStringLiteral("print one JSON document (UTF-8) for scripts")};

} // namespace

const std::vector<Command> &commands() {
  static const std::vector<Command> table = {
      {"find",
       "WORDS...",
       "list the tips holding every word, best first, as Find Tips ranks them",
       {kJson,
        {QStringLiteral("--limit"), QStringLiteral("N"),
         QStringLiteral("list at most N tips (default %1)").arg(search::kListedTips)}},
       runFind},
      {"show", "ID", "print one tip whole: its group, subject and description", {kJson}, runShow},
      {"random",
       "",
       "print one tip chosen at random, shortened to a few lines",
       {kJson},
       runRandom},
      {"export",
       "",
       "write an exchange package of the chosen kinds of tips, as the export screens do",
       {{QStringLiteral("--initial"), QString(), QStringLiteral("the delivered tips")},
        {QStringLiteral("--local"), QString(), QStringLiteral("the tips added here")},
        {QStringLiteral("--imported"), QString(), QStringLiteral("the tips imported here")},
        {QStringLiteral("--total"), QString(), QStringLiteral("every group and tip")},
        {QStringLiteral("--to"), QStringLiteral("FILE"),
         QStringLiteral("write the package to FILE (default ~/OBXImpExp/OBX<first name>.ZIP)")}},
       runExport},
      {"import",
       "FILE",
       "import an exchange package as the import screens do, and print its report",
       {{QStringLiteral("--dry-run"), QString(),
         QStringLiteral("only print what the import would do; change nothing")}},
       runImport},
      {"document",
       "",
       "save the tips as a document to print or share, as Tools > Save Tips As Document does",
       {{QStringLiteral("--format"), QStringLiteral("FORMAT"),
         QStringLiteral("html (one file), md (with a pictures folder) or pdf; by default the "
                        "file's suffix")},
        {QStringLiteral("--group"), QStringLiteral("NAME"),
         QStringLiteral("only this group (default: every group)")},
        {QStringLiteral("--to"), QStringLiteral("FILE"), QStringLiteral("the document to write")}},
       runDocument,
       true},
  };
  return table;
}

const Command *findCommand(const QString &name) {
  for (const Command &command : commands())
    if (name == QLatin1String(command.name))
      return &command;
  return nullptr;
}

namespace {

QString usageLine(const Command &command) {
  QString line = QStringLiteral("ombrixtips ") + QLatin1String(command.name);
  for (const CommandOption &option : command.options)
    line += option.valueName.isEmpty()
                ? QStringLiteral(" [%1]").arg(option.name)
                : QStringLiteral(" [%1 %2]").arg(option.name, option.valueName);
  if (*command.arguments)
    line += QLatin1Char(' ') + QLatin1String(command.arguments);
  return line;
}

int refuse(const Command &command, const QString &error) {
  printError(QLatin1String(command.name), error);
  std::fprintf(stderr, "%s", commandUsage(command).toLocal8Bit().constData());
  return kUsage;
}

} // namespace

QString commandUsage(const Command &command) {
  QString text = QStringLiteral("Usage: ") + usageLine(command) + QLatin1Char('\n') +
                 QLatin1String(command.summary) + QStringLiteral(".\n");
  for (const CommandOption &option : command.options) {
    const QString name = option.valueName.isEmpty()
                             ? option.name
                             : QStringLiteral("%1 %2").arg(option.name, option.valueName);
    text += QStringLiteral("  %1  %2\n").arg(name.leftJustified(12), option.help);
  }
  return text;
}

QString commandsHelp() {
  QString text = QStringLiteral("Commands (no display needed; 'ombrixtips COMMAND --help' "
                                "tells more):\n");
  for (const Command &command : commands())
    text +=
        QStringLiteral("  %1\n      %2\n").arg(usageLine(command), QLatin1String(command.summary));
  return text;
}

bool asksForCommand(const QStringList &arguments) {
  return arguments.size() > 1 && !arguments[1].startsWith(QLatin1Char('-'));
}

int runCommand(int &argc, char **argv, const QStringList &arguments) {
  const QString name = arguments.value(1);
  const Command *command = findCommand(name);
  if (!command) {
    printError(QString(),
               QStringLiteral("unknown command '%1' (see 'ombrixtips --help')").arg(name));
    return kUsage;
  }
  const CommandArguments parsed = parseArguments(arguments.mid(2), command->options);
  if (!parsed.error.isEmpty())
    return refuse(*command, parsed.error);
  if (parsed.help) {
    printOut(commandUsage(*command).toUtf8());
    return kDone;
  }
  // A command that takes no words refuses one here, for every such command alike.
  if (!*command->arguments && !parsed.words.isEmpty()) {
    printError(QLatin1String(command->name),
               QStringLiteral("unexpected argument '%1'").arg(parsed.words.first()));
    return kUsage;
  }
  // No display: a command never shows a window. One that lays out pages has the offscreen
  // platform's fonts and painting, whatever display there may be.
  std::unique_ptr<QCoreApplication> app;
  if (command->laysOutPages) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<QGuiApplication>(argc, argv);
  } else {
    app = std::make_unique<QCoreApplication>(argc, argv);
  }
  QCoreApplication::setApplicationName(QStringLiteral("Ombrix Tips"));
  try {
    Site site(chooseExecutableFolders(QCoreApplication::applicationDirPath(),
                                      QProcessEnvironment::systemEnvironment(), QDir::homePath()),
              QDir::homePath());
    return command->run(parsed, site);
  } catch (const DataFolderError &e) {
    printError(QLatin1String(command->name), e.message());
  } catch (const store::StoreError &e) {
    printError(QLatin1String(command->name), tips::userMessage(e));
  } catch (const FileError &e) {
    printError(QLatin1String(command->name), tips::userMessage(e));
  } catch (const tips::WorkCancelled &) {
    printError(QLatin1String(command->name), QStringLiteral("stopped"));
  } catch (const std::exception &e) {
    printError(QLatin1String(command->name), QString::fromLocal8Bit(e.what()));
  }
  return kFailed;
}

} // namespace terminal
