// The import screens driven through the real screens: the package picker, the unpack with
// what it tells the user, the counts of a package, and the merge; and one exchange from an
// export on one installation to the import on another.
#include "ExchangeFixture.h"

#include "exchange/ZipLink.h"
#include "framework/ContextIDs.h"
#include "framework/Screen.h"
#include "framework/Screens.h"
#include "platform/Twips.h"
#include "screens/exchange/UnzipMessages.h"

#include <QAction>
#include <QDesktopServices>
#include <QGroupBox>
#include <QGuiApplication>
#include <QUrl>
#include <sqlite3.h>

namespace {

const QString kTitle = "Importing New Tips";

// Stands in for the desktop's program for the files a screen opens.
class OpenedFiles : public QObject {
  Q_OBJECT
public:
  OpenedFiles() { QDesktopServices::setUrlHandler("file", this, "open"); }
  ~OpenedFiles() override { QDesktopServices::unsetUrlHandler("file"); }
  QStringList paths;
public slots:
  void open(const QUrl &url) { paths << url.toLocalFile(); }
};

class Import : public OnExchange {
protected:
  void SetUp() override {
    OnExchange::SetUp();
    t.program().clock().setToday({2027, 4, 5});
    useGroups(t, {{21, "Vim", "O", {2026, 1, 2}, {{"Macros", "O", {2026, 1, 2}}}},
                  {22, "Shell", "L", {2026, 3, 4}, {{"Pipes", "L", {2026, 3, 4}}}}});
  }

  // Exports from another installation: groups Vim (with the subjects Macros, already
  // known here, and Marks) and Git (with Rebase), as "OBX<first>.ZIP" into this
  // installation's exchange folder.
  void receivePackage(const QString &first = "Bob") {
    TestProgram sender;
    sender.setUserDetails(first);
    useGroups(sender, {{5,
                        "Vim",
                        "O",
                        {2026, 1, 2},
                        {{"Macros", "O", {2026, 1, 2}}, {"Marks", "L", {2026, 6, 7}}}},
                       {9, "Git", "L", {2026, 6, 1}, {{"Rebase", "L", {2026, 6, 1}}}}});
    sender.start();
    sender.triggerMenu("mnuExportItem");
    sender.click("CheckTotal");
    sender.click("cmdLoadExport");
    sender.click("cmdCompressFile");
    ASSERT_EQ(sender.text("cmdCompressFile"), "File Compressed!");
    const QString name = "OBX" + first + ".ZIP";
    QDir().mkpath(t.home() + "/OBXImpExp");
    ASSERT_TRUE(QFile::copy(sender.home() + "/OBXImpExp/" + name, exchange(name)));
    senderGit_ = bytes(sender.file("images/9.jpg"));
  }
  QString exchange(const QString &name) const { return t.home() + "/OBXImpExp/" + name; }

  // A package of one member made of a file's bytes (the files are packed from a folder of
  // their own, which the packing empties).
  void packFile(const QString &package, const QString &member, const QByteArray &content) {
    const QString staging = t.home() + "/staging";
    QDir().mkpath(staging);
    QDir().mkpath(t.home() + "/OBXImpExp");
    QFile file(staging + '/' + member);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    exchange::ZipLink zip(t.program().files());
    ASSERT_EQ(zip.ZipFiles(1, exchange(package), {staging + "/*"}, 1, 0, 0, 0, "C:\\"), 0)
        << zip.lastError().toStdString();
  }

  void openPicker() {
    t.triggerMenu("mnuImportItem");
    ASSERT_EQ(t.activeName(), "frmImport1");
    t.click("cmdReadImport");
    ASSERT_TRUE(t.control("File1")->isVisible());
    t.choose("Dir1", "C:\\OBXImpExp");
  }
  void unpack(const QString &package) {
    openPicker();
    t.doubleClick("File1", package);
    ASSERT_EQ(t.activeName(), "frmImport2");
  }
  QStringList groups() {
    return rowsOf("SELECT GROUP_ID, TIP_GROUP, G_LOCAL, G_IMPORT, G_ORIGINAL, "
                  "G_DATE FROM \"Group\" ORDER BY GROUP_ID");
  }
  QStringList rowsOf(const QString &query) {
    QStringList joined;
    for (const QStringList &row : t.rows(query))
      joined << row.join('|');
    return joined;
  }
  int top(const char *name) { return twips::fromPixels(t.control(name)->y()); }
  static int designed(int twipsTop) { return twips::fromPixels(twips::toPixels(twipsTop)); }

