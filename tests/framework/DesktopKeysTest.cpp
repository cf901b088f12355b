// Keys a desktop user presses: F1 for the help of the screen in front, Alt+letter for the
// menus, Enter on the focused button; and the accessible names of every screen's controls.
#include "support/TestProgram.h"

#include "framework/HelpLinks.h"
#include "framework/Screen.h"
#include "screens/AllScreens.h"
#include "widgets/AccessKeys.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class DesktopKeys : public OnMainScreen {
protected:
  ContextIDs::Call lastHelpCall() {
    const auto &calls = t.program().help().calls();
    return calls.empty() ? ContextIDs::Call{0, 0} : calls.back();
  }
  void press(const QString &control, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget *widget = t.control(control);
    ASSERT_NE(widget, nullptr);
    widget->setFocus();
    QTest::keyClick(widget, key, modifiers);
    t.settle();
  }
};

TEST(AccessKeys, EachCaptionOfAMenuGetsALetterNoOtherCaptionThereHas) {
  const struct {
    QStringList captions;
    QStringList keyed;
  } cases[] = {
      {{"File", "Menu", "Tools", "Help"}, {"&File", "&Menu", "&Tools", "&Help"}},
      // A word's first letter first, then any letter; case does not matter.
      {{"Screen Position", "Settings", "Find Tips..."},
       {"&Screen Position", "S&ettings", "&Find Tips..."}},
      {{"Edit Group", "edit more", "Delete Group"}, {"&Edit Group", "edit &more", "&Delete Group"}},
      // A key marked already keeps its letter; separators and a caption without a free
      // letter stay as they are; "&&" is a plain ampersand.
      {{"E&xit", "", "Ex", "x", "Salt && Pepper"}, {"E&xit", "", "&Ex", "x", "&Salt && Pepper"}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.captions.join('|').toStdString());
    const QStringList keyed = accessKeys::withAccessKeys(c.captions);
    EXPECT_EQ(keyed, c.keyed);
    for (qsizetype i = 0; i < keyed.size(); ++i)
      EXPECT_EQ(accessKeys::plainCaption(keyed[i]), accessKeys::plainCaption(c.captions[i]));
  }
  EXPECT_EQ(accessKeys::plainCaption("E&xit"), "Exit");
  EXPECT_EQ(accessKeys::plainCaption("&Salt && Pepper"), "Salt & Pepper");
  EXPECT_EQ(accessKeys::plainCaption("Find Tips..."), "Find Tips...");
}

TEST_F(DesktopKeys, F1OpensTheHelpOfTheScreenInFront) {
  press("Combo1", Qt::Key_F1);
  EXPECT_EQ(lastHelpCall().command, ContextIDs::kContents);
  t.triggerMenu("mnuUserPersonalItem");
  press("txtCity", Qt::Key_F1);
  EXPECT_EQ(lastHelpCall().command, ContextIDs::kContext);
  EXPECT_EQ(lastHelpCall().data, ContextIDs::kUserDetails);
  t.triggerMenu("nmuShowTipsItem");
  t.triggerMenu("mnuEditGroupItem");
  press("Combo1", Qt::Key_F1);
  EXPECT_EQ(lastHelpCall().data, ContextIDs::kEditGroup);
}

TEST_F(DesktopKeys, AltAndALetterOpenTheMenusWhoseCaptionsReadAsBefore) {
  for (const char *menu : {"mnuFileItem", "mnuMenuItem", "mnuToolsItem", "mnuHelpItem"})
    EXPECT_EQ(t.text(menu), QString(menu).mid(3).chopped(4));
  EXPECT_EQ(t.text("mnuEditSubjectItem"), "Edit Subject and/or Description");
  EXPECT_EQ(t.active()->findChild<QMenu *>("mnuFileItem")->title(), "&File");

  press("Combo1", Qt::Key_F, Qt::AltModifier);
  QMenu *file = t.active()->findChild<QMenu *>("mnuFileItem");
  EXPECT_TRUE(file->isVisible());
  file->close();
  t.triggerMenu("mnuAddNewGroupItem");
  press("cmdHelp", Qt::Key_M, Qt::AltModifier);
  QMenu *menu = t.active()->findChild<QMenu *>("nmuMenuItem");
  EXPECT_TRUE(menu->isVisible());
  menu->close();
  EXPECT_EQ(t.text("nmuShowTipsItem"), "View Tips Screen");
}

