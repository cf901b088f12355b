#pragma once
// A program on its main screen with a tip database of known groups and subjects, for the
// tests of the group and subject maintenance screens.

#include "support/TestProgram.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <utility>
#include <vector>

class OnMaintenance : public OnMainScreen {
protected:
  using Groups = std::vector<std::pair<QString, QStringList>>;

  // Replaces the delivered tips: groups keyed 101, 102, ... in the order given, each with
  // its own picture file, each tip described "About <subject>" and dated 2026-12-01.
  void useGroups(const Groups &groups) {
    t.sql("DELETE FROM Tips; DELETE FROM \"Group\";");
    int groupId = 100;
    for (const auto &[name, subjects] : groups) {
      ++groupId;
      t.sql(QStringLiteral("INSERT INTO \"Group\"(GROUP_ID, TIP_GROUP, G_LOCAL, G_IMPORT, "
                           "G_ORIGINAL, G_DATE) VALUES (%1, '%2', 0, 0, -1, '2026-12-01')")
                .arg(groupId)
                .arg(name));
      QFile::copy(picture(0), picture(groupId));
      for (const QString &subject : subjects)
        t.sql(QStringLiteral("INSERT INTO Tips(GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, TIP_LOCAL, "
                             "TIP_IMPORT, TIP_ORIGINAL, TIP_DATE) VALUES (%1, '%2', 'About %2', "
                             "0, 0, -1, '2026-12-01')")
                  .arg(groupId)
                  .arg(subject));
    }
  }

  QString picture(int groupId) const {
    return t.file(QStringLiteral("images/%1.jpg").arg(groupId));
  }
  QStringList entries(const QString &combo) {
    QStringList list;
    auto *box = t.control<QComboBox>(combo);
    for (int i = 0; box && i < box->count(); ++i)
      list << box->itemText(i);
    return list;
  }
  QList<QStringList> rows(const QString &query) { return t.rows(query); }
  QString focused() const {
    QWidget *w = QApplication::focusWidget();
    return w ? w->objectName() : QString();
  }
  const msgbox::ShownMessage &lastMessage() { return t.messages().shown().back(); }
  size_t shownCount() { return t.messages().shown().size(); }
  // Opens a screen from the main screen's menu with the main screen's list positions.
  void openWithPositions(const char *menuItem, int groupIndex, int subjectIndex = 0) {
    ASSERT_EQ(t.activeName(), "frmOmbrixShow");
    t.g().gShowGroupIndex = groupIndex;
    t.g().gShowSubjectIndex = subjectIndex;
    t.triggerMenu(menuItem);
  }
};
