#pragma once
// The program's links to its help: set up, open a topic by its number, open the contents,
// close the viewer. Every screen's load sets up the help with its window, its Help buttons
// open its topic and its unload closes the viewer, so a help window never outlives the
// screen it explains (File, Exit ends the program without unloading, and says nothing).
//
// The help file is OMBRIXTIPS.HLP in the program folder; the viewer is the platform's.

#include <QString>
#include <memory>
#include <vector>

struct OBXGlobals;
class FileService;
class HelpViewer;
class QWidget;

class ContextIDs {
public:
  // The topic of each screen in the help file.
  static constexpr int kUserDetails = 10;
  static constexpr int kAddGroup = 20;  // and its picture picker
  static constexpr int kEditGroup = 40; // both steps and the picture picker
  static constexpr int kDeleteGroup = 60;
  static constexpr int kAddSubject = 70;
  static constexpr int kEditSubject = 90;
  static constexpr int kDeleteSubject = 110;
  static constexpr int kExport = 200;
  static constexpr int kImport = 300;       // both steps and the package picker
  static constexpr int kSaveDocument = 500; // and its folder picker

  // The commands sent to the viewer.
  enum Command { kContext = 1, kQuit = 2, kContents = 11 };
  struct Call {
    int command;
    int data;
  };

  ContextIDs(OBXGlobals &globals, const FileService &files, QString programFolder);
  ~ContextIDs();
  ContextIDs(const ContextIDs &) = delete;
  ContextIDs &operator=(const ContextIDs &) = delete;

  // The help file's path for a program folder: "\OMBRIXTIPS.HLP" after it, or only the
  // name when the folder already ends in a separator (a drive's root).
  static QString helpFilePath(const QString &programFolder);

  // Remembers the window the help belongs to, and the help file's path.
  void HelpInit(QWidget *owner);
  // Shows the topic of that number (an unknown number shows the contents).
  void HelpContext(int topic);
  void HelpContents();
  // Closes the viewer, if it is open.
  void HelpQuit();

  const QString &helpFile() const { return helpFile_; }
  // Every command sent to the viewer, in order.
  const std::vector<Call> &calls() const { return calls_; }
  // The help window, once it has been opened.
  HelpViewer *viewer() const { return viewer_.get(); }

private:
  void send(int command, int data);

  OBXGlobals &globals_;
  const FileService &files_;
  QString programFolder_;
  QString helpFile_;
  std::unique_ptr<HelpViewer> viewer_;
  std::vector<Call> calls_;
};
