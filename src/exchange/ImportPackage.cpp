#include "exchange/ImportPackage.h"

#include "tips/UserMessage.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <optional>
#include <sqlite3.h>

#include "exchange/FieldValues.h"
#include "exchange/FolderNames.h"
#include "exchange/ImportUndo.h"
#include "exchange/KeyDigests.h"
#include "exchange/RowWriter.h"
#include "exchange/TableReaders.h"
#include "exchange/WorkingFolder.h"
#include "platform/files/FileService.h"
#include "store/DataControl.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "tips/Clock.h"
#include "tips/ProgramPaths.h"

namespace exchange {

QString MergeResult::groupNameOf(const MergedTip &tip) const {
  if (tip.packageGroup < 0)
    return {};
  const MergedGroup &group = groups[std::size_t(tip.packageGroup)];
  switch (group.fate) {
  case GroupFate::Added:
    return group.name;
  case GroupFate::Existing:
    return group.localName;
  case GroupFate::BlankName:
    break;
  }
  return {};
}

Tally totalAfterMerge(const Tally &localTotal, const MergeResult &merge) {
  Tally total = localTotal;
  total.groups += merge.added.groups;
  total.tips += merge.added.tips;
  total.take(merge.added.latest);
  return total;
}

namespace {

// Progress is told, and a stop heard, every so many tips.
constexpr std::size_t kProgressStep = 4096;

bool tableEmpty(store::Database &db, const char *table) {
  store::sql::Statement s(db.handle(),
                          QStringLiteral("SELECT 1 FROM %1 LIMIT 1").arg(quotedTable(db, table)));
  return !s.step();
}

// The user's names and subjects, for the lookups of the merge: a merge meets every
// package row once, and a lookup through a record set each time would cost tens of
// microseconds. Keys are compared as the store's finds compare them (case ignored); the
// first row in table order wins, as a find's first match does.
struct LocalNames {
  QHash<QByteArray, qint32> groups; // key of the name -> group key
  QHash<qint32, QString> names;     // group key -> name
  KeyDigests subjects;              // key of the subject -> key of the tip's group

  // packageTips: the subjects the walk may add to those of the user's database.
  LocalNames(store::Database &db, qint64 packageTips)
      : subjects(std::size_t(localTipCount(db) + packageTips)) {
    for (const GroupRow &g : exchange::readGroups(db)) {
      if (!g.id || !g.name.isValid())
        continue;
      const QByteArray key = exchange::storedKeyOf(g.name);
      if (!groups.contains(key))
        groups.insert(key, qint32(*g.id));
      names.insert(qint32(*g.id), g.name.toString());
    }
    // The keys the store keeps beside the subjects, where the file has them: no subject
    // needs folding here.
    const store::TableSpec &tipsTable = *store::findTable(u"Tips");
    const bool keyed =
        db.layout(tipsTable).hasFoldKey(*store::findField(tipsTable, u"TIP_SUBJECT"));
    store::sql::Statement s(
        db.handle(), QStringLiteral("SELECT \"GROUP_ID\", \"TIP_SUBJECT\"%1 FROM %2 ORDER BY rowid")
                         .arg(keyed ? QStringLiteral(", \"TIP_SUBJECT_FOLD\"") : QString(),
                              quotedTable(db, "Tips")));
    while (s.step()) {
      const qint32 group = qint32(store::integerOf(s.value(0)).value_or(0));
      if (keyed && sqlite3_column_type(s.handle(), 2) == SQLITE_TEXT)
        subjects.insert(
            QByteArrayView(reinterpret_cast<const char *>(sqlite3_column_text(s.handle(), 2)),
                           sqlite3_column_bytes(s.handle(), 2)),
            group);
      else if (!s.isNull(1))
        subjects.insert(exchange::storedKeyOf(s.value(1)), group);
    }
  }

