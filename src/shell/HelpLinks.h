#pragma once
// Links to the help file: set up, open a topic by number, open the contents, close.

#include <QPointer>
#include <QString>
#include <QWidget>
#include <vector>

struct OBXGlobals;
class FileService;
class QTextBrowser;

class HelpLinks {
public:
  enum Command { kContext = 1, kQuit = 2, kContents = 11 };
  struct Call {
    int command;
    int data;
  };

  HelpLinks(OBXGlobals &globals, const FileService &files, QString programFolder);
  ~HelpLinks();

  // The help file's path for a program folder ("\OMBRIXTIPS.HLP" after it, no doubled
  // backslash at a drive's root).
  static QString helpFilePath(const QString &programFolder);

  void HelpInit(QWidget *owner);
  void HelpContext(int topic);
  void HelpContents();
  void HelpQuit();

  const QString &helpFile() const { return helpFile_; }
  // Every command sent to the viewer, for tests.
  const std::vector<Call> &calls() const { return calls_; }
  QWidget *viewer() const;

private:
  void send(int command, int data);

  OBXGlobals &globals_;
  const FileService &files_;
  QString programFolder_;
  QString helpFile_;
  QPointer<QTextBrowser> viewer_;
  std::vector<Call> calls_;
};
