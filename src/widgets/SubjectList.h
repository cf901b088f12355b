#pragma once
// The subject list of the subject screens: Combo2 with the tips of one group, sorted for a
// reader, and a read-only description box showing the chosen tip's description. Both sit
// straight on the screen's client area, below the group list.

#include <QString>
#include <optional>

class DescriptionBox;
class QComboBox;
class QWidget;

namespace tips {
class TipRows;
}

struct SubjectChoice {
  qint32 tipId = 0;
  QString subject; // as stored and listed
};

class SubjectList {
public:
  // descriptionName: the object name of the description box.
  SubjectList(QWidget *clientArea, tips::TipRows &rows, const char *descriptionName);

  QComboBox *combo() const { return Combo2; }
  DescriptionBox *descriptionBox() const { return description_; }

  // Re-reads the tips of the group into the list, nothing selected, the description box
  // emptied. False when the group has none.
  bool fill(qint32 groupId);
  int count() const;
  // As GroupList::preselect: the nearest entry when position names none.
  int preselect(int position);
  std::optional<SubjectChoice> chosen() const;
  // Reads the chosen tip's description into the box; returns it as stored (the box
  // shows CR LF as one line break).
  QString showDescription();

private:
  tips::TipRows &rows_;
  QComboBox *Combo2;
  DescriptionBox *description_;
};
