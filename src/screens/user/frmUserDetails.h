#pragma once
// The user's own details: first and last name, e-mail address, city and country.

#include "framework/SecondaryScreen.h"
#include "store/DataControl.h"

class QLineEdit;

class frmUserDetails : public SecondaryScreen {
  Q_OBJECT
public:
  explicit frmUserDetails(Program &program);

  void cmdSaveDetails_Click();

protected:
  void setDatabaseNames() override;
  void loadScreen() override;
  void activateScreen() override;

private:
  struct DetailField {
    QLineEdit *box;
    const char *field;
    QString blankName;
  };

  store::DataControl Data11;
  QLineEdit *txtFirstName, *txtLastName, *txtEmailAddress, *txtCity, *txtCountry;
  QPushButton *cmdSaveDetails;
  ImageBox *Image1;
  std::vector<DetailField> fields_;
};
