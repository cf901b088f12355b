#pragma once
// A program folder of its own for the exchange tests: the user's database, the template,
// the working folders, the placeholder and a home folder that stands for drive C:. Rows
// are written with any flags and dates (nulls included), each name with its folded key.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "exchange/RowWriter.h"
#include "exchange/UnzipLink.h"
#include "platform/files/FileService.h"
#include "store/DataControl.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "tips/Clock.h"
#include "tips/ProgramPaths.h"

// Readable failures: texts as texts.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

// Flag values for the row writers.
inline const QVariant T = store::kTrue;
inline const QVariant F = store::kFalse;
inline const QVariant N; // null

struct Site {
  QTemporaryDir dir;
  QString root = dir.path() + "/program";
  QString home = dir.path() + "/home";
  FileService files{home};
  tips::ProgramPaths paths{root, files};
  tips::Clock clock;

  explicit Site(const QDate &today = QDate(2027, 5, 20)) {
    for (const char *folder : {"images", "Export", "OBXTemp"})
      QDir().mkpath(root + "/" + folder);
    QDir().mkpath(home);
    write(root + "/images/0.jpg", "placeholder");
    store::createDatabase(paths.tipDatabase(), store::DatabaseKind::TipDatabase);
    store::createDatabase(paths.templateDatabase(), store::DatabaseKind::Template);
    freshExport();
    clock.setToday(today);
  }

  // What the main menu does before an export: a fresh export database, no working files.
  void freshExport() {
    QFile::remove(root + "/Export/obxexpor.mdb");
    QFile::copy(paths.templateDatabase(), root + "/Export/obxexpor.mdb");
    emptyTemp();
  }
  void emptyTemp() {
    QDir temp(root + "/OBXTemp");
    for (const QString &name : temp.entryList(QDir::Files | QDir::Hidden))
      temp.remove(name);
  }

  std::shared_ptr<store::Database> db() {
    return store::Database::open(paths.tipDatabase(), store::OpenMode::ReadWrite);
  }
  QList<QStringList> rows(const QString &sql) { return db()->rows(sql); }

  // A group row with its picture (content: "pic:" + name, or none).
  qint32 group(const QString &name, QVariant original, QVariant local, QVariant imported,
               const QDate &date, bool withPicture = true) {
    exchange::RowWriter w(db());
    const qint32 id = w.insertGroup(name, local, imported, original, date);
    if (withPicture)
      write(paths.groupPicture(id), "pic:" + name.toUtf8());
    return id;
  }
  // Flags in the order original, local, imported.
  void tip(qint32 groupId, const QString &subject, QVariant original, QVariant local,
           QVariant imported, const QDate &date, const QVariant &description = QString("Text")) {
    exchange::RowWriter(db()).insertTip(groupId, subject, description, local, imported, original,
                                        date);
  }

  static void write(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
  }
  static QByteArray read(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }
  QStringList tempFiles() const {
    return QDir(root + "/OBXTemp").entryList(QDir::Files | QDir::Hidden, QDir::Name);
  }
  QStringList pictures() const {
    return QDir(root + "/images").entryList(QDir::Files | QDir::Hidden, QDir::Name);
  }
};

// Rows of any database file, each value as text.
inline QList<QStringList> rowsOf(const QString &path, const QString &sql) {
  return store::Database::open(path, store::OpenMode::ReadWrite)->rows(sql);
}

// The screen's side of the unpacking: scripted answers, and a record of what was shown.
struct UnzipAnswers : exchange::UnzipUser {
  std::vector<int> replies;
  QList<QStringList> asked;
  QStringList failures;
  int askReplace(const QString &text, const QString &title) override {
    asked << QStringList{text, title};
    const int reply = replies.empty() ? exchange::kReplaceNo : replies.front();
    if (!replies.empty())
      replies.erase(replies.begin());
    return reply;
  }
  void showFailure(const QString &text) override { failures << text; }
};
