#include "screens/main/frmAbout.h"

#include "framework/Program.h"
#include "framework/ScreenNames.h"
#include "framework/Screens.h"
#include "platform/MsgBox.h"
#include "startup/ProgramVersion.h"
#include "widgets/ImageBox.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace {

// Where the system information viewer is recorded: its program, or the folder it lives in.
const QString kViewerKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kViewerValue = QStringLiteral("PATH");
const QString kViewerFolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kViewerFolderValue = QStringLiteral("MSINFO");
const QString kViewerInFolder = QStringLiteral("\\MSINFO32.EXE");

// The program's icon: the light bulb of its logo on the logo's blue.
QPixmap programIcon() {
  QPixmap pixmap(96, 96);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 96);
  sky.setColorAt(0, QColor(0x1f, 0x4e, 0x79));
  sky.setColorAt(1, QColor(0x2e, 0x75, 0xb6));
  p.setPen(Qt::NoPen);
  p.setBrush(sky);
  p.drawRoundedRect(QRectF(2, 2, 92, 92), 16, 16);
  p.setBrush(QColor(0xff, 0xd9, 0x66));
  p.drawEllipse(QRectF(22, 12, 52, 52));
  p.setBrush(QColor(0xd9, 0xd9, 0xd9));
  p.drawRect(QRectF(36, 60, 24, 18));
  p.setPen(QPen(QColor(0x8c, 0x8c, 0x8c), 2));
  p.drawLine(QPointF(36, 66), QPointF(60, 66));
  p.drawLine(QPointF(36, 72), QPointF(60, 72));
  return pixmap;
}

} // namespace

const QString &frmAbout::programTitle() {
  static const QString title = QStringLiteral("Ombrix Tips");
  return title;
}

QString frmAbout::versionText(int major, int minor, int revision) {
  return QStringLiteral("Version %1.%2 BETA   Build %3").arg(major).arg(minor).arg(revision);
}

frmAbout::frmAbout(Program &program)
    : Screen(program, screen::frmAbout, 5730, 3030, false), sysInfo_(platformSystemInfo()) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  ImageBox *icon = addImage("picIcon", 240, 240, 720, 720);
  icon->setPicture(programIcon());
  setWindowIcon(programIcon());

  QLabel *title = addLabel("lblTitle", QStringLiteral("Application Title"), 1200, 240, 4290, 480);
  QFont big = title->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.6);
  title->setFont(big);
  addLabel("lblVersion", QStringLiteral("BETA Version"), 1200, 780, 4290, 300);
  addLabel("lblDescription",
           QStringLiteral("Keeps your tips in groups and shares them with others."), 240, 1200,
           5370, 300);

  // Two lines side by side, dark over light: the engraved rule of a desktop About box.
  QFrame *dark = place(new QFrame, "Line1", 120, 1740, 5490, 15);
  QFrame *light = place(new QFrame, "Line2", 120, 1755, 5490, 15);
  dark->setStyleSheet(QStringLiteral("background-color: #a0a0a0;"));
  light->setStyleSheet(QStringLiteral("background-color: #ffffff;"));

  cmdOK = addButton("cmdOK", QStringLiteral("OK"), QString(), 4245, 1980, 1365, 420);
  cmdSysInfo =
      addButton("cmdSysInfo", QStringLiteral("&System Info..."), QString(), 4245, 2490, 1365, 420);
  // Enter presses the button that has the focus, OK when none has.
  cmdOK->setDefault(true);
  cmdOK->setAutoDefault(true);
  cmdSysInfo->setAutoDefault(true);
  onClick(cmdOK, &frmAbout::cmdOK_Click);
  onClick(cmdSysInfo, &frmAbout::cmdSysInfo_Click);
  setFixedSize(size());
}

void frmAbout::Form_Load() {
  setWindowTitle(QStringLiteral("About Ombrix Tips database program"));
  findChild<QLabel *>(QStringLiteral("lblVersion"))
      ->setText(versionText(version::kMajor, version::kMinor, version::kRevision));
  findChild<QLabel *>(QStringLiteral("lblTitle"))->setText(programTitle());
  // Its own place, the middle of the screen: it takes no shared geometry.
  if (const QScreen *screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  cmdOK->setFocus();
}

void frmAbout::cmdOK_Click() {
  // The About box stays loaded, hidden, for its next opening.
  program().screens().open(screen::frmOmbrixShow);
  hide();
}

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo() {
  bool started = false;
  try {
    started = startSystemInfoViewer();
  } catch (const std::exception &) {
    started = false; // whatever went wrong, the reader is told the viewer is unavailable
  }
  if (!started)
    MsgBox(QStringLiteral("System Information Is Unavailable At This Time"), msgbox::vbOKOnly,
           programTitle());
}

bool frmAbout::startSystemInfoViewer() {
  QString value;
  if (sysInfo_.registry->GetKeyValue(HKEY_LOCAL_MACHINE, kViewerKey, kViewerValue, value))
    return sysInfo_.start(program().native(value));
  if (sysInfo_.registry->GetKeyValue(HKEY_LOCAL_MACHINE, kViewerFolderKey, kViewerFolderValue,
                                     value)) {
    const QString viewer = value + kViewerInFolder;
    if (program().files().fileExists(viewer))
      return sysInfo_.start(program().native(viewer));
  }
  // Where the registry names no viewer, this platform's own system information program.
  const QString own = sysInfo_.findViewer();
  return !own.isEmpty() && sysInfo_.start(own);
}

void frmAbout::keyPressEvent(QKeyEvent *event) {
  switch (event->key()) {
  case Qt::Key_Escape:
  case Qt::Key_Return:
  case Qt::Key_Enter:
    // Reached only when no button took the key: OK is the default and the cancel button.
    cmdOK->click();
    event->accept();
    return;
  default:
    Screen::keyPressEvent(event);
  }
}

void frmAbout::closeEvent(QCloseEvent *event) {
  if (isUnloaded()) {
    Screen::closeEvent(event); // the end of the program
    return;
  }
  // Closed from its window frame: back to the main screen as with OK, so the program is
  // never left running without a window.
  event->ignore();
  cmdOK->click();
}
