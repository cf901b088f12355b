#include "tips/SubjectMaintenance.h"

#include "store/Database.h"
#include "tips/NameRules.h"

namespace tips {

EntryProblem SubjectMaintenance::checkNewSubject(const QString &subject,
                                                 const QString &description) {
  if (isBlank(subject))
    return EntryProblem::SubjectBlank;
  if (isBlank(description))
    return EntryProblem::DescriptionBlank;
  if (book_.rows().findSubject(QuoteToTick(subject).trimmed()))
    return EntryProblem::SubjectExists;
  return EntryProblem::None;
}

bool SubjectMaintenance::addSubject(qint32 groupId, const QString &subject,
                                    const QString &description) {
  TipRows &rows = book_.rows();
  store::Database::Transaction transaction(rows.database());
  if (groupId <= 0 || rows.groupName(groupId).isNull())
    return false;
  rows.insertTip(groupId, QuoteToTick(subject).trimmed(), description.trimmed(), Origin::Local);
  transaction.commit();
  return true;
}

SubjectEdit SubjectMaintenance::planEdit(const QString &oldSubject, const QString &oldDescription,
                                         const QString &typedSubject,
                                         const QString &typedDescription) {
  const QString subject = QuoteToTick(typedSubject);
  if (isBlank(subject))
    return SubjectEdit::SubjectBlank;
  if (isBlank(typedDescription))
    return SubjectEdit::DescriptionBlank;
  if (sameOnceTrimmed(oldSubject, subject))
    return sameOnceTrimmed(oldDescription, typedDescription) ? SubjectEdit::NothingChanged
                                                             : SubjectEdit::DescriptionOnly;
  if (book_.rows().findSubject(subject.trimmed()))
    return SubjectEdit::SubjectExists;
  return SubjectEdit::SubjectChanged;
}

bool SubjectMaintenance::saveDescription(const QString &oldSubject, const QString &description) {
  TipRows &rows = book_.rows();
  const std::optional<qint32> tip = rows.findSubject(oldSubject);
  if (!tip)
    return false;
  rows.changeDescription(*tip, description);
  return true;
}

bool SubjectMaintenance::saveSubject(const QString &oldSubject, const QString &typedSubject,
                                     const QString &description) {
  TipRows &rows = book_.rows();
  const std::optional<qint32> tip = rows.findSubject(oldSubject);
  if (!tip)
    return false;
  rows.changeTip(*tip, QuoteToTick(typedSubject), description);
  return true;
}

SubjectDeletion SubjectMaintenance::deleteSubject(const QString &groupName, const QString &subject,
                                                  bool alsoGroup) {
  TipRows &rows = book_.rows();
  store::Database::Transaction transaction(rows.database());
  std::optional<qint32> group;
  if (alsoGroup) {
    group = rows.findGroup(groupName);
    if (!group)
      return SubjectDeletion::GroupGone;
  }
  const std::optional<qint32> tip = rows.findSubject(subject);
  if (!tip)
    return SubjectDeletion::TipGone;
  if (group)
    rows.deleteGroup(*group);
  rows.deleteTip(*tip);
  transaction.commit();
  return SubjectDeletion::Deleted;
}

} // namespace tips
