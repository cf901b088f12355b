#pragma once
// Fills a combo box's list sorted by text without regard to case, each entry carrying its
// item number (a key), the way every group and subject list of the program works.

#include <QString>
#include <QtGlobal>
#include <vector>

class QComboBox;

struct ListEntry {
  QString text;
  qint32 itemData = 0;
};

// Replaces the list. Entries of equal text keep the order they came in.
void fillSortedList(QComboBox *combo, std::vector<ListEntry> entries);
// The item number of an entry (0 when there is none).
qint32 itemData(const QComboBox *combo, int index);
// Selects an entry without the combo box's own signals; the caller runs the click handler.
void selectEntry(QComboBox *combo, int index);
