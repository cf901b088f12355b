#pragma once
// Placing a window by its outer frame (title bar and borders included), without widgets:
// the client area that gives an outer rectangle, and where a stored window must go so
// that the user can still reach its title bar.

#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>

namespace tips {

// The client rectangle inside an outer frame with these frame margins; at least 1 x 1.
QRect clientRectFor(const QRect &outer, const QMargins &frame);

// The title bar is taken to be at least this high where the frame is not known yet.
inline constexpr int kMinimumTitleBar = 16;
// How much of the title bar, each way, must lie on one screen for the user to grab it.
inline constexpr int kTitleBarGrip = 8;

// The top-left corner for a window with this outer frame. It stays where it is while at
// least kTitleBarGrip pixels of its title bar (each way) lie on the available area of one
// of the screens; otherwise it moves onto the nearest screen: wholly onto it when it
// fits, else with its top-left corner at the screen's.
QPoint reachablePlace(const QRect &outer, int titleBarHeight, const QList<QRect> &screens);

} // namespace tips
