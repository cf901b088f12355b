#include "exchange/WorkingFolder.h"

#include "platform/files/FileService.h"
#include "tips/ProgramPaths.h"

namespace exchange {

void emptyTempFolder(const FileService &files, const tips::ProgramPaths &paths) {
  files.emptyFolder(paths.tempFolder(), QLatin1String(kPackageTextPattern));
}

void cleanWorkingFolders(const FileService &files, const tips::ProgramPaths &paths) {
  const QString exportFolder = QLatin1String(tips::relative::kExportFolder);
  // The program's own working folders: one deleted by hand is made again, empty, as the
  // first start made it. Nothing of the user's lives there.
  for (const QString &folder : {paths.tempFolder(), paths.exportFolder()})
    if (!files.folderExists(folder))
      files.createFolder(folder);
  emptyTempFolder(files, paths);
  files.copyFile(paths.templateDatabase(), paths.file(exportFolder + QStringLiteral("\\t.mdb")));
  files.deleteFile(paths.file(exportFolder + QStringLiteral("\\*.mdb")));
}

void prepareExport(const FileService &files, const tips::ProgramPaths &paths) {
  cleanWorkingFolders(files, paths);
  files.copyFile(paths.templateDatabase(), paths.exportDatabase());
}

} // namespace exchange
