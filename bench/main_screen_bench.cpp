// The main screen at scale: 32,767 tips in 300 groups, and 1,000,000 tips in 3,000 groups
// with a group of 10,000 (the size Find Tips is built for); and a tip whose description is
// 200 MB (as UTF-8), one line of words or lines of 80 characters, with the process's peak
// memory while it is read and shown (peak_rss_mb).
//   build/bench/bench_main_screen --benchmark_repetitions=10 --benchmark_report_aggregates_only
//   build/bench/bench_main_screen --benchmark_filter=200MB --benchmark_repetitions=3
#include "LargeDatabase.h"
#include "MillionTips.h"

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

// A group "Huge" of two tips: "A huge tip", described by `unit` repeated to 200 MB, and
// "Small tip".
Installation *hugeTipInstallation(const char *unit) {
  auto *inst = new Installation;
  const int repeats = 200'000'000 / int(qstrlen(unit));
  inst->sql(QStringLiteral("INSERT INTO \"Group\"(GROUP_ID, TIP_GROUP, G_LOCAL, G_IMPORT, "
                           "G_ORIGINAL, G_DATE) VALUES (900, 'Huge', 0, 0, -1, '2026-12-01')"));
  inst->sql(QStringLiteral("INSERT INTO Tips(GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, TIP_LOCAL, "
                           "TIP_IMPORT, TIP_ORIGINAL, TIP_DATE) VALUES (900, 'A huge tip', "
                           "replace(hex(zeroblob(%1)), '00', '%2'), 0, 0, -1, '2026-12-01'), "
                           "(900, 'Small tip', 'Small', 0, 0, -1, '2026-12-01')")
                .arg(repeats)
                .arg(QString::fromLatin1(unit)));
  inst->setUserDetails();
  return inst;
}

Installation &hugeTip(const benchmark::State &state) {
  static Installation *words = hugeTipInstallation("lorem ipsum dolor sit amet ");
  static Installation *lines = hugeTipInstallation(
      "lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor ut\n");
  return state.range(0) == 0 ? *words : *lines;
}

// Unloads the active screen and lets go of what the edit screens handed on: the
// installations of the other benchmarks live on beside the next one.
void leave(Installation &inst) {
  inst.program().screens().unload(inst.active());
  inst.g().gDescription.clear();
  inst.settle();
}

// In the subject list of the active screen, from choosing the huge tip to its description
// shown and painted.
void chooseHugeTip(benchmark::State &state, Installation &inst) {
  auto *subjects = inst.active()->findChild<QComboBox *>(QStringLiteral("Combo2"));
  const int huge = subjects->findText(QStringLiteral("A huge tip"));
  const int small = subjects->findText(QStringLiteral("Small tip"));
  double peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    subjects->setCurrentIndex(small);
    emit subjects->activated(small);
    QApplication::processEvents();
    subjects->setCurrentIndex(huge);
    resetPeakRss();
    state.ResumeTiming();
    emit subjects->activated(huge);
    QApplication::processEvents();
    state.PauseTiming();
    peak = std::max(peak, peakRssMb());
    state.ResumeTiming();
  }
  state.counters["peak_rss_mb"] = peak;
  leave(inst);
}

void ChooseTipOf200MB(benchmark::State &state) {
  Installation &inst = hugeTip(state);
  inst.program().start();
  inst.choose(QStringLiteral("Combo1"), QStringLiteral("Huge"));
  chooseHugeTip(state, inst);
}

// Edit Subject, step 1: the tip is shown and kept for step 2.
void EditStep1ChooseTipOf200MB(benchmark::State &state) {
  Installation &inst = hugeTip(state);
  inst.program().start();
  inst.choose(QStringLiteral("Combo1"), QStringLiteral("Huge"));
  inst.triggerMenu(QStringLiteral("mnuEditSubjectItem"));
  chooseHugeTip(state, inst);
}

// Edit Subject, step 2: from "Click For Next Screen" on the huge tip to its description
// shown in the edit box and painted.
void EditStep2Of200MB(benchmark::State &state) {
  Installation &inst = hugeTip(state);
  inst.program().start();
  double peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    inst.choose(QStringLiteral("Combo1"), QStringLiteral("Huge"));
    inst.choose(QStringLiteral("Combo2"), QStringLiteral("A huge tip"));
    inst.triggerMenu(QStringLiteral("mnuEditSubjectItem"));
    resetPeakRss();
    state.ResumeTiming();
    inst.click(QStringLiteral("cmdClickNext"));
    QApplication::processEvents();
    state.PauseTiming();
    peak = std::max(peak, peakRssMb());
    if (inst.activeName() != QLatin1String("frmEditSubject2"))
      state.SkipWithError("step 2 did not open");
    inst.click(QStringLiteral("cmdShowTips"));
    state.ResumeTiming();
  }
  state.counters["peak_rss_mb"] = peak;
  leave(inst);
}

BENCHMARK(ChooseTipOf200MB)
    ->ArgName("lines")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(EditStep1ChooseTipOf200MB)
    ->ArgName("lines")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(EditStep2Of200MB)
    ->ArgName("lines")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char **argv) {
  // Offscreen unless told otherwise (QT_QPA_PLATFORM=xcb: a real window).
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
