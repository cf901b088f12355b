#pragma once
// The help file as the help viewer reads it: one HTML file cut into topics.
//
// A topic begins at a line that holds nothing but anchors, <a name="200"></a>; the names
// of those anchors are the topic's names (a number a screen asks for, or a word such as
// "contents"), and its first <h1> or <h2> is its title. The topic runs to the next such
// line. The style sheet of the file's head is given to every topic, so each one reads as
// a page of its own.

#include <QString>
#include <QStringList>
#include <vector>

struct HelpTopic {
  QStringList names; // "contents", "0", "200", ...
  QString title;
  QString body;      // the topic's HTML
  QString plainText; // what the reader sees, for the find
};

class HelpViewerFile {
public:
  // An empty file: no topics.
  HelpViewerFile() = default;
  // Cuts the text of a help file into its topics.
  static HelpViewerFile parse(const QString &html);

  const QString &title() const { return title_; }
  const std::vector<HelpTopic> &topics() const { return topics_; }
  bool isEmpty() const { return topics_.empty(); }

  // The topic of that name; -1 when no topic has it.
  int find(const QString &name) const;
  // The contents page: the topic named "contents", else the first one (-1 in an empty file).
  int contents() const;
  // The topic a screen's number leads to: its own, or the contents for a number the file
  // does not know (the reader lands somewhere useful, never on an empty window).
  int topicForNumber(long long number) const;

  // The topics whose text holds every word of what the reader typed, each as the start of
  // a word and without regard to case ("pict" finds "Picture"), in file order. Nothing
  // typed finds nothing.
  std::vector<int> search(const QString &words) const;
  // The words of a find, as search() takes them apart.
  static QStringList searchWords(const QString &words);

  // The outline of the contents pane: the topics the contents page links to, in its order,
  // each under the <h3> heading it stands below there ("books"); then the topics it does
  // not link to. The contents page itself is not in it.
  struct OutlineEntry {
    QString book; // empty: no book
    int topic;
  };
  std::vector<OutlineEntry> outline() const;

  // A whole HTML page showing one topic, with the file's style sheet.
  QString page(int topic) const;

private:
  QString title_;
  QString style_;
  std::vector<HelpTopic> topics_;
};
