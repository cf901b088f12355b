#pragma once
// The exchange package's files: "Compress File" of the second export screen writes it,
// the double-click of the first import screen unpacks it.
//
// The package: "OBX" + export name + ".ZIP" (made safe as a file name, packageFileName) in
// the exchange folder "C:\OBXImpExp", never elsewhere; its members, with bare names: the
// "obx*.txt", "*.jpg" and "*.mdb" files of OBXTemp, in that order of specifications, among
// them the database "ombrixtipsie.mdb" (a copy of the export database) and one picture per
// package group, named by its key in the package.

#include <QString>

#include "tips/WorkProgress.h"

class FileService;

namespace tips {
class ProgramPaths;
}

namespace exchange {

class UnzipUser;

struct PackResult {
  int code = 0;        // the packing's code (ZipLink::Code), when it got that far
  QString error;       // empty: the package is complete; else the message for the user
  QString packageText; // "C:\OBXImpExp\OBX" + name + ".ZIP", as the screen shows it
  QString packagePath; // the same as a native path
  bool ok() const { return error.isEmpty(); }
};

// "Compress File": creates the exchange folder when missing, copies "\Export\obxexpor.mdb"
// to "\OBXTemp\ombrixtipsie.mdb" and packs OBXTemp into the package, moving the files.
// On failure nothing is removed from OBXTemp, and an existing package stays as it was.
// work hears the packing in "MB" and may stop it: tips::WorkCancelled then comes out, everything
// left as after a failure.
PackResult packExport(const tips::ProgramPaths &paths, const FileService &files,
                      const QString &exportName, tips::WorkProgress &work = tips::noProgress());

// The same packing into the package at packageText (a path text: a native absolute path, or
// "C:\..."), whose folder must exist: the terminal's export writes where it is told.
PackResult packExportTo(const tips::ProgramPaths &paths, const FileService &files,
                        const QString &packageText, tips::WorkProgress &work = tips::noProgress());

// The package's path text in the exchange folder.
QString packageText(const QString &exportName);

// The unpack of a chosen package: every member into "\OBXTemp\", existing files replaced
// without a question, as the import screen asks for it. packagePath is the file list's
// folder, "\" and the file name. A failure code is shown through user and returned. work
// hears the unpacking in "MB" and may stop it: tips::WorkCancelled then comes out, with
// OBXTemp emptied as after a failure (nothing is shown to the user).
int unpackPackage(const tips::ProgramPaths &paths, const FileService &files,
                  const QString &packagePath, UnzipUser *user,
                  tips::WorkProgress &work = tips::noProgress());

} // namespace exchange
