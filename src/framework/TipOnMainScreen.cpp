#include "framework/TipOnMainScreen.h"

#include "framework/OBXGlobals.h"
#include "tips/TipRows.h"

bool askMainScreenToShow(OBXGlobals &g, tips::TipRows &rows, qint32 groupId, qint32 tipId) {
  const int group = tips::placeOf(rows.groups(), groupId);
  const int subject = group < 0 ? -1 : tips::placeOf(rows.subjects(groupId), tipId);
  if (group < 0 || subject < 0)
    return false;
  g.gShowGroupIndex = group;
  g.gShowSubjectIndex = subject;
  g.gShowRequested = true;
  return true;
}
