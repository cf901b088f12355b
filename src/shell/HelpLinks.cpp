#include "shell/HelpLinks.h"

#include "platform/FileService.h"
#include "shell/OBXGlobals.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

HelpLinks::HelpLinks(OBXGlobals &globals, const FileService &files, QString programFolder)
    : globals_(globals), files_(files), programFolder_(std::move(programFolder)) {}

HelpLinks::~HelpLinks() { delete viewer_; }

QString HelpLinks::helpFilePath(const QString &programFolder) {
  const QString trimmed = programFolder.trimmed();
  if (trimmed.endsWith(QLatin1Char('\\')) || trimmed.endsWith(QLatin1Char('/')))
    return programFolder + QStringLiteral("OMBRIXTIPS.HLP");
  return programFolder + QStringLiteral("\\OMBRIXTIPS.HLP");
}

void HelpLinks::HelpInit(QWidget *owner) {
  globals_.gHelpHwnd = owner ? static_cast<quintptr>(owner->winId()) : 0;
  helpFile_ = helpFilePath(programFolder_);
}

void HelpLinks::HelpContext(int topic) { send(kContext, topic); }
void HelpLinks::HelpContents() { send(kContents, 0); }
void HelpLinks::HelpQuit() { send(kQuit, 0); }

QWidget *HelpLinks::viewer() const { return viewer_; }

void HelpLinks::send(int command, int data) {
  calls_.push_back({command, data});
  if (command == kQuit) {
    if (viewer_)
      viewer_->close();
    return;
  }
  if (!viewer_) {
    viewer_ = new QTextBrowser;
    viewer_->setAttribute(Qt::WA_DeleteOnClose);
    viewer_->setWindowTitle(QStringLiteral("Ombrix Tips Help"));
    viewer_->resize(560, 480);
  }
  QUrl url = QUrl::fromLocalFile(files_.nativePath(helpFile_));
  // The help file is HTML with one anchor per topic number.
  url.setFragment(command == kContext ? QString::number(data) : QStringLiteral("contents"));
  viewer_->setSource(url, QTextDocument::HtmlResource);
  viewer_->show();
  viewer_->raise();
}
