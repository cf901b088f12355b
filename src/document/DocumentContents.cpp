#include "document/DocumentContents.h"

#include "document/DocumentError.h"
#include "tips/NameRules.h"
#include "tips/ProgramPaths.h"
#include "tips/TipRows.h"
#include "tips/WorkProgress.h"

#include <QDate>
#include <QFileInfo>

namespace document {

namespace {

// The picture the main screen shows for a group: its own, else the placeholder.
QString shownPicture(const tips::ProgramPaths &paths, qint32 groupId) {
  for (const QString &file : {paths.groupPicture(groupId), paths.placeholderPicture()})
    if (QFileInfo(file).isFile())
      return file;
  return {};
}

} // namespace

DocumentContents readContents(tips::TipRows &rows, const tips::ProgramPaths &paths,
                              const QString &groupName) {
  DocumentContents contents;
  contents.title = QStringLiteral("Ombrix Tips");
  std::vector<tips::ListEntry> groups;
  if (groupName.isEmpty()) {
    groups = rows.groups();
  } else {
    const QString name = tips::QuoteToTick(groupName.trimmed());
    const std::optional<qint32> id = name.isEmpty() ? std::nullopt : rows.findGroup(name);
    if (!id)
      throw DocumentError(
          QStringLiteral("There is no group named \"%1\" in the tip database.").arg(groupName));
    groups.push_back({rows.groupName(*id), *id});
    contents.title += QStringLiteral(": ") + groups.front().text;
  }
  contents.groups.reserve(groups.size());
  for (const tips::ListEntry &group : groups) {
    DocumentGroup g{group.id, group.text, shownPicture(paths, group.id), rows.subjects(group.id)};
    contents.tipCount += qint64(g.subjects.size());
    contents.groups.push_back(std::move(g));
  }
  return contents;
}

QString summaryLine(const DocumentContents &contents) {
  const auto count = [](qint64 n, const char *one, const char *many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
  };
  return QStringLiteral("%1, %2. Saved on %3.")
      .arg(count(qint64(contents.groups.size()), "group", "groups"),
           count(contents.tipCount, "tip", "tips"), QDate::currentDate().toString(Qt::ISODate));
}

QString groupAnchor(int group) { return QStringLiteral("g%1").arg(group + 1); }

QString tipAnchor(int group, int tip) {
  return QStringLiteral("g%1-t%2").arg(group + 1).arg(tip + 1);
}

TipCounter::TipCounter(tips::WorkProgress &progress, qint64 total)
    : progress_(progress), total_(total) {
  progress_.begin(QStringLiteral("tips"), total);
  progress_.checkpoint();
}

void TipCounter::tipDone() {
  ++done_;
  if (done_ % 64 == 0 || done_ == total_) {
    progress_.advance(done_);
    progress_.checkpoint();
  }
}

} // namespace document
