#pragma once
// A fresh installation for a test or a scenario: a program folder made from the delivered
// files in a temporary directory, a temporary home folder as drive C:, a Program running
// in process with scripted message boxes, and actions that drive its screens as a user
// would. Actions return an empty text on success, else what went wrong.

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "framework/Program.h"
#include "platform/MsgBox.h"

namespace store {
class Database;
}
class Screen;
class QWidget;
class QAction;

class Installation {
public:
  // copyDelivered: lay out the delivered program folder (false: an empty folder).
  explicit Installation(bool copyDelivered = true);
  ~Installation();

  Program &program() { return *program_; }
  OBXGlobals &g() { return program_->g; }
  msgbox::Script &messages() { return messages_; }
  const QString &folder() const { return folder_; }
  const QString &home() const { return home_; }
  QString file(const QString &relative) const { return folder_ + '/' + relative; }
  // Native path of a path text: "\Export\obxexpor.mdb" (program folder) or "C:\OBXImpExp";
  // ".." climbs out of the folder before it ("\..\stray.txt" lies beside the program folder).
  QString native(const QString &text) const;

  // Trusted SQL on a database of the program folder (default: the tip database).
  void sql(const QString &statement, const QString &database = QString()) const;
  QList<QStringList> rows(const QString &query, const QString &database = QString()) const;
  // Stores user details so the program starts on its main screen.
  void setUserDetails(const QString &first = QStringLiteral("Ann")) const;

  // Starts the program: its first screen is loaded and shown.
  void start();
  // From now on each start offers the tip of the day, as the real program's does.
  void offerTipOfTheDay();
  // Ends this program (no unload steps run) and starts a new one on the same folders.
  void restart();
  Screen *active() const;
  QString activeName() const;
  QWidget *findControl(const QString &name, QString *error = nullptr) const;
  QAction *findMenuItem(const QString &name, QString *error = nullptr) const;

  QString click(const QString &name);
  QString triggerMenu(const QString &name);
  // An entry of a combo box, or one click on an entry of a list (the drive, folder and
  // file lists); the folder list also takes a whole path ("C:\pictures") and moves there.
  QString choose(const QString &comboName, const QString &entryText);
  QString chooseIndex(const QString &comboName, int index);
  // A double-click on a control, or on an entry of a list when entryText is given.
  QString doubleClick(const QString &name, const QString &entryText = QString());
  // Types characters: ASCII through real key events, so the key filters apply; any other
  // text as an input method would commit it.
  QString type(const QString &controlName, const QString &text);
  // The shown text of a control (label, button, text box, combo box's current entry, the
  // folder list's folder, a list's selected entry).
  QString text(const QString &controlName, QString *error = nullptr) const;
  // The entries of a combo box or a list, in order.
  QStringList entries(const QString &controlName, QString *error = nullptr) const;
  // Lets deferred deletions and posted events run; on a real display, also waits until
  // the window manager has framed and placed the active window.
  void settle();

  bool ended() const { return ended_; }

private:
  std::shared_ptr<store::Database> open(const QString &database) const;
  void makeProgram();
  bool offersTipOfTheDay_ = false;

  QTemporaryDir dir_;
  QString folder_;
  QString home_;
  msgbox::Script messages_;
  std::unique_ptr<Program> program_;
  bool ended_ = false;
};

// Copies the delivered program folder (the build's) into target.
void copyDeliveredProgramFolder(const QString &target);
