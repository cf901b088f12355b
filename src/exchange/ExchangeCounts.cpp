#include "exchange/ExchangeCounts.h"

#include "exchange/FieldValues.h"
#include "exchange/SafeFileName.h"
#include "exchange/TableReaders.h"
#include "store/DataControl.h"
#include "store/Database.h"
#include "store/Sqlite.h"

namespace exchange {

Tally OriginSummary::total() const {
  Tally t;
  t.groups = initial.groups + local.groups + imported.groups;
  t.tips = initial.tips + local.tips + imported.tips;
  t.take(initial.latest);
  t.take(local.latest);
  t.take(imported.latest);
  return t;
}

namespace {

// Walks one table's three flags and date (in the column order original, local, imported,
// date) and counts each row into the columns of its True flags.
void countOrigins(store::Database &db, const char *tableName, const char *original,
                  const char *local, const char *imported, const char *date, OriginSummary &summary,
                  int Tally::*count) {
  store::sql::Statement s(
      db.handle(), QStringLiteral("SELECT \"%1\", \"%2\", \"%3\", \"%4\" FROM %5")
                       .arg(QLatin1String(original), QLatin1String(local), QLatin1String(imported),
                            QLatin1String(date), quotedTable(db, tableName)));
  Tally *columns[] = {&summary.initial, &summary.local, &summary.imported};
  exchange::DateReader dates;
  while (s.step()) {
    const QDate day = dates.at(s, 3);
    for (int c = 0; c < 3; ++c) {
      if (!exchange::isTrueAt(s, c))
        continue;
      ++(columns[c]->*count);
      columns[c]->take(day);
    }
  }
}

void countAll(store::Database &db, const char *tableName, const char *date, Tally &tally,
              int Tally::*count) {
  store::sql::Statement s(db.handle(), QStringLiteral("SELECT \"%1\" FROM %2")
                                           .arg(QLatin1String(date),
                                                store::sql::quoteIdentifier(
                                                    db.actualTableName(QLatin1String(tableName)))));
  exchange::DateReader dates;
  while (s.step()) {
    ++(tally.*count);
    tally.take(dates.at(s, 0));
  }
}

} // namespace

OriginSummary summarizeOrigins(store::Database &db) {
  OriginSummary summary;
  countOrigins(db, "Group", "G_ORIGINAL", "G_LOCAL", "G_IMPORT", "G_DATE", summary, &Tally::groups);
  countOrigins(db, "Tips", "TIP_ORIGINAL", "TIP_LOCAL", "TIP_IMPORT", "TIP_DATE", summary,
               &Tally::tips);
  return summary;
}

Tally countContent(store::Database &db) {
  Tally tally;
  countAll(db, "Group", "G_DATE", tally, &Tally::groups);
  countAll(db, "Tips", "TIP_DATE", tally, &Tally::tips);
  return tally;
}

QString exportNameOf(const QVariant &userFirst) {
  const QVariant text = exchange::textOf(userFirst);
  return text.isValid() ? text.toString() : QStringLiteral("export");
}

QString readExportName(store::Database &db) {
  store::sql::Statement s(db.handle(), QStringLiteral("SELECT \"USER_FIRST\" FROM %1 ORDER BY "
                                                      "rowid LIMIT 1")
                                           .arg(store::sql::quoteIdentifier(
                                               db.actualTableName(QStringLiteral("Settings")))));
  return exportNameOf(s.step() ? s.value(0) : QVariant());
}

QString exportMdbName(const QString &exportName) {
  return safeFileName(QStringLiteral("OBX"), exportName, QStringLiteral(".MDB"));
}

QString packageFileName(const QString &exportName) {
  return safeFileName(QStringLiteral("OBX"), exportName, QStringLiteral(".ZIP"));
}

} // namespace exchange
