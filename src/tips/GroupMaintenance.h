#pragma once
// The rules of adding, renaming and deleting groups: what the user typed is checked in the
// order the screens report it, then written with its picture. The screens show the
// messages; these classes decide which one.

#include <QString>
#include <optional>

#include "tips/TipBook.h"

namespace tips {

// The first thing wrong with what the user typed, in the order the screens check.
enum class EntryProblem {
  None,
  GroupBlank,
  SubjectBlank,
  DescriptionBlank,
  GroupExists,
  SubjectExists,
};

// A new group as typed: its name, its first subject and that subject's description.
struct GroupInput {
  QString name;
  QString subject;
  QString description;
};

// What a rename of a group amounts to.
enum class GroupEdit {
  NothingChanged, // same name (blanks aside), same picture: the screen stays
  PictureOnly,    // same name, another picture
  NameBlank,
  NameExists, // another group has the name (case ignored; the group itself counts too)
  Rename,
};

class GroupMaintenance {
public:
  explicit GroupMaintenance(TipBook &book) : book_(book) {}

  bool hasGroups();
  // The group with that key still exists.
  bool hasGroup(qint32 groupId);

  // Blank checks (group, subject, description), then the group name and the subject
  // looked up over the whole database; apostrophes become backticks and surrounding
  // blanks are removed before the lookups.
  EntryProblem checkNewGroup(const GroupInput &input);
  // Stores the checked group (names ticked and trimmed, description trimmed) with the
  // picture file, or the placeholder when picture is empty.
  TipBook::Added addGroup(const GroupInput &input, const QString &picture);

  // oldName: the name as listed; typedName: as typed. The change test is exact (letter
  // case counts, surrounding blanks do not); the lookup ignores case.
  GroupEdit planEdit(const QString &oldName, const QString &typedName, bool pictureChanged);
  // Renames the group listed as oldName (the typed name ticked, blanks kept). Returns the
  // group's key, or nothing when the group is gone.
  std::optional<qint32> renameGroup(const QString &oldName, const QString &typedName);
  // Copies the picture over the group's own, unless it already is that very file.
  void replacePicture(qint32 groupId, const QString &picture);

  // Deletes the group of that name with its tips and picture. False when no such group
  // exists (nothing is deleted then). A picture already missing counts as deleted.
  bool deleteGroupNamed(const QString &name);

private:
  TipBook &book_;
};

} // namespace tips
