// Placing a window by its outer frame, and keeping a stored window's title bar reachable.
#include "tips/WindowPlacement.h"
#include "platform/files/FileService.h"
#include "tips/StoredWindowState.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using tips::reachablePlace;

const QRect kScreen(0, 0, 1280, 1024);
const QRect kRightScreen(1280, 0, 1920, 1080);

TEST(WindowPlacement, TheClientAreaIsTheOuterFrameLessItsMargins) {
  EXPECT_EQ(tips::clientRectFor({100, 60, 600, 400}, {1, 20, 1, 5}), QRect(101, 80, 598, 375));
  EXPECT_EQ(tips::clientRectFor({100, 60, 600, 400}, {}), QRect(100, 60, 600, 400));
  // A frame larger than the window still leaves a client area.
  EXPECT_EQ(tips::clientRectFor({0, 0, 10, 10}, {8, 30, 8, 8}).size(), QSize(1, 1));
}

TEST(WindowPlacement, AWindowWhoseTitleBarCanBeReachedStaysWhereItIs) {
  const QList<QRect> screens{kScreen, kRightScreen};
  EXPECT_EQ(reachablePlace({3, 34, 494, 345}, 20, screens), QPoint(3, 34));
  // Partly left of and above the screen, as a window maximised elsewhere stores it.
  EXPECT_EQ(reachablePlace({-8, -5, 1296, 1040}, 20, screens), QPoint(-8, -5));
  // Astride the two screens, and wholly on the second one.
  EXPECT_EQ(reachablePlace({1000, 100, 600, 400}, 20, screens), QPoint(1000, 100));
  EXPECT_EQ(reachablePlace({2500, 900, 600, 400}, 20, screens), QPoint(2500, 900));
  // Most of the window below the screen, but a grip of the title bar is on it.
  EXPECT_EQ(reachablePlace({400, 1000, 600, 400}, 20, screens), QPoint(400, 1000));
}

TEST(WindowPlacement, ATitleBarOffEveryScreenMovesOntoTheNearestScreen) {
  const QList<QRect> screens{kScreen, kRightScreen};
  // Above the first screen: down onto it, the left edge kept.
  EXPECT_EQ(reachablePlace({100, -300, 600, 400}, 20, screens), QPoint(100, 0));
  // Only the bottom border above the screen's top: the title bar is off it.
  EXPECT_EQ(reachablePlace({100, -395, 600, 400}, 20, screens), QPoint(100, 0));
  // Right of the second screen (a screen unplugged since): wholly onto the second.
  EXPECT_EQ(reachablePlace({3400, 200, 600, 400}, 20, screens), QPoint(2600, 200));
  // Below both, nearer the first.
  EXPECT_EQ(reachablePlace({200, 3000, 600, 400}, 20, screens), QPoint(200, 624));
  // Too large for the screen: its top-left corner at the screen's.
  EXPECT_EQ(reachablePlace({5000, 50, 2667, 2400}, 20, {kScreen}), QPoint(0, 0));
  // Only a sliver of the title bar on the screen is not enough to grab it.
  EXPECT_EQ(reachablePlace({1276, 100, 600, 400}, 20, {kScreen}), QPoint(680, 100));
}

TEST(WindowPlacement, AnUnknownFrameCountsAsATitleBarOfTheSmallestHeight) {
  // 12 of the 16 pixels on the screen: reachable.
  EXPECT_EQ(reachablePlace({100, -4, 600, 400}, 0, {kScreen}), QPoint(100, -4));
  // 4 of them: moved.
  EXPECT_EQ(reachablePlace({100, -12, 600, 400}, 0, {kScreen}), QPoint(100, 0));
  // No screen at all: nothing to move onto.
  EXPECT_EQ(reachablePlace({100, -300, 600, 400}, 20, {}), QPoint(100, -300));
}

TEST(StoredWindowState, TheMaximisedStateHoldsForTheGeometryItWasStoredWith) {
  QTemporaryDir dir;
  const QString path = dir.filePath("ombrixtips.win");
  const store::WindowGeometry normal{6000, 1500, 900, 9000};
  EXPECT_FALSE(tips::storedMaximised(path, normal)); // no file yet
  tips::storeMaximised(path, normal, true);
  EXPECT_TRUE(tips::storedMaximised(path, normal));
  // The Settings row changed since (by Set Default Position or another program): the
  // state belongs to another geometry.
  EXPECT_FALSE(tips::storedMaximised(path, {6000, 1500, 900, 9015}));
  EXPECT_FALSE(tips::storedMaximised(path, store::kDefaultWindowGeometry));
  tips::storeMaximised(path, normal, false);
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_FALSE(tips::storedMaximised(path, normal));
  tips::storeMaximised(path, normal, false); // nothing to remove
}

TEST(StoredWindowState, AFileThatCannotBeWrittenIsAnError) {
  QTemporaryDir dir;
  const QString path = dir.filePath("missing-folder/ombrixtips.win");
  EXPECT_THROW(tips::storeMaximised(path, store::kDefaultWindowGeometry, true), FileError);
}

} // namespace
