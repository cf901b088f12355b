#pragma once
// The rules of adding, editing and deleting subjects (tips). Subjects are unique over the
// whole database, not within a group; the screens find a tip again by its subject.

#include <QString>
#include <optional>

#include "tips/GroupMaintenance.h"

namespace tips {

// What an edit of a tip amounts to.
enum class SubjectEdit {
  SubjectBlank,
  DescriptionBlank,
  NothingChanged,
  DescriptionOnly,
  SubjectExists, // another tip has the subject (case ignored; the tip itself counts too)
  SubjectChanged,
};

// What a deletion of a tip did.
enum class SubjectDeletion {
  Deleted,
  GroupGone, // the group to delete with its last tip is gone: nothing deleted
  TipGone,   // the tip is gone: nothing deleted
};

class SubjectMaintenance {
public:
  explicit SubjectMaintenance(TipBook &book) : book_(book) {}

  // Blank checks (subject, description), then the subject looked up over the whole
  // database, ticked and trimmed. Only SubjectBlank, DescriptionBlank, SubjectExists or
  // None.
  EntryProblem checkNewSubject(const QString &subject, const QString &description);
  // Stores the checked tip in the group (subject ticked and trimmed, description trimmed).
  // False when the group no longer exists: a tip is never stored without its group.
  bool addSubject(qint32 groupId, const QString &subject, const QString &description);

  // oldSubject and oldDescription as shown before editing; the change tests are exact
  // (case counts, surrounding blanks do not); the lookup ignores case.
  SubjectEdit planEdit(const QString &oldSubject, const QString &oldDescription,
                       const QString &typedSubject, const QString &typedDescription);
  // Writes the description alone, or the subject (ticked, blanks kept) with the
  // description; False when the tip of oldSubject is gone.
  bool saveDescription(const QString &oldSubject, const QString &description);
  bool saveSubject(const QString &oldSubject, const QString &typedSubject,
                   const QString &description);

  // Deletes the tip of that subject and, with alsoGroup, the group of that name first,
  // in one transaction: when either is gone nothing is deleted. The group's picture
  // stays in the picture folder.
  SubjectDeletion deleteSubject(const QString &groupName, const QString &subject, bool alsoGroup);

private:
  TipBook &book_;
};

} // namespace tips
