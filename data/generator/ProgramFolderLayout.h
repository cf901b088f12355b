#pragma once
// The delivered files of the program folder, made at build time from the sources in data/:
// the initial tip database, the template database, the group pictures, the help file and
// the two working folders. Used by the tool obx-datagen, by the tests and by the benchmarks.
//
// Nothing here ever replaces a file that already exists in a program folder: that is the
// user's data. Every file is written under a temporary name and renamed into place, so an
// interrupted run never leaves half a database or half a picture behind.
//
// Drawing needs a QGuiApplication (fonts); create one on the "offscreen" platform first.

#include <QColor>
#include <QDate>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace obxdata {

// A malformed tips file (with file name and line number), or a file that cannot be written.
class DataError : public std::runtime_error {
public:
  explicit DataError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

// How a group's picture looks.
struct PictureStyle {
  QColor colour;  // background
  QString emblem; // one of emblemNames()
  QString label;  // the short word at the bottom
};

struct TipText {
  QString subject;     // one line, no apostrophe
  QString description; // lines joined by "\n"
  int line = 0;        // of the "###" marker in the source
};

struct TipGroupText {
  QString name; // no apostrophe
  PictureStyle picture;
  QList<TipText> tips;
  int line = 0; // of the "##" marker in the source
};

struct TipCollection {
  QList<TipGroupText> groups;
  int tipCount() const;
};

// The emblems drawPicture() knows.
QStringList emblemNames();

// Parses the text format of data/tips/initial-tips.txt (described there and in
// data/README.md) and checks it: unique group names and subjects (ignoring case), no
// apostrophes in names and subjects, no empty group or description. Throws DataError.
TipCollection parseTips(const QString &text, const QString &sourceName = QStringLiteral("tips"));
TipCollection readTipsFile(const QString &path);

// The day every delivered row carries in G_DATE / TIP_DATE.
QDate releaseDate();

// The Settings row of a fresh tip database.
constexpr int kDefaultUserH = 5172;
constexpr int kDefaultUserL = 48;
constexpr int kDefaultUserT = 504;
constexpr int kDefaultUserW = 7404;

// Creates a new tip database (tables Group, Tips, Settings) holding the collection as
// delivered rows (ORIGINAL True, LOCAL and IMPORT False, dated `date`) and the Settings
// row (user details null, default window geometry). Fails if `path` exists. Returns the
// GROUP_ID given to each group, in the order of the collection.
QList<int> writeTipDatabase(const QString &path, const TipCollection &tips,
                            const QDate &date = releaseDate());
QList<int> writeInitialDatabase(const QString &path, const QString &tipsFile);

// Creates the template database (Group and Tips, both empty; no Settings). Fails if it exists.
void writeTemplateDatabase(const QString &path);

// Pictures, 200 x 220 pixels by default (the shape of the main screen's picture box).
QSize defaultPictureSize();
QImage drawGroupPicture(const PictureStyle &style, const QSize &size = defaultPictureSize());
QImage drawPlaceholderPicture(const QSize &size = defaultPictureSize());
// A style for a group that names none: a quiet colour from a fixed palette and the
// group's initials.
PictureStyle defaultPictureStyle(const QString &groupName, int index);
// Writes a JPEG file (via a temporary name). Throws DataError.
void saveJpeg(const QImage &image, const QString &path);

// What layOutProgramFolder did: paths relative to the program folder.
struct LayoutReport {
  QStringList created;
  QStringList kept; // existed already and were left alone
};

// Lays out the delivered files in `programDir`, creating only what is missing:
//   ombrixtips.mdb         from dataDir/tips/initial-tips.txt
//   @@@@@@@@.@@@           the template
//   images/0.jpg           the placeholder
//   images/<GROUP_ID>.jpg  one per delivered group
//   Export/, OBXTemp/      empty working folders
//   OMBRIXTIPS.HLP         copy of dataDir/help/ombrixtips-help.html
// Group pictures are written for the groups of a database created in this run; when the
// database already exists, a missing picture of a delivered group that is still in it
// (same name, G_ORIGINAL True) is drawn again, and nothing else of the database is touched.
// Throws DataError (or store::StoreError) on failure.
LayoutReport layOutProgramFolder(const QString &programDir, const QString &dataDir);

// Relative names of the delivered files.
inline constexpr const char *kTipDatabaseName = "ombrixtips.mdb";
inline constexpr const char *kTemplateName = "@@@@@@@@.@@@";
inline constexpr const char *kHelpFileName = "OMBRIXTIPS.HLP";
inline constexpr const char *kImagesFolder = "images";
inline constexpr const char *kPlaceholderName = "0.jpg";
inline constexpr const char *kTipsSource = "tips/initial-tips.txt";
inline constexpr const char *kHelpSource = "help/ombrixtips-help.html";

} // namespace obxdata
