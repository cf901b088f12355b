#pragma once
// Entries of a group or subject list, and the order a reader expects of them.

#include <QString>
#include <QtGlobal>
#include <vector>

namespace tips {

// One entry of a list: the text shown and the key of its row.
struct ListEntry {
  QString text;
  qint32 id = 0;
};

// Alphabetical as a reader expects it, in the user's locale: case ignored, accented
// letters beside their base letters. Entries of equal text keep the order they came in.
void sortForReader(std::vector<ListEntry> &entries);
// The place of the entry of that key in the list; -1 when it is not there.
int placeOf(const std::vector<ListEntry> &entries, qint32 id);

} // namespace tips
