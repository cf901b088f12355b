// Every screen holds its resizing control; without the library the screens still work.
#include "support/TestProgram.h"

#include "framework/Screen.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(Resizing, TheMainScreenScalesItsControlsWithTheWindow) {
  TestProgram t;
  t.setUserDetails();
  t.start();
  Screen *screen = t.active();
  ASSERT_TRUE(screen->resizingControl().created());
  EXPECT_EQ(screen->resizingControl().widget()->objectName(), "Flexora1");
  QWidget *combo = t.control("Combo2");
  const int clientBefore = screen->clientArea()->width();
  const int widthBefore = combo->width();
  screen->setWidth(screen->Width() + twips::fromPixels(clientBefore));
  t.settle();
  const double ratio = double(screen->clientArea()->width()) / clientBefore;
  EXPECT_NEAR(combo->width(), widthBefore * ratio, 2.0);
}

TEST(Resizing, SecondaryScreensHoldOneToo) {
  TestProgram t;
  t.setUserDetails();
  t.start();
  t.triggerMenu("mnuUserPersonalItem");
  ASSERT_EQ(t.activeName(), "frmUserDetails");
  EXPECT_TRUE(t.active()->resizingControl().created());
}

TEST(Resizing, WithoutTheLibraryTheScreensWorkUnscaled) {
  TestProgram t;
  ASSERT_TRUE(QFile::remove(t.file("libflexora.so")));
  t.setUserDetails();
  t.start();
  ASSERT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_FALSE(t.active()->resizingControl().created());
  EXPECT_FALSE(t.active()->resizingControl().error().isEmpty());
  EXPECT_GT(t.control<QComboBox>("Combo1")->count(), 0);
  t.click("cmdNext");
  t.triggerMenu("mnuUserPersonalItem");
  EXPECT_EQ(t.activeName(), "frmUserDetails");
  t.active()->setWidth(12000);
  t.settle();
  t.click("cmdShowTips");
  EXPECT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_TRUE(t.messages().shown().empty());
}

} // namespace
