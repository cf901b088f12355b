// The command line: --version and --help answer without a display, anything unknown is
// refused with the usage, and Qt's own options pass.
#include "startup/CommandLine.h"
#include "startup/ProgramVersion.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

CommandLine parse(const QStringList &arguments) {
  return parseCommandLine(QStringList{QStringLiteral("ombrixtips")} + arguments);
}

struct Finished {
  int status = -1;
  QByteArray out;
  QByteArray err;
};

// The built program started with these arguments and no display at all.
Finished runWithoutDisplay(const QStringList &arguments) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char *variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    environment.remove(QString::fromLatin1(variable));
  QProcess program;
  program.setProcessEnvironment(environment);
  program.start(QStringLiteral(OBX_PROGRAM_EXE), arguments);
  Finished run;
  if (!program.waitForFinished(30000) || program.exitStatus() != QProcess::NormalExit)
    return run;
  run.status = program.exitCode();
  run.out = program.readAllStandardOutput();
  run.err = program.readAllStandardError();
  return run;
}

TEST(CommandLine, OptionsAreReadAndUnknownOnesRefused) {
  using A = CommandLine::Action;
  EXPECT_EQ(parse({}).action, A::Run);
  EXPECT_EQ(parse({"--version"}).action, A::Version);
  EXPECT_EQ(parse({"--help"}).action, A::Help);
  EXPECT_EQ(parse({"-h"}).action, A::Help);
  EXPECT_EQ(parse({"--version", "--help"}).action, A::Help);

  const CommandLine unknown = parse({"--verbose"});
  EXPECT_EQ(unknown.action, A::Refuse);
  EXPECT_EQ(unknown.error, "unknown option '--verbose'");
  EXPECT_EQ(parse({"-v"}).action, A::Refuse);
  EXPECT_EQ(parse({"-"}).action, A::Refuse);
  EXPECT_EQ(parse({"tips.mdb"}).error, "unexpected argument 'tips.mdb'");
  // A refusal anywhere wins over --help: nothing on the line is silently dropped.
  EXPECT_EQ(parse({"--help", "--bogus"}).action, A::Refuse);
}

TEST(CommandLine, QtsOwnOptionsPassWithTheirValues) {
  using A = CommandLine::Action;
  EXPECT_EQ(parse({"-platform", "offscreen"}).action, A::Run);
  EXPECT_EQ(parse({"--platform", "xcb", "-reverse"}).action, A::Run);
  EXPECT_EQ(parse({"-style=fusion", "-stylesheet", "tips.qss"}).action, A::Run);
  EXPECT_EQ(parse({"-session", "1234abcd"}).action, A::Run);
  // The value is taken as a value, not read as an option of the program.
  EXPECT_EQ(parse({"-qwindowtitle", "--version"}).action, A::Run);
  EXPECT_EQ(parse({"-platform"}).error, "option '-platform' needs a value");
  EXPECT_EQ(parse({"-platform=offscreen"}).action, A::Refuse);
}

TEST(CommandLine, VersionAndHelpAnswerWithoutADisplay) {
  const Finished version = runWithoutDisplay({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, QStringLiteral("Ombrix Tips %1.%2 BETA Build %3\n")
                             .arg(version::kMajor)
                             .arg(version::kMinor)
                             .arg(version::kRevision)
                             .toUtf8());
  EXPECT_EQ(version.err, "");

  const Finished help = runWithoutDisplay({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.startsWith("Usage: ombrixtips [--version] [--help]")) << help.out.data();
  EXPECT_EQ(help.err, "");
}

TEST(CommandLine, TheProgramRefusesAnUnknownOptionWithTheUsageAndStatusTwo) {
  const Finished run = runWithoutDisplay({"--frobnicate"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_TRUE(run.err.startsWith("ombrixtips: unknown option '--frobnicate'\nUsage: ombrixtips"))
      << run.err.data();
}

} // namespace
