#pragma once
// Emptying the working folders before an export or an import.

class FileService;
namespace tips {
class ProgramPaths;
}

// Makes OBXTemp and Export again when they are missing, then removes every picture and
// database from OBXTemp and every database from Export; other files stay. Each pattern is first
// given one dummy file so that it always matches. Throws FileError naming the path when a copy or
// delete fails.
void CleanJPGMDB(const FileService &files, const tips::ProgramPaths &paths);
