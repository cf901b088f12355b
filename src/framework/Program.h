#pragma once
// One running program: its folder, its program-wide values, its screens and services.
// Nothing of it lives in static storage, so a test can start a fresh program in process.

#include <QString>
#include <functional>
#include <memory>

#include "framework/OBXGlobals.h"
#include "platform/MsgBox.h"
#include "platform/files/FileService.h"
#include "tips/Clock.h"
#include "tips/ProgramPaths.h"

class Screens;
class ScreenCatalogue;
class ContextIDs;
class ComponentService;
class InstanceLock;

class Program {
public:
  // screens: the screens it loads by name. programFolder: a folder holding everything (the
  // executable's, a test's); homeFolder: drive C:.
  Program(const ScreenCatalogue &screens, QString programFolder, QString homeFolder);
  // An installed program: dataFolder holds every data path (tip database, template,
  // pictures, working folders), componentFolder the component registry beside the resizing
  // library, helpFolder the help file.
  Program(const ScreenCatalogue &screens, QString dataFolder, QString componentFolder,
          QString helpFolder, QString homeFolder);
  ~Program();
  Program(const Program &) = delete;
  Program &operator=(const Program &) = delete;

  OBXGlobals g;

  // The program folder, in the form the path texts are appended to.
  const QString &appPath() const { return appPath_; }
  // Native path of a path text ("C:\OBXImpExp", appPath() + "\images\0.jpg").
  QString native(const QString &text) const { return files_.nativePath(text); }

  // Where each file of the program folder lives.
  const tips::ProgramPaths &paths() const { return paths_; }
  // Today, for every write that dates a row; tests set the day.
  tips::Clock &clock() { return clock_; }
  FileService &files() { return files_; }
  Screens &screens() { return *screens_; }
  const ScreenCatalogue &catalogue() const { return catalogue_; }
  // The help links (ContextIDs): HelpInit, HelpContext, HelpContents, HelpQuit.
  ContextIDs &help() { return *help_; }
  ComponentService &components() { return *components_; }

  // Opens the first screen. When the program may not run on its folder (the folder or the
  // tip database is read-only, another program runs on it) or the screen cannot be opened
  // (no readable tip database), says why and ends the program; returns false then. The
  // folder stays this program's until it is destroyed.
  bool start();

  // File, Exit: ends the program at once; no screen runs its unload steps.
  void endProgram();
  bool ended() const { return ended_; }
  // Tests replace what ending does (by default: leave the event loop).
  void setEndHandler(std::function<void()> handler) { endHandler_ = std::move(handler); }

private:
  const ScreenCatalogue &catalogue_;
  QString appPath_;
  FileService files_;
  tips::ProgramPaths paths_;
  tips::Clock clock_;
  std::unique_ptr<ComponentService> components_;
  std::unique_ptr<ContextIDs> help_;
  std::unique_ptr<Screens> screens_;
  // Message boxes belong to the screen in front when no window is active.
  msgbox::Owner boxOwner_;
  std::unique_ptr<InstanceLock> lock_;
  std::function<void()> endHandler_;
  bool ended_ = false;
};
