#include "document/Pictures.h"

#include <QFile>

namespace document {

std::optional<PictureKind> pictureKind(const QByteArray &bytes) {
  if (bytes.startsWith("\xFF\xD8\xFF"))
    return PictureKind{"image/jpeg", "jpg"};
  if (bytes.startsWith("\x89PNG\r\n\x1A\n"))
    return PictureKind{"image/png", "png"};
  if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
    return PictureKind{"image/gif", "gif"};
  if (bytes.startsWith("BM") && bytes.size() > 26)
    return PictureKind{"image/bmp", "bmp"};
  if (bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WEBP")
    return PictureKind{"image/webp", "webp"};
  return std::nullopt;
}

std::optional<PictureFile> readPicture(const QString &file) {
  if (file.isEmpty())
    return std::nullopt;
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly))
    return std::nullopt;
  QByteArray bytes = f.readAll();
  const std::optional<PictureKind> kind = pictureKind(bytes);
  if (!kind)
    return std::nullopt;
  return PictureFile{std::move(bytes), *kind};
}

} // namespace document
