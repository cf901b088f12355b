#pragma once
// The file picker panel of the screens that choose a file on disk (the group picture of
// Add Group and Edit Group step 2, the package of the import): five controls (cmdDirHelp,
// cmdDirCancel, Drive1, Dir1, File1) that wait, hidden, below the client area until the
// screen opens the panel, and then stand over the screen's right-hand column.
//
// The panel moves the lists as the user asks (drive, folder) and tells the screen when a
// file is clicked or double-clicked; what a file means is the screen's business. The
// controls stand straight on the screen's client area, where the resizing control finds
// them.

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "platform/FileLists.h"

class FileService;
class QAction;
class QPushButton;
class QWidget;

class FilePicker : public QObject {
  Q_OBJECT
public:
  enum class Closing { Cancel, Choice };

  struct Setup {
    QString pattern;             // the files listed ("*.jpg", "obx*.zip")
    int fileTop = 2600;          // File1's top in the open panel (twips)
    QString startFolder;         // where the lists start ("C:\\OBXImpExp", native); empty: here
    QWidget *help = nullptr;     // the screen's cmdHelp, hidden while the panel is open
    QWidget *exit = nullptr;     // the screen's cmdShowTips, hidden likewise
    QAction *exitItem = nullptr; // File, Exit: disabled while the panel is open
    std::vector<QWidget *> lockedWhileOpen; // disabled at opening, enabled at every close
    std::vector<QWidget *> enabledOnCancel; // enabled again when Cancel closes the panel
    QWidget *focusAfterChoice = nullptr;    // takes the focus after a closing by a choice
    QString helpToolTip;
    QString cancelToolTip;
    std::function<void()> showHelp;          // cmdDirHelp
    std::function<void()> fileClicked;       // a file became the selected one
    std::function<void()> fileDoubleClicked; // a file double-clicked (or Enter on it)
    std::function<void()> folderChanged;     // the folder list moved to another folder
    std::function<void()> cancelled;         // Cancel closed the panel
    EventRunner run;                         // every event runs inside it
  };

  // Places the five controls on the client area, closed.
  FilePicker(QWidget *clientArea, const FileService &files, Setup setup);

  bool isOpen() const { return open_; }
  DriveList *drives() const { return Drive1; }
  DirList *folders() const { return Dir1; }
  FileList *files() const { return File1; }

  // Shows the panel over the screen's column.
  void open();
  // Puts the panel away again.
  void close(Closing how);

  // The events.
  void Drive1_Change();
  void Dir1_Change();
  void cmdDirCancel_Click();
  void cmdDirHelp_Click();

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void setTops(bool open);
  // Runs an event inside the screen's runner.
  void run(const std::function<void()> &handler);

  QWidget *client_;
  Setup setup_;
  bool open_ = false;
  QPushButton *cmdDirHelp;
  QPushButton *cmdDirCancel;
  DriveList *Drive1;
  DirList *Dir1;
  FileList *File1;
};
