#include "screens/main/frmSaveDocument.h"

#include "document/PictureFolder.h"
#include "exchange/SafeFileName.h"
#include "framework/ErrorReport.h"
#include "framework/OBXGlobals.h"
#include "framework/Program.h"
#include "framework/ScreenNames.h"
#include "platform/MsgBox.h"
#include "tips/ProgramPaths.h"
#include "tips/WorkProgress.h"
#include "widgets/FilePicker.h"
#include "widgets/ListPlace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kFormatTop = 2000;
constexpr int kFolderTop = 2600;
constexpr int kNameTop = 3200;
constexpr int kSaveTop = 3620;

const QString &allGroupsName() {
  static const QString name = QStringLiteral("Ombrix Tips");
  return name;
}

} // namespace

const QStringList &frmSaveDocument::formatCaptions() {
  static const QStringList captions = {QStringLiteral("HTML document (*.html)"),
                                       QStringLiteral("Markdown (*.md)"),
                                       QStringLiteral("PDF document (*.pdf)")};
  return captions;
}

frmSaveDocument::frmSaveDocument(Program &program)
    : MaintenanceScreen(program, screen::frmSaveDocument, "lblSaveDocument") {
  using namespace listPlace;
  addGroupList(QStringLiteral("The Tip Group to Save"),
               QStringLiteral("The Picture of the Chosen Group"));
  chkAllGroups = place(new QCheckBox(QStringLiteral("&All Groups")), "chkAllGroups", 1700,
                       kGroupTop - 250, 1400, 250);
  chkAllGroups->setToolTip(QStringLiteral("Save Every Group, Or Only the Group Chosen Below"));
  chkAllGroups->setChecked(true);
  addLabel("lblTipGroup", QStringLiteral("Tip &Group"), kLeft, kGroupTop - 200, 1332, 200);
  addLabel("lblFormat", QStringLiteral("Document &Format"), kLeft, kFormatTop - 200, 2000, 200);
  cboFormat = place(new QComboBox, "cboFormat", kLeft, kFormatTop, kGroupWidth, kBoxHeight);
  cboFormat->addItems(formatCaptions());
  cboFormat->setToolTip(QStringLiteral("The Kind of Document"));
  cboFormat->setAccessibleName(QStringLiteral("Document Format"));
  addLabel("lblFolder", QStringLiteral("Save In Folder"), kLeft, kFolderTop - 200, 2000, 200);
  lblFolderName = addLabel("lblFolderName", QString(), kLeft, kFolderTop, 4700, 288);
  lblFolderName->setFrameShape(QFrame::StyledPanel);
  lblFolderName->setToolTip(QStringLiteral("The Folder the Document Is Saved In"));
  addLabel("lblFileName", QStringLiteral("File &Name"), kLeft, kNameTop - 200, 2000, 200);
  txtFileName = place(new QLineEdit, "txtFileName", kLeft, kNameTop, kGroupWidth, kBoxHeight);
  txtFileName->setToolTip(QStringLiteral("The Document's File Name"));
  txtFileName->setAccessibleName(QStringLiteral("File Name"));
  // Left of the file picker's panel, so that it can be pressed while the panel is open.
  cmdSaveDocument =
      addButton("cmdSaveDocument", QStringLiteral("&Save Document"),
                QStringLiteral("Save the Tips As a Document"), kLeft, kSaveTop, 2040, 420);
  cmdChooseFolder = addActionButton("cmdChooseFolder", QStringLiteral("&Choose Folder..."),
                                    QStringLiteral("Choose the Folder of the Document"));
  for (auto [label, box] : {std::pair{"lblTipGroup", static_cast<QWidget *>(groups_->combo())},
                            {"lblFormat", cboFormat},
                            {"lblFileName", txtFileName}})
    findChild<QLabel *>(QString::fromLatin1(label))->setBuddy(box);
  groups_->combo()->setAccessibleName(QStringLiteral("Tip Group"));
  placeJobPanel(120, 4160, 7068, 400);

  onClick(chkAllGroups, &frmSaveDocument::chkAllGroups_Click);
  onActivated(cboFormat, &frmSaveDocument::cboFormat_Click);
  onClick(cmdChooseFolder, &frmSaveDocument::cmdChooseFolder_Click);
  onClick(cmdSaveDocument, &frmSaveDocument::cmdSaveDocument_Click);

  setTabOrder(chkAllGroups, groups_->combo());
  setTabOrder(groups_->combo(), cboFormat);
  setTabOrder(cboFormat, txtFileName);
  setTabOrder(txtFileName, cmdSaveDocument);
  setTabOrder(cmdSaveDocument, cmdHelp);
  setTabOrder(cmdHelp, cmdShowTips);
  setTabOrder(cmdShowTips, cmdChooseFolder);

  FilePicker::Setup setup;
  setup.pattern = QStringLiteral("*.html");
  setup.fileTop = 2600;
  setup.startFolder = QStringLiteral("C:"); // the home folder
  setup.help = cmdHelp;
  setup.exit = cmdShowTips;
  setup.exitItem = mnuExiteItem;
  setup.lockedWhileOpen = {cmdChooseFolder, chkAllGroups, groups_->combo(), cboFormat};
  setup.focusAfterChoice = cmdSaveDocument;
  setup.helpToolTip = QStringLiteral("Display Help Screen");
  setup.cancelToolTip = QStringLiteral("Close the Folder Lists, Keeping the Folder Chosen Before");
  setup.showHelp = [this] { cmdHelp_Click(); };
  setup.fileClicked = [this] { File1_Click(); };
  setup.fileDoubleClicked = [this] { File1_DblClick(); };
  setup.folderChanged = [this] { Dir1_Change(); };
  setup.cancelled = [this] { cmdDirCancel_Click(); };
  setup.run = [this](const std::function<void()> &work) {
    runReportingErrors(g().gMsgTitle, work);
  };
  picker_ = new FilePicker(clientArea(), program.files(), std::move(setup));
  showFolder(picker_->files()->path());
}

