#pragma once
// Full-text search over every tip, through an SQLite FTS5 index kept in a file of its own
// beside the tip database ("ombrixtips.idx" beside "ombrixtips.mdb"). The tip database
// keeps its tables as they are, so peers and the standard sqlite3 tool see nothing new.
//
// Matching: case and accents are ignored (FTS5's unicode61 with diacritics removed); each
// typed word matches any word it begins ("tes" finds "Testing"); every word must match,
// in any order; a phrase in double quotes matches as written. Apostrophes and the
// backticks that names hold in their place both separate words, so "don't" finds
// "don`t". Subjects that hold every word come first, then the rest; within each, rarer
// words, more hits in a shorter text and words close together first (obx_rank, a bm25-like
// score whose word rarities are counted once per search, up to 1,000 tips). With more than
// 1,000 matches, the newest 1,000 are ranked; counting stops at 10,000.
//
// Keeping it current: an index is the listener of the TipRows that write the tip database
// (indexFollowing), so it learns of every tip they write or delete (putTips, removeTips),
// which also moves the index's stamp: the tip count and the highest tip key ever handed
// out. Writes by anything else (the import merge, another tool) leave the stamp behind
// the tip database, and health() says Stale: the index is then built again. A missing or
// unreadable index is built again the same way.

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "tips/TipChangeListener.h"
#include "tips/WorkProgress.h"

struct sqlite3;

namespace search {

// The FTS5 MATCH expression for a typed search text: every word or quoted phrase becomes
// one quoted string of its letters and digits, so nothing typed is ever read as FTS5
// syntax. Empty when the text holds no letter or digit.
QString matchExpression(const QString &typed);

// The index file that belongs to a tip database: the same name, ending in ".idx".
QString indexPathBeside(const QString &tipDatabasePath);

// The tips a search lists (Find Tips, the terminal's find): the best this many.
inline constexpr int kListedTips = 200;

struct FoundTip {
  qint32 tipId = 0;
  qint32 groupId = 0;
  QString subject;
  QString groupName;
  QString excerpt; // a few words of the description around the first match
};

struct SearchResult {
  int total = 0;       // every matching tip, not only the ones listed
  bool capped = false; // more tips than total match (counting stops at 10,000)
  std::vector<FoundTip> tips;
};

class TipIndex : public tips::TipChangeListener {
public:
  TipIndex(QString indexPath, QString tipDatabasePath);
  ~TipIndex() override;
  TipIndex(const TipIndex &) = delete;
  TipIndex &operator=(const TipIndex &) = delete;

  const QString &path() const { return path_; }

  enum class Health { Current, Missing, Damaged, Stale };
  // A few quick reads of both files; never throws.
  Health health();

  // A build in steps, so that a window stays responsive over a million tips: startBuild,
  // then buildStep until it returns true. The new index is written beside the old one and
  // takes its place only when whole. Throws store::StoreError on failure. One build at a
  // time per index file, across processes: a build waits for another's to end (the lock
  // file "<index>.lock", taken over from a program that died).
  void startBuild();
  bool buildStep(int rows);
  int builtRows() const { return built_; }
  int rowsToBuild() const { return toBuild_; }
  bool building() const;
  // The whole build at once (on a worker: progress counts the tips, and a stop before the
  // last step throws tips::WorkCancelled and leaves the old index as it was). When it had
  // to wait for another program's build and the index is current after it, it builds
  // nothing.
  void rebuild(tips::WorkProgress &progress = tips::noProgress());

  // The tips matching the typed text, best first, at most limit of them. Throws
  // store::StoreError when the index cannot be read.
  SearchResult search(const QString &typed, int limit = 200);

  // Keeping the index current; each does nothing when there is no index yet, and marks the
  // index stale instead of failing (a save must never fail because of its index). Many
  // tips are written in one transaction.
  void putTips(const std::vector<tips::TipText> &written) override;
  void removeTips(const std::vector<qint32> &tipIds) override;
  // More tips than the index holds are built into a new index, as rebuild() does; fewer go
  // into the index as it stands. Either way the rows go across as the tip database holds
  // them, and the list of words is read from the index afterwards.
  void tipsAddedInRange(qint32 firstKey, qint32 lastKey, tips::WorkProgress &progress) override;

  // Releases the files.
  void close() override;

private:
  struct Stamp {
    qint64 count = 0;
    qint64 highestKey = 0;
    bool operator==(const Stamp &) const = default;
  };
  sqlite3 *index();
  sqlite3 *tipDatabase();
  Stamp tipStamp();
  void markStale();
  // One transaction on the index; a failure leaves the index marked stale, so that it is
  // built again rather than trusted (a save must never fail because of its index).
  void writeOrMarkStale(const std::function<void(sqlite3 *)> &write);
  void finishBuild();
  // Takes the build lock (waiting, with checkpoints, while another program builds); true
  // when it had to wait.
  bool lockBuild(tips::WorkProgress &progress);

  QString path_;
  QString tipPath_;
  // The open files: the index, the tip database, the new index while it is built.
  struct Connections;
  std::unique_ptr<Connections> files_;
  Stamp buildStamp_;
  qint64 buildAfter_ = 0;
  int built_ = 0;
  int toBuild_ = 0;
};

// The index beside a tip database, to be told of every tip written to it (TipRows).
std::unique_ptr<TipIndex> indexFollowing(const QString &tipDatabasePath);

} // namespace search
