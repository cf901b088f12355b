#pragma once
// The export build ("Load Export File"): the groups and tips of the ticked kinds are copied
// from the user's database into the export database "\Export\obxexpor.mdb" under new keys,
// with their flags, dates and texts as they are (nulls included), and each copied group's
// picture goes to "\OBXTemp\<new key>.jpg".
//
// The whole build is one transaction in the export database: it lands whole or not at
// all, and the pictures of a build that failed are removed again. Nothing in the user's
// database changes.

#include <QString>
#include <vector>

#include "exchange/ExchangeCounts.h"
#include "tips/WorkProgress.h"

class FileService;

namespace tips {
class ProgramPaths;
}

namespace exchange {

// The copy procedures of the export screen.
enum class ExportProcedure {
  Total,    // DoTotalValue: every group, each followed by all of its tips
  Initial,  // DoInitialValue: delivered groups, each followed by its delivered tips
  Local,    // DoLocalValue: local tips, each filed under a copy of its group
  Imported, // DoImportedValue: imported tips, each filed under a copy of its group
};

// The four check boxes of the export screen.
struct ExportChoice {
  bool total = false;
  bool initial = false;
  bool local = false;
  bool imported = false;
};

// Which procedures run for the ticked boxes, in their order (the first rule that matches:
// Total; Local and Initial; Initial and Imported; Local and Imported; one kind alone).
// Empty when none of Initial, Local and Imported is ticked: the screen then shows "You
// Must Make a Selection!" and nothing happens. The screen ticks Total itself when all
// three kinds are ticked.
std::vector<ExportProcedure> exportProcedures(const ExportChoice &choice);

// A local tip of the chosen kind whose group is not in the user's database: the screen
// shows MsgOops, and that procedure copied no further tips.
struct ExportOops {
  ExportProcedure procedure;
  qint32 tipId = 0;
  qint64 groupId = 0; // the key the tip names
};

struct ExportResult {
  bool nothingChosen = false; // no kind ticked: nothing was done
  QString error;              // the build failed and left nothing behind; shown to the user
  std::vector<ExportOops> oops;
  // Local groups whose picture file was missing: the export carries the placeholder in
  // its place, so that every package group has a picture.
  std::vector<qint32> placeholderPictures;
  int groupsCopied = 0;
  int tipsCopied = 0;
  // The fifteen values the export screens show after the build.
  ExportSummary summary;

  bool ok() const { return !nothingChosen && error.isEmpty(); }
};

class ExportBuild {
public:
  ExportBuild(const tips::ProgramPaths &paths, const FileService &files);

  // The user's database by origin, for the first export screen before the build.
  OriginSummary localSummary() const;
  // What the export database holds now ("To Export").
  Tally exportContent() const;

  // Copies the chosen kinds into the export database (which the main screen emptied
  // before the export screen opened; rows already there count as copied for the
  // lookups by name). Never throws for a failure of the files or the database: the
  // result says what went wrong.
  //
  // progress hears each procedure as a stage in "tips" (the tips of the user's database
  // it walks) and may stop the build until it begins to commit: then tips::WorkCancelled
  // comes out of run, after the build was rolled back and its pictures removed, so that
  // the export database and OBXTemp are as they were.
  ExportResult run(const ExportChoice &choice, tips::WorkProgress &progress = tips::noProgress());

private:
  const tips::ProgramPaths &paths_;
  const FileService &files_;
};

} // namespace exchange
