// The help viewer and the help file it shows; the registry stand-in.
#include "platform/HelpViewer.h"
#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace {

QString deliveredHelpSource() {
  return QStringLiteral(OBX_SOURCE_DIR) + QStringLiteral("/data/help/ombrixtips-help.html");
}

QString readAll(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void writeFile(const QString &path, const QByteArray &bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

// A small help file: contents, two topics in a book, one topic outside it.
const QByteArray kSmallHelp = R"(<html><head><title>Small Help</title>
<style>h2 { color: red; }</style></head><body>
<a name="contents"></a><a name="0"></a>
<h1>Small Help</h1>
<h3>Pictures</h3>
<ul><li><a href="#20">Adding</a></li><li><a href="#40">Editing</a></li></ul>
<a name="20"></a>
<h2>Adding a group</h2>
<p>Double-click the picture to choose a JPEG file. See <a href="#40">editing</a>.</p>
<a name="40"></a>
<h2>Editing a group</h2>
<p>Rename the group or change its Picture.</p>
<a name="3"></a>
<h2>Good to know</h2>
<p>Backups of pictures.</p>
</body></html>
)";

class Viewer : public ::testing::Test {
protected:
  QTemporaryDir dir;
  QString file = dir.path() + QStringLiteral("/OMBRIXTIPS.HLP");
  HelpViewer viewer;
  void SetUp() override { writeFile(file, kSmallHelp); }
  bool open(int topic) { return viewer.WinHelp(0, file, HelpViewer::HELP_CONTEXT, topic); }
};

TEST(HelpFile, EveryScreenTopicAndEveryLinkOfTheDeliveredHelpLeadsToAPage) {
  const QString html = readAll(deliveredHelpSource());
  ASSERT_FALSE(html.isEmpty());
  const HelpViewerFile help = HelpViewerFile::parse(html);
  EXPECT_EQ(help.title(), "Ombrix Tips Help");
  ASSERT_GE(help.contents(), 0);
  QSet<QString> titles;
  for (int number : {10, 20, 40, 60, 70, 90, 110, 200, 300}) {
    SCOPED_TRACE(number);
    const int topic = help.topicForNumber(number);
    ASSERT_NE(topic, help.contents());
    const HelpTopic &page = help.topics()[topic];
    EXPECT_TRUE(page.names.contains(QString::number(number)));
    // A page that explains its screen: its messages and buttons, not a stub.
    EXPECT_GT(page.plainText.size(), 800);
    titles.insert(page.title);
  }
  EXPECT_EQ(titles.size(), 9) << "every screen's page has a title of its own";
  EXPECT_EQ(help.topicForNumber(12345), help.contents());
  EXPECT_EQ(help.topicForNumber(-1), help.contents());

  // No link leads nowhere, and the contents pane lists every page once.
  static const QRegularExpression link(QStringLiteral("href=\"#([^\"]*)\""));
  static const QRegularExpression comment(QStringLiteral("<!--.*?-->"),
                                          QRegularExpression::DotMatchesEverythingOption);
  for (auto it = link.globalMatch(QString(html).remove(comment)); it.hasNext();) {
    const QString target = it.next().captured(1);
    EXPECT_GE(help.find(target), 0) << "broken link #" << target.toStdString();
  }
  QSet<int> listed;
  for (const auto &entry : help.outline()) {
    EXPECT_FALSE(listed.contains(entry.topic)) << help.topics()[entry.topic].title.toStdString();
    listed.insert(entry.topic);
  }
  EXPECT_EQ(listed.size() + 1, static_cast<qsizetype>(help.topics().size()));
}

TEST(HelpFile, FindListsTheTopicsHoldingEveryWordAtAWordStart) {
  const HelpViewerFile help = HelpViewerFile::parse(QString::fromUtf8(kSmallHelp));
  auto titles = [&](const QString &words) {
    QStringList found;
    for (int topic : help.search(words))
      found << help.topics()[topic].title;
    return found.join(" | ").toStdString();
  };
  EXPECT_EQ(titles("pict"), "Small Help | Adding a group | Editing a group | Good to know");
  EXPECT_EQ(titles("PICTURE rename"), "Editing a group");
  EXPECT_EQ(titles("icture"), ""); // inside a word is no start
  EXPECT_EQ(titles("  ,; "), "");
  EXPECT_EQ(titles("jpeg, double"), "Adding a group");
}

TEST_F(Viewer, ShowsTheTopicOfANumberAndTheContentsForAnUnknownOne) {
  EXPECT_TRUE(open(40));
  EXPECT_TRUE(viewer.isVisible());
  EXPECT_EQ(viewer.currentTopicName(), "40");
  EXPECT_EQ(viewer.windowTitle(), "Small Help");
  EXPECT_FALSE(open(41));
  EXPECT_EQ(viewer.currentTopicName(), "contents");
  EXPECT_TRUE(viewer.WinHelp(0, file, HelpViewer::HELP_FINDER, 0));
  EXPECT_EQ(viewer.currentTopicName(), "contents");
  EXPECT_FALSE(viewer.WinHelp(0, file, 99, 0));
}

TEST_F(Viewer, BackForwardAndLinksWalkTheTopicsRead) {
  open(20);
  auto *page = viewer.findChild<QTextBrowser *>("helpTopic");
  ASSERT_NE(page, nullptr);
  emit page->anchorClicked(QUrl("#40"));
  EXPECT_EQ(viewer.currentTopicName(), "40");
  viewer.showContents();
  EXPECT_EQ(viewer.currentTopicName(), "contents");
  viewer.goBack();
  viewer.goBack();
  EXPECT_EQ(viewer.currentTopicName(), "20");
  EXPECT_FALSE(viewer.canGoBack());
  viewer.goForward();
  EXPECT_EQ(viewer.currentTopicName(), "40");
  // A new topic read after Back drops what lay ahead.
  emit page->anchorClicked(QUrl("#3"));
  EXPECT_FALSE(viewer.canGoForward());
  viewer.find("pictures backups");
  EXPECT_EQ(viewer.foundTitles(), QStringList({"Good to know"}));
  viewer.openFound(0);
  EXPECT_EQ(viewer.currentTopicName(), "3");
  EXPECT_FALSE(page->extraSelections().isEmpty()) << "the words found are marked";
}

TEST_F(Viewer, OneWindowThatKeepsItsPlaceAndSizeWhenClosedAndOpenedAgain) {
  open(20);
  viewer.resize(610, 470);
  viewer.move(140, 90);
  const QRect placed = viewer.geometry();
  EXPECT_TRUE(viewer.WinHelp(0, file, HelpViewer::HELP_QUIT, 0));
  EXPECT_FALSE(viewer.isVisible());
  open(40);
  EXPECT_TRUE(viewer.isVisible());
  EXPECT_EQ(viewer.geometry(), placed);
  EXPECT_FALSE(viewer.canGoBack()) << "a new opening starts a new trail";
}

TEST_F(Viewer, AnUnreadableHelpFileIsShownAsSuchAndReadOnceItIsThere) {
  const QString missing = dir.path() + "/NONE.HLP";
  EXPECT_FALSE(viewer.WinHelp(0, missing, HelpViewer::HELP_CONTEXT, 20));
  EXPECT_TRUE(viewer.isVisible());
  EXPECT_TRUE(viewer.findChild<QTextBrowser *>("helpTopic")->toPlainText().contains(missing));
  writeFile(missing, kSmallHelp);
  EXPECT_TRUE(viewer.WinHelp(0, missing, HelpViewer::HELP_CONTEXT, 20));
  EXPECT_EQ(viewer.currentTopicName(), "20");
  // A help file rewritten while the program runs is read again.
  writeFile(missing, QByteArray(kSmallHelp).replace("Editing a group", "Renaming a group"));
  EXPECT_TRUE(viewer.WinHelp(0, missing, HelpViewer::HELP_CONTEXT, 40));
  EXPECT_EQ(viewer.currentTitle(), "Renaming a group");
}

// A picture of the help window for the documentation:
//   test_platform --gtest_also_run_disabled_tests --gtest_filter='*PictureForTheDocs'
TEST(HelpViewerPicture, DISABLED_PictureForTheDocs) {
  HelpViewer viewer;
  viewer.WinHelp(0, deliveredHelpSource(), HelpViewer::HELP_CONTEXT, 200);
  QTest::qWait(50);
  const QString target = QStringLiteral(OBX_SOURCE_DIR) + QStringLiteral("/docs/help-viewer.png");
  EXPECT_TRUE(viewer.grab().save(target)) << target.toStdString();
}

TEST(RegistryStandIn, ReadsTextValuesByKeyWithoutRegardToCase) {
  QTemporaryDir dir;
  const QString machine = dir.path() + "/machine.ini";
  const QString second = dir.path() + "/second.ini";
  writeFile(machine, "; the viewer\n[SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
                     "PATH = /usr/bin/hardinfo \n[Other]\nPATH=/x\n");
  writeFile(second, "[software\\microsoft\\shared tools location]\nmsinfo=/opt/info\n"
                    "[Long]\nV=" +
                        QByteArray(SettingsRegistry::kMaxValueLength + 1, 'a') + "\n");
  // Only read: a file the user may not change serves as well.
  QFile::setPermissions(machine, QFileDevice::ReadOwner);
  const SettingsRegistry registry({machine, second}, {});
  QString value = "stale";
  EXPECT_TRUE(registry.GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\MICROSOFT\\Shared Tools\\MSINFO",
                                   "path", value));
  EXPECT_EQ(value, "/usr/bin/hardinfo");
  EXPECT_TRUE(registry.GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location",
                                   "MSINFO", value));
  EXPECT_EQ(value, "/opt/info");
  EXPECT_FALSE(registry.GetKeyValue(HKEY_LOCAL_MACHINE, "Long", "V", value));
  EXPECT_TRUE(value.isEmpty());
  EXPECT_FALSE(registry.GetKeyValue(HKEY_LOCAL_MACHINE, "Missing", "PATH", value));
  EXPECT_FALSE(registry.GetKeyValue(HKEY_CURRENT_USER, "Other", "PATH", value));
  EXPECT_TRUE(value.isEmpty());
}

} // namespace
