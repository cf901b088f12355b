#pragma once
// Every whole number from 0 to size - 1 once, in an order drawn from a seed. The order is
// computed, never stored: the place in it gives the number, so an order over a million
// tips is remembered as its seed, its size and a place.

#include <QtGlobal>
#include <array>

namespace tips {

class ShuffledOrder {
public:
  ShuffledOrder(quint64 seed, qint64 size);

  qint64 size() const { return size_; }
  // The number at this place of the order; place in [0, size).
  qint64 at(qint64 place) const;

private:
  // A one-to-one mixing of the numbers below 2^bits_.
  quint64 mix(quint64 x) const;

  qint64 size_;
  int bits_ = 1;
  quint64 mask_ = 1;
  std::array<quint64, 4> multipliers_{};
  std::array<quint64, 4> offsets_{};
};

} // namespace tips
