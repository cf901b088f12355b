// bench_flexora: one resize pass of the resizing control over a screen of 60 controls
// (one pass per resize event, four assignments per control).
//
//   BM_FlexoraResizePass      the client area alternates between two sizes; every iteration
//                             is one resize event and one full pass (all controls move).
//   BM_ClientResizeBaseline   the same resizes with no resizing control: Qt's own cost.
//
// Run: QT_QPA_PLATFORM=offscreen ./bench_flexora   (offscreen is the default here)

#include <flexora/Flexora.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

int px(int twips) { return int(std::lround(twips / 15.0)); }

// A line control: end points in twips as properties.
class Line : public QWidget {
public:
  explicit Line(QWidget *parent) : QWidget(parent) {}
  bool event(QEvent *e) override {
    if (e->type() == QEvent::DynamicPropertyChange) {
      const int x1 = property("X1").toInt(), y1 = property("Y1").toInt();
      const int x2 = property("X2").toInt(), y2 = property("Y2").toInt();
      setGeometry(px(std::min(x1, x2)), px(std::min(y1, y2)), std::max(1, px(std::abs(x2 - x1))),
                  std::max(1, px(std::abs(y2 - y1))));
    }
    return QWidget::event(e);
  }
};

// A screen of 60 controls: 59 on the client area (buttons, labels, text boxes, check boxes,
// frames with children, lines) and the resizing control itself.
struct BenchScreen {
  BenchScreen() {
    window.resize(800, 600);
    client = new QWidget(&window);
    client->setObjectName(QStringLiteral("qt_client_area"));
    client->setGeometry(0, 0, 800, 600);
    int n = 0;
    auto name = [&n](const char *prefix) {
      return QString::fromLatin1(prefix) + QString::number(++n);
    };
    auto place = [](QWidget *w, const QString &nm, int l, int t, int wd, int h) {
      w->setObjectName(nm);
      w->setGeometry(px(l), px(t), px(wd), px(h));
    };
    // 4 frames, each with 4 children: 20 controls.
    for (int f = 0; f < 4; ++f) {
      auto *frame = new QGroupBox(QStringLiteral("Frame"), client);
      place(frame, name("Frame"), 150 + f * 2900, 5400, 2700, 2400);
      for (int c = 0; c < 4; ++c) {
        QWidget *w = (c % 2) ? static_cast<QWidget *>(new QLabel(QStringLiteral("n"), frame))
                             : new QCheckBox(QStringLiteral("c"), frame);
        place(w, name(c % 2 ? "lbl" : "Check"), 120, 300 + c * 500, 2400, 285);
      }
    }
    // 36 plain controls on the client area.
    for (int i = 0; i < 36; ++i) {
      QWidget *w;
      const char *prefix;
      switch (i % 3) {
      case 0:
        w = new QPushButton(QStringLiteral("Button"), client);
        prefix = "cmd";
        break;
      case 1:
        w = new QLabel(QStringLiteral("Label"), client);
        prefix = "lbl";
        break;
      default:
        w = new QLineEdit(client);
        prefix = "txt";
        break;
      }
      place(w, name(prefix), 150 + (i % 6) * 1950, 150 + (i / 6) * 825, 1800, 375);
    }
    // 3 lines.
    for (int i = 0; i < 3; ++i) {
      auto *line = new Line(client);
      line->setObjectName(name("Line"));
      line->setProperty("X1", 150);
      line->setProperty("Y1", 8100 + i * 150);
      line->setProperty("X2", 11850);
      line->setProperty("Y2", 8100 + i * 150);
    }
    window.show();
  }

  QWidget window;
  QWidget *client;
};

// Creates the control through the library's class object, as the component service does.
flexora::IFlexora *createControl(QWidget *client) {
  void *object = nullptr;
  if (DllGetClassObject(flexora::kClassName, flexora::kControlInterface, &object) != flexora::S_OK_)
    return nullptr;
  auto *factory = static_cast<flexora::IClassFactory *>(object);
  flexora::IFlexora *control = factory->CreateInstance(client);
  factory->Release();
  if (control)
    control->widget()->setObjectName(QStringLiteral("Flexora1"));
  return control;
}

int countControls(QWidget *client) {
  int count = 0;
  for (QObject *o : client->findChildren<QObject *>())
    if (!o->objectName().isEmpty() && !o->objectName().startsWith(QLatin1String("qt_")))
      ++count;
  return count;
}

void runResizes(benchmark::State &state, BenchScreen &screen) {
  const QSize sizes[2] = {QSize(800, 600), QSize(1000, 700)};
  int i = 0;
  for (auto _ : state) {
    screen.client->resize(sizes[++i & 1]);
    benchmark::ClobberMemory();
  }
  QCoreApplication::processEvents();
}

void BM_FlexoraResizePass(benchmark::State &state) {
  BenchScreen screen;
  flexora::IFlexora *control = createControl(screen.client);
  if (!control) {
    state.SkipWithError("no control");
    return;
  }
  control->Init();
  state.counters["controls"] = countControls(screen.client);
  runResizes(state, screen);
  control->Release();
}
BENCHMARK(BM_FlexoraResizePass)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

void BM_ClientResizeBaseline(benchmark::State &state) {
  BenchScreen screen;
  runResizes(state, screen);
}
BENCHMARK(BM_ClientResizeBaseline)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
