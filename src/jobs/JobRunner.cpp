#include "jobs/JobRunner.h"

#include <QEventLoop>
#include <QLocale>
#include <QThread>
#include <QTimer>
#include <stdexcept>

namespace jobs {

namespace {

// How often the window reads the counts.
constexpr int kTickMs = 50;

} // namespace

QString progressText(const JobStatus &status) {
  if (status.unit.isEmpty())
    return {};
  const QLocale locale;
  if (status.total <= 0)
    return QStringLiteral("%1 %2").arg(locale.toString(status.done), status.unit);
  return QStringLiteral("%1 of %2 %3")
      .arg(locale.toString(std::min(status.done, status.total)), locale.toString(status.total),
           status.unit);
}

// The progress of the running job: counts in atomics, the unit behind a lock (it changes
// once a stage).
class JobRunner::Reporter final : public tips::WorkProgress {
public:
  void begin(const QString &unit, qint64 total) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      unit_ = unit;
    }
    total_ = total;
    done_ = 0;
  }
  void advance(qint64 done) override { done_ = done; }
  void setCancellable(bool cancellable) override { cancellable_ = cancellable; }
  bool stopRequested() const override { return stop_ && cancellable_; }

  void reset() {
    begin(QString(), 0);
    cancellable_ = true;
    stop_ = false;
  }
  void requestStop() { stop_ = true; }
  JobStatus status() const {
    JobStatus s;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      s.unit = unit_;
    }
    s.done = done_;
    s.total = total_;
    s.cancellable = cancellable_;
    s.stopRequested = stop_;
    return s;
  }

private:
  mutable std::mutex mutex_;
  QString unit_;
  std::atomic<qint64> done_{0}, total_{0};
  std::atomic<bool> cancellable_{true}, stop_{false};
};

JobRunner::JobRunner(QObject *parent) : QObject(parent), reporter_(std::make_unique<Reporter>()) {}

JobRunner::~JobRunner() = default;

JobStatus JobRunner::status() const { return reporter_->status(); }

void JobRunner::requestStop() {
  if (running_)
    reporter_->requestStop();
}

void JobRunner::run(const std::function<void(tips::WorkProgress &)> &work) {
  if (running_)
    throw std::logic_error("a job is running already");
  reporter_->reset();
  running_ = true;
  std::exception_ptr failure;
  std::unique_ptr<QThread> worker(QThread::create([&] {
    try {
      work(*reporter_);
    } catch (...) {
      failure = std::current_exception();
    }
  }));
  QEventLoop loop;
  QTimer tick;
  tick.setInterval(kTickMs);
  connect(&tick, &QTimer::timeout, this, &JobRunner::progressed);
  connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
  emit started();
  worker->start();
  tick.start();
  // The worker may end before the loop begins: its finished() is queued and still ends it.
  if (!worker->isFinished())
    loop.exec();
  worker->wait();
  tick.stop();
  running_ = false;
  emit ended();
  if (failure)
    std::rethrow_exception(failure);
}

} // namespace jobs
