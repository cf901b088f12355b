#include "tips/ListEntry.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>

namespace tips {

namespace {

const QCollator &readerCollator() {
  static const QCollator collator = [] {
    const QLocale system = QLocale::system();
    // The C locale sorts by code point, which puts "é" after "z": use English there.
    QCollator c(system.language() == QLocale::C ? QLocale(QLocale::English) : system);
    c.setCaseSensitivity(Qt::CaseInsensitive);
    c.setNumericMode(false);
    return c;
  }();
  return collator;
}

} // namespace

void sortForReader(std::vector<ListEntry> &entries) {
  const QCollator &collator = readerCollator();
  std::stable_sort(entries.begin(), entries.end(),
                   [&collator](const ListEntry &a, const ListEntry &b) {
                     return collator.compare(a.text, b.text) < 0;
                   });
}

int placeOf(const std::vector<ListEntry> &entries, qint32 id) {
  const auto found =
      std::find_if(entries.begin(), entries.end(), [id](const ListEntry &e) { return e.id == id; });
  return found == entries.end() ? -1 : int(found - entries.begin());
}

} // namespace tips
