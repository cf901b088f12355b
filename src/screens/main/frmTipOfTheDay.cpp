#include "screens/main/frmTipOfTheDay.h"

#include "framework/HelpLinks.h"
#include "framework/Program.h"
#include "framework/ScreenNames.h"
#include "framework/Screens.h"
#include "framework/TipOnMainScreen.h"
#include "platform/MsgBox.h"
#include "widgets/DescriptionBox.h"
#include "widgets/ImageBox.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kHelpTopic = 410;

} // namespace

frmTipOfTheDay::frmTipOfTheDay(Program &program)
    : Screen(program, screen::frmTipOfTheDay, 6420, 4560),
      rows_(program.paths().tipDatabase(), program.clock(), nullptr),
      order_(program.paths().tipOfTheDay(), rows_) {
  setWindowTitle(QStringLiteral("Tip of the Day"));
  Image1 = addImage("imgTipPicture", 120, 120, 975, 1100);
  Image1->setToolTip(QStringLiteral("The Picture of the Tip's Group"));
  addLabel("lblTipGroupCaption", QStringLiteral("Tip Group"), 1300, 120, 4900, 200);
  lblGroupName = addLabel("lblTipGroupName", QString(), 1300, 340, 4900, 300);
  addLabel("lblTipSubjectCaption", QStringLiteral("Tip Subject"), 1300, 720, 4900, 200);
  lblSubjectName = addLabel("lblTipSubjectName", QString(), 1300, 940, 4900, 300);
  for (QLabel *name : {lblGroupName, lblSubjectName}) {
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    name->setTextInteractionFlags(Qt::TextSelectableByMouse);
  }
  addLabel("lblTipDescriptionCaption", QStringLiteral("Tip Description"), 120, 1340, 2000, 200);
  txtDescription = place(new DescriptionBox, "txtTipDescription", 120, 1540, 6180, 2200);
  txtDescription->setReadOnly(true);
  chkShowAtStart = place(new QCheckBox(QStringLiteral("Show tips at &start")), "chkShowAtStart",
                         120, 3840, 3000, 250);
  chkShowAtStart->setToolTip(QStringLiteral("Show a Tip Each Time Ombrix Tips Starts"));
  cmdPreviousTip =
      addButton("cmdPreviousTip", QStringLiteral("&Previous Tip"),
                QStringLiteral("Click here to see the Tip Shown Before"), 120, 4140, 1300, 372);
  cmdNextTip = addButton("cmdNextTip", QStringLiteral("&Next Tip"),
                         QStringLiteral("Click here to see Another Tip"), 1500, 4140, 1300, 372);
  cmdShowInMain = addButton("cmdShowInMain", QStringLiteral("Show in &Main Screen"),
                            QStringLiteral("Click here to see this Tip on the Main Screen"), 2880,
                            4140, 2000, 372);
  cmdClose = addButton("cmdClose", QStringLiteral("&Close"),
                       QStringLiteral("Click here to Close this Window"), 5000, 4140, 1300, 372);

  onClick(cmdNextTip, &frmTipOfTheDay::cmdNextTip_Click);
  onClick(cmdPreviousTip, &frmTipOfTheDay::cmdPreviousTip_Click);
  onClick(cmdShowInMain, &frmTipOfTheDay::cmdShowInMain_Click);
  onClick(chkShowAtStart, &frmTipOfTheDay::chkShowAtStart_Click);
  onClick(cmdClose, &frmTipOfTheDay::cmdClose_Click);
}

frmTipOfTheDay::~frmTipOfTheDay() = default;

void frmTipOfTheDay::Form_Load() { chkShowAtStart->setChecked(order_.showAtStart()); }

void frmTipOfTheDay::Form_Activate() {
  showTip(order_.next());
  cmdNextTip->setFocus();
}

void frmTipOfTheDay::Form_Unload() { rows_.close(); }

void frmTipOfTheDay::showTip(std::optional<tips::TipHeading> tip) {
  shown_ = std::move(tip);
  const bool any = shown_.has_value();
  cmdNextTip->setEnabled(any);
  cmdShowInMain->setEnabled(any);
  cmdPreviousTip->setEnabled(any && order_.hasPrevious());
  if (!any) {
    Image1->loadPicture(program().paths().placeholderPicture());
    lblGroupName->clear();
    lblSubjectName->setText(QStringLiteral("There are no tips yet."));
    txtDescription->clear();
    cmdClose->setFocus();
    return;
  }
  Image1->loadPictureOr(program().paths().groupPicture(shown_->groupId),
                        program().paths().placeholderPicture());
  lblGroupName->setText(shown_->groupName);
  lblSubjectName->setText(shown_->subject);
  lblSubjectName->setToolTip(shown_->subject);
  const qint32 key = shown_->tipId;
  txtDescription->setDescription(
      [this, key](const TextPieces &take) { rows_.readDescription(key, take); });
}

void frmTipOfTheDay::cmdNextTip_Click() { showTip(order_.next()); }

void frmTipOfTheDay::cmdPreviousTip_Click() {
  if (std::optional<tips::TipHeading> tip = order_.previous())
    showTip(std::move(tip));
  else
    cmdPreviousTip->setEnabled(false); // the tips before it were deleted since
  if (!cmdPreviousTip->isEnabled())
    cmdNextTip->setFocus();
}

void frmTipOfTheDay::cmdShowInMain_Click() {
  if (!shown_)
    return;
  if (!askMainScreenToShow(g(), rows_, shown_->groupId, shown_->tipId)) {
    // Deleted since it was shown (another program): the next tip takes its place.
    showTip(order_.next());
    return;
  }
  QWidget *owner = parentWidget();
  program().screens().unload(this);
  if (auto *main = qobject_cast<Screen *>(owner))
    program().screens().show(main);
}

void frmTipOfTheDay::chkShowAtStart_Click() {
  if (!order_.setShowAtStart(chkShowAtStart->isChecked()))
    MsgBox(QStringLiteral("Your choice could not be saved in \"%1\"; it holds for this session "
                          "only.")
               .arg(program().paths().tipOfTheDay()),
           msgbox::vbExclamation + msgbox::vbOKOnly, QStringLiteral("Tip of the Day"));
}

void frmTipOfTheDay::cmdClose_Click() { program().screens().unload(this); }

void frmTipOfTheDay::showHelp() { program().help().HelpContext(kHelpTopic); }

void frmTipOfTheDay::keyPressEvent(QKeyEvent *event) {
  if (event->key() == Qt::Key_Escape && (event->modifiers() & ~Qt::KeypadModifier) == 0) {
    event->accept();
    cmdClose->click();
    return;
  }
  Screen::keyPressEvent(event);
}
