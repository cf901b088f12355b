#include "framework/Screen.h"

#include "widgets/JobProgressPanel.h"

#include "framework/ErrorReport.h"
#include "framework/HelpLinks.h"
#include "framework/Program.h"
#include "framework/Screens.h"
#include "platform/Twips.h"
#include "tips/WindowPlacement.h"
#include "widgets/AccessKeys.h"
#include "widgets/AccessibleNames.h"
#include "widgets/DescriptionBox.h"
#include "widgets/ImageBox.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

namespace {

// How often, and how long, a shown window looks for the frame the window manager gives it.
// Without a window manager no frame comes, and the window keeps the place it was given.
constexpr int kFramePollMilliseconds = 20;
constexpr int kFramePolls = 100;

} // namespace

Screen::Screen(Program &program, const QString &name, int clientWidth, int clientHeight,
               bool holdsResizingControl)
    : program_(program), name_(name), client_(new QWidget(this)),
      holdsResizingControl_(holdsResizingControl) {
  setObjectName(name);
  setAttribute(Qt::WA_DeleteOnClose, false);
  client_->setObjectName(QStringLiteral("qt_client_area"));
  setCentralWidget(client_);
  // The designed client area; the resizing control takes it as its reference.
  const int w = twips::toPixels(clientWidth);
  const int h = twips::toPixels(clientHeight);
  client_->resize(w, h);
  resize(w, h);
  // F1 anywhere in the window, whichever control has the focus.
  auto *helpKey = new QAction(this);
  helpKey->setObjectName(QStringLiteral("helpKey"));
  helpKey->setShortcut(QKeySequence(Qt::Key_F1));
  addAction(helpKey);
  connect(helpKey, &QAction::triggered, this, [this] { runHandler([this] { showHelp(); }); });
  framePoll_.setInterval(kFramePollMilliseconds);
  connect(&framePoll_, &QTimer::timeout, this, [this] {
    checkFrame();
    if (placing_ && ++framePolls_ >= kFramePolls) {
      // No frame came: there is no window manager, and the place given is the place.
      framePoll_.stop();
      placing_ = false;
    }
  });
}

Screen::~Screen() = default;

OBXGlobals &Screen::g() const { return program_.g; }

void Screen::createResizingControl() {
  if (holdsResizingControl_ && !Flexora1.created()) {
    // The menu bar takes its height now, so the client area keeps its designed size.
    if (QMenuBar *bar = qobject_cast<QMenuBar *>(menuWidget()))
      resize(width(), client_->height() + bar->sizeHint().height());
    Flexora1.create(program_.components(), client_);
  }
}

void Screen::finishControls() {
  accessKeys::addAccessKeys(qobject_cast<QMenuBar *>(menuWidget()));
  nameControlsForAccessibility(client_);
}

void Screen::showHelp() { program_.help().HelpContents(); }

