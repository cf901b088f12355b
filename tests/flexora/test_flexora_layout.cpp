// The proportional layout engine, on a real screen, with the control created
// through the component service by its class name.

#include "FlexoraTestScreen.h"
#include "FlexoraTestSupport.h"

#include "platform/ResizingControl.h"
#include "platform/components/ComponentService.h"

#include <QCoreApplication>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <vector>

namespace {

// What a control reports: a widget's geometry in pixels (x, y, width, height) or a line's
// end points in twips (X1, Y1, X2, Y2).
struct Shape {
  bool line = false;
  int a = 0, b = 0, c = 0, d = 0;
  bool operator==(const Shape &o) const {
    return line == o.line && a == o.a && b == o.b && c == o.c && d == o.d;
  }
};

std::ostream &operator<<(std::ostream &os, const Shape &s) {
  return os << (s.line ? "line(" : "rect(") << s.a << ", " << s.b << ", " << s.c << ", " << s.d
            << ")";
}

// trunc(reference / (reference client / current client)), all in twips.
double scaledTwips(double referenceTwips, int referenceClientPx, int currentClientPx) {
  const double ratio = (referenceClientPx * 15.0) / (currentClientPx * 15.0);
  return std::trunc(referenceTwips / ratio);
}

int scaledPixels(int referencePx, int referenceClientPx, int currentClientPx) {
  return int(
      std::lround(scaledTwips(referencePx * 15.0, referenceClientPx, currentClientPx) / 15.0));
}

class FlexoraLayout : public ::testing::Test {
protected:
  void SetUp() override {
    screen = std::make_unique<FlexoraTestScreen>();
    screen->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(screen.get()));
    QCoreApplication::processEvents();
    ComponentService service(flexora_test::componentFolder());
    ASSERT_TRUE(control.create(service, screen->client)) << control.error().toStdString();
    control.Init();
    referenceClient = screen->client->size();
    reference = snapshot();
  }

  void TearDown() override {
    control.release();
    screen.reset();
  }

  // Every control's shape, by name: the named descendants of the client area.
  std::map<QString, Shape> snapshot() const {
    std::map<QString, Shape> shapes;
    for (QObject *o : screen->client->findChildren<QObject *>()) {
      const QString name = o->objectName();
      if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
        continue;
      if (o->property("X1").isValid() && o->property("Y2").isValid()) {
        shapes[name] = {true, o->property("X1").toInt(), o->property("Y1").toInt(),
                        o->property("X2").toInt(), o->property("Y2").toInt()};
      } else if (o->isWidgetType()) {
        const QRect g = static_cast<QWidget *>(o)->geometry();
        shapes[name] = {false, g.x(), g.y(), g.width(), g.height()};
      } else {
        shapes[name] = {false, 0, 0, 0, 0};
      }
    }
    return shapes;
  }

  // What the layout gives every control of `from` (taken at a client size `fromClient`) when
  // the client area is `to`.
  std::map<QString, Shape> expected(const std::map<QString, Shape> &from, QSize fromClient,
                                    QSize to) const {
    std::map<QString, Shape> shapes;
    for (const auto &[name, s] : from) {
      if (name == QLatin1String("Data1") || name == QLatin1String("Timer1")) {
        shapes[name] = s; // no position: left alone
      } else if (s.line) {
        shapes[name] = {true, int(scaledTwips(s.a, fromClient.width(), to.width())),
                        int(scaledTwips(s.b, fromClient.height(), to.height())),
                        int(scaledTwips(s.c, fromClient.width(), to.width())),
                        int(scaledTwips(s.d, fromClient.height(), to.height()))};
      } else {
        shapes[name] = {false, scaledPixels(s.a, fromClient.width(), to.width()),
                        scaledPixels(s.b, fromClient.height(), to.height()),
                        scaledPixels(s.c, fromClient.width(), to.width()),
                        scaledPixels(s.d, fromClient.height(), to.height())};
      }
    }
    return shapes;
  }

  // Resizes the client area and lets every resize the control asks for happen.
  void resizeClient(int width, int height) {
    screen->setClientSize(width, height);
    for (int i = 0; i < 3; ++i)
      QCoreApplication::processEvents();
  }

  std::unique_ptr<FlexoraTestScreen> screen;
  ResizingControl control;
  QSize referenceClient;
  std::map<QString, Shape> reference;
};

