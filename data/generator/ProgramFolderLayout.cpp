#include "generator/ProgramFolderLayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRegularExpression>
#include <QSaveFile>
#include <QtMath>

#include <cmath>
#include <functional>

#include "store/DataControl.h"
#include "store/Database.h"
#include "store/Schema.h"

namespace obxdata {

// ---------------------------------------------------------------------------------------
// The tips text
// ---------------------------------------------------------------------------------------

int TipCollection::tipCount() const {
  int n = 0;
  for (const auto &g : groups)
    n += g.tips.size();
  return n;
}

QStringList emblemNames() {
  return {QStringLiteral("bulb"),      QStringLiteral("terminal"), QStringLiteral("folder"),
          QStringLiteral("magnifier"), QStringLiteral("gear"),     QStringLiteral("globe"),
          QStringLiteral("keyboard"),  QStringLiteral("archive")};
}

namespace {

QString rightTrimmed(const QString &s) {
  int n = s.size();
  while (n > 0 && s.at(n - 1).isSpace())
    --n;
  return s.left(n);
}

// Quiet, mid-dark colours that carry white text well.
const char *const kPalette[] = {"#3b6ea5", "#3f7f5f", "#a0523d", "#6d5a8e",
                                "#2f7c8c", "#8a6a3c", "#5a6f8c", "#7d4f6a"};

// Joins the source lines of a description into the text stored in the database. The
// description box wraps its text itself, so the lines of a paragraph become one line;
// indented lines (commands, tables) and list items keep lines of their own, and blank lines
// between paragraphs stay.
QString unwrapDescription(const QStringList &lines) {
  static const QRegularExpression listItem(QStringLiteral("^([-*\\x{2022}]|\\d{1,2}[.)])\\s"));
  QStringList out;
  bool joinable = false;
  for (const QString &line : lines) {
    if (line.trimmed().isEmpty()) {
      out << QString();
      joinable = false;
      continue;
    }
    const bool indented = line.at(0).isSpace();
    const bool item = !indented && listItem.match(line).hasMatch();
    if (joinable && !indented && !item)
      out.last() += QLatin1Char(' ') + line;
    else
      out << line;
    joinable = !indented;
  }
  return out.join(QLatin1Char('\n'));
}

class TipsParser {
public:
  TipsParser(const QString &text, const QString &source) : source_(source) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    lines_ = t.split(QLatin1Char('\n'));
  }

  TipCollection parse() {
    enum class State { Preamble, GroupHeader, Description } state = State::Preamble;
    for (int i = 0; i < lines_.size(); ++i) {
      lineNo_ = i + 1;
      const QString line = rightTrimmed(lines_.at(i));
      if (line.startsWith(QLatin1String("###"))) {
        if (!isMarker(line, 3))
          fail(QStringLiteral("a line beginning with \"###\" must be \"### Subject\" "
                              "(write \"\\###\" for a description line)"));
        if (state == State::Preamble)
          fail(QStringLiteral("a subject before the first group (\"## Group name\")"));
        finishTip();
        startTip(line.mid(4).trimmed());
        state = State::Description;
      } else if (line.startsWith(QLatin1String("##"))) {
        if (!isMarker(line, 2))
          fail(QStringLiteral("a line beginning with \"##\" must be \"## Group name\" "
                              "(write \"\\##\" for a description line)"));
        finishTip();
        finishGroup();
        startGroup(line.mid(3).trimmed());
        state = State::GroupHeader;
      } else if (state == State::GroupHeader) {
        if (!line.trimmed().isEmpty())
          groupAttribute(line.trimmed());
      } else if (state == State::Description) {
        QString text = line;
        if (text.startsWith(QLatin1String("\\#")) || text.startsWith(QLatin1String("\\\\")))
          text.remove(0, 1);
        description_ << text;
      }
      // The preamble is documentation and is skipped.
    }
    lineNo_ = lines_.size();
    finishTip();
    finishGroup();
    if (result_.groups.isEmpty())
      fail(QStringLiteral("no group found (a group starts with a line \"## Group name\")"));
    return result_;
  }

private:
  static bool isMarker(const QString &line, int hashes) {
    return line.size() > hashes + 1 &&
           (line.at(hashes) == QLatin1Char(' ') || line.at(hashes) == QLatin1Char('\t')) &&
           line.at(hashes - 1) == QLatin1Char('#');
  }

