#pragma once
// The merge's lookup of subjects: which local group already holds a subject (by its key,
// case ignored), for every subject of the user's database and of the package. A million
// keys held as byte arrays in a hash cost well over a hundred megabytes; this keeps a
// 96-bit digest of each key instead (16 bytes a key, in one block).
//
// The digests are keyed with a seed drawn at random for each map, so that a package made
// to collide with the user's subjects cannot be built. By chance, a merge of a million-tip
// package into a million-tip database meets two keys of one digest about once in 10^16.

#include <QByteArrayView>
#include <cstdint>
#include <optional>
#include <vector>

namespace exchange {

class KeyDigests {
public:
  // expected: how many keys will be added; the map grows past it when needed.
  explicit KeyDigests(std::size_t expected = 0);

  // The value of the key's first insertion, if any.
  std::optional<std::int32_t> find(QByteArrayView key) const;
  // Adds the key with its value, unless the key is there already (the first one wins).
  void insert(QByteArrayView key, std::int32_t value);
  std::size_t size() const { return size_; }

private:
  struct Slot {
    std::uint64_t high = 0; // 0 marks a free slot: a digest of 0 is stored as 1
    std::uint32_t low = 0;
    std::int32_t value = 0;
  };
  struct Digest {
    std::uint64_t high;
    std::uint32_t low;
  };
  Digest digestOf(QByteArrayView key) const;
  std::size_t firstSlot(std::uint64_t high) const;
  void grow();

  std::vector<Slot> slots_;
  std::size_t size_ = 0;
  std::size_t seedHigh_, seedLow_;
};

} // namespace exchange
