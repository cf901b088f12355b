#pragma once
// Where every file of the program folder lives. Each path is written once here; the
// rest of the program asks for it by name.
//
// The program folder is kept in the program's own form (the text that relative path
// texts like "\images\0.jpg" are appended to); the answers are native paths, each
// component matched on disk without regard to case by the file service.

#include <QString>

class FileService;

namespace tips {

class ProgramPaths {
public:
  ProgramPaths(QString programFolder, const FileService &files);

  // The program folder, as the path texts are appended to it.
  const QString &appPath() const { return appPath_; }
  // Native path of a text relative to the program folder ("\OBXTemp\*.jpg").
  QString file(const QString &relative) const;

  QString tipDatabase() const;      // the user's tips, groups and settings
  QString tipIndex() const;         // the search index of the tips, rebuilt when missing
  QString windowState() const;      // whether the stored window was maximised
  QString templateDatabase() const; // the empty database an export starts from
  QString exportDatabase() const;   // the database an export fills
  QString exportFolder() const;
  QString tempFolder() const; // working folder of export and import
  // The working folder as a path text ("<program folder>\OBXTemp"), for the packing and
  // unpacking, which take path texts.
  QString tempFolderText() const;
  // The same paths but for the working folder (and the package database in it), which is
  // the given folder instead: an import's preview unpacks a package there without
  // touching the program folder's own OBXTemp.
  ProgramPaths withWorkingFolder(const QString &nativeFolder) const;
  QString imagesFolder() const;
  QString groupPicture(qint32 groupId) const;
  QString placeholderPicture() const; // shown where a group has no picture of its own
  QString packageDatabase() const;    // the database of an unpacked exchange package
  QString reportsFolder() const;      // the reports of imports
  QString lastImport() const;         // what the last import added, for its undo
  QString tipOfTheDay() const;        // the tip of the day's choice and order

private:
  QString appPath_;
  QString workingFolder_; // empty: the program folder's OBXTemp
  const FileService &files_;
};

// The relative path texts, for the few callers that build a program folder themselves
// (the data generator) or that name a pattern inside one.
namespace relative {
inline constexpr const char *kTipDatabase = "\\ombrixtips.mdb";
inline constexpr const char *kTipIndex = "\\ombrixtips.idx";
inline constexpr const char *kWindowState = "\\ombrixtips.win";
inline constexpr const char *kTemplateDatabase = "\\@@@@@@@@.@@@";
inline constexpr const char *kExportFolder = "\\Export";
inline constexpr const char *kExportDatabase = "\\Export\\obxexpor.mdb";
inline constexpr const char *kTempFolder = "\\OBXTemp";
inline constexpr const char *kImagesFolder = "\\images";
inline constexpr const char *kPlaceholderPicture = "\\images\\0.jpg";
inline constexpr const char *kHelpFile = "\\OMBRIXTIPS.HLP";
inline constexpr const char *kReportsFolder = "\\Reports";
inline constexpr const char *kLastImport = "\\ombrixtips.undo";
inline constexpr const char *kTipOfTheDay = "\\tipoftheday.ini";
// The exchange: the package's database member, as unpacked, and the one absolute path, the
// folder that packages are written to (drive C: is the home folder).
inline constexpr const char *kPackageDatabaseName = "ombrixtipsie.mdb";
inline constexpr const char *kPackageDatabase = "\\OBXTemp\\ombrixtipsie.mdb";
inline constexpr const char *kExchangeFolder = "C:\\OBXImpExp";
// "\images\<key>.jpg": a group's picture is named by the group's key in plain decimal.
QString groupPicture(qint32 groupId);
} // namespace relative

} // namespace tips
