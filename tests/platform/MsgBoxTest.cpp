// Message boxes as a desktop shows them: wide enough for their title, centred on the
// window in front, even when no window is active between two boxes.
#include "platform/MsgBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct SeenBox {
  QRect geometry;
  QWidget *parent = nullptr;
};

// Shows a box with an OK button and records where it stood and whose it was.
SeenBox showBox(const QString &title) {
  SeenBox seen;
  QTimer answer;
  answer.setInterval(10);
  QObject::connect(&answer, &QTimer::timeout, [&seen] {
    if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
      seen = {box->geometry(), box->parentWidget()};
      box->button(QMessageBox::Ok)->click();
    }
  });
  answer.start();
  EXPECT_EQ(MsgBox(QStringLiteral("Saved."), msgbox::vbExclamation, title), msgbox::vbOK);
  return seen;
}

class Boxes : public ::testing::Test {
protected:
  QWidget window;
  void SetUp() override {
    window.setGeometry(40, 30, 700, 500); // inside the 800 x 600 offscreen screen
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  void expectCentredOnWindow(const SeenBox &seen) {
    EXPECT_EQ(seen.parent, &window);
    EXPECT_LE((seen.geometry.center() - window.geometry().center()).manhattanLength(), 2);
  }
};

TEST_F(Boxes, ABoxIsWideEnoughForItsWholeTitleAndCentredOnTheActiveWindow) {
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  const QString title = QStringLiteral("Add New Subject And Description Record");
  const SeenBox seen = showBox(title);
  QFont bold = QApplication::font();
  bold.setBold(true);
  EXPECT_GE(seen.geometry.width(),
            QFontMetrics(bold).horizontalAdvance(title) + msgbox::kTitleBarExtra);
  expectCentredOnWindow(seen);
}

TEST_F(Boxes, WithNoWindowActiveABoxBelongsToTheProgramsWindowInFront) {
  QWidget other;
  msgbox::Owner outer([&other] { return &other; });
  msgbox::Owner owner([this] { return &window; });
  QApplication::setActiveWindow(nullptr);
  ASSERT_EQ(QApplication::activeWindow(), nullptr);
  expectCentredOnWindow(showBox(QStringLiteral("Add New Group Record")));
}

} // namespace
