#include "widgets/FilePicker.h"

#include "platform/Twips.h"
#include "platform/files/FileService.h"
#include "widgets/ListPlace.h"

#include <QAction>
#include <QEvent>
#include <QPushButton>

namespace {

// Designed places in twips; the tops are those of the open panel.
constexpr int kLeft = 4920;
constexpr int kButtonTop = 480;
constexpr int kDriveTop = 800;
constexpr int kDirTop = 1160;
// Where the closed panel waits, below the client area.
constexpr int kClosedTop = 8000;

void setTop(QWidget *widget, int top) { widget->move(widget->x(), twips::toPixels(top)); }

} // namespace

FilePicker::FilePicker(QWidget *clientArea, const FileService &files, Setup setup)
    : QObject(clientArea), client_(clientArea), setup_(std::move(setup)) {
  using listPlace::placeNamed;
  cmdDirHelp = placeNamed(clientArea, new QPushButton(QStringLiteral("Help")), "cmdDirHelp", kLeft,
                          kClosedTop, 1140, 260);
  cmdDirCancel = placeNamed(clientArea, new QPushButton(QStringLiteral("Cancel")), "cmdDirCancel",
                            kLeft + 1140, kClosedTop, 1140, 260);
  Drive1 = placeNamed(clientArea, new DriveList(files), "Drive1", kLeft, kClosedTop, 2292, 288);
  Dir1 = placeNamed(clientArea, new DirList(files), "Dir1", kLeft, kClosedTop, 2292, 1368);
  File1 = placeNamed(clientArea, new FileList(files, setup_.pattern), "File1", kLeft, kClosedTop,
                     2292, 1992);
  // The lists have no label beside them: they are named for assistive technology by what
  // they list.
  Drive1->setAccessibleName(QStringLiteral("Drives"));
  Dir1->setAccessibleName(QStringLiteral("Folders"));
  File1->setAccessibleName(QStringLiteral("Files"));
  if (!setup_.helpToolTip.isEmpty())
    cmdDirHelp->setToolTip(setup_.helpToolTip);
  if (!setup_.cancelToolTip.isEmpty())
    cmdDirCancel->setToolTip(setup_.cancelToolTip);
  for (QWidget *control :
       std::initializer_list<QWidget *>{cmdDirHelp, cmdDirCancel, Drive1, Dir1, File1})
    control->setVisible(false);
  // The lists start where the screen asks, else where the platform puts them: the folder
  // list's folder.
  try {
    if (!setup_.startFolder.isEmpty())
      Dir1->setPath(setup_.startFolder);
  } catch (const FileError &) {
    // A start that cannot be read leaves the lists where the platform put them.
  }
  try {
    File1->setPath(Dir1->path());
  } catch (const FileError &) {
    // An unreadable starting folder leaves the file list empty until the user moves.
  }
  Drive1->showDrive(Dir1->drive());

  if (!setup_.run)
    setup_.run = reportFileErrors();
  Drive1->setEventRunner(setup_.run);
  Dir1->setEventRunner(setup_.run);

  connect(Drive1, &DriveList::changed, this, [this] { run([this] { Drive1_Change(); }); });
  connect(Dir1, &DirList::changed, this, [this] { run([this] { Dir1_Change(); }); });
  connect(File1, &FileList::clicked, this, [this] {
    if (setup_.fileClicked)
      run(setup_.fileClicked);
  });
  connect(File1, &FileList::doubleClicked, this, [this] {
    if (setup_.fileDoubleClicked)
      run(setup_.fileDoubleClicked);
  });
  connect(cmdDirCancel, &QPushButton::clicked, this,
          [this] { run([this] { cmdDirCancel_Click(); }); });
  connect(cmdDirHelp, &QPushButton::clicked, this, [this] { run([this] { cmdDirHelp_Click(); }); });
  client_->installEventFilter(this);
}

void FilePicker::run(const std::function<void()> &handler) { setup_.run(handler); }

void FilePicker::setTops(bool open) {
  setTop(cmdDirHelp, open ? kButtonTop : kClosedTop);
  setTop(cmdDirCancel, open ? kButtonTop : kClosedTop);
  setTop(Drive1, open ? kDriveTop : kClosedTop);
  setTop(Dir1, open ? kDirTop : kClosedTop);
  setTop(File1, open ? setup_.fileTop : kClosedTop);
}

bool FilePicker::eventFilter(QObject *watched, QEvent *event) {
  // The resizing control lays the controls out from where they stood when it started,
  // which puts the panel's tops below the client area; an open panel keeps its own.
  if (watched == client_ && event->type() == QEvent::Resize && open_)
    QMetaObject::invokeMethod(
        this, [this] { setTops(open_); }, Qt::QueuedConnection);
  return QObject::eventFilter(watched, event);
}

void FilePicker::open() {
  // Files may have come or gone since the list was read (a package copied in).
  File1->refresh();
  setTops(true);
  for (QWidget *control :
       std::initializer_list<QWidget *>{Drive1, Dir1, File1, cmdDirHelp, cmdDirCancel}) {
    control->setVisible(true);
    control->raise();
  }
  if (setup_.help)
    setup_.help->setVisible(false);
  if (setup_.exit)
    setup_.exit->setVisible(false);
  for (QWidget *locked : setup_.lockedWhileOpen)
    locked->setEnabled(false);
  if (setup_.exitItem)
    setup_.exitItem->setEnabled(false);
  open_ = true;
}

void FilePicker::close(Closing how) {
  setTops(false);
  for (QWidget *control :
       std::initializer_list<QWidget *>{Drive1, Dir1, File1, cmdDirHelp, cmdDirCancel})
    control->setVisible(false);
  if (setup_.help)
    setup_.help->setVisible(true);
  if (setup_.exit)
    setup_.exit->setVisible(true);
  open_ = false;
  for (QWidget *locked : setup_.lockedWhileOpen)
    locked->setEnabled(true);
  if (how == Closing::Cancel)
    for (QWidget *control : setup_.enabledOnCancel)
      control->setEnabled(true);
  if (setup_.exitItem)
    setup_.exitItem->setEnabled(true);
  if (how == Closing::Choice && setup_.focusAfterChoice)
    setup_.focusAfterChoice->setFocus();
}

void FilePicker::Drive1_Change() {
  try {
    Dir1->setPath(Drive1->drive());
  } catch (...) {
    Drive1->showDrive(Dir1->drive());
    throw;
  }
}

void FilePicker::Dir1_Change() {
  Drive1->showDrive(Dir1->drive());
  File1->setPath(Dir1->path());
  if (setup_.folderChanged)
    setup_.folderChanged();
}

void FilePicker::cmdDirCancel_Click() {
  close(Closing::Cancel);
  if (setup_.cancelled)
    setup_.cancelled();
}

void FilePicker::cmdDirHelp_Click() {
  if (setup_.showHelp)
    setup_.showHelp();
}
