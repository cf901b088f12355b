#pragma once
// The frame every secondary screen shares: heading and logo, its own heading, Help and
// "Exit This Screen", the File / Exit and Menu / View Tips Screen menus, and the load,
// activation and unload steps around the screen's own.

#include "framework/Screen.h"
#include "framework/ScreenCatalogue.h"

class QAction;

class SecondaryScreen : public Screen {
  Q_OBJECT
public:
  // headingName: the name of the screen's heading label (lblAddGroup, ...).
  SecondaryScreen(Program &program, const QString &name, const char *headingName,
                  int clientWidth = 7308, int clientHeight = 4620);

  // Resizing control, database names, shared geometry, help; then the screen's own steps.
  void Form_Load() final;
  // The screen's message title; then the screen's own steps.
  void Form_Activate() final;
  void Form_Unload() final;

  const ScreenFrame &frame() const { return frame_; }

  void cmdShowTips_Click();
  void nmuShowTipsItem_Click();
  void mnuExiteItem_Click();
  void cmdHelp_Click();

protected:
  // F1: the same as Help.
  void showHelp() override;
  // Esc: the same as "Exit This Screen", while that button can be pressed.
  void keyPressEvent(QKeyEvent *event) override;
  // Places the two frame buttons (designed positions differ per screen).
  void placeFrameButtons(int helpLeft, int helpTop, int exitLeft, int exitTop, int width = 1500,
                         int height = 420);
  // The screen's own steps.
  virtual void setDatabaseNames() {}
  virtual void loadScreen() {}
  virtual void activateScreen() {}
  virtual void unloadScreen() {}
  // Some screens show the hourglass for their whole load.
  bool busyDuringLoad_ = false;
  // The database file of the tip database.
  QString tipDatabase() const;
  // Back to the main screen.
  void returnToMainScreen();
  // "Exit This Screen": back to the main screen; a screen opened over another one goes
  // back to that one instead.
  virtual void exitScreen() { returnToMainScreen(); }

  QPushButton *cmdHelp;
  QPushButton *cmdShowTips;
  QAction *nmuShowTipsItem;
  QAction *mnuExiteItem;

private:
  ScreenFrame frame_;
};
