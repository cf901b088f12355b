#include "widgets/GroupList.h"

#include "tips/ProgramPaths.h"
#include "tips/TipRows.h"
#include "widgets/ImageBox.h"
#include "widgets/ListPlace.h"
#include "widgets/SortedList.h"

#include <QComboBox>
#include <algorithm>

GroupList::GroupList(QWidget *clientArea, tips::TipRows &rows, const tips::ProgramPaths &paths,
                     const QString &comboToolTip, const QString &imageToolTip)
    : rows_(rows), paths_(paths) {
  using namespace listPlace;
  Combo1 =
      placeNamed(clientArea, new QComboBox, "Combo1", kLeft, kGroupTop, kGroupWidth, kBoxHeight);
  Combo1->setToolTip(comboToolTip);
  Image1 = placeNamed(clientArea, new ImageBox, "Image1", kImageLeft, kImageTop, kImageWidth,
                      kImageHeight);
  Image1->setToolTip(imageToolTip);
}

bool GroupList::fill() {
  const std::vector<ListEntry> groups = rows_.groups();
  fillSortedList(Combo1, groups);
  return !groups.empty();
}

int preselectNearest(QComboBox *combo, int position) {
  const int count = combo->count();
  if (count == 0)
    return -1;
  const int nearest = std::clamp(position, 0, count - 1);
  selectEntry(combo, nearest);
  return nearest;
}

int GroupList::preselect(int position) { return preselectNearest(Combo1, position); }

std::optional<GroupChoice> GroupList::chosen() const {
  const int position = Combo1->currentIndex();
  if (position < 0)
    return std::nullopt;
  const qint32 id = itemData(Combo1, position);
  return GroupChoice{id, Combo1->itemText(position), paths_.groupPicture(id)};
}

void GroupList::showPicture(const QString &file) {
  Image1->loadPictureOr(file, paths_.placeholderPicture());
}
