// Fuzzes the program's record sources (store/QueryText.h): the texts the rules build, with
// names a user typed between their apostrophes. A StoreError is the parser's way of
// refusing a text; a crash, a sanitizer report or a hang is a fault.
//
// What the parser accepts must also make SQL that the engine prepares with exactly the
// parameters the builder returns: every query built here is prepared and run on a small
// database of the program's own schema. A text that parses but builds SQL the engine
// refuses (or that binds fewer values than it names) stops the run.

#include <QString>
#include <memory>
#include <sqlite3.h>

#include "FuzzSupport.h"
#include "store/Database.h"
#include "store/QueryText.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "store/StoreError.h"

namespace {

std::shared_ptr<store::Database> &schemaDatabase() {
  static std::shared_ptr<store::Database> db = [] {
    const QString path = fuzz::scratchRoot() + QStringLiteral("/schema.mdb");
    store::createDatabase(path, store::DatabaseKind::TipDatabase);
    auto opened = store::Database::open(path, store::OpenMode::ReadWrite);
    // One row in each table, so that the folds and comparisons of a query meet values.
    opened->exec(QStringLiteral("INSERT INTO \"Group\" (\"TIP_GROUP\", \"TIP_GROUP_FOLD\") "
                                "VALUES ('Straße', 'straße')"));
    opened->exec(QStringLiteral("INSERT INTO \"Tips\" (\"GROUP_ID\", \"TIP_SUBJECT\") "
                                "VALUES (1, 'Ä subject')"));
    return opened;
  }();
  return db;
}

void run(const store::SqlText &query) {
  store::Database &db = *schemaDatabase();
  try {
    store::sql::Statement s(db.handle(), query.sql);
    if (sqlite3_bind_parameter_count(s.handle()) != query.params.size()) {
      std::fprintf(stderr, "parameters named and bound differ: %s\n", qPrintable(query.sql));
      std::abort();
    }
    s.bindAll(query.params);
    while (s.step()) {
    }
  } catch (const store::StoreError &e) {
    std::fprintf(stderr, "accepted text built SQL the engine refuses: %s\n%s\n",
                 qPrintable(query.sql), qPrintable(e.message()));
    std::abort();
  }
}

// Parses the text as a record source and runs what it builds on both layouts a table may
// have in a file: with its folded key columns (a file of this program) and without them
// (a package of another program).
void parseText(const QString &text) {
  try {
    const store::RecordSource source = store::parseRecordSource(text);
    if (!source.table)
      std::abort(); // a parsed record source always names its table
    const store::TableLayout keyed = store::TableLayout::ofNewFile(*source.table);
    const store::TableLayout plain{keyed.table, keyed.name, {}};
    for (const store::TableLayout *layout : {&keyed, &plain}) {
      run(store::rowidQuery(source, *layout));
      run(store::rowidQuery(source, *layout, QStringLiteral("\"rowid\"")));
    }
  } catch (const store::StoreError &) {
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > 4096)
    return -1; // a query is a line of text; longer inputs only slow the search
  schemaDatabase();
  const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
  const QString utf8 = QString::fromUtf8(bytes);
  parseText(utf8);
  // Every byte as its own code point: the Latin-1 letters and controls without a UTF-8
  // encoder in the way.
  const QString latin1 = QString::fromLatin1(bytes);
  if (latin1 != utf8)
    parseText(latin1);
  // As UTF-16: any code point, lone surrogates included.
  if (size >= 2)
    parseText(QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData()),
                                 bytes.size() / 2));
  return 0;
}
