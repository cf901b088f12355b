#include "screens/user/frmUserDetails.h"

#include "framework/OBXGlobals.h"
#include "framework/Program.h"
#include "framework/ScreenNames.h"
#include "framework/SharedMessages.h"
#include "platform/MousePointer.h"
#include "widgets/ImageBox.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmUserDetails::frmUserDetails(Program &program)
    : SecondaryScreen(program, screen::frmUserDetails, "lblDelGroup") {
  busyDuringLoad_ = true;
  Data11.setRecordSource(QStringLiteral("Settings"));
  Image1 = addImage("Image1", 5900, 160, 975, 1100);

  struct Row {
    const char *label;
    QString caption;
    const char *box;
    QString toolTip;
    const char *field;
    bool capitals;
  };
  const Row rows[] = {
      {"lblFirstName", QStringLiteral("First Name"), "txtFirstName",
       QStringLiteral("Type your first name. This will be used to create the export file"),
       "USER_FIRST", true},
      {"lblLastName", QStringLiteral("Last Name"), "txtLastName",
       QStringLiteral("Type your last name"), "USER_LAST", true},
      {"lblEmailAddress", QStringLiteral("Email Address"), "txtEmailAddress",
       QStringLiteral("Type your email address if any"), "USER_EMAIL", false},
      {"lblCity", QStringLiteral("City"), "txtCity",
       QStringLiteral("Type the name of your city or suburb"), "USER_CITY", true},
      {"lblCountry", QStringLiteral("Country"), "txtCountry",
       QStringLiteral("Type the name of your country"), "USER_COUNTRY", true},
  };
  int top = 1380;
  for (const Row &row : rows) {
    addLabel(row.label, row.caption, 120, top + 40, 1700, 252);
    auto *box = place(new QLineEdit, row.box, 1900, top, 5200, 330);
    box->setToolTip(row.toolTip);
    if (row.capitals)
      installKeyFilter(box, KeyFilter::CapWord);
    fields_.push_back({box, row.field, row.caption});
    top += 500;
  }
  txtFirstName = fields_[0].box;
  txtLastName = fields_[1].box;
  txtEmailAddress = fields_[2].box;
  txtCity = fields_[3].box;
  txtCountry = fields_[4].box;

  cmdSaveDetails =
      addButton("cmdSaveDetails", QStringLiteral("Save Details"),
                QStringLiteral("Changes will be saved to the database"), 120, 4080, 1500, 420);
  onClick(cmdSaveDetails, &frmUserDetails::cmdSaveDetails_Click);
  placeFrameButtons(5688, 4080, 4068, 4080);

  setTabOrder(cmdSaveDetails, cmdShowTips);
  setTabOrder(cmdShowTips, cmdHelp);
  setTabOrder(cmdHelp, txtFirstName);
  setTabOrder(txtFirstName, txtLastName);
  setTabOrder(txtLastName, txtEmailAddress);
  setTabOrder(txtEmailAddress, txtCity);
  setTabOrder(txtCity, txtCountry);
}

void frmUserDetails::setDatabaseNames() { Data11.setDatabaseName(tipDatabase()); }

void frmUserDetails::loadScreen() {
  Data11.refresh();
  store::Recordset &settings = Data11.recordset();
  settings.moveFirst();
  for (const DetailField &detail : fields_) {
    const QString field = QString::fromLatin1(detail.field);
    if (settings.isNull(field)) {
      detail.box->clear();
      // Until every detail is stored, the only way on is to save them.
      cmdShowTips->setEnabled(false);
      nmuShowTipsItem->setEnabled(false);
    } else {
      detail.box->setText(settings.text(field));
    }
  }
}

void frmUserDetails::activateScreen() {
  Image1->loadPictureOr(g().gPicturePath, program().paths().placeholderPicture());
  txtFirstName->setFocus();
}

void frmUserDetails::cmdSaveDetails_Click() {
  for (const DetailField &detail : fields_) {
    if (detail.box->text().trimmed().isEmpty()) {
      g().gBlankField = detail.blankName;
      MsgNotBlank(g());
      detail.box->setFocus();
      return;
    }
  }
  BusyPointer busy;
  Data11.refresh();
  store::Recordset &settings = Data11.recordset();
  settings.moveFirst();
  settings.edit();
  for (const DetailField &detail : fields_)
    settings.setField(QString::fromLatin1(detail.field), detail.box->text());
  settings.update();
  returnToMainScreen();
}
