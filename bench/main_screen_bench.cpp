// The main screen at scale: 32,767 tips in 300 groups.
//   build/bench/bench_main_screen --benchmark_repetitions=10 --benchmark_report_aggregates_only
#include "LargeDatabase.h"

#include "shell/Screen.h"
#include "shell/Screens.h"
#include "support/Installation.h"

#include <QApplication>
#include <QComboBox>
#include <benchmark/benchmark.h>

namespace {

Installation &largeInstallation() {
  static Installation *installation = [] {
    auto *inst = new Installation;
    fillLargeCollection(inst->file(QStringLiteral("ombrixtips.mdb")), LargeCollection{});
    inst->setUserDetails();
    return inst;
  }();
  return *installation;
}

// From the load of the main screen to filled lists with the first description shown.
void MainScreenLoad(benchmark::State &state) {
  Installation &inst = largeInstallation();
  for (auto _ : state) {
    inst.program().start();
    state.PauseTiming();
    if (inst.activeName() != QLatin1String("frmOmbrixShow"))
      state.SkipWithError("the main screen did not open");
    inst.program().screens().unload(inst.active());
    inst.settle();
    state.ResumeTiming();
  }
}
BENCHMARK(MainScreenLoad)->Unit(benchmark::kMillisecond);

// Choosing the group of 1,000 tips: picture, subject list and first description.
void ChooseBigGroup(benchmark::State &state) {
  Installation &inst = largeInstallation();
  inst.program().start();
  auto *groups = inst.active()->findChild<QComboBox *>(QStringLiteral("Combo1"));
  const int big = groups->findText(QStringLiteral("Big Group"));
  const int other = big == 0 ? 1 : 0;
  for (auto _ : state) {
    state.PauseTiming();
    groups->setCurrentIndex(other);
    emit groups->activated(other);
    groups->setCurrentIndex(big);
    state.ResumeTiming();
    emit groups->activated(big);
  }
  auto *subjects = inst.active()->findChild<QComboBox *>(QStringLiteral("Combo2"));
  state.counters["subjects"] = subjects->count();
  inst.program().screens().unload(inst.active());
  inst.settle();
}
BENCHMARK(ChooseBigGroup)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
