#pragma once
// What each secondary screen's frame shows: caption, heading, the tool-tip of its way
// back, the title of its messages and its help topic.

#include <QString>

struct ScreenFrame {
  QString caption;
  QString heading;
  QString exitToolTip;
  QString msgTitle;
  int helpTopic = 0;
};

// The frame of a secondary screen by its name; an empty frame for any other name.
const ScreenFrame &screenFrame(const QString &screenName);