  QByteArray senderGit_;
};

TEST_F(Import, TheFirstScreenCountsTheDatabaseInColouredColumns) {
  t.triggerMenu("mnuImportItem");
  ASSERT_EQ(t.activeName(), "frmImport1");
  EXPECT_EQ(t.g().gMsgTitle, kTitle);
  EXPECT_EQ(column("lblInitialGroup", "lblInitilaTips", "lblInitialDate"),
            QStringList({"1", "1", day(2026, 1, 2)}));
  EXPECT_EQ(column("lblTotalGroup", "lblTotalTips", "lblTotalDate"),
            QStringList({"2", "2", day(2026, 3, 4)}));
  EXPECT_EQ(t.control("lblInitialGroup")->palette().color(QPalette::WindowText), QColor(Qt::blue));
  EXPECT_EQ(t.control("lblTotalDate")->palette().color(QPalette::WindowText), QColor(Qt::red));
  EXPECT_EQ(text("lblImportName"), "");
  EXPECT_EQ(t.control("cmdReadImport")->toolTip(), "Access and Read Import File");
}

TEST_F(Import, ThePickerListsPackagesAndAClickOnlyNamesOne) {
  QDir().mkpath(t.home() + "/OBXImpExp");
  for (const char *name : {"OBXANN.ZIP", "obxbob.zip", "tips.zip", "OBXnotes.txt"})
    writePicture(exchange(name), 0);
  t.triggerMenu("mnuImportItem");
  for (const char *name : {"Drive1", "Dir1", "File1", "cmdDirHelp", "cmdDirCancel"}) {
    EXPECT_FALSE(t.control(name)->isVisible()) << name;
    EXPECT_GT(t.control(name)->y(), t.active()->clientArea()->height()) << name;
  }
  t.click("cmdReadImport");
  EXPECT_EQ(top("cmdDirHelp"), designed(480));
  EXPECT_EQ(top("Drive1"), designed(800));
  EXPECT_EQ(top("Dir1"), designed(1160));
  EXPECT_EQ(top("File1"), designed(2500));
  EXPECT_FALSE(t.control("cmdHelp")->isVisible());
  EXPECT_FALSE(t.control("cmdShowTips")->isVisible());
  EXPECT_FALSE(t.menuItemEnabled("mnuExiteItem"));
  EXPECT_EQ(t.control("cmdDirCancel")->toolTip(), "Cancel Directory Information");
  // The lists open on the exchange folder, and list packages whatever their case.
  EXPECT_EQ(text("Dir1"), "C:\\OBXImpExp");
  EXPECT_EQ(t.entries("File1"), QStringList({"OBXANN.ZIP", "obxbob.zip"}));
  t.click("cmdDirHelp");
  EXPECT_EQ(t.program().help().calls().back().data, 300);

  t.choose("File1", "obxbob.zip");
  EXPECT_EQ(t.g().gImportFileName, "C:\\OBXImpExp\\obxbob.zip");
  EXPECT_EQ(text("lblImportName"), "C:\\OBXImpExp\\obxbob.zip");
  EXPECT_EQ(t.activeName(), "frmImport1");
  t.click("cmdDirCancel");
  EXPECT_FALSE(t.control("File1")->isVisible());
  EXPECT_TRUE(t.control("cmdShowTips")->isVisible());
  EXPECT_TRUE(t.menuItemEnabled("mnuExiteItem"));
  EXPECT_EQ(text("lblImportName"), "C:\\OBXImpExp\\obxbob.zip");
  EXPECT_TRUE(files(t.file("OBXTemp")).isEmpty());
}

TEST_F(Import, AnExchangeFromOneInstallationToAnother) {
  receivePackage();
  unpack("OBXBob.ZIP");
  EXPECT_EQ(shownCount(), 0u);
  EXPECT_EQ(t.g().gMsgTitle, kTitle);
  EXPECT_EQ(text("lblImportName"), "C:\\OBXImpExp\\OBXBob.ZIP");
  EXPECT_EQ(column("lblToImportGroup", "lblToImportTips", "lblToImportDate"),
            QStringList({"2", "3", day(2026, 6, 7)}));
  EXPECT_EQ(column("lblTotalGroup", "lblTotalTips", "lblTotalDate"),
            QStringList({"2", "2", day(2026, 3, 4)}));
  EXPECT_FALSE(t.control("FrameNew")->isVisible());
  EXPECT_FALSE(t.control("FrameTotal2")->isVisible());
  EXPECT_TRUE(t.control("cmdStartImport")->isEnabled());
  EXPECT_EQ(t.control("cmdShowTips")->toolTip(), "Cancel this Action");

  t.click("cmdStartImport");
  EXPECT_EQ(shownCount(), 0u);
  EXPECT_FALSE(t.control("FrameTotal")->isVisible());
  EXPECT_FALSE(t.control("FrameToImport")->isVisible());
  EXPECT_TRUE(t.control("FrameNew")->isVisible());
  EXPECT_TRUE(t.control("FrameTotal2")->isVisible());
  // Git is new; Vim exists and receives Marks; Macros is known already.
  EXPECT_EQ(column("lblNewGroup", "lblNewTip", "lblNewDate"),
            QStringList({"1", "2", day(2026, 6, 7)}));
  EXPECT_EQ(column("lblTotalGroup2", "lblTotalTips2", "lblTotalDate2"),
            QStringList({"3", "4", day(2026, 6, 7)}));
  EXPECT_EQ(text("cmdStartImport"), "Importing Done!");
  EXPECT_FALSE(t.control("cmdStartImport")->isEnabled());
  EXPECT_EQ(text("cmdShowTips"), "Return To Main Screen");
  EXPECT_TRUE(t.control("cmdShowTips")->font().bold());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  EXPECT_EQ(groups(), QStringList({"21|Vim|0|0|-1|2026-01-02", "22|Shell|-1|0|0|2026-03-04",
                                   "23|Git|0|-1|0|2027-04-05"}));
  EXPECT_EQ(rowsOf("SELECT GROUP_ID, TIP_SUBJECT, TIP_LOCAL, TIP_IMPORT, TIP_ORIGINAL, TIP_DATE "
                   "FROM Tips WHERE TIP_IMPORT <> 0 ORDER BY TIPS_ID"),
            QStringList({"21|Marks|0|-1|0|2027-04-05", "23|Rebase|0|-1|0|2027-04-05"}));
  EXPECT_EQ(bytes(t.file("images/23.jpg")), senderGit_);

  t.click("cmdShowTips");
  ASSERT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_EQ(t.entries("Combo1"), QStringList({"Git", "Shell", "Vim"}));
}

TEST_F(Import, AMergeThatFailsIsToldAndLeavesTheDatabaseAndTheScreenAsTheyWere) {
  receivePackage();
  unpack("OBXBob.ZIP");
  const QStringList before = groups();
  // The new group's picture cannot be copied.
  t.program().files().failNth(FileOperation::Copy, 1);
  t.click("cmdStartImport");
  ASSERT_EQ(shownCount(), 1u);
  EXPECT_EQ(lastMessage().style, 16);
  EXPECT_EQ(lastMessage().title, kTitle);
  EXPECT_EQ(groups(), before);
  EXPECT_EQ(rowsOf("SELECT COUNT(*) FROM Tips"), QStringList({"2"}));
  EXPECT_FALSE(QFileInfo::exists(t.file("images/23.jpg")));
  EXPECT_TRUE(files(t.file("Reports")).isEmpty()) << "a failed import has no report";
  EXPECT_TRUE(t.control("FrameTotal")->isVisible());
  EXPECT_TRUE(t.control("FrameToImport")->isVisible());
  EXPECT_FALSE(t.control("FrameNew")->isVisible());
  EXPECT_EQ(text("cmdStartImport"), "Start Importing");
  EXPECT_EQ(text("cmdShowTips"), "Exit This Screen");
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  // Tried again, it lands.
  t.click("cmdStartImport");
  EXPECT_EQ(shownCount(), 1u);
  EXPECT_EQ(text("cmdStartImport"), "Importing Done!");
  EXPECT_EQ(groups().size(), 3);
  EXPECT_EQ(files(t.file("Reports")).size(), 1);
}

TEST_F(Import, DetailsShowThePlanThenWhatTheMergeDidAndOpenItsReport) {
  receivePackage();
  unpack("OBXBob.ZIP");
  Screen *importScreen = t.active();
  ASSERT_TRUE(t.control("cmdImportDetails")->isEnabled());
  const QStringList before = groups();
  t.click("cmdImportDetails");
  ASSERT_EQ(t.activeName(), "frmImportDetails");
  EXPECT_EQ(t.g().gMsgTitle, "Import Details");
  EXPECT_FALSE(importScreen->isVisible());
  EXPECT_EQ(t.entries("lstImportDetails"),
            QStringList({"Group \"Vim\" matches the group \"Vim\"",
                         "    \"Macros\" to skip: its subject exists in \"Vim\"",
                         "    \"Marks\" to add to \"Vim\"", "New group \"Git\"",
                         "    \"Rebase\" to add to \"Git\""}));
  EXPECT_EQ(text("lblImportDetails"), "2 tips to add, 1 skipped");
  EXPECT_FALSE(t.control("cmdOpenReport")->isEnabled());
  EXPECT_EQ(groups(), before) << "looking writes nothing";
  t.click("cmdHelp");
  EXPECT_EQ(t.program().help().calls().back().data, 310);

  // Back to the same screen, as it was left.
  t.click("cmdShowTips");
  ASSERT_EQ(t.active(), importScreen);
  EXPECT_EQ(t.g().gMsgTitle, kTitle);
  EXPECT_EQ(text("lblToImportTips"), "3");
  t.click("cmdStartImport");
  EXPECT_EQ(shownCount(), 0u);
  const QStringList reports = files(t.file("Reports"));
  ASSERT_EQ(reports.size(), 1);
  EXPECT_TRUE(reports[0].endsWith(" OBXBob.csv")) << reports[0].toStdString();

  const QString added = text("lblNewTip");
  t.click("cmdImportDetails");
  EXPECT_EQ(t.entries("lstImportDetails").at(2), "    \"Marks\" added to \"Vim\"");
  EXPECT_EQ(text("lblImportDetails"), added + " tips added, 1 skipped");
  OpenedFiles opened;
  t.click("cmdOpenReport");
  EXPECT_EQ(opened.paths, QStringList({t.file("Reports/" + reports[0])}));
  // A report gone since is told in words.
  QFile::remove(t.file("Reports/" + reports[0]));
  t.click("cmdOpenReport");
  ASSERT_EQ(shownCount(), 1u);
  EXPECT_TRUE(lastMessage().prompt.contains("is no longer in the folder"));
  EXPECT_EQ(lastMessage().title, "Import Details");

  // Closed from its frame, it goes back too; View Tips Screen ends the import.
  t.active()->close();
  t.settle();
  ASSERT_EQ(t.active(), importScreen);
  EXPECT_EQ(text("cmdStartImport"), "Importing Done!");
  t.click("cmdImportDetails");
  t.triggerMenu("nmuShowTipsItem");
  EXPECT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_EQ(t.program().screens().find("frmImport2"), nullptr);
  EXPECT_TRUE(files(t.file("OBXTemp")).isEmpty());
}

TEST_F(Import, AReportThatCannotBeWrittenIsToldAndTheImportStaysDone) {
  receivePackage();
  writePicture(t.file("Reports"), 0); // a file where the folder would be made
  unpack("OBXBob.ZIP");
  t.click("cmdStartImport");
  ASSERT_EQ(shownCount(), 1u);
  EXPECT_TRUE(lastMessage().prompt.startsWith("The tips were imported, but the report"))
      << lastMessage().prompt.toStdString();
  EXPECT_EQ(lastMessage().style, 48);
  EXPECT_EQ(text("cmdStartImport"), "Importing Done!");
  EXPECT_EQ(groups().size(), 3);
  t.click("cmdImportDetails");
  EXPECT_FALSE(t.control("cmdOpenReport")->isEnabled());
}

TEST_F(Import, AFileThatIsNoPackageSaysSoOnceAndNothingCanBeImported) {
  QDir().mkpath(t.home() + "/OBXImpExp");
  writePicture(exchange("OBXEve.zip"), 1);
  unpack("OBXEve.zip");
  // One message, in words, with the stop icon and the screen's title; the second screen
  // adds none of its own.
  ASSERT_EQ(shownCount(), 1u);
  const msgbox::ShownMessage &failure = t.messages().shown()[0];
  EXPECT_TRUE(failure.prompt.startsWith("The file \"OBXEve.zip\" is not a ZIP package"))
      << failure.prompt.toStdString();
  EXPECT_EQ(failure.style, 16);
  EXPECT_EQ(failure.title, kTitle);
  EXPECT_FALSE(t.control("cmdStartImport")->isEnabled());
  EXPECT_FALSE(t.control("cmdImportDetails")->isEnabled());
  EXPECT_EQ(column("lblToImportGroup", "lblToImportTips", "lblToImportDate"),
            QStringList({"0", "0", "00:00:00"}));
  EXPECT_FALSE(QFileInfo::exists(t.file("OBXTemp/ombrixtipsie.mdb")));
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Import, APackageDatabaseWithoutTheTipTablesKeepsStartImportingDisabled) {
  const QString made = t.home() + "/made.mdb";
  sqlite3 *db = nullptr;
  ASSERT_EQ(sqlite3_open(made.toUtf8().constData(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE Notes(a TEXT)", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  packFile("OBXEve.ZIP", "ombrixtipsie.mdb", bytes(made));
  unpack("OBXEve.ZIP");
  ASSERT_EQ(shownCount(), 1u);
  EXPECT_EQ(lastMessage().style, 16);
  EXPECT_FALSE(t.control("cmdStartImport")->isEnabled());
  EXPECT_EQ(groups().size(), 2);
}

TEST_F(Import, AnEmptyPackageIsToldAndNothingIsMerged) {
  packFile("OBXEve.ZIP", "ombrixtipsie.mdb", bytes(t.file("@@@@@@@@.@@@")));
  unpack("OBXEve.ZIP");
  EXPECT_EQ(shownCount(), 0u);
  EXPECT_FALSE(t.control("cmdImportDetails")->isEnabled());
  t.click("cmdStartImport");
  ASSERT_EQ(shownCount(), 1u);
  EXPECT_EQ(lastMessage().prompt, "The Database Is Empty!\r\nClick OK To Add Your First Record.");
  EXPECT_EQ(lastMessage().style, 16);
  EXPECT_EQ(lastMessage().title, kTitle);
  EXPECT_FALSE(t.control("cmdStartImport")->isEnabled());
  EXPECT_EQ(groups().size(), 2);
}

TEST(UnzipMessagesTest, TheOverwriteQuestionAndTheFailureGoThroughMessageBoxes) {
  msgbox::Script script;
  UnzipMessages messages(kTitle);
  const QString question = exchange::UnzipLink::overwriteText("3.jpg");
  const QString title = exchange::UnzipLink::overwriteTitle();
  script.queue(msgbox::vbYes);
  script.queue(msgbox::vbNo);
  script.queue(msgbox::vbCancel);
  EXPECT_EQ(messages.askReplace(question, title), 102);
  EXPECT_EQ(messages.askReplace(question, title), 100);
  EXPECT_EQ(messages.askReplace(question, title), 104);
  ASSERT_EQ(script.shown().size(), 3u);
  EXPECT_EQ(script.shown()[0].prompt, "Overwrite 3.jpg?");
  EXPECT_EQ(script.shown()[0].style, 3);
  EXPECT_EQ(script.shown()[0].title, "QorUnzip - File already exists");
  messages.showFailure("The package is incomplete. (code 51)");
  EXPECT_EQ(script.shown().back().prompt, "The package is incomplete. (code 51)");
  EXPECT_EQ(script.shown().back().style, 16);
  EXPECT_EQ(script.shown().back().title, kTitle);
}

} // namespace

#include "ImportScreensTest.moc"