void Screen::keyPressEvent(QKeyEvent *event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  // A button that is its screen's default or auto-default takes Enter itself; any other
  // lets it through to here.
  auto *button = qobject_cast<QPushButton *>(focusWidget());
  if (enter && modifiers == Qt::NoModifier && button && button->isEnabled() &&
      button->isVisible()) {
    event->accept();
    button->click();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

int Screen::readTwips(const TwipShadow &shadow, int pixels) const {
  return shadow.pixels == pixels ? shadow.twips : twips::fromPixels(pixels);
}

QMargins Screen::reportedFrameMargins() const {
  // What a window reports before it is shown on the screen is not its frame (on X11 it
  // can even be negative).
  const QWindow *window = windowHandle();
  if (!window || !testAttribute(Qt::WA_WState_Created) || !isVisible() || !window->isExposed())
    return {};
  const QMargins margins = window->frameMargins();
  const bool sound =
      margins.left() >= 0 && margins.top() >= 0 && margins.right() >= 0 && margins.bottom() >= 0;
  return sound ? margins : QMargins();
}

QRect Screen::outerGeometry() const {
  if (maximised() || isFullScreen())
    return geometry().marginsAdded(reportedFrameMargins());
  if (placing_)
    return normalOuter_;
  // Once seen, the normal frame's margins are the ones the window was placed with; just
  // after a restore the window manager may still report the maximised frame's.
  return geometry().marginsAdded(guessed_ ? reportedFrameMargins() : usedMargins_);
}

QRect Screen::normalOuter() const {
  return maximised() || isFullScreen() || placing_ ? normalOuter_ : outerGeometry();
}

int Screen::Height() const { return readTwips(height_, outerGeometry().height()); }
int Screen::Left() const { return readTwips(left_, outerGeometry().x()); }
int Screen::Top() const { return readTwips(top_, outerGeometry().y()); }
int Screen::Width() const { return readTwips(width_, outerGeometry().width()); }

void Screen::setHeight(int value) {
  QRect outer = normalOuter();
  outer.setHeight(std::max(1, twips::toPixels(value)));
  placeOuter(outer);
  height_ = {value, outer.height()};
}

void Screen::setLeft(int value) {
  QRect outer = normalOuter();
  outer.moveLeft(twips::toPixels(value));
  placeOuter(outer);
  left_ = {value, outer.x()};
}

void Screen::setTop(int value) {
  QRect outer = normalOuter();
  outer.moveTop(twips::toPixels(value));
  placeOuter(outer);
  top_ = {value, outer.y()};
}

void Screen::setWidth(int value) {
  QRect outer = normalOuter();
  outer.setWidth(std::max(1, twips::toPixels(value)));
  placeOuter(outer);
  width_ = {value, outer.width()};
}

void Screen::placeOuter(const QRect &outer) {
  if (maximised())
    setMaximised(false);
  const QMargins reported = reportedFrameMargins();
  const bool framed = !reported.isNull();
  usedMargins_ = framed ? reported : program_.screens().frameMarginsGuess();
  const QRect client = tips::clientRectFor(outer, usedMargins_);
  if (!framed && usedMargins_.isNull() && !testAttribute(Qt::WA_WState_Created)) {
    // Nothing is known of the frame: a window not made yet is placed by its frame's corner
    // (Qt asks the window manager for that), and its size follows once the frame is seen.
    resize(client.size());
    move(outer.topLeft());
  } else {
    setGeometry(client);
  }
  normalOuter_ = outer;
  guessed_ = !framed;
  placing_ = guessed_;
  if (placing_ && isVisible() && !framePoll_.isActive()) {
    framePolls_ = 0;
    framePoll_.start();
  }
}

void Screen::checkFrame() {
  if (!guessed_ || !isVisible())
    return;
  const QMargins reported = reportedFrameMargins();
  if (reported.isNull())
    return;
  framePoll_.stop();
  placing_ = false;
  // A maximised frame has margins of its own: the normal one is checked once the user
  // restores the window. Just after that, the window manager may still report the
  // maximised frame's margins; they are not taken for the normal frame's. (Where both
  // are the same and differ from the guess, the window keeps the place the window
  // manager restores it to.)
  if (maximised() || isFullScreen()) {
    maximisedMargins_ = reported;
    return;
  }
  if (reported == maximisedMargins_ && reported != usedMargins_)
    return;
  program_.screens().rememberFrameMargins(reported);
  guessed_ = false;
  if (reported != usedMargins_) {
    usedMargins_ = reported;
    setGeometry(tips::clientRectFor(normalOuter_, reported));
  }
}

bool Screen::maximised() const { return windowState() & Qt::WindowMaximized; }

void Screen::setMaximised(bool maximised) {
  const bool restoring = !maximised && this->maximised();
  setWindowState(maximised ? windowState() | Qt::WindowMaximized
                           : windowState() & ~Qt::WindowMaximized);
  // Restored by the program, not by the window manager: back to the normal geometry,
  // by the normal frame's margins (the ones reported now may still be the maximised
  // frame's).
  if (restoring && isVisible() && !guessed_)
    setGeometry(tips::clientRectFor(normalOuter_, usedMargins_));
}

int Screen::ScaleHeight() const { return twips::fromPixels(client_->height()); }
int Screen::ScaleWidth() const { return twips::fromPixels(client_->width()); }

void Screen::ThisFormSize() {
  OBXGlobals &globals = g();
  const QRect normal = normalOuter();
  globals.gFrmHeight = readTwips(height_, normal.height());
  globals.gFrmLeft = readTwips(left_, normal.x());
  globals.gFrmTop = readTwips(top_, normal.y());
  globals.gFrmWidth = readTwips(width_, normal.width());
  globals.gFrmMaximised = maximised();
}

void Screen::applySharedGeometry() {
  const OBXGlobals &globals = g();
  setHeight(globals.gFrmHeight);
  setLeft(globals.gFrmLeft);
  setTop(globals.gFrmTop);
  setWidth(globals.gFrmWidth);
  if (globals.gFrmMaximised)
    setMaximised(true);
}

void Screen::prepareToBePlaced() {
  // A window moved before it is made asks the window manager to put its frame's corner
  // where it is placed (on X11, north-west gravity); its size follows once the frame is
  // seen. Once a frame is known, windows are placed by their client area instead, sized
  // and placed by that frame's margins from the start.
  if (!testAttribute(Qt::WA_WState_Created) && program_.screens().frameMarginsGuess().isNull())
    move(pos());
}

void Screen::keepSharedGeometryReachable() {
  OBXGlobals &globals = g();
  const QRect outer(twips::toPixels(globals.gFrmLeft), twips::toPixels(globals.gFrmTop),
                    twips::toPixels(globals.gFrmWidth), twips::toPixels(globals.gFrmHeight));
  QList<QRect> areas;
  for (const QScreen *screen : QGuiApplication::screens())
    areas << screen->availableGeometry();
  const QPoint place =
      tips::reachablePlace(outer, program_.screens().frameMarginsGuess().top(), areas);
  if (place.x() != outer.x())
    globals.gFrmLeft = twips::fromPixels(place.x());
  if (place.y() != outer.y())
    globals.gFrmTop = twips::fromPixels(place.y());
}

void Screen::showEvent(QShowEvent *event) {
  QMainWindow::showEvent(event);
  if (placing_ && !framePoll_.isActive()) {
    framePolls_ = 0;
    framePoll_.start();
  }
  checkFrame();
}

void Screen::moveEvent(QMoveEvent *event) {
  QMainWindow::moveEvent(event);
  checkFrame();
}

void Screen::resizeEvent(QResizeEvent *event) {
  QMainWindow::resizeEvent(event);
  checkFrame();
}

void Screen::changeEvent(QEvent *event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) {
    // The normal geometry, as the user left it, is kept while the window is maximised.
    // The window manager resizes the window only after it has changed the state, but it
    // may already report the maximised frame's margins: the normal frame's are the ones
    // the window was placed with.
    const auto oldState = static_cast<QWindowStateChangeEvent *>(event)->oldState();
    const Qt::WindowStates large = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (!(oldState & large) && (windowState() & large) && !placing_ && isVisible())
      normalOuter_ = geometry().marginsAdded(guessed_ ? reportedFrameMargins() : usedMargins_);
  }
  // Not on a change of window state: the margins read then are still the old state's.
  if (event->type() == QEvent::ActivationChange)
    checkFrame();
}

void Screen::setTwipGeometry(QWidget *widget, int left, int top, int width, int height) {
  widget->setGeometry(twips::toPixels(left), twips::toPixels(top), twips::toPixels(width),
                      twips::toPixels(height));
}

void Screen::setupControl(QWidget *widget, const char *name, int left, int top, int width,
                          int height) {
  widget->setObjectName(QString::fromLatin1(name));
  setTwipGeometry(widget, left, top, width, height);
}

void Screen::runHandler(const std::function<void()> &handler) {
  // The title is read as the handler fails: a handler may change it on its way.
  runReportingErrors(g().gMsgTitle, handler);
}

void Screen::wireClick(QAbstractButton *button, std::function<void()> handler) {
  connect(button, &QAbstractButton::clicked, this,
          [this, handler = std::move(handler)] { runHandler(handler); });
}

void Screen::wireClick(QAction *menuItem, std::function<void()> handler) {
  connect(menuItem, &QAction::triggered, this,
          [this, handler = std::move(handler)] { runHandler(handler); });
}

void Screen::wireActivated(QComboBox *combo, std::function<void()> handler) {
  connect(combo, &QComboBox::activated, this,
          [this, handler = std::move(handler)] { runHandler(handler); });
}

QLabel *Screen::addLabel(const char *name, const QString &caption, int left, int top, int width,
                         int height) {
  return place(new QLabel(caption), name, left, top, width, height);
}

QPushButton *Screen::addButton(const char *name, const QString &caption, const QString &toolTip,
                               int left, int top, int width, int height) {
  auto *button = place(new QPushButton(caption), name, left, top, width, height);
  if (!toolTip.isEmpty())
    button->setToolTip(toolTip);
  return button;
}

ImageBox *Screen::addImage(const char *name, int left, int top, int width, int height) {
  return place(new ImageBox, name, left, top, width, height);
}

void Screen::addHeading(int logoLeft, int logoTop, int headingLeft, int headingTop) {
  ImageBox *logo = addImage("Image2", logoLeft, logoTop, 1968, 792);
  logo->setPicture(ImageBox::logo());
  QLabel *heading = addLabel("lblTop1", QStringLiteral("Tips and Hints Database"), headingLeft,
                             headingTop, 3372, 252);
  QFont font = heading->font();
  font.setBold(true);
  heading->setFont(font);
  heading->setStyleSheet(QStringLiteral("color: #c00000;"));
  markAsHeading(heading);
}

void Screen::handOver(const QString &target) {
  ThisFormSize();
  program_.screens().handOver(this, target);
}

void Screen::releaseShownDescriptions() {
  for (DescriptionBox *box : findChildren<DescriptionBox *>())
    if (box->isReadOnly())
      box->clear();
}

void Screen::discard() {
  discarding_ = true;
  unloaded_ = true;
  close();
  deleteLater();
}

void Screen::closeEvent(QCloseEvent *event) {
  if (jobs_.running()) {
    // The window stays until the job has ended; a job that can stop stops.
    jobs_.requestStop();
    event->ignore();
    return;
  }
  if (!discarding_ && !unloaded_) {
    // Closed from its window frame: the screen unloads like any other screen.
    program_.screens().unload(this);
  }
  event->accept();
}

JobProgressPanel *Screen::jobPanel() {
  if (!jobPanel_)
    placeJobPanel(120, std::max(0, ScaleHeight() - 480), std::max(600, ScaleWidth() - 240), 400);
  return jobPanel_;
}

void Screen::placeJobPanel(int left, int top, int width, int height) {
  if (!jobPanel_)
    jobPanel_ = place(new JobProgressPanel(jobs_), "JobProgressPanel", left, top, width, height);
  else
    setTwipGeometry(jobPanel_, left, top, width, height);
}

Screen::JobWait::JobWait(Screen &screen) : screen_(screen), focus_(screen.focusWidget()) {
  QWidget *panel = screen.jobPanel();
  // The controls a user can press or type into; labels, frames and pictures keep their
  // look.
  for (QWidget *control : screen.client_->findChildren<QWidget *>())
    if (control != panel && !panel->isAncestorOf(control) &&
        control->focusPolicy() != Qt::NoFocus && control->isEnabled()) {
      control->setEnabled(false);
      disabled_.push_back(control);
    }
  if (QWidget *menus = screen.menuWidget(); menus && menus->isEnabled()) {
    menus->setEnabled(false);
    disabled_.push_back(menus);
  }
  // The windows open beside it (the tip of the day) wait too: they act on this screen.
  for (QWidget *window : screen.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
    if (window->isWindow() && window->isEnabled()) {
      window->setEnabled(false);
      disabled_.push_back(window);
    }
  panel->raise();
}

Screen::JobWait::~JobWait() {
  for (QWidget *control : disabled_)
    control->setEnabled(true);
  if (focus_ && focus_->isEnabled() && focus_->isVisible())
    focus_->setFocus();
}
