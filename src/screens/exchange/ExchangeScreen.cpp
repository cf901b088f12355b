#include "screens/exchange/ExchangeScreen.h"

#include "framework/OBXGlobals.h"
#include "framework/Program.h"
#include "widgets/ImageBox.h"
#include "widgets/ListPlace.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <utility>

namespace {

// The button column (twips).
constexpr int kButtonLeft = 5040;
constexpr int kButtonWidth = 2064;
constexpr int kButtonHeight = 375;
constexpr int kHelpTop = 600;
constexpr int kExitTop = 975;
constexpr int kActionTop = 1344;

} // namespace

ExchangeScreen::ExchangeScreen(Program &program, const QString &name, CountColumns::Kind kind)
    : SecondaryScreen(program, name, "lblAddGroup"), columns_(clientArea(), kind) {
  placeFrameButtons(kButtonLeft, kHelpTop, kButtonLeft, kExitTop, kButtonWidth, kButtonHeight);
  Image1 = addImage("Image1", 3840, 900, 975, 1100);
  // Across the bottom, over the last row of the counts while the screen works.
  placeJobPanel(120, 4160, 7068, 400);
}

QPushButton *ExchangeScreen::addActionButton(const char *name, const QString &caption,
                                             const QString &toolTip) {
  return addButton(name, caption, toolTip, kButtonLeft, kActionTop, kButtonWidth, kButtonHeight);
}

QLabel *ExchangeScreen::addFileNameFrame(const char *frameName, const QString &caption,
                                         const char *labelName) {
  fileNameFrame_ = place(new QGroupBox(caption), frameName, 120, 1400, 3600, 800);
  return listPlace::placeNamed(fileNameFrame_, new QLabel, labelName, 120, 340, 3360, 300);
}

void ExchangeScreen::activateScreen() {
  Image1->loadPictureOr(g().gPicturePath, program().paths().placeholderPicture());
  if (!std::exchange(counted_, true))
    countOnceShown();
}
