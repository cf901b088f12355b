// Ombrix Tips: a desktop tips database.
#include "framework/Program.h"
#include "platform/MsgBox.h"
#include "screens/AllScreens.h"
#include "startup/CommandLine.h"
#include "startup/DataFolder.h"
#include "startup/DisplayCheck.h"
#include "startup/InstallLayout.h"
#include "terminal/Commands.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char **argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i)
    arguments << QString::fromLocal8Bit(argv[i]);
  // A terminal command runs without a display and ends the program.
  if (terminal::asksForCommand(arguments))
    return terminal::runCommand(argc, argv, arguments);
  // Answered before the display check and before QApplication, so that they work anywhere.
  const CommandLine commandLine = parseCommandLine(arguments);
  switch (commandLine.action) {
  case CommandLine::Action::Version:
    std::printf("%s\n", versionLine().toLocal8Bit().constData());
    return 0;
  case CommandLine::Action::Help:
    std::printf("%s", usageText(terminal::commandsHelp()).toLocal8Bit().constData());
    return 0;
  case CommandLine::Action::Refuse:
    std::fprintf(stderr, "ombrixtips: %s\n%s", commandLine.error.toLocal8Bit().constData(),
                 usageText(terminal::commandsHelp()).toLocal8Bit().constData());
    return 2;
  case CommandLine::Action::Run:
    break;
  }
  // Checked before QApplication, which aborts when it finds no display.
  const QString missing = missingDisplay(arguments, QProcessEnvironment::systemEnvironment());
  if (!missing.isEmpty()) {
    std::fprintf(stderr, "%s\n", missing.toLocal8Bit().constData());
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Ombrix Tips"));
  QGuiApplication::setDesktopFileName(QString::fromUtf8(install::kDesktopFileName));
  ProgramFolders folders;
  try {
    folders = chooseExecutableFolders(QCoreApplication::applicationDirPath(),
                                      QProcessEnvironment::systemEnvironment(), QDir::homePath());
  } catch (const DataFolderError &e) {
    std::fprintf(stderr, "%s\n", e.message().toLocal8Bit().constData());
    MsgBox(e.message(), msgbox::vbCritical + msgbox::vbOKOnly);
    return 1;
  }
  Program program(screenCatalogue(), folders.data, folders.components, folders.help,
                  QDir::homePath());
  if (!program.start())
    return 1;
  return app.exec();
}
