#pragma once
// The window geometry stored in the Settings row: read once per run, stored on request,
// reset to the default.

#include "store/DataControl.h"
#include "store/Schema.h"

#include <QString>

struct OBXGlobals;

// Reads USER_H, USER_L, USER_T, USER_W of the current Settings row into the shared
// values, and from the window state file whether that window was maximised. A null field
// (a damaged row) reads as its default, so the window never opens with no size.
void readStoredGeometry(const store::Recordset &settings, const QString &windowStateFile,
                        OBXGlobals &g);
// Writes the geometry (a maximised window's normal geometry) into the first Settings row
// and the maximised state into the window state file. Values are stored whole, also
// beyond the 16-bit range a large screen can exceed.
void storeGeometry(store::DataControl &settings, const store::WindowGeometry &geometry,
                   bool maximised, const QString &windowStateFile);

// The message shown after Set User Position.
QString userPositionMessage();
inline constexpr const char *kUserPositionTitle = "Ombrix Tips Screen User Settings";
