#include "generator/DeliveredDatabase.h"

#include <QFile>
#include <QFileInfo>

#include <functional>

#include "store/Database.h"
#include "store/Schema.h"
#include "tips/Clock.h"
#include "tips/TipRows.h"

namespace obxdata {

QDate releaseDate() { return QDate(2026, 12, 1); }

namespace {

// Builds a new file under a temporary name beside `path` and renames it into place, so
// that an interrupted run leaves no half-written file under the final name.
void writeViaTemporary(const QString &path, const std::function<void(const QString &)> &write) {
  if (QFileInfo::exists(path))
    throw DataError(QStringLiteral("%1 exists already; it is never replaced").arg(path));
  const QString temp = path + QStringLiteral(".part");
  const auto removeTemp = [&] {
    QFile::remove(temp);
    QFile::remove(temp + QStringLiteral("-journal"));
  };
  removeTemp();
  try {
    write(temp);
  } catch (...) {
    removeTemp();
    throw;
  }
  QFile::remove(temp + QStringLiteral("-journal"));
  if (!QFile::rename(temp, path)) {
    removeTemp();
    throw DataError(QStringLiteral("cannot rename %1 to %2").arg(temp, path));
  }
}

// The rows go in through the program's own writes, with the clock set to the release day:
// a delivered row is exactly what the program would write for a delivered group or tip.
// The Settings row is the one the store gives every new tip database.
QList<int> insertCollection(const QString &path, const TipCollection &collection,
                            const QDate &date) {
  tips::Clock clock;
  clock.setToday(date);
  tips::TipRows rows(path, clock, nullptr);
  QList<int> ids;
  {
    store::Database::Transaction transaction(rows.database());
    for (const TipGroupText &group : collection.groups) {
      const qint32 groupId = rows.insertGroup(group.name, tips::Origin::Delivered);
      if (groupId <= 0)
        throw DataError(
            QStringLiteral("no key for the new group \"%1\" in %2").arg(group.name, path));
      ids << groupId;
      for (const TipText &tip : group.tips)
        rows.insertTip(groupId, tip.subject, tip.description, tips::Origin::Delivered);
    }
    transaction.commit();
  }
  // The file is renamed into place next: no connection may still hold it.
  rows.close();
  return ids;
}

} // namespace

QList<int> writeTipDatabase(const QString &path, const TipCollection &collection,
                            const QDate &date) {
  QList<int> ids;
  writeViaTemporary(path, [&](const QString &temp) {
    store::createDatabase(temp, store::DatabaseKind::TipDatabase);
    ids = insertCollection(temp, collection, date);
  });
  return ids;
}

QList<int> writeInitialDatabase(const QString &path, const QString &tipsFile) {
  return writeTipDatabase(path, readTipsFile(tipsFile));
}

void writeTemplateDatabase(const QString &path) {
  writeViaTemporary(path, [](const QString &temp) {
    store::createDatabase(temp, store::DatabaseKind::Template);
  });
}

} // namespace obxdata
