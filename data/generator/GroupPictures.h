#pragma once
// The delivered pictures: one per group, drawn from the group's colour, emblem and label,
// and the placeholder shown for a group without a picture of its own. JPEG files of
// 200 x 220 pixels by default, the shape of the main screen's picture box.
//
// Drawing text needs a QGuiApplication (fonts); create one on the "offscreen" platform first.

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include "generator/DataError.h"

namespace obxdata {

// How a group's picture looks.
struct PictureStyle {
  QColor colour;  // background
  QString emblem; // one of emblemNames()
  QString label;  // the short word at the bottom
};

// The emblems drawGroupPicture() knows.
QStringList emblemNames();

// A style for a group that names none: a quiet colour from a fixed palette and the
// group's initials.
PictureStyle defaultPictureStyle(const QString &groupName, int index);

QSize defaultPictureSize();
QImage drawGroupPicture(const PictureStyle &style, const QSize &size = defaultPictureSize());
QImage drawPlaceholderPicture(const QSize &size = defaultPictureSize());

// Writes a JPEG file (via a temporary name). Throws DataError.
void saveJpeg(const QImage &image, const QString &path);

} // namespace obxdata