  [[noreturn]] void fail(const QString &what, int line = 0) const {
    throw DataError(QStringLiteral("%1:%2: %3").arg(source_).arg(line ? line : lineNo_).arg(what));
  }

  void checkName(const QString &name, const QString &kind) const {
    if (name.isEmpty())
      fail(QStringLiteral("empty %1").arg(kind));
    if (name.contains(QLatin1Char('\'')))
      fail(QStringLiteral("%1 \"%2\" contains an apostrophe; write a backtick (`) instead")
               .arg(kind, name));
    for (QChar c : name)
      if (c.category() == QChar::Other_Control)
        fail(QStringLiteral("%1 \"%2\" contains a control character").arg(kind, name));
  }

  void startGroup(const QString &name) {
    checkName(name, QStringLiteral("group name"));
    const QString key = name.toCaseFolded();
    if (groupLines_.contains(key))
      fail(QStringLiteral("group \"%1\" appears twice (first at line %2; names are compared "
                          "without regard to case)")
               .arg(name)
               .arg(groupLines_.value(key)));
    groupLines_.insert(key, lineNo_);
    group_ = TipGroupText{};
    group_.name = name;
    group_.line = lineNo_;
    seenAttributes_.clear();
    inGroup_ = true;
  }

  void groupAttribute(const QString &line) {
    static const QRegularExpression re(QStringLiteral("^([A-Za-z]+)\\s*:\\s*(.*)$"));
    const auto m = re.match(line);
    if (!m.hasMatch())
      fail(QStringLiteral("expected \"colour:\", \"emblem:\", \"label:\" or a subject line "
                          "\"### Subject\" after the group line"));
    const QString key = m.captured(1).toLower();
    const QString value = m.captured(2).trimmed();
    if (seenAttributes_.contains(key))
      fail(QStringLiteral("\"%1:\" given twice for this group").arg(key));
    seenAttributes_ << key;
    if (key == QLatin1String("colour") || key == QLatin1String("color")) {
      static const QRegularExpression hex(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
      if (!hex.match(value).hasMatch())
        fail(QStringLiteral("colour \"%1\" is not of the form #rrggbb").arg(value));
      group_.picture.colour = QColor::fromRgb(QRgb(value.mid(1).toUInt(nullptr, 16)));
    } else if (key == QLatin1String("emblem")) {
      if (!emblemNames().contains(value))
        fail(QStringLiteral("unknown emblem \"%1\" (known: %2)")
                 .arg(value, emblemNames().join(QStringLiteral(", "))));
      group_.picture.emblem = value;
    } else if (key == QLatin1String("label")) {
      if (value.isEmpty() || value.size() > 8)
        fail(QStringLiteral("label \"%1\" must have 1 to 8 characters").arg(value));
      group_.picture.label = value;
    } else {
      fail(QStringLiteral("unknown group setting \"%1:\" (known: colour, emblem, label)").arg(key));
    }
  }

  void finishGroup() {
    if (!inGroup_)
      return;
    if (group_.tips.isEmpty())
      fail(QStringLiteral("group \"%1\" has no tips").arg(group_.name), group_.line);
    const PictureStyle fallback = defaultPictureStyle(group_.name, result_.groups.size());
    if (!group_.picture.colour.isValid())
      group_.picture.colour = fallback.colour;
    if (group_.picture.emblem.isEmpty())
      group_.picture.emblem = fallback.emblem;
    if (group_.picture.label.isEmpty())
      group_.picture.label = fallback.label;
    result_.groups << group_;
    inGroup_ = false;
  }

  void startTip(const QString &subject) {
    checkName(subject, QStringLiteral("subject"));
    const QString key = subject.toCaseFolded();
    if (subjectLines_.contains(key))
      fail(QStringLiteral("subject \"%1\" appears twice (first at line %2; subjects are unique "
                          "over all groups, without regard to case)")
               .arg(subject)
               .arg(subjectLines_.value(key)));
    subjectLines_.insert(key, lineNo_);
    tip_ = TipText{};
    tip_.subject = subject;
    tip_.line = lineNo_;
    description_.clear();
    inTip_ = true;
  }

  void finishTip() {
    if (!inTip_)
      return;
    while (!description_.isEmpty() && description_.first().trimmed().isEmpty())
      description_.removeFirst();
    while (!description_.isEmpty() && description_.last().trimmed().isEmpty())
      description_.removeLast();
    if (description_.isEmpty())
      fail(QStringLiteral("subject \"%1\" has no description").arg(tip_.subject), tip_.line);
    tip_.description = unwrapDescription(description_);
    group_.tips << tip_;
    inTip_ = false;
  }

  QString source_;
  QStringList lines_;
  int lineNo_ = 0;
  TipCollection result_;
  TipGroupText group_;
  TipText tip_;
  QStringList description_;
  QStringList seenAttributes_;
  QHash<QString, int> groupLines_;
  QHash<QString, int> subjectLines_;
  bool inGroup_ = false;
  bool inTip_ = false;
};

} // namespace

TipCollection parseTips(const QString &text, const QString &sourceName) {
  return TipsParser(text, sourceName).parse();
}

TipCollection readTipsFile(const QString &path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    throw DataError(QStringLiteral("cannot read the tips file %1: %2").arg(path, f.errorString()));
  return parseTips(QString::fromUtf8(f.readAll()), path);
}

QDate releaseDate() { return QDate(2026, 12, 1); }

// ---------------------------------------------------------------------------------------
// Databases
// ---------------------------------------------------------------------------------------

namespace {

// Builds a new file under a temporary name beside `path` and renames it into place, so
// that an interrupted run leaves no half-written file under the final name.
void writeViaTemporary(const QString &path, const std::function<void(const QString &)> &write) {
  if (QFileInfo::exists(path))
    throw DataError(QStringLiteral("%1 exists already; it is never replaced").arg(path));
  const QString temp = path + QStringLiteral(".part");
  const auto removeTemp = [&] {
    QFile::remove(temp);
    QFile::remove(temp + QStringLiteral("-journal"));
  };
  removeTemp();
  try {
    write(temp);
  } catch (...) {
    removeTemp();
    throw;
  }
  QFile::remove(temp + QStringLiteral("-journal"));
  if (!QFile::rename(temp, path)) {
    removeTemp();
    throw DataError(QStringLiteral("cannot rename %1 to %2").arg(temp, path));
  }
}

void insertCollection(const QString &path, const TipCollection &tips, const QDate &date,
                      QList<int> &ids) {
  store::DataControl groups;
  groups.setDatabaseName(path);
  groups.setRecordSource(QStringLiteral("Group"));
  groups.refresh();
  store::DataControl tipRows;
  tipRows.setDatabaseName(path);
  tipRows.setRecordSource(QStringLiteral("Tips"));
  tipRows.refresh();

  store::Database::Transaction transaction(groups.database());
  store::Recordset &g = groups.recordset();
  store::Recordset &t = tipRows.recordset();
  for (const TipGroupText &group : tips.groups) {
    g.addNew();
    g.setField(QStringLiteral("TIP_GROUP"), group.name);
    g.setField(QStringLiteral("G_LOCAL"), store::kFalse);
    g.setField(QStringLiteral("G_IMPORT"), store::kFalse);
    g.setField(QStringLiteral("G_ORIGINAL"), store::kTrue);
    g.setField(QStringLiteral("G_DATE"), date);
    QVariant key = g.field(QStringLiteral("GROUP_ID"));
    g.update();
    if (!key.isValid() || key.toInt() <= 0) {
      // The engine's new key is the highest: the new row is the last one.
      g.moveLast();
      key = g.field(QStringLiteral("GROUP_ID"));
    }
    const int groupId = key.toInt();
    if (groupId <= 0)
      throw DataError(
          QStringLiteral("no key for the new group \"%1\" in %2").arg(group.name, path));
    ids << groupId;

    for (const TipText &tip : group.tips) {
      t.addNew();
      t.setField(QStringLiteral("GROUP_ID"), groupId);
      t.setField(QStringLiteral("TIP_SUBJECT"), tip.subject);
      t.setField(QStringLiteral("TIP_DESCRIPTION"), tip.description);
      t.setField(QStringLiteral("TIP_LOCAL"), store::kFalse);
      t.setField(QStringLiteral("TIP_IMPORT"), store::kFalse);
      t.setField(QStringLiteral("TIP_ORIGINAL"), store::kTrue);
      t.setField(QStringLiteral("TIP_DATE"), date);
      t.update();
    }
  }

  store::DataControl settings;
  settings.setDatabaseName(path);
  settings.setRecordSource(QStringLiteral("Settings"));
  settings.refresh();
  store::Recordset &s = settings.recordset();
  if (s.recordCount() < 1) {
    s.addNew();
  } else {
    s.moveFirst();
    s.edit();
  }
  for (const char *name : {"USER_FIRST", "USER_LAST", "USER_EMAIL", "USER_CITY", "USER_COUNTRY"})
    s.setField(QLatin1String(name), QVariant());
  s.setField(QStringLiteral("USER_H"), kDefaultUserH);
  s.setField(QStringLiteral("USER_L"), kDefaultUserL);
  s.setField(QStringLiteral("USER_T"), kDefaultUserT);
  s.setField(QStringLiteral("USER_W"), kDefaultUserW);
  s.update();

  transaction.commit();
}

} // namespace

QList<int> writeTipDatabase(const QString &path, const TipCollection &tips, const QDate &date) {
  QList<int> ids;
  writeViaTemporary(path, [&](const QString &temp) {
    store::createDatabase(temp, store::DatabaseKind::TipDatabase);
    insertCollection(temp, tips, date, ids);
  });
  return ids;
}

QList<int> writeInitialDatabase(const QString &path, const QString &tipsFile) {
  return writeTipDatabase(path, readTipsFile(tipsFile));
}

void writeTemplateDatabase(const QString &path) {
  writeViaTemporary(path, [](const QString &temp) {
    store::createDatabase(temp, store::DatabaseKind::Template);
  });
}

// ---------------------------------------------------------------------------------------
// Pictures
// ---------------------------------------------------------------------------------------

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

// ---------------------------------------------------------------------------------------
// The program folder
// ---------------------------------------------------------------------------------------

namespace {

void ensureFolder(const QDir &root, const QString &name, LayoutReport &report) {
  const QString path = root.filePath(name);
  if (QFileInfo(path).isDir()) {
    report.kept << name + QLatin1Char('/');
    return;
  }
  if (QFileInfo::exists(path))
    throw DataError(QStringLiteral("%1 exists but is not a folder").arg(path));
  if (!root.mkpath(name))
    throw DataError(QStringLiteral("cannot create the folder %1").arg(path));
  report.created << name + QLatin1Char('/');
}

// Calls `make` with the full path when the file is missing.
void ensureFile(const QDir &root, const QString &name, LayoutReport &report,
                const std::function<void(const QString &)> &make) {
  const QString path = root.filePath(name);
  if (QFileInfo::exists(path)) {
    report.kept << name;
    return;
  }
  make(path);
  report.created << name;
}

void copyFile(const QString &from, const QString &to) {
  QFile in(from);
  if (!in.open(QIODevice::ReadOnly))
    throw DataError(QStringLiteral("cannot read %1: %2").arg(from, in.errorString()));
  QSaveFile out(to);
  if (!out.open(QIODevice::WriteOnly) || out.write(in.readAll()) < 0 || !out.commit())
    throw DataError(QStringLiteral("cannot write %1: %2").arg(to, out.errorString()));
}

QString pictureName(int groupId) {
  return QStringLiteral("%1/%2.jpg").arg(QLatin1String(kImagesFolder)).arg(groupId);
}

// For a database that already exists: the keys of the delivered groups still in it,
// with the style of their picture. A database the store cannot read is left alone.
QList<QPair<int, PictureStyle>> deliveredGroupsIn(const QString &dbPath,
                                                  const TipCollection &tips) {
  QHash<QString, PictureStyle> styles;
  for (const auto &g : tips.groups)
    styles.insert(g.name.toCaseFolded(), g.picture);
  QList<QPair<int, PictureStyle>> result;
  try {
    store::DataControl groups;
    groups.setDatabaseName(dbPath);
    groups.setRecordSource(QStringLiteral("Group"));
    groups.refresh();
    store::Recordset &rs = groups.recordset();
    if (rs.recordCount() > 0) {
      rs.moveFirst();
      while (!rs.eof()) {
        const QString key = rs.text(QStringLiteral("TIP_GROUP")).toCaseFolded();
        if (store::isTrue(rs.field(QStringLiteral("G_ORIGINAL"))) && styles.contains(key))
          result.append({rs.field(QStringLiteral("GROUP_ID")).toInt(), styles.value(key)});
        rs.moveNext();
      }
    }
  } catch (const std::exception &e) {
    qWarning("obx-datagen: %s is not checked for missing pictures: %s", qPrintable(dbPath),
             e.what());
    return {};
  }
  return result;
}

} // namespace

LayoutReport layOutProgramFolder(const QString &programDir, const QString &dataDir) {
  LayoutReport report;
  if (!QDir().mkpath(programDir))
    throw DataError(QStringLiteral("cannot create the program folder %1").arg(programDir));
  const QDir root(programDir);
  const QDir data(dataDir);

  // Read and check the sources first: a broken tips file fails every build, not only the
  // first one.
  const TipCollection tips = readTipsFile(data.filePath(QLatin1String(kTipsSource)));
  const QString helpSource = data.filePath(QLatin1String(kHelpSource));
  if (!QFileInfo::exists(helpSource))
    throw DataError(QStringLiteral("the help source %1 is missing").arg(helpSource));

  ensureFolder(root, QLatin1String(kImagesFolder), report);
  ensureFolder(root, QStringLiteral("Export"), report);
  ensureFolder(root, QStringLiteral("OBXTemp"), report);

  ensureFile(
      root,
      QStringLiteral("%1/%2").arg(QLatin1String(kImagesFolder), QLatin1String(kPlaceholderName)),
      report, [](const QString &path) { saveJpeg(drawPlaceholderPicture(), path); });
  ensureFile(root, QLatin1String(kTemplateName), report,
             [](const QString &path) { writeTemplateDatabase(path); });
  ensureFile(root, QLatin1String(kHelpFileName), report,
             [&](const QString &path) { copyFile(helpSource, path); });

  QList<QPair<int, PictureStyle>> pictures;
  const QString dbPath = root.filePath(QLatin1String(kTipDatabaseName));
  if (QFileInfo::exists(dbPath)) {
    report.kept << QLatin1String(kTipDatabaseName);
    pictures = deliveredGroupsIn(dbPath, tips);
  } else {
    const QList<int> ids = writeTipDatabase(dbPath, tips);
    report.created << QLatin1String(kTipDatabaseName);
    for (int i = 0; i < ids.size(); ++i)
      pictures.append({ids.at(i), tips.groups.at(i).picture});
  }
  for (const auto &picture : pictures) {
    const PictureStyle style = picture.second;
    ensureFile(root, pictureName(picture.first), report,
               [&](const QString &path) { saveJpeg(drawGroupPicture(style), path); });
  }
  return report;
}

} // namespace obxdata