TEST_F(DesktopKeys, EnterPressesTheFocusedButtonOnEveryScreen) {
  press("cmdLast", Qt::Key_Return);
  press("cmdFirst", Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(t.control<QComboBox>("Combo2")->currentIndex(), 0);
  press("cmdNext", Qt::Key_Return);
  EXPECT_EQ(t.control<QComboBox>("Combo2")->currentIndex(), 1);

  // The first run's Enter on "Save Details": the desktop-keys scenario.
  t.triggerMenu("mnuUserPersonalItem");
  press("cmdShowTips", Qt::Key_Return);
  EXPECT_EQ(t.activeName(), "frmOmbrixShow");
}

TEST_F(DesktopKeys, EscLeavesASecondaryScreenAsExitThisScreenDoes) {
  t.triggerMenu("mnuEditGroupItem");
  press("Combo1", Qt::Key_Escape);
  EXPECT_EQ(t.activeName(), "frmOmbrixShow");
  // The first run's details cannot be left before they are saved: Esc neither.
  t.triggerMenu("mnuUserPersonalItem");
  t.control<QLineEdit>("txtCity")->clear();
  t.control("cmdShowTips")->setEnabled(false);
  press("txtCity", Qt::Key_Escape);
  EXPECT_EQ(t.activeName(), "frmUserDetails");
}

// Every control a user can reach on every screen: a name for assistive technology, and its
// tool-tip as its description.
TEST_F(DesktopKeys, EveryReachableControlOfEveryScreenHasAnAccessibleName) {
  int checked = 0;
  QStringList unnamed, undescribed;
  for (const ScreenEntry &entry : screenCatalogue()) {
    std::unique_ptr<Screen> screen(entry.make(t.program()));
    screen->finishControls();
    for (QWidget *control : screen->findChildren<QWidget *>()) {
      // The grey boxes a screen shows without a use stay disabled: nobody reaches them.
      if (control->window() != screen.get() || !(control->focusPolicy() & Qt::TabFocus) ||
          !control->isEnabledTo(screen.get()) || qobject_cast<QComboBox *>(control->parentWidget()))
        continue;
      const QString where = entry.name + QLatin1Char('.') + control->objectName();
      QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
      ASSERT_NE(accessible, nullptr) << where.toStdString();
      // On Linux a combo box reports its current entry as its name (its label goes by
      // the label relation), so its own name is read from the widget.
      const QString name = qobject_cast<QComboBox *>(control) ? control->accessibleName()
                                                              : accessible->text(QAccessible::Name);
      if (name.trimmed().isEmpty())
        unnamed << where;
      if (accessible->text(QAccessible::Description) != control->toolTip())
        undescribed << where;
      ++checked;
    }
  }
  EXPECT_EQ(unnamed.join(", ").toStdString(), "");
  EXPECT_EQ(undescribed.join(", ").toStdString(), "");
  EXPECT_GT(checked, 100);
}

TEST_F(DesktopKeys, ABoxOrListIsNamedByTheLabelBesideIt) {
  EXPECT_EQ(t.control("Combo1")->accessibleName(), "Tip Group");
  EXPECT_EQ(t.control("Combo2")->accessibleName(), "Tip Subject");
  EXPECT_EQ(t.control("txtDescription")->accessibleName(), "Tip Description");
  t.triggerMenu("mnuUserPersonalItem");
  for (const char *box :
       {"txtFirstName", "txtLastName", "txtEmailAddress", "txtCity", "txtCountry"})
    EXPECT_EQ(QAccessible::queryAccessibleInterface(t.control(box))->text(QAccessible::Name),
              t.control<QLabel>(QString(box).replace("txt", "lbl"))->text());
}

} // namespace
