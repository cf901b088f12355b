#include "exchange/WorkingFolder.h"

#include "platform/files/FileService.h"
#include "tips/ProgramPaths.h"

namespace exchange {

void emptyTempFolder(const FileService &files, const tips::ProgramPaths &paths) {
  files.emptyFolder(paths.tempFolder(), QLatin1String(kPackageTextPattern));
}

} // namespace exchange
