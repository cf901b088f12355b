#pragma once
// The user's tip database with its group pictures: every write that the maintenance
// screens make, each in one transaction, the picture file handled with its row so that
// every group keeps a picture and nothing is half done.

#include <QString>
#include <optional>

#include "platform/files/FileService.h"
#include "tips/TipRows.h"

namespace tips {

class ProgramPaths;

struct NewGroup {
  QString name;    // stored as given: callers trim and replace apostrophes
  QString subject; // the group's first tip
  QString description;
  QString picture; // the picture file to copy; empty for the placeholder
};

class TipBook {
public:
  // listener: told of every tip written or deleted (TipRows); may be null.
  TipBook(const ProgramPaths &paths, const FileService &files, const Clock &clock,
          std::unique_ptr<TipChangeListener> listener);

  // Reads and row writes that need no file.
  TipRows &rows() { return rows_; }
  const ProgramPaths &paths() const { return paths_; }
  void close() { rows_.close(); }

  struct Added {
    qint32 groupId = 0;
    // Set when the rows were stored but the picture could not be copied: the user is told,
    // and the group shows the placeholder until another picture is chosen.
    std::optional<FileError> pictureFailure;
  };
  // The group, its first tip and its picture (a copy of the chosen file, or of the
  // placeholder). The rows land together or not at all; the picture is copied before
  // they land, so a group is never stored without its picture when the program stops
  // half-way.
  Added addGroup(const NewGroup &group, Origin origin = Origin::Local);
  // Replaces the group's picture with a copy of the file; the row stays as it is.
  void changeGroupPicture(qint32 groupId, const QString &picture);
  // The group, its tips, then its picture. The rows go first: a picture left behind
  // (when it cannot be deleted) does no harm, a group without a picture would.
  void deleteGroup(qint32 groupId);

private:
  const ProgramPaths &paths_;
  const FileService &files_;
  TipRows rows_;
};

} // namespace tips
