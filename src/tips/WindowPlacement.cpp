#include "tips/WindowPlacement.h"

#include <algorithm>
#include <limits>

namespace tips {

QRect clientRectFor(const QRect &outer, const QMargins &frame) {
  QRect client = outer.marginsRemoved(frame);
  client.setWidth(std::max(1, client.width()));
  client.setHeight(std::max(1, client.height()));
  return client;
}

namespace {

// Distance between two rectangles along one axis: 0 when they overlap there.
long long gap(int firstStart, int firstEnd, int secondStart, int secondEnd) {
  if (firstEnd < secondStart)
    return secondStart - firstEnd;
  if (secondEnd < firstStart)
    return firstStart - secondEnd;
  return 0;
}

long long squaredDistance(const QRect &a, const QRect &b) {
  const long long dx = gap(a.left(), a.right(), b.left(), b.right());
  const long long dy = gap(a.top(), a.bottom(), b.top(), b.bottom());
  return dx * dx + dy * dy;
}

// The start that puts [start, start + length) inside [areaStart, areaStart + areaLength),
// or at areaStart when it does not fit.
int clampInto(int start, int length, int areaStart, int areaLength) {
  return std::max(areaStart, std::min(start, areaStart + areaLength - length));
}

} // namespace

QPoint reachablePlace(const QRect &outer, int titleBarHeight, const QList<QRect> &screens) {
  const QRect titleBar(outer.topLeft(),
                       QSize(outer.width(), std::max(titleBarHeight, kMinimumTitleBar)));
  const int wideGrip = std::min(kTitleBarGrip, titleBar.width());
  const int highGrip = std::min(kTitleBarGrip, titleBar.height());
  const QRect *nearest = nullptr;
  long long nearestDistance = std::numeric_limits<long long>::max();
  for (const QRect &screen : screens) {
    const QRect onScreen = titleBar.intersected(screen);
    if (onScreen.width() >= wideGrip && onScreen.height() >= highGrip)
      return outer.topLeft();
    const long long distance = squaredDistance(titleBar, screen);
    if (distance < nearestDistance) {
      nearestDistance = distance;
      nearest = &screen;
    }
  }
  if (!nearest)
    return outer.topLeft();
  return {clampInto(outer.left(), outer.width(), nearest->left(), nearest->width()),
          clampInto(outer.top(), outer.height(), nearest->top(), nearest->height())};
}

} // namespace tips
