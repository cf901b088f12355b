#include "tips/ShuffledOrder.h"

#include <bit>

namespace tips {

namespace {

// SplitMix64: spreads one seed into independent-looking words.
quint64 splitMix(quint64 &state) {
  quint64 z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

} // namespace

ShuffledOrder::ShuffledOrder(quint64 seed, qint64 size) : size_(size > 0 ? size : 0) {
  // The smallest power of two that holds every number: at most twice the size, so that a
  // number mixed beyond the size is mixed again fewer than twice on average.
  bits_ = size_ > 1 ? std::bit_width(quint64(size_ - 1)) : 1;
  mask_ = bits_ >= 64 ? ~0ULL : (1ULL << bits_) - 1;
  quint64 state = seed;
  for (std::size_t i = 0; i < multipliers_.size(); ++i) {
    multipliers_[i] = splitMix(state) | 1; // odd: multiplying is one-to-one modulo 2^bits
    offsets_[i] = splitMix(state);
  }
}

quint64 ShuffledOrder::mix(quint64 x) const {
  // Each step is one-to-one on the numbers below 2^bits: multiplying by an odd number,
  // folding the high half onto the low one, adding.
  const int shift = bits_ / 2 + 1;
  for (std::size_t i = 0; i < multipliers_.size(); ++i) {
    x = (x * multipliers_[i]) & mask_;
    x ^= x >> shift;
    x = (x + offsets_[i]) & mask_;
  }
  return x;
}

qint64 ShuffledOrder::at(qint64 place) const {
  // Walking the mixing's cycle until it lands below the size keeps it one-to-one on
  // [0, size): every number below the size lies on exactly one such walk.
  quint64 x = mix(quint64(place));
  while (x >= quint64(size_))
    x = mix(x);
  return qint64(x);
}

} // namespace tips
