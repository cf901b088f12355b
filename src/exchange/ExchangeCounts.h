#pragma once
// The count columns of the export and import screens: groups and tips of a tip database
// by origin (Initial, Local, Imported, Total), what an export or a package holds
// ("To Export", "To Import"), and the export summary that travels from the first export
// screen to the second. Counts are plain ints: they never overflow.

#include <QDate>
#include <QString>
#include <QVariant>

namespace store {
class Database;
}

namespace exchange {

// One count column: a number of groups, a number of tips and the latest of their dates.
struct Tally {
  int groups = 0;
  int tips = 0;
  QDate latest; // invalid: the empty date, shown as "00:00:00"

  // The date becomes the latest when it is strictly later; the empty date never is.
  void take(const QDate &date) {
    if (date.isValid() && (!latest.isValid() || date > latest))
      latest = date;
  }
  bool operator==(const Tally &) const = default;
};

// A database by the three origin flags of its rows. A row counts once under each flag
// that is True (a null is not True), so a row may count twice or nowhere; each column's
// date is the latest over its groups and tips together.
struct OriginSummary {
  Tally initial;  // G_ORIGINAL / TIP_ORIGINAL
  Tally local;    // G_LOCAL / TIP_LOCAL
  Tally imported; // G_IMPORT / TIP_IMPORT
  // The sum of the three columns (not the number of rows), dated with the latest of the
  // three dates.
  Tally total() const;
  bool operator==(const OriginSummary &) const = default;
};

// Any tip database: the user's, an export database, a package database.
OriginSummary summarizeOrigins(store::Database &db);
// Every group and tip, whatever its flags, and the latest of all their dates.
Tally countContent(store::Database &db);

// The fifteen values of the export screens, in their order: Initial, Local, Imported and
// Total of the user's database, then what the export database holds.
struct ExportSummary {
  OriginSummary origins;
  Tally toExport;
  bool operator==(const ExportSummary &) const = default;
};

// The export's name: the stored first name as it is, or "export" when there is none.
QString exportNameOf(const QVariant &userFirst);
// Reads Settings.USER_FIRST of the user's database (the first row).
QString readExportName(store::Database &db);
// "OBX" + name + ".MDB", shown on the first export screen. Both names are made safe as file
// names (tips/SafeFileName.h): "../AC/DC:?" gives "OBX.._AC_DC__.ZIP".
QString exportMdbName(const QString &exportName);
// "OBX" + name + ".ZIP": the package's file name, in the exchange folder.
QString packageFileName(const QString &exportName);

} // namespace exchange
