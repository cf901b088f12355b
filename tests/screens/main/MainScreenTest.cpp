// The main tips screen, driven offscreen through the real screens.
#include "support/TestProgram.h"

#include "exchange/ImportUndo.h"
#include "framework/Screen.h"
#include "framework/Screens.h"
#include "screens/main/frmOmbrixShow.h"
#include "widgets/ImageBox.h"

#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using msgbox::ShownMessage;

class MainScreen : public ::testing::Test {
protected:
  TestProgram t;

  // Replaces the delivered tips with groups of the given subjects.
  void useGroups(const std::vector<std::pair<QString, QStringList>> &groups) {
    t.sql("DELETE FROM Tips; DELETE FROM \"Group\";");
    int groupId = 100;
    for (const auto &[name, subjects] : groups) {
      ++groupId;
      t.sql(QStringLiteral("INSERT INTO \"Group\"(GROUP_ID, TIP_GROUP, G_LOCAL, G_IMPORT, "
                           "G_ORIGINAL, G_DATE) VALUES (%1, '%2', -1, 0, 0, '2026-12-01')")
                .arg(groupId)
                .arg(name));
      for (const QString &subject : subjects)
        t.sql(QStringLiteral("INSERT INTO Tips(GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, TIP_LOCAL, "
                             "TIP_IMPORT, TIP_ORIGINAL, TIP_DATE) VALUES (%1, '%2', 'About %2', "
                             "-1, 0, 0, '2026-12-01')")
                  .arg(groupId)
                  .arg(subject));
    }
  }

  QStringList entries(const QString &combo) {
    QStringList list;
    auto *box = t.control<QComboBox>(combo);
    for (int i = 0; i < box->count(); ++i)
      list << box->itemText(i);
    return list;
  }

  std::vector<bool> buttons() {
    std::vector<bool> state;
    for (const char *name : {"cmdFirst", "cmdPrevious", "cmdNext", "cmdLast"})
      state.push_back(t.control(QString::fromLatin1(name))->isEnabled());
    return state;
  }

  QString description() { return t.control<QPlainTextEdit>("txtDescription")->toPlainText(); }
  int subjectPosition() { return t.control<QComboBox>("Combo2")->currentIndex(); }
  const ShownMessage &lastMessage() { return t.messages().shown().back(); }
};

TEST_F(MainScreen, FirstRunGreetsAfterPlacingTheWindowThenOpensUserDetails) {
  t.start();
  ASSERT_EQ(t.messages().shown().size(), 1u);
  const ShownMessage &greeting = t.messages().shown().front();
  EXPECT_EQ(greeting.title, "Ombrix Tips, Enter New User Details!");
  EXPECT_EQ(greeting.style, 48);
  EXPECT_EQ(greeting.prompt,
            "\r\nCongratulations!\r\nYou have succeeded in installing Ombrix Tips!\r\n"
            "Before you start using Ombrix Tips, you will need to enter your details.\r\n"
            "Click the OK button when you are ready.\r\n\r\nThanks for using Ombrix Tips.\r\n\r\n");
  EXPECT_EQ(t.activeName(), "frmUserDetails");
  EXPECT_EQ(t.program().screens().find("frmOmbrixShow"), nullptr);
  // The window was placed from the stored geometry before the greeting, and handed on.
  EXPECT_EQ(t.g().gFrmHeight, 5172);
  EXPECT_EQ(t.g().gFrmLeft, 48);
  EXPECT_EQ(t.g().gFrmTop, 504);
  EXPECT_EQ(t.g().gFrmWidth, 7404);
  EXPECT_TRUE(t.g().gPositionLoaded);
  EXPECT_EQ(t.g().gPicturePath, t.program().paths().placeholderPicture());
}

TEST_F(MainScreen, OpensOnTheDeliveredTipsWithTheFirstGroupAndSubjectShown) {
  t.setUserDetails();
  t.start();
  EXPECT_TRUE(t.messages().shown().empty());
  ASSERT_EQ(t.activeName(), "frmOmbrixShow");
  Screen *screen = t.active();
  EXPECT_EQ(screen->windowTitle(), "View Ombrix Tips Screen");
  EXPECT_EQ(t.g().gMsgTitle, "View Tips");
  EXPECT_EQ(screen->Height(), 5172);
  EXPECT_EQ(screen->Left(), 48);
  EXPECT_EQ(screen->Top(), 504);
  EXPECT_EQ(screen->Width(), 7404);
  auto *groups = t.control<QComboBox>("Combo1");
  EXPECT_GE(groups->count(), 6);
  EXPECT_EQ(groups->currentIndex(), 0);
  EXPECT_GT(t.control<QComboBox>("Combo2")->count(), 0);
  EXPECT_EQ(subjectPosition(), 0);
  EXPECT_FALSE(description().isEmpty());
  auto *picture = t.control<ImageBox>("Image1");
  EXPECT_TRUE(picture->pictureFile().endsWith(
      QStringLiteral("/images/%1.jpg").arg(groups->itemData(0, Qt::UserRole).toInt())));
  EXPECT_EQ(buttons(), std::vector<bool>({true, true, true, true}));
  EXPECT_TRUE(t.control("txtDescription")->property("readOnly").toBool());
}

