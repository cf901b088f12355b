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
// Folded keys: the names that are looked up without regard to case (Group.TIP_GROUP,
// Tips.TIP_SUBJECT) have a TEXT column beside them holding their fold (Collation.h):
// TIP_GROUP_FOLD, TIP_SUBJECT_FOLD, each with a plain index. The store writes it with
// every name it writes. Other tools may write the name alone: a trigger of built-in SQL
// sets the key to null when a writer changes the name and leaves the key as it was, a
// row inserted without it has none, and the store fills in every missing key when it
// opens the file read-write. Lookups treat a row without a key as unknown and compare
// its name itself, so they stay right in between. Nothing in the stored schema names a
// collation or function of this program: standard SQLite tools read and write the files.
//
// The fold has changed once (canonical composition was added, so that a name typed with a
// combining accent matches the same name typed precomposed): the file's user_version says
// which fold its keys were written with, and a file with keys of an earlier fold gets them
// all anew, once, in one transaction, when it is opened read-write.
//
// Indexes: Group(TIP_GROUP_FOLD), Tips(TIP_SUBJECT_FOLD), Tips(GROUP_ID).
//
// A table without the key columns (a package written by another program) is read
// through the fold function instead, and never given them.

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace store {

enum class DatabaseKind {
  TipDatabase, // Group, Tips and Settings (the user's own database)
  Template     // Group and Tips only (the template and exchange databases)
};

// The main window's geometry in twips (Settings.USER_H, USER_L, USER_T, USER_W) until the
// user stores another one.
struct WindowGeometry {
  int height;
  int left;
  int top;
  int width;
};
inline constexpr WindowGeometry kDefaultWindowGeometry{5172, 48, 504, 7404};

// The fold the keys of a file are written with (its user_version; see above).
inline constexpr int kFoldRuleVersion = 1;

// Creates a new database file with the tables of its kind; fails if the file exists.
// A TipDatabase gets its one Settings row: user details null, kDefaultWindowGeometry.
void createDatabase(const QString &nativePath, DatabaseKind kind);

enum class FieldKind { Integer, SmallInt, YesNo, Date, Text, Other };

struct FieldSpec {
  QString name; // canonical spelling, e.g. "TIP_GROUP"
  FieldKind kind;
  bool longText = false; // text of any length: record sets read it only when asked for
  bool folded = false;   // has a folded key column (see above)
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

// The folded key column of a folded field: "TIP_GROUP" -> "TIP_GROUP_FOLD".
QString foldColumnName(const FieldSpec &field);
// The folded field whose key column is named column (any case); null when none.
const FieldSpec *fieldOfFoldColumn(const TableSpec &table, QStringView column);
// The names of the index and the trigger of a folded key (createDatabase makes them).
QString foldIndexName(const TableSpec &table, const FieldSpec &field);
QString foldTriggerName(const TableSpec &table, const FieldSpec &field);

// A known table as one file holds it.
struct TableLayout {
  const TableSpec *table = nullptr;
  QString name;                      // as the file spells it
  QList<const FieldSpec *> foldKeys; // the folded fields whose key column the file has
  bool hasFoldKey(const FieldSpec &field) const { return foldKeys.contains(&field); }
  // The layout of the table in a file made by createDatabase.
  static TableLayout ofNewFile(const TableSpec &table);
};

// The kind that a declared column type stands for (see above); unknown types -> Other.
FieldKind kindOfDeclaredType(const QString &declaredType);
QString declaredTypeOf(FieldKind kind);

} // namespace store
