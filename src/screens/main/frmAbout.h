#pragma once
// The About box: the program's title and version, and a way to the computer's system
// information viewer. Unlike the other screens it is hidden, not unloaded, when it closes,
// and every later About command shows the same box again.

#include "framework/Screen.h"
#include "platform/SystemInfo.h"

class QPushButton;

class frmAbout : public Screen {
  Q_OBJECT
public:
  explicit frmAbout(Program &program);

  // The title of the program, as the About box and its message show it.
  static const QString &programTitle();
  // "Version 0.31 BETA   Build 200" for the numbers 0, 31 and 200.
  static QString versionText(int major, int minor, int revision);

  void Form_Load() override;
  void cmdOK_Click();
  void cmdSysInfo_Click();

  // Starts the system information viewer, or says that there is none.
  void StartSysInfo();
  // Tests replace where the viewer is looked for and how it is started.
  void setSystemInfo(SystemInfoServices services) { sysInfo_ = std::move(services); }

protected:
  void keyPressEvent(QKeyEvent *event) override;
  void closeEvent(QCloseEvent *event) override;

private:
  // True when a viewer was started.
  bool startSystemInfoViewer();

  QPushButton *cmdOK;
  QPushButton *cmdSysInfo;
  SystemInfoServices sysInfo_;
};
