// The export screens driven through the real screens: the counts they show, the choice of
// kinds, the build and the package, and what the user is told when something fails.
#include "ExchangeFixture.h"

#include "framework/Screen.h"
#include "platform/Twips.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>

namespace {

const QString kTitle = "Export Tips Screen";

class Export : public OnExchange {
protected:
  void SetUp() override {
    OnExchange::SetUp();
    useGroups(t, {{11,
                   "Vim",
                   "O",
                   {2026, 1, 2},
                   {{"Macros", "O", {2026, 1, 2}}, {"Registers", "L", {2026, 5, 6}}}},
                  {12, "Shell", "L", {2026, 3, 4}, {{"Pipes", "L", {2026, 3, 4}}}},
                  {13, "Git", "IO", {2026, 2, 1}, {{"Rebase", "I", {2026, 2, 1}}}},
                  {14, "Odd", "", {}, {{"Nothing", "", {}}}}});
    t.triggerMenu("mnuExportItem");
    ASSERT_EQ(t.activeName(), "frmExport1");
  }
  QCheckBox *box(const char *name) { return t.control<QCheckBox>(name); }
  void toSecondScreen(const char *kind) {
    t.click(kind);
    t.click("cmdLoadExport");
    ASSERT_EQ(t.activeName(), "frmExport2");
  }
  QString package() const { return t.home() + "/OBXImpExp/OBXAnn.ZIP"; }
};

TEST_F(Export, TheFirstScreenCountsTheDatabaseByOriginAndNamesTheExport) {
  EXPECT_EQ(t.g().gMsgTitle, kTitle);
  EXPECT_EQ(text("lblExportName"), "OBXAnn.MDB");
  EXPECT_EQ(t.g().gExportName, "Ann");
  // A row counts under each of its flags; Total is the sum of the columns.
  EXPECT_EQ(column("lblInitialGroup", "lblInitilaTips", "lblInitialDate"),
            QStringList({"2", "1", day(2026, 2, 1)}));
  EXPECT_EQ(column("lblLocalGroup", "lblLocalTips", "lblLocalDate"),
            QStringList({"1", "2", day(2026, 5, 6)}));
  EXPECT_EQ(column("lblImportedGroup", "lblImportedTips", "lblImportedDate"),
            QStringList({"1", "1", day(2026, 2, 1)}));
  EXPECT_EQ(column("lblTotalGroup", "lblTotalTips", "lblTotalDate"),
            QStringList({"4", "4", day(2026, 5, 6)}));
  EXPECT_EQ(column("lblToExportGroup", "lblToExportTips", "lblToExportDate"),
            QStringList({"0", "0", "00:00:00"}));
  for (const char *name : {"CheckTotal", "CheckImported", "CheckLocal", "CheckInitial"}) {
    EXPECT_FALSE(box(name)->isChecked()) << name;
    EXPECT_TRUE(box(name)->isEnabled()) << name;
  }
  // A date of the user's locale fits its figure, in a smaller font where it must.
  for (const char *name : {"lblInitialDate", "lblLocalDate", "lblTotalDate"}) {
    auto *date = t.control<QLabel>(name);
    EXPECT_LE(QFontMetrics(date->font()).horizontalAdvance(date->text()), date->width()) << name;
  }
  EXPECT_EQ(t.control("cmdLoadExport")->toolTip(), "Prepare Export File");
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Export, AUserWithoutAFirstNameExportsUnderTheNameExport) {
  t.click("cmdShowTips");
  t.sql("UPDATE Settings SET USER_FIRST = NULL");
  t.triggerMenu("mnuExportItem");
  EXPECT_EQ(text("lblExportName"), "OBXexport.MDB");
}

TEST_F(Export, TheFiguresScaleWithTheirFrame) {
  QWidget *frame = t.control("FrameTotal");
  QWidget *figure = t.control("lblTotalDate");
  ASSERT_EQ(figure->parentWidget(), frame);
  // At its designed place in proportion to the client area (7308 x 4620 twips designed).
  const QWidget *client = t.active()->clientArea();
  EXPECT_NEAR(frame->x() * 7308.0 / client->width(), 4800, 15);
  EXPECT_NEAR(frame->y() * 4620.0 / client->height(), 2520, 15);
  const QRect before = figure->geometry();
  const QSize clientBefore = client->size();
  Screen *screen = t.active();
  screen->setWidth(screen->Width() * 2);
  screen->setHeight(screen->Height() * 2);
  t.settle();
  // The figure keeps its place and size inside its frame in proportion (to a pixel).
  const double wide = double(client->width()) / clientBefore.width();
  const double high = double(client->height()) / clientBefore.height();
  ASSERT_GT(wide, 1.5);
  EXPECT_NEAR(figure->x(), before.x() * wide, 1.5);
  EXPECT_NEAR(figure->y(), before.y() * high, 1.5);
  EXPECT_NEAR(figure->width(), before.width() * wide, 1.5);
  EXPECT_NEAR(figure->height(), before.height() * high, 1.5);
}

TEST_F(Export, TotalTicksAndLocksTheKindsAndUntickingFreesThemAll) {
  t.click("CheckLocal");
  t.click("CheckTotal");
  for (const char *name : {"CheckInitial", "CheckImported", "CheckLocal"}) {
    EXPECT_TRUE(box(name)->isChecked()) << name;
    EXPECT_FALSE(box(name)->isEnabled()) << name;
  }
  t.click("CheckTotal");
  for (const char *name : {"CheckInitial", "CheckImported", "CheckLocal"}) {
    EXPECT_FALSE(box(name)->isChecked()) << name;
    EXPECT_TRUE(box(name)->isEnabled()) << name;
  }
}

TEST_F(Export, NoKindTickedIsRefusedAndNothingChanges) {
  t.click("cmdLoadExport");
  ASSERT_EQ(shownCount(), 1u);
  EXPECT_EQ(lastMessage().prompt,
            "You Must Make a Selection!\r\nTick one of the {{To Export}} boxes.");
  EXPECT_EQ(lastMessage().style, 16);
  EXPECT_EQ(lastMessage().title, kTitle);
  EXPECT_EQ(t.activeName(), "frmExport1");
  EXPECT_EQ(text("cmdLoadExport"), "Load Export File");
  EXPECT_TRUE(t.control("cmdLoadExport")->isEnabled());
  EXPECT_TRUE(t.rows("SELECT * FROM \"Group\"", "\\Export\\obxexpor.mdb").isEmpty());
}

TEST_F(Export, ABuildThatFailsIsToldAndCanBeTriedAgain) {
  t.click("CheckLocal");
  // A group's picture cannot be copied to the working folder.
  t.program().files().failNth(FileOperation::Copy, 1);
  t.click("cmdLoadExport");
  ASSERT_EQ(shownCount(), 1u);
  EXPECT_EQ(lastMessage().style, 16);
  EXPECT_EQ(lastMessage().title, kTitle);
  EXPECT_EQ(t.activeName(), "frmExport1");
  EXPECT_EQ(text("cmdLoadExport"), "Load Export File");
  EXPECT_TRUE(t.control("cmdLoadExport")->isEnabled());
  EXPECT_TRUE(t.rows("SELECT * FROM \"Group\"", "\\Export\\obxexpor.mdb").isEmpty());
  EXPECT_TRUE(files(t.file("OBXTemp")).isEmpty());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  t.click("cmdLoadExport");
  EXPECT_EQ(shownCount(), 1u);
  EXPECT_EQ(t.activeName(), "frmExport2");
  EXPECT_EQ(text("lblToExportGroup"), "2");
}

TEST_F(Export, AllThreeKindsTickTotalAndTheSecondScreenShowsTheSummary) {
  t.click("CheckInitial");
  t.click("CheckLocal");
  t.click("CheckImported");
  t.click("cmdLoadExport");
  ASSERT_EQ(t.activeName(), "frmExport2");
  EXPECT_EQ(shownCount(), 0u);
  // Every group and tip went, the flagless ones included.
  EXPECT_EQ(column("lblToExportGroup", "lblToExportTips", "lblToExportDate"),
            QStringList({"4", "5", day(2026, 5, 6)}));
  EXPECT_EQ(column("lblTotalGroup", "lblTotalTips", "lblTotalDate"),
            QStringList({"4", "4", day(2026, 5, 6)}));
  EXPECT_EQ(column("lblInitialGroup", "lblInitilaTips", "lblInitialDate"),
            QStringList({"2", "1", day(2026, 2, 1)}));
  for (const char *name : {"CheckTotal", "CheckImported", "CheckLocal", "CheckInitial"}) {
    EXPECT_FALSE(box(name)->isChecked()) << name;
    EXPECT_FALSE(box(name)->isEnabled()) << name;
  }
  EXPECT_EQ(text("lblExportName"), "OBXAnn.ZIP");
  EXPECT_EQ(t.control("cmdCompressFile")->toolTip(), "Begin Compression of Export File");
  EXPECT_EQ(files(t.file("OBXTemp")), QStringList({"1.jpg", "2.jpg", "3.jpg", "4.jpg"}));
}

TEST_F(Export, CompressFileWritesThePackageAndEmptiesTheWorkingFolder) {
  toSecondScreen("CheckLocal");
  EXPECT_EQ(column("lblToExportGroup", "lblToExportTips", "lblToExportDate"),
            QStringList({"2", "2", day(2026, 5, 6)}));
  t.click("cmdCompressFile");
  EXPECT_EQ(shownCount(), 0u);
  EXPECT_EQ(text("cmdCompressFile"), "File Compressed!");
  EXPECT_FALSE(t.control("cmdCompressFile")->isEnabled());
  EXPECT_EQ(t.control<QGroupBox>("FrameExportFileName")->title(), "Exported Path and File Name");
  EXPECT_EQ(text("lblExportName"), "C:\\OBXImpExp\\OBXAnn.ZIP");
  EXPECT_TRUE(QFileInfo(package()).isFile());
  EXPECT_TRUE(files(t.file("OBXTemp")).isEmpty());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Export, APackageThatCannotBeWrittenIsReportedAndCanBeTriedAgain) {
  toSecondScreen("CheckInitial");
  // A folder where the package belongs: the archive cannot be put in place.
  ASSERT_TRUE(QDir().mkpath(package()));
  t.click("cmdCompressFile");
  ASSERT_EQ(shownCount(), 1u);
  EXPECT_EQ(lastMessage().style, 16);
  EXPECT_EQ(lastMessage().title, kTitle);
  EXPECT_TRUE(lastMessage().prompt.startsWith("The export package could not be written"))
      << lastMessage().prompt.toStdString();
  EXPECT_EQ(text("cmdCompressFile"), "Compress File");
  EXPECT_TRUE(t.control("cmdCompressFile")->isEnabled());
  EXPECT_EQ(text("lblExportName"), "OBXAnn.ZIP");
  // What was to be packed is still there.
  EXPECT_EQ(files(t.file("OBXTemp")), QStringList({"1.jpg", "2.jpg", "ombrixtipsie.mdb"}));
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  ASSERT_TRUE(QDir(package()).removeRecursively());
  t.click("cmdCompressFile");
  EXPECT_EQ(shownCount(), 1u);
  EXPECT_EQ(text("cmdCompressFile"), "File Compressed!");
  EXPECT_TRUE(QFileInfo(package()).isFile());
}

TEST_F(Export, ACopyThatFailsBeforePackingIsReportedNamingTheFile) {
  toSecondScreen("CheckImported");
  t.program().files().failNth(FileOperation::Copy, 1);
  t.click("cmdCompressFile");
  ASSERT_EQ(shownCount(), 1u);
  EXPECT_TRUE(lastMessage().prompt.contains("ombrixtipsie.mdb"))
      << lastMessage().prompt.toStdString();
  EXPECT_TRUE(t.control("cmdCompressFile")->isEnabled());
  EXPECT_FALSE(QFileInfo::exists(package()));
}

} // namespace
