#pragma once
// Message boxes with the classic style codes and answers.

#include <QString>
#include <deque>
#include <functional>
#include <vector>

class QWidget;

namespace msgbox {

// Buttons (low bits) and icons, added together into one style code.
enum Style : int {
  vbOKOnly = 0,
  vbOKCancel = 1,
  vbYesNoCancel = 3,
  vbYesNo = 4,
  vbCritical = 16,
  vbQuestion = 32,
  vbExclamation = 48,
  vbInformation = 64,
};

enum Answer : int { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

// Lines of a message are joined by CR LF.
inline const QString kNewLine = QStringLiteral("\r\n");

struct ShownMessage {
  QString prompt;
  int style = 0;
  QString title;
};

// The test seam: while a script is installed, no box is shown; each call records what
// would have been shown and takes the next queued answer (or the box's first button).
class Script {
public:
  Script();
  ~Script();
  Script(const Script &) = delete;
  Script &operator=(const Script &) = delete;

  void queue(int answer) { answers_.push_back(answer); }
  const std::vector<ShownMessage> &shown() const { return shown_; }
  void clearShown() { shown_.clear(); }
  int take(const ShownMessage &message);
  bool hasQueued() const { return !answers_.empty(); }

private:
  std::deque<int> answers_;
  std::vector<ShownMessage> shown_;
  Script *previous_;
};

// The window a box belongs to when no window of the program is active (just after another
// box closed, the window manager may not have given the focus back yet): the program's
// window in front. Installed for the life of this object; the last one installed counts.
class Owner {
public:
  explicit Owner(std::function<QWidget *()> window);
  ~Owner();
  Owner(const Owner &) = delete;
  Owner &operator=(const Owner &) = delete;
  QWidget *window() const { return window_ ? window_() : nullptr; }

private:
  std::function<QWidget *()> window_;
};

// The room a window manager's title bar takes beside the title's text (window icon, the
// buttons to minimise, maximise and close, margins), in pixels.
inline constexpr int kTitleBarExtra = 160;

// Shows a modal box, centred on the window in front and wide enough for its whole title
// on the title bar, and returns the answer. An empty title shows the program's name.
int MsgBox(const QString &prompt, int style = vbOKOnly, const QString &title = QString());

} // namespace msgbox

using msgbox::MsgBox;
