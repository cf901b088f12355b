// fuzz_package_seeds <folder>: writes the seed package databases of fuzz_package_reader,
// made as an export makes them (store::createDatabase, rows through the exchange's row
// writer), with small pages so that the fuzzer's changes land on meaningful bytes.
#include <QDate>
#include <QFile>
#include <QString>
#include <cstdio>

#include "exchange/RowWriter.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "store/StoreError.h"

namespace {

using store::kFalse;
using store::kTrue;

void fill(const std::shared_ptr<store::Database> &db) {
  store::Database::Transaction transaction(db);
  exchange::RowWriter writer(db);
  const QDate day(2026, 11, 30);
  const qint32 shell = writer.insertGroup(QStringLiteral("Shell"), kFalse, kFalse, kTrue, day);
  const qint32 editors = writer.insertGroup(QStringLiteral("  Editor`s Straße "), kTrue, kFalse,
                                            kFalse, day.addDays(3));
  writer.insertGroup(QStringLiteral("   "), kTrue, kFalse, kFalse, QDate());
  writer.insertTip(shell, QStringLiteral("Globbing"), QStringLiteral("Use * and ?"), kFalse, kFalse,
                   kTrue, day);
  writer.insertTip(shell, QStringLiteral("globbing"), QStringLiteral("Same subject, other case"),
                   kTrue, kFalse, kFalse, day);
  writer.insertTip(editors, QStringLiteral(" Undo 'all' "), QVariant(), kTrue, kTrue, kFalse,
                   day.addDays(1));
  writer.insertTip(editors, QStringLiteral("ÄÖÜ ǅ ﬀ"), QStringLiteral("Fold me\r\nsecond line"),
                   kTrue, kFalse, kFalse, QDate(1999, 12, 31));
  writer.insertTip(99, QStringLiteral("Of no group"), QStringLiteral("never merged"), kTrue, kFalse,
                   kFalse, day);
  transaction.commit();
}

void shrink(store::Database &db) {
  db.exec(QStringLiteral("PRAGMA page_size = 512"));
  db.exec(QStringLiteral("VACUUM"));
}

void make(const QString &path, store::DatabaseKind kind, bool rows, bool withoutKeys) {
  QFile::remove(path);
  store::createDatabase(path, kind);
  auto db = store::Database::open(path, store::OpenMode::ReadWrite);
  if (rows)
    fill(db);
  if (withoutKeys) {
    // A package of another program: no key columns, their indexes or triggers.
    for (const QString &table : {QStringLiteral("Group"), QStringLiteral("Tips")}) {
      const store::TableSpec &known = *store::findTable(table);
      for (const store::FieldSpec &f : known.fields) {
        if (!f.folded)
          continue;
        db->exec(QStringLiteral("DROP TRIGGER IF EXISTS %1")
                     .arg(store::sql::quoteIdentifier(store::foldTriggerName(known, f))));
        db->exec(QStringLiteral("DROP INDEX IF EXISTS %1")
                     .arg(store::sql::quoteIdentifier(store::foldIndexName(known, f))));
        db->exec(QStringLiteral("ALTER TABLE %1 DROP COLUMN %2")
                     .arg(store::sql::quoteIdentifier(known.name),
                          store::sql::quoteIdentifier(store::foldColumnName(f))));
      }
    }
  }
  shrink(*db);
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_package_seeds <folder>\n");
    return 2;
  }
  const QString folder = QFile::decodeName(argv[1]);
  try {
    make(folder + QStringLiteral("/package.mdb"), store::DatabaseKind::Template, true, false);
    make(folder + QStringLiteral("/package-older-form.mdb"), store::DatabaseKind::Template, true,
         true);
    make(folder + QStringLiteral("/tip-database.mdb"), store::DatabaseKind::TipDatabase, true,
         false);
    make(folder + QStringLiteral("/empty-package.mdb"), store::DatabaseKind::Template, false,
         false);
  } catch (const store::StoreError &e) {
    std::fprintf(stderr, "fuzz_package_seeds: %s\n", qPrintable(e.message()));
    return 1;
  }
  return 0;
}
