#include "exchange/ImportDetails.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

#include "platform/files/FileService.h"
#include "tips/ProgramPaths.h"
#include "tips/UserMessage.h"

namespace exchange {

namespace {

QString quoted(const QString &name) { return QLatin1Char('"') + name + QLatin1Char('"'); }

bool skipped(TipFate fate) { return fate != TipFate::Added; }

// The words of a skipped tip's reason; empty for a tip added.
QString reasonOf(const MergedTip &tip) {
  switch (tip.fate) {
  case TipFate::Added:
    break;
  case TipFate::SubjectExists:
    return QStringLiteral("its subject exists");
  case TipFate::BlankSubject:
    return QStringLiteral("its subject is blank");
  case TipFate::BlankGroupName:
    return QStringLiteral("its group's name is blank");
  case TipFate::NoPackageGroup:
    return QStringLiteral("its group is not in the package");
  }
  return {};
}

QString groupText(const MergedGroup &group, bool done) {
  switch (group.fate) {
  case GroupFate::Added:
    return (done ? QStringLiteral("New group %1 added") : QStringLiteral("New group %1"))
        .arg(quoted(group.name));
  case GroupFate::Existing:
    return QStringLiteral("Group %1 matches the group %2")
        .arg(quoted(group.name), quoted(group.localName));
  case GroupFate::BlankName:
    break;
  }
  return done ? QStringLiteral("A group with a blank name: skipped with its tips")
              : QStringLiteral("A group with a blank name: to be skipped with its tips");
}

QString tipText(const MergeResult &result, const MergedTip &tip, bool done) {
  const QString subject =
      tip.blankSubject() ? QStringLiteral("A tip") : quoted(result.subjectOf(tip));
  switch (tip.fate) {
  case TipFate::Added:
    return (done ? QStringLiteral("    %1 added to %2") : QStringLiteral("    %1 to add to %2"))
        .arg(subject, quoted(result.groupNameOf(tip)));
  case TipFate::SubjectExists:
    return QStringLiteral("    %1 %2: its subject exists in %3")
        .arg(subject, done ? QStringLiteral("skipped") : QStringLiteral("to skip"),
             quoted(result.holderNameOf(tip)));
  default:
    break;
  }
  return QStringLiteral("    %1 %2: %3")
      .arg(subject, done ? QStringLiteral("skipped") : QStringLiteral("to skip"), reasonOf(tip));
}

// One CSV cell: quoted when it holds a comma, a quote or a line break; an apostrophe in
// front of what a spreadsheet would take for a formula.
QByteArray cell(const QString &text) {
  QString value = text;
  if (!value.isEmpty()) {
    const QChar first = value.front();
    if (first == u'=' || first == u'+' || first == u'-' || first == u'@' || first.unicode() < 0x20)
      value.prepend(QLatin1Char('\''));
  }
  if (value.contains(QLatin1Char(',')) || value.contains(QLatin1Char('"')) ||
      value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'))) {
    value.replace(QLatin1String("\""), QLatin1String("\"\""));
    value = QLatin1Char('"') + value + QLatin1Char('"');
  }
  return value.toUtf8();
}

void appendRow(QByteArray &out, const QStringList &cells) {
  for (int i = 0; i < cells.size(); ++i) {
    if (i)
      out += ',';
    out += cell(cells[i]);
  }
  out += "\r\n";
}

} // namespace

std::vector<DetailLine> detailLines(const MergeResult &result) {
  std::vector<DetailLine> lines;
  lines.reserve(result.groups.size() + result.tips.size());
  std::size_t tip = 0;
  for (std::size_t g = 0; g < result.groups.size(); ++g) {
    lines.push_back({true, qint32(g)});
    while (tip < result.tips.size() && result.tips[tip].packageGroup == qint32(g))
      lines.push_back({false, qint32(tip++)});
  }
  for (; tip < result.tips.size(); ++tip)
    lines.push_back({false, qint32(tip)});
  return lines;
}

QString detailText(const MergeResult &result, const DetailLine &line, bool done) {
  return line.group ? groupText(result.groups[std::size_t(line.index)], done)
                    : tipText(result, result.tips[std::size_t(line.index)], done);
}

DetailSums detailSums(const MergeResult &result) {
  DetailSums sums;
  for (const MergedTip &tip : result.tips)
    ++(skipped(tip.fate) ? sums.tipsSkipped : sums.tipsAdded);
  for (const MergedGroup &group : result.groups)
    if (group.fate == GroupFate::Added)
      ++sums.groupsAdded;
  return sums;
}

QString detailSummary(const MergeResult &result, bool done) {
  const DetailSums sums = detailSums(result);
  const QString tips =
      sums.tipsAdded == 1 ? QStringLiteral("1 tip") : QStringLiteral("%1 tips").arg(sums.tipsAdded);
  return QStringLiteral("%1 %2, %3 skipped")
      .arg(tips, done ? QStringLiteral("added") : QStringLiteral("to add"))
      .arg(sums.tipsSkipped);
}

QString reportFileName(const QString &packagePath, const QDateTime &when) {
  return QStringLiteral("Import %1 %2.csv")
      .arg(when.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")),
           QFileInfo(packagePath).completeBaseName());
}

namespace {

// The report's rows, handed to flush a block of about 64 KB at a time: a report of a
// million tips is never held whole.
void reportRows(const MergeResult &result, const std::function<void(QByteArray &)> &flush) {
  constexpr qsizetype kBlock = 1 << 16;
  QByteArray out("\xEF\xBB\xBF");
  appendRow(out, {QStringLiteral("outcome"), QStringLiteral("group"), QStringLiteral("subject"),
                  QStringLiteral("reason"), QStringLiteral("local group")});
  for (const DetailLine &line : detailLines(result)) {
    if (line.group) {
      const MergedGroup &g = result.groups[std::size_t(line.index)];
      switch (g.fate) {
      case GroupFate::Added:
        appendRow(out, {QStringLiteral("group added"), g.name, {}, {}, g.name});
        break;
      case GroupFate::Existing:
        appendRow(out, {QStringLiteral("group matched"), g.name, {}, {}, g.localName});
        break;
      case GroupFate::BlankName:
        appendRow(
            out,
            {QStringLiteral("group skipped"), g.name, {}, QStringLiteral("its name is blank"), {}});
        break;
      }
      continue;
    }
    const MergedTip &t = result.tips[std::size_t(line.index)];
    const QString group =
        t.packageGroup >= 0 ? result.groups[std::size_t(t.packageGroup)].name : QString();
    if (t.fate == TipFate::Added)
      appendRow(
          out,
          {QStringLiteral("tip added"), group, result.subjectOf(t), {}, result.groupNameOf(t)});
    else
      appendRow(out, {QStringLiteral("tip skipped"), group, result.subjectOf(t), reasonOf(t),
                      t.fate == TipFate::SubjectExists ? result.holderNameOf(t) : QString()});
    if (out.size() >= kBlock) {
      flush(out);
      out.clear();
    }
  }
  flush(out);
}

} // namespace

QByteArray reportText(const MergeResult &result) {
  QByteArray text;
  reportRows(result, [&](QByteArray &block) { text += block; });
  return text;
}

QString writeReport(const tips::ProgramPaths &paths, const MergeResult &result,
                    const QString &packagePath, const QDateTime &when) {
  const QString folder = paths.reportsFolder();
  if (!QDir().mkpath(folder))
    throw FileError(folder, QStringLiteral("The reports folder cannot be made"), errno);
  const QString path = folder + QLatin1Char('/') + reportFileName(packagePath, when);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    throw FileError(path, QStringLiteral("The import report cannot be written"), errno);
  bool written = true;
  reportRows(result,
             [&](QByteArray &block) { written = written && file.write(block) == block.size(); });
  if (!written || !file.commit())
    throw FileError(path, QStringLiteral("The import report cannot be written"), errno);
  return path;
}

ImportRun importWithReport(ImportPackage &package, const tips::ProgramPaths &paths,
                           const QString &packagePath, const QDateTime &when,
                           tips::WorkProgress &progress) {
  ImportRun run;
  package.keepRecordAs(QFileInfo(packagePath).fileName());
  run.merge = package.merge(progress);
  if (run.merge.outcome != MergeOutcome::Merged)
    return run;
  try {
    run.report = writeReport(paths, run.merge, packagePath, when);
  } catch (const FileError &e) {
    run.reportProblem = tips::userMessage(e);
  }
  return run;
}

} // namespace exchange
