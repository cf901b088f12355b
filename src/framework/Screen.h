#pragma once
// The base of every screen: a window whose controls sit at designed positions in twips on
// its client area, with its geometry read and written in twips, its resizing control,
// and the load / activate / unload steps that the screen manager runs.

#include <QLineEdit>
#include <QMainWindow>
#include <QMargins>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>
#include <functional>
#include <limits>
#include <type_traits>
#include <vector>

#include "jobs/JobRunner.h"
#include "platform/ResizingControl.h"

class Program;
struct OBXGlobals;
class QAbstractButton;
class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class ImageBox;
class JobProgressPanel;

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

  // The window's outer edges in twips: its frame, title bar and borders included. A value
  // set is read back as set while the window keeps the pixel size it produced, so
  // geometry travels between screens without drift. Setting one on a maximised window
  // restores it first. The frame is known only once the window manager has framed the
  // window: until then the margins of the screen framed last stand in for it, and the
  // edges are placed again if the frame turns out otherwise.
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
  // A maximised window reads its maximised frame above and keeps its normal geometry for
  // when the user restores it.
  bool maximised() const;
  void setMaximised(bool maximised);
  // True while the window waits for its frame so that its outer edges can be placed.
  bool placementPending() const { return placing_; }

  // Copies this window's normal geometry and whether it is maximised into the shared
  // values.
  void ThisFormSize();
  // Height, Left, Top and Width, in that order, then the maximised state, from the shared
  // values.
  void applySharedGeometry();
  // For a window about to be made before it is placed (the main screen takes its window
  // handle first): with no frame known yet, it is made to be placed by its frame's corner.
  void prepareToBePlaced();
  // Moves the shared geometry onto the nearest screen when its title bar would lie off
  // every screen (a geometry stored with other screens attached).
  void keepSharedGeometryReachable();

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
  // Empties the description boxes that show stored text (the read-only ones), for a screen
  // being left: a screen shows them anew when it is activated, and a large description is
  // not held while the next screen reads its own. What a user typed stays.
  void releaseShownDescriptions();

protected:
  Program &program() const { return program_; }
  OBXGlobals &g() const;

  // Long work (jobs/JobRunner.h): runs work on a worker thread and returns its value when
  // it ends, on this thread. Meanwhile the window repaints, the job panel shows the counts
  // and Cancel, every other control and the menus wait, and closing the window asks the
  // job to stop. What the work throws is thrown here.
  template <class Work> auto runJob(Work &&work) {
    const JobWait wait(*this);
    return jobs_.runFor(std::forward<Work>(work));
  }
  // Where the job panel shows (twips), over the controls there while a job runs; placed
  // when the screen is made, the resizing control scales it with the rest. Without a
  // call, across the bottom of the client area when the first job starts.
  void placeJobPanel(int left, int top, int width, int height);
  JobProgressPanel *jobPanel();
  jobs::JobRunner &jobRunner() { return jobs_; }

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
  void moveEvent(QMoveEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void changeEvent(QEvent *event) override;

  ResizingControl Flexora1;

private:
  // Disables the screen's controls and menus but the job panel while a job runs, and
  // enables again those it disabled.
  class JobWait {
  public:
    explicit JobWait(Screen &screen);
    ~JobWait();
    JobWait(const JobWait &) = delete;
    JobWait &operator=(const JobWait &) = delete;

  private:
    Screen &screen_;
    std::vector<QWidget *> disabled_;
    QPointer<QWidget> focus_; // the focus goes back here when the job ends
  };
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
  // The frame margins the window manager reports, null while the window is not framed.
  QMargins reportedFrameMargins() const;
  // The outer frame now, and the one of the normal (not maximised) state, in pixels.
  QRect outerGeometry() const;
  QRect normalOuter() const;
  // Places the outer frame (normal state) at this rectangle, in pixels.
  void placeOuter(const QRect &outer);
  // Once the window manager has framed the window, places it again by its real frame.
  void checkFrame();

  Program &program_;
  QString name_;
  QWidget *client_;
  bool holdsResizingControl_;
  bool unloaded_ = false;
  bool discarding_ = false;
  TwipShadow height_, left_, top_, width_;
  QRect normalOuter_;         // the outer frame of the normal state, in pixels
  QMargins usedMargins_;      // the frame margins the client area was last sized with
  QMargins maximisedMargins_; // the margins last seen on the maximised frame
  bool guessed_ = false;      // sized by guessed margins, the normal frame not seen yet
  bool placing_ = false;      // guessed_, and still waiting for the window manager
  QTimer framePoll_;          // looks for the frame a while after the window is shown
  int framePolls_ = 0;
  jobs::JobRunner jobs_;
  JobProgressPanel *jobPanel_ = nullptr;
};
