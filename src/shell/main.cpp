// Ombrix Tips: a desktop tips database.
#include "shell/DisplayCheck.h"
#include "shell/Program.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char **argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i)
    arguments << QString::fromLocal8Bit(argv[i]);
  // Checked before QApplication, which aborts when it finds no display.
  const QString missing = missingDisplay(arguments, QProcessEnvironment::systemEnvironment());
  if (!missing.isEmpty()) {
    std::fprintf(stderr, "%s\n", missing.toLocal8Bit().constData());
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Ombrix Tips"));
  Program program(QCoreApplication::applicationDirPath(), QDir::homePath());
  if (!program.start())
    return 1;
  return app.exec();
}
