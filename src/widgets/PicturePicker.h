#pragma once
// The group picture picker of Add Group and Edit Group step 2: a panel of five controls
// (cmdDirHelp, cmdDirCancel, Drive1, Dir1, File1) that waits, hidden, below the client
// area until the user double-clicks the group's picture. Choosing a file shows it in the
// picture box and hands its path to the screen; the picker never copies a file.
//
// The controls stand straight on the screen's client area, where the resizing control
// finds them. The screen says what differs between the two screens in a Setup: which
// controls are locked while the panel is open, what a Cancel enables again, where the
// focus goes after a choice, the tool-tips, help and where the path is recorded.

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "platform/FileLists.h"

class FileService;
class ImageBox;
class QAction;
class QPushButton;
class QWidget;

class PicturePicker : public QObject {
  Q_OBJECT
public:
  enum class Closing { Cancel, Choice };

  struct Setup {
    ImageBox *image = nullptr;   // Image1: a double-click opens the panel, shows the choice
    QWidget *help = nullptr;     // the screen's cmdHelp, hidden while the panel is open
    QWidget *exit = nullptr;     // the screen's cmdShowTips, hidden likewise
    QAction *exitItem = nullptr; // File, Exit: disabled while the panel is open
    std::vector<QWidget *> lockedWhileOpen; // disabled at opening, enabled at every close
    std::vector<QWidget *> enabledOnCancel; // enabled again when Cancel closes the panel
    QWidget *focusAfterChoice = nullptr;    // takes the focus after a double-clicked file
    QString helpToolTip;
    QString cancelToolTip;
    std::function<void()> showHelp;              // cmdDirHelp
    std::function<void(const QString &)> record; // the chosen file's full path (native)
    EventRunner run;                             // every event runs inside it
  };

  // Places the five controls on the client area, closed.
  PicturePicker(QWidget *clientArea, const FileService &files, Setup setup);

  bool isOpen() const { return open_; }
  DriveList *drives() const { return Drive1; }
  DirList *folders() const { return Dir1; }
  FileList *files() const { return File1; }

  // The events.
  void Image1_DblClick();
  void Drive1_Change();
  void Dir1_Change();
  void File1_Click();
  void File1_DblClick();
  void cmdDirCancel_Click();
  void cmdDirHelp_Click();

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void openPanel();
  void closePanel(Closing how);
  void setTops(bool open);
  // Shows and records the selected file; false when none is selected. A file that is no
  // picture is refused with a FileError naming it: nothing shown or recorded changes.
  bool preview();
  // Runs an event inside the screen's runner.
  void run(void (PicturePicker::*handler)());

  QWidget *client_;
  const FileService &files_;
  Setup setup_;
  bool open_ = false;
  QPushButton *cmdDirHelp;
  QPushButton *cmdDirCancel;
  DriveList *Drive1;
  DirList *Dir1;
  FileList *File1;
};
