#include "widgets/SortedList.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QStandardItemModel>

void fillSortedList(QComboBox *combo, const std::vector<ListEntry> &entries) {
  // One model built whole is far quicker than thousands of single inserts.
  auto *model = new QStandardItemModel(static_cast<int>(entries.size()), 1, combo);
  for (int row = 0; row < static_cast<int>(entries.size()); ++row) {
    auto *item = new QStandardItem(entries[row].text);
    item->setData(entries[row].id, Qt::UserRole);
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
