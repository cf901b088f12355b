// obx-datagen: lays out the delivered files of Ombrix Tips' program folder.
//
//   obx-datagen <program folder> <data folder>
//
// Creates only what is missing (the tip database, the template, the pictures and the
// working folders): a file that exists is the user's data and is never replaced. The help
// file is the program's own and follows its source.
// Run by the build target obx_program_folder after every build.
#include <QGuiApplication>
#include <cstdio>
#include <exception>

#include "generator/ProgramFolderLayout.h"

int main(int argc, char **argv) {
  // Drawing text needs a GUI application; no display is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() != 3) {
    std::fprintf(stderr, "usage: obx-datagen <program folder> <data folder>\n");
    return 2;
  }
  try {
    const obxdata::LayoutReport report = obxdata::layOutProgramFolder(args.at(1), args.at(2));
    if (report.created.isEmpty() && report.refreshed.isEmpty())
      std::printf("obx-datagen: program folder up to date (%lld files kept)\n",
                  static_cast<long long>(report.kept.size()));
    if (!report.created.isEmpty())
      std::printf("obx-datagen: created %s\n",
                  qPrintable(report.created.join(QStringLiteral(", "))));
    if (!report.refreshed.isEmpty())
      std::printf("obx-datagen: brought up to date %s\n",
                  qPrintable(report.refreshed.join(QStringLiteral(", "))));
  } catch (const std::exception &e) {
    std::fprintf(stderr, "obx-datagen: %s\n", e.what());
    return 1;
  }
  return 0;
}
