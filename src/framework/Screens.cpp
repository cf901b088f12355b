#include "framework/Screens.h"

#include "framework/ErrorReport.h"
#include "framework/Program.h"
#include "framework/Screen.h"
#include "framework/ScreenCatalogue.h"

#include <QCoreApplication>
#include <algorithm>

Screens::Screens(Program &program) : program_(program) {}

Screens::~Screens() { discardAll(); }

Screen *Screens::load(const QString &name) {
  // A screen that is already loaded (one kept hidden) is not loaded twice.
  if (Screen *existing = find(name))
    return existing;
  QPointer<Screen> screen = program_.catalogue().entry(name).make(program_);
  loaded_.push_back(screen);
  screen->createResizingControl();
  screen->finishControls();
  try {
    screen->Form_Load();
  } catch (...) {
    // A screen that could not load is not left half made; the caller reports why.
    if (screen) {
      loaded_.erase(std::remove(loaded_.begin(), loaded_.end(), screen), loaded_.end());
      screen->discard();
    }
    throw;
  }
  if (!screen || screen->isUnloaded())
    return nullptr;
  return screen;
}

void Screens::show(Screen *screen) {
  QPointer<Screen> guard = screen;
  if (!guard || guard->isUnloaded() || program_.ended())
    return;
  active_ = guard;
  present(guard);
}

void Screens::present(Screen *screen) {
  QPointer<Screen> guard = screen;
  guard->show();
  guard->raise();
  guard->activateWindow();
  // The screen is shown whatever its activation meets, so a hand-off always completes.
  if (guard && !guard->isUnloaded())
    runReportingErrors(program_.g.gMsgTitle, [&guard] { guard->Form_Activate(); });
}

void Screens::unload(Screen *screen) {
  QPointer<Screen> guard = screen;
  if (!guard || guard->isUnloaded())
    return;
  // The windows opened beside it go first, with their own unload steps.
  for (Screen *other : loaded())
    if (other != guard && other->parentWidget() == guard)
      unload(other);
  if (!guard || guard->isUnloaded())
    return;
  guard->markUnloaded();
  guard->Form_Unload();
  loaded_.erase(std::remove(loaded_.begin(), loaded_.end(), guard), loaded_.end());
  if (guard) {
    guard->hide();
    guard->deleteLater();
  }
}

Screen *Screens::open(const QString &name) {
  Screen *screen = load(name);
  show(screen);
  return screen;
}

Screen *Screens::handOver(Screen *from, const QString &target) {
  QPointer<Screen> source = from;
  Screen *screen = load(target);
  // Made: the screen left lets go of what it shows before the next reads its own.
  if (source && screen && screen != source)
    source->releaseShownDescriptions();
  show(screen);
  // The target may hand over straight back to the screen being left (the main screen
  // sends an empty database to Add Group, which is the screen returning to it): that
  // screen is then the one shown, and unloading it would leave no window at all.
  if (source && source != active())
    unload(source);
  return screen;
}

Screen *Screens::openBeside(Screen *owner, const QString &name) {
  QPointer<Screen> guard = find(name);
  if (!guard) {
    guard = load(name);
    if (!guard)
      return nullptr;
    // A window of its own (Qt::Window), kept above its owner by the window manager.
    guard->setParent(owner, guard->windowFlags() | Qt::Window | Qt::Dialog);
    QRect place = guard->frameGeometry();
    place.moveCenter(owner->frameGeometry().center());
    guard->move(place.topLeft());
  }
  present(guard);
  return guard;
}

Screen *Screens::find(const QString &name) const {
  for (const QPointer<Screen> &screen : loaded_)
    if (screen && !screen->isUnloaded() && screen->screenName() == name)
      return screen;
  return nullptr;
}

Screen *Screens::active() const {
  return active_ && !active_->isUnloaded() ? active_.data() : nullptr;
}

std::vector<Screen *> Screens::loaded() const {
  std::vector<Screen *> result;
  for (const QPointer<Screen> &screen : loaded_)
    if (screen && !screen->isUnloaded())
      result.push_back(screen);
  return result;
}

void Screens::discardAll() {
  const auto screens = loaded_;
  loaded_.clear();
  for (const QPointer<Screen> &screen : screens)
    if (screen)
      screen->discard();
}
