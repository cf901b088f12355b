#pragma once
// Crash consistency: each operation runs in a child process (obx_crash_child) on a copy of
// a prepared program folder and is killed with SIGKILL part-way, at random moments spread
// over its undisturbed duration and at chosen points (before and after each file
// operation, at SQLite writes and syncs). After every kill the folder must hold
//   - databases that pass PRAGMA integrity_check once opened afresh (a hot journal rolled
//     back, as the program's next start would do it);
//   - the state before the operation or the state after it, nothing in between: the rows
//     of the tip database with each group's picture, the rows of the export database, and
//     the export package (no package, or a whole one: a package half written must never
//     stand under the name that the import lists);
//   - a picture for every group;
//   - a search index that is not wrongly current;
//   - data that the program reads: the rules library lists every group and subject, and
//     for a sample of the kills the program itself starts on the folder (in process, where
//     any message box would be seen, and the built program, which must keep running).

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

#include "CrashOperations.h"

namespace crash {

// How much data the operations work on: enough that a kill lands inside them.
struct Size {
  int groups = 20; // in the package that is merged, and added to the tips that are exported
  int tipsPerGroup = 10;
  int doomedTips = 300; // in the group that is deleted
};
inline constexpr Size kLargeSize{150, 30, 3000};

struct Options {
  Size size;
  int kills = 10;      // per operation
  int startEvery = 20; // the built program starts on every so many crashed folders
  quint32 seed = 1;
};

struct Figures {
  Operation operation = Operation::Merge;
  double operationMs = 0; // median of the undisturbed runs, from "ready" to "done"
  double seconds = 0;     // the whole run of the harness for the operation
  int kills = 0;          // children killed part-way
  int chosenKills = 0;    // of them at a chosen point
  int leftBefore = 0;     // kills that left the state before the operation
  int leftAfter = 0;      // ... the state after it (the export: its build, or build and package)
  int missed = 0;         // runs that ended before the kill came (not counted as kills)
  // The chosen kills by kind of point: file-before, file-after, write, sync.
  std::map<QString, int> chosenByKind;
  int corrupt = 0;        // a database failed its integrity check or could not be opened
  int partial = 0;        // neither the state before nor the state after
  int withoutPicture = 0; // a group row without its picture file
  int wrongIndex = 0;     // a search index that says it is current but is not
  int failedStarts = 0;   // the data could not be listed, or the program did not start
  int programStarts = 0;  // starts of the program (in process and built) that were checked
  QStringList faults;     // what went wrong, the first few of each kind
  bool clean() const { return corrupt + partial + withoutPicture + wrongIndex + failedStarts == 0; }
};

// Runs the kills of one operation. Throws std::runtime_error when the harness itself cannot
// run (no child, an operation that fails undisturbed).
Figures runKills(Operation operation, const Options &options);

// The figures as a table, one line per operation.
QString figuresTable(const std::vector<Figures> &figures);

} // namespace crash
