#pragma once
// The text of a tip as it stands in each kind of document, so that it shows exactly as it
// was typed: markup characters are escaped, line breaks are kept (CR LF and a lone CR read
// as one line break), and characters no document may hold (control characters other than
// tab and line break) become U+FFFD. Descriptions come in pieces (a large one is never
// held whole), so each escaper keeps what it must know of the piece before.

#include <QString>
#include <QStringView>

namespace document {

// Text as it is, for a document that takes plain text (the PDF's): line breaks as '\n'
// and forbidden characters replaced, nothing escaped.
class PlainText {
public:
  void add(QStringView piece, QString &out);

private:
  bool afterCR_ = false;
};

// Text for HTML content and attribute values: & < > " ' as character references.
class HtmlText {
public:
  // Appends the escaped piece to out.
  void add(QStringView piece, QString &out);

private:
  bool afterCR_ = false;
};
QString htmlEscaped(QStringView text);

// Text for Markdown (CommonMark, GitHub's and pandoc's dialects): every character that
// could begin markup anywhere is backslash-escaped, and so is what begins a block at the
// start of a line (a list number, a heading, a quote, a rule); leading blanks become
// no-break spaces so that no line turns into code.
class MarkdownText {
public:
  enum class Lines {
    Kept,  // each line break a hard break (\ at the end of the line); empty lines kept
    Joined // one line: a heading or a link's text; line breaks read as blanks
  };
  explicit MarkdownText(Lines lines = Lines::Kept) : lines_(lines) {}
  void add(QStringView piece, QString &out);

private:
  void addChar(char16_t c, QString &out);
  void lineBreak(QString &out);

  Lines lines_;
  bool afterCR_ = false;
  bool breakPending_ = false; // a line ended; its hard break is written when more follows
  bool lineEmpty_ = true;
  bool inIndent_ = true; // only blanks so far on this line
  int leadingWord_ = 0;  // letters and digits after the indent, nothing else yet
  bool leadingWordOnly_ = true;
  char16_t previous_ = 0;
};
QString markdownEscaped(QStringView text, MarkdownText::Lines lines = MarkdownText::Lines::Joined);

// A character no document may hold: C0 and C1 controls but tab and line breaks, and
// unpaired surrogates.
bool isForbidden(QChar c);

} // namespace document
