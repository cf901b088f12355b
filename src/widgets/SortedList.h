#pragma once
// Fills a combo box's list with entries that the rules have sorted for a reader
// (tips::TipRows), each entry carrying its item number (a key), the way every group and
// subject list of the program works.

#include <QtGlobal>
#include <vector>

#include "tips/ListEntry.h"

class QComboBox;

using ListEntry = tips::ListEntry;

// Replaces the list with the entries in the order given; nothing is selected.
void fillSortedList(QComboBox *combo, const std::vector<ListEntry> &entries);
// The item number of an entry (0 when there is none).
qint32 itemData(const QComboBox *combo, int index);
// Selects an entry without the combo box's own signals; the caller runs the click handler.
void selectEntry(QComboBox *combo, int index);
