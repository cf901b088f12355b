#include "framework/ContextIDs.h"

#include "framework/OBXGlobals.h"
#include "platform/HelpViewer.h"
#include "platform/files/FileService.h"
#include "tips/ProgramPaths.h"

#include <QWidget>

ContextIDs::ContextIDs(OBXGlobals &globals, const FileService &files, QString programFolder)
    : globals_(globals), files_(files), programFolder_(std::move(programFolder)),
      helpFile_(helpFilePath(programFolder_)) {}

ContextIDs::~ContextIDs() = default;

QString ContextIDs::helpFilePath(const QString &programFolder) {
  // Only the name after a root ("C:\"), so the path never holds a doubled separator.
  const QString name = QString::fromLatin1(tips::relative::kHelpFile).mid(1);
  const QString trimmed = programFolder.trimmed();
  if (trimmed.endsWith(QLatin1Char('\\')) || trimmed.endsWith(QLatin1Char('/')))
    return programFolder + name;
  return programFolder + QLatin1Char('\\') + name;
}

void ContextIDs::HelpInit(QWidget *owner) {
  globals_.gHelpHwnd = owner ? static_cast<quintptr>(owner->winId()) : 0;
  helpFile_ = helpFilePath(programFolder_);
}

void ContextIDs::HelpContext(int topic) { send(kContext, topic); }
void ContextIDs::HelpContents() { send(kContents, 0); }
void ContextIDs::HelpQuit() { send(kQuit, 0); }

void ContextIDs::send(int command, int data) {
  calls_.push_back({command, data});
  // Closing a viewer that was never opened needs no window.
  if (command == kQuit && !viewer_)
    return;
  if (!viewer_)
    viewer_ = std::make_unique<HelpViewer>();
  // What the viewer answers changes nothing here: a help file it cannot read, it says so
  // in its own window.
  viewer_->WinHelp(globals_.gHelpHwnd, files_.nativePath(helpFile_), command, data);
}
