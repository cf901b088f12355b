#include "framework/SecondaryScreen.h"

#include "framework/HelpLinks.h"
#include "framework/Program.h"
#include "framework/ScreenNames.h"
#include "platform/MousePointer.h"
#include "widgets/AccessibleNames.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <optional>

SecondaryScreen::SecondaryScreen(Program &program, const QString &name, const char *headingName,
                                 int clientWidth, int clientHeight)
    : Screen(program, name, clientWidth, clientHeight), frame_(program.catalogue().frame(name)) {
  setWindowTitle(frame_.caption);
  addHeading(120, 50, 120, 900);
  QLabel *heading = addLabel(headingName, frame_.heading, 2300, 300, 2600, 400);
  QFont font = heading->font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.4);
  heading->setFont(font);
  heading->setAlignment(Qt::AlignCenter);
  markAsHeading(heading);
  cmdHelp = addButton("cmdHelp", QStringLiteral("Help"), QStringLiteral("Display Help Screen"),
                      5688, 4080, 1500, 420);
  cmdShowTips = addButton("cmdShowTips", QStringLiteral("Exit This Screen"), frame_.exitToolTip,
                          4068, 4080, 1500, 420);
  onClick(cmdHelp, &SecondaryScreen::cmdHelp_Click);
  onClick(cmdShowTips, &SecondaryScreen::cmdShowTips_Click);

  auto action = [this](QMenu *menu, const char *name, const QString &caption) {
    QAction *a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
  };
  QMenu *file = menuBar()->addMenu(QStringLiteral("File"));
  file->setObjectName(QStringLiteral("mnuFileItem"));
  mnuExiteItem = action(file, "mnuExiteItem", QStringLiteral("Exit"));
  QMenu *menu = menuBar()->addMenu(QStringLiteral("Menu"));
  menu->setObjectName(QStringLiteral("nmuMenuItem"));
  nmuShowTipsItem = action(menu, "nmuShowTipsItem", QStringLiteral("View Tips Screen"));
  onClick(mnuExiteItem, &SecondaryScreen::mnuExiteItem_Click);
  onClick(nmuShowTipsItem, &SecondaryScreen::nmuShowTipsItem_Click);
}

void SecondaryScreen::placeFrameButtons(int helpLeft, int helpTop, int exitLeft, int exitTop,
                                        int width, int height) {
  setTwipGeometry(cmdHelp, helpLeft, helpTop, width, height);
  setTwipGeometry(cmdShowTips, exitLeft, exitTop, width, height);
}

QString SecondaryScreen::tipDatabase() const { return program().paths().tipDatabase(); }

void SecondaryScreen::Form_Load() {
  std::optional<BusyPointer> busy;
  if (busyDuringLoad_)
    busy.emplace();
  Flexora1.Init();
  setDatabaseNames();
  applySharedGeometry();
  program().help().HelpInit(this);
  loadScreen();
}

void SecondaryScreen::Form_Activate() {
  g().gMsgTitle = frame_.msgTitle;
  activateScreen();
}

void SecondaryScreen::Form_Unload() {
  unloadScreen();
  program().help().HelpQuit();
}

void SecondaryScreen::returnToMainScreen() { handOver(screen::frmOmbrixShow); }

void SecondaryScreen::cmdShowTips_Click() { exitScreen(); }
void SecondaryScreen::nmuShowTipsItem_Click() { returnToMainScreen(); }
void SecondaryScreen::mnuExiteItem_Click() { program().endProgram(); }
void SecondaryScreen::cmdHelp_Click() { program().help().HelpContext(frame_.helpTopic); }
void SecondaryScreen::showHelp() { cmdHelp_Click(); }

void SecondaryScreen::keyPressEvent(QKeyEvent *event) {
  if (event->key() == Qt::Key_Escape && (event->modifiers() & ~Qt::KeypadModifier) == 0 &&
      cmdShowTips->isEnabled() && cmdShowTips->isVisible()) {
    event->accept();
    cmdShowTips->click();
    return;
  }
  Screen::keyPressEvent(event);
}
