#include "tips/TipBook.h"

#include <QFile>

#include "platform/files/FileService.h"
#include "store/Database.h"
#include "tips/ProgramPaths.h"

namespace tips {

TipBook::TipBook(const ProgramPaths &paths, const FileService &files, const Clock &clock,
                 std::unique_ptr<TipChangeListener> listener)
    : paths_(paths), files_(files), rows_(paths.tipDatabase(), clock, std::move(listener)) {}

TipBook::Added TipBook::addGroup(const NewGroup &group, Origin origin) {
  Added added;
  store::Database::Transaction transaction(rows_.database());
  added.groupId = rows_.insertGroup(group.name, origin);
  rows_.insertTip(added.groupId, group.subject, group.description, origin);
  const QString picture = paths_.groupPicture(added.groupId);
  try {
    files_.copyFile(group.picture.isEmpty() ? paths_.placeholderPicture() : group.picture, picture);
  } catch (const FileError &e) {
    added.pictureFailure = e;
  }
  try {
    transaction.commit();
  } catch (...) {
    if (!added.pictureFailure)
      QFile::remove(picture);
    throw;
  }
  return added;
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
