#include "exchange/ExportBuild.h"

#include "tips/UserMessage.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <array>
#include <optional>

#include "exchange/FieldValues.h"
#include "exchange/FolderNames.h"
#include "exchange/RowWriter.h"
#include "exchange/TableReaders.h"
#include "platform/files/FileService.h"
#include "store/DataControl.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "tips/ProgramPaths.h"
#include "tips/WorkProgress.h"

namespace exchange {

using exchange::GroupRow;

std::vector<ExportProcedure> exportProcedures(const ExportChoice &c) {
  using P = ExportProcedure;
  if (!c.initial && !c.local && !c.imported)
    return {};
  if (c.total)
    return {P::Total};
  if (c.local && c.initial)
    return {P::Initial, P::Local};
  if (c.initial && c.imported)
    return {P::Initial, P::Imported};
  if (c.local && c.imported)
    return {P::Local, P::Imported};
  if (c.initial)
    return {P::Initial};
  if (c.local)
    return {P::Local};
  return {P::Imported};
}

namespace {

// One build: the copy procedures over the user's database, writing into the export
// database inside the caller's transaction.
class Copier {
public:
  Copier(const tips::ProgramPaths &paths, const FileService &files, store::Database &local,
         const std::shared_ptr<store::Database> &out, ExportResult &result,
         tips::WorkProgress &progress)
      : paths_(paths), files_(files), local_(local), writer_(out), result_(result),
        progress_(progress), groups_(exchange::readGroups(local)), images_(paths.imagesFolder()),
        temp_(paths.tempFolder()) {
    for (size_t i = 0; i < groups_.size(); ++i)
      if (groups_[i].id && !groupById_.contains(*groups_[i].id))
        groupById_.insert(*groups_[i].id, i);
    // Rows already in the export database count as copied: the lookups by name find them.
    for (const GroupRow &g : exchange::readGroups(*out))
      if (g.name.isValid() && g.id)
        rememberExported(g.name.toString(), qint32(*g.id));
    content_ = countContent(*out);
  }

  // The pictures this build wrote, to be removed again when it fails.
  const std::vector<QString> &pictures() const { return pictures_; }

  // What the export database holds now, counted as the rows went in: the rows there before
  // the build and each row copied, with the date written for it.
  const Tally &content() const { return content_; }

  // The user's database by origin, when the build's walks met every tip exactly once: a
  // Total walk that visited as many tips as the table holds, no two groups sharing a key
  // (so no tip was visited twice). Then the counts of the walk are those of a scan of the
  // whole table (summarizeOrigins), which a million-tip build is spared.
  std::optional<OriginSummary> walkedOrigins() {
    if (!walkedEveryTip_ || walkedTips_ != tipCount_)
      return std::nullopt;
    store::sql::Statement shared(local_.handle(),
                                 QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM %1 WHERE "
                                                "\"GROUP_ID\" IS NOT NULL GROUP BY \"GROUP_ID\" "
                                                "HAVING count(*) > 1)")
                                     .arg(exchange::quotedTable(local_, "Group")));
    if (!shared.step() || shared.int64(0) != 0)
      return std::nullopt;
    for (const GroupRow &g : groups_)
      for (const auto &[flag, column] : originColumns(walkedOrigins_, g))
        if (store::isTrue(flag)) {
          ++column->groups;
          column->take(g.date);
        }
    return walkedOrigins_;
  }

  void run(ExportProcedure procedure) {
    // Each procedure walks the tips once (or the tips of its groups); a walk cut short by a
    // tip of a missing group is done all the same.
    const qint64 total = countTips();
    progress_.begin(QStringLiteral("tips"), total);
    walked_ = 0;
    switch (procedure) {
    case ExportProcedure::Total:
      everyGroup(false);
      break;
    case ExportProcedure::Initial:
      everyGroup(true);
      break;
    case ExportProcedure::Local:
      tipsFlagged(procedure, kTipLocal);
      break;
    case ExportProcedure::Imported:
      tipsFlagged(procedure, kTipImported);
      break;
    }
    writer_.flushTips();
    progress_.advance(total);
  }

private:
  // DoTotalValue (every group with all of its tips) and DoInitialValue (delivered groups
  // with their delivered tips): each visited group is copied without a lookup.
  void everyGroup(bool deliveredOnly) {
    exchange::TipsByGroup tips(local_);
    for (const GroupRow &g : groups_) {
      if (deliveredOnly && !store::isTrue(g.original))
        continue;
      addGroup(g);
      tips.forTipsOf(g.rowid, [&](const exchange::TipCursor &tip) {
        walked();
        if (deliveredOnly) {
          if (tip.isTrue(kTipOriginal))
            addTip(tip);
          return;
        }
        const QDate day = addTip(tip);
        ++walkedTips_;
        for (const auto &[column, tally] : {std::pair{kTipOriginal, &walkedOrigins_.initial},
                                            std::pair{kTipLocal, &walkedOrigins_.local},
                                            std::pair{kTipImported, &walkedOrigins_.imported}})
          if (tip.isTrue(column)) {
            ++tally->tips;
            tally->take(day);
          }
      });
    }
    walkedEveryTip_ = !deliveredOnly;
  }

