#include "framework/WorkingFolders.h"

#include "exchange/WorkingFolder.h"

void CleanJPGMDB(const FileService &files, const tips::ProgramPaths &paths) {
  exchange::cleanWorkingFolders(files, paths);
}
