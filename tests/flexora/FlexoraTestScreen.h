#pragma once
// A real host screen for the resizing control: a main window with a menu bar and a client
// area whose controls sit at designed positions in twips, as the program's screens place
// them. It holds every kind of control the control must handle: plain widgets, a frame
// with children (placed relative to the frame), a combo box with unnamed inner widgets, a
// line widget and a windowless line (end points X1, Y1, X2, Y2 in twips), and named
// objects without any position.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>

#include "platform/Twips.h"

#include <algorithm>
#include <cstdlib>

// A line control: a widget drawn between two end points given in twips relative to its
// parent; its geometry follows the end points.
class LineControl : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int X1 READ X1 WRITE setX1)
  Q_PROPERTY(int Y1 READ Y1 WRITE setY1)
  Q_PROPERTY(int X2 READ X2 WRITE setX2)
  Q_PROPERTY(int Y2 READ Y2 WRITE setY2)
public:
  LineControl(QWidget *parent, int x1, int y1, int x2, int y2)
      : QWidget(parent), x1_(x1), y1_(y1), x2_(x2), y2_(y2) {
    place();
  }
  int X1() const { return x1_; }
  int Y1() const { return y1_; }
  int X2() const { return x2_; }
  int Y2() const { return y2_; }
  void setX1(int v) {
    x1_ = v;
    place();
  }
  void setY1(int v) {
    y1_ = v;
    place();
  }
  void setX2(int v) {
    x2_ = v;
    place();
  }
  void setY2(int v) {
    y2_ = v;
    place();
  }
  int assignments = 0; // property writes, to see that a line is set by its end points

private:
  void place() {
    ++assignments;
    const int left = twips::toPixels(std::min(x1_, x2_));
    const int top = twips::toPixels(std::min(y1_, y2_));
    setGeometry(left, top, std::max(1, twips::toPixels(std::abs(x2_ - x1_))),
                std::max(1, twips::toPixels(std::abs(y2_ - y1_))));
  }
  int x1_, y1_, x2_, y2_;
};

class FlexoraTestScreen : public QMainWindow {
  Q_OBJECT
public:
  // Designed client area: 7200 x 5400 twips (480 x 360 pixels).
  static constexpr int kClientWidth = 7200;
  static constexpr int kClientHeight = 5400;

  FlexoraTestScreen() {
    setObjectName(QStringLiteral("frmFlexoraTest"));
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    file->addAction(QStringLiteral("E&xit"))->setObjectName(QStringLiteral("mnuExit"));
    client = new QWidget(this);
    client->setObjectName(QStringLiteral("qt_client_area"));
    setCentralWidget(client);

    cmdOK = place(new QPushButton(QStringLiteral("OK")), client, "cmdOK", 300, 300, 1200, 375);
    txtName = place(new QLineEdit, client, "txtName", 1800, 300, 3000, 315);
    lblTitle = place(new QLabel(QStringLiteral("Title")), client, "lblTitle", 300, 900, 2400, 255);
    Combo1 = place(new QComboBox, client, "Combo1", 4800, 900, 2100, 315);
    Combo1->addItems({QStringLiteral("one"), QStringLiteral("two")});
    FrameTotal =
        place(new QGroupBox(QStringLiteral("Total")), client, "FrameTotal", 300, 1500, 4500, 2400);
    lblInFrame =
        place(new QLabel(QStringLiteral("Groups")), FrameTotal, "lblInFrame", 150, 300, 1500, 255);
    CheckLocal = place(new QCheckBox(QStringLiteral("Local")), FrameTotal, "CheckLocal", 150, 900,
                       1800, 255);
    // An unnamed helper widget is no control.
    unnamed = new QWidget(client);
    unnamed->setGeometry(10, 10, 5, 5);
    // A line widget, with end points that are not whole pixels.
    Line1 = new LineControl(client, 1001, 4207, 7001, 4501);
    Line1->setObjectName(QStringLiteral("Line1"));
    // A windowless line: a plain object with its end points as dynamic properties.
    Line2 = new QObject(client);
    Line2->setObjectName(QStringLiteral("Line2"));
    Line2->setProperty("X1", 600);
    Line2->setProperty("Y1", 5000);
    Line2->setProperty("X2", 6601);
    Line2->setProperty("Y2", 5001);
    // Named objects without a position: a data control and an object with half an end point.
    Data1 = new QObject(client);
    Data1->setObjectName(QStringLiteral("Data1"));
    Timer1 = new QObject(client);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setProperty("X1", 1000);
    cmdLast =
        place(new QPushButton(QStringLiteral("Exit")), client, "cmdExit", 5400, 4800, 1500, 375);

    client->resize(twips::toPixels(kClientWidth), twips::toPixels(kClientHeight));
    resize(client->width(), client->height() + menuBar()->sizeHint().height());
  }

  // Gives the client area exactly this size (pixels) by resizing the window.
  void setClientSize(int width, int height) {
    resize(this->width() + width - client->width(), this->height() + height - client->height());
  }

  template <class W>
  static W *place(W *w, QWidget *parent, const char *name, int left, int top, int width,
                  int height) {
    w->setParent(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(twips::toPixels(left), twips::toPixels(top), twips::toPixels(width),
                   twips::toPixels(height));
    return w;
  }

  QWidget *client;
  QPushButton *cmdOK, *cmdLast;
  QLineEdit *txtName;
  QLabel *lblTitle, *lblInFrame;
  QComboBox *Combo1;
  QGroupBox *FrameTotal;
  QCheckBox *CheckLocal;
  QWidget *unnamed;
  LineControl *Line1;
  QObject *Line2, *Data1, *Timer1;
};