  // A group's three flags with the column of the summary each counts in.
  static std::array<std::pair<QVariant, Tally *>, 3> originColumns(OriginSummary &summary,
                                                                   const GroupRow &g) {
    return {{{g.original, &summary.initial},
             {g.local, &summary.local},
             {g.imported, &summary.imported}}};
  }

  // DoLocalValue and DoImportedValue: each tip of the kind goes under the export copy of
  // its group, found by name, or copied now when there is none yet.
  void tipsFlagged(ExportProcedure procedure, TipColumn flag) {
    exchange::TipScan scan(local_);
    while (scan.step()) {
      walked();
      const exchange::TipCursor t = scan.cursor();
      if (!t.isTrue(flag))
        continue;
      const std::optional<qint64> groupId = t.groupId();
      const auto found = groupId ? groupById_.constFind(*groupId) : groupById_.cend();
      if (found == groupById_.cend()) {
        // A tip whose group is gone ends this procedure (it is reported with the oops
        // list); the build goes on with the next procedure.
        result_.oops.push_back({procedure, qint32(t.rowid()), groupId.value_or(0)});
        return;
      }
      const GroupRow &g = groups_[*found];
      const auto exported = exported_.constFind(exchange::nameKey(g.name.toString()));
      if (exported != exported_.cend())
        exportGroupId_ = *exported;
      else
        addGroup(g);
      addTip(t);
    }
  }

  void rememberExported(const QString &name, qint32 key) {
    const QString k = exchange::nameKey(name);
    if (!exported_.contains(k)) // a find gives the first match
      exported_.insert(k, key);
  }

  // DoAddData3: the group under a new key, then its picture under that key.
  void addGroup(const GroupRow &g) {
    exportGroupId_ = writer_.insertGroup(g.name, g.local, g.imported, g.original, g.date);
    ++result_.groupsCopied;
    ++content_.groups;
    content_.take(g.date);
    if (g.name.isValid())
      rememberExported(g.name.toString(), exportGroupId_);
    const qint32 sourceId = qint32(g.id.value_or(g.rowid));
    const QString sourceName = QStringLiteral("%1.jpg").arg(sourceId);
    QString source = images_.path(sourceName);
    if (!images_.contains(sourceName)) {
      // Every package group must arrive with a picture: the placeholder stands in.
      source = paths_.placeholderPicture();
      result_.placeholderPictures.push_back(sourceId);
    }
    // Working files, packed right after the build: no need to wait for the disk.
    const QString targetName = QStringLiteral("%1.jpg").arg(exportGroupId_);
    const QString target = temp_.path(targetName);
    files_.shareNativeFileUnsynced(source, target);
    temp_.add(QFileInfo(target).fileName());
    pictures_.push_back(target);
  }

  // DoAddData4: the tip under the export group copied or found last.
  QDate addTip(const exchange::TipCursor &t) {
    const QDate day = writer_.copyTip(exportGroupId_, t);
    ++result_.tipsCopied;
    ++content_.tips;
    content_.take(day);
    return day;
  }

  qint64 countTips() {
    if (tipCount_ >= 0)
      return tipCount_;
    store::sql::Statement s(
        local_.handle(),
        QStringLiteral("SELECT count(*) FROM %1").arg(exchange::quotedTable(local_, "Tips")));
    tipCount_ = s.step() ? s.int64(0) : 0;
    return tipCount_;
  }

  // One more tip looked at: the count goes out, and a stop is heard, every so many tips.
  void walked() {
    if (++walked_ % 1024 == 0) {
      progress_.advance(walked_);
      progress_.checkpoint();
    }
  }

