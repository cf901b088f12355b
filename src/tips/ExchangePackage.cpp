#include "tips/ExchangePackage.h"

#include "tips/FaultWords.h"

#include "platform/FileService.h"
#include "tips/ExchangeCounts.h"
#include "tips/ProgramPaths.h"
#include "tips/UnzipLink.h"
#include "tips/ZipLink.h"

namespace tips {

QString packageText(const QString &exportName) {
  return QLatin1String(relative::kExchangeFolder) + QLatin1Char('\\') + packageFileName(exportName);
}

PackResult packExport(const ProgramPaths &paths, const FileService &files,
                      const QString &exportName, const std::function<void()> &progress) {
  PackResult result;
  result.packageText = packageText(exportName);
  result.packagePath = files.nativePath(result.packageText);
  auto failed = [&](const QString &reason) {
    result.error = QStringLiteral("The export package could not be written:\r\n") + reason;
    return result;
  };
  try {
    const QString folder = QLatin1String(relative::kExchangeFolder);
    if (!files.folderExists(folder))
      files.createFolder(folder);
    // A working file, packed and removed right away: no need to wait for the disk (the
    // package itself is on the disk before it is put in place).
    files.copyNativeFileUnsynced(paths.exportDatabase(), paths.packageDatabase());
  } catch (const FileError &e) {
    return failed(userMessage(e));
  }

  const QString temp = paths.appPath() + QStringLiteral("\\obxtemp\\");
  const QStringList specifications = {temp + QStringLiteral("obx*.txt"),
                                      temp + QStringLiteral("*.jpg"),
                                      temp + QStringLiteral("*.mdb")};
  ZipLink zip(files);
  if (progress)
    zip.setProgress(progress);
  result.code =
      zip.ZipFiles(3, result.packageText, specifications, 1, 0, 0, 0, QStringLiteral("C:\\"));
  if (result.code != ZipLink::kOk)
    return failed(QStringLiteral("%1 (code %2)\r\nThe files to pack are still in the folder "
                                 "OBXTemp.")
                      .arg(zip.lastError())
                      .arg(result.code));
  return result;
}

int unpackPackage(const ProgramPaths &paths, const FileService &files, const QString &packagePath,
                  UnzipUser *user) {
  UnzipLink unzip(files, user);
  unzip.memberCount = 0;
  unzip.includeList[0].clear();
  unzip.excludeList[0].clear();
  return unzip.UnzipToFolder(
      packagePath, paths.appPath() + QLatin1String(relative::kTempFolder) + QLatin1Char('\\'), 0, 1,
      0, 1, 0, 0);
}

} // namespace tips
