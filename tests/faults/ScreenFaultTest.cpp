// Screens under an injected failure: they show the error, never their success message,
// and the next try of the same screen succeeds.
#include "support/FaultyVfs.h"
#include "support/MaintenanceFixture.h"

#include <QLineEdit>
#include <sqlite3.h>

namespace {

// Every connection the program opens goes through the faulty VFS.
const bool kInstalled = (FaultyVfs::install(), true);

const QString kAnotherGroup =
    "Click YES To Create New Group Record!\r\nOr click NO to cancel Add New Group!";

bool anyShown(const std::vector<msgbox::ShownMessage> &shown, const QString &prompt) {
  return std::any_of(shown.begin(), shown.end(),
                     [&](const msgbox::ShownMessage &m) { return m.prompt == prompt; });
}

class AddGroupScreen : public OnMaintenance {};

TEST_F(AddGroupScreen, AFullDiskIsToldAndNothingIsStoredThenTheNextTryStores) {
  ASSERT_TRUE(kInstalled);
  useGroups({{"Vim", {"Macros"}}});
  t.triggerMenu("mnuAddNewGroupItem");
  ASSERT_EQ(t.activeName(), "frmAddGroup");
  t.type("txtGroupAddNew", "Emacs");
  t.type("txtSubjectAddNew", "Buffers");
  t.type("txtDescriptionAddNew", "C-x b");
  t.messages().clearShown();
  // A full disk: every write fails (the search index's too, which a save never waits for).
  FaultyVfs::reset();
  for (int n = 1; n <= 200; ++n)
    FaultyVfs::failNth(FaultyVfs::Kind::Write, n, SQLITE_FULL);
  t.messages().queue(msgbox::vbOK); // the record is done
  t.messages().queue(msgbox::vbOK); // the error
  t.click("cmdSaveNewGroup");
  EXPECT_GE(FaultyVfs::fired(), 1);
  FaultyVfs::reset();
  const auto shown = t.messages().shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].style, msgbox::vbCritical);
  EXPECT_TRUE(shown[1].prompt.startsWith("The disk holding")) << shown[1].prompt.toStdString();
  EXPECT_FALSE(anyShown(shown, kAnotherGroup));
  EXPECT_EQ(t.activeName(), "frmAddGroup");
  EXPECT_TRUE(rows("SELECT * FROM \"Group\" WHERE TIP_GROUP = 'Emacs'").isEmpty());
  EXPECT_TRUE(rows("SELECT * FROM Tips WHERE TIP_SUBJECT = 'Buffers'").isEmpty());

  t.messages().clearShown();
  t.messages().queue(msgbox::vbOK);
  t.messages().queue(msgbox::vbNo);
  t.click("cmdSaveNewGroup");
  EXPECT_TRUE(anyShown(t.messages().shown(), kAnotherGroup));
  EXPECT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_EQ(rows("SELECT COUNT(*) FROM Tips WHERE TIP_SUBJECT = 'Buffers'"),
            (QList<QStringList>{{"1"}}));
}

TEST(UserDetailsScreen, AFailedWriteIsToldAndTheScreenStaysThenTheNextTrySaves) {
  ASSERT_TRUE(kInstalled);
  TestProgram t;
  t.start();
  ASSERT_EQ(t.activeName(), "frmUserDetails");
  const std::pair<const char *, QString> boxes[] = {{"txtFirstName", "Ann"},
                                                    {"txtLastName", "Lee"},
                                                    {"txtEmailAddress", "ann@example.org"},
                                                    {"txtCity", "Perth"},
                                                    {"txtCountry", "Australia"}};
  for (const auto &[name, value] : boxes)
    t.type(name, value);
  t.messages().clearShown();
  FaultyVfs::reset();
  for (int n = 1; n <= 200; ++n)
    FaultyVfs::failNth(FaultyVfs::Kind::Sync, n, SQLITE_IOERR_FSYNC);
  t.messages().queue(msgbox::vbOK);
  t.click("cmdSaveDetails");
  EXPECT_GE(FaultyVfs::fired(), 1);
  FaultyVfs::reset();
  ASSERT_EQ(t.messages().shown().size(), 1u);
  EXPECT_EQ(t.messages().shown()[0].style, msgbox::vbCritical);
  EXPECT_FALSE(t.messages().shown()[0].prompt.trimmed().isEmpty());
  EXPECT_EQ(t.activeName(), "frmUserDetails");
  EXPECT_EQ(t.rows("SELECT USER_FIRST FROM Settings"), (QList<QStringList>{{""}}));

  t.click("cmdSaveDetails");
  EXPECT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_EQ(t.rows("SELECT USER_FIRST, USER_COUNTRY FROM Settings"),
            (QList<QStringList>{{"Ann", "Australia"}}));
}

} // namespace
