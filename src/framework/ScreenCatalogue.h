#pragma once
// The table of the program's screens: for each, its name, how it is made and, for a
// secondary screen, what its frame shows. The table itself is made above the screens
// (screens/AllScreens.h) and handed to the program, which loads screens by name from it.

#include <QLatin1StringView>
#include <QString>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

class Program;
class Screen;

// What a secondary screen's frame shows: caption, heading, the tool-tip of its way back,
// the title of its messages and its help topic.
struct ScreenFrame {
  QString caption;
  QString heading;
  QString exitToolTip;
  QString msgTitle;
  int helpTopic = 0;
};

struct ScreenEntry {
  QLatin1StringView name;
  // Makes the screen, not yet loaded.
  std::function<Screen *(Program &)> make;
  // Secondary screens only.
  std::optional<ScreenFrame> frame;
};

// A screen name that names no screen: a fault of the program, reported like any other
// failure instead of ending the program.
class UnknownScreen : public std::runtime_error {
public:
  explicit UnknownScreen(const QString &name);
  const QString &name() const { return name_; }

private:
  QString name_;
};

class ScreenCatalogue {
public:
  explicit ScreenCatalogue(std::vector<ScreenEntry> entries) : entries_(std::move(entries)) {}

  auto begin() const { return entries_.begin(); }
  auto end() const { return entries_.end(); }
  // The screen of that name; throws UnknownScreen for any other name.
  const ScreenEntry &entry(const QString &name) const;
  // The frame of a secondary screen; throws UnknownScreen for an unknown name and
  // std::logic_error for a screen without a frame.
  const ScreenFrame &frame(const QString &name) const;

private:
  std::vector<ScreenEntry> entries_;
};
