#include "widgets/SortedList.h"

#include <QCollator>
#include <QComboBox>
#include <QLocale>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <algorithm>

namespace {

// Alphabetical order as a reader expects it: case ignored, accented letters beside their
// base letters (é with e, not after z).
const QCollator &listCollator() {
  static const QCollator collator = [] {
    const QLocale system = QLocale::system();
    QCollator c(system.language() == QLocale::C ? QLocale(QLocale::English) : system);
    c.setCaseSensitivity(Qt::CaseInsensitive);
    c.setNumericMode(false);
    return c;
  }();
  return collator;
}

} // namespace

void fillSortedList(QComboBox *combo, std::vector<ListEntry> entries) {
  const QCollator &collator = listCollator();
  std::stable_sort(entries.begin(), entries.end(),
                   [&collator](const ListEntry &a, const ListEntry &b) {
                     return collator.compare(a.text, b.text) < 0;
                   });
  // One model built whole is far quicker than thousands of single inserts.
  auto *model = new QStandardItemModel(static_cast<int>(entries.size()), 1, combo);
  for (int row = 0; row < static_cast<int>(entries.size()); ++row) {
    auto *item = new QStandardItem(entries[row].text);
    item->setData(entries[row].itemData, Qt::UserRole);
    model->setItem(row, 0, item);
  }
  QSignalBlocker blocker(combo);
  // The combo box deletes its previous model, which it owns.
  combo->setModel(model);
  combo->setCurrentIndex(-1);
}

qint32 itemData(const QComboBox *combo, int index) {
  return combo->itemData(index, Qt::UserRole).toInt();
}

void selectEntry(QComboBox *combo, int index) {
  QSignalBlocker blocker(combo);
  combo->setCurrentIndex(index);
}
