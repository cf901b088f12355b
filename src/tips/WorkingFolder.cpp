#include "tips/WorkingFolder.h"

#include "platform/FileService.h"
#include "tips/ProgramPaths.h"

namespace tips {

void emptyTempFolder(const FileService &files, const ProgramPaths &paths) {
  files.emptyFolder(paths.tempFolder(), QLatin1String(kPackageTextPattern));
}

} // namespace tips
