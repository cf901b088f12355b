#include "shell/PlaceholderScreens.h"

#include "shell/Program.h"
#include "shell/ScreenNames.h"
#include "shell/Screens.h"

#include <QLabel>
#include <QPushButton>

PlaceholderScreen::PlaceholderScreen(Program &program, const QString &name, const char *headingName)
    : SecondaryScreen(program, name, headingName) {
  QLabel *note = addLabel("lblNotYet",
                          QStringLiteral("This part of Ombrix Tips is not available yet.\n"
                                         "Click \"Exit This Screen\" to return to your tips."),
                          120, 1600, 7068, 1200);
  note->setAlignment(Qt::AlignCenter);
  note->setWordWrap(true);
}
