// Database files: schema, opening (missing, foreign, untrusted), shared connections,
// transactions, durability settings, index use and the folded keys kept up to date.

#include <QFileInfo>
#include <sqlite3.h>

#include "StoreFixture.h"
#include "store/QueryText.h"
#include "store/Sqlite.h"

using namespace store;
using namespace store::test;

namespace {

// Runs trusted SQL on a file (made if missing) through the raw C API, as another SQLite
// tool would.
void rawDatabase(const QString &path, const QString &sql) {
  sqlite3 *db = nullptr;
  ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
  char *message = nullptr;
  const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message);
  EXPECT_EQ(rc, SQLITE_OK) << (message ? message : "");
  sqlite3_free(message);
  sqlite3_close(db);
}

QByteArray contents(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The SQL of a record source on the table as the file holds it.
SqlText sourceSql(Database &db, const QString &source) {
  const RecordSource s = parseRecordSource(source);
  return rowidQuery(s, db.layout(*s.table));
}

// EXPLAIN QUERY PLAN of a statement, its detail lines joined.
QString queryPlan(Database &db, const SqlText &sql) {
  sqlite3_stmt *stmt = nullptr;
  const QByteArray text = (QStringLiteral("EXPLAIN QUERY PLAN ") + sql.sql).toUtf8();
  EXPECT_EQ(sqlite3_prepare_v2(db.handle(), text.constData(), -1, &stmt, nullptr), SQLITE_OK)
      << sqlite3_errmsg(db.handle());
  for (int i = 0; i < sql.params.size(); ++i) {
    const QVariant &v = sql.params[i];
    if (v.typeId() == QMetaType::QString)
      sqlite3_bind_text(stmt, i + 1, v.toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
    else
      sqlite3_bind_int64(stmt, i + 1, v.toLongLong());
  }
  QStringList lines;
  while (sqlite3_step(stmt) == SQLITE_ROW)
    lines << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 3)));
  sqlite3_finalize(stmt);
  return lines.join(QLatin1String(" | "));
}

} // namespace

class DatabaseTest : public StoreFixture {};

TEST_F(DatabaseTest, CreatedFilesHoldTheTablesOfTheirKind) {
  auto db = Database::open(dbPath(), OpenMode::ReadWrite);
  auto declared = [&](const QString &table) {
    QStringList out;
    for (const ColumnInfo &c : db->columns(table))
      out << c.name + QLatin1Char(' ') + c.declaredType;
    return out.join(QLatin1String(", "));
  };
  EXPECT_EQ(declared(QStringLiteral("Group")),
            QStringLiteral("GROUP_ID INTEGER, TIP_GROUP TEXT, G_LOCAL YESNO, G_IMPORT YESNO, "
                           "G_ORIGINAL YESNO, G_DATE DATE, TIP_GROUP_FOLD TEXT"));
  EXPECT_EQ(declared(QStringLiteral("Tips")),
            QStringLiteral("TIPS_ID INTEGER, GROUP_ID INTEGER, TIP_SUBJECT TEXT, TIP_DESCRIPTION "
                           "TEXT, TIP_LOCAL YESNO, TIP_IMPORT YESNO, TIP_ORIGINAL YESNO, TIP_DATE "
                           "DATE, TIP_SUBJECT_FOLD TEXT"));
  EXPECT_EQ(declared(QStringLiteral("Settings")),
            QStringLiteral("USER_FIRST TEXT, USER_LAST TEXT, USER_EMAIL TEXT, USER_CITY TEXT, "
                           "USER_COUNTRY TEXT, USER_H INTEGER, USER_L INTEGER, USER_T INTEGER, "
                           "USER_W INTEGER"));
  // The one Settings row: no user yet, the default window geometry.
  EXPECT_EQ(db->rows(QStringLiteral("SELECT USER_FIRST IS NULL, USER_H, USER_L, USER_T, USER_W "
                                    "FROM Settings")),
            (QList<QStringList>{{"1", "5172", "48", "504", "7404"}}));
  EXPECT_EQ(
      db->rows(QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'index' AND sql "
                              "IS NOT NULL ORDER BY name")),
      (QList<QStringList>{{"Group_TIP_GROUP_FOLD"}, {"Tips_GROUP_ID"}, {"Tips_TIP_SUBJECT_FOLD"}}));

  const QString templ = file(QStringLiteral("@@@@@@@@.@@@"));
  createDatabase(templ, DatabaseKind::Template);
  EXPECT_EQ(rawColumn(templ, QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'table' "
                                            "AND name NOT LIKE 'sqlite%' ORDER BY name")),
            (QStringList{"Group", "Tips"}));
  EXPECT_EQ(rawColumn(templ, QStringLiteral("SELECT name FROM sqlite_schema WHERE type IN "
                                            "('index', 'trigger') AND name LIKE '%FOLD%'")),
            rawColumn(dbPath(), QStringLiteral("SELECT name FROM sqlite_schema WHERE type IN "
                                               "('index', 'trigger') AND name LIKE '%FOLD%'")));

  // An existing file is never overwritten.
  const QByteArray before = contents(dbPath());
  EXPECT_TRUE(errorOf([&] {
                createDatabase(dbPath(), DatabaseKind::Template);
              }).contains(QStringLiteral("already exists")));
  EXPECT_EQ(contents(dbPath()), before);
  EXPECT_TRUE(errorOf([&] {
                createDatabase(file(QStringLiteral("no/such/folder/x.mdb")),
                               DatabaseKind::Template);
              }).contains(QStringLiteral("folder does not exist")));
}

