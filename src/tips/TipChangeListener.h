#pragma once
// What TipRows tells of the tips it writes and deletes, after each write: a search index
// keeps itself current this way without the rules knowing of it. A listener must not
// throw: a save never fails because of what follows it.

#include <QString>

#include "tips/WorkProgress.h"
#include <vector>

namespace tips {

struct TipText {
  qint32 tipId = 0;
  qint32 groupId = 0;
  QString subject;
  QString description;
};

class TipChangeListener {
public:
  virtual ~TipChangeListener() = default;
  // Tips added or changed (subject, description or both).
  virtual void putTips(const std::vector<TipText> &tips) = 0;
  virtual void removeTips(const std::vector<qint32> &tipIds) = 0;
  // Tips added by one transaction under every key from firstKey to lastKey (an import):
  // read back from the tip database in bulk instead of handed over one by one, so that a
  // million of them are never all in memory. Progress counts the tips taken in.
  virtual void tipsAddedInRange(qint32 firstKey, qint32 lastKey, WorkProgress &progress) = 0;
  // Releases any file it holds (before the tip database is copied or replaced).
  virtual void close() = 0;
};

} // namespace tips
