#include "document/DocumentFile.h"

#include "document/DocumentError.h"
#include "platform/files/FileService.h"
#include "tips/UserMessage.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace document {

namespace {
constexpr qsizetype kBufferBytes = 64 * 1024;
}

QString writeFailure(const QString &path, int systemError) {
  QString reason = QStringLiteral("The document cannot be written");
  if (systemError != 0)
    reason += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(systemError)));
  return tips::userMessage(FileError(path, reason, systemError));
}

DocumentFile::DocumentFile(const QString &path) : path_(path), file_(path) {
  const QFileInfo target(path);
  if (target.isDir())
    throw DocumentError(
        QStringLiteral("\"%1\" is a folder: choose a file name for the document.").arg(path));
  errno = 0;
  if (!file_.open(QIODevice::WriteOnly))
    fail(errno);
  buffer_.reserve(kBufferBytes + 4096);
}

void DocumentFile::write(QStringView text) {
  buffer_ += text.toUtf8();
  if (buffer_.size() >= kBufferBytes)
    flush();
}

void DocumentFile::write(QLatin1String text) {
  buffer_.append(text.data(), text.size());
  if (buffer_.size() >= kBufferBytes)
    flush();
}

void DocumentFile::flush() {
  if (buffer_.isEmpty())
    return;
  errno = 0;
  if (file_.write(buffer_) != buffer_.size() || !file_.flush())
    fail(errno);
  buffer_.clear();
}

void DocumentFile::commit() {
  flush();
  errno = 0;
  if (file_.error() != QFileDevice::NoError || !file_.commit())
    fail(errno);
}

void DocumentFile::fail(int systemError) {
  file_.cancelWriting();
  throw DocumentError(writeFailure(path_, systemError));
}

} // namespace document