TEST_F(DatabaseTest, AMissingFileIsAnErrorAndIsNotCreated) {
  const QString missing = file(QStringLiteral("missing.mdb"));
  for (OpenMode mode : {OpenMode::ReadWrite, OpenMode::ReadOnlyUntrusted}) {
    EXPECT_TRUE(
        errorOf([&] { Database::open(missing, mode); }).contains(QStringLiteral("does not exist")));
  }
  DataControl dc;
  dc.setDatabaseName(missing);
  dc.setRecordSource(QStringLiteral("Group"));
  EXPECT_TRUE(errorOf([&] { dc.refresh(); }).contains(missing));
  EXPECT_FALSE(dc.recordset().isOpen());
  EXPECT_FALSE(QFileInfo::exists(missing));
  EXPECT_FALSE(QFileInfo::exists(missing + QStringLiteral("-journal")));
  EXPECT_FALSE(errorOf([&] { Database::open(dir_.path(), OpenMode::ReadWrite); }).isEmpty());
  EXPECT_FALSE(errorOf([&] { Database::open(QString(), OpenMode::ReadWrite); }).isEmpty());
}

TEST_F(DatabaseTest, AFileThatIsNoDatabaseGivesAnErrorNotACrash) {
  const QString text = file(QStringLiteral("notes.mdb"));
  {
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        QByteArray("Standard Jet DB\0\0\0 this is not an SQLite file at all\n", 54).repeated(100));
  }
  const QByteArray before = contents(text);
  EXPECT_TRUE(errorOf([&] {
                Database::open(text, OpenMode::ReadWrite);
              }).contains(QStringLiteral("not a usable database")));
  EXPECT_TRUE(errorOf([&] {
                Database::open(text, OpenMode::ReadOnlyUntrusted);
              }).contains(QStringLiteral("is not an Ombrix Tips database")));
  EXPECT_EQ(contents(text), before);
}

