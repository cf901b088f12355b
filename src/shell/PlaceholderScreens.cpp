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

frmAbout::frmAbout(Program &program) : Screen(program, screen::frmAbout, 5400, 2800, false) {
  setWindowTitle(QStringLiteral("About Ombrix Tips database program"));
  addLabel("lblTitle", QStringLiteral("Ombrix Tips"), 240, 240, 4900, 360);
  addLabel("lblVersion", QStringLiteral("Version 0.31 BETA   Build 200"), 240, 700, 4900, 300);
  addLabel("lblDescription", QStringLiteral("A tips and hints database you can share."), 240, 1100,
           4900, 300);
  QPushButton *ok = addButton("cmdOK", QStringLiteral("OK"), QString(), 3900, 2200, 1260, 420);
  ok->setDefault(true);
  onClick(ok, &frmAbout::cmdOK_Click);
}

void frmAbout::cmdOK_Click() {
  // The About box stays loaded, hidden, for its next opening.
  program().screens().open(screen::frmOmbrixShow);
  hide();
}
