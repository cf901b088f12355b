// The main screen at scale: 32,767 tips in 300 groups, and 1,000,000 tips in 3,000 groups
// with a group of 10,000 (the size Find Tips is built for).
//   build/bench/bench_main_screen --benchmark_repetitions=10 --benchmark_report_aggregates_only
#include "LargeDatabase.h"

#include "framework/Screen.h"
#include "framework/Screens.h"
#include "support/Installation.h"

#include <QApplication>
#include <QComboBox>
#include <benchmark/benchmark.h>

namespace {

Installation *filledInstallation(const LargeCollection &collection) {
  auto *inst = new Installation;
  fillLargeCollection(inst->file(QStringLiteral("ombrixtips.mdb")), collection);
  inst->setUserDetails();
  return inst;
}

Installation &largeInstallation() {
  static Installation *installation = filledInstallation(LargeCollection{});
  return *installation;
}

Installation &millionInstallation() {
  static Installation *installation =
      filledInstallation(LargeCollection{3000, 1000000, 10000, QStringLiteral("Big Group")});
  return *installation;
}

// From the load of the main screen to filled lists with the first description shown.
void mainScreenLoad(benchmark::State &state, Installation &inst) {
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

// Choosing the big group: picture, subject list and first description.
void chooseBigGroup(benchmark::State &state, Installation &inst) {
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

void MainScreenLoad(benchmark::State &state) { mainScreenLoad(state, largeInstallation()); }
BENCHMARK(MainScreenLoad)->Unit(benchmark::kMillisecond);
void ChooseBigGroup(benchmark::State &state) { chooseBigGroup(state, largeInstallation()); }
BENCHMARK(ChooseBigGroup)->Unit(benchmark::kMillisecond);
void MainScreenLoadMillion(benchmark::State &state) {
  mainScreenLoad(state, millionInstallation());
}
BENCHMARK(MainScreenLoadMillion)->Unit(benchmark::kMillisecond);
void ChooseGroupOf10000Million(benchmark::State &state) {
  chooseBigGroup(state, millionInstallation());
}
BENCHMARK(ChooseGroupOf10000Million)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
