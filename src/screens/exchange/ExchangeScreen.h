#pragma once
// What the export and import screens share beyond the frame: the count grid, the frame
// that names the exchange file, the picture Image1, and the column of buttons on the
// right (Help, "Exit This Screen", then the screen's own button).

#include "framework/SecondaryScreen.h"
#include "widgets/CountColumns.h"

class QGroupBox;
class QLabel;
class QPushButton;
class ImageBox;

class ExchangeScreen : public SecondaryScreen {
  Q_OBJECT
protected:
  ExchangeScreen(Program &program, const QString &name, CountColumns::Kind kind);

  // The screen's own button, below Help and "Exit This Screen".
  QPushButton *addActionButton(const char *name, const QString &caption, const QString &toolTip);
  // The frame that names the exchange file, with its label (empty at first).
  QLabel *addFileNameFrame(const char *frameName, const QString &caption, const char *labelName);

  // Image1 shows the picture named by gPicturePath; the first time the screen shows, its
  // counts.
  void activateScreen() override;
  // Counts that read a database whole (a million tips take a second): read as a job the
  // first time the screen shows rather than while it loads, so that the window is up,
  // repaints and shows their progress.
  virtual void countOnceShown() {}

  CountColumns columns_;
  ImageBox *Image1;
  QGroupBox *fileNameFrame_ = nullptr;

private:
  bool counted_ = false;
};
