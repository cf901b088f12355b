#pragma once
// What the user reads when packing or unpacking an exchange package fails: one sentence in
// words that says what is wrong with which file and what can be done, the failure code
// after it, and then the binding's own detail for whoever helps the user.

#include <QString>

namespace exchange {

// A failed unpacking (UnzipLink's codes) of the archive at archivePath; systemError is the
// system's error number of a write that failed (ENOSPC: the disk is full), or 0.
QString unpackFailureMessage(int code, const QString &archivePath, const QString &detail,
                             int systemError = 0);

// A failed packing (ZipLink's codes) into the archive at archivePath.
QString packFailureMessage(int code, const QString &archivePath, const QString &detail);

} // namespace exchange
