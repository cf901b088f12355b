// A description of 1 MB in the description box: shown, and edited one key at a time.
// Two kinds of text: words with blanks, and one run without any blank (the case that
// froze the window when wrapped between words).
//   build/bench/bench_description_box --benchmark_repetitions=5 --benchmark_report_aggregates_only
#include "widgets/DescriptionBox.h"

#include <QApplication>
#include <QTest>
#include <benchmark/benchmark.h>

namespace {

QString megabyte(bool blanks) {
  if (!blanks)
    return QString(1 << 20, QLatin1Char('x'));
  QString text;
  while (text.size() < (1 << 20))
    text += QStringLiteral("lorem ipsum dolor sit amet ");
  return text;
}

// The size of the main screen's description box.
void showBox(DescriptionBox &box) {
  box.resize(473, 127);
  box.show();
  QApplication::processEvents();
}

void ShowMegabyte(benchmark::State &state) {
  const QString text = megabyte(state.range(0) != 0);
  DescriptionBox box;
  showBox(box);
  for (auto _ : state) {
    box.setDescription(text);
    QApplication::processEvents();
    state.PauseTiming();
    box.clear();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(ShowMegabyte)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void TypeIntoMegabyte(benchmark::State &state) {
  DescriptionBox box;
  showBox(box);
  box.setDescription(megabyte(state.range(0) != 0));
  QApplication::processEvents();
  for (auto _ : state) {
    QTest::keyClick(&box, Qt::Key_A);
    QApplication::processEvents();
  }
}
BENCHMARK(TypeIntoMegabyte)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
