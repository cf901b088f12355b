#pragma once
// The drive, folder and file list boxes of the file pickers (group pictures, import
// packages). Drive C: is the user's home folder, as everywhere in the program; the other
// drives are the file system's root and the mounted volumes.
//
// Each list moves as the user asks and tells its owner through its signals. A drive or
// folder that cannot be read is refused with a message naming it, and the list stays
// where it was. User events run inside the list's event runner, which reports what fails;
// a screen gives its own, so the message carries the screen's title.

#include <QComboBox>
#include <QListWidget>
#include <QString>
#include <QStringList>
#include <functional>

class FileService;

// Runs the work of one user event and reports what fails in it.
using EventRunner = std::function<void(const std::function<void()> &)>;
// The runner a list starts with: a FileError is shown in a stop box.
EventRunner reportFileErrors();

// Where a native path lies for the user: "C:\pictures\a.jpg" in the home folder, the
// native path elsewhere.
QString shownPath(const FileService &files, const QString &native);

// The drives: "C:" (the home folder), "/" (the root) and the mounted volumes, named by
// their folders; pseudo file systems (proc, sysfs, tmpfs, ...) are no drives.
class Drives {
public:
  explicit Drives(const FileService &files) : files_(files) {}
  QStringList names() const;
  // The folder at the top of a drive (native).
  QString root(const QString &drive) const;
  // The drive that holds a folder (native): C: for the home folder and below it, else the
  // volume with the longest root that holds it.
  QString driveOf(const QString &folder) const;

private:
  const FileService &files_;
};

class DriveList : public QComboBox {
  Q_OBJECT
public:
  explicit DriveList(const FileService &files, QWidget *parent = nullptr);

  void setEventRunner(EventRunner run) { run_ = std::move(run); }
  // Reads the drives again; the chosen one stays chosen while it is there.
  void refresh();
  // The chosen drive as listed: "C:", "/" or a volume's folder.
  const QString &drive() const { return drive_; }
  // Chooses a drive; refused with a FileError, the choice unchanged, when it cannot be
  // read. Emits changed() when the drive is another.
  void setDrive(const QString &drive);
  // Shows a drive as chosen without an event (the folder list went there by itself).
  void showDrive(const QString &drive);

signals:
  void changed();

private:
  void userChose(int index);

  Drives drives_;
  EventRunner run_;
  QString drive_;
};

class DirList : public QListWidget {
  Q_OBJECT
public:
  explicit DirList(const FileService &files, QWidget *parent = nullptr);

  void setEventRunner(EventRunner run) { run_ = std::move(run); }
  // The folder shown (native).
  const QString &path() const { return path_; }
  // The folder as the user sees it ("C:\pictures").
  QString shownPath() const;
  // The drive the list stands on ("C:", "/", a volume's folder).
  const QString &drive() const { return drive_; }
  // Moves to a folder: "C:", "C:\pictures" (drive C:) or a native path; a drive's own
  // folder puts the list on that drive. Refused with a FileError, the list unchanged,
  // when the folder cannot be read. Emits changed() when the folder is another.
  void setPath(const QString &path);
  // The same as a user's move: a failure is reported through the event runner.
  void goTo(const QString &path);
  // The folder of an entry (native), empty when there is no such entry.
  QString entryPath(int row) const;

signals:
  void changed();

protected:
  void mousePressEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;

private:
  // Moves to a readable folder on a drive, or throws and stays.
  void moveTo(const QString &folder, const QString &drive);
  void showFolder(const QString &folder, const QString &drive);
  void userMove(int row);
  void selectShownFolder();

  const FileService &files_;
  Drives drives_;
  EventRunner run_;
  QString path_;
  QString drive_;
  int shownRow_ = -1;
  int moves_ = 0;
  int movesAtPress_ = 0;
};

class FileList : public QListWidget {
  Q_OBJECT
public:
  FileList(const FileService &files, const QString &pattern, QWidget *parent = nullptr);

  // The files listed match this pattern (* and ?) without regard to case.
  const QString &pattern() const { return pattern_; }
  void setPattern(const QString &pattern);
  // The folder listed (native).
  const QString &path() const { return path_; }
  // Lists a folder; refused with a FileError, the list unchanged, when it cannot be read.
  void setPath(const QString &folder);
  // Reads the folder again.
  void refresh();
  // The selected file's name and full native path; empty when none is selected.
  QString fileName() const;
  QString filePath() const;

signals:
  // A file became the selected one (mouse or keyboard).
  void clicked();
  // A file double-clicked, or Enter on the selected file.
  void doubleClicked();

protected:
  void keyPressEvent(QKeyEvent *event) override;

private:
  void fill(const QString &folder);

  const FileService &files_;
  QString pattern_;
  QString path_;
};
