#pragma once
// Shared fixture of the store tests: a temporary folder with a fresh tip database and
// small helpers that add rows through the store's own data controls.

#include <QDate>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "store/DataControl.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/StoreError.h"

namespace store::test {

class StoreFixture : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    dbPath_ = file("ombrixtips.mdb");
    createDatabase(dbPath_, DatabaseKind::TipDatabase);
  }

  QString file(const QString &name) const { return dir_.filePath(name); }
  const QString &dbPath() const { return dbPath_; }

  // A data control on the tip database (or the file at path), refreshed on the given
  // record source.
  std::unique_ptr<DataControl> control(const QString &source, const QString &path = QString()) {
    auto dc = std::make_unique<DataControl>();
    dc->setDatabaseName(path.isEmpty() ? dbPath_ : path);
    dc->setRecordSource(source);
    dc->refresh();
    return dc;
  }

  // The name of the first row (in key order) whose name field equals value without regard
  // to case, looked up by a record source as the rules do; "<no match>" when none.
  QString lookup(const QString &table, const QString &field, const QString &value,
                 const QString &path = QString()) {
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    auto dc = control(QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE ") + field +
                          QStringLiteral(" = '") + quoted + QStringLiteral("' ORDER BY ") +
                          findTable(table)->keyField,
                      path);
    Recordset &rs = dc->recordset();
    return rs.recordCount() < 1 ? QStringLiteral("<no match>") : rs.text(field);
  }

  // Adds a group (local, dated 2024-05-01) and returns its key.
  int addGroup(const QString &name, const QString &path = QString()) {
    auto dc = control(QStringLiteral("Group"), path);
    Recordset &rs = dc->recordset();
    rs.addNew();
    const int key = rs.field(QStringLiteral("GROUP_ID")).toInt();
    rs.setField(QStringLiteral("TIP_GROUP"), name);
    rs.setField(QStringLiteral("G_LOCAL"), true);
    rs.setField(QStringLiteral("G_IMPORT"), false);
    rs.setField(QStringLiteral("G_ORIGINAL"), false);
    rs.setField(QStringLiteral("G_DATE"), QDate(2024, 5, 1));
    rs.update();
    return key;
  }

  int addTip(int groupId, const QString &subject, const QString &description = QString(),
             const QString &path = QString()) {
    auto dc = control(QStringLiteral("Tips"), path);
    Recordset &rs = dc->recordset();
    rs.addNew();
    const int key = rs.field(QStringLiteral("TIPS_ID")).toInt();
    rs.setField(QStringLiteral("GROUP_ID"), groupId);
    rs.setField(QStringLiteral("TIP_SUBJECT"), subject);
    rs.setField(QStringLiteral("TIP_DESCRIPTION"),
                description.isNull() ? subject + QStringLiteral(" described") : description);
    rs.setField(QStringLiteral("TIP_LOCAL"), true);
    rs.setField(QStringLiteral("TIP_IMPORT"), false);
    rs.setField(QStringLiteral("TIP_ORIGINAL"), false);
    rs.setField(QStringLiteral("TIP_DATE"), QDate(2024, 5, 2));
    rs.update();
    return key;
  }

  // The values of one field over the whole record set, from the first row to the end.
  static QStringList column(Recordset &rs, const QString &field) {
    QStringList out;
    if (rs.recordCount() < 1)
      return out;
    rs.moveFirst();
    while (!rs.eof()) {
      out << rs.text(field);
      rs.moveNext();
    }
    return out;
  }

  // Runs fn and returns the StoreError's message; fails the test if none is thrown.
  template <class Fn> static QString errorOf(Fn &&fn) {
    try {
      fn();
    } catch (const StoreError &e) {
      return e.message();
    }
    ADD_FAILURE() << "no StoreError was thrown";
    return QString();
  }

  QTemporaryDir dir_;
  QString dbPath_;
};

// Runs a trusted query directly on a file with the raw C API and nothing of the program
// registered, as any other SQLite tool reads it.
inline QStringList rawColumn(const QString &path, const QString &sql) {
  QStringList out;
  sqlite3 *db = nullptr;
  if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    ADD_FAILURE() << "cannot open " << path.toStdString();
    return out;
  }
  sqlite3_stmt *stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
    ADD_FAILURE() << sqlite3_errmsg(db);
  while (stmt && sqlite3_step(stmt) == SQLITE_ROW)
    out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return out;
}

} // namespace store::test
