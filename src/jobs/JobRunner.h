#pragma once
// Long work off the window's thread: the export build, the packing and unpacking, the
// import's plan, merge and undo, the search index's build. One job at a time runs on a
// worker thread; the caller waits for it in a local event loop, so the window repaints,
// its Cancel is heard, and the code that started the job reads on in order when it ends.
// The work reports through tips::WorkProgress; the window reads the counts on its own
// clock (progressed(), every 50 ms), never from the worker.

#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>

#include "tips/WorkProgress.h"

namespace jobs {

// Runs f on the thread of the application's event loop (the window's) and returns its
// value: work on the worker asks the user this way (a message box), the window's thread
// answering from the loop that waits for the job. Called on that thread, it simply runs f.
template <class F> auto onWindowThread(F &&f) {
  QObject *app = QCoreApplication::instance();
  if (!app || QThread::currentThread() == app->thread())
    return f();
  using R = decltype(f());
  if constexpr (std::is_void_v<R>) {
    QMetaObject::invokeMethod(app, std::forward<F>(f), Qt::BlockingQueuedConnection);
  } else {
    std::optional<R> value;
    QMetaObject::invokeMethod(
        app, [&] { value.emplace(f()); }, Qt::BlockingQueuedConnection);
    return std::move(*value);
  }
}

// How far the running job has come.
struct JobStatus {
  QString unit; // "tips", "files", "MB"; empty before the work's first stage
  qint64 done = 0;
  qint64 total = 0; // 0 when unknown
  bool cancellable = true;
  bool stopRequested = false;
};

// "12,000 of 48,000 tips"; "12,000 tips" when the total is unknown; empty before the first
// stage.
QString progressText(const JobStatus &status);

class JobRunner : public QObject {
  Q_OBJECT
public:
  explicit JobRunner(QObject *parent = nullptr);
  ~JobRunner() override;

  // Runs work on a worker thread and returns when it has ended, this thread's events
  // flowing meanwhile. What the work throws is thrown again here, on the caller's thread.
  // A job started while another runs is refused (std::logic_error).
  void run(const std::function<void(tips::WorkProgress &)> &work);
  // The same, handing back the value the work gives, if any.
  template <class Work> auto runFor(Work &&work) {
    using Value = decltype(work(tips::noProgress()));
    if constexpr (std::is_void_v<Value>) {
      run(work);
    } else {
      std::optional<Value> value;
      run([&](tips::WorkProgress &progress) { value.emplace(work(progress)); });
      return std::move(*value);
    }
  }

  bool running() const { return running_; }
  JobStatus status() const;
  // Asks the running job to stop at its next checkpoint; ignored once it cannot stop.
  void requestStop();

signals:
  void started();
  void progressed();
  void ended();

private:
  class Reporter;
  std::unique_ptr<Reporter> reporter_;
  bool running_ = false;
};

} // namespace jobs
