#pragma once
// Every screen of the program in one table: its name, how it is made and, for a secondary
// screen, what its frame shows.

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

const std::vector<ScreenEntry> &screenCatalogue();
// The screen of that name; throws UnknownScreen for any other name.
const ScreenEntry &catalogueEntry(const QString &name);
// The frame of a secondary screen; throws UnknownScreen for an unknown name and
// std::logic_error for a screen without a frame.
const ScreenFrame &screenFrame(const QString &name);
