#pragma once
// Reading single tips for the terminal's show and random: read-only, on a connection of
// its own, so that it works while the window has the same tips open (SQLite lets readers
// and the window's writes take turns).

#include <QString>
#include <functional>
#include <optional>

#include "store/Connection.h"

namespace terminal {

struct TipRecord {
  qint32 id = 0;
  qint32 groupId = 0;
  QString group; // empty when the tip names no existing group
  QString subject;
  QString description; // whole, or its beginning (randomTip)
};

class TipLookup {
public:
  // Throws store::StoreError naming the file when it cannot be opened.
  explicit TipLookup(const QString &tipDatabasePath);

  // The tip with this key, its description whole; none when there is no such tip.
  std::optional<TipRecord> tip(qint32 id);

  // One tip chosen at random, each tip as likely as any other, with the first maxCharacters
  // characters of its description (a description may be hundreds of megabytes); none when
  // there are no tips. pick(n) answers a number below n.
  std::optional<TipRecord> randomTip(int maxCharacters,
                                     const std::function<quint64(quint64)> &pick);

private:
  std::optional<TipRecord> read(const char *where, qint64 key, int maxCharacters);
  store::sql::Connection db_;
};

} // namespace terminal
