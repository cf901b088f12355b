#pragma once
// The layout of the program's database files.
//
// Declared column types tell the store how to convert values:
//   INTEGER  32-bit integer (keys, Tips.GROUP_ID, the Settings window geometry, which is
//            stored whole even beyond 16 bits)           -> int, writes range-checked
//   SMALLINT 16-bit signed integer (no field of the program's own files uses it)
//                                                        -> int, writes range-checked
//   YESNO    yes/no flag stored as -1 (True) or 0        -> int -1/0
//   DATE     day stored as ISO text YYYY-MM-DD           -> QDate
//   TEXT     text                                        -> QString
// A null of any type reads as an invalid QVariant.
//
// Indexes: Group(TIP_GROUP COLLATE UNICASE), Tips(TIP_SUBJECT COLLATE UNICASE),
// Tips(GROUP_ID). The UNICASE collation (store/Collation.h) must be registered on every
// connection that writes these tables; store::Database does that.

#include <QList>
#include <QString>
#include <QStringView>

namespace store {

enum class DatabaseKind {
  TipDatabase, // Group, Tips and Settings (the user's own database)
  Template     // Group and Tips only (the template and exchange databases)
};

// Creates a new database file with the tables of its kind; fails if the file exists.
// A TipDatabase gets its one Settings row: user details null, the default window
// geometry (USER_H 5172, USER_L 48, USER_T 504, USER_W 7404).
void createDatabase(const QString &nativePath, DatabaseKind kind);

enum class FieldKind { Integer, SmallInt, YesNo, Date, Text, Other };

struct FieldSpec {
  QString name; // canonical spelling, e.g. "TIP_GROUP"
  FieldKind kind;
  bool longText = false; // text of any length: record sets read it only when asked for
};

struct TableSpec {
  QString name;     // canonical spelling: "Group", "Tips", "Settings"
  QString keyField; // the automatic key ("GROUP_ID", "TIPS_ID"); empty for Settings
  QList<FieldSpec> fields;
  bool inTemplate; // part of a Template database
};

// The three known tables.
const QList<TableSpec> &knownTables();
// By name without regard to case; null when unknown.
const TableSpec *findTable(QStringView name);
const FieldSpec *findField(const TableSpec &table, QStringView name);

// The kind that a declared column type stands for (see above); unknown types -> Other.
FieldKind kindOfDeclaredType(const QString &declaredType);
QString declaredTypeOf(FieldKind kind);

} // namespace store
