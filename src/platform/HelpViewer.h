#pragma once
// The help viewer: a help window in the manner of desktop help. It is reached the way the
// program always reached its help, by one call with the asking window, the help file, a
// command and its data (show a topic by number, show the contents, close).
//
// The window has a contents pane (the topics in their books), a find pane that lists the
// topics holding the words typed, Back and Forward, and the topic itself. There is one
// window per program: asking again raises it, and closing it only hides it, so it keeps
// its size and place for the whole run. It never keeps the program running by itself.

#include <QByteArray>
#include <QDateTime>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <vector>

#include "platform/HelpViewerFile.h"

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

class HelpViewer : public QMainWindow {
  Q_OBJECT
public:
  // The commands of a help call.
  enum Command : int {
    HELP_CONTEXT = 0x0001, // show the topic whose number is the data
    HELP_QUIT = 0x0002,    // close the viewer
    HELP_FINDER = 0x000B,  // show the contents
  };

  HelpViewer();
  ~HelpViewer() override;

  // One help call. owner: the handle of the window asking (the viewer opens beside it the
  // first time); helpFile: native path of the help file, read again when it changed.
  // Returns whether the call did all it asked: false for an unknown command, a help file
  // that cannot be read (the window then says so), or a topic number the file does not
  // know (the contents are shown instead).
  bool WinHelp(quintptr owner, const QString &helpFile, int command, qint64 data);

  // What the window shows.
  const HelpViewerFile &file() const { return file_; }
  // The shown topic (its index in file()), -1 when none.
  int currentTopic() const;
  // The first name of the shown topic ("200", "contents"); empty when none.
  QString currentTopicName() const;
  QString currentTitle() const;
  bool canGoBack() const;
  bool canGoForward() const;

  // What the reader does.
  void showContents();
  void goBack();
  void goForward();
  // Shows the find pane with the topics that hold the words.
  void find(const QString &words);
  // The titles listed by the last find.
  QStringList foundTitles() const;
  // Shows the nth topic of the last find, its words marked.
  void openFound(int row);

protected:
  void closeEvent(QCloseEvent *event) override;

private:
  struct Visit {
    int topic;
    int scroll;
  };
  bool load(const QString &helpFile);
  void showUnreadable();
  void fillContents();
  void navigate(int topic, const QStringList &marked = {});
  void display(int topic, int scroll, const QStringList &marked);
  void followLink(const QUrl &link);
  void syncContents(int topic);
  void updateActions();
  void present(quintptr owner);
  void placeBeside(quintptr owner);
  void runFind();

  HelpViewerFile file_;
  QString loadedPath_;
  QDateTime loadedStamp_;
  qint64 loadedSize_ = -1;
  QString problem_;

  std::vector<Visit> history_;
  int position_ = -1;
  std::vector<int> found_;
  QByteArray geometry_;
  bool placed_ = false;

  QTabWidget *panes_;
  QTreeWidget *contentsList_;
  QLineEdit *findText_;
  QListWidget *findResults_;
  QLabel *findStatus_;
  QTextBrowser *view_;
  QAction *contentsAction_;
  QAction *findAction_;
  QAction *backAction_;
  QAction *forwardAction_;
};
