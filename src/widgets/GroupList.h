#pragma once
// The group list of the maintenance screens: Combo1 with every group, sorted for a reader,
// and Image1 with the chosen group's picture. Both controls sit straight on the screen's
// client area at the same place on every screen that shows them.
//
// The list knows nothing of the program-wide values: the screen wires Combo1 to its own
// handler, asks chosen() and hands the choice on.

#include <QString>
#include <optional>

class ImageBox;
class QComboBox;
class QWidget;

namespace tips {
class ProgramPaths;
class TipRows;
} // namespace tips

struct GroupChoice {
  qint32 id = 0;
  QString name;    // as stored and listed
  QString picture; // the group's own picture file
};

class GroupList {
public:
  GroupList(QWidget *clientArea, tips::TipRows &rows, const tips::ProgramPaths &paths,
            const QString &comboToolTip, const QString &imageToolTip);

  QComboBox *combo() const { return Combo1; }
  ImageBox *image() const { return Image1; }

  // Re-reads the groups into the list, nothing selected. False when there is none.
  bool fill();
  // Selects the entry at position without running a handler. A position past the end
  // selects the last entry, a negative one the first: a group deleted since the position
  // was recorded still leaves a group chosen. -1 when the list is empty.
  int preselect(int position);
  // The entry selected now.
  std::optional<GroupChoice> chosen() const;
  // Shows a picture file, or the placeholder when it cannot be read.
  void showPicture(const QString &file);

private:
  tips::TipRows &rows_;
  const tips::ProgramPaths &paths_;
  QComboBox *Combo1;
  ImageBox *Image1;
};

// Selects the entry at position without running a handler; a position past the end selects
// the last entry, a negative one the first. Returns the position selected, -1 when the list
// is empty.
int preselectNearest(QComboBox *combo, int position);