TEST_F(DatabaseTest, UntrustedFilesAreCheckedBeforeAnythingIsRead) {
  struct Case {
    const char *sql;
    const char *reason;
  };
  const Case cases[] = {
      {"", "it has no table Group"},
      {"CREATE TABLE Other (x)", "it has no table Group"},
      {"CREATE TABLE \"Group\" (GROUP_ID INTEGER PRIMARY KEY, TIP_GROUP TEXT, G_LOCAL YESNO, "
       "G_IMPORT YESNO, G_ORIGINAL YESNO, G_DATE DATE)",
       "it has no table Tips"},
      {"CREATE TABLE \"Group\" (GROUP_ID INTEGER PRIMARY KEY, TIP_GROUP TEXT, G_LOCAL YESNO, "
       "G_IMPORT YESNO, G_DATE DATE); CREATE TABLE Tips (x)",
       "the table Group has no field G_ORIGINAL"},
      {"CREATE TABLE \"Group\" (GROUP_ID INTEGER PRIMARY KEY, TIP_GROUP TEXT, G_LOCAL YESNO, "
       "G_IMPORT YESNO, G_ORIGINAL YESNO, G_DATE TEXT); CREATE TABLE Tips (x)",
       "the table Tips has no field TIPS_ID"}, // a Group of plain types passes
      {"CREATE TABLE g0 (GROUP_ID INTEGER PRIMARY KEY, TIP_GROUP TEXT, G_LOCAL YESNO, "
       "G_IMPORT YESNO, G_ORIGINAL YESNO, G_DATE DATE); CREATE VIEW \"Group\" AS SELECT * FROM g0",
       "Group is not a table"},
  };
  int n = 0;
  for (const Case &c : cases) {
    const QString path = file(QStringLiteral("package%1.mdb").arg(++n));
    rawDatabase(path, QString::fromUtf8(c.sql));
    const QString message = errorOf([&] { Database::open(path, OpenMode::ReadOnlyUntrusted); });
    EXPECT_TRUE(message.contains(QStringLiteral("is not an Ombrix Tips database")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QString::fromUtf8(c.reason))) << message.toStdString();
  }

  // A real package opens read-only, defensive, without trusted schema; writes are refused.
  const QString package = file(QStringLiteral("ombrixtipsie.mdb"));
  createDatabase(package, DatabaseKind::Template);
  const int g = addGroup(QStringLiteral("Imported"), package);
  addTip(g, QStringLiteral("A subject"), QString(), package);
  const QByteArray before = contents(package);

  auto db = Database::open(package, OpenMode::ReadOnlyUntrusted);
  EXPECT_EQ(db->rows(QStringLiteral("SELECT TIP_GROUP FROM \"Group\" WHERE TIP_GROUP_FOLD = "
                                    "obx_fold('IMPORTED')")),
            (QList<QStringList>{{"Imported"}}));
  EXPECT_FALSE(errorOf([&] { db->exec(QStringLiteral("DELETE FROM Tips")); }).isEmpty());
  EXPECT_EQ(db->rows(QStringLiteral("PRAGMA trusted_schema")), (QList<QStringList>{{"0"}}));
  int defensive = -1;
  sqlite3_db_config(db->handle(), SQLITE_DBCONFIG_DEFENSIVE, -1, &defensive);
  EXPECT_EQ(defensive, 1);
  db.reset();
  EXPECT_EQ(contents(package), before);
}

TEST_F(DatabaseTest, ConnectionsAreDurableSharedAndReleased) {
  auto a = control(QStringLiteral("Group"));
  auto b = control(QStringLiteral("Tips"));
  std::shared_ptr<Database> connection = Database::open(dbPath(), OpenMode::ReadWrite);
  auto untrusted = Database::open(dbPath(), OpenMode::ReadOnlyUntrusted);
  EXPECT_NE(connection, untrusted);
  EXPECT_EQ(connection->rows(QStringLiteral("PRAGMA journal_mode")),
            (QList<QStringList>{{"delete"}}));
  EXPECT_EQ(connection->rows(QStringLiteral("PRAGMA synchronous")), (QList<QStringList>{{"2"}}));

  // The same file reached by another spelling of its path shares the connection too.
  const QString otherSpelling = dir_.path() + QStringLiteral("/./ombrixtips.mdb");
  auto c = control(QStringLiteral("Group"), otherSpelling);
  EXPECT_EQ(Database::open(otherSpelling, OpenMode::ReadWrite), connection);

  std::weak_ptr<Database> shared = connection;
  connection.reset();
  a->close();
  EXPECT_FALSE(a->recordset().isOpen());
  EXPECT_FALSE(shared.expired()); // b and c still hold it
  b->close();
  c->close();
  EXPECT_TRUE(shared.expired()); // the file is released

  // A file replaced on disk is reopened, not read through a stale connection.
  untrusted.reset();
  auto d = control(QStringLiteral("Group"));
  addGroup(QStringLiteral("Old"));
  ASSERT_TRUE(QFile::remove(dbPath()));
  createDatabase(dbPath(), DatabaseKind::TipDatabase);
  d->refresh();
  EXPECT_EQ(d->recordset().recordCount(), 0);
}

