#include "framework/WorkingFolders.h"

#include "exchange/WorkingFolder.h"
#include "platform/files/FileService.h"
#include "tips/ProgramPaths.h"

void CleanJPGMDB(const FileService &files, const tips::ProgramPaths &paths) {
  const QString exportFolder = QLatin1String(tips::relative::kExportFolder);
  // The program's own working folders: one deleted by hand is made again, empty, as the
  // first start made it. Nothing of the user's lives there.
  for (const QString &folder : {paths.tempFolder(), paths.exportFolder()})
    if (!files.folderExists(folder))
      files.createFolder(folder);
  exchange::emptyTempFolder(files, paths);
  files.copyFile(paths.templateDatabase(), paths.file(exportFolder + QStringLiteral("\\t.mdb")));
  files.deleteFile(paths.file(exportFolder + QStringLiteral("\\*.mdb")));
}
