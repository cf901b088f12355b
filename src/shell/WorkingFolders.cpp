#include "shell/WorkingFolders.h"

#include "platform/FileService.h"

void CleanJPGMDB(const FileService &files, const QString &appPath) {
  files.copyFile(appPath + QStringLiteral("\\Images\\0.jpg"),
                 appPath + QStringLiteral("\\OBXTemp\\t.jpg"));
  files.copyFile(appPath + QStringLiteral("\\@@@@@@@@.@@@"),
                 appPath + QStringLiteral("\\OBXTemp\\t.mdb"));
  files.copyFile(appPath + QStringLiteral("\\@@@@@@@@.@@@"),
                 appPath + QStringLiteral("\\Export\\t.mdb"));
  files.deleteFile(appPath + QStringLiteral("\\OBXTemp\\*.jpg"));
  files.deleteFile(appPath + QStringLiteral("\\OBXTemp\\*.mdb"));
  files.deleteFile(appPath + QStringLiteral("\\Export\\*.mdb"));
}