  static qint64 localTipCount(store::Database &db) {
    store::sql::Statement s(db.handle(),
                            QStringLiteral("SELECT count(*) FROM %1").arg(quotedTable(db, "Tips")));
    return s.step() ? store::integerOf(s.value(0)).value_or(0) : 0;
  }
};

} // namespace

ImportPackage::ImportPackage(const tips::ProgramPaths &paths, const FileService &files,
                             const tips::Clock &clock,
                             std::unique_ptr<tips::TipChangeListener> listener)
    : paths_(paths), files_(files), clock_(clock), listener_(std::move(listener)) {}

ImportPackage::~ImportPackage() = default;

void ImportPackage::close() {
  package_.reset();
  content_ = {};
}

void ImportPackage::finish() {
  close();
  try {
    emptyTempFolder(files_, paths_);
  } catch (const FileError &) {
    // Nothing is lost: the next unpacking empties the folder first and says so if it cannot.
  }
}

QString ImportPackage::open() {
  close();
  const QString path = paths_.packageDatabase();
  // Checked here, so that the engine is never asked to open (or create) a missing file.
  if (!QFileInfo(path).isFile())
    return QStringLiteral("The import package holds no tip database:\r\n\"%1\" is missing.")
        .arg(path);
  try {
    package_ = store::Database::open(path, store::OpenMode::ReadOnlyUntrusted);
    content_ = countContent(*package_);
  } catch (const store::StoreError &e) {
    close();
    return QStringLiteral("The import package cannot be imported:\r\n") + e.message();
  } catch (const std::exception &e) {
    close();
    return QStringLiteral("The import package cannot be imported:\r\n") +
           QString::fromLocal8Bit(e.what());
  }
  return {};
}

OriginSummary ImportPackage::localSummary() const {
  auto db = store::Database::open(paths_.tipDatabase(), store::OpenMode::ReadWrite);
  return summarizeOrigins(*db);
}

MergeResult ImportPackage::plan(tips::WorkProgress &progress) { return walk(false, progress); }

MergeResult ImportPackage::merge(tips::WorkProgress &progress) { return walk(true, progress); }

MergeResult ImportPackage::walk(bool apply, tips::WorkProgress &progress) {
  MergeResult result;
  if (!package_) {
    if (const QString problem = open(); !problem.isEmpty()) {
      result.outcome = MergeOutcome::Failed;
      result.error = problem;
      return result;
    }
  }
  std::vector<QString> pictures; // copied by this merge, removed again when it fails
  // The keys of the rows a merge adds: handed out in ascending order within its
  // transaction, so the ranges hold its rows alone (the undo record, the search index).
  std::pair<qint32, qint32> groupKeys{0, -1}, tipKeys{0, -1};
  auto took = [](std::pair<qint32, qint32> &range, qint32 key) {
    if (range.second < range.first)
      range.first = key;
    range.second = key;
  };
  auto failed = [&](const QString &reason) {
    for (const QString &p : pictures)
      QFile::remove(p);
    MergeResult failure;
    failure.outcome = MergeOutcome::Failed;
    failure.error =
        apply ? QStringLiteral("The import stopped, and nothing was imported:\r\n") + reason
              : QStringLiteral("The import cannot be previewed:\r\n") + reason;
    return failure;
  };
  try {
    if (tableEmpty(*package_, "Group") || tableEmpty(*package_, "Tips")) {
      result.outcome = MergeOutcome::PackageEmpty;
      return result;
    }
    // A plan reads the user's database through the same connection a merge writes with.
    auto local = store::Database::open(paths_.tipDatabase(), store::OpenMode::ReadWrite);
    LocalNames names(*local, content_.tips);
    result.tips.reserve(std::size_t(content_.tips));
    const QDate today = clock_.today();
    const QVariant no = store::kFalse, yes = store::kTrue;

    exchange::FolderNames temp(paths_.tempFolder());
    exchange::FolderNames images(paths_.imagesFolder());
    std::optional<store::Database::Transaction> transaction;
    std::optional<exchange::RowWriter> writer;
    if (apply) {
      transaction.emplace(local);
      writer.emplace(local);
    }
    qint32 plannedGroups = 0; // a plan numbers the groups it would add -1, -2, ...
    qint32 plannedTips = 0;
    const std::vector<GroupRow> groups = exchange::readGroups(*package_);
    exchange::TipsByGroup tips(*package_, exchange::TipsByGroup::Read::WithoutDescriptions);
    // The package tips to add, by their rowid, and their place in the result: written in
    // a second pass over the package in table order, which reads each page once.
    std::vector<std::pair<qint64, std::size_t>> toAdd;
    progress.begin(QStringLiteral("tips"), content_.tips);
    auto listed = [&](MergedTip &&tip) {
      result.tips.push_back(std::move(tip));
      if (result.tips.size() % kProgressStep == 0) {
        progress.advance(qint64(result.tips.size()));
        progress.checkpoint();
      }
    };
    for (const GroupRow &g : groups) {
      MergedGroup group;
      group.packageId = g.id.value_or(0);
      const exchange::EntryName entry = exchange::entryNameOf(g.name);
      group.name = QString::fromUtf8(entry.text);
      const qint32 groupIndex = qint32(result.groups.size());
      if (group.name.isEmpty()) {
        group.fate = GroupFate::BlankName;
        result.groups.push_back(group);
        // Its tips are passed over with it, and listed so.
        tips.forTipsOf(g.rowid, [&](const exchange::TipCursor &t) {
          MergedTip tip;
          tip.subject = result.subjects.add(t.subjectEntry().text);
          tip.fate = TipFate::BlankGroupName;
          tip.packageGroup = groupIndex;
          listed(std::move(tip));
        });
        continue;
      }
      const QByteArray &key = entry.key;
      if (const auto found = names.groups.constFind(key); found != names.groups.cend()) {
        group.localId = *found;
        group.localName = names.names.value(group.localId);
        group.fate = GroupFate::Existing;
      } else {
        group.localId =
            apply ? writer->insertGroup(group.name, no, yes, no, today) : --plannedGroups;
        group.fate = GroupFate::Added;
        names.groups.insert(key, group.localId);
        names.names.insert(group.localId, group.name);
        if (apply)
          took(groupKeys, group.localId);
        ++result.added.groups;
        result.added.take(g.date);
        const QString packageName = g.id ? QStringLiteral("%1.jpg").arg(*g.id) : QString();
        QString picture = temp.path(packageName);
        if (!g.id || !temp.contains(packageName)) {
          // Every group has its picture: without one in the package, the placeholder.
          picture = paths_.placeholderPicture();
          group.placeholderPicture = true;
        }
        if (apply) {
          const QString target = images.path(QStringLiteral("%1.jpg").arg(group.localId));
          files_.shareNativeFileUnsynced(picture, target);
          images.add(QFileInfo(target).fileName());
          pictures.push_back(target);
        }
      }
      tips.forTipsOf(g.rowid, [&](const exchange::TipCursor &t) {
        const exchange::EntryName subject = t.subjectEntry();
        MergedTip tip;
        tip.subject = result.subjects.add(subject.text);
        tip.groupId = group.localId;
        tip.packageGroup = groupIndex;
        if (subject.text.isEmpty()) {
          tip.fate = TipFate::BlankSubject;
        } else if (const std::optional<qint32> holder = names.subjects.find(subject.key)) {
          tip.fate = TipFate::SubjectExists;
          tip.holderGroupId = *holder;
          if (!result.holderNames.contains(*holder))
            result.holderNames.insert(*holder, names.names.value(*holder));
        } else {
          if (apply)
            toAdd.emplace_back(t.rowid(), result.tips.size());
          else
            tip.tipId = --plannedTips;
          names.subjects.insert(subject.key, group.localId);
          ++result.added.tips;
          result.added.take(t.date());
        }
        listed(std::move(tip));
      });
      result.groups.push_back(std::move(group));
    }
    // The tips of no package group, which the merge never looks at.
    exchange::forTipsWithoutGroup(*package_, [&](const exchange::TipCursor &t) {
      MergedTip tip;
      tip.subject = result.subjects.add(t.subjectEntry().text);
      tip.fate = TipFate::NoPackageGroup;
      listed(std::move(tip));
    });
    progress.advance(qint64(result.tips.size()));
    if (!apply)
      return result;
    // The tips to add, in table order.
    std::sort(toAdd.begin(), toAdd.end());
    progress.begin(QStringLiteral("tips"), qint64(toAdd.size()));
    std::vector<quint64> fingerprints; // of the descriptions written, for the undo record
    fingerprints.reserve(recordName_.isEmpty() ? 0 : toAdd.size());
    auto next = toAdd.cbegin();
    exchange::forEveryTip(*package_, [&](const exchange::TipCursor &t) {
      if (next == toAdd.cend() || t.rowid() != next->first)
        return;
      MergedTip &tip = result.tips[next->second];
      const QByteArray description = t.trimmedDescription();
      tip.tipId = writer->insertTip(tip.groupId, t.subjectEntry(), description, no, yes, no, today);
      if (!recordName_.isEmpty())
        fingerprints.push_back(storedTextFingerprint(description));
      took(tipKeys, tip.tipId);
      const std::size_t written = std::size_t(++next - toAdd.cbegin());
      if (written % kProgressStep == 0) {
        progress.advance(qint64(written));
        progress.checkpoint();
      }
    });
    progress.checkpoint();
    progress.setCancellable(false);
    // The pictures are on the disk before the rows that name them: a group never lacks
    // its picture, even after a power loss. One wait for all of them.
    if (!pictures.empty())
      files_.syncFileSystem(images.folder());
    transaction->commit();
    if (!recordName_.isEmpty())
      keepRecord(result, toAdd, fingerprints, groupKeys, tipKeys, today);
    // What only the walk needed goes before the search index is brought up to date.
    writer.reset();
    transaction.reset();
    local.reset();
    names.subjects = KeyDigests();
    std::vector<std::pair<qint64, std::size_t>>().swap(toAdd);
    std::vector<quint64>().swap(fingerprints);
    // The search index follows the import at once instead of being built again from
    // nothing the next time a search is made; it never fails the merge. The merge has
    // landed: a stop now ends only the index's update, which leaves the index as it was,
    // behind the tips, and Find Tips builds it again when next opened.
    if (listener_) {
      progress.setCancellable(true);
      try {
        listener_->tipsAddedInRange(tipKeys.first, tipKeys.second, progress);
        listener_->close();
      } catch (...) {
        // An index that cannot be written (or was stopped) is found stale and built again.
      }
      progress.setCancellable(false);
    }
  } catch (const tips::WorkCancelled &) {
    for (const QString &p : pictures)
      QFile::remove(p);
    MergeResult cancelled;
    cancelled.outcome = MergeOutcome::Cancelled;
    return cancelled;
  } catch (const store::StoreError &e) {
    return failed(tips::userMessage(e));
  } catch (const FileError &e) {
    return failed(tips::userMessage(e));
  } catch (const std::exception &e) {
    return failed(QString::fromLocal8Bit(e.what()));
  }
  return result;
}

void ImportPackage::keepRecord(MergeResult &result,
                               const std::vector<std::pair<qint64, std::size_t>> &added,
                               const std::vector<quint64> &fingerprints,
                               std::pair<qint32, qint32> groupKeys,
                               std::pair<qint32, qint32> tipKeys, const QDate &day) {
  try {
    if (result.added.groups == 0 && result.added.tips == 0) {
      forgetImportRecord(paths_); // nothing to take back
      return;
    }
    ImportRecordWriter record(paths_, {recordName_, clock_.now(), day, groupKeys, tipKeys,
                                       result.added.groups, result.added.tips});
    for (const MergedGroup &g : result.groups)
      if (g.fate == GroupFate::Added)
        record.group(g.localId, g.name);
    for (std::size_t i = 0; i < added.size(); ++i) {
      const MergedTip &tip = result.tips[added[i].second];
      record.tip(tip.tipId, tip.groupId, result.subjectOf(tip), fingerprints[i]);
    }
    record.commit();
  } catch (const FileError &e) {
    result.recordProblem = tips::userMessage(e);
    // The record of an older import must not be offered as the last one.
    try {
      forgetImportRecord(paths_);
    } catch (const FileError &) {
    }
  }
}

} // namespace exchange
