#include "framework/Program.h"

#include "framework/ContextIDs.h"
#include "framework/ErrorReport.h"
#include "framework/Screen.h"
#include "framework/ScreenNames.h"
#include "framework/Screens.h"
#include "platform/MsgBox.h"
#include "platform/components/ComponentService.h"
#include "startup/StartChecks.h"

#include <QCoreApplication>

Program::Program(const ScreenCatalogue &screens, QString programFolder, QString homeFolder)
    : Program(screens, programFolder, programFolder, programFolder, std::move(homeFolder)) {}

Program::Program(const ScreenCatalogue &screens, QString dataFolder, QString componentFolder,
                 QString helpFolder, QString homeFolder)
    : catalogue_(screens), appPath_(std::move(dataFolder)), files_(std::move(homeFolder)),
      paths_(appPath_, files_),
      components_(std::make_unique<ComponentService>(std::move(componentFolder))),
      help_(std::make_unique<ContextIDs>(g, files_, std::move(helpFolder))),
      screens_(std::make_unique<Screens>(*this)),
      boxOwner_([this]() -> QWidget * { return screens_ ? screens_->active() : nullptr; }) {}

Program::~Program() {
  // Screens go before the services they use.
  screens_->discardAll();
  screens_.reset();
  lock_.reset();
}

bool Program::start() {
  // Said before any screen, so that the user types nothing that could not be kept.
  const QString folder = files_.nativePath(appPath_);
  QString refusal = readOnlyDataMessage(folder, paths_.tipDatabase());
  if (refusal.isEmpty()) {
    if (!lock_)
      lock_ = std::make_unique<InstanceLock>(folder);
    if (!lock_->acquire())
      refusal = lock_->message();
  }
  if (!refusal.isEmpty()) {
    MsgBox(refusal, msgbox::vbCritical, QStringLiteral("Ombrix Tips"));
    endProgram();
    return false;
  }
  removeInterruptedWrites({paths_.imagesFolder(), paths_.tempFolder()});
  const bool started = runReportingErrors(QStringLiteral("Ombrix Tips"),
                                          [this] { screens_->open(screen::frmOmbrixShow); });
  if (!started || screens_->loaded().empty()) {
    // Without its tip database the program cannot show anything.
    endProgram();
    return false;
  }
  return true;
}

void Program::endProgram() {
  ended_ = true;
  screens_->discardAll();
  if (endHandler_)
    endHandler_();
  else
    QCoreApplication::exit(0);
}
