#pragma once
// The count grid of the export and import screens: one frame per column (Initial, Local,
// Imported, Total, and "To Export", "To Import", "New" or the second "Total"), each with
// the number of groups, the number of tips and the last date, beside the row headings
// "Groups", "Tips" and "Last Date". On the export screens each origin frame also holds the
// check box that ticks its kind for export, in a row headed "To Export".
//
// The frames are named controls on the client area and the figures named controls inside
// them: the resizing control moves each control relative to its parent, so a frame and its
// figures scale together.

#include <QDate>
#include <QString>
#include <array>

#include "exchange/ExchangeCounts.h"
#include "widgets/FitText.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QWidget;

class CountColumns {
public:
  enum class Column { Initial, Local, Imported, Total, ToExport, ToImport, New, Total2 };

  enum class Kind {
    Export, // plain figures; the origin frames hold their check box
    Import, // coloured figures, no check boxes
  };

  // Places the row headings; the frames come with addColumn.
  CountColumns(QWidget *clientArea, Kind kind);

  // Places the frame of a column at its designed left, every figure "0" and the date
  // "00:00:00". A hidden frame hides its figures with it.
  void addColumn(Column column, bool visible = true);

  QGroupBox *frame(Column column) const { return at(column).frame; }
  QLabel *groupCount(Column column) const { return at(column).groups; }
  QLabel *tipCount(Column column) const { return at(column).tips; }
  QLabel *lastDate(Column column) const { return at(column).date; }
  // The check box of an origin column on the export screens (null elsewhere).
  QCheckBox *check(Column column) const { return at(column).check; }

  // Shows a column's counts and date.
  void show(Column column, const exchange::Tally &tally);
  // Initial, Local, Imported and Total of a database.
  void showOrigins(const exchange::OriginSummary &summary);
  // Every column back to "0", "0" and the empty date.
  void clear();

  // A date as the locale's short date; the empty date as "00:00:00".
  static QString dateText(const QDate &date);
  static const QString &emptyDate();

  // Designed places (twips), for the screens that set their other controls beside them.
  static constexpr int kTop = 2520;
  static constexpr int kWidth = 1100;
  static int height(Kind kind);

private:
  struct Slot {
    QGroupBox *frame = nullptr;
    FitLabel *groups = nullptr;
    FitLabel *tips = nullptr;
    FitLabel *date = nullptr;
    QCheckBox *check = nullptr;
  };
  const Slot &at(Column column) const { return slots_[static_cast<size_t>(column)]; }

  QWidget *client_;
  Kind kind_;
  std::array<Slot, 8> slots_{};
};
