#include "shell/Screen.h"

#include "platform/Twips.h"
#include "shell/ErrorReport.h"
#include "shell/HelpLinks.h"
#include "shell/Program.h"
#include "shell/Screens.h"
#include "widgets/AccessKeys.h"
#include "widgets/AccessibleNames.h"
#include "widgets/ImageBox.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QShowEvent>

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

int Screen::Height() const { return readTwips(height_, frameGeometry().height()); }
int Screen::Left() const { return readTwips(left_, frameGeometry().x()); }
int Screen::Top() const { return readTwips(top_, frameGeometry().y()); }
int Screen::Width() const { return readTwips(width_, frameGeometry().width()); }

void Screen::setHeight(int value) {
  const int frameExtra = frameGeometry().height() - height();
  resize(width(), std::max(1, twips::toPixels(value) - frameExtra));
  height_ = {value, frameGeometry().height()};
}

void Screen::setWidth(int value) {
  const int frameExtra = frameGeometry().width() - width();
  resize(std::max(1, twips::toPixels(value) - frameExtra), height());
  width_ = {value, frameGeometry().width()};
}

void Screen::moveFrameTo(int x, int y) {
  move(x, y);
  // Some platforms place a shown window's frame off by its margins; correct that once.
  const QPoint placed = frameGeometry().topLeft();
  if (placed != QPoint(x, y))
    move(2 * x - placed.x(), 2 * y - placed.y());
}

void Screen::setLeft(int value) {
  moveFrameTo(twips::toPixels(value), frameGeometry().y());
  left_ = {value, frameGeometry().x()};
}

void Screen::setTop(int value) {
  moveFrameTo(frameGeometry().x(), twips::toPixels(value));
  top_ = {value, frameGeometry().y()};
}

int Screen::ScaleHeight() const { return twips::fromPixels(client_->height()); }
int Screen::ScaleWidth() const { return twips::fromPixels(client_->width()); }

void Screen::ThisFormSize() {
  OBXGlobals &globals = g();
  globals.gFrmHeight = Height();
  globals.gFrmLeft = Left();
  globals.gFrmTop = Top();
  globals.gFrmWidth = Width();
}

void Screen::applySharedGeometry() {
  const OBXGlobals &globals = g();
  setHeight(globals.gFrmHeight);
  setLeft(globals.gFrmLeft);
  setTop(globals.gFrmTop);
  setWidth(globals.gFrmWidth);
  geometrySet_ = true;
}

void Screen::showEvent(QShowEvent *event) {
  QMainWindow::showEvent(event);
  // The window frame is known only once the window is shown: place the outer edges again
  // so the screen has exactly the geometry it was given.
  if (geometrySet_ && !event->spontaneous()) {
    geometrySet_ = false;
    setHeight(height_.twips);
    setLeft(left_.twips);
    setTop(top_.twips);
    setWidth(width_.twips);
  }
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

void Screen::discard() {
  discarding_ = true;
  unloaded_ = true;
  close();
  deleteLater();
}

void Screen::closeEvent(QCloseEvent *event) {
  if (!discarding_ && !unloaded_) {
    // Closed from its window frame: the screen unloads like any other screen.
    program_.screens().unload(this);
  }
  event->accept();
}
