#pragma once
// What the terminal's reading commands print: text for people, one JSON document for
// scripts (UTF-8, fields: id, groupId, group, subject, and excerpt or description). Every
// function answers the bytes to write to standard output.

#include <QByteArray>
#include <QString>

#include "search/TipIndex.h"
#include "terminal/TipLookup.h"

namespace terminal {

// A stored text for a terminal: the "\r\n" of stored line ends and of the program's
// messages becomes "\n".
QString terminalText(const QString &text);

// find: each tip as "[id] group: subject" and its excerpt indented on the next line.
QByteArray foundText(const search::SearchResult &result);
// {"query", "total", "capped", "tips": [{"id", "groupId", "group", "subject", "excerpt"}]}
QByteArray foundJson(const QString &query, const search::SearchResult &result);

// show: the group, the subject and the key, then the whole description.
QByteArray tipText(const TipRecord &tip);
// {"id", "groupId", "group", "subject", "description"}
QByteArray tipJson(const TipRecord &tip);

// The beginning of a description that fits a login shell's greeting: at most maxLines
// lines and maxCharacters characters, cut after a word, with "..." when cut.
struct ShortText {
  QString text;
  bool shortened = false;
};
ShortText shortDescription(const QString &description, int maxCharacters, int maxLines);

// random: "group: subject", the short description, and when it was shortened, the
// command that shows the tip whole.
QByteArray fortuneText(const TipRecord &tip, const ShortText &description);
// {"id", "groupId", "group", "subject", "excerpt", "shortened"}
QByteArray fortuneJson(const TipRecord &tip, const ShortText &description);

} // namespace terminal
