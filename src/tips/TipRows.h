#pragma once
// The rows of one tip database as the rules read and write them: the groups and the tips
// of a group, lookups by name, and the row writes with their origin flags and dates.
// No files: pictures are TipBook's. Writes join the transaction that the caller holds on
// database(), or commit at once. Every tip written or deleted here is passed on to the
// listener the rows were made with (the search index beside the database).

#include <QString>
#include <QStringView>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "store/DataControl.h"
#include "tips/ListEntry.h"
#include "tips/TipChangeListener.h"

namespace store {
class Database;
}

namespace tips {

class Clock;

// Where a row comes from; a write sets the matching flag True and the other two False.
enum class Origin {
  Delivered, // came with the program (ORIGINAL)
  Local,     // created or renamed on this installation (LOCAL)
  Imported   // brought in by an import (IMPORT)
};

// Where a tip is filed, and under which subject.
struct TipHeading {
  qint32 tipId = 0;
  qint32 groupId = 0;
  QString groupName;
  QString subject;
};

class TipRows {
public:
  // The file is opened at the first read or write and kept open until close(). listener:
  // told of every tip written or deleted; may be null.
  TipRows(QString databasePath, const Clock &clock, std::unique_ptr<TipChangeListener> listener);
  ~TipRows();
  TipRows(const TipRows &) = delete;
  TipRows &operator=(const TipRows &) = delete;

  const QString &databasePath() const { return path_; }
  // The open connection, for a transaction that spans several writes.
  std::shared_ptr<store::Database> database();
  // Releases the file (before it is copied or replaced).
  void close();

  // All groups, sorted for a reader.
  std::vector<ListEntry> groups();
  // The subjects of one group, sorted for a reader.
  std::vector<ListEntry> subjects(qint32 groupId);
  // A tip's description; empty when it has none or the tip does not exist.
  QString description(qint32 tipId);
  // The same description in pieces as it is read, for one who shows it as it comes: a
  // large one is never held whole. take(piece) for each piece in order; none when it is
  // empty or the tip does not exist.
  void readDescription(qint32 tipId, const std::function<void(QStringView piece)> &take);
  // An upper bound of a description's length in characters, told without reading it
  // (its stored bytes); 0 when it cannot be told.
  qint64 descriptionLengthBound(qint32 tipId);
  // The stored name of a group; empty when it does not exist.
  QString groupName(qint32 groupId);
  // A tip's group and subject, without its description; none when the tip does not exist.
  std::optional<TipHeading> tipHeading(qint32 tipId);
  // How many tips there are, and the highest key among them (0 when there are none).
  qint64 tipCount();
  qint32 highestTipKey();
  // The key of the tip at this place (0 for the first) in a fixed order (by group key,
  // then tip key) that changes only when tips are written; none past the last.
  std::optional<qint32> tipKeyAt(qint64 place);
  // Lookups without regard to case, as stored (names hold backticks, not apostrophes).
  std::optional<qint32> findGroup(const QString &name);
  // Subjects are unique over the whole database, not within a group.
  std::optional<qint32> findSubject(const QString &subject);

  // A new group row dated today; returns its key.
  qint32 insertGroup(const QString &name, Origin origin);
  // A new tip row of the group, dated today; returns its key.
  qint32 insertTip(qint32 groupId, const QString &subject, const QString &description,
                   Origin origin);
  // A new name makes the group local and dated today.
  void renameGroup(qint32 groupId, const QString &name);
  // A new subject makes the tip local and dated today; a new description alone changes
  // nothing else.
  void changeTip(qint32 tipId, const QString &subject, const QString &description);
  // The description alone: flags and date stay as they are.
  void changeDescription(qint32 tipId, const QString &description);
  // The group row and every tip of the group.
  void deleteGroup(qint32 groupId);
  void deleteTip(qint32 tipId);

private:
  store::DataControl &control(store::DataControl &data, const QString &source);
  store::Recordset &rowOf(store::DataControl &data, const QString &table, const char *keyField,
                          qint32 key);
  std::vector<ListEntry> entries(store::DataControl &data, const char *textField,
                                 const char *keyField);
  std::optional<qint32> findFirstKey(const QString &table, const QString &criteria,
                                     const char *keyField);
  store::Recordset &adder(store::DataControl &data, const QString &table, const char *keyField);
  void tell(const std::vector<TipText> &written);

  QString path_;
  const Clock &clock_;
  store::DataControl groups_; // the Group table, in name order
  store::DataControl tips_;   // the Tips table
  store::DataControl lookup_; // one group's tips, one row by key
  std::shared_ptr<store::Database> db_;
  // Told of every tip written or deleted here.
  std::unique_ptr<TipChangeListener> listener_;
};

} // namespace tips
