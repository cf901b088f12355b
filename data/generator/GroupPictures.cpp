#include "generator/GroupPictures.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QSaveFile>
#include <QtMath>

#include <cmath>

namespace obxdata {

namespace {

// Quiet, mid-dark colours that carry white text well.
const char *const kPalette[] = {"#3b6ea5", "#3f7f5f", "#a0523d", "#6d5a8e",
                                "#2f7c8c", "#8a6a3c", "#5a6f8c", "#7d4f6a"};

} // namespace

QStringList emblemNames() {
  return {QStringLiteral("bulb"),      QStringLiteral("terminal"), QStringLiteral("folder"),
          QStringLiteral("magnifier"), QStringLiteral("gear"),     QStringLiteral("globe"),
          QStringLiteral("keyboard"),  QStringLiteral("archive")};
}

QSize defaultPictureSize() { return QSize(200, 220); }

PictureStyle defaultPictureStyle(const QString &groupName, int index) {
  PictureStyle style;
  const int n = int(sizeof kPalette / sizeof kPalette[0]);
  style.colour = QColor(kPalette[((index % n) + n) % n]);
  style.emblem = QStringLiteral("bulb");
  static const QStringList small = {
      QStringLiteral("and"), QStringLiteral("of"), QStringLiteral("the"), QStringLiteral("for"),
      QStringLiteral("a"),   QStringLiteral("an"), QStringLiteral("in"),  QStringLiteral("on")};
  QString initials;
  const QStringList words = groupName.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  for (const QString &word : words) {
    if (small.contains(word.toLower()) && words.size() > 1)
      continue;
    for (QChar c : word)
      if (c.isLetterOrNumber()) {
        initials += c.toUpper();
        break;
      }
    if (initials.size() == 4)
      break;
  }
  style.label = initials.isEmpty() ? QStringLiteral("TIPS") : initials;
  return style;
}

namespace {

// All drawing is designed on a 200 x 220 canvas and scaled to the requested size.
constexpr qreal kW = 200;
constexpr qreal kH = 220;
const QPointF kCentre(100, 88);

QPainterPath stroked(const QPainterPath &path, qreal width, Qt::PenCapStyle cap = Qt::RoundCap,
                     Qt::PenJoinStyle join = Qt::RoundJoin) {
  QPainterPathStroker stroker;
  stroker.setWidth(width);
  stroker.setCapStyle(cap);
  stroker.setJoinStyle(join);
  return stroker.createStroke(path).simplified();
}

QPainterPath line(QPointF a, QPointF b, qreal width) {
  QPainterPath p(a);
  p.lineTo(b);
  return stroked(p, width);
}

QPainterPath roundedRect(const QRectF &r, qreal radius) {
  QPainterPath p;
  p.addRoundedRect(r, radius, radius);
  return p;
}

QPainterPath ellipse(QPointF c, qreal rx, qreal ry) {
  QPainterPath p;
  p.addEllipse(c, rx, ry);
  return p;
}

QPainterPath emblemBulb() {
  const qreal cx = kCentre.x(), cy = kCentre.y() - 8;
  QPainterPath glass = ellipse(QPointF(cx, cy), 27, 27);
  QPainterPath neck;
  neck.moveTo(cx - 16, cy + 18);
  neck.lineTo(cx + 16, cy + 18);
  neck.lineTo(cx + 11, cy + 36);
  neck.lineTo(cx - 11, cy + 36);
  neck.closeSubpath();
  QPainterPath body = glass.united(neck);
  // The filament is cut out of the glass.
  QPainterPath filament(QPointF(cx - 10, cy + 22));
  filament.lineTo(cx - 10, cy + 4);
  filament.lineTo(cx - 5, cy - 3);
  filament.lineTo(cx, cy + 4);
  filament.lineTo(cx + 5, cy - 3);
  filament.lineTo(cx + 10, cy + 4);
  filament.lineTo(cx + 10, cy + 22);
  body = body.subtracted(stroked(filament, 3.5));
  body = body.united(roundedRect(QRectF(cx - 12, cy + 39, 24, 6), 3));
  body = body.united(roundedRect(QRectF(cx - 10, cy + 47, 20, 6), 3));
  body = body.united(roundedRect(QRectF(cx - 6, cy + 55, 12, 4), 2));
  // Rays.
  for (int deg : {-150, -120, -90, -60, -30}) {
    const qreal a = qDegreesToRadians(qreal(deg));
    const QPointF dir(std::cos(a), std::sin(a));
    body = body.united(line(QPointF(cx, cy) + dir * 36, QPointF(cx, cy) + dir * 47, 5));
  }
  return body;
}

QPainterPath emblemTerminal() {
  const QRectF frame(kCentre.x() - 46, kCentre.y() - 34, 92, 68);
  QPainterPath p = stroked(roundedRect(frame, 7), 6);
  p = p.united(roundedRect(QRectF(frame.left(), frame.top(), frame.width(), 14), 6));
  QPainterPath chevron(QPointF(frame.left() + 16, frame.top() + 26));
  chevron.lineTo(frame.left() + 30, frame.top() + 38);
  chevron.lineTo(frame.left() + 16, frame.top() + 50);
  p = p.united(stroked(chevron, 6));
  p = p.united(line(QPointF(frame.left() + 38, frame.top() + 52),
                    QPointF(frame.left() + 60, frame.top() + 52), 6));
  return p;
}

QPainterPath emblemFolder() {
  const qreal l = kCentre.x() - 50, t = kCentre.y() - 34;
  // The back of the folder with its tab.
  QPainterPath back;
  back.moveTo(l, t + 6);
  back.quadTo(l, t, l + 6, t);
  back.lineTo(l + 32, t);
  back.lineTo(l + 40, t + 10);
  back.lineTo(l + 88, t + 10);
  back.quadTo(l + 94, t + 10, l + 94, t + 16);
  back.lineTo(l + 94, t + 72);
  back.lineTo(l, t + 72);
  back.closeSubpath();
  // The front flap, tilted open, set apart from the back by a thin gap.
  QPainterPath front;
  front.moveTo(l + 12, t + 26);
  front.lineTo(l + 102, t + 26);
  front.lineTo(l + 92, t + 72);
  front.lineTo(l, t + 72);
  front.closeSubpath();
  return back.subtracted(stroked(front, 6, Qt::FlatCap, Qt::MiterJoin)).united(front);
}

QPainterPath emblemMagnifier() {
  const QPointF c(kCentre.x() - 10, kCentre.y() - 10);
  QPainterPath p = stroked(ellipse(c, 28, 28), 9);
  const qreal d = 28 / std::sqrt(2.0);
  p = p.united(line(c + QPointF(d + 3, d + 3), c + QPointF(d + 30, d + 30), 14));
  // A glint in the lens.
  QPainterPath glint;
  glint.arcMoveTo(QRectF(c.x() - 17, c.y() - 17, 34, 34), 100);
  glint.arcTo(QRectF(c.x() - 17, c.y() - 17, 34, 34), 100, 60);
  return p.united(stroked(glint, 4));
}

QPainterPath emblemGear() {
  const QPointF c = kCentre;
  QPainterPath p = ellipse(c, 30, 30);
  for (int i = 0; i < 8; ++i) {
    QPainterPath tooth;
    tooth.addRoundedRect(QRectF(-8, -42, 16, 18), 3, 3);
    QTransform tr;
    tr.translate(c.x(), c.y());
    tr.rotate(i * 45.0 + 22.5);
    p = p.united(tr.map(tooth));
  }
  return p.subtracted(ellipse(c, 12, 12));
}

QPainterPath emblemGlobe() {
  const QPointF c = kCentre;
  const qreal r = 38;
  QPainterPath p = stroked(ellipse(c, r, r), 5);
  QPainterPath inner;
  inner.addEllipse(c, r - 1, r - 1);
  QPainterPath grid = stroked(ellipse(c, r * 0.45, r), 4);
  grid = grid.united(line(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r), 4));
  grid = grid.united(line(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()), 4));
  grid = grid.united(
      line(QPointF(c.x() - r, c.y() - r * 0.5), QPointF(c.x() + r, c.y() - r * 0.5), 4));
  grid = grid.united(
      line(QPointF(c.x() - r, c.y() + r * 0.5), QPointF(c.x() + r, c.y() + r * 0.5), 4));
  return p.united(grid.intersected(inner));
}