void frmSaveDocument::activateScreen() {
  if (!showGroups())
    return;
  chkAllGroups_Click();
  chkAllGroups->setFocus();
}

void frmSaveDocument::groupChosen(const GroupChoice &group) {
  groups_->showPicture(group.picture);
  proposeFileName();
}

void frmSaveDocument::chkAllGroups_Click() {
  groups_->combo()->setEnabled(!chkAllGroups->isChecked());
  proposeFileName();
}

document::Format frmSaveDocument::format() const {
  switch (cboFormat->currentIndex()) {
  case 1:
    return document::Format::Markdown;
  case 2:
    return document::Format::Pdf;
  default:
    return document::Format::Html;
  }
}

void frmSaveDocument::proposeFileName() {
  const std::optional<GroupChoice> group = groups_->chosen();
  const QString base = chkAllGroups->isChecked() || !group ? allGroupsName() : group->name;
  txtFileName->setText(
      exchange::safeFileName(QString(), base, QLatin1Char('.') + document::suffixOf(format())));
}

void frmSaveDocument::matchSuffix() {
  QString name = txtFileName->text().trimmed();
  for (const document::Format f :
       {document::Format::Html, document::Format::Markdown, document::Format::Pdf}) {
    const QString suffix = QLatin1Char('.') + document::suffixOf(f);
    if (name.endsWith(suffix, Qt::CaseInsensitive))
      name.chop(suffix.size());
  }
  txtFileName->setText(name + QLatin1Char('.') + document::suffixOf(format()));
}

void frmSaveDocument::cboFormat_Click() {
  matchSuffix();
  picker_->files()->setPattern(QStringLiteral("*.") + document::suffixOf(format()));
}

void frmSaveDocument::showFolder(const QString &folder) {
  folder_ = folder;
  lblFolderName->setText(shownPath(program().files(), folder));
}

void frmSaveDocument::cmdChooseFolder_Click() {
  folderAtOpening_ = folder_;
  picker_->open();
  picker_->folders()->setFocus();
}

void frmSaveDocument::Dir1_Change() { showFolder(picker_->folders()->path()); }

void frmSaveDocument::File1_Click() {
  const QString name = picker_->files()->fileName();
  if (!name.isEmpty())
    txtFileName->setText(name);
}

void frmSaveDocument::File1_DblClick() {
  File1_Click();
  picker_->close(FilePicker::Closing::Choice);
  cmdSaveDocument_Click();
}

void frmSaveDocument::cmdDirCancel_Click() {
  // Cancel: the folder goes back to the one chosen before the panel opened.
  showFolder(folderAtOpening_);
  cmdChooseFolder->setFocus();
}

void frmSaveDocument::cmdSaveDocument_Click() {
  const QString name = txtFileName->text().trimmed();
  if (name.isEmpty() || name.contains(QLatin1Char('/'))) {
    MsgBox(QStringLiteral("Please enter a file name for the document, without a folder."),
           msgbox::vbExclamation + msgbox::vbOKOnly, g().gMsgTitle);
    txtFileName->setFocus();
    return;
  }
  if (picker_->isOpen())
    picker_->close(FilePicker::Closing::Choice);
  const QString path = folder_ + QLatin1Char('/') + name;
  if (QFileInfo::exists(path) &&
      MsgBox(QStringLiteral("%1 already exists.").arg(shownPath(program().files(), path)) +
                 msgbox::kNewLine + QStringLiteral("Do you want to replace it?"),
             msgbox::vbQuestion + msgbox::vbYesNo, g().gMsgTitle) != msgbox::vbYes) {
    txtFileName->setFocus();
    return;
  }
  document::DocumentRequest request;
  request.format = format();
  request.toFile = path;
  if (!chkAllGroups->isChecked())
    if (const std::optional<GroupChoice> group = groups_->chosen())
      request.groupName = group->name;
  try {
    runJob([&](tips::WorkProgress &progress) {
      document::saveTipsDocument(program().paths(), request, progress);
    });
  } catch (const tips::WorkCancelled &) {
    return; // stopped: any earlier file is as it was
  } catch (const document::DocumentError &e) {
    MsgBox(e.message(), msgbox::vbCritical + msgbox::vbOKOnly, g().gMsgTitle);
    return;
  }
  QString saved =
      QStringLiteral("The tips were saved as %1.").arg(shownPath(program().files(), path));
  if (request.format == document::Format::Markdown)
    saved += msgbox::kNewLine + QStringLiteral("Its pictures are in the folder %1 beside it.")
                                    .arg(document::pictureFolderName(path));
  MsgBox(saved, msgbox::vbInformation + msgbox::vbOKOnly, g().gMsgTitle);
}
