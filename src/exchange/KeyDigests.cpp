#include "exchange/KeyDigests.h"

#include <QHashFunctions>
#include <QRandomGenerator>

namespace exchange {

namespace {

// Slots kept for each key expected: a fuller table probes longer. It grows when three
// quarters are taken.
constexpr double kSlotsPerKey = 1.5;

std::size_t slotsFor(std::size_t keys) {
  return std::max<std::size_t>(64, std::size_t(double(keys) * kSlotsPerKey));
}

} // namespace

KeyDigests::KeyDigests(std::size_t expected)
    : slots_(slotsFor(expected)), seedHigh_(std::size_t(QRandomGenerator::system()->generate64())),
      seedLow_(std::size_t(QRandomGenerator::system()->generate64())) {}

KeyDigests::Digest KeyDigests::digestOf(QByteArrayView key) const {
  static_assert(sizeof(std::size_t) == 8, "the digests need 64-bit hashes");
  Digest d{qHashBits(key.data(), std::size_t(key.size()), seedHigh_),
           std::uint32_t(qHashBits(key.data(), std::size_t(key.size()), seedLow_))};
  if (d.high == 0)
    d.high = 1;
  return d;
}

std::size_t KeyDigests::firstSlot(std::uint64_t high) const {
  // The high bits of the product spread the digest over a table of any size.
  return std::size_t((unsigned __int128)high * slots_.size() >> 64);
}

std::optional<std::int32_t> KeyDigests::find(QByteArrayView key) const {
  const Digest d = digestOf(key);
  for (std::size_t i = firstSlot(d.high);; i = i + 1 == slots_.size() ? 0 : i + 1) {
    const Slot &s = slots_[i];
    if (s.high == 0)
      return std::nullopt;
    if (s.high == d.high && s.low == d.low)
      return s.value;
  }
}

void KeyDigests::insert(QByteArrayView key, std::int32_t value) {
  if (size_ + 1 > slots_.size() * 3 / 4)
    grow();
  const Digest d = digestOf(key);
  for (std::size_t i = firstSlot(d.high);; i = i + 1 == slots_.size() ? 0 : i + 1) {
    Slot &s = slots_[i];
    if (s.high == d.high && s.low == d.low)
      return;
    if (s.high == 0) {
      s = {d.high, d.low, value};
      ++size_;
      return;
    }
  }
}

void KeyDigests::grow() {
  std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(slotsFor(2 * size_ + 1)));
  for (const Slot &s : old) {
    if (s.high == 0)
      continue;
    std::size_t i = firstSlot(s.high);
    while (slots_[i].high != 0)
      i = i + 1 == slots_.size() ? 0 : i + 1;
    slots_[i] = s;
  }
}

} // namespace exchange
