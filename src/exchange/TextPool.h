#pragma once
// Many short texts kept end to end in blocks of a megabyte, for results that list a
// million subjects: one allocation per block instead of one per text, and no block is
// ever moved (a growing single buffer would need twice its size while it moves).

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <vector>

namespace exchange {

class TextPool {
public:
  struct Ref {
    std::uint32_t block = 0;
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
  };

  Ref add(QByteArrayView text) {
    // A text that is too long for a block gets a block of its own.
    constexpr qsizetype kBlock = 1 << 20;
    if (text.isEmpty())
      return {};
    if (blocks_.empty() || blocks_.back().size() + text.size() > blocks_.back().capacity()) {
      blocks_.emplace_back();
      blocks_.back().reserve(std::max(kBlock, text.size()));
    }
    QByteArray &block = blocks_.back();
    const Ref ref{std::uint32_t(blocks_.size() - 1), std::uint32_t(block.size()),
                  std::uint32_t(text.size())};
    block.append(text);
    return ref;
  }
  QByteArrayView view(Ref ref) const {
    if (ref.size == 0)
      return {};
    return QByteArrayView(blocks_[ref.block].constData() + ref.offset, ref.size);
  }
  QString text(Ref ref) const { return QString::fromUtf8(view(ref)); }

private:
  std::vector<QByteArray> blocks_;
};

} // namespace exchange
