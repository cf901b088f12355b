#include "generator/ProgramFolderLayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QPair>
#include <QSaveFile>

#include <functional>

#include "generator/DeliveredDatabase.h"
#include "generator/GroupPictures.h"
#include "generator/TipsSource.h"
#include "store/DataControl.h"
#include "tips/ProgramPaths.h"

namespace obxdata {

QString relativeName(const QString &relativeText) {
  QString name = relativeText;
  name.replace(QLatin1Char('\\'), QLatin1Char('/'));
  while (name.startsWith(QLatin1Char('/')))
    name.remove(0, 1);
  return name;
}

QString relativeName(const char *relativeText) {
  return relativeName(QString::fromLatin1(relativeText));
}

namespace {

void ensureFolder(const QDir &root, const QString &name, LayoutReport &report) {
  const QString path = root.filePath(name);
  if (QFileInfo(path).isDir()) {
    report.kept << name + QLatin1Char('/');
    return;
  }
  if (QFileInfo::exists(path))
    throw DataError(QStringLiteral("%1 exists but is not a folder").arg(path));
  if (!root.mkpath(name))
    throw DataError(QStringLiteral("cannot create the folder %1").arg(path));
  report.created << name + QLatin1Char('/');
}

// Calls `make` with the full path when the file is missing.
void ensureFile(const QDir &root, const QString &name, LayoutReport &report,
                const std::function<void(const QString &)> &make) {
  const QString path = root.filePath(name);
  if (QFileInfo::exists(path)) {
    report.kept << name;
    return;
  }
  make(path);
  report.created << name;
}

QByteArray readFile(const QString &path) {
  QFile in(path);
  if (!in.open(QIODevice::ReadOnly))
    throw DataError(QStringLiteral("cannot read %1: %2").arg(path, in.errorString()));
  return in.readAll();
}

void copyFile(const QString &from, const QString &to) {
  QFile in(from);
  if (!in.open(QIODevice::ReadOnly))
    throw DataError(QStringLiteral("cannot read %1: %2").arg(from, in.errorString()));
  QSaveFile out(to);
  if (!out.open(QIODevice::WriteOnly) || out.write(in.readAll()) < 0 || !out.commit())
    throw DataError(QStringLiteral("cannot write %1: %2").arg(to, out.errorString()));
}

// The help file is the program's, not the user's: it follows its source. An unchanged
// file is left as it is, so a build that changed nothing writes nothing.
void refreshHelpFile(const QDir &root, const QString &name, const QString &source,
                     LayoutReport &report) {
  const QString path = root.filePath(name);
  if (!QFileInfo::exists(path)) {
    copyFile(source, path);
    report.created << name;
    return;
  }
  if (QFileInfo(path).isFile()) {
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == readFile(source)) {
      report.kept << name;
      return;
    }
  }
  copyFile(source, path);
  report.refreshed << name;
}

// For a database that already exists: the keys of the delivered groups still in it,
// with the style of their picture. A database the store cannot read is left alone.
QList<QPair<int, PictureStyle>> deliveredGroupsIn(const QString &dbPath,
                                                  const TipCollection &source) {
  QHash<QString, PictureStyle> styles;
  for (const auto &g : source.groups)
    styles.insert(g.name.toCaseFolded(), g.picture);
  QList<QPair<int, PictureStyle>> result;
  try {
    store::DataControl groups;
    groups.setDatabaseName(dbPath);
    groups.setRecordSource(QStringLiteral("Group"));
    groups.refresh();
    store::Recordset &rs = groups.recordset();
    if (rs.recordCount() > 0) {
      rs.moveFirst();
      while (!rs.eof()) {
        const QString key = rs.text(QStringLiteral("TIP_GROUP")).toCaseFolded();
        if (store::isTrue(rs.field(QStringLiteral("G_ORIGINAL"))) && styles.contains(key))
          result.append({rs.field(QStringLiteral("GROUP_ID")).toInt(), styles.value(key)});
        rs.moveNext();
      }
    }
  } catch (const std::exception &e) {
    qWarning("obx-datagen: %s is not checked for missing pictures: %s", qPrintable(dbPath),
             e.what());
    return {};
  }
  return result;
}

} // namespace

LayoutReport layOutProgramFolder(const QString &programDir, const QString &dataDir) {
  LayoutReport report;
  if (!QDir().mkpath(programDir))
    throw DataError(QStringLiteral("cannot create the program folder %1").arg(programDir));
  const QDir root(programDir);
  const QDir data(dataDir);

  // Read and check the sources first: a broken tips file fails every build, not only the
  // first one.
  const TipCollection source = readTipsFile(data.filePath(QLatin1String(kTipsSource)));
  const QString helpSource = data.filePath(QLatin1String(kHelpSource));
  if (!QFileInfo::exists(helpSource))
    throw DataError(QStringLiteral("the help source %1 is missing").arg(helpSource));

  ensureFolder(root, relativeName(tips::relative::kImagesFolder), report);
  ensureFolder(root, relativeName(tips::relative::kExportFolder), report);
  ensureFolder(root, relativeName(tips::relative::kTempFolder), report);

  ensureFile(root, relativeName(tips::relative::kPlaceholderPicture), report,
             [](const QString &path) { saveJpeg(drawPlaceholderPicture(), path); });
  ensureFile(root, relativeName(tips::relative::kTemplateDatabase), report,
             [](const QString &path) { writeTemplateDatabase(path); });
  refreshHelpFile(root, relativeName(tips::relative::kHelpFile), helpSource, report);

  QList<QPair<int, PictureStyle>> pictures;
  const QString dbName = relativeName(tips::relative::kTipDatabase);
  const QString dbPath = root.filePath(dbName);
  if (QFileInfo::exists(dbPath)) {
    report.kept << dbName;
    pictures = deliveredGroupsIn(dbPath, source);
  } else {
    const QList<int> ids = writeTipDatabase(dbPath, source);
    report.created << dbName;
    for (int i = 0; i < ids.size(); ++i)
      pictures.append({ids.at(i), source.groups.at(i).picture});
  }
  for (const auto &picture : pictures) {
    const PictureStyle style = picture.second;
    ensureFile(root, relativeName(tips::relative::groupPicture(picture.first)), report,
               [&](const QString &path) { saveJpeg(drawGroupPicture(style), path); });
  }
  return report;
}

} // namespace obxdata
