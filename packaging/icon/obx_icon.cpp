// obx-icon: draws the program's icon, a light bulb on the sky of the program's logo (the
// image box's logo), from one description as a scalable SVG and as PNG pictures.
//
//   obx-icon <output folder> <icon name> <size>...
//
// Writes <output folder>/scalable/<icon name>.svg and <output folder>/<size>x<size>/<icon
// name>.png for each size, the folders of the hicolor icon theme. Needs no display.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QSaveFile>
#include <QString>
#include <QTextStream>
#include <array>
#include <cstdio>
#include <vector>

namespace {

constexpr double kCanvas = 256; // the description's units; an N-pixel icon scales by N/256

// The sky of the logo and the bulb's colours.
const QColor kSkyTop(0x1f, 0x4e, 0x79);
const QColor kSkyBottom(0x2e, 0x75, 0xb6);
const QColor kGlass(0xff, 0xd9, 0x66);
const QColor kFilament(0xc9, 0x8f, 0x00);
const QColor kBase(0xd9, 0xd9, 0xd9);
const QColor kThread(0xa6, 0xa6, 0xa6);
const QColor kContact(0x7f, 0x7f, 0x7f);

struct Shape {
  enum Kind { Sky, RoundedRect, Circle, Ellipse, Polygon, Polyline } kind;
  std::vector<double> v; // rect: x y w h r; circle: cx cy r; ellipse: cx cy rx ry; lines: x y...
  QColor colour;
  double width = 0;   // stroke width of a polyline
  double opacity = 1; // fill opacity
};

std::vector<Shape> icon() {
  std::vector<Shape> shapes;
  shapes.push_back({Shape::Sky, {8, 8, 240, 240, 44}, kSkyTop});
  // Rays above and beside the bulb.
  for (const auto &[x1, y1, x2, y2] : std::vector<std::array<double, 4>>{{128, 14, 128, 30},
                                                                         {64, 40, 75, 51},
                                                                         {192, 40, 181, 51},
                                                                         {36, 100, 52, 100},
                                                                         {220, 100, 204, 100}})
    shapes.push_back({Shape::Polyline, {x1, y1, x2, y2}, kGlass, 10});
  shapes.push_back({Shape::Circle, {128, 100, 62}, kGlass});
  shapes.push_back({Shape::Polygon, {85, 144, 171, 144, 156, 180, 100, 180}, kGlass});
  shapes.push_back({Shape::Ellipse, {104, 80, 13, 21}, Qt::white, 0, 0.55});
  shapes.push_back({Shape::Polyline,
                    {112, 150, 112, 120, 120, 110, 128, 120, 136, 110, 144, 120, 144, 150},
                    kFilament,
                    5});
  shapes.push_back({Shape::RoundedRect, {98, 176, 60, 42, 8}, kBase});
  shapes.push_back({Shape::Polyline, {102, 190, 154, 190}, kThread, 4});
  shapes.push_back({Shape::Polyline, {102, 204, 154, 204}, kThread, 4});
  shapes.push_back({Shape::RoundedRect, {112, 214, 32, 16, 7}, kContact});
  return shapes;
}

QString number(double value) { return QString::number(value, 'g', 6); }

QString points(const std::vector<double> &v) {
  QStringList list;
  for (std::size_t i = 0; i + 1 < v.size(); i += 2)
    list << number(v[i]) + QLatin1Char(',') + number(v[i + 1]);
  return list.join(QLatin1Char(' '));
}

QString svg(const std::vector<Shape> &shapes) {
  QString out;
  QTextStream s(&out);
  s << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
       "viewBox=\"0 0 256 256\">\n"
    << "  <defs>\n    <linearGradient id=\"sky\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n"
    << "      <stop offset=\"0\" stop-color=\"" << kSkyTop.name() << "\"/>\n"
    << "      <stop offset=\"1\" stop-color=\"" << kSkyBottom.name() << "\"/>\n"
    << "    </linearGradient>\n  </defs>\n";
  for (const Shape &sh : shapes) {
    const auto &v = sh.v;
    const QString fill =
        QStringLiteral(" fill=\"%1\"").arg(sh.colour.name()) +
        (sh.opacity < 1 ? QStringLiteral(" fill-opacity=\"%1\"").arg(sh.opacity) : QString());
    switch (sh.kind) {
    case Shape::Sky:
    case Shape::RoundedRect:
      s << "  <rect x=\"" << number(v[0]) << "\" y=\"" << number(v[1]) << "\" width=\""
        << number(v[2]) << "\" height=\"" << number(v[3]) << "\" rx=\"" << number(v[4]) << "\""
        << (sh.kind == Shape::Sky ? QStringLiteral(" fill=\"url(#sky)\"") : fill) << "/>\n";
      break;
    case Shape::Circle:
      s << "  <circle cx=\"" << number(v[0]) << "\" cy=\"" << number(v[1]) << "\" r=\""
        << number(v[2]) << "\"" << fill << "/>\n";
      break;
    case Shape::Ellipse:
      s << "  <ellipse cx=\"" << number(v[0]) << "\" cy=\"" << number(v[1]) << "\" rx=\""
        << number(v[2]) << "\" ry=\"" << number(v[3]) << "\"" << fill << "/>\n";
      break;
    case Shape::Polygon:
      s << "  <polygon points=\"" << points(v) << "\"" << fill << "/>\n";
      break;
    case Shape::Polyline:
      s << "  <polyline points=\"" << points(v) << "\" fill=\"none\" stroke=\"" << sh.colour.name()
        << "\" stroke-width=\"" << number(sh.width)
        << "\" stroke-linecap=\"round\" stroke-linejoin=\"round\"/>\n";
      break;
    }
  }
  s << "</svg>\n";
  return out;
}

QImage picture(const std::vector<Shape> &shapes, int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / kCanvas, size / kCanvas);
  for (const Shape &sh : shapes) {
    const auto &v = sh.v;
    QColor colour = sh.colour;
    colour.setAlphaF(float(sh.opacity));
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    switch (sh.kind) {
    case Shape::Sky: {
      QLinearGradient sky(0, v[1], 0, v[1] + v[3]);
      sky.setColorAt(0, kSkyTop);
      sky.setColorAt(1, kSkyBottom);
      p.setBrush(sky);
      p.drawRoundedRect(QRectF(v[0], v[1], v[2], v[3]), v[4], v[4]);
      break;
    }
    case Shape::RoundedRect:
      p.drawRoundedRect(QRectF(v[0], v[1], v[2], v[3]), v[4], v[4]);
      break;
    case Shape::Circle:
      p.drawEllipse(QPointF(v[0], v[1]), v[2], v[2]);
      break;
    case Shape::Ellipse:
      p.drawEllipse(QPointF(v[0], v[1]), v[2], v[3]);
      break;
    case Shape::Polygon:
    case Shape::Polyline: {
      QPolygonF polygon;
      for (std::size_t i = 0; i + 1 < v.size(); i += 2)
        polygon << QPointF(v[i], v[i + 1]);
      if (sh.kind == Shape::Polygon) {
        p.drawPolygon(polygon);
      } else {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(colour, sh.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(polygon);
      }
      break;
    }
    }
  }
  return image;
}

bool writeFile(const QString &path, const QByteArray &bytes) {
  QSaveFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: obx-icon <output folder> <icon name> <size>...\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  const QString name = QString::fromLocal8Bit(argv[2]);
  const std::vector<Shape> shapes = icon();
  const QString scalable = folder + QStringLiteral("/scalable");
  if (!QDir().mkpath(scalable) ||
      !writeFile(scalable + QLatin1Char('/') + name + QStringLiteral(".svg"),
                 svg(shapes).toUtf8())) {
    std::fprintf(stderr, "obx-icon: cannot write %s\n", qPrintable(scalable));
    return 1;
  }
  for (int i = 3; i < argc; ++i) {
    bool ok = false;
    const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
    if (!ok || size < 16 || size > 1024) {
      std::fprintf(stderr, "obx-icon: not an icon size: %s\n", argv[i]);
      return 2;
    }
    const QString sized = folder + QStringLiteral("/%1x%1").arg(size);
    const QString path = sized + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!QDir().mkpath(sized) || !picture(shapes, size).save(path, "PNG")) {
      std::fprintf(stderr, "obx-icon: cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
