#include "screens/main/frmScreenDefault.h"

#include "framework/Program.h"
#include "framework/ScreenNames.h"
#include "framework/Screens.h"
#include "platform/Twips.h"
#include "widgets/ImageBox.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

// The illustration: a window with arrows to its corners.
QPixmap illustration() {
  QPixmap pixmap(120, 120);
  pixmap.fill(QColor(0xf4, 0xf6, 0xf9));
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0x1f, 0x4e, 0x79), 3));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(24, 30, 72, 60));
  p.fillRect(QRectF(24, 30, 72, 12), QColor(0x2e, 0x75, 0xb6));
  p.setPen(QPen(QColor(0xc0, 0x00, 0x00), 3));
  p.drawLine(QPointF(8, 14), QPointF(22, 28));
  p.drawLine(QPointF(112, 106), QPointF(98, 92));
  return pixmap;
}

} // namespace

frmScreenDefault::frmScreenDefault(Program &program)
    : Screen(program, screen::frmScreenDefault, 7200, 5400, false) {
  setWindowTitle(QStringLiteral("Ombrix Tips Screen Default Settings"));
  addHeading(120, 50, 120, 900);
  addImage("Image1", 5880, 120, 1200, 1200)->setPicture(illustration());
  const QString captions[] = {
      QStringLiteral("Ombrix Tips window position and size have been set to the default settings."),
      QString(),
      QStringLiteral("To set the position and window size to your liking, do the following:"),
      QStringLiteral("1. Drag the window to where you want the starting point;"),
      QStringLiteral("2. Resize the window to the size you like (or maximise it);"),
      QStringLiteral("3. Click on [Tools];"),
      QStringLiteral("4. Move the mouse to [Screen Position];"),
      QStringLiteral("5. Click on [Set User Position]."),
      QString(),
      QStringLiteral("Please click the OK button to exit this window!"),
  };
  static const char *const names[] = {"Label1", "Label2", "Label3", "Label4", "Label5",
                                      "Label6", "Label7", "Label8", "Label9", "Label10"};
  int top = 1380;
  for (int i = 0; i < 10; ++i) {
    addLabel(names[i], captions[i], 240, top, 6840, 300);
    top += 300;
  }
  QPushButton *ok = addButton("Command1", QStringLiteral("OK"), QString(), 2950, 4740, 1300, 420);
  ok->setDefault(true);
  onClick(ok, &frmScreenDefault::Command1_Click);
  // Its own designed place and size: it takes no shared geometry.
  move(twips::toPixels(1200), twips::toPixels(1200));
}

void frmScreenDefault::Command1_Click() {
  program().screens().handOver(this, screen::frmOmbrixShow);
}
