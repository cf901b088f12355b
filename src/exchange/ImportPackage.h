#pragma once
// The import of an unpacked package: the package database "\OBXTemp\ombrixtipsie.mdb" is
// checked and counted ("To Import"), then merged into the user's database ("Start
// Importing").
//
// The package database comes from a stranger: it is opened read-only and immutable (store's
// ReadOnlyUntrusted: the database file alone is read, never a side file beside it), with or
// without the folded key columns of newer files, and checked for its tables and columns
// (not the type names they were declared with) before anything is read. A package database
// that is missing, is no database or lacks what a package holds gives a message, and no
// file is created.
//
// The merge: package groups in the order of the package's table, each matched to a local
// group by its trimmed name; a new one is added as imported, dated today, with the package
// picture copied under its new key (the placeholder when the package has none). Then the
// group's tips in table order, each matched by its trimmed subject against every local tip
// (those added by this merge included); a new one is added as imported, dated today, into
// the matched or new local group. Names and subjects are stored as the program's own entry
// screens store them: trimmed, every apostrophe a backtick. A tip of no package group is
// never looked at. The merge is one transaction: it lands whole, or the user's database
// and picture folder stay as they were.

#include <QDate>
#include <QHash>
#include <QString>
#include <memory>
#include <vector>

#include "exchange/ExchangeCounts.h"
#include "exchange/TextPool.h"
#include "tips/TipChangeListener.h"
#include "tips/WorkProgress.h"

class FileService;

namespace store {
class Database;
}

namespace tips {
class Clock;
class ProgramPaths;
} // namespace tips

namespace exchange {

enum class GroupFate {
  Added,     // a new local group
  Existing,  // a local group of that name receives the group's new tips
  BlankName, // no name once trimmed: neither the group nor its tips are imported
};

struct MergedGroup {
  QString name;         // trimmed, apostrophes as backticks, as stored
  qint64 packageId = 0; // GROUP_ID in the package
  // The local group that receives the tips (0 for BlankName). A plan numbers the groups it
  // would add -1, -2, ... in the order it meets them.
  qint32 localId = 0;
  QString localName; // Existing: the local group's name as stored
  GroupFate fate = GroupFate::Added;
  bool placeholderPicture = false; // added without a package picture: it got the placeholder
};

enum class TipFate {
  Added,
  SubjectExists,  // some local tip already has the subject (maybe in another group)
  BlankSubject,   // no subject once trimmed
  BlankGroupName, // its group's name is blank: the group is not imported, nor its tips
  NoPackageGroup, // its GROUP_ID is no package group's: the merge never looks at it
};

// One package tip, kept small: the preview of a package of a million tips holds a million.
// Its subject and the names of its groups are the result's (MergeResult::subjectOf,
// groupNameOf, holderNameOf).
struct MergedTip {
  TextPool::Ref subject;    // trimmed, apostrophes as backticks, in UTF-8 as read
  qint32 groupId = 0;       // the local group it went to, or would have gone to
  qint32 holderGroupId = 0; // SubjectExists: the local group that has the subject
  qint32 tipId = 0;         // Added by a merge: the key of the new local tip
  qint32 packageGroup = -1; // the index of its group in MergeResult::groups; -1 for none
  TipFate fate = TipFate::Added;

  bool blankSubject() const { return subject.size == 0; }
};

enum class MergeOutcome {
  Merged,
  PackageEmpty, // the package's Group or Tips table is empty: MsgDatabaseEmpty, nothing merged
  Failed,       // error says why; nothing was merged
  Cancelled,    // the user stopped it before it wrote anything for good: nothing was merged
};

struct MergeResult {
  MergeOutcome outcome = MergeOutcome::Merged;
  QString error;
  // The "New" column: what was added, dated with the package's own latest date of it.
  Tally added;
  // A merge that should have left a record for its undo and could not: why (the merge
  // itself has landed).
  QString recordProblem;
  std::vector<MergedGroup> groups; // in package order
  // In the order the merge meets them: each group's tips after it, then the tips of no
  // package group in table order.
  std::vector<MergedTip> tips;
  TextPool subjects; // the subjects of the tips
  // The names of the local groups that hold the subjects of skipped tips.
  QHash<qint32, QString> holderNames;

  // The name of the group a tip went to, or would have gone to (the local group's name
  // when the package group matched one); empty for a tip of no group or a blank-named one.
  QString groupNameOf(const MergedTip &tip) const;
  QString subjectOf(const MergedTip &tip) const { return subjects.text(tip.subject); }
  // SubjectExists: the name of the local group that has the subject.
  QString holderNameOf(const MergedTip &tip) const { return holderNames.value(tip.holderGroupId); }
};

// The second Total column after a merge: the local total plus what was added, dated with
// the later of the two dates.
Tally totalAfterMerge(const Tally &localTotal, const MergeResult &merge);

class ImportPackage {
public:
  // listener: told of the tips a merge added, once it has landed (the search index); may
  // be null.
  ImportPackage(const tips::ProgramPaths &paths, const FileService &files, const tips::Clock &clock,
                std::unique_ptr<tips::TipChangeListener> listener);
  ~ImportPackage();
  ImportPackage(const ImportPackage &) = delete;
  ImportPackage &operator=(const ImportPackage &) = delete;

  // Opens and checks the unpacked package database and counts it. Empty when it can be
  // imported; otherwise the message to show (and "Start Importing" stays disabled).
  QString open();
  bool isOpen() const { return package_ != nullptr; }
  // Every group and tip of the package, whatever its flags ("To Import"); after open().
  const Tally &content() const { return content_; }
  // The user's database by origin (Initial, Local, Imported, Total).
  OriginSummary localSummary() const;

  // What merge() would do, without writing anything: the same walk over the package and
  // the user's database, so that its sums equal the merge's. Never throws.
  MergeResult plan(tips::WorkProgress &progress = tips::noProgress());
  // Merges the package (opening it first when needed). Never throws for a failure of the
  // files or the databases: the result says what went wrong.
  // Progress counts the package's tips walked, then the tips written; a stop is heard
  // until the merge begins to commit.
  MergeResult merge(tips::WorkProgress &progress = tips::noProgress());
  // A merge after this leaves the record that lets it be taken back (ImportUndo.h), under
  // the package's file name, replacing the record of the import before.
  void keepRecordAs(const QString &packageName) { recordName_ = packageName; }
  // Releases the package database.
  void close();
  // The import is over: releases the package database and empties the working folder but
  // for the package text files, so that nothing of this package reaches the next exchange.
  // A folder that cannot be emptied now is emptied before the next unpacking.
  void finish();

private:
  // The walk of plan() and merge(): with apply, it writes what it finds.
  MergeResult walk(bool apply, tips::WorkProgress &progress);
  // The record of a merge that has landed, for its undo: its package tips added, in the
  // order they were written, with the fingerprints of their descriptions. A record that
  // cannot be written is told in the result.
  void keepRecord(MergeResult &result, const std::vector<std::pair<qint64, std::size_t>> &added,
                  const std::vector<quint64> &fingerprints, std::pair<qint32, qint32> groupKeys,
                  std::pair<qint32, qint32> tipKeys, const QDate &day);

  const tips::ProgramPaths &paths_;
  const FileService &files_;
  const tips::Clock &clock_;
  std::unique_ptr<tips::TipChangeListener> listener_;
  QString recordName_;
  std::shared_ptr<store::Database> package_;
  Tally content_;
};

} // namespace exchange
