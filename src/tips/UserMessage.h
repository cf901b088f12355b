#pragma once
// The message for a failure of the store or the file service. When its cause is one the
// user can act on (a full disk, a read-only file or folder, a database in use by another
// program), a plain sentence naming the file or folder comes first, then the engine's or
// the system's words, which stay for whoever helps the user.

#include <QString>

namespace store {
class StoreError;
}
class FileError;

namespace tips {

QString userMessage(const store::StoreError &error);
QString userMessage(const FileError &error);

} // namespace tips
