#pragma once
// Whether the window stored by Set User Position was maximised. The Settings row keeps
// the normal geometry in USER_H, USER_L, USER_T and USER_W, the layout other programs
// read; the maximised state lives in a small file beside the tip database
// ("ombrixtips.win"), together with the normal geometry it was stored with, so that a
// row changed since (Set Default Position, another program) never opens maximised.

#include <QString>

#include "store/Schema.h"

namespace tips {

// True when the file records a maximised window for exactly this stored geometry. A
// missing or unreadable file reads as not maximised.
bool storedMaximised(const QString &path, const store::WindowGeometry &stored);
// Records the state stored with this normal geometry; a window that is not maximised
// leaves no file. Throws FileError when the file cannot be written or removed.
void storeMaximised(const QString &path, const store::WindowGeometry &normal, bool maximised);

} // namespace tips
