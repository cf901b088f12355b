#pragma once
// The working folder OBXTemp between two exchanges.
//
// An export gathers its pictures and database there and packs them; an import unpacks a
// package there and reads it. Whatever one exchange leaves there must never reach the
// next: a database's side files (-wal, -journal) would change what the next package's
// database reads, a folder named like a member would block the next unpacking, and a
// stranger's junk would pile up. So before each export and each unpacking, and when an
// import is over, the folder is emptied of everything but the package text files
// ("obx*.txt"), which an export packs on purpose.

class FileService;

namespace tips {
class ProgramPaths;
}

namespace exchange {

// The files of OBXTemp that survive the emptying.
inline constexpr const char *kPackageTextPattern = "obx*.txt";

// Empties OBXTemp (made when missing) but for the package text files. Throws FileError.
void emptyTempFolder(const FileService &files, const tips::ProgramPaths &paths);

// Before an export or an import (the main menu's, the terminal's): makes OBXTemp and Export
// again when they are missing, then empties OBXTemp but for the package text files and
// removes every database from Export; other files of Export stay. The Export pattern is
// first given one dummy file so that it always matches. Throws FileError naming the path
// when a copy or delete fails.
void cleanWorkingFolders(const FileService &files, const tips::ProgramPaths &paths);

// Before an export: the working folders cleaned, and a fresh, empty export database made
// from the template. Throws FileError.
void prepareExport(const FileService &files, const tips::ProgramPaths &paths);

} // namespace exchange
