#pragma once
// The layout of a program folder: which delivered files and folders it holds, made from
// the sources in data/ by the other modules of the generator. Used by the tool obx-datagen,
// by the tests and by the benchmarks.
//
// Nothing here ever replaces a file of the user's data that already exists in a program
// folder. The help file is not user data: it is brought up to date with its source.
//
// Drawing the pictures needs a QGuiApplication (fonts); create one on the "offscreen"
// platform first.

#include <QString>
#include <QStringList>

#include "generator/DataError.h"

namespace obxdata {

// What layOutProgramFolder did: paths relative to the program folder.
struct LayoutReport {
  QStringList created;
  QStringList kept; // existed already and were left alone
  // Delivered files that are the program's own, not the user's (the help file), written
  // again because their source changed.
  QStringList refreshed;
};

// Lays out the delivered files in `programDir`, creating only what is missing:
//   ombrixtips.mdb         from dataDir/tips/initial-tips.txt
//   @@@@@@@@.@@@           the template
//   images/0.jpg           the placeholder
//   images/<GROUP_ID>.jpg  one per delivered group
//   Export/, OBXTemp/      empty working folders
//   OMBRIXTIPS.HLP         copy of dataDir/help/ombrixtips-help.html, replaced whenever
//                          it differs from that source
// Group pictures are written for the groups of a database created in this run; when the
// database already exists, a missing picture of a delivered group that is still in it
// (same name, G_ORIGINAL True) is drawn again, and nothing else of the database is touched.
// Throws DataError (or store::StoreError) on failure.
LayoutReport layOutProgramFolder(const QString &programDir, const QString &dataDir);

// The name on disk, relative to the program folder, of one of the program's path texts
// (tips::relative): "\images\0.jpg" gives "images/0.jpg". The generator creates the files
// under the very names the program looks for, so each name is written once.
QString relativeName(const QString &relativeText);
QString relativeName(const char *relativeText);

// The sources of the delivered files, relative to the data folder.
inline constexpr const char *kTipsSource = "tips/initial-tips.txt";
inline constexpr const char *kHelpSource = "help/ombrixtips-help.html";

} // namespace obxdata