TEST_F(FlexoraLayout, ScreenHoldsEveryKindOfControl) {
  // The designed client area is the reference; Flexora1 is one of the controls, invisible.
  EXPECT_EQ(referenceClient, QSize(480, 360));
  ASSERT_NE(control.widget(), nullptr);
  EXPECT_EQ(control.widget()->objectName(), QStringLiteral("Flexora1"));
  EXPECT_EQ(control.widget()->parentWidget(), screen->client);
  EXPECT_FALSE(control.widget()->isVisible());
  EXPECT_EQ(reference.count(QStringLiteral("Flexora1")), 1u);
  EXPECT_EQ(reference.count(QStringLiteral("lblInFrame")), 1u);
  EXPECT_EQ(reference.count(QStringLiteral("mnuFile")), 0u); // the menu is no client control
  EXPECT_TRUE(reference.at(QStringLiteral("Line1")).line);
  EXPECT_TRUE(reference.at(QStringLiteral("Line2")).line);
}

TEST_F(FlexoraLayout, TwiceTheReferenceSizeDoublesEveryControl) {
  resizeClient(2 * referenceClient.width(), 2 * referenceClient.height());
  ASSERT_EQ(screen->client->size(), 2 * referenceClient);
  const auto now = snapshot();
  for (const auto &[name, s] : reference) {
    SCOPED_TRACE(name.toStdString());
    if (name == QLatin1String("Data1") || name == QLatin1String("Timer1"))
      continue;
    // trunc of the exact product: twice every value, in twips and so in pixels.
    EXPECT_EQ(now.at(name), (Shape{s.line, 2 * s.a, 2 * s.b, 2 * s.c, 2 * s.d}));
  }
  EXPECT_EQ(now, expected(reference, referenceClient, screen->client->size()));
  // The child of the frame is placed relative to the frame.
  EXPECT_EQ(screen->lblInFrame->parentWidget(), screen->FrameTotal);
  EXPECT_EQ(screen->lblInFrame->geometry(), QRect(20, 40, 200, 34));
  EXPECT_EQ(screen->Line1->X1(), 2002);
  EXPECT_EQ(screen->Line1->Y2(), 9002);
  EXPECT_EQ(screen->Line2->property("X2").toInt(), 13202);
}

TEST_F(FlexoraLayout, LineAtOneAndAHalfWidthAndFullHeight) {
  ASSERT_EQ(referenceClient.width() % 2, 0);
  resizeClient(referenceClient.width() * 3 / 2, referenceClient.height());
  ASSERT_EQ(screen->client->size(),
            QSize(referenceClient.width() * 3 / 2, referenceClient.height()));
  // X1 and X2 become trunc(1.5 x reference), Y1 and Y2 stay.
  EXPECT_EQ(screen->Line1->X1(), int(std::trunc(1.5 * 1001)));
  EXPECT_EQ(screen->Line1->X2(), int(std::trunc(1.5 * 7001)));
  EXPECT_EQ(screen->Line1->Y1(), 4207);
  EXPECT_EQ(screen->Line1->Y2(), 4501);
  EXPECT_EQ(screen->Line2->property("X1").toInt(), 900);
  EXPECT_EQ(screen->Line2->property("X2").toInt(), int(std::trunc(1.5 * 6601)));
  EXPECT_EQ(screen->Line2->property("Y1").toInt(), 5000);
  EXPECT_EQ(screen->Line2->property("Y2").toInt(), 5001);
  EXPECT_EQ(snapshot(), expected(reference, referenceClient, screen->client->size()));
}

TEST_F(FlexoraLayout, ShrinkingToHalfTheHeightSetsTheMinimumOuterHeight) {
  const double half = referenceClient.height() * 15.0 / 2.0;
  for (int height : {referenceClient.height() / 2, referenceClient.height() / 3}) {
    SCOPED_TRACE(height);
    resizeClient(referenceClient.width(), height);
    // Outer height := half the reference client height + 400 twips.
    EXPECT_EQ(screen->frameGeometry().height(), int(std::lround((half + 400.0) / 15.0)));
    // The controls are laid out for the resulting client height.
    EXPECT_GT(screen->client->height(), referenceClient.height() / 3);
    EXPECT_EQ(snapshot(), expected(reference, referenceClient, screen->client->size()));
    resizeClient(referenceClient.width(), referenceClient.height());
    EXPECT_EQ(snapshot(), reference);
  }
}

