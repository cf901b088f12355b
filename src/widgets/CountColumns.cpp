#include "widgets/CountColumns.h"

#include "widgets/FitText.h"
#include "widgets/ListPlace.h"

#include <QCheckBox>
#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>

namespace {

struct ColumnDesign {
  const char *frame;
  const char *caption;
  const char *groups;
  const char *tips;
  const char *date;
  const char *check; // on the export screens
  int left;
  QColor colour; // of the figures on the import screens
};

const QColor kBlue(0, 0, 255);
const QColor kPurple(128, 0, 128);
const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);
const QColor kOrangeBrown(192, 64, 0);

// In the order of CountColumns::Column. The initial tips count is named lblInitilaTips
// and the new tips count lblNewTip: the names the screens have always had.
const ColumnDesign kColumns[] = {
    {"FrameInitial", "Initial", "lblInitialGroup", "lblInitilaTips", "lblInitialDate",
     "CheckInitial", 1200, kBlue},
    {"FrameLocal", "Local", "lblLocalGroup", "lblLocalTips", "lblLocalDate", "CheckLocal", 2400,
     kPurple},
    {"FrameImported", "Imported", "lblImportedGroup", "lblImportedTips", "lblImportedDate",
     "CheckImported", 3600, kGreen},
    {"FrameTotal", "Total", "lblTotalGroup", "lblTotalTips", "lblTotalDate", "CheckTotal", 4800,
     kRed},
    {"FrameToExport", "To Export", "lblToExportGroup", "lblToExportTips", "lblToExportDate",
     nullptr, 6000, kOrangeBrown},
    {"FrameToImport", "To Import", "lblToImportGroup", "lblToImportTips", "lblToImportDate",
     nullptr, 6000, kOrangeBrown},
    {"FrameNew", "New", "lblNewGroup", "lblNewTip", "lblNewDate", nullptr, 4800, kOrangeBrown},
    {"FrameTotal2", "Total", "lblTotalGroup2", "lblTotalTips2", "lblTotalDate2", nullptr, 6000,
     kRed},
};

// Inside a frame (twips).
constexpr int kFigureLeft = 100;
constexpr int kFigureWidth = 900;
constexpr int kFigureHeight = 200;
constexpr int kGroupsTop = 375;
constexpr int kTipsTop = 750;
constexpr int kDateTop = 1125;
// The export frames are taller by the row of check boxes.
constexpr int kCheckTop = 1440;
constexpr int kCheckSize = 240;
constexpr int kImportHeight = 1500;
constexpr int kExportHeight = 1800;
// The row headings, left of the first frame.
constexpr int kHeadingLeft = 120;
constexpr int kHeadingWidth = 1000;

QFont summaryFont(const QWidget *widget) {
  QFont font = widget->font();
  font.setFamily(QStringLiteral("Arial"));
  return font;
}

// A figure keeps to its width: a long date of the user's locale is shown smaller, not cut.
FitLabel *figure(QWidget *parent, const char *name, const QString &text, int top) {
  auto *label = listPlace::placeNamed(parent, new FitLabel(text), name, kFigureLeft, top,
                                      kFigureWidth, kFigureHeight);
  label->setAlignment(Qt::AlignCenter);
  label->setFont(summaryFont(label));
  return label;
}

QLabel *heading(QWidget *parent, const char *name, const QString &text, int top) {
  auto *label = listPlace::placeNamed(parent, new QLabel(text), name, kHeadingLeft, top,
                                      kHeadingWidth, kFigureHeight);
  label->setFont(summaryFont(label));
  return label;
}

} // namespace

CountColumns::CountColumns(QWidget *clientArea, Kind kind) : client_(clientArea), kind_(kind) {
  heading(clientArea, "lblGroups", QStringLiteral("Groups"), kTop + kGroupsTop);
  heading(clientArea, "lblTips", QStringLiteral("Tips"), kTop + kTipsTop);
  heading(clientArea, "lblDate", QStringLiteral("Last Date"), kTop + kDateTop);
  if (kind == Kind::Export)
    heading(clientArea, "lblToExport", QStringLiteral("To Export"), kTop + kCheckTop + 20);
}

int CountColumns::height(Kind kind) { return kind == Kind::Export ? kExportHeight : kImportHeight; }

void CountColumns::addColumn(Column column, bool visible) {
  const ColumnDesign &design = kColumns[static_cast<size_t>(column)];
  Slot &slot = slots_[static_cast<size_t>(column)];
  slot.frame = listPlace::placeNamed(client_, new QGroupBox(QString::fromLatin1(design.caption)),
                                     design.frame, design.left, kTop, kWidth, height(kind_));
  slot.groups = figure(slot.frame, design.groups, QStringLiteral("0"), kGroupsTop);
  slot.tips = figure(slot.frame, design.tips, QStringLiteral("0"), kTipsTop);
  slot.date = figure(slot.frame, design.date, emptyDate(), kDateTop);
  if (kind_ == Kind::Import) {
    for (QLabel *label : {slot.groups, slot.tips, slot.date}) {
      QPalette palette = label->palette();
      palette.setColor(QPalette::WindowText, design.colour);
      label->setPalette(palette);
    }
  } else if (design.check) {
    slot.check =
        listPlace::placeNamed(slot.frame, new QCheckBox, design.check, (kWidth - kCheckSize) / 2,
                              kCheckTop, kCheckSize, kCheckSize);
  }
  slot.frame->setVisible(visible);
}

void CountColumns::show(Column column, const exchange::Tally &tally) {
  const Slot &slot = at(column);
  if (!slot.frame)
    return;
  slot.groups->setFitText(QString::number(tally.groups));
  slot.tips->setFitText(QString::number(tally.tips));
  slot.date->setFitText(dateText(tally.latest));
}

void CountColumns::showOrigins(const exchange::OriginSummary &summary) {
  show(Column::Initial, summary.initial);
  show(Column::Local, summary.local);
  show(Column::Imported, summary.imported);
  show(Column::Total, summary.total());
}

void CountColumns::clear() {
  for (size_t i = 0; i < slots_.size(); ++i)
    show(static_cast<Column>(i), exchange::Tally{});
}

const QString &CountColumns::emptyDate() {
  static const QString empty = QStringLiteral("00:00:00");
  return empty;
}

QString CountColumns::dateText(const QDate &date) {
  return date.isValid() ? QLocale().toString(date, QLocale::ShortFormat) : emptyDate();
}