QPainterPath emblemKeyboard() {
  const QRectF frame(kCentre.x() - 54, kCentre.y() - 30, 108, 62);
  QPainterPath p = stroked(roundedRect(frame, 8), 5);
  const qreal key = 11, gap = 4;
  const qreal x0 = frame.left() + 9;
  for (int row = 0; row < 3; ++row) {
    const qreal y = frame.top() + 9 + row * (key + gap);
    const qreal shift = row == 1 ? 5 : 0;
    for (int i = 0; i < 6; ++i) {
      const qreal x = x0 + shift + i * (key + gap);
      if (row == 2 && i >= 1 && i <= 4)
        continue; // the space bar
      if (x + key > frame.right() - 6)
        break;
      p = p.united(roundedRect(QRectF(x, y, key, key), 2.5));
    }
    if (row == 2)
      p = p.united(roundedRect(QRectF(x0 + key + gap, y, 4 * key + 3 * gap, key), 2.5));
  }
  return p;
}

QPainterPath emblemArchive() {
  const qreal cx = kCentre.x(), t = kCentre.y() - 34;
  QPainterPath lid = roundedRect(QRectF(cx - 50, t, 100, 18), 4);
  QPainterPath box = roundedRect(QRectF(cx - 44, t + 22, 88, 50), 5);
  QPainterPath slot = roundedRect(QRectF(cx - 16, t + 32, 32, 9), 4.5);
  return lid.united(box.subtracted(slot));
}