TEST_F(FlexoraLayout, ShrinkingAboveHalfTheHeightKeepsTheSize) {
  const int height = referenceClient.height() / 2 + 1;
  resizeClient(referenceClient.width(), height);
  EXPECT_EQ(screen->client->height(), height);
  EXPECT_EQ(snapshot(), expected(reference, referenceClient, screen->client->size()));
}

TEST_F(FlexoraLayout, NarrowingToHalfTheWidthKeepsHalfTheReferenceWidth) {
  resizeClient(referenceClient.width() / 4, referenceClient.height());
  EXPECT_EQ(screen->client->width(), referenceClient.width() / 2);
  EXPECT_EQ(snapshot(), expected(reference, referenceClient, screen->client->size()));
}

TEST_F(FlexoraLayout, MinimisedHostLeavesEveryControlUnchanged) {
  screen->showMinimized();
  QCoreApplication::processEvents();
  ASSERT_TRUE(screen->isMinimized());
  resizeClient(2 * referenceClient.width(), 2 * referenceClient.height());
  EXPECT_EQ(snapshot(), reference);
  // The outer height is not changed either (the change is refused and skipped).
  const int outer = screen->height();
  resizeClient(referenceClient.width(), referenceClient.height() / 4);
  EXPECT_EQ(screen->height(), outer - referenceClient.height() * 2 + referenceClient.height() / 4);
  EXPECT_EQ(snapshot(), reference);
}

TEST_F(FlexoraLayout, ControlsWithoutGeometryAreSkippedSilently) {
  resizeClient(2 * referenceClient.width(), referenceClient.height() * 3 / 2);
  // Named objects without a position: untouched, nothing added to them.
  EXPECT_TRUE(screen->Data1->dynamicPropertyNames().isEmpty());
  EXPECT_EQ(screen->Timer1->property("X1").toInt(), 1000);
  EXPECT_EQ(screen->Timer1->dynamicPropertyNames().size(), 1);
  // An unnamed widget is no control.
  EXPECT_EQ(screen->unnamed->geometry(), QRect(10, 10, 5, 5));
  // Everything else is laid out.
  EXPECT_EQ(snapshot(), expected(reference, referenceClient, screen->client->size()));
}

TEST_F(FlexoraLayout, SecondInitMakesTheCurrentGeometryTheReference) {
  resizeClient(referenceClient.width() * 3 / 2, referenceClient.height() * 5 / 4);
  const QSize current = screen->client->size();
  const auto now = snapshot();
  ASSERT_NE(now, reference);
  control.Init();
  resizeClient(2 * current.width(), 2 * current.height());
  const auto doubled = snapshot();
  for (const auto &[name, s] : now) {
    SCOPED_TRACE(name.toStdString());
    if (name == QLatin1String("Data1") || name == QLatin1String("Timer1"))
      continue;
    EXPECT_EQ(doubled.at(name), (Shape{s.line, 2 * s.a, 2 * s.b, 2 * s.c, 2 * s.d}));
  }
  resizeClient(current.width(), current.height());
  EXPECT_EQ(snapshot(), now);
}

TEST_F(FlexoraLayout, RoundingDoesNotAccumulate) {
  for (int i = 0; i < 25; ++i)
    resizeClient(referenceClient.width() + 7 * i + 3, referenceClient.height() + 5 * i + 1);
  resizeClient(referenceClient.width(), referenceClient.height());
  EXPECT_EQ(snapshot(), reference);
}

TEST_F(FlexoraLayout, AssignmentsAreMadeOneByOneTopLeftHeightWidth) {
  struct Recorder : QObject {
    std::vector<std::string> events;
    bool eventFilter(QObject *, QEvent *e) override {
      if (e->type() == QEvent::Move) {
        auto *m = static_cast<QMoveEvent *>(e);
        events.push_back(m->pos().y() != m->oldPos().y() ? "top" : "left");
      } else if (e->type() == QEvent::Resize) {
        auto *r = static_cast<QResizeEvent *>(e);
        events.push_back(r->size().height() != r->oldSize().height() ? "height" : "width");
      }
      return false;
    }
  } recorder;
  screen->cmdOK->installEventFilter(&recorder);
  resizeClient(2 * referenceClient.width(), 2 * referenceClient.height());
  screen->cmdOK->removeEventFilter(&recorder);
  EXPECT_EQ(recorder.events, (std::vector<std::string>{"top", "left", "height", "width"}));
}

