#include "exchange/ExchangePackage.h"

#include "tips/UserMessage.h"

#include <optional>
#include <vector>

#include "exchange/ArchiveMessages.h"
#include "exchange/ExchangeCounts.h"
#include "exchange/UnzipLink.h"
#include "exchange/WorkingFolder.h"
#include "exchange/ZipLink.h"
#include "platform/files/FileService.h"
#include "tips/ProgramPaths.h"

namespace exchange {

QString packageText(const QString &exportName) {
  return QLatin1String(tips::relative::kExchangeFolder) + QLatin1Char('\\') +
         packageFileName(exportName);
}

PackResult packExport(const tips::ProgramPaths &paths, const FileService &files,
                      const QString &exportName, tips::WorkProgress &work) {
  const QString text = packageText(exportName);
  try {
    const QString folder = QLatin1String(tips::relative::kExchangeFolder);
    if (!files.folderExists(folder))
      files.createFolder(folder);
  } catch (const FileError &e) {
    PackResult result;
    result.packageText = text;
    result.packagePath = files.nativePath(text);
    result.error =
        QStringLiteral("The export package could not be written:\r\n") + tips::userMessage(e);
    return result;
  }
  return packExportTo(paths, files, text, work);
}

PackResult packExportTo(const tips::ProgramPaths &paths, const FileService &files,
                        const QString &packageText, tips::WorkProgress &work) {
  PackResult result;
  result.packageText = packageText;
  result.packagePath = files.nativePath(result.packageText);
  auto failed = [&](const QString &reason) {
    result.error = QStringLiteral("The export package could not be written:\r\n") + reason;
    return result;
  };
  try {
    // A working file, packed and removed right away: no need to wait for the disk (the
    // package itself is on the disk before it is put in place). A second name of the export
    // database where the file system allows it, not a copy: a million-tip database is
    // 600 MB, and nothing writes to the working file (an import opens its package database
    // read-only, after an unpacking that replaced it).
    files.shareNativeFileUnsynced(paths.exportDatabase(), paths.packageDatabase());
  } catch (const FileError &e) {
    return failed(tips::userMessage(e));
  }

  const QString temp = paths.tempFolderText() + QLatin1Char('\\');
  const QStringList specifications = {temp + QStringLiteral("obx*.txt"),
                                      temp + QStringLiteral("*.jpg"),
                                      temp + QStringLiteral("*.mdb")};
  ZipLink zip(files);
  zip.setWorkProgress(&work);
  result.code =
      zip.ZipFiles(3, result.packageText, specifications, 1, 0, 0, 0, QStringLiteral("C:\\"));
  if (result.code != ZipLink::kOk)
    return failed(packFailureMessage(result.code, result.packagePath, zip.lastError()) +
                  QStringLiteral("\r\nThe files to pack are still in the folder OBXTemp."));
  return result;
}

namespace {

// The folder of the archive that holds the package: the top, or, when the database is not
// at the top but every member lies in one folder (a user zipped the folder the package was
// unpacked in), that folder, as deep as such single folders go. A "__MACOSX" folder beside
// (the resource forks a Mac adds) is not counted.
QStringList packageRoot(const QStringList &memberNames) {
  struct Place {
    QStringList parts;
    bool folder;
  };
  std::vector<Place> places;
  for (const QString &name : memberNames) {
    const std::optional<QStringList> parts = UnzipLink::placeOf(name);
    if (!parts || parts->isEmpty() ||
        parts->first().compare(QLatin1String("__MACOSX"), Qt::CaseInsensitive) == 0)
      continue;
    places.push_back({*parts, name.endsWith(QLatin1Char('/')) || name.endsWith(QLatin1Char('\\'))});
  }
  const QLatin1String database(tips::relative::kPackageDatabaseName);
  auto same = [](const QString &a, const QString &b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
  };
  QStringList root;
  while (!places.empty()) {
    const qsizetype depth = root.size();
    const QString folder = places.front().parts[depth];
    bool oneFolder = true;
    for (const Place &p : places) {
      if (!p.folder && p.parts.size() == depth + 1 && same(p.parts.last(), database))
        return root;
      // Every member must lie inside the one folder (or be that folder's own entry).
      oneFolder =
          oneFolder && same(p.parts[depth], folder) && (p.parts.size() > depth + 1 || p.folder);
    }
    if (!oneFolder)
      break;
    root << folder;
    std::erase_if(places, [&](const Place &p) { return p.parts.size() <= root.size(); });
  }
  return {}; // no database anywhere: the members stay where they are
}

} // namespace

int unpackPackage(const tips::ProgramPaths &paths, const FileService &files,
                  const QString &packagePath, UnzipUser *user, tips::WorkProgress &work) {
  UnzipLink unzip(files, user);
  unzip.setWorkProgress(&work);
  // Each import reads only its own package: nothing an earlier one left (a database's side
  // files, a folder in the way, a stranger's junk) stays in the working folder.
  try {
    emptyTempFolder(files, paths);
  } catch (const FileError &e) {
    if (user)
      user->showFailure(unpackFailureMessage(UnzipLink::kDiskFull, files.nativePath(packagePath),
                                             tips::userMessage(e), e.systemError()));
    return UnzipLink::kDiskFull;
  }
  QStringList names;
  if (unzip.listMembers(packagePath, names) == UnzipLink::kOk)
    unzip.memberRoot = packageRoot(names);
  unzip.memberCount = 0;
  unzip.includeList[0].clear();
  unzip.excludeList[0].clear();
  int code = UnzipLink::kOk;
  try {
    code = unzip.UnzipToFolder(packagePath, paths.tempFolderText() + QLatin1Char('\\'), 0, 1, 0, 1,
                               0, 0);
  } catch (const tips::WorkCancelled &) {
    try {
      emptyTempFolder(files, paths);
    } catch (const FileError &) {
      // Emptied again before the next unpacking.
    }
    throw;
  }
  if (code != UnzipLink::kOk) {
    // Whatever the failed unpacking made (folders included) goes; the package text files it
    // replaced are back in place already.
    try {
      emptyTempFolder(files, paths);
    } catch (const FileError &) {
      // Emptied again before the next unpacking, which reports a failure then.
    }
  }
  return code;
}

} // namespace exchange
