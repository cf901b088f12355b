// ombrixtips-scenario FILE: runs an acceptance scenario on a fresh installation.
#include "scenario/Scenario.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTextStream out(stdout);
  if (argc != 2) {
    out << "usage: ombrixtips-scenario FILE\n";
    return 2;
  }
  QFile file(QString::fromLocal8Bit(argv[1]));
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    out << "cannot read " << file.fileName() << '\n';
    return 2;
  }
  Scenario scenario(out);
  scenario.setFolder(QFileInfo(file).absolutePath());
  const int failed = scenario.run(QString::fromUtf8(file.readAll()), QFileInfo(file).fileName());
  return failed == 0 ? 0 : 1;
}