  const tips::ProgramPaths &paths_;
  const FileService &files_;
  store::Database &local_;
  exchange::RowWriter writer_;
  ExportResult &result_;
  tips::WorkProgress &progress_;
  qint64 walked_ = 0;
  qint64 tipCount_ = -1;
  Tally content_;
  OriginSummary walkedOrigins_;
  qint64 walkedTips_ = 0;
  bool walkedEveryTip_ = false;
  std::vector<GroupRow> groups_;
  QHash<qint64, size_t> groupById_;
  exchange::FolderNames images_;
  exchange::FolderNames temp_;
  QHash<QString, qint32> exported_; // folded name -> export key
  qint32 exportGroupId_ = 0;
  std::vector<QString> pictures_;
};

// The index of the tips' subject keys in the export, set aside while a build copies into
// it and made again, by the statement that made it, before the commit. Kept up to date row
// by row, it takes each tip at a random place (the walk goes group by group, not in subject
// order), which at a million tips costs more than the copy itself; made anew, the engine
// sorts the keys and writes the index in one pass. (The index of the group keys stays: the
// walk by group hands it the keys in order.) Inside the build's transaction: a build that
// fails or stops gets it back with its rollback.
class SubjectIndexSetAside {
public:
  explicit SubjectIndexSetAside(store::Database &db) : db_(db) {
    const store::TableSpec &tips = *store::findTable(u"Tips");
    const QString name = store::foldIndexName(tips, *store::findField(tips, u"TIP_SUBJECT"));
    store::sql::Statement s(db.handle(),
                            QStringLiteral("SELECT name, sql FROM sqlite_schema WHERE type = "
                                           "'index' AND name = ?1 COLLATE NOCASE AND sql IS NOT "
                                           "NULL"));
    s.bind(1, name);
    if (!s.step())
      return; // a file without the key columns
    name_ = s.text(0);
    sql_ = s.text(1);
    s.reset();
    db.exec(QStringLiteral("DROP INDEX ") + store::sql::quoteIdentifier(name_));
  }

  void restore() {
    if (!sql_.isEmpty())
      db_.exec(sql_);
  }

private:
  store::Database &db_;
  QString name_;
  QString sql_;
};

} // namespace

ExportBuild::ExportBuild(const tips::ProgramPaths &paths, const FileService &files)
    : paths_(paths), files_(files) {}

OriginSummary ExportBuild::localSummary() const {
  auto db = store::Database::open(paths_.tipDatabase(), store::OpenMode::ReadWrite);
  return summarizeOrigins(*db);
}

Tally ExportBuild::exportContent() const {
  auto db = store::Database::open(paths_.exportDatabase(), store::OpenMode::ReadWrite);
  return countContent(*db);
}

ExportResult ExportBuild::run(const ExportChoice &choice, tips::WorkProgress &progress) {
  ExportResult result;
  const std::vector<ExportProcedure> procedures = exportProcedures(choice);
  if (procedures.empty()) {
    result.nothingChosen = true;
    return result;
  }
  std::vector<QString> pictures;
  auto fail = [&](const QString &reason) {
    for (const QString &p : pictures)
      QFile::remove(p);
    ExportResult failed;
    failed.error =
        QStringLiteral("The export file could not be prepared, nothing was exported:\r\n") + reason;
    return failed;
  };
  try {
    auto local = store::Database::open(paths_.tipDatabase(), store::OpenMode::ReadWrite);
    auto out = store::Database::open(paths_.exportDatabase(), store::OpenMode::ReadWrite);
    {
      store::Database::Transaction transaction(out);
      Copier copier(paths_, files_, *local, out, result, progress);
      try {
        SubjectIndexSetAside subjectIndex(*out);
        for (ExportProcedure p : procedures)
          copier.run(p);
        subjectIndex.restore();
      } catch (...) {
        pictures = copier.pictures();
        throw;
      }
      pictures = copier.pictures();
      // Counted before the commit, on the same connection: a count that fails rolls the
      // build back like any other failure, so the screen's "try again" never finds the
      // rows of a build that it was told had failed (a second build would copy them twice).
      const std::optional<OriginSummary> walked = copier.walkedOrigins();
      result.summary = {walked ? *walked : summarizeOrigins(*local), copier.content()};
      progress.checkpoint();
      progress.setCancellable(false);
      transaction.commit();
      pictures.clear(); // they belong to the export now
    }
  } catch (const tips::WorkCancelled &) {
    // Rolled back like a failure, and told apart from one.
    for (const QString &p : pictures)
      QFile::remove(p);
    throw;
  } catch (const store::StoreError &e) {
    return fail(tips::userMessage(e));
  } catch (const FileError &e) {
    return fail(tips::userMessage(e));
  } catch (const std::exception &e) {
    return fail(QString::fromLocal8Bit(e.what()));
  }
  return result;
}

} // namespace exchange
