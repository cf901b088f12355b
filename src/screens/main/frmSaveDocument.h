#pragma once
// Save Tips As Document (Tools menu): every group or the chosen one, as HTML, Markdown or
// PDF, into a folder chosen with the shared file picker. The screen reads its controls and
// runs document::saveTipsDocument as a job with its progress and Cancel; the rule writes
// the document safely and says in words why it could not.

#include "document/TipsDocument.h"
#include "framework/MaintenanceScreen.h"

class FilePicker;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

class frmSaveDocument : public MaintenanceScreen {
  Q_OBJECT
public:
  explicit frmSaveDocument(Program &program);

  void chkAllGroups_Click();
  void cboFormat_Click();
  void cmdChooseFolder_Click();
  void Dir1_Change();
  void File1_Click();
  void File1_DblClick();
  // Cancel closed the file picker's panel.
  void cmdDirCancel_Click();
  void cmdSaveDocument_Click();

  FilePicker &picker() const { return *picker_; }
  // The format chosen in cboFormat.
  document::Format format() const;
  // The folder the document goes to (native).
  const QString &folder() const { return folder_; }

  // The entries of cboFormat, in the order of document::Format: the file picker's filters.
  static const QStringList &formatCaptions();

protected:
  void activateScreen() override;
  void groupChosen(const GroupChoice &group) override;

private:
  void showFolder(const QString &folder);
  // The name box gets the default name of what is chosen: "Ombrix Tips.html", or the
  // group's name made fit for a file name.
  void proposeFileName();
  // The suffix of the name box follows the format.
  void matchSuffix();

  QCheckBox *chkAllGroups;
  QComboBox *cboFormat;
  QLabel *lblFolderName;
  QLineEdit *txtFileName;
  QPushButton *cmdChooseFolder;
  QPushButton *cmdSaveDocument;
  FilePicker *picker_;
  QString folder_;
  QString folderAtOpening_;
};