TEST_F(DatabaseTest, ATransactionCoversEveryControlOnTheFile) {
  auto groups = control(QStringLiteral("Group"));
  auto tips = control(QStringLiteral("Tips"));
  {
    Database::Transaction tx(Database::open(dbPath(), OpenMode::ReadWrite));
    groups->recordset().addNew();
    groups->recordset().setField(QStringLiteral("TIP_GROUP"), QStringLiteral("Rolled back"));
    groups->recordset().update();
    tips->recordset().addNew();
    tips->recordset().setField(QStringLiteral("TIP_SUBJECT"), QStringLiteral("Rolled back"));
    tips->recordset().update();
    // No commit: the destructor rolls back.
  }
  EXPECT_EQ(rawColumn(dbPath(), QStringLiteral("SELECT count(*) FROM \"Group\"")),
            QStringList{"0"});
  EXPECT_EQ(rawColumn(dbPath(), QStringLiteral("SELECT count(*) FROM Tips")), QStringList{"0"});
  EXPECT_TRUE(errorOf([&] {
                groups->recordset().moveFirst();
                groups->recordset().field(QStringLiteral("TIP_GROUP"));
              }).contains(QStringLiteral("deleted")));

  {
    Database::Transaction tx(Database::open(dbPath(), OpenMode::ReadWrite));
    groups->recordset().addNew();
    groups->recordset().setField(QStringLiteral("TIP_GROUP"), QStringLiteral("Kept"));
    groups->recordset().update();
    {
      Database::Transaction inner(Database::open(dbPath(), OpenMode::ReadWrite)); // a savepoint
      tips->recordset().addNew();
      tips->recordset().setField(QStringLiteral("TIP_SUBJECT"), QStringLiteral("Undone"));
      tips->recordset().update();
    }
    tips->recordset().addNew();
    tips->recordset().setField(QStringLiteral("TIP_SUBJECT"), QStringLiteral("Kept"));
    tips->recordset().update();
    // Nothing reaches the file before the commit.
    EXPECT_EQ(rawColumn(dbPath(), QStringLiteral("SELECT count(*) FROM \"Group\"")),
              QStringList{"0"});
    tx.commit();
    EXPECT_FALSE(errorOf([&] { tx.commit(); }).isEmpty());
  }
  EXPECT_EQ(rawColumn(dbPath(), QStringLiteral("SELECT TIP_GROUP FROM \"Group\"")),
            QStringList{"Kept"});
  EXPECT_EQ(rawColumn(dbPath(), QStringLiteral("SELECT TIP_SUBJECT FROM Tips")),
            QStringList{"Kept"});

  // Without a transaction every update commits at once.
  addGroup(QStringLiteral("At once"));
  EXPECT_EQ(rawColumn(dbPath(), QStringLiteral("SELECT count(*) FROM \"Group\"")),
            QStringList{"2"});
  EXPECT_FALSE(errorOf([] { Database::Transaction tx(nullptr); }).isEmpty());
}

