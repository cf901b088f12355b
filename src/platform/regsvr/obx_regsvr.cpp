// obx-regsvr: registers a component library into the component registry of its own folder,
// as regsvr32 does.
//   obx-regsvr [-s] /path/to/libflexora.so      calls its DllRegisterServer
//   obx-regsvr [-s] -u /path/to/libflexora.so   calls its DllUnregisterServer
// -s: silent (no line on success). Exit status 0 on success, 1 on failure, 2 on bad usage.

#include "platform/components/ComponentService.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  bool unregister = false;
  bool silent = false;
  QStringList libraries;
  const QStringList args = QCoreApplication::arguments().mid(1);
  for (const QString &arg : args) {
    if (arg == QLatin1String("-u") || arg == QLatin1String("/u"))
      unregister = true;
    else if (arg == QLatin1String("-s") || arg == QLatin1String("/s"))
      silent = true;
    else if (arg.startsWith(QLatin1Char('-'))) {
      std::fprintf(stderr, "obx-regsvr: unknown option %s\n", qPrintable(arg));
      return 2;
    } else
      libraries << arg;
  }
  if (libraries.isEmpty()) {
    std::fprintf(stderr, "usage: obx-regsvr [-s] [-u] library...\n");
    return 2;
  }
  int status = 0;
  for (const QString &library : libraries) {
    // The library writes the registry of its own folder; the service's folder is unused here.
    ComponentService service(QFileInfo(library).absolutePath());
    QString error;
    const bool ok = unregister ? service.unregisterServer(library, &error)
                               : service.registerServer(library, &error);
    if (!ok) {
      std::fprintf(stderr, "obx-regsvr: %s\n", qPrintable(error));
      status = 1;
    } else if (!silent) {
      std::printf("obx-regsvr: %s %s\n", unregister ? "unregistered" : "registered",
                  qPrintable(QFileInfo(library).absoluteFilePath()));
    }
  }
  return status;
}
