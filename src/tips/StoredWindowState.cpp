#include "tips/StoredWindowState.h"

#include "platform/files/FileService.h"

#include <QFile>
#include <QSaveFile>

namespace tips {

namespace {

constexpr const char *kMaximised = "maximised";

QByteArray line(const store::WindowGeometry &geometry) {
  return QByteArray(kMaximised) + ' ' + QByteArray::number(geometry.height) + ' ' +
         QByteArray::number(geometry.left) + ' ' + QByteArray::number(geometry.top) + ' ' +
         QByteArray::number(geometry.width) + '\n';
}

} // namespace

bool storedMaximised(const QString &path, const store::WindowGeometry &stored) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return false;
  return file.read(256) == line(stored);
}

void storeMaximised(const QString &path, const store::WindowGeometry &normal, bool maximised) {
  if (!maximised) {
    QFile file(path);
    if (file.exists() && !file.remove())
      throw FileError(path, file.errorString());
    return;
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(line(normal)) < 0 || !file.commit())
    throw FileError(path, file.errorString());
}

} // namespace tips
