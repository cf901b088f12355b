#include "widgets/SubjectList.h"

#include "tips/TipRows.h"
#include "widgets/DescriptionBox.h"
#include "widgets/GroupList.h"
#include "widgets/ListPlace.h"
#include "widgets/SortedList.h"

#include <QComboBox>

SubjectList::SubjectList(QWidget *clientArea, tips::TipRows &rows, const char *descriptionName)
    : rows_(rows), Combo2(new QComboBox), description_(new DescriptionBox) {
  using namespace listPlace;
  placeNamed(clientArea, Combo2, "Combo2", kLeft, kSubjectTop, kFullWidth, kBoxHeight);
  Combo2->setToolTip(QStringLiteral("Current Tip Subject"));
  placeNamed(clientArea, description_, descriptionName, kLeft, kDescriptionTop, kFullWidth,
             kDescriptionHeight);
  description_->setToolTip(QStringLiteral("Current Tip Description"));
  // Step 1 only shows the tip; changes are made on the next screen.
  description_->setReadOnly(true);
}

bool SubjectList::fill(qint32 groupId) {
  const std::vector<ListEntry> subjects = rows_.subjects(groupId);
  fillSortedList(Combo2, subjects);
  description_->clear();
  return !subjects.empty();
}

int SubjectList::count() const { return Combo2->count(); }

int SubjectList::preselect(int position) { return preselectNearest(Combo2, position); }

std::optional<SubjectChoice> SubjectList::chosen() const {
  const int position = Combo2->currentIndex();
  if (position < 0)
    return std::nullopt;
  return SubjectChoice{itemData(Combo2, position), Combo2->itemText(position)};
}

QString SubjectList::showDescription() {
  const std::optional<SubjectChoice> tip = chosen();
  // Shown as it is read, and kept: one copy beside the box's own, made room for at once
  // rather than grown piece by piece (which copies a large text over and over and holds it
  // twice while it grows).
  QString stored;
  if (tip)
    stored.reserve(qsizetype(rows_.descriptionLengthBound(tip->tipId)));
  description_->setDescription([&](const TextPieces &take) {
    if (tip)
      rows_.readDescription(tip->tipId, [&](QStringView piece) {
        stored += piece;
        take(piece);
      });
  });
  return stored;
}
