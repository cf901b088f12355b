#pragma once
// The group pictures a document shows: what kind of image a file holds (pictures are all
// named .jpg, whatever they hold), read for embedding in HTML and copied beside a Markdown
// file.

#include <QByteArray>
#include <QString>
#include <optional>

namespace document {

struct PictureKind {
  const char *mimeType; // "image/jpeg"
  const char *suffix;   // "jpg"
};

// The kind of image the bytes begin with (JPEG, PNG, GIF, BMP, WebP); none for anything
// else, which no browser would show.
std::optional<PictureKind> pictureKind(const QByteArray &bytes);

// A picture file read whole (a group picture is small); none when it cannot be read or
// holds no image of a known kind, so the document shows no picture there.
struct PictureFile {
  QByteArray bytes;
  PictureKind kind;
};
std::optional<PictureFile> readPicture(const QString &file);

} // namespace document
