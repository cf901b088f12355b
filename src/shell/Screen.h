#pragma once
// The base of every screen: a window whose controls sit at designed positions in twips on
// its client area, with its geometry read and written in twips, its resizing control,
// and the load / activate / unload steps that the screen manager runs.

#include <QLineEdit>
#include <QMainWindow>
#include <QString>
#include <functional>
#include <limits>
#include <type_traits>

#include "platform/ResizingControl.h"

class Program;
struct OBXGlobals;
class QAbstractButton;
class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class ImageBox;

class Screen : public QMainWindow {
  Q_OBJECT
public:
  // clientWidth and clientHeight: the designed client area in twips.
  Screen(Program &program, const QString &name, int clientWidth, int clientHeight,
         bool holdsResizingControl = true);
  ~Screen() override;

  const QString &screenName() const { return name_; }
  bool isUnloaded() const { return unloaded_; }

  virtual void Form_Load() {}
  virtual void Form_Activate() {}
  virtual void Form_Unload() {}

  // The window's outer edges in twips. A value set is read back as set while the window
  // keeps the pixel size it produced, so geometry travels between screens without drift.
  int Height() const;
  int Left() const;
  int Top() const;
  int Width() const;
  void setHeight(int twips);
  void setLeft(int twips);
  void setTop(int twips);
  void setWidth(int twips);
  // The client area in twips.
  int ScaleHeight() const;
  int ScaleWidth() const;

  // Copies this window's geometry into the shared values.
  void ThisFormSize();
  // Height, Left, Top and Width, in that order, from the shared values.
  void applySharedGeometry();

  QWidget *clientArea() const { return client_; }
  ResizingControl &resizingControl() { return Flexora1; }

  // Called by the screen manager before Form_Load.
  void createResizingControl();
  // Called by the screen manager once the screen is made, before Form_Load: access keys in
  // the menu bar, and an accessible name for every control a user can reach that has none
  // of its own (AccessibleNames.h).
  void finishControls();
  void markUnloaded() { unloaded_ = true; }
  // Closes the window without running the unload steps.
  void discard();

protected:
  Program &program() const { return program_; }
  OBXGlobals &g() const;

  // Places a control on the client area at its designed position (twips).
  template <class W>
  W *place(W *widget, const char *name, int left, int top, int width, int height) {
    widget->setParent(client_);
    setupControl(widget, name, left, top, width, height);
    // A one-line box cuts what is typed or shown at 32767 characters unless told
    // otherwise; no text the program keeps has a length limit, and a longer stored text
    // shown cut would be saved cut.
    if constexpr (std::is_base_of_v<QLineEdit, W>)
      widget->setMaxLength(std::numeric_limits<int>::max());
    return widget;
  }
  QLabel *addLabel(const char *name, const QString &caption, int left, int top, int width,
                   int height);
  QPushButton *addButton(const char *name, const QString &caption, const QString &toolTip, int left,
                         int top, int width, int height);
  ImageBox *addImage(const char *name, int left, int top, int width, int height);
  // The heading "Tips and Hints Database" (bold, red) and the logo.
  void addHeading(int logoLeft, int logoTop, int headingLeft, int headingTop);

  // Places a widget at a designed position (twips) on its parent.
  static void setTwipGeometry(QWidget *widget, int left, int top, int width, int height);

  // Wires a control to its handler, a member function of this screen. The handler runs
  // inside the error reporter: what it meets ends that handler with a message, and the
  // program goes on.
  template <class S> void onClick(QAbstractButton *button, void (S::*handler)()) {
    wireClick(button, bindHandler(handler));
  }
  template <class S> void onClick(QAction *menuItem, void (S::*handler)()) {
    wireClick(menuItem, bindHandler(handler));
  }
  // A combo box's entry chosen by the user (not one selected by the program).
  template <class S> void onActivated(QComboBox *combo, void (S::*handler)()) {
    wireActivated(combo, bindHandler(handler));
  }
  // Any other signal of a control (text changed, an entry activated, a timer's tick); the
  // signal's arguments are not passed on: the handler reads the controls.
  template <class Sender, class Signal, class S>
  void onSignal(Sender *sender, Signal signal, void (S::*handler)()) {
    connect(sender, signal, this, [this, run = bindHandler(handler)] { runHandler(run); });
  }

  // Hands over to another screen: geometry recorded, target shown, this one unloaded.
  void handOver(const QString &target);

  // F1: the screen's help; by default the contents of the help.
  virtual void showHelp();

  void closeEvent(QCloseEvent *event) override;
  void showEvent(QShowEvent *event) override;
  // Enter presses the button that has the focus, as Space does, on every screen.
  void keyPressEvent(QKeyEvent *event) override;

  ResizingControl Flexora1;

private:
  template <class S> std::function<void()> bindHandler(void (S::*handler)()) {
    static_assert(std::is_base_of_v<Screen, S>, "a handler is a member of a screen");
    return [this, handler] { (static_cast<S *>(this)->*handler)(); };
  }
  void wireClick(QAbstractButton *button, std::function<void()> handler);
  void wireClick(QAction *menuItem, std::function<void()> handler);
  void wireActivated(QComboBox *combo, std::function<void()> handler);
  void runHandler(const std::function<void()> &handler);
  void setupControl(QWidget *widget, const char *name, int left, int top, int width, int height);
  struct TwipShadow {
    int twips = 0;
    int pixels = -1;
  };
  int readTwips(const TwipShadow &shadow, int pixels) const;
  void moveFrameTo(int x, int y);

  Program &program_;
  QString name_;
  QWidget *client_;
  bool holdsResizingControl_;
  bool unloaded_ = false;
  bool discarding_ = false;
  TwipShadow height_, left_, top_, width_;
  bool geometrySet_ = false;
};
