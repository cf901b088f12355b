// The About box: its texts, its keys, the one instance kept, and the way to the system
// information viewer through the registry, the platform's own programs or the message.
#include "support/TestProgram.h"

#include "framework/Screens.h"
#include "screens/main/frmAbout.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMap>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A registry holding the values a test gives it.
class FakeRegistry : public Registry {
public:
  QMap<QString, QString> values; // "key|value" -> text
  bool GetKeyValue(RegistryRoot root, const QString &keyName, const QString &valueName,
                   QString &value) const override {
    const QString key = keyName + '|' + valueName;
    value = root == HKEY_LOCAL_MACHINE ? values.value(key) : QString();
    return root == HKEY_LOCAL_MACHINE && values.contains(key);
  }
};

class About : public OnMainScreen {
protected:
  std::shared_ptr<FakeRegistry> registry = std::make_shared<FakeRegistry>();
  QString ownViewer; // what the search for the platform's own viewer finds
  QStringList started;
  bool startWorks = true;

  frmAbout *open() {
    t.triggerMenu("mnuAboutItem");
    auto *about = dynamic_cast<frmAbout *>(t.active());
    if (about)
      about->setSystemInfo({registry, [this] { return ownViewer; },
                            [this](const QString &program) {
                              started << program;
                              return startWorks;
                            }});
    return about;
  }
  QString text(const char *label) { return t.control<QLabel>(label)->text(); }
};

TEST_F(About, ShowsTitleAndTheBuildsVersion) {
  ASSERT_NE(open(), nullptr);
  EXPECT_EQ(t.active()->windowTitle(), "About Ombrix Tips database program");
  EXPECT_EQ(text("lblTitle"), "Ombrix Tips");
  EXPECT_EQ(text("lblVersion"), "Version 0.31 BETA   Build 200");
  EXPECT_FALSE(text("lblDescription").isEmpty());
  EXPECT_EQ(frmAbout::versionText(1, 2, 65535), "Version 1.2 BETA   Build 65535");
}

TEST_F(About, EscEnterAndTheWindowFrameReturnLikeOkToTheSameKeptInstance) {
  frmAbout *about = open();
  ASSERT_NE(about, nullptr);
  // Esc reaches the window; Enter the button that has the focus, OK at the opening.
  ASSERT_NE(about->focusWidget(), nullptr);
  EXPECT_EQ(about->focusWidget()->objectName(), "cmdOK");
  for (QWidget *target : {static_cast<QWidget *>(about), about->focusWidget()}) {
    ASSERT_NE(target, nullptr);
    const Qt::Key key = target == about ? Qt::Key_Escape : Qt::Key_Return;
    SCOPED_TRACE(key);
    QTest::keyClick(target, key);
    t.settle();
    EXPECT_EQ(t.activeName(), "frmOmbrixShow");
    EXPECT_FALSE(about->isVisible());
    EXPECT_EQ(t.program().screens().find("frmAbout"), about) << "hidden, not unloaded";
    ASSERT_EQ(open(), about) << "the same instance each time";
  }
  // Closed from its frame, it goes back as OK does: the program never loses its window.
  about->close();
  t.settle();
  EXPECT_EQ(t.activeName(), "frmOmbrixShow");
  EXPECT_EQ(t.program().screens().find("frmAbout"), about);
}

TEST_F(About, SystemInfoStartsTheViewerTheRegistryNames) {
  registry->values["SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH"] = "/usr/bin/msinfo";
  ownViewer = "/usr/bin/hardinfo";
  open();
  t.click("cmdSysInfo");
  EXPECT_EQ(started, QStringList({"/usr/bin/msinfo"}));
  EXPECT_TRUE(t.messages().shown().empty());
  EXPECT_EQ(t.activeName(), "frmAbout");
}

TEST_F(About, SystemInfoStartsTheViewerFromTheFolderTheRegistryNames) {
  const QString folder = t.home() + "/Shared Tools";
  QDir().mkpath(folder);
  QFile viewer(folder + "/msinfo32.exe"); // the name is matched without regard to case
  ASSERT_TRUE(viewer.open(QIODevice::WriteOnly));
  viewer.close();
  registry->values["SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO"] = "C:\\Shared Tools";
  open();
  t.click("cmdSysInfo");
  EXPECT_EQ(started, QStringList({folder + "/msinfo32.exe"}));
  EXPECT_TRUE(t.messages().shown().empty());
}

TEST_F(About, SystemInfoFallsBackToThePlatformsOwnViewerThenToTheMessage) {
  // A folder without the viewer in it leads on to the platform's own program.
  registry->values["SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO"] = "C:\\Nowhere";
  ownViewer = "/usr/bin/hardinfo";
  open();
  t.click("cmdSysInfo");
  EXPECT_EQ(started, QStringList({"/usr/bin/hardinfo"}));
  EXPECT_TRUE(t.messages().shown().empty());

  // Nothing to start, or a start that fails: the message, once per click, About stays.
  ownViewer.clear();
  for (int click = 1; click <= 2; ++click) {
    t.click("cmdSysInfo");
    ASSERT_EQ(t.messages().shown().size(), static_cast<std::size_t>(click));
    const msgbox::ShownMessage &shown = t.messages().shown().back();
    EXPECT_EQ(shown.prompt, "System Information Is Unavailable At This Time");
    EXPECT_EQ(shown.style, msgbox::vbOKOnly);
    EXPECT_EQ(shown.title, "Ombrix Tips");
    EXPECT_EQ(t.activeName(), "frmAbout");
  }
  ownViewer = "/usr/bin/hardinfo";
  startWorks = false;
  t.click("cmdSysInfo");
  EXPECT_EQ(t.messages().shown().size(), 3u);
}

} // namespace
