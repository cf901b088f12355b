#include "generator/TipsSource.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>

namespace obxdata {

int TipCollection::tipCount() const {
  int n = 0;
  for (const auto &g : groups)
    n += g.tips.size();
  return n;
}

namespace {

QString rightTrimmed(const QString &s) {
  int n = s.size();
  while (n > 0 && s.at(n - 1).isSpace())
    --n;
  return s.left(n);
}

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

} // namespace obxdata
