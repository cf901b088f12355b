#pragma once
// An installation for a GoogleTest test: every failed action fails the test.

#include "support/Installation.h"

#include <QAction>
#include <gtest/gtest.h>

class TestProgram : public Installation {
public:
  using Installation::Installation;

  template <class W = QWidget> W *control(const QString &name) const {
    QString error;
    QWidget *widget = findControl(name, &error);
    if (!widget)
      ADD_FAILURE() << error.toStdString();
    return qobject_cast<W *>(widget);
  }
  bool menuItemEnabled(const QString &name) const {
    QString error;
    QAction *action = findMenuItem(name, &error);
    if (!action)
      ADD_FAILURE() << error.toStdString();
    return action && action->isEnabled();
  }
  void click(const QString &name) { check(Installation::click(name)); }
  void triggerMenu(const QString &name) { check(Installation::triggerMenu(name)); }
  void choose(const QString &combo, const QString &entry) {
    check(Installation::choose(combo, entry));
  }
  void chooseIndex(const QString &combo, int index) {
    check(Installation::chooseIndex(combo, index));
  }
  void doubleClick(const QString &name, const QString &entry = QString()) {
    check(Installation::doubleClick(name, entry));
  }
  void type(const QString &name, const QString &text) { check(Installation::type(name, text)); }

private:
  static void check(const QString &error) {
    if (!error.isEmpty())
      ADD_FAILURE() << error.toStdString();
  }
};

// A test that starts on the main screen of an installation with stored user details.
class OnMainScreen : public ::testing::Test {
protected:
  TestProgram t;
  void SetUp() override {
    t.setUserDetails();
    t.start();
    ASSERT_EQ(t.activeName(), "frmOmbrixShow");
  }
};
