#include "widgets/ImageBox.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

ImageBox::ImageBox(QWidget *parent) : QLabel(parent) {
  setScaledContents(true);
  setAlignment(Qt::AlignCenter);
}

bool ImageBox::loadPicture(const QString &nativePath) {
  QPixmap picture;
  file_.clear();
  if (!picture.load(nativePath)) {
    clear();
    return false;
  }
  file_ = nativePath;
  setPixmap(picture);
  return true;
}

bool ImageBox::loadPictureOr(const QString &picture, const QString &placeholder) {
  if (loadPicture(picture))
    return true;
  loadPicture(placeholder);
  return false;
}

bool ImageBox::replacePicture(const QString &nativePath) {
  QPixmap picture;
  if (!picture.load(nativePath))
    return false;
  file_ = nativePath;
  setPixmap(picture);
  return true;
}

void ImageBox::mouseDoubleClickEvent(QMouseEvent *event) {
  QLabel::mouseDoubleClickEvent(event);
  emit doubleClicked();
}

void ImageBox::setPicture(const QPixmap &picture) {
  file_.clear();
  setPixmap(picture);
}

QPixmap ImageBox::logo() {
  // Drawn large and stretched into the control, so it stays sharp when the window grows.
  QPixmap pixmap(393, 158);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 158);
  sky.setColorAt(0, QColor(0x1f, 0x4e, 0x79));
  sky.setColorAt(1, QColor(0x2e, 0x75, 0xb6));
  p.setBrush(sky);
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(QRectF(2, 2, 389, 154), 18, 18);
  // A light bulb: a tip.
  p.setBrush(QColor(0xff, 0xd9, 0x66));
  p.drawEllipse(QRectF(22, 26, 84, 84));
  p.setBrush(QColor(0xd9, 0xd9, 0xd9));
  p.drawRect(QRectF(46, 104, 36, 26));
  QFont font(QStringLiteral("Sans Serif"));
  font.setPixelSize(58);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(120, 10, 265, 80), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Ombrix"));
  font.setPixelSize(44);
  font.setBold(false);
  p.setFont(font);
  p.setPen(QColor(0xff, 0xd9, 0x66));
  p.drawText(QRectF(120, 80, 265, 64), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tips"));
  return pixmap;
}
