// The tip of the day's order: every number once per order, every tip once per round
// across restarts (a new TipOfTheDay on the same file), tips deleted or added during a
// round, going back, and a settings file that cannot be trusted.
#include "BookFixture.h"

#include "tips/ShuffledOrder.h"
#include "tips/TipOfTheDay.h"

#include <QSet>

namespace {

TEST(ShuffledOrder, HoldsEveryNumberOnceWhateverTheSizeAndSeed) {
  for (const qint64 size : {1, 2, 3, 7, 64, 65, 1000, 65537}) {
    for (const quint64 seed : {0ULL, 1ULL, 0xDEADBEEFULL}) {
      const tips::ShuffledOrder order(seed, size);
      std::vector<bool> seen(size_t(size), false);
      for (qint64 place = 0; place < size; ++place) {
        const qint64 n = order.at(place);
        ASSERT_TRUE(n >= 0 && n < size) << size << ' ' << seed;
        ASSERT_FALSE(seen[size_t(n)]) << "repeated " << n << " in " << size;
        seen[size_t(n)] = true;
      }
    }
  }
  // Two seeds give two orders (a fixed order would show the same tips first every round).
  EXPECT_NE(tips::ShuffledOrder(1, 1000).at(0) * 1000 + tips::ShuffledOrder(1, 1000).at(1),
            tips::ShuffledOrder(2, 1000).at(0) * 1000 + tips::ShuffledOrder(2, 1000).at(1));
}

class TipOfTheDayTest : public Book {
protected:
  QString statePath() const { return paths.tipOfTheDay(); }
  std::vector<qint32> addTips(int count, const QString &prefix = "Tip") {
    const qint32 group = addGroup(prefix + " group", prefix + " 0");
    std::vector<qint32> keys;
    for (const tips::ListEntry &e : book->rows().subjects(group))
      keys.push_back(e.id);
    for (int i = 1; i < count; ++i)
      keys.push_back(book->rows().insertTip(group, prefix + ' ' + QString::number(i), "text",
                                            tips::Origin::Local));
    return keys;
  }
  // The next n tips, each through a fresh rule over the same file: the order survives
  // restarts.
  QList<qint32> nextTips(int n, bool restartEach) {
    QList<qint32> shown;
    auto day = std::make_unique<tips::TipOfTheDay>(statePath(), book->rows());
    for (int i = 0; i < n; ++i) {
      if (restartEach)
        day = std::make_unique<tips::TipOfTheDay>(statePath(), book->rows());
      const std::optional<tips::TipHeading> tip = day->next();
      if (!tip)
        break;
      shown << tip->tipId;
    }
    return shown;
  }
};

TEST_F(TipOfTheDayTest, ShowsEveryTipOncePerRoundAcrossRestarts) {
  const std::vector<qint32> keys = addTips(40);
  const QSet<qint32> all(keys.begin(), keys.end());
  const QList<qint32> first = nextTips(40, true);
  EXPECT_EQ(QSet<qint32>(first.begin(), first.end()), all);
  // The next round shows them all again, in another order.
  const QList<qint32> second = nextTips(40, false);
  EXPECT_EQ(QSet<qint32>(second.begin(), second.end()), all);
  EXPECT_NE(first, second);

  const tips::TipHeading heading = *book->rows().tipHeading(keys[3]);
  EXPECT_EQ(heading.groupName, "Tip group");
  EXPECT_EQ(heading.subject, "Tip 3");
}

TEST_F(TipOfTheDayTest, SkipsDeletedTipsAndLeavesNewOnesToTheNextRound) {
  const std::vector<qint32> keys = addTips(20);
  QList<qint32> shown = nextTips(5, false);
  // Delete five not yet shown, add three.
  QSet<qint32> deleted;
  for (qint32 k : keys)
    if (!shown.contains(k) && deleted.size() < 5) {
      book->rows().deleteTip(k);
      deleted << k;
    }
  const std::vector<qint32> added = addTips(3, "New");
  shown += nextTips(10, true);
  QSet<qint32> expected(keys.begin(), keys.end());
  expected -= deleted;
  EXPECT_EQ(QSet<qint32>(shown.begin(), shown.end()), expected);
  EXPECT_EQ(shown.size(), 15);
  // The round is over: the new tips come in the next one.
  const QList<qint32> next = nextTips(18, false);
  for (qint32 k : added)
    EXPECT_TRUE(next.contains(k));
}

TEST_F(TipOfTheDayTest, GoesBackWithinTheRoundAndRemembersTheChoice) {
  addTips(10);
  tips::TipOfTheDay day(statePath(), book->rows());
  EXPECT_TRUE(day.showAtStart());
  EXPECT_FALSE(day.hasPrevious());
  const qint32 a = day.next()->tipId;
  EXPECT_FALSE(day.previous().has_value()); // nothing before the first of the round
  const qint32 b = day.next()->tipId;
  EXPECT_TRUE(day.hasPrevious());
  EXPECT_EQ(day.previous()->tipId, a);
  EXPECT_EQ(day.next()->tipId, b);
  EXPECT_TRUE(day.setShowAtStart(false));
  EXPECT_FALSE(tips::TipOfTheDay(statePath(), book->rows()).showAtStart());
}

TEST_F(TipOfTheDayTest, FarApartKeysAndAnUntrustworthyFileStillShowEveryTip) {
  const std::vector<qint32> keys = addTips(12);
  // Keys far apart: most deleted after many more were made.
  book->rows().database()->exec("UPDATE sqlite_sequence SET seq = seq + 200 WHERE name = 'Tips'");
  book->rows().insertTip(1, "last", "", tips::Origin::Local);
  const QList<qint32> shown = nextTips(13, false);
  EXPECT_EQ(QSet<qint32>(shown.begin(), shown.end()).size(), 13);
  EXPECT_TRUE(tips::readTipOfTheDayState(statePath()).byPlace);

  // A file cut or edited by hand: a new round, and the user's choice where it can be read.
  QFile file(statePath());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[General]\nShowAtStart=false\nSeed=12\nSize=5\nPlace=99\n");
  file.close();
  const tips::TipOfTheDayState state = tips::readTipOfTheDayState(statePath());
  EXPECT_FALSE(state.showAtStart);
  EXPECT_EQ(state.size, 0);
  EXPECT_EQ(state.place, -1);
  EXPECT_EQ(nextTips(13, false).size(), 13);
  // No tips at all: nothing, and no endless search.
  for (const qint32 k : keys)
    book->rows().deleteTip(k);
  for (const tips::ListEntry &e : book->rows().subjects(1))
    book->rows().deleteTip(e.id);
  EXPECT_TRUE(nextTips(1, false).isEmpty());
}

} // namespace
