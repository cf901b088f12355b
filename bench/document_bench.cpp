// Tips saved as a document: 32,767 tips in 300 groups, each group with a picture of 50 KB.
//   build/bench/bench_document --benchmark_repetitions=5 --benchmark_report_aggregates_only
//
// SaveHtml      every group as one HTML file, the pictures embedded
// SaveMarkdown  every group as Markdown, the pictures copied beside it (a fresh folder each
//               time)
// SavePdf       every group as PDF (one run: the layout of thousands of pages)
#include "LargeDatabase.h"
#include "MillionTips.h"

#include "document/TipsDocument.h"
#include "store/Schema.h"
#include "tips/WorkProgress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>

namespace {

constexpr int kGroups = 300;
constexpr int kPictureBytes = 50 * 1024;

struct Installation : BenchFolder {
  QString out = dir.path() + "/out";

  Installation() {
    QDir().mkpath(out);
    store::createDatabase(paths.tipDatabase(), store::DatabaseKind::TipDatabase);
    fillLargeCollection(paths.tipDatabase(), LargeCollection{});
    for (int id = 0; id <= kGroups; ++id) {
      // A JPEG's signature, then bytes that do not compress, as a photograph's do not.
      QByteArray bytes(kPictureBytes, Qt::Uninitialized);
      QRandomGenerator generator{quint32(id)};
      generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), kPictureBytes / 4);
      bytes.replace(0, 4, "\xFF\xD8\xFF\xE0");
      QFile f(paths.groupPicture(id));
      if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write a picture");
    }
  }
};

Installation &installation() {
  static Installation *inst = [] {
    auto *made = new Installation;
    atEndOfRun([made] { delete made; });
    return made;
  }();
  return *inst;
}

void save(benchmark::State &state, document::Format format, const QString &name) {
  Installation &inst = installation();
  const QString path = inst.out + "/" + name;
  for (auto _ : state) {
    state.PauseTiming();
    QDir(inst.out).removeRecursively();
    QDir().mkpath(inst.out);
    state.ResumeTiming();
    document::saveTipsDocument(inst.paths, {format, {}, path}, tips::noProgress());
  }
  state.counters["MB"] = double(QFileInfo(path).size()) / (1024 * 1024);
}

void SaveHtml(benchmark::State &state) { save(state, document::Format::Html, "tips.html"); }
BENCHMARK(SaveHtml)->Unit(benchmark::kMillisecond)->UseRealTime();

void SaveMarkdown(benchmark::State &state) { save(state, document::Format::Markdown, "tips.md"); }
BENCHMARK(SaveMarkdown)->Unit(benchmark::kMillisecond)->UseRealTime();

void SavePdf(benchmark::State &state) { save(state, document::Format::Pdf, "tips.pdf"); }
BENCHMARK(SavePdf)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  endOfRun();
  return 0;
}
