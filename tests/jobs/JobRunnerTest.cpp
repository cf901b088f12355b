// Long work on the worker: its value and its failure come back on the caller's thread, the
// caller's events flow meanwhile, and a stop is heard only while the work can still stop.
#include "jobs/JobRunner.h"

#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

TEST(JobRunner, TheWorkRunsOnAWorkerWhileTheCallersEventsFlowAndItsValueOrFailureComesBack) {
  jobs::JobRunner runner;
  int ticks = 0;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
  tick.start(5);
  const Qt::HANDLE caller = QThread::currentThreadId();
  const int value = runner.runFor([&](tips::WorkProgress &progress) {
    progress.begin("tips", 48000);
    progress.advance(12000);
    EXPECT_NE(QThread::currentThreadId(), caller);
    QThread::msleep(120);
    return 42;
  });
  EXPECT_EQ(value, 42);
  EXPECT_GE(ticks, 5); // the caller's timer fired while the work ran
  EXPECT_EQ(jobs::progressText(runner.status()), "12,000 of 48,000 tips");
  EXPECT_FALSE(runner.running());

  EXPECT_THROW(runner.run([](tips::WorkProgress &) { throw std::runtime_error("disk full"); }),
               std::runtime_error);
  EXPECT_FALSE(runner.running()); // and the next job runs
  EXPECT_EQ(runner.runFor([](tips::WorkProgress &) { return 7; }), 7);
}

TEST(JobRunner, AStopIsHeardUntilTheWorkSaysItCanNoLongerStop) {
  jobs::JobRunner runner;
  QTimer::singleShot(20, &runner, &jobs::JobRunner::requestStop);
  EXPECT_THROW(runner.run([](tips::WorkProgress &progress) {
    for (;;) {
      progress.checkpoint();
      QThread::msleep(1);
    }
  }),
               tips::WorkCancelled);

  QTimer::singleShot(20, &runner, &jobs::JobRunner::requestStop);
  const bool finished = runner.runFor([](tips::WorkProgress &progress) {
    progress.setCancellable(false);
    QThread::msleep(80);
    progress.checkpoint(); // the commit has begun: the stop no longer counts
    return true;
  });
  EXPECT_TRUE(finished);
  EXPECT_EQ(jobs::progressText({"tips", 500, 0, true, false}), "500 tips");
  EXPECT_EQ(jobs::progressText({}), "");
}

} // namespace
