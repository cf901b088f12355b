#pragma once
// What a document holds, read before it is written (its table of contents comes first):
// the groups and the subjects of each, in the order the main screen lists them, with the
// picture each group shows. Descriptions are not held: a writer reads each one in pieces
// as it writes it (tips::TipRows::readDescription).

#include <QString>
#include <vector>

#include "tips/ListEntry.h"

namespace tips {
class ProgramPaths;
class TipRows;
class WorkProgress;
} // namespace tips

namespace document {

struct DocumentGroup {
  qint32 id = 0;
  QString name;                          // as stored and listed
  QString picture;                       // the picture file shown for it; empty: none
  std::vector<tips::ListEntry> subjects; // text: the subject; id: the tip's key
};

struct DocumentContents {
  QString title;
  std::vector<DocumentGroup> groups;
  qint64 tipCount = 0;
};

// Every group, or the one named groupName (found as the maintenance screens find a name:
// blanks around it and letter case ignored, apostrophes read as the stored backticks).
// Throws DocumentError when there is no such group.
DocumentContents readContents(tips::TipRows &rows, const tips::ProgramPaths &paths,
                              const QString &groupName);

// "2 groups, 1 tip. Saved on 2027-03-14.": the line under the title.
QString summaryLine(const DocumentContents &contents);

// The anchors of the table of contents: by position, so that no name needs care ("g3",
// "g3-t12").
QString groupAnchor(int group);
QString tipAnchor(int group, int tip);

// Counts the tips written for the progress and hears a stop every 64 tips.
class TipCounter {
public:
  TipCounter(tips::WorkProgress &progress, qint64 total);
  void tipDone();

private:
  tips::WorkProgress &progress_;
  qint64 total_;
  qint64 done_ = 0;
};

} // namespace document
