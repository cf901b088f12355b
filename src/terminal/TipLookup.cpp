#include "terminal/TipLookup.h"

#include "store/Sqlite.h"

namespace terminal {

namespace {

// Draws for an existing key before settling for the next key after a drawn one: with keys
// a delete left sparse, a hit is still likely, and it keeps every tip equally likely.
constexpr int kDraws = 64;

} // namespace

TipLookup::TipLookup(const QString &tipDatabasePath) : db_(tipDatabasePath, SQLITE_OPEN_READONLY) {}

std::optional<TipRecord> TipLookup::read(const char *where, qint64 key, int maxCharacters) {
  const QString description =
      maxCharacters > 0 ? QStringLiteral("substr(t.TIP_DESCRIPTION, 1, %1)").arg(maxCharacters)
                        : QStringLiteral("t.TIP_DESCRIPTION");
  store::sql::Statement s(
      db_.handle(),
      QStringLiteral("SELECT t.TIPS_ID, t.GROUP_ID, g.TIP_GROUP, t.TIP_SUBJECT, %1 FROM Tips t "
                     "LEFT JOIN \"Group\" g ON g.GROUP_ID = t.GROUP_ID WHERE %2 "
                     "ORDER BY t.TIPS_ID LIMIT 1")
          .arg(description, QLatin1String(where)));
  s.bind(1, key);
  if (!s.step())
    return std::nullopt;
  return TipRecord{qint32(s.int64(0)), qint32(s.int64(1)), s.text(2), s.text(3), s.text(4)};
}

std::optional<TipRecord> TipLookup::tip(qint32 id) { return read("t.TIPS_ID = ?1", id, 0); }

std::optional<TipRecord> TipLookup::randomTip(int maxCharacters,
                                              const std::function<quint64(quint64)> &pick) {
  qint64 lowest = 0;
  qint64 highest = 0;
  {
    // Two subqueries, each answered from one end of the key's b-tree: min() and max() in
    // one query would read every row.
    store::sql::Statement range(db_.handle(),
                                QStringLiteral("SELECT (SELECT min(TIPS_ID) FROM Tips), "
                                               "(SELECT max(TIPS_ID) FROM Tips)"));
    if (!range.step() || range.isNull(0))
      return std::nullopt;
    lowest = range.int64(0);
    highest = range.int64(1);
  }
  const quint64 span = quint64(highest - lowest) + 1;
  qint64 key = lowest;
  for (int draw = 0; draw < kDraws; ++draw) {
    key = lowest + qint64(pick(span));
    if (auto found = read("t.TIPS_ID = ?1", key, maxCharacters))
      return found;
  }
  return read("t.TIPS_ID >= ?1", key, maxCharacters);
}

} // namespace terminal
