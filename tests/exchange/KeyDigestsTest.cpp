// The merge's subject lookup: every key found with the value it was first given, and no
// key that was never added, past the size the map was made for.
#include "exchange/KeyDigests.h"
#include "exchange/TextPool.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace {

TEST(KeyDigests, KeysKeepTheirFirstValueAndUnknownKeysAreNotFoundAsTheMapGrows) {
  exchange::KeyDigests map(10);
  for (int i = 0; i < 20000; ++i)
    map.insert(QByteArray("subject ") + QByteArray::number(i), i);
  map.insert("subject 7", -1); // a later tip of the same subject does not replace it
  map.insert("", 5);
  EXPECT_EQ(map.size(), 20001u);
  for (int i = 0; i < 20000; ++i)
    ASSERT_EQ(map.find(QByteArray("subject ") + QByteArray::number(i)), i);
  EXPECT_EQ(map.find(""), 5);
  for (int i = 20000; i < 40000; ++i)
    ASSERT_FALSE(map.find(QByteArray("subject ") + QByteArray::number(i)).has_value());
}

TEST(TextPool, TextsOfAnySizeComeBackAsAdded) {
  exchange::TextPool pool;
  const QByteArray big(3 << 20, 'x'); // longer than a block
  const auto a = pool.add("first"), empty = pool.add(""), b = pool.add(big), c = pool.add("né");
  EXPECT_EQ(pool.view(a), "first");
  EXPECT_TRUE(pool.view(empty).isEmpty());
  EXPECT_EQ(pool.view(b), big);
  EXPECT_EQ(pool.text(c), QString::fromUtf8("né"));
}

} // namespace