TEST_F(DatabaseTest, FindsAndListsUseIndexesAtFullScale) {
  // 300 groups and 32,767 tips with descriptions.
  auto db = Database::open(dbPath(), OpenMode::ReadWrite);
  {
    Database::Transaction tx(db);
    db->exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
        "INSERT INTO \"Group\" (TIP_GROUP, G_LOCAL, G_DATE) SELECT 'Group ' || i, -1, "
        "'2024-01-01' FROM n"));
    db->exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 32767) "
        "INSERT INTO Tips (GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, TIP_LOCAL, TIP_DATE) "
        "SELECT 1 + i % 300, 'Subject ' || i, printf('%.400c', 'x'), -1, '2024-01-02' FROM n"));
    tx.commit();
  }
  // Rows written by plain SQL have no folded keys until the file is opened again.
  EXPECT_EQ(db->rows(QStringLiteral("SELECT count(*) FROM Tips WHERE TIP_SUBJECT_FOLD IS NULL")),
            (QList<QStringList>{{"32767"}}));
  db.reset();
  db = Database::open(dbPath(), OpenMode::ReadWrite);
  EXPECT_EQ(db->rows(QStringLiteral("SELECT count(*) FROM Tips WHERE TIP_SUBJECT_FOLD IS NULL")),
            (QList<QStringList>{{"0"}}));
  db->exec(QStringLiteral("ANALYZE"));

  auto rows = [&](const char *source) { return sourceSql(*db, QString::fromUtf8(source)); };
  // The lookups by name and by key of the rules.
  const QString byName =
      queryPlan(*db, rows("SELECT * FROM Group WHERE TIP_GROUP = 'group 7' ORDER BY GROUP_ID"));
  EXPECT_TRUE(byName.contains(QStringLiteral("INDEX Group_TIP_GROUP_FOLD")))
      << byName.toStdString();
  EXPECT_FALSE(byName.contains(QStringLiteral("SCAN"))) << byName.toStdString();
  const QString bySubject =
      queryPlan(*db, rows("SELECT * FROM Tips WHERE TIP_SUBJECT = 'subject 7' ORDER BY TIPS_ID"));
  EXPECT_TRUE(bySubject.contains(QStringLiteral("INDEX Tips_TIP_SUBJECT_FOLD")))
      << bySubject.toStdString();
  EXPECT_FALSE(bySubject.contains(QStringLiteral("SCAN"))) << bySubject.toStdString();
  EXPECT_TRUE(queryPlan(*db, rows("SELECT * FROM Group WHERE GROUP_ID =7"))
                  .contains(QStringLiteral("INTEGER PRIMARY KEY")));
  const QString list = queryPlan(*db, rows("SELECT * FROM Group ORDER BY Tip_Group"));
  EXPECT_TRUE(list.contains(QStringLiteral("INDEX Group_TIP_GROUP_FOLD"))) << list.toStdString();
  EXPECT_FALSE(list.contains(QStringLiteral("TEMP B-TREE"))) << list.toStdString();
  const QString ofGroup = queryPlan(*db, rows("SELECT * FROM TIPS WHERE GROUP_ID =7"));
  EXPECT_TRUE(ofGroup.contains(QStringLiteral("INDEX Tips_GROUP_ID"))) << ofGroup.toStdString();
  EXPECT_FALSE(ofGroup.contains(QStringLiteral("TEMP B-TREE"))) << ofGroup.toStdString();

  // And the lookups answer right on the whole table, ignoring case.
  EXPECT_EQ(control(QStringLiteral("Tips"))->recordset().recordCount(), 32767);
  auto found = control(QStringLiteral("SELECT * FROM Tips WHERE TIP_SUBJECT = 'SUBJECT 32767'"));
  Recordset &rs = found->recordset();
  ASSERT_EQ(rs.recordCount(), 1);
  EXPECT_EQ(rs.field(QStringLiteral("TIPS_ID")).toInt(), 32767);
  EXPECT_EQ(rs.text(QStringLiteral("TIP_DESCRIPTION")).size(), 400);
  auto ofSeven = control(QStringLiteral("SELECT * FROM TIPS WHERE GROUP_ID =7"));
  EXPECT_EQ(ofSeven->recordset().recordCount(), 110); // i = 6, 306, ..., 32706
}

