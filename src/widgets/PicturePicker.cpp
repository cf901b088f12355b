#include "widgets/PicturePicker.h"

#include "platform/files/FileService.h"
#include "widgets/ImageBox.h"

PicturePicker::PicturePicker(QWidget *clientArea, const FileService &files, Setup setup)
    : QObject(clientArea), files_(files), image_(setup.image), record_(std::move(setup.record)),
      run_(setup.run ? std::move(setup.run) : reportFileErrors()) {
  FilePicker::Setup panel;
  panel.pattern = QStringLiteral("*.jpg");
  panel.fileTop = 2600;
  panel.help = setup.help;
  panel.exit = setup.exit;
  panel.exitItem = setup.exitItem;
  panel.lockedWhileOpen = std::move(setup.lockedWhileOpen);
  panel.enabledOnCancel = std::move(setup.enabledOnCancel);
  panel.focusAfterChoice = setup.focusAfterChoice;
  panel.helpToolTip = setup.helpToolTip;
  panel.cancelToolTip = setup.cancelToolTip;
  panel.showHelp = std::move(setup.showHelp);
  panel.fileClicked = [this] { File1_Click(); };
  panel.fileDoubleClicked = [this] { File1_DblClick(); };
  panel.run = run_;
  panel_ = new FilePicker(clientArea, files, std::move(panel));
  connect(image_, &ImageBox::doubleClicked, this, [this] { run_([this] { Image1_DblClick(); }); });
}

bool PicturePicker::preview() {
  const QString path = files()->filePath();
  if (path.isEmpty())
    return false;
  if (!image_->replacePicture(path))
    throw FileError(shownPath(files_, path),
                    QStringLiteral("This file cannot be shown as a picture"));
  if (record_)
    record_(path);
  return true;
}

void PicturePicker::Image1_DblClick() { panel_->open(); }

void PicturePicker::File1_Click() { preview(); }

void PicturePicker::File1_DblClick() {
  if (preview())
    panel_->close(Closing::Choice);
}
