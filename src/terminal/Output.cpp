#include "terminal/Output.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace terminal {

namespace {

// One line: line ends and runs of spaces in an excerpt become single spaces.
QString oneLine(const QString &text) { return text.simplified(); }

QJsonObject tipFields(qint32 id, qint32 groupId, const QString &group, const QString &subject) {
  return {{QStringLiteral("id"), id},
          {QStringLiteral("groupId"), groupId},
          {QStringLiteral("group"), group},
          {QStringLiteral("subject"), subject}};
}

QByteArray json(const QJsonObject &object) {
  return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

QString heading(const TipRecord &tip) {
  return QStringLiteral("%1: %2").arg(tip.group, tip.subject);
}

} // namespace

QString terminalText(const QString &text) {
  QString plain = text;
  plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return plain;
}

QByteArray foundText(const search::SearchResult &result) {
  QString out;
  for (const search::FoundTip &tip : result.tips)
    out += QStringLiteral("[%1] %2: %3\n    %4\n")
               .arg(tip.tipId)
               .arg(tip.groupName, tip.subject, oneLine(tip.excerpt));
  return out.toUtf8();
}

QByteArray foundJson(const QString &query, const search::SearchResult &result) {
  QJsonArray tips;
  for (const search::FoundTip &tip : result.tips) {
    QJsonObject fields = tipFields(tip.tipId, tip.groupId, tip.groupName, tip.subject);
    fields.insert(QStringLiteral("excerpt"), tip.excerpt);
    tips.append(fields);
  }
  return json({{QStringLiteral("query"), query},
               {QStringLiteral("total"), result.total},
               {QStringLiteral("capped"), result.capped},
               {QStringLiteral("tips"), tips}});
}

QByteArray tipText(const TipRecord &tip) {
  QString description = terminalText(tip.description);
  if (!description.endsWith(QLatin1Char('\n')))
    description += QLatin1Char('\n');
  return (QStringLiteral("Group:   %1\nSubject: %2\nTip:     %3\n\n")
              .arg(tip.group, tip.subject)
              .arg(tip.id) +
          description)
      .toUtf8();
}

QByteArray tipJson(const TipRecord &tip) {
  QJsonObject fields = tipFields(tip.id, tip.groupId, tip.group, tip.subject);
  fields.insert(QStringLiteral("description"), tip.description);
  return json(fields);
}

ShortText shortDescription(const QString &description, int maxCharacters, int maxLines) {
  QString text = terminalText(description).trimmed();
  ShortText result;
  qsizetype end = text.size();
  qsizetype lineEnd = -1;
  for (int line = 0; line < maxLines; ++line) {
    lineEnd = text.indexOf(QLatin1Char('\n'), lineEnd + 1);
    if (lineEnd < 0)
      break;
  }
  if (lineEnd >= 0)
    end = lineEnd;
  if (end > maxCharacters) {
    end = maxCharacters;
    // After a word: back to the last space, unless the text holds none near the end.
    const qsizetype space = text.lastIndexOf(QLatin1Char(' '), end);
    if (space > maxCharacters / 2)
      end = space;
    // Never between the two halves of a character outside the basic plane.
    if (end > 0 && text[end - 1].isHighSurrogate())
      --end;
  }
  result.shortened = end < text.size();
  result.text = result.shortened ? text.left(end).trimmed() + QStringLiteral(" ...") : text;
  return result;
}

QByteArray fortuneText(const TipRecord &tip, const ShortText &description) {
  QString out = heading(tip) + QLatin1Char('\n') + description.text + QLatin1Char('\n');
  if (description.shortened)
    out += QStringLiteral("    (ombrixtips show %1)\n").arg(tip.id);
  return out.toUtf8();
}

QByteArray fortuneJson(const TipRecord &tip, const ShortText &description) {
  QJsonObject fields = tipFields(tip.id, tip.groupId, tip.group, tip.subject);
  fields.insert(QStringLiteral("excerpt"), description.text);
  fields.insert(QStringLiteral("shortened"), description.shortened);
  return json(fields);
}

} // namespace terminal
