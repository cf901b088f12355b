#pragma once
// A tip handed back to the main screen, the way every screen hands one back (Find Tips,
// the tip of the day): by the places of its group and subject in the main screen's sorted
// lists, shown at its next activation.

#include <QtGlobal>

struct OBXGlobals;

namespace tips {
class TipRows;
}

// Asks the main screen to show the tip at its next activation; false, with nothing asked,
// when the tip or its group is gone (deleted by another program since it was listed).
bool askMainScreenToShow(OBXGlobals &g, tips::TipRows &rows, qint32 groupId, qint32 tipId);
