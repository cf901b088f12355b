// Descriptions in the description box: shown, and edited one key at a time. A megabyte in
// two kinds of text, words with blanks and one run without any blank (the case that froze
// the window when wrapped between words); and 200 MB (as UTF-8) in three: one line of
// words, lines of 80 characters, and one run without a blank. The 200 MB cases report the
// process's peak memory while the text is shown (peak_rss_mb, the text itself included: it
// is 400 MB as the QString handed to the box).
//   build/bench/bench_description_box --benchmark_repetitions=3 --benchmark_report_aggregates_only
//   build/bench/bench_description_box --benchmark_filter=200MB --benchmark_repetitions=3
#include "MillionTips.h"
#include "widgets/DescriptionBox.h"

#include <QApplication>
#include <QTest>
#include <QTextBlock>
#include <benchmark/benchmark.h>

namespace {

// Text of about `size` characters in one of three shapes.
enum Shape { Words, Lines, Run };

QString textOf(Shape shape, qsizetype size) {
  if (shape == Run)
    return QString(size, QLatin1Char('x'));
  const QString unit = shape == Words
                           ? QStringLiteral("lorem ipsum dolor sit amet ")
                           : QStringLiteral("lorem ipsum dolor sit amet consectetur "
                                            "adipiscing elit sed do eiusmod tempor ut\n");
  QString text;
  text.reserve(size + unit.size());
  while (text.size() < size)
    text += unit;
  return text;
}

QString megabyte(bool blanks) { return textOf(blanks ? Words : Run, 1 << 20); }

// 200 MB of ASCII: 200 million characters.
QString twoHundredMegabytes(Shape shape) { return textOf(shape, 200'000'000); }

// The process's resident memory now, in MB.
double rssMb() {
  resetPeakRss();
  return peakRssMb();
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

// Shown and painted. peak_rss_mb: the process's peak while showing; held_mb: what the box
// holds once the text is shown (the resident memory it added).
void Show200MB(benchmark::State &state) {
  const QString text = twoHundredMegabytes(Shape(state.range(0)));
  DescriptionBox box;
  showBox(box);
  double before = 0;
  for (auto _ : state) {
    state.PauseTiming();
    box.clear();
    QApplication::processEvents();
    before = rssMb();
    state.ResumeTiming();
    box.setDescription(text);
    QApplication::processEvents();
  }
  state.counters["peak_rss_mb"] = peakRssMb();
  state.counters["held_mb"] = rssMb() - before;
  state.counters["blocks"] = box.blockCount();
}
BENCHMARK(Show200MB)
    ->ArgName("shape")
    ->Arg(Words)
    ->Arg(Lines)
    ->Arg(Run)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// A key typed into the middle of the text, until the box has processed it and painted.
void TypeInto200MB(benchmark::State &state) {
  DescriptionBox box;
  showBox(box);
  box.setDescription(twoHundredMegabytes(Shape(state.range(0))));
  box.setFocus();
  QTextCursor middle(box.document());
  middle.setPosition(box.document()->characterCount() / 2);
  box.setTextCursor(middle);
  QApplication::processEvents();
  for (auto _ : state) {
    QTest::keyClick(&box, Qt::Key_A);
    QApplication::processEvents();
  }
}
BENCHMARK(TypeInto200MB)
    ->ArgName("shape")
    ->Arg(Words)
    ->Arg(Lines)
    ->Arg(Run)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

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
