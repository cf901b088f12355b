#include "tips/GroupMaintenance.h"

#include <QFileInfo>

#include "tips/NameRules.h"
#include "tips/ProgramPaths.h"

namespace tips {

bool GroupMaintenance::hasGroups() { return !book_.rows().groups().empty(); }

bool GroupMaintenance::hasGroup(qint32 groupId) {
  return !book_.rows().groupName(groupId).isEmpty();
}

EntryProblem GroupMaintenance::checkNewGroup(const GroupInput &input) {
  if (isBlank(input.name))
    return EntryProblem::GroupBlank;
  if (isBlank(input.subject))
    return EntryProblem::SubjectBlank;
  if (isBlank(input.description))
    return EntryProblem::DescriptionBlank;
  if (book_.rows().findGroup(QuoteToTick(input.name).trimmed()))
    return EntryProblem::GroupExists;
  if (book_.rows().findSubject(QuoteToTick(input.subject).trimmed()))
    return EntryProblem::SubjectExists;
  return EntryProblem::None;
}

TipBook::Added GroupMaintenance::addGroup(const GroupInput &input, const QString &picture) {
  return book_.addGroup({QuoteToTick(input.name).trimmed(), QuoteToTick(input.subject).trimmed(),
                         input.description.trimmed(), picture});
}

GroupEdit GroupMaintenance::planEdit(const QString &oldName, const QString &typedName,
                                     bool pictureChanged) {
  const QString name = QuoteToTick(typedName);
  if (sameOnceTrimmed(oldName, name))
    return pictureChanged ? GroupEdit::PictureOnly : GroupEdit::NothingChanged;
  if (isBlank(name))
    return GroupEdit::NameBlank;
  // Looked up without its surrounding blanks, so " Vim " cannot stand beside "Vim".
  if (book_.rows().findGroup(name.trimmed()))
    return GroupEdit::NameExists;
  return GroupEdit::Rename;
}

std::optional<qint32> GroupMaintenance::renameGroup(const QString &oldName,
                                                    const QString &typedName) {
  const std::optional<qint32> id = book_.rows().findGroup(oldName);
  if (id)
    book_.rows().renameGroup(*id, QuoteToTick(typedName));
  return id;
}

void GroupMaintenance::replacePicture(qint32 groupId, const QString &picture) {
  const QString own = book_.paths().groupPicture(groupId);
  if (QFileInfo(picture.trimmed()).absoluteFilePath() == QFileInfo(own).absoluteFilePath())
    return;
  book_.changeGroupPicture(groupId, picture.trimmed());
}

bool GroupMaintenance::deleteGroupNamed(const QString &name) {
  const std::optional<qint32> id = book_.rows().findGroup(name);
  if (!id)
    return false;
  book_.deleteGroup(*id);
  return true;
}

} // namespace tips