TEST_F(DatabaseTest, StandardSqliteToolsReadAndWriteTheFiles) {
  const int tips = addGroup(QStringLiteral("tips"));
  addGroup(QStringLiteral("Kitchen"));
  addTip(tips, QStringLiteral("Été"));
  const QString templ = file(QStringLiteral("@@@@@@@@.@@@"));
  createDatabase(templ, DatabaseKind::Template);
  for (const QString &path : {dbPath(), templ}) {
    EXPECT_EQ(rawColumn(path, QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE sql LIKE "
                                             "'%COLLATE%' OR sql LIKE '%obx_%'")),
              QStringList{"0"});
    EXPECT_EQ(rawColumn(path, QStringLiteral("PRAGMA integrity_check")), QStringList{"ok"});
  }

  // The store writes the folded keys, also for a new name of the same fold.
  {
    auto groups = control(QStringLiteral("Group"));
    groups->recordset().edit();
    groups->recordset().setField(QStringLiteral("TIP_GROUP"), QStringLiteral("Tips"));
    groups->recordset().update();
    EXPECT_FALSE(
        errorOf([&] { groups->recordset().field(QStringLiteral("TIP_GROUP_FOLD")); }).isEmpty());
  }
  auto folds = [&] {
    return rawColumn(
        dbPath(), QStringLiteral("SELECT TIP_GROUP || ':' || "
                                 "coalesce(TIP_GROUP_FOLD, '?') FROM \"Group\" ORDER BY GROUP_ID"));
  };
  EXPECT_EQ(folds(), (QStringList{"Tips:tips", "Kitchen:kitchen"}));
  EXPECT_EQ(rawColumn(dbPath(), QStringLiteral("SELECT TIP_SUBJECT_FOLD FROM Tips")),
            QStringList{"été"});

  // Another tool writes names alone while the program has the file open: finds by name
  // stay right at once, and the keys are filled in at the next open.
  auto groups = control(QStringLiteral("SELECT * FROM Group ORDER BY Tip_Group"));
  rawDatabase(dbPath(), QStringLiteral(
                            "INSERT INTO \"Group\"(TIP_GROUP) VALUES ('Outside');"
                            "UPDATE \"Group\" SET TIP_GROUP = 'Garden' WHERE TIP_GROUP = 'Kitchen';"
                            "UPDATE \"Group\" SET TIP_GROUP = 'TIPS' WHERE GROUP_ID = 1;"
                            "DELETE FROM Tips; INSERT INTO Tips(GROUP_ID, TIP_SUBJECT) "
                            "VALUES (1, 'Ωmega');"));
  EXPECT_EQ(folds(), (QStringList{"TIPS:?", "Garden:?", "Outside:?"}));
  EXPECT_EQ(rawColumn(dbPath(), QStringLiteral("PRAGMA integrity_check")), QStringList{"ok"});
  auto findGroup = [&](const char *name) {
    return lookup(QStringLiteral("Group"), QStringLiteral("TIP_GROUP"), QString::fromUtf8(name));
  };
  EXPECT_EQ(findGroup("OUTSIDE"), QStringLiteral("Outside"));
  EXPECT_EQ(findGroup("garden"), QStringLiteral("Garden"));
  EXPECT_EQ(findGroup("kitchen"), QStringLiteral("<no match>"));
  EXPECT_EQ(findGroup("tips"), QStringLiteral("TIPS"));
  EXPECT_EQ(lookup(QStringLiteral("Tips"), QStringLiteral("TIP_SUBJECT"), QStringLiteral("ΩMEGA")),
            QStringLiteral("Ωmega"));

  groups->close();
  Database::open(dbPath(), OpenMode::ReadWrite);
  EXPECT_EQ(folds(), (QStringList{"TIPS:tips", "Garden:garden", "Outside:outside"}));
  EXPECT_EQ(rawColumn(dbPath(), QStringLiteral("SELECT TIP_SUBJECT_FOLD FROM Tips")),
            QStringList{"ωmega"});
}

