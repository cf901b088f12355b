#include "tips/ProgramPaths.h"

#include "platform/files/FileService.h"

namespace tips {

QString relative::groupPicture(qint32 groupId) {
  return QStringLiteral("\\images\\%1.jpg").arg(groupId);
}

ProgramPaths::ProgramPaths(QString programFolder, const FileService &files)
    : appPath_(std::move(programFolder)), files_(files) {}

QString ProgramPaths::file(const QString &relativeText) const {
  return files_.nativePath(appPath_ + relativeText);
}

QString ProgramPaths::tipDatabase() const { return file(QLatin1String(relative::kTipDatabase)); }
QString ProgramPaths::tipIndex() const { return file(QLatin1String(relative::kTipIndex)); }
QString ProgramPaths::windowState() const { return file(QLatin1String(relative::kWindowState)); }
QString ProgramPaths::templateDatabase() const {
  return file(QLatin1String(relative::kTemplateDatabase));
}
QString ProgramPaths::exportDatabase() const {
  return file(QLatin1String(relative::kExportDatabase));
}
QString ProgramPaths::exportFolder() const { return file(QLatin1String(relative::kExportFolder)); }
QString ProgramPaths::tempFolder() const { return files_.nativePath(tempFolderText()); }
QString ProgramPaths::tempFolderText() const {
  return workingFolder_.isEmpty() ? appPath_ + QLatin1String(relative::kTempFolder)
                                  : workingFolder_;
}
ProgramPaths ProgramPaths::withWorkingFolder(const QString &nativeFolder) const {
  ProgramPaths paths(appPath_, files_);
  paths.workingFolder_ = nativeFolder;
  return paths;
}
QString ProgramPaths::reportsFolder() const {
  return file(QLatin1String(relative::kReportsFolder));
}
QString ProgramPaths::lastImport() const { return file(QLatin1String(relative::kLastImport)); }
QString ProgramPaths::tipOfTheDay() const { return file(QLatin1String(relative::kTipOfTheDay)); }
QString ProgramPaths::imagesFolder() const { return file(QLatin1String(relative::kImagesFolder)); }
QString ProgramPaths::groupPicture(qint32 groupId) const {
  return file(relative::groupPicture(groupId));
}
QString ProgramPaths::placeholderPicture() const {
  return file(QLatin1String(relative::kPlaceholderPicture));
}

QString ProgramPaths::packageDatabase() const {
  return files_.nativePath(tempFolderText() + QLatin1Char('\\') +
                           QLatin1String(relative::kPackageDatabaseName));
}

} // namespace tips
