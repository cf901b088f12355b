// Each operation killed part-way: OBX_CRASH_KILLS times (10 by default), at random moments
// drawn from OBX_CRASH_SEED, on small data or, with OBX_CRASH_DATA=large, on the data that
// scripts/crash-test uses. Nothing may be corrupt or half done, every group keeps its
// picture, and the program starts on what is left.
#include "CrashHarness.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace {

int fromEnvironment(const char *name, int fallback) {
  bool ok = false;
  const int value = qEnvironmentVariableIntValue(name, &ok);
  return ok && value > 0 ? value : fallback;
}

std::vector<crash::Figures> &measured() {
  static std::vector<crash::Figures> figures;
  return figures;
}

// The figures of every operation, printed once all have run.
class FiguresTable : public ::testing::Environment {
public:
  void TearDown() override {
    if (measured().empty())
      return;
    std::printf("\n--- crash figures ---\n%s", qPrintable(crash::figuresTable(measured())));
    for (const crash::Figures &f : measured())
      for (const QString &fault : f.faults)
        std::printf("  %s\n", qPrintable(fault));
    std::printf("---\n");
  }
};
[[maybe_unused]] const auto *const kTable = ::testing::AddGlobalTestEnvironment(new FiguresTable);

class Killed : public ::testing::TestWithParam<crash::Operation> {};

TEST_P(Killed, LeavesTheStateBeforeOrAfterAndTheProgramStarts) {
  crash::Options options;
  options.kills = fromEnvironment("OBX_CRASH_KILLS", 10);
  if (qgetenv("OBX_CRASH_DATA") == "large")
    options.size = crash::kLargeSize;
  options.seed = quint32(fromEnvironment("OBX_CRASH_SEED", 1)) * 4 + quint32(GetParam());
  crash::Figures figures;
  try {
    figures = crash::runKills(GetParam(), options);
  } catch (const std::exception &e) {
    FAIL() << e.what();
  }
  measured().push_back(figures);
  EXPECT_EQ(figures.kills, options.kills);
  // Every operation met a kill right before one of its file operations.
  EXPECT_GT(figures.chosenByKind["file-before"], 0);
  EXPECT_GT(figures.programStarts, 0);
  EXPECT_TRUE(figures.clean()) << figures.faults.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Operations, Killed, ::testing::ValuesIn(crash::kOperations),
                         [](const auto &info) {
                           return crash::operationName(info.param).replace('-', '_').toStdString();
                         });

} // namespace
