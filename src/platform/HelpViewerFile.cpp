#include "platform/HelpViewerFile.h"

#include <QRegularExpression>
#include <QTextDocumentFragment>
#include <utility>

namespace {

constexpr auto kOptions =
    QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption;

QString plain(const QString &html) { return QTextDocumentFragment::fromHtml(html).toPlainText(); }

// The head and the body of a page; a file without a body tag is all body.
std::pair<QString, QString> headAndBody(const QString &html) {
  static const QRegularExpression open(QStringLiteral("<body[^>]*>"), kOptions);
  static const QRegularExpression close(QStringLiteral("</body\\s*>"), kOptions);
  const QRegularExpressionMatch start = open.match(html);
  const qsizetype from = start.hasMatch() ? start.capturedEnd() : 0;
  const QRegularExpressionMatch end = close.match(html, from);
  return {html.left(start.hasMatch() ? start.capturedStart() : 0),
          html.mid(from, end.hasMatch() ? end.capturedStart() - from : -1)};
}

} // namespace

HelpViewerFile HelpViewerFile::parse(const QString &html) {
  static const QRegularExpression titleTag(QStringLiteral("<title[^>]*>(.*?)</title\\s*>"),
                                           kOptions);
  static const QRegularExpression styleTag(QStringLiteral("<style[^>]*>(.*?)</style\\s*>"),
                                           kOptions);
  static const QRegularExpression comment(QStringLiteral("<!--.*?-->"), kOptions);
  static const QRegularExpression anchorLine(
      QStringLiteral("^\\s*(?:<a\\s+name\\s*=\\s*\"[^\"]*\"\\s*>\\s*</a\\s*>\\s*)+$"), kOptions);
  static const QRegularExpression anchor(QStringLiteral("<a\\s+name\\s*=\\s*\"([^\"]*)\""),
                                         kOptions);
  static const QRegularExpression heading(QStringLiteral("<h([12])[^>]*>(.*?)</h\\1\\s*>"),
                                          kOptions);

  HelpViewerFile file;
  const QString withoutComments = QString(html).remove(comment);
  const QRegularExpressionMatch title = titleTag.match(withoutComments);
  if (title.hasMatch())
    file.title_ = plain(title.captured(1)).simplified();
  const auto [head, body] = headAndBody(withoutComments);
  for (auto it = styleTag.globalMatch(head); it.hasNext();)
    file.style_ += it.next().captured(1);

  HelpTopic *current = nullptr;
  for (const QString &line : body.split(QLatin1Char('\n'))) {
    if (anchorLine.match(line).hasMatch()) {
      file.topics_.push_back({});
      current = &file.topics_.back();
      for (auto it = anchor.globalMatch(line); it.hasNext();)
        current->names << it.next().captured(1).trimmed();
      continue;
    }
    // Text before the first topic belongs to none.
    if (current)
      current->body += line + QLatin1Char('\n');
  }
  for (HelpTopic &topic : file.topics_) {
    const QRegularExpressionMatch h = heading.match(topic.body);
    topic.title = h.hasMatch() ? plain(h.captured(2)).simplified() : QString();
    if (topic.title.isEmpty())
      topic.title = topic.names.value(0);
    topic.plainText = plain(topic.body);
  }
  return file;
}

int HelpViewerFile::find(const QString &name) const {
  for (std::size_t i = 0; i < topics_.size(); ++i)
    if (topics_[i].names.contains(name, Qt::CaseInsensitive))
      return static_cast<int>(i);
  return -1;
}

int HelpViewerFile::contents() const {
  const int named = find(QStringLiteral("contents"));
  if (named >= 0)
    return named;
  return topics_.empty() ? -1 : 0;
}

int HelpViewerFile::topicForNumber(long long number) const {
  const int topic = find(QString::number(number));
  return topic >= 0 ? topic : contents();
}

QStringList HelpViewerFile::searchWords(const QString &words) {
  static const QRegularExpression separators(QStringLiteral("[^\\p{L}\\p{N}]+"),
                                             QRegularExpression::UseUnicodePropertiesOption);
  return words.split(separators, Qt::SkipEmptyParts);
}

std::vector<int> HelpViewerFile::search(const QString &words) const {
  std::vector<QRegularExpression> patterns;
  for (const QString &word : searchWords(words))
    patterns.emplace_back(QStringLiteral("(?<![\\p{L}\\p{N}])") + QRegularExpression::escape(word),
                          QRegularExpression::CaseInsensitiveOption |
                              QRegularExpression::UseUnicodePropertiesOption);
  std::vector<int> found;
  if (patterns.empty())
    return found;
  for (std::size_t i = 0; i < topics_.size(); ++i) {
    bool all = true;
    for (const QRegularExpression &pattern : patterns)
      all = all && pattern.match(topics_[i].plainText).hasMatch();
    if (all)
      found.push_back(static_cast<int>(i));
  }
  return found;
}

std::vector<HelpViewerFile::OutlineEntry> HelpViewerFile::outline() const {
  static const QRegularExpression bookOrLink(
      QStringLiteral("<h3[^>]*>(.*?)</h3\\s*>|<a\\s+href\\s*=\\s*\"#([^\"]*)\""), kOptions);
  std::vector<OutlineEntry> entries;
  std::vector<bool> listed(topics_.size(), false);
  const int home = contents();
  if (home >= 0) {
    listed[home] = true;
    QString book;
    for (auto it = bookOrLink.globalMatch(topics_[home].body); it.hasNext();) {
      const QRegularExpressionMatch m = it.next();
      if (m.capturedLength(1) > 0) {
        book = plain(m.captured(1)).simplified();
        continue;
      }
      const int topic = find(m.captured(2));
      if (topic >= 0 && !listed[topic]) {
        listed[topic] = true;
        entries.push_back({book, topic});
      }
    }
  }
  for (std::size_t i = 0; i < topics_.size(); ++i)
    if (!listed[i])
      entries.push_back({QString(), static_cast<int>(i)});
  return entries;
}

QString HelpViewerFile::page(int topic) const {
  if (topic < 0 || topic >= static_cast<int>(topics_.size()))
    return {};
  return QStringLiteral("<html><head><meta charset=\"utf-8\"><style>") + style_ +
         QStringLiteral("</style></head><body>") + topics_[topic].body +
         QStringLiteral("</body></html>");
}