QPainterPath emblemPath(const QString &name) {
  if (name == QLatin1String("terminal"))
    return emblemTerminal();
  if (name == QLatin1String("folder"))
    return emblemFolder();
  if (name == QLatin1String("magnifier"))
    return emblemMagnifier();
  if (name == QLatin1String("gear"))
    return emblemGear();
  if (name == QLatin1String("globe"))
    return emblemGlobe();
  if (name == QLatin1String("keyboard"))
    return emblemKeyboard();
  if (name == QLatin1String("archive"))
    return emblemArchive();
  return emblemBulb();
}

// The largest bold font (up to maxPixels high) in which `text` fits `maxWidth`.
QFont fittedFont(const QString &text, qreal maxWidth, int maxPixels, bool bold) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setBold(bold);
  for (int px = maxPixels; px >= 8; --px) {
    font.setPixelSize(px);
    if (QFontMetricsF(font).horizontalAdvance(text) <= maxWidth)
      return font;
  }
  font.setPixelSize(8);
  return font;
}

QImage newCanvas(const QSize &size) {
  if (size.isEmpty())
    throw DataError(QStringLiteral("a picture needs a size above zero"));
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

void beginDesign(QPainter &painter, const QSize &size) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.scale(size.width() / kW, size.height() / kH);
}

} // namespace

QImage drawGroupPicture(const PictureStyle &style, const QSize &size) {
  QImage image = newCanvas(size);
  QPainter painter(&image);
  beginDesign(painter, size);
  const QColor base = style.colour.isValid() ? style.colour : QColor(kPalette[0]);

  QLinearGradient background(0, 0, 0, kH);
  background.setColorAt(0, base.lighter(128));
  background.setColorAt(1, base.darker(118));
  painter.fillRect(QRectF(0, 0, kW, kH), background);

  // A soft disc behind the emblem and a thin inner frame.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 255, 255, 38));
  painter.drawEllipse(kCentre, 64, 64);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(255, 255, 255, 110), 2));
  painter.drawRoundedRect(QRectF(7, 7, kW - 14, kH - 14), 12, 12);

  const QPainterPath emblem = emblemPath(style.emblem);
  painter.setPen(Qt::NoPen);
  painter.fillPath(emblem.translated(2, 3), QColor(0, 0, 0, 60));
  painter.fillPath(emblem, QColor(253, 252, 248));

  // The label, on a slightly darker band.
  const QRectF band(7, 164, kW - 14, 42);
  painter.fillRect(band, QColor(0, 0, 0, 40));
  const QString label = style.label.isEmpty() ? QStringLiteral("TIPS") : style.label;
  QFont font = fittedFont(label, band.width() - 24, 30, true);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
  if (QFontMetricsF(font).horizontalAdvance(label) > band.width() - 16)
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0);
  painter.setFont(font);
  painter.setPen(QColor(0, 0, 0, 70));
  painter.drawText(band.translated(1, 2), Qt::AlignCenter, label);
  painter.setPen(QColor(253, 252, 248));
  painter.drawText(band, Qt::AlignCenter, label);
  painter.end();
  return image;
}

QImage drawPlaceholderPicture(const QSize &size) {
  QImage image = newCanvas(size);
  QPainter painter(&image);
  beginDesign(painter, size);
  painter.fillRect(QRectF(0, 0, kW, kH), QColor(242, 241, 237));

  QPen frame(QColor(176, 174, 168), 2.5, Qt::DashLine, Qt::RoundCap);
  painter.setPen(frame);
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(QRectF(10, 10, kW - 20, kH - 20), 12, 12);

  // A picture frame with hills and a sun, in quiet grey.
  const QRectF pic(52, 46, 96, 76);
  painter.setPen(QPen(QColor(160, 158, 152), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(QColor(250, 249, 246));
  painter.drawRoundedRect(pic, 6, 6);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(196, 194, 188));
  QPainterPath hills;
  hills.moveTo(pic.left() + 6, pic.bottom() - 6);
  hills.lineTo(pic.left() + 34, pic.top() + 34);
  hills.lineTo(pic.left() + 52, pic.top() + 52);
  hills.lineTo(pic.left() + 66, pic.top() + 40);
  hills.lineTo(pic.right() - 6, pic.bottom() - 6);
  hills.closeSubpath();
  painter.drawPath(hills);
  painter.setBrush(QColor(206, 204, 198));
  painter.drawEllipse(QPointF(pic.right() - 22, pic.top() + 20), 9, 9);

  const QString text = QStringLiteral("No Picture");
  painter.setFont(fittedFont(text, kW - 50, 22, true));
  painter.setPen(QColor(128, 126, 120));
  painter.drawText(QRectF(10, 146, kW - 20, 40), Qt::AlignCenter, text);
  painter.end();
  return image;
}

void saveJpeg(const QImage &image, const QString &path) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    throw DataError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
  if (!image.save(&file, "JPG", 92)) {
    file.cancelWriting();
    throw DataError(
        QStringLiteral("cannot encode %1 as JPEG (is the Qt JPEG plugin installed?)").arg(path));
  }
  if (!file.commit())
    throw DataError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

} // namespace obxdata
