#include "store/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

#include "store/Sqlite.h"
#include "store/StoreError.h"

namespace store {

const QList<TableSpec> &knownTables() {
  static const QList<TableSpec> tables = {
      {QStringLiteral("Group"),
       QStringLiteral("GROUP_ID"),
       {{QStringLiteral("GROUP_ID"), FieldKind::Integer},
        {QStringLiteral("TIP_GROUP"), FieldKind::Text, false, true},
        {QStringLiteral("G_LOCAL"), FieldKind::YesNo},
        {QStringLiteral("G_IMPORT"), FieldKind::YesNo},
        {QStringLiteral("G_ORIGINAL"), FieldKind::YesNo},
        {QStringLiteral("G_DATE"), FieldKind::Date}},
       true},
      {QStringLiteral("Tips"),
       QStringLiteral("TIPS_ID"),
       {{QStringLiteral("TIPS_ID"), FieldKind::Integer},
        {QStringLiteral("GROUP_ID"), FieldKind::Integer},
        {QStringLiteral("TIP_SUBJECT"), FieldKind::Text, false, true},
        {QStringLiteral("TIP_DESCRIPTION"), FieldKind::Text, true},
        {QStringLiteral("TIP_LOCAL"), FieldKind::YesNo},
        {QStringLiteral("TIP_IMPORT"), FieldKind::YesNo},
        {QStringLiteral("TIP_ORIGINAL"), FieldKind::YesNo},
        {QStringLiteral("TIP_DATE"), FieldKind::Date}},
       true},
      {QStringLiteral("Settings"),
       QString(),
       {{QStringLiteral("USER_FIRST"), FieldKind::Text},
        {QStringLiteral("USER_LAST"), FieldKind::Text},
        {QStringLiteral("USER_EMAIL"), FieldKind::Text},
        {QStringLiteral("USER_CITY"), FieldKind::Text},
        {QStringLiteral("USER_COUNTRY"), FieldKind::Text},
        // Window geometry in twips is stored whole (32-bit): a large screen can exceed the
        // 16-bit range (framework/WindowPositions.h).
        {QStringLiteral("USER_H"), FieldKind::Integer},
        {QStringLiteral("USER_L"), FieldKind::Integer},
        {QStringLiteral("USER_T"), FieldKind::Integer},
        {QStringLiteral("USER_W"), FieldKind::Integer}},
       false},
  };
  return tables;
}

const TableSpec *findTable(QStringView name) {
  for (const TableSpec &t : knownTables())
    if (name.compare(t.name, Qt::CaseInsensitive) == 0)
      return &t;
  return nullptr;
}

const FieldSpec *findField(const TableSpec &table, QStringView name) {
  for (const FieldSpec &f : table.fields)
    if (name.compare(f.name, Qt::CaseInsensitive) == 0)
      return &f;
  return nullptr;
}

QString foldColumnName(const FieldSpec &field) { return field.name + QLatin1String("_FOLD"); }

const FieldSpec *fieldOfFoldColumn(const TableSpec &table, QStringView column) {
  for (const FieldSpec &f : table.fields)
    if (f.folded && column.compare(foldColumnName(f), Qt::CaseInsensitive) == 0)
      return &f;
  return nullptr;
}

QString foldIndexName(const TableSpec &table, const FieldSpec &field) {
  return table.name + QLatin1Char('_') + foldColumnName(field);
}

QString foldTriggerName(const TableSpec &table, const FieldSpec &field) {
  return foldIndexName(table, field) + QLatin1String("_stale");
}

namespace {

// The statements that create the index and the trigger of the table's folded keys.
QStringList foldKeySql(const TableSpec &table) {
  using sql::quoteIdentifier;
  QStringList statements;
  for (const FieldSpec &f : table.fields) {
    if (!f.folded)
      continue;
    const QString t = quoteIdentifier(table.name);
    const QString name = quoteIdentifier(f.name);
    const QString key = quoteIdentifier(foldColumnName(f));
    statements << QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
                      .arg(quoteIdentifier(foldIndexName(table, f)), t, key);
    // A writer that changed the name but left the key as it was (another tool) makes the
    // key unknown. The store itself writes both, so this fires for it only when the
    // fold stays the same ("tips" -> "Tips"); it then writes the key again.
    statements << QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1 AFTER UPDATE OF %2 ON %3 "
                                 "WHEN NEW.%4 IS OLD.%4 AND NEW.%2 IS NOT OLD.%2 "
                                 "BEGIN UPDATE %3 SET %4 = NULL WHERE rowid = NEW.rowid; END")
                      .arg(quoteIdentifier(foldTriggerName(table, f)), name, t, key);
  }
  return statements;
}

} // namespace

TableLayout TableLayout::ofNewFile(const TableSpec &table) {
  TableLayout layout{&table, table.name, {}};
  for (const FieldSpec &f : table.fields)
    if (f.folded)
      layout.foldKeys << &f;
  return layout;
}