TEST_F(DatabaseTest, TablesWithoutTheKeyColumnsAreReadAsTheyStand) {
  // A package written by another program: the names without their folded keys.
  const QString plain = file(QStringLiteral("plain.mdb"));
  rawDatabase(
      plain,
      QStringLiteral(
          "CREATE TABLE \"Group\" (\"GROUP_ID\" INTEGER PRIMARY KEY AUTOINCREMENT, \"TIP_GROUP\" "
          "TEXT, \"G_LOCAL\" YESNO DEFAULT 0, \"G_IMPORT\" YESNO DEFAULT 0, \"G_ORIGINAL\" YESNO "
          "DEFAULT 0, \"G_DATE\" DATE);"
          "CREATE TABLE \"Tips\" (\"TIPS_ID\" INTEGER PRIMARY KEY AUTOINCREMENT, \"GROUP_ID\" "
          "INTEGER, \"TIP_SUBJECT\" TEXT, \"TIP_DESCRIPTION\" TEXT, \"TIP_LOCAL\" YESNO DEFAULT 0, "
          "\"TIP_IMPORT\" YESNO DEFAULT 0, \"TIP_ORIGINAL\" YESNO DEFAULT 0, \"TIP_DATE\" DATE);"
          "INSERT INTO \"Group\" (TIP_GROUP) VALUES ('Kitchen'), ('Été'), (NULL);"
          "INSERT INTO Tips (GROUP_ID, TIP_SUBJECT) VALUES (1, 'Keep the LID on');"));
  const QByteArray before = contents(plain);

  // Read untrusted, its names are compared and ordered by their fold all the same.
  {
    auto db = Database::open(plain, OpenMode::ReadOnlyUntrusted);
    auto ids = [&](const char *source) {
      const SqlText sql = sourceSql(*db, QString::fromUtf8(source));
      sql::Statement stmt(db->handle(), sql.sql);
      stmt.bindAll(sql.params);
      QStringList out;
      while (stmt.step())
        out << QString::number(stmt.int64(0));
      return out;
    };
    EXPECT_EQ(ids("SELECT * FROM Group ORDER BY Tip_Group"), (QStringList{"3", "1", "2"}));
    EXPECT_EQ(ids("SELECT * FROM Group WHERE TIP_GROUP = 'ÉTÉ' ORDER BY GROUP_ID"),
              QStringList{"2"});
  }
  EXPECT_EQ(contents(plain), before);

  // Opened for writing, it is never given the key columns; its rows are found and
  // written as in any file.
  EXPECT_EQ(lookup(QStringLiteral("Tips"), QStringLiteral("TIP_SUBJECT"),
                   QStringLiteral("keep the lid ON"), plain),
            QStringLiteral("Keep the LID on"));
  EXPECT_EQ(contents(plain), before);
  addGroup(QStringLiteral("Garden"), plain);
  EXPECT_EQ(
      lookup(QStringLiteral("Group"), QStringLiteral("TIP_GROUP"), QStringLiteral("GARDEN"), plain),
      QStringLiteral("Garden"));
  EXPECT_EQ(rawColumn(plain, QStringLiteral("SELECT count(*) FROM pragma_table_info('Group') "
                                            "WHERE name LIKE '%FOLD'")),
            QStringList{"0"});
}

TEST_F(DatabaseTest, KeysOfAnEarlierFoldAreWrittenAnewOnceWhenOpenedForWriting) {
  // A file whose keys were folded without composition: a group typed with a combining
  // accent has a key that the same name typed precomposed does not find.
  const QString path = file(QStringLiteral("earlier.mdb"));
  createDatabase(path, DatabaseKind::TipDatabase);
  const QString decomposed = QString::fromUtf8("Cafe\xCC\x81");
  addGroup(decomposed, path);
  addGroup(QStringLiteral("Plain"), path);
  rawDatabase(path, QStringLiteral("UPDATE \"Group\" SET TIP_GROUP_FOLD = 'cafe' || char(769) "
                                   "WHERE TIP_GROUP <> 'Plain'; PRAGMA user_version = 0"));
  ASSERT_EQ(rawColumn(path, QStringLiteral("SELECT length(TIP_GROUP_FOLD) FROM \"Group\"")),
            (QStringList{"5", "5"}));

  auto db = Database::open(path, OpenMode::ReadWrite);
  EXPECT_EQ(rawColumn(path, QStringLiteral("SELECT TIP_GROUP_FOLD FROM \"Group\" ORDER BY 1")),
            (QStringList{QString::fromUtf8("caf\xC3\xA9"), "plain"}));
  EXPECT_EQ(rawColumn(path, QStringLiteral("PRAGMA user_version")), QStringList{"1"});
  EXPECT_EQ(lookup(QStringLiteral("Group"), QStringLiteral("TIP_GROUP"),
                   QString::fromUtf8("CAF\xC3\x89"), path),
            decomposed);

  // Done once: the file is not written when it is opened again.
  db.reset();
  const QByteArray refolded = contents(path);
  Database::open(path, OpenMode::ReadWrite).reset();
  EXPECT_EQ(contents(path), refolded);
}

