#pragma once
// Screens whose work is still to come: they carry the frame (caption, heading, the way
// back to the main screen), so every menu command already leads somewhere.

#include "shell/SecondaryScreen.h"

class PlaceholderScreen : public SecondaryScreen {
  Q_OBJECT
public:
  PlaceholderScreen(Program &program, const QString &name, const char *headingName);
};