FieldKind kindOfDeclaredType(const QString &declaredType) {
  const QString t = declaredType.trimmed().toUpper();
  if (t == QLatin1String("YESNO") || t == QLatin1String("BOOLEAN") || t == QLatin1String("BIT"))
    return FieldKind::YesNo;
  if (t == QLatin1String("DATE") || t == QLatin1String("DATETIME"))
    return FieldKind::Date;
  if (t == QLatin1String("SMALLINT"))
    return FieldKind::SmallInt;
  if (t == QLatin1String("INTEGER") || t == QLatin1String("INT") || t == QLatin1String("LONG"))
    return FieldKind::Integer;
  if (t.isEmpty() || t.contains(QLatin1String("TEXT")) || t.contains(QLatin1String("CHAR")) ||
      t.contains(QLatin1String("CLOB")) || t == QLatin1String("MEMO"))
    return FieldKind::Text;
  return FieldKind::Other;
}

QString declaredTypeOf(FieldKind kind) {
  switch (kind) {
  case FieldKind::Integer:
    return QStringLiteral("INTEGER");
  case FieldKind::SmallInt:
    return QStringLiteral("SMALLINT");
  case FieldKind::YesNo:
    return QStringLiteral("YESNO");
  case FieldKind::Date:
    return QStringLiteral("DATE");
  case FieldKind::Text:
  case FieldKind::Other:
    break;
  }
  return QStringLiteral("TEXT");
}

namespace {

QString createTableSql(const TableSpec &table) {
  QStringList columns;
  for (const FieldSpec &f : table.fields) {
    QString column = sql::quoteIdentifier(f.name) + QLatin1Char(' ');
    if (f.name == table.keyField)
      column += QLatin1String("INTEGER PRIMARY KEY AUTOINCREMENT");
    else if (f.kind == FieldKind::YesNo)
      column += QLatin1String("YESNO DEFAULT 0");
    else
      column += declaredTypeOf(f.kind);
    columns << column;
  }
  // Key columns come last, after the fields that a package of another program has too.
  for (const FieldSpec &f : table.fields)
    if (f.folded)
      columns << sql::quoteIdentifier(foldColumnName(f)) + QLatin1String(" TEXT");
  return QStringLiteral("CREATE TABLE %1 (%2)")
      .arg(sql::quoteIdentifier(table.name), columns.join(QLatin1String(", ")));
}

QStringList schemaSql(DatabaseKind kind) {
  QStringList statements;
  for (const TableSpec &t : knownTables())
    if (kind == DatabaseKind::TipDatabase || t.inTemplate)
      statements << createTableSql(t) << foldKeySql(t);
  statements << QStringLiteral("CREATE INDEX \"Tips_GROUP_ID\" ON \"Tips\" (\"GROUP_ID\")");
  statements << QStringLiteral("PRAGMA user_version = %1").arg(kFoldRuleVersion);
  if (kind == DatabaseKind::TipDatabase) {
    const WindowGeometry &g = kDefaultWindowGeometry;
    statements << QStringLiteral("INSERT INTO \"Settings\" (\"USER_H\", \"USER_L\", \"USER_T\", "
                                 "\"USER_W\") VALUES (%1, %2, %3, %4)")
                      .arg(g.height)
                      .arg(g.left)
                      .arg(g.top)
                      .arg(g.width);
  }
  return statements;
}

} // namespace

void createDatabase(const QString &nativePath, DatabaseKind kind) {
  if (QFileInfo::exists(nativePath) || QFileInfo(nativePath).isSymLink())
    throw StoreError(
        QStringLiteral("The database file \"%1\" cannot be created: it already exists.")
            .arg(nativePath));
  const QFileInfo info(nativePath);
  if (!info.absoluteDir().exists())
    throw StoreError(
        QStringLiteral("The database file \"%1\" cannot be created: its folder does not exist.")
            .arg(nativePath));

  // Create the empty file exclusively (O_EXCL), so an existing file is never touched;
  // SQLite treats an empty file as an empty database.
  {
    QFile file(nativePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
      throw StoreError(QStringLiteral("The database file \"%1\" cannot be created: %2")
                           .arg(nativePath, file.errorString()));
  }
  sqlite3 *db = nullptr;
  const QByteArray path = nativePath.toUtf8();
  const int rc =
      sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr);
  auto cleanUp = [&](bool removeFile) {
    sqlite3_close_v2(db);
    db = nullptr;
    if (removeFile)
      QFile::remove(nativePath);
  };
  if (rc != SQLITE_OK) {
    const QString engine = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
    cleanUp(true);
    throw StoreError(
        QStringLiteral("The database file \"%1\" cannot be created: %2").arg(nativePath, engine));
  }
  try {
    auto exec = [&](const QString &statement) {
      if (sqlite3_exec(db, statement.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        sql::fail(db, QStringLiteral("The database file \"%1\" cannot be created").arg(nativePath));
    };
    exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    exec(QStringLiteral("PRAGMA synchronous=FULL"));
    exec(QStringLiteral("BEGIN IMMEDIATE"));
    for (const QString &statement : schemaSql(kind))
      exec(statement);
    exec(QStringLiteral("COMMIT"));
  } catch (...) {
    cleanUp(true);
    throw;
  }
  if (sqlite3_close(db) != SQLITE_OK) {
    cleanUp(true);
    throw StoreError(
        QStringLiteral("The database file \"%1\" could not be closed after its creation.")
            .arg(nativePath));
  }
}

} // namespace store