TEST_F(MainScreen, ListsSortWithoutRegardToCaseAndEntriesKeepTheirKeys) {
  useGroups({{"zebra", {"b two", "A one", "c three"}},
             {"Apple", {"x"}},
             {"émile", {"y"}},
             {"Banana", {"z"}},
             {"Tips with `tick`", {"w"}}});
  t.setUserDetails();
  t.start();
  EXPECT_EQ(entries("Combo1"),
            QStringList({"Apple", "Banana", "émile", "Tips with `tick`", "zebra"}));
  t.choose("Combo1", "zebra");
  EXPECT_EQ(t.g().gShowGroupIndex, 4);
  EXPECT_EQ(entries("Combo2"), QStringList({"A one", "b two", "c three"}));
  t.choose("Combo2", "c three");
  EXPECT_EQ(description(), "About c three");
  EXPECT_EQ(t.g().gShowSubjectIndex, 2);
  // Choosing in the list itself changes no button.
  EXPECT_EQ(buttons(), std::vector<bool>({true, true, true, true}));
}

TEST_F(MainScreen, StepsThroughThreeSubjectsUnderTheEnablingRules) {
  useGroups({{"Only", {"one", "two", "three"}}});
  t.setUserDetails();
  t.start();
  EXPECT_EQ(entries("Combo2"), QStringList({"one", "three", "two"}));
  t.click("cmdNext");
  EXPECT_EQ(subjectPosition(), 1);
  t.click("cmdNext");
  EXPECT_EQ(subjectPosition(), 2);
  EXPECT_EQ(description(), "About two");
  EXPECT_EQ(buttons(), std::vector<bool>({true, true, true, true}));
  EXPECT_TRUE(t.messages().shown().empty());
  t.click("cmdNext");
  ASSERT_EQ(t.messages().shown().size(), 1u);
  EXPECT_EQ(lastMessage().prompt, "This Is The Last Record!");
  EXPECT_EQ(lastMessage().style, 48);
  EXPECT_EQ(lastMessage().title, "View Tips");
  EXPECT_EQ(buttons(), std::vector<bool>({true, true, false, false}));

  t.click("cmdFirst");
  EXPECT_EQ(subjectPosition(), 0);
  EXPECT_EQ(buttons(), std::vector<bool>({false, false, true, true}));
  t.click("cmdLast");
  EXPECT_EQ(subjectPosition(), 2);
  EXPECT_EQ(buttons(), std::vector<bool>({true, true, false, false}));
  t.click("cmdPrevious");
  t.click("cmdPrevious");
  EXPECT_EQ(subjectPosition(), 0);
  EXPECT_EQ(buttons(), std::vector<bool>({true, true, true, true}));
  t.click("cmdPrevious");
  EXPECT_EQ(lastMessage().prompt, "This Is The First Record!");
  EXPECT_EQ(buttons(), std::vector<bool>({false, false, true, true}));
}

TEST_F(MainScreen, OneSubjectShowsBothEdgeMessagesAtOnce) {
  useGroups({{"Single", {"alone"}}});
  t.setUserDetails();
  t.start();
  t.click("cmdNext");
  EXPECT_EQ(lastMessage().prompt, "This Is The Last Record!");
  EXPECT_EQ(buttons(), std::vector<bool>({true, true, false, false}));
  t.click("cmdPrevious");
  EXPECT_EQ(lastMessage().prompt, "This Is The First Record!");
  EXPECT_EQ(buttons(), std::vector<bool>({false, false, true, true}));
  t.click("cmdLast");
  EXPECT_EQ(subjectPosition(), 0);
  EXPECT_EQ(buttons(), std::vector<bool>({true, true, false, false}));
  EXPECT_EQ(t.messages().shown().size(), 2u);
}

TEST_F(MainScreen, AGroupWithoutTipsLeadsToAddGroup) {
  useGroups({{"Full", {"a"}}, {"Hollow", {}}});
  t.setUserDetails();
  t.start();
  t.choose("Combo1", "Hollow");
  ASSERT_EQ(t.messages().shown().size(), 1u);
  EXPECT_EQ(lastMessage().prompt, "The Database Is Empty!\r\nClick OK To Add Your First Record.");
  EXPECT_EQ(lastMessage().style, 16);
  EXPECT_EQ(lastMessage().title, "View Tips");
  EXPECT_EQ(t.activeName(), "frmAddGroup");
  EXPECT_EQ(t.program().screens().find("frmOmbrixShow"), nullptr);
  EXPECT_EQ(t.g().gPicturePath, t.program().paths().placeholderPicture());
}

