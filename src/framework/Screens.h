#pragma once
// Loads, shows, activates and unloads screens by name (the names of the screen catalogue).
// One screen is shown at a time; a screen may hand over to another during its own load or
// activation.

#include <QMargins>
#include <QPointer>
#include <QString>
#include <vector>

class Program;
class Screen;

class Screens {
public:
  explicit Screens(Program &program);
  ~Screens();

  // Creates the screen and runs its load steps. Returns null when it unloaded itself
  // (handed over) during its load. Throws UnknownScreen for a name no screen has.
  Screen *load(const QString &name);
  // Shows a loaded screen and runs its activation. Nothing happens for a screen that is
  // no longer loaded.
  void show(Screen *screen);
  // Runs the unload steps and closes the screen.
  void unload(Screen *screen);
  // load + show.
  Screen *open(const QString &name);
  // A hand-off: target is loaded and shown, then from is unloaded (unless it already was).
  Screen *handOver(Screen *from, const QString &target);
  // A small window of its own over a screen that stays (the tip of the day): loaded, or
  // found when it already is, and shown over owner, centred on it, without taking owner's
  // place as the active screen. It is unloaded with owner.
  Screen *openBeside(Screen *owner, const QString &name);

  // The loaded screen of that name (or null).
  Screen *find(const QString &name) const;
  // The screen shown last and still loaded.
  Screen *active() const;
  std::vector<Screen *> loaded() const;
  // Closes every screen without its unload steps (the end of the program).
  void discardAll();

  // The frame margins (title bar and borders) of the last screen the window manager
  // framed: the first guess for the next screen, whose frame is known only once shown.
  const QMargins &frameMarginsGuess() const { return frameMargins_; }
  void rememberFrameMargins(const QMargins &margins) { frameMargins_ = margins; }

private:
  // Shows, raises and activates the window, then runs its activation.
  void present(Screen *screen);

  Program &program_;
  std::vector<QPointer<Screen>> loaded_;
  QPointer<Screen> active_;
  QMargins frameMargins_;
};
