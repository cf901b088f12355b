#pragma once
// Emptying the working folders before an export or an import.

class FileService;
namespace tips {
class ProgramPaths;
}

// Makes OBXTemp and Export again when they are missing, then empties OBXTemp of everything but
// the package text files (tips/WorkingFolder.h) and removes every database from Export; other
// files of Export stay. The Export pattern is first given one dummy file so that it always
// matches. Throws FileError naming the path when a copy or
// delete fails.
void CleanJPGMDB(const FileService &files, const tips::ProgramPaths &paths);
