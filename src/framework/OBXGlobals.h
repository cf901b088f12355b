#pragma once
// The program-wide values that travel between screens. One object per program instance,
// so a test can start a fresh program.

#include <QString>
#include <memory>

#include "exchange/ExchangeCounts.h"

namespace exchange {
struct MergeResult;
}

struct OBXGlobals {
  // Window geometry in twips, handed from the screen being left to the next one. Plain
  // ints: a large screen must not make them overflow.
  int gFrmHeight = 0;
  int gFrmLeft = 0;
  int gFrmTop = 0;
  int gFrmWidth = 0;
  // The window is maximised; the four values above are then its normal geometry.
  bool gFrmMaximised = false;
  bool gPositionLoaded = false;
  QString gMsgTitle;
  QString gPicturePath;
  QString gGroupName;
  qint32 gGroupId = 0;
  QString gSubjectName;
  QString gDescription;
  int gShowGroupIndex = 0;
  int gShowSubjectIndex = 0;
  // Set by a screen that hands a particular tip back to the main screen (the two indexes
  // above); the main screen shows it once and clears the request.
  bool gShowRequested = false;
  // The tip of the day has had its chance at this run's start (tests start with it set).
  bool gTipOfTheDayOffered = false;
  QString gGroupPicture;
  QString gNewPicture;
  int gGroupSubjectCount = 0;
  QString gBlankField;
  quintptr gHelpHwnd = 0;

  // Export and import.
  QString gExportName;
  QString gExportMdbName;
  // The fifteen counts and dates of the first export screen after the build, shown again
  // by the second.
  exchange::ExportSummary gExportSummary;
  QString gImportFileName;
  // The unpacking of gImportFileName failed and has told the user why.
  bool gImportUnpackFailed = false;
  // What the second import screen hands to the details screen: the plan of the import, or
  // the merge's result once gImportDone; and the report the merge wrote (empty: none).
  std::shared_ptr<const exchange::MergeResult> gImportDetails;
  bool gImportDone = false;
  QString gImportReport;
};
