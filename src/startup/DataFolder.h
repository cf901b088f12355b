#pragma once
// Which folders a starting program uses, chosen before any window exists (Qt Core only).
//
// A program folder that holds a writable tip database is used as it is: a portable folder
// (the build's, a test's, a copy on a stick). An installed program's folder holds only the
// executable; its data then lives in the user's own data folder, made once from the
// delivered files, while the help file and the resizing library stay with the installed
// program. A data folder that exists is the user's data: nothing here ever writes into it.

#include <QProcessEnvironment>
#include <QString>
#include <stdexcept>

class FileService;

// What a starting program cannot do without: its message names the folder or file at fault.
class DataFolderError : public std::runtime_error {
public:
  explicit DataFolderError(const QString &message);
  const QString &message() const { return message_; }

private:
  QString message_;
};

struct ProgramFolders {
  enum class Kind {
    Portable,   // the executable's folder holds everything
    FirstStart, // the user's data folder was made from the delivered files just now
    Existing,   // the user's data folder was there already and is used as it is
  };
  QString data;       // every data path: tip database, template, images, Export, OBXTemp
  QString components; // components.ini beside the resizing library
  QString help;       // the folder of the help file
  Kind kind = Kind::Portable;
};

// Where an installed program keeps its parts, relative to the folder of its executable
// ("../lib/ombrixtips", "../share/ombrixtips").
struct InstalledLayout {
  QString libraryFolder;
  QString deliveredFolder; // the delivered files and the help file
};

// Writable for this process, and not marked read-only: the program takes the owner's write
// permission as the read-only attribute, for every user (root included), so a program
// folder marked read-only is treated as read-only even when root starts it.
bool writableByProgram(const QString &path);

// The user's data folder: $XDG_DATA_HOME/ombrixtips, or ~/.local/share/ombrixtips when
// XDG_DATA_HOME is unset, empty or relative (the base directory specification says a
// relative one is to be ignored).
QString userDataFolder(const QProcessEnvironment &environment, const QString &homeFolder);

// Chooses the folders for a program whose executable lives in executableFolder, making the
// user's data folder (dataFolder) at the first start. Throws DataFolderError when no
// delivered files can be found, when dataFolder exists but is no folder, or when it cannot
// be made; nothing of a half-made data folder is then left behind.
ProgramFolders chooseProgramFolders(const QString &executableFolder, const InstalledLayout &layout,
                                    const QString &dataFolder, const FileService &files);

// The folders of the built or installed executable in executableFolder, as chooseProgramFolders
// chooses them with the build's install layout and the user's data folder of this
// environment. Both the window and the terminal's commands start here. Throws
// DataFolderError.
ProgramFolders chooseExecutableFolders(const QString &executableFolder,
                                       const QProcessEnvironment &environment,
                                       const QString &homeFolder);

// Makes dataFolder from the delivered files in deliveredFolder: the tip database, the
// template, the pictures and the empty working folders, without the help file or the
// component registry. The folder is built under a hidden name beside it and renamed into
// place, so it appears whole or not at all. Returns false, changing nothing, when
// dataFolder exists already (another start was quicker). Throws DataFolderError.
bool makeDataFolder(const QString &deliveredFolder, const QString &dataFolder,
                    const FileService &files);

// The hidden folders a first start builds in before the rename: ".ombrixtips-new-XXXXXX"
// beside the data folder. One older than this many seconds was left by a start that was
// killed, and the next first start removes it.
inline constexpr int kLeftoverAgeSeconds = 3600;
QString buildFolderPrefix(const QString &dataFolder);
