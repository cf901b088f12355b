#include "document/PictureFolder.h"

#include "document/DocumentError.h"
#include "document/DocumentFile.h"
#include "document/Pictures.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <cerrno>

namespace document {

namespace {

QString contentName(const PictureFile &picture) {
  const QByteArray digest =
      QCryptographicHash::hash(picture.bytes, QCryptographicHash::Sha256).toHex().left(12);
  return QStringLiteral("picture-%1.%2")
      .arg(QLatin1String(digest), QLatin1String(picture.kind.suffix));
}

bool isOurs(const QString &name) {
  static const QRegularExpression pattern(
      QStringLiteral("^picture-[0-9a-f]{12}\\.(jpg|png|gif|bmp|webp)$"));
  return pattern.match(name).hasMatch();
}

} // namespace

QString pictureFolderName(const QString &documentPath) {
  QString base = QFileInfo(documentPath).fileName();
  if (base.endsWith(QLatin1String(".md"), Qt::CaseInsensitive))
    base.chop(3);
  return base + QStringLiteral("_pictures");
}

PictureFolder::PictureFolder(const QString &documentPath)
    : folder_(QFileInfo(documentPath).absolutePath() + QLatin1Char('/') +
              pictureFolderName(documentPath)),
      name_(pictureFolderName(documentPath)) {}

PictureFolder::~PictureFolder() {
  if (kept_)
    return;
  for (const QString &file : std::as_const(added_))
    QFile::remove(file);
  if (madeFolder_)
    QDir().rmdir(folder_); // only when empty: nothing of the user's goes
}

QString PictureFolder::add(const QString &pictureFile) {
  if (const auto known = of_.constFind(pictureFile); known != of_.constEnd())
    return *known;
  QString name;
  if (const std::optional<PictureFile> picture = readPicture(pictureFile)) {
    name = contentName(*picture);
    const QString target = folder_ + QLatin1Char('/') + name;
    if (!QFileInfo(target).isFile()) {
      if (!QFileInfo(folder_).isDir()) {
        errno = 0;
        if (!QDir().mkdir(folder_))
          throw DocumentError(writeFailure(folder_, errno));
        madeFolder_ = true;
      }
      QSaveFile out(target);
      errno = 0;
      if (!out.open(QIODevice::WriteOnly) || out.write(picture->bytes) != picture->bytes.size() ||
          !out.commit())
        throw DocumentError(writeFailure(target, errno));
      added_.push_back(target);
    }
    shown_.insert(name);
  }
  of_.insert(pictureFile, name);
  return name;
}

void PictureFolder::keep() {
  kept_ = true;
  const QDir dir(folder_);
  for (const QString &name : dir.entryList(QDir::Files))
    if (isOurs(name) && !shown_.contains(name))
      QFile::remove(dir.filePath(name));
}

} // namespace document
