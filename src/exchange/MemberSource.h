#pragma once
// The data of one archive member for libzip, read from its file: stored as it is, or
// deflated on every core.
//
// A package is mostly one large database, and zlib deflates on one core at about 60 MB/s.
// So the file is cut into blocks of 1 MiB that worker threads deflate at the same time, each
// primed with the 32 KiB before it (the ratio stays that of one stream) and ended on a byte
// boundary by a sync flush, so that the blocks laid end to end make one raw deflate stream;
// the checksum of the whole is put together from the blocks' checksums (crc32_combine).
// libzip is handed the deflated bytes with the member's size and checksum and writes them as
// they are. Only the worker threads run zlib; libzip is called from the caller's thread
// alone. A few blocks are in flight at a time, so memory stays at a few MB whatever the
// file's size.

#include <QString>
#include <functional>
#include <zip.h>

namespace exchange {

// Told of each piece of a member's file that has been packed, in bytes; returning false
// stops the packing: the read fails with ZIP_ER_CANCELLED.
using MemberTick = std::function<bool(qint64 bytes)>;

// A source for zip_file_add over the file at the native path, which must stay as it is
// until the archive is closed. deflateLevel 0 hands over the bytes as they are (libzip
// stores them and computes their checksum); 1 to 9 deflates them on `threads` worker
// threads. The member keeps the file's time and mode, as zip_source_file gives them. Null
// when the file cannot be opened, with error set.
zip_source_t *memberSource(zip_t *za, const QString &path, int deflateLevel, int threads,
                           MemberTick tick, zip_error_t *error);

} // namespace exchange
