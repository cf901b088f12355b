#pragma once
// File names built from text a user typed (the export is named after the first name): made
// fit to stand in a folder on Linux and on Windows, so a name can never reach another
// folder, fail to be written, or be cut by the file system.

#include <QString>

namespace exchange {

// The longest file name the program builds, in bytes of UTF-8. Linux file systems take 255
// bytes (Windows 255 UTF-16 units, never fewer than the UTF-8 bytes); the package is first
// written beside its place as "." + name + ".part", six bytes longer, which must fit too.
inline constexpr int kMaxFileNameBytes = 240;

// prefix + part + suffix as one file name: every character that cannot or should not
// stand in a file name (/ \ : * ? " < > |, control characters, line and paragraph
// separators, broken surrogates) becomes '_', and so do dots and blanks at the start or
// the end of the whole name. Then part is cut (at a character boundary, a letter with its
// accents kept whole) until the name fits kMaxFileNameBytes. prefix and suffix are the
// program's own short texts and stay whole.
QString safeFileName(const QString &prefix, const QString &part, const QString &suffix);

} // namespace exchange