TEST_F(MainScreen, AnEmptyDatabaseLeadsToAddGroup) {
  useGroups({});
  t.setUserDetails();
  t.start();
  ASSERT_EQ(t.messages().shown().size(), 1u);
  EXPECT_EQ(lastMessage().prompt, "The Database Is Empty!\r\nClick OK To Add Your First Record.");
  EXPECT_EQ(t.activeName(), "frmAddGroup");

  // Leaving Add Group while the database is still empty comes back to it: the main screen
  // hands over to the very screen that is handing over to it, and that screen must stay.
  for (const char *way : {"cmdShowTips", "nmuShowTipsItem"}) {
    if (QString(way).startsWith("cmd"))
      t.click(way);
    else
      t.triggerMenu(way);
    t.settle();
    EXPECT_EQ(t.messages().shown().size(), way[0] == 'c' ? 2u : 3u);
    ASSERT_EQ(t.activeName(), "frmAddGroup") << way;
    EXPECT_TRUE(t.active()->isVisible()) << way;
    EXPECT_EQ(t.program().screens().loaded().size(), 1u) << way;
  }
}

TEST_F(MainScreen, AMissingGroupPictureShowsThePlaceholder) {
  useGroups({{"Lost picture", {"a"}}});
  QFile::remove(t.file("images/101.jpg"));
  t.setUserDetails();
  t.start();
  ASSERT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_TRUE(t.messages().shown().empty());
  EXPECT_TRUE(t.control<ImageBox>("Image1")->pictureFile().endsWith("/images/0.jpg"));
}

TEST_F(MainScreen, AMissingOrDamagedDatabaseIsReportedAndNothingIsCreated) {
  for (const QByteArray &content : {QByteArray(), QByteArray("not a database at all")}) {
    TestProgram broken;
    QFile::remove(broken.file("ombrixtips.mdb"));
    if (!content.isEmpty()) {
      QFile file(broken.file("ombrixtips.mdb"));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(content);
    }
    EXPECT_FALSE(broken.program().start());
    EXPECT_TRUE(broken.ended());
    ASSERT_EQ(broken.messages().shown().size(), 1u);
    EXPECT_EQ(broken.messages().shown().front().style, 16);
    EXPECT_TRUE(broken.messages().shown().front().prompt.contains("ombrixtips.mdb"));
    EXPECT_TRUE(broken.program().screens().loaded().empty());
    EXPECT_EQ(QFile::exists(broken.file("ombrixtips.mdb")), !content.isEmpty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  }
}

TEST_F(MainScreen, StoredGeometryIsReadOncePerRun) {
  t.setUserDetails();
  t.start();
  Screen *screen = t.active();
  screen->setLeft(900);
  screen->setWidth(9000);

  // A changed stored value is not read again while the run goes on.
  t.sql("UPDATE Settings SET USER_L = 3000");
  t.triggerMenu("mnuUserPersonalItem");
  ASSERT_EQ(t.activeName(), "frmUserDetails");

  t.click("cmdShowTips");
  ASSERT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_EQ(t.active()->Left(), 900);
  EXPECT_EQ(t.active()->Width(), 9000);
}

} // namespace

namespace {

TEST_F(MainScreen, UndoLastImportIsOfferedAfterAnImportAndTakesItBack) {
  t.setUserDetails();
  t.start();
  QAction *undo = t.active()->findChild<QAction *>("mnuUndoImportItem");
  ASSERT_NE(undo, nullptr);
  EXPECT_EQ(t.active()->findChild<QMenu *>("mnuToolsItem")->actions().last(), undo);
  EXPECT_FALSE(undo->isEnabled());

  // A group and a tip as a merge wrote and recorded them.
  t.sql("INSERT INTO \"Group\"(GROUP_ID, TIP_GROUP, G_LOCAL, G_IMPORT, G_ORIGINAL, G_DATE) "
        "VALUES (900, 'Came in', 0, -1, 0, '2026-12-08')");
  t.sql("INSERT INTO Tips(TIPS_ID, GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, TIP_LOCAL, "
        "TIP_IMPORT, TIP_ORIGINAL, TIP_DATE) VALUES (9000, 900, 'New', 'Text', 0, -1, 0, "
        "'2026-12-08')");
  exchange::ImportRecord record;
  record.package = "OBXAnn.ZIP";
  record.when = QDateTime(QDate(2026, 12, 8), QTime(14, 3));
  record.day = QDate(2026, 12, 8);
  record.groups = {{900, "Came in"}};
  record.tips = {{9000, 900, "New", exchange::textFingerprint(QStringLiteral("Text"))}};
  exchange::saveImportRecord(t.program().paths(), record);
  t.restart();
  undo = t.active()->findChild<QAction *>("mnuUndoImportItem");
  EXPECT_TRUE(undo->isEnabled());

  t.messages().queue(msgbox::vbYes);
  t.messages().queue(msgbox::vbOK);
  t.triggerMenu("mnuUndoImportItem");
  ASSERT_EQ(t.messages().shown().size(), 2u);
  EXPECT_TRUE(t.messages().shown()[0].prompt.contains("\"OBXAnn.ZIP\""));
  EXPECT_EQ(t.messages().shown()[1].prompt,
            "The import was taken back: 1 group and 1 tip removed.");
  EXPECT_FALSE(t.active()->findChild<QAction *>("mnuUndoImportItem")->isEnabled());
}

} // namespace
