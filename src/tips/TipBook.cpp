#include "tips/TipBook.h"

#include <QFile>

#include "platform/FileService.h"
#include "store/Database.h"
#include "tips/ProgramPaths.h"

namespace tips {

TipBook::TipBook(const ProgramPaths &paths, const FileService &files, const Clock &clock)
    : paths_(paths), files_(files), rows_(paths.tipDatabase(), clock) {}

qint32 TipBook::addGroup(const NewGroup &group, Origin origin) {
  store::Database::Transaction transaction(rows_.database());
  const qint32 groupId = rows_.insertGroup(group.name, origin);
  rows_.insertTip(groupId, group.subject, group.description, origin);
  // The picture is copied before the rows land, so a failed copy leaves no group behind.
  const QString picture = paths_.groupPicture(groupId);
  files_.copyFile(group.picture.isEmpty() ? paths_.placeholderPicture() : group.picture, picture);
  try {
    transaction.commit();
  } catch (...) {
    QFile::remove(picture);
    throw;
  }
  return groupId;
}

void TipBook::changeGroupPicture(qint32 groupId, const QString &picture) {
  files_.copyFile(picture, paths_.groupPicture(groupId));
}

void TipBook::deleteGroup(qint32 groupId) {
  rows_.deleteGroup(groupId);
  const QString picture = paths_.groupPicture(groupId);
  if (files_.fileExists(picture))
    files_.deleteFile(picture);
}

} // namespace tips
