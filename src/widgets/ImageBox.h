#pragma once
// An image control that stretches its picture to its own size.

#include <QLabel>
#include <QPixmap>

class ImageBox : public QLabel {
  Q_OBJECT
public:
  explicit ImageBox(QWidget *parent = nullptr);
  // Shows the picture file; false (and an empty box) when it cannot be read.
  bool loadPicture(const QString &nativePath);
  // Shows the picture file, or the placeholder file when the picture cannot be read (a
  // picture that went missing must not leave a hole). True when the picture itself shows.
  bool loadPictureOr(const QString &picture, const QString &placeholder);
  // Shows the picture file; when it cannot be read, the box keeps what it showed and the
  // answer is false.
  bool replacePicture(const QString &nativePath);
  void setPicture(const QPixmap &picture);
  const QString &pictureFile() const { return file_; }
  // The program's logo, drawn.
  static QPixmap logo();

signals:
  void doubleClicked();

protected:
  void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
  QString file_;
};
