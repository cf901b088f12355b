#pragma once
// A tip database with a placeholder picture in a temporary program folder, and the rules
// over it, for the widget-free tests.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "platform/files/FileService.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "tips/Clock.h"
#include "tips/ProgramPaths.h"
#include "tips/TipBook.h"

class Book : public ::testing::Test {
protected:
  QTemporaryDir dir;
  QString root = dir.path();
  FileService files{root + "/home"};
  tips::ProgramPaths paths{root, files};
  tips::Clock clock;
  std::unique_ptr<tips::TipBook> book;
  const QDate day{2027, 3, 14};

  // listenerFor: what the book's rows tell of the tips they write, for a tip database.
  explicit Book(
      std::function<std::unique_ptr<tips::TipChangeListener>(const QString &)> listenerFor = {}) {
    QDir(root).mkpath("images");
    QFile placeholder(root + "/images/0.jpg");
    if (placeholder.open(QIODevice::WriteOnly))
      placeholder.write("placeholder");
    placeholder.close();
    store::createDatabase(paths.tipDatabase(), store::DatabaseKind::TipDatabase);
    clock.setToday(day);
    book = std::make_unique<tips::TipBook>(
        paths, files, clock, listenerFor ? listenerFor(paths.tipDatabase()) : nullptr);
  }

  QList<QStringList> rows(const QString &sql) { return book->rows().database()->rows(sql); }
  QByteArray picture(qint32 id) {
    QFile f(paths.groupPicture(id));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  qint32 addGroup(const QString &name, const QString &subject,
                  tips::Origin origin = tips::Origin::Local) {
    return book->addGroup({name, subject, "Some text", {}}, origin).groupId;
  }
};
