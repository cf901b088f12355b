#pragma once
// Loads, shows, activates and unloads screens by name. One screen is shown at a time; a
// screen may hand over to another during its own load or activation.

#include <QHash>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

class Program;
class Screen;

class Screens {
public:
  using Factory = std::function<Screen *(Program &)>;

  explicit Screens(Program &program);
  ~Screens();

  void registerScreen(const QString &name, Factory factory);
  bool isRegistered(const QString &name) const { return factories_.contains(name); }

  // Creates the screen and runs its load steps. Returns null when it unloaded itself
  // (handed over) during its load.
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

  // The loaded screen of that name (or null).
  Screen *find(const QString &name) const;
  // The screen shown last and still loaded.
  Screen *active() const;
  std::vector<Screen *> loaded() const;
  // Closes every screen without its unload steps (the end of the program).
  void discardAll();

private:
  Program &program_;
  QHash<QString, Factory> factories_;
  std::vector<QPointer<Screen>> loaded_;
  QPointer<Screen> active_;
};
