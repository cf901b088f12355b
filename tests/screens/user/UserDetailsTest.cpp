// The user details screen: load, the blank checks, saving, and the first run.
#include "support/TestProgram.h"

#include "framework/Screen.h"
#include "framework/Screens.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

class UserDetails : public ::testing::Test {
protected:
  TestProgram t;
  QString text(const char *box) { return t.control<QLineEdit>(box)->text(); }
  QStringList stored() {
    return t.rows("SELECT USER_FIRST, USER_LAST, USER_EMAIL, USER_CITY, USER_COUNTRY FROM Settings")
        .value(0);
  }
  void fill(const QString &first, const QString &last, const QString &email, const QString &city,
            const QString &country) {
    const std::pair<const char *, QString> boxes[] = {{"txtFirstName", first},
                                                      {"txtLastName", last},
                                                      {"txtEmailAddress", email},
                                                      {"txtCity", city},
                                                      {"txtCountry", country}};
    for (const auto &[name, value] : boxes) {
      t.control<QLineEdit>(name)->clear();
      t.type(name, value);
    }
  }
  const msgbox::ShownMessage &last() { return t.messages().shown().back(); }
};

TEST_F(UserDetails, FirstRunLeadsFromTheGreetingThroughStoredDetailsToTheMainScreen) {
  t.start();
  ASSERT_EQ(t.activeName(), "frmUserDetails");
  EXPECT_EQ(t.active()->windowTitle(), "User Details Screen");
  EXPECT_EQ(t.g().gMsgTitle, "User Details Record");
  for (const char *box :
       {"txtFirstName", "txtLastName", "txtEmailAddress", "txtCity", "txtCountry"})
    EXPECT_EQ(text(box), "");
  EXPECT_FALSE(t.control("cmdShowTips")->isEnabled());
  EXPECT_FALSE(t.menuItemEnabled("nmuShowTipsItem"));
  EXPECT_EQ(QApplication::focusWidget(), t.control("txtFirstName"));

  fill("john", "smith", "john.smith@example.org", "new york", "usa");
  EXPECT_EQ(text("txtFirstName"), "John");
  EXPECT_EQ(text("txtCity"), "New York");
  EXPECT_EQ(text("txtEmailAddress"), "john.smith@example.org");
  t.active()->setWidth(8010);
  t.settle();
  t.click("cmdSaveDetails");
  ASSERT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_EQ(t.messages().shown().size(), 1u); // the greeting only
  EXPECT_EQ(stored(), QStringList({"John", "Smith", "john.smith@example.org", "New York", "Usa"}));
  EXPECT_EQ(t.active()->Width(), 8010);
  EXPECT_EQ(t.program().screens().find("frmUserDetails"), nullptr);
}

TEST_F(UserDetails, BlankFieldsAreCheckedInOrderAndNothingIsStored) {
  t.start();
  fill("   ", "Smith", "", "", "");
  t.click("cmdSaveDetails");
  EXPECT_EQ(last().prompt, "First Name can NOT be Blank!\r\nPlease Try Again.");
  EXPECT_EQ(last().title, "User Details Record");
  EXPECT_EQ(QApplication::focusWidget(), t.control("txtFirstName"));
  fill("Ann", "Smith", "", "", "");
  t.click("cmdSaveDetails");
  EXPECT_EQ(last().prompt, "Email Address can NOT be Blank!\r\nPlease Try Again.");
  EXPECT_EQ(QApplication::focusWidget(), t.control("txtEmailAddress"));
  fill("Ann", "Smith", "a@b", "Perth", "");
  t.click("cmdSaveDetails");
  EXPECT_EQ(last().prompt, "Country can NOT be Blank!\r\nPlease Try Again.");
  EXPECT_EQ(t.activeName(), "frmUserDetails");
  EXPECT_EQ(stored(), QStringList({"", "", "", "", ""}));
  EXPECT_EQ(t.rows("SELECT USER_FIRST IS NULL FROM Settings").value(0), QStringList({"1"}));
}

TEST_F(UserDetails, DetailsAreStoredExactlyAsTyped) {
  t.start();
  fill(" Ann", "Smith ", "not an address", "Perth", "Australia");
  // Longer than a one-line box holds unless told otherwise: kept whole.
  const QString city = QString(40000, QLatin1Char('P'));
  t.control<QLineEdit>("txtCity")->setText(city);
  t.click("cmdSaveDetails");
  ASSERT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_EQ(stored(), QStringList({" Ann", "Smith ", "not an address", city, "Australia"}));
}

TEST_F(UserDetails, StoredDetailsAreShownAndTheWayBackIsOpen) {
  t.setUserDetails("Ann");
  t.start();
  t.triggerMenu("mnuUserPersonalItem");
  ASSERT_EQ(t.activeName(), "frmUserDetails");
  EXPECT_EQ(text("txtFirstName"), "Ann");
  EXPECT_EQ(text("txtCountry"), "Australia");
  EXPECT_TRUE(t.control("cmdShowTips")->isEnabled());
  EXPECT_TRUE(t.menuItemEnabled("nmuShowTipsItem"));
  // The tab order starts at the buttons, then runs down the boxes.
  QWidget *w = t.control("cmdSaveDetails");
  QStringList order;
  for (int i = 0; i < 8; ++i) {
    order << w->objectName();
    w = w->nextInFocusChain();
    while (w->focusPolicy() == Qt::NoFocus || w->objectName().isEmpty())
      w = w->nextInFocusChain();
  }
  EXPECT_EQ(order, QStringList({"cmdSaveDetails", "cmdShowTips", "cmdHelp", "txtFirstName",
                                "txtLastName", "txtEmailAddress", "txtCity", "txtCountry"}));
  // A field emptied behind the screen's back closes the way back again.
  t.click("cmdShowTips");
  t.sql("UPDATE Settings SET USER_CITY = NULL");
  t.triggerMenu("mnuUserPersonalItem");
  EXPECT_EQ(text("txtCity"), "");
  EXPECT_FALSE(t.control("cmdShowTips")->isEnabled());
}

} // namespace