TEST_F(FlexoraLayout, DrawingIsSuspendedOnlyDuringThePass) {
  struct Watch : QObject {
    QWidget *window = nullptr;
    std::vector<bool> updates;
    bool eventFilter(QObject *, QEvent *e) override {
      if (e->type() == QEvent::Move || e->type() == QEvent::Resize)
        updates.push_back(window->updatesEnabled());
      return false;
    }
  } watch;
  watch.window = screen.get();
  screen->txtName->installEventFilter(&watch);
  resizeClient(2 * referenceClient.width(), 2 * referenceClient.height());
  screen->txtName->removeEventFilter(&watch);
  ASSERT_FALSE(watch.updates.empty());
  for (bool enabled : watch.updates)
    EXPECT_FALSE(enabled);
  EXPECT_TRUE(screen->updatesEnabled());
  // A host that had drawing switched off keeps it off.
  screen->setUpdatesEnabled(false);
  resizeClient(referenceClient.width(), referenceClient.height());
  EXPECT_FALSE(screen->updatesEnabled());
  screen->setUpdatesEnabled(true);
}

TEST_F(FlexoraLayout, ReleasedControlNoLongerLaysOut) {
  control.release();
  EXPECT_FALSE(control.created());
  EXPECT_EQ(screen->client->findChild<QWidget *>(QStringLiteral("Flexora1")), nullptr);
  resizeClient(2 * referenceClient.width(), 2 * referenceClient.height());
  auto now = snapshot();
  auto before = reference;
  before.erase(QStringLiteral("Flexora1"));
  EXPECT_EQ(now, before);
  control.Init(); // a no-op when not created
}

TEST_F(FlexoraLayout, ClientAreaDestroyedBeforeRelease) {
  QPointer<QWidget> widget = control.widget();
  delete screen->client; // takes the control's widget with it
  EXPECT_TRUE(widget.isNull());
  EXPECT_EQ(control.widget(), nullptr);
  control.Init(); // harmless
  control.release();
}

} // namespace

namespace {

// As the program's screens do it: the control is created and initialised while the screen
// loads, before the window is shown; showing it with the designed client size moves nothing.
TEST(FlexoraHost, InitBeforeShowAsTheScreensDo) {
  FlexoraTestScreen screen;
  ComponentService service(flexora_test::componentFolder());
  ResizingControl control;
  ASSERT_TRUE(control.create(service, screen.client)) << control.error().toStdString();
  control.Init();
  const QRect cmdOK = screen.cmdOK->geometry();
  const QRect frame = screen.FrameTotal->geometry();
  screen.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
  QCoreApplication::processEvents();
  ASSERT_EQ(screen.client->size(), QSize(480, 360));
  EXPECT_EQ(screen.cmdOK->geometry(), cmdOK);
  EXPECT_EQ(screen.FrameTotal->geometry(), frame);
  EXPECT_FALSE(control.widget()->isVisible());
  screen.setClientSize(960, 720);
  QCoreApplication::processEvents();
  EXPECT_EQ(screen.cmdOK->geometry(), QRect(2 * cmdOK.topLeft(), 2 * cmdOK.size()));
  control.release();
}

// A host whose client area is the window itself (no menu, no layout).
TEST(FlexoraHost, ClientAreaIsTheWindow) {
  QWidget window;
  window.setObjectName(QStringLiteral("frmPlain"));
  window.resize(400, 300);
  auto *button = FlexoraTestScreen::place(new QPushButton(QStringLiteral("OK")), &window, "cmdOK",
                                          1500, 1200, 1500, 450);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ComponentService service(flexora_test::componentFolder());
  ResizingControl control;
  ASSERT_TRUE(control.create(service, &window)) << control.error().toStdString();
  control.Init();
  window.resize(800, 600);
  QCoreApplication::processEvents();
  EXPECT_EQ(button->geometry(), QRect(200, 160, 200, 60));
  // Below half the reference height: outer height := 2250 + 400 twips.
  window.resize(800, 100);
  for (int i = 0; i < 3; ++i)
    QCoreApplication::processEvents();
  EXPECT_EQ(window.frameGeometry().height(), int(std::lround(2650 / 15.0)));
  const double ratio = 4500.0 / (window.height() * 15.0);
  EXPECT_EQ(button->y(), int(std::lround(std::trunc(1200 / ratio) / 15.0)));
  EXPECT_EQ(button->x(), 200);
  control.release();
}

} // namespace
