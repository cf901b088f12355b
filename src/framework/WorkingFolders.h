#pragma once
// Emptying the working folders before an export or an import.

class FileService;
namespace tips {
class ProgramPaths;
}

// The main menu's name for exchange::cleanWorkingFolders (exchange/WorkingFolder.h). Throws
// FileError naming the path when a copy or delete fails.
void CleanJPGMDB(const FileService &files, const tips::ProgramPaths &paths);
