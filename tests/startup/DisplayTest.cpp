// Started without a display, the program says so in one line instead of aborting.
#include "startup/DisplayCheck.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

QProcessEnvironment withoutDisplay() {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char *variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    environment.remove(QString::fromLatin1(variable));
  return environment;
}

TEST(Display, TheProgramWithoutADisplayExitsWithOneLine) {
  QProcess program;
  program.setProcessEnvironment(withoutDisplay());
  program.start(QStringLiteral(OBX_PROGRAM_EXE), {});
  ASSERT_TRUE(program.waitForFinished(30000)) << "the program did not end";
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 1);
  EXPECT_EQ(program.readAllStandardError(),
            "Ombrix Tips needs a graphical display; DISPLAY is not set.\n");
}

TEST(Display, PlatformsThatNeedNoDisplayAreLetThrough) {
  const auto check = [](const QStringList &arguments, const QStringList &variables) {
    QProcessEnvironment environment = withoutDisplay();
    for (const QString &variable : variables)
      environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    return missingDisplay(QStringList{QStringLiteral("ombrixtips")} + arguments, environment);
  };
  EXPECT_EQ(check({}, {}), "Ombrix Tips needs a graphical display; DISPLAY is not set.");
  EXPECT_EQ(check({}, {"DISPLAY=:0"}), "");
  EXPECT_EQ(check({}, {"WAYLAND_DISPLAY=wayland-0"}), "");
  EXPECT_EQ(check({}, {"QT_QPA_PLATFORM=offscreen"}), "");
  EXPECT_EQ(check({}, {"QT_QPA_PLATFORM=vnc:size=800x600"}), "");
  EXPECT_EQ(check({}, {"QT_QPA_PLATFORM=xcb"}),
            "Ombrix Tips needs a graphical display; DISPLAY is not set.");
  EXPECT_EQ(check({}, {"QT_QPA_PLATFORM=wayland", "DISPLAY=:0"}),
            "Ombrix Tips needs a graphical display; WAYLAND_DISPLAY is not set.");
  EXPECT_EQ(check({}, {"QT_QPA_PLATFORM=wayland;xcb", "DISPLAY=:0"}), "");
  // The command line wins over the environment.
  EXPECT_EQ(check({"-platform", "minimal"}, {"QT_QPA_PLATFORM=xcb"}), "");
  EXPECT_EQ(check({"-platform", "xcb"}, {"QT_QPA_PLATFORM=offscreen"}),
            "Ombrix Tips needs a graphical display; DISPLAY is not set.");
}

} // namespace
