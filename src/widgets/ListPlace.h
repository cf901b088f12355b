#pragma once
// Where the lists and boxes that the maintenance screens share take their place (twips),
// so that the same control stands at the same place on every screen.

#include <QString>
#include <QWidget>

#include "platform/Twips.h"

namespace listPlace {

inline constexpr int kLeft = 120;
inline constexpr int kGroupTop = 1400;
inline constexpr int kSubjectTop = 2000;
inline constexpr int kDescriptionTop = 2600;
inline constexpr int kBoxHeight = 288;
inline constexpr int kGroupWidth = 3546;
inline constexpr int kFullWidth = 7068;
inline constexpr int kDescriptionHeight = 1900;
// The group's picture, right of the group list.
inline constexpr int kImageLeft = 3840;
inline constexpr int kImageTop = 600;
inline constexpr int kImageWidth = 975;
inline constexpr int kImageHeight = 1100;

// Puts a named control straight on the client area at its designed place: the resizing
// control moves named controls relative to their parent.
template <class W>
W *placeNamed(QWidget *clientArea, W *widget, const char *name, int left, int top, int width,
              int height) {
  widget->setParent(clientArea);
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(twips::toPixels(left), twips::toPixels(top), twips::toPixels(width),
                      twips::toPixels(height));
  return widget;
}

} // namespace listPlace
