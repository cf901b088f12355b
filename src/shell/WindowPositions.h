#pragma once
// The window geometry stored in the Settings row: read once per run, stored on request,
// reset to the default.

#include "store/DataControl.h"
#include "store/Schema.h"

#include <QString>

struct OBXGlobals;

struct StoredGeometry {
  int height;
  int left;
  int top;
  int width;
};

inline constexpr StoredGeometry kDefaultGeometry{
    store::kDefaultWindowGeometry.height, store::kDefaultWindowGeometry.left,
    store::kDefaultWindowGeometry.top, store::kDefaultWindowGeometry.width};

// Reads USER_H, USER_L, USER_T, USER_W of the current Settings row into the shared
// values. A null field (a damaged row) reads as its default, so the window never opens
// with no size.
void readStoredGeometry(const store::Recordset &settings, OBXGlobals &g);
// Writes the geometry into the first Settings row. Values are stored whole, also beyond
// the 16-bit range a large screen can exceed.
void storeGeometry(store::DataControl &settings, const StoredGeometry &geometry);

// The message shown after Set User Position.
QString userPositionMessage();
inline constexpr const char *kUserPositionTitle = "Ombrix Tips Screen User Settings";
