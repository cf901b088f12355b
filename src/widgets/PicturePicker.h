#pragma once
// The group picture picker of Add Group and Edit Group step 2: the file picker panel
// (FilePicker) listing pictures, opened by a double-click on the group's picture. Choosing
// a file shows it in the picture box and hands its path to the screen; the picker never
// copies a file.
//
// The screen says what differs between the two screens in a Setup: which controls are
// locked while the panel is open, what a Cancel enables again, where the focus goes after
// a choice, the tool-tips, help and where the path is recorded.

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "widgets/FilePicker.h"

class FileService;
class ImageBox;
class QAction;
class QWidget;

class PicturePicker : public QObject {
  Q_OBJECT
public:
  using Closing = FilePicker::Closing;

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

  bool isOpen() const { return panel_->isOpen(); }
  DriveList *drives() const { return panel_->drives(); }
  DirList *folders() const { return panel_->folders(); }
  FileList *files() const { return panel_->files(); }

  // The events.
  void Image1_DblClick();
  void Drive1_Change() { panel_->Drive1_Change(); }
  void Dir1_Change() { panel_->Dir1_Change(); }
  void File1_Click();
  void File1_DblClick();
  void cmdDirCancel_Click() { panel_->cmdDirCancel_Click(); }
  void cmdDirHelp_Click() { panel_->cmdDirHelp_Click(); }

private:
  // Shows and records the selected file; false when none is selected. A file that is no
  // picture is refused with a FileError naming it: nothing shown or recorded changes.
  bool preview();

  const FileService &files_;
  ImageBox *image_;
  std::function<void(const QString &)> record_;
  EventRunner run_;
  FilePicker *panel_;
};
