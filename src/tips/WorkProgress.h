#pragma once
// What a long piece of work (an export build, a packing, a merge, an index build) tells, and
// asks, of whoever runs it: how far it has come, and whether the user asked it to stop.
// The work calls these on its own thread, often (every row is fine): a runner keeps the
// counts in atomics and the window reads them on its own clock (jobs/JobRunner.h).

#include <QString>
#include <exception>

namespace tips {

// Thrown by WorkProgress::checkpoint when the user asked the work to stop; the work lets it
// through after undoing what it began (a transaction rolled back, files removed).
struct WorkCancelled : std::exception {
  const char *what() const noexcept override { return "cancelled"; }
};

class WorkProgress {
public:
  virtual ~WorkProgress() = default;

  // A stage of the work begins: total units of kind unit (a plural noun: "tips", "files",
  // "MB") are to be done; total 0 when unknown.
  virtual void begin(const QString &unit, qint64 total) = 0;
  // So many units of the stage are done.
  virtual void advance(qint64 done) = 0;
  // Whether the work can still stop without leaving anything changed; a merge that begins
  // to commit says false, and the window's Cancel is disabled.
  virtual void setCancellable(bool cancellable) = 0;
  virtual bool stopRequested() const = 0;

  void checkpoint() const {
    if (stopRequested())
      throw WorkCancelled();
  }
};

// Work run without a window: reports go nowhere and it never stops.
class NoProgress : public WorkProgress {
public:
  void begin(const QString &, qint64) override {}
  void advance(qint64) override {}
  void setCancellable(bool) override {}
  bool stopRequested() const override { return false; }
};

inline WorkProgress &noProgress() {
  static NoProgress none;
  return none;
}

} // namespace tips