TEST_F(DatabaseTest, AFoldKeyUpdateThatFailsIsKeptAndTheFileStaysAsItWas) {
  // Another tool's trigger refuses every change of a key, and a row it added has none.
  const QString path = file(QStringLiteral("blocked.mdb"));
  createDatabase(path, DatabaseKind::TipDatabase);
  rawDatabase(path, QStringLiteral("CREATE TRIGGER \"keys_kept\" BEFORE UPDATE OF TIP_GROUP_FOLD "
                                   "ON \"Group\" BEGIN SELECT RAISE(ABORT, 'keys are kept'); END;"
                                   "INSERT INTO \"Group\" (TIP_GROUP) VALUES ('Kitchen');"));
  const QByteArray before = contents(path);
  auto db = Database::open(path, OpenMode::ReadWrite);
  EXPECT_TRUE(db->foldKeyProblem().contains(QStringLiteral("could not be brought up to date")))
      << db->foldKeyProblem().toStdString();
  EXPECT_TRUE(db->foldKeyProblem().contains(QStringLiteral("keys are kept")));
  EXPECT_EQ(contents(path), before);
  EXPECT_EQ(rawColumn(path, QStringLiteral("SELECT TIP_GROUP FROM \"Group\"")),
            QStringList{"Kitchen"});
}

TEST_F(DatabaseTest, ATextReadInPiecesIsTheTextReadWhole) {
  auto db = Database::open(dbPath(), OpenMode::ReadWrite);
  const int group = addGroup(QStringLiteral("Pieces"));
  // Characters of two, four and three bytes (a no-break space of zero width, which at the
  // start of a text is a byte order mark) across the ends of pieces (a megabyte each), and
  // bytes of no character (a byte order mark, a sequence cut short, a stray
  // continuation byte) among them and at the very end.
  constexpr int kPiece = 1 << 20;
  const QByteArray wellFormed = QByteArray(kPiece - 1, 'a') + "\xC3\xA9" +
                                QByteArray(kPiece - 3, 'b') + "\xF0\x9F\x98\x80tail" +
                                QByteArray(kPiece - 7, 'e') +
                                "\xEF\xBB\xBF"
                                "end";
  const QByteArray broken = "\xEF\xBB\xBF"
                            "A\xE2"
                            "AB" +
                            QByteArray(kPiece - 6, 'c') +
                            "\xE2\x82"
                            "z\x80" +
                            QByteArray(kPiece, 'd') + "\xF0\x9F";
  sql::Statement insert(db->handle(), QStringLiteral("INSERT INTO Tips(TIPS_ID, GROUP_ID, "
                                                     "TIP_SUBJECT, TIP_DESCRIPTION) VALUES (?1, "
                                                     "?2, ?1, CAST(?3 AS TEXT))"));
  const QList<QVariant> values = {wellFormed, broken, QByteArray(), QVariant()};
  for (int i = 0; i < values.size(); ++i) {
    insert.bind(1, i + 1);
    insert.bind(2, group);
    insert.bind(3, values[i]);
    insert.step();
    insert.reset();
  }
  sql::Statement whole(db->handle(),
                       QStringLiteral("SELECT TIP_DESCRIPTION FROM Tips WHERE TIPS_ID = ?1"));
  for (int row = 1; row <= values.size() + 1; ++row) {
    SCOPED_TRACE(row);
    QString pieces;
    const bool read = sql::readTextPieces(db->handle(), "Tips", "TIP_DESCRIPTION", row,
                                          [&](QStringView piece) { pieces += piece; });
    whole.bind(1, row);
    const QString expected = whole.step() ? whole.text(0) : QString();
    whole.reset();
    // Text is read in pieces, an empty one too; null and a missing row are not.
    EXPECT_EQ(read, row <= 3);
    if (read) {
      qsizetype at = 0;
      while (at < pieces.size() && at < expected.size() && pieces[at] == expected[at])
        ++at;
      EXPECT_TRUE(pieces == expected) << pieces.size() << " characters instead of "
                                      << expected.size() << ", first difference at " << at;
    }
  }
}
