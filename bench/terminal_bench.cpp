// The terminal's reading commands at a million tips, timed as a user meets them: the whole
// process of the built program, from its start to its exit, on a portable copy of it
// beside a tip database of 1,000,000 tips in 3,000 groups. The search index is built before
// find is timed (its build is bench_search's IndexBuildMillion). Each case reports the
// median of its repetitions (run with --benchmark_repetitions=N, default 15 here).
#include "MillionTips.h"

#include "search/TipIndex.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

struct MillionProgram {
  BenchFolder folder;
  QString exe = folder.root + "/ombrixtips";

  MillionProgram() {
    store::createDatabase(folder.paths.tipDatabase(), store::DatabaseKind::TipDatabase);
    fillMillionTips(folder.paths.tipDatabase());
    search::TipIndex(folder.paths.tipIndex(), folder.paths.tipDatabase()).rebuild();
    QFile::copy(QStringLiteral(OBX_PROGRAM_EXE), exe);
  }
};

MillionProgram &million() {
  static MillionProgram *made = nullptr;
  if (!made) {
    made = new MillionProgram;
    atEndOfRun([] {
      delete made; // the temporary folder of about 700 MB with it
      made = nullptr;
    });
  }
  return *made;
}

// Runs the program once per iteration and reports the time from its start to its exit.
void runProgram(benchmark::State &state, const QStringList &arguments) {
  MillionProgram &program = million();
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("HOME", program.folder.dir.path() + "/home");
  for (auto _ : state) {
    QProcess process;
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    process.start(program.exe, arguments);
    process.waitForFinished(60000);
    state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    if (process.exitCode() != 0 || process.readAllStandardOutput().isEmpty())
      state.SkipWithError(("the command failed: " + process.readAllStandardError()).constData());
  }
}

// Every tip holds both words: the newest 1,000 are ranked.
void FindCommonWordsMillion(benchmark::State &state) {
  runProgram(state, {"find", "something", "useful"});
}
// One tip: its number.
void FindRareWordMillion(benchmark::State &state) { runProgram(state, {"find", "0500000"}); }
void FindJsonMillion(benchmark::State &state) {
  runProgram(state, {"find", "--json", "something", "useful"});
}
void RandomMillion(benchmark::State &state) { runProgram(state, {"random"}); }

#define OBX_WHOLE_PROCESS(name)                                                                    \
  BENCHMARK(name)                                                                                  \
      ->Unit(benchmark::kMillisecond)                                                              \
      ->UseManualTime()                                                                            \
      ->Iterations(1)                                                                              \
      ->Repetitions(15)                                                                            \
      ->ComputeStatistics("max", [](const std::vector<double> &v) {                                \
        return *std::max_element(v.begin(), v.end());                                              \
      })
OBX_WHOLE_PROCESS(FindCommonWordsMillion);
OBX_WHOLE_PROCESS(FindRareWordMillion);
OBX_WHOLE_PROCESS(FindJsonMillion);
OBX_WHOLE_PROCESS(RandomMillion);

} // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  endOfRun();
  return 0;
}
