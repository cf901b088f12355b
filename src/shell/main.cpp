// Ombrix Tips: a desktop tips database.
#include "shell/Program.h"

#include <QApplication>
#include <QDir>

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Ombrix Tips"));
  Program program(QCoreApplication::applicationDirPath(), QDir::homePath());
  if (!program.start())
    return 1;
  return app.exec();
}
