#pragma once
// The sweep of injected failures over one operation that writes, run on a job's worker as
// the screens run their long work: for every kind of fault
// (a database read, write, sync or truncate through FaultyVfs; a file service copy, delete
// or folder creation through FileService::failNth) and n = 1, 2, ... the nth call of that
// kind fails while the operation runs, until n is past the operation's last such call.
//
// At each point the operation must report the failure (never a success) with a message
// for the user, leave no transaction open, and, once its connections are closed, leave
// every database whole (PRAGMA integrity_check) and the program folder (rows of every
// table, every file's bytes) exactly as before, or as the operation's design says a
// failure part-way leaves it. The same objects then run the operation again without a
// fault: it must succeed and leave what a run without any fault leaves.

#include <QMap>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "exchange/ExchangeFixture.h"
#include "platform/files/FileService.h"
#include "support/FaultyVfs.h"

namespace faults {

// What a program folder holds: each database's rows (by relative path) and each other
// file's size and hash.
struct Snapshot {
  QMap<QString, QString> databases;
  QMap<QString, QString> files;
  bool operator==(const Snapshot &) const = default;
};
// The search index, if any, is "current" (holding exactly the database's tips) or "stale"
// (built again at the next search), which stands for any state: a failed save may leave it
// so.
// Opens every database afresh (rolling back what a failed write left in a journal),
// checks it whole, and reads everything. ADD_FAILUREs when a database is not whole.
Snapshot capture(const QString &root);
// The first difference, for a failure message; empty when equal.
std::string difference(const Snapshot &expected, const Snapshot &actual);

struct Fault {
  const char *label;
  bool database; // FaultyVfs, else the file service
  FaultyVfs::Kind kind = FaultyVfs::Kind::Read;
  int code = 0; // the engine's code (database) or the system's error number (files)
  FileOperation operation = FileOperation::Copy;
};
// Every fault the sweep injects.
const std::vector<Fault> &allFaults();

struct Outcome {
  enum Kind { Succeeded, Failed, PartlyDone } kind = Succeeded;
  QString message; // what the user is shown (tips::userMessage or the result's error)
};

// One program folder with the objects of the operation, made anew for each point.
class World {
public:
  virtual ~World() = default;
  Site site;
  // The operation, as its screen runs it; failures caught and described.
  virtual Outcome run() = 0;
  // Releases every connection and file the objects hold.
  virtual void release() = 0;
  // For an outcome that the design allows (PartlyDone, or a failure that leaves part done):
  // the state it leaves, made from the states before and after a run without fault; empty
  // when the outcome must leave the state before.
  virtual std::optional<Snapshot> partialState(const Fault &, const Outcome &,
                                               const Snapshot &before, const Snapshot &success) {
    (void)before, (void)success;
    return std::nullopt;
  }
  // The run after a fault is tried again (false: the design makes a second run differ).
  virtual bool retryAfter(const Outcome &outcome) { return outcome.kind == Outcome::Failed; }
};

struct Tally {
  int points = 0; // failure points tried (the fault was met)
  // Of them, faults that the design passes over (a write of the search index, a read of
  // the folded-key upkeep at an open), the operation's work done all the same.
  int absorbed = 0;
  QMap<QString, int> byFault;
};

// Sweeps every fault over the operation; returns the points tried. Prints the counts.
Tally sweep(const char *operation, const std::function<std::unique_ptr<World>()> &make);

// Catches the failures of the store and the file service as a screen does.
Outcome runCatching(const std::function<Outcome()> &work);

// The grand total over the operations swept in this run.
Tally &grandTotal();
// "[ faults   ] <what>: N failure points (by kind); M of them passed over by design".
void printTally(const char *what, const Tally &tally);

} // namespace faults
