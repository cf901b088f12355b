#pragma once
// What an import does with each package group and tip, in words: the lines of the details
// list (before the merge, what it will do; after it, what it did), their sums, and the
// report file written after a merge.
//
// The lines come in the order the merge meets them: each package group, then its tips,
// then the tips of no package group. A million tips make a million lines, so a line is
// only an index into the merge's result and its words are made when it is shown.

#include <QDateTime>
#include <QString>
#include <vector>

#include "exchange/ImportPackage.h"

namespace tips {
class ProgramPaths;
}

namespace exchange {

struct DetailLine {
  bool group = false; // a package group; otherwise a package tip
  qint32 index = 0;   // into MergeResult::groups or MergeResult::tips
};

std::vector<DetailLine> detailLines(const MergeResult &result);

// done: the merge has run (past tense), or not yet (what Start Importing will do).
QString detailText(const MergeResult &result, const DetailLine &line, bool done);

struct DetailSums {
  int tipsAdded = 0;
  int tipsSkipped = 0;
  int groupsAdded = 0;
};
DetailSums detailSums(const MergeResult &result);
// "6 tips to add, 2 skipped" before the merge, "6 tips added, 2 skipped" after it.
QString detailSummary(const MergeResult &result, bool done);

// The report of a merge: "Import 2026-12-08 14-03-22 OBXAnn.csv" for the package
// "OBXAnn.ZIP" imported at that time.
QString reportFileName(const QString &packagePath, const QDateTime &when);
// The report as CSV text (UTF-8 with a byte-order mark, so that spreadsheets read it as
// such): a heading line "outcome,group,subject,reason,local group", then one line per
// detail line. A cell a spreadsheet would read as a formula (beginning with =, +, -, @ or
// a control character) gets an apostrophe in front: the names come from a stranger.
QByteArray reportText(const MergeResult &result);
// Writes the report into the reports folder (made when missing), whole or not at all;
// returns its path. Throws FileError when it cannot be written.
QString writeReport(const tips::ProgramPaths &paths, const MergeResult &result,
                    const QString &packagePath, const QDateTime &when);

// Start Importing, as the import screen and the terminal's import run it: the merge, leaving
// the record that lets Undo Last Import take it back under the package's file name, then,
// once it has landed, its report in the reports folder.
struct ImportRun {
  MergeResult merge;
  QString report;        // the report's path; empty when none was written
  QString reportProblem; // the merge landed but its report could not be written: why
};
ImportRun importWithReport(ImportPackage &package, const tips::ProgramPaths &paths,
                           const QString &packagePath, const QDateTime &when,
                           tips::WorkProgress &progress = tips::noProgress());

} // namespace exchange
