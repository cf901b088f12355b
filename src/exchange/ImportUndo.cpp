#include "exchange/ImportUndo.h"

#include <QDataStream>
#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "exchange/FieldValues.h"
#include "exchange/TableReaders.h"
#include "platform/files/FileService.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "store/StoredValues.h"
#include "tips/ProgramPaths.h"

namespace exchange {

namespace {

constexpr quint32 kMagic = 0x4f425855; // "OBXU"
constexpr quint32 kVersion = 2;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;

template <class Row> std::pair<qint32, qint32> keyRange(const std::vector<Row> &rows) {
  if (rows.empty())
    return {0, -1};
  const auto [low, high] = std::minmax_element(
      rows.begin(), rows.end(), [](const Row &a, const Row &b) { return a.id < b.id; });
  return {low->id, high->id};
}

// The heading: what the offer needs, read without the rows behind it.
using Heading = ImportRecordWriter::Heading;

// Opens the record and reads its heading; false when there is none, or no record of this
// kind.
bool openRecord(const tips::ProgramPaths &paths, QFile &file, QDataStream &in, Heading &h) {
  file.setFileName(paths.lastImport());
  if (!file.open(QIODevice::ReadOnly))
    return false;
  in.setDevice(&file);
  in.setVersion(kStreamVersion);
  quint32 magic = 0, version = 0;
  in >> magic >> version;
  if (magic != kMagic || version != kVersion)
    return false;
  in >> h.package >> h.when >> h.day >> h.groupKeys.first >> h.groupKeys.second >>
      h.tipKeys.first >> h.tipKeys.second;
  return in.status() == QDataStream::Ok;
}

qint64 countInRange(store::Database &db, const char *table, const char *key,
                    std::pair<qint32, qint32> range) {
  if (range.second < range.first)
    return 0;
  store::sql::Statement s(db.handle(),
                          QStringLiteral("SELECT COUNT(*) FROM %1 WHERE \"%2\" BETWEEN ?1 AND ?2")
                              .arg(quotedTable(db, table), QLatin1String(key)));
  s.bind(1, range.first);
  s.bind(2, range.second);
  return s.step() ? s.int64(0) : 0;
}

void dropRow(store::sql::Statement &drop, qint32 key) {
  store::sql::ResetOnExit done(drop);
  drop.bind(1, key);
  drop.step();
}

bool asImported(const QVariant &local, const QVariant &imported, const QVariant &original) {
  return !store::isTrue(local) && store::isTrue(imported) && !store::isTrue(original);
}

QString counted(int n, const char *one, const char *many) {
  return n == 1 ? QStringLiteral("1 %1").arg(QLatin1String(one))
                : QStringLiteral("%1 %2").arg(n).arg(QLatin1String(many));
}

// "a", "a and b", "a, b and c"; at most ten names, then how many more.
QString listed(const QStringList &names) {
  QStringList shown = names.mid(0, 10);
  for (QString &name : shown)
    name = QLatin1Char('"') + name + QLatin1Char('"');
  if (names.size() > shown.size())
    shown << QStringLiteral("%1 more").arg(names.size() - shown.size());
  if (shown.size() == 1)
    return shown.front();
  const QString last = shown.takeLast();
  return shown.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

} // namespace

QString undoQuestion(const UndoOffer &offer) {
  return QStringLiteral("Take back the import of \"%1\" of %2?\r\nIt added %3 and %4 that are "
                        "still in your tips. They will be removed, except any you changed since.")
      .arg(offer.package, QLocale().toString(offer.when, QLocale::LongFormat),
           counted(offer.groups, "group", "groups"), counted(offer.tips, "tip", "tips"));
}

QString undoReport(const UndoResult &result) {
  QString text = QStringLiteral("The import was taken back: %1 and %2 removed.")
                     .arg(counted(result.groupsRemoved, "group", "groups"),
                          counted(result.tipsRemoved, "tip", "tips"));
  if (!result.keptTips.isEmpty())
    text += QStringLiteral("\r\nThese tips stay, as they changed since the import: %1.")
                .arg(listed(result.keptTips));
  if (!result.keptGroups.isEmpty())
    text += QStringLiteral("\r\nThese groups stay, as they changed or hold other tips: %1.")
                .arg(listed(result.keptGroups));
  return text;
}

quint64 textFingerprint(QByteArrayView utf8) {
  // FNV-1a over the text's 64-bit words, then its last bytes one by one: the same value on
  // every machine and Qt version, at a multiplication per eight bytes.
  constexpr quint64 kPrime = 1099511628211ull;
  quint64 hash = 14695981039346656037ull;
  const char *data = utf8.data();
  qsizetype left = utf8.size();
  for (; left >= 8; left -= 8, data += 8) {
    quint64 word;
    std::memcpy(&word, data, 8);
    hash = (hash ^ qFromLittleEndian(word)) * kPrime;
  }
  for (; left > 0; --left, ++data)
    hash = (hash ^ static_cast<unsigned char>(*data)) * kPrime;
  return hash;
}

quint64 textFingerprint(const QString &text) {
  return textFingerprint(QByteArrayView(text.toUtf8()));
}

quint64 storedTextFingerprint(QByteArrayView stored) {
  // Bytes that are no UTF-8 are read back as the text a QString makes of them.
  return stored.isValidUtf8() ? textFingerprint(stored)
                              : textFingerprint(QString::fromUtf8(stored));
}

ImportRecordWriter::ImportRecordWriter(const tips::ProgramPaths &paths, const Heading &heading)
    : file_(paths.lastImport()) {
  if (!file_.open(QIODevice::WriteOnly))
    fail();
  out_.setDevice(&file_);
  out_.setVersion(kStreamVersion);
  out_ << kMagic << kVersion << heading.package << heading.when << heading.day
       << heading.groupKeys.first << heading.groupKeys.second << heading.tipKeys.first
       << heading.tipKeys.second << quint32(heading.groups);
  groupsLeft_ = heading.groups;
  tips_ = heading.tips;
  if (groupsLeft_ == 0)
    out_ << quint32(tips_);
}

ImportRecordWriter::~ImportRecordWriter() = default;

void ImportRecordWriter::group(qint32 id, const QString &name) {
  out_ << id << name;
  if (--groupsLeft_ == 0)
    out_ << quint32(tips_);
}

void ImportRecordWriter::tip(qint32 id, qint32 groupId, const QString &subject,
                             quint64 descriptionFingerprint) {
  out_ << id << groupId << subject << descriptionFingerprint;
}

void ImportRecordWriter::commit() {
  if (out_.status() != QDataStream::Ok || !file_.commit())
    fail();
}

void ImportRecordWriter::fail() {
  throw FileError(file_.fileName(), QStringLiteral("The record of the import cannot be written"),
                  errno);
}

void saveImportRecord(const tips::ProgramPaths &paths, const ImportRecord &record) {
  if (record.groups.empty() && record.tips.empty()) {
    forgetImportRecord(paths);
    return;
  }
  ImportRecordWriter writer(paths, {record.package, record.when, record.day,
                                    keyRange(record.groups), keyRange(record.tips),
                                    qint64(record.groups.size()), qint64(record.tips.size())});
  for (const ImportRecord::Group &g : record.groups)
    writer.group(g.id, g.name);
  for (const ImportRecord::Tip &t : record.tips)
    writer.tip(t.id, t.groupId, t.subject, t.description);
  writer.commit();
}

void forgetImportRecord(const tips::ProgramPaths &paths) {
  const QString path = paths.lastImport();
  if (QFile::exists(path) && !QFile::remove(path))
    throw FileError(path, QStringLiteral("The record of the import cannot be removed"), errno);
}

std::optional<ImportRecord> readImportRecord(const tips::ProgramPaths &paths) {
  QFile file;
  QDataStream in;
  Heading h;
  if (!openRecord(paths, file, in, h))
    return std::nullopt;
  ImportRecord record;
  record.package = h.package;
  record.when = h.when;
  record.day = h.day;
  quint32 count = 0;
  in >> count;
  // A damaged count must not ask for more memory than the file could describe.
  if (count > file.size())
    return std::nullopt;
  record.groups.resize(count);
  for (ImportRecord::Group &g : record.groups)
    in >> g.id >> g.name;
  in >> count;
  if (count > file.size())
    return std::nullopt;
  record.tips.resize(count);
  for (ImportRecord::Tip &t : record.tips)
    in >> t.id >> t.groupId >> t.subject >> t.description;
  if (in.status() != QDataStream::Ok)
    return std::nullopt;
  return record;
}

std::optional<UndoOffer> undoOffer(const tips::ProgramPaths &paths, store::Database &db) {
  QFile file;
  QDataStream in;
  Heading h;
  if (!openRecord(paths, file, in, h))
    return std::nullopt;
  try {
    UndoOffer offer{h.package, h.when, int(countInRange(db, "Group", "GROUP_ID", h.groupKeys)),
                    int(countInRange(db, "Tips", "TIPS_ID", h.tipKeys))};
    if (offer.groups == 0 && offer.tips == 0)
      return std::nullopt;
    return offer;
  } catch (const std::exception &) {
    return std::nullopt; // a database that cannot be read offers nothing to take back
  }
}

std::optional<UndoOffer> undoOffer(const tips::ProgramPaths &paths) {
  if (!QFile::exists(paths.lastImport()))
    return std::nullopt;
  try {
    return undoOffer(paths,
                     *store::Database::open(paths.tipDatabase(), store::OpenMode::ReadWrite));
  } catch (const std::exception &) {
    return std::nullopt;
  }
}

UndoResult undoLastImport(const tips::ProgramPaths &paths, tips::TipChangeListener *listener,
                          tips::WorkProgress &progress) {
  UndoResult result;
  const std::optional<ImportRecord> record = readImportRecord(paths);
  if (!record)
    return result;
  auto db = store::Database::open(paths.tipDatabase(), store::OpenMode::ReadWrite);
  const QString tipsTable = quotedTable(*db, "Tips");
  const QString groupTable = quotedTable(*db, "Group");
  std::vector<qint32> tipsRemoved;
  std::vector<qint32> groupsRemoved;
  {
    store::Database::Transaction transaction(db);
    store::sql::Statement readTip(
        db->handle(), QStringLiteral("SELECT \"GROUP_ID\", \"TIP_SUBJECT\", \"TIP_DESCRIPTION\", "
                                     "\"TIP_LOCAL\", \"TIP_IMPORT\", \"TIP_ORIGINAL\", "
                                     "\"TIP_DATE\" FROM %1 WHERE \"TIPS_ID\" = ?1")
                          .arg(tipsTable));
    store::sql::Statement dropTip(
        db->handle(), QStringLiteral("DELETE FROM %1 WHERE \"TIPS_ID\" = ?1").arg(tipsTable));
    progress.begin(QStringLiteral("tips"), qint64(record->tips.size()));
    qint64 looked = 0;
    for (const ImportRecord::Tip &t : record->tips) {
      if (++looked % 4096 == 0) {
        progress.advance(looked);
        progress.checkpoint(); // the transaction rolls back
      }
      std::optional<bool> unchanged; // none: deleted since
      {
        store::sql::ResetOnExit done(readTip);
        readTip.bind(1, t.id);
        if (readTip.step())
          unchanged = store::integerOf(readTip.value(0)) == t.groupId &&
                      readTip.text(1) == t.subject &&
                      textFingerprint(readTip.text(2)) == t.description &&
                      asImported(readTip.value(3), readTip.value(4), readTip.value(5)) &&
                      dateOf(readTip.value(6)) == record->day;
      }
      if (unchanged && !*unchanged)
        result.keptTips << t.subject;
      if (unchanged && *unchanged) {
        dropRow(dropTip, t.id);
        tipsRemoved.push_back(t.id);
      }
    }
    store::sql::Statement readGroup(
        db->handle(), QStringLiteral("SELECT \"TIP_GROUP\", \"G_LOCAL\", \"G_IMPORT\", "
                                     "\"G_ORIGINAL\", \"G_DATE\", EXISTS (SELECT 1 FROM %2 "
                                     "WHERE \"GROUP_ID\" = ?1) FROM %1 WHERE \"GROUP_ID\" = ?1")
                          .arg(groupTable, tipsTable));
    store::sql::Statement dropGroup(
        db->handle(), QStringLiteral("DELETE FROM %1 WHERE \"GROUP_ID\" = ?1").arg(groupTable));
    for (const ImportRecord::Group &g : record->groups) {
      std::optional<bool> removable; // none: deleted since
      QString name;
      {
        store::sql::ResetOnExit done(readGroup);
        readGroup.bind(1, g.id);
        if (readGroup.step()) {
          name = readGroup.text(0);
          removable = name == g.name &&
                      asImported(readGroup.value(1), readGroup.value(2), readGroup.value(3)) &&
                      dateOf(readGroup.value(4)) == record->day && readGroup.int64(5) == 0;
        }
      }
      if (removable && !*removable)
        result.keptGroups << name;
      if (removable && *removable) {
        dropRow(dropGroup, g.id);
        groupsRemoved.push_back(g.id);
      }
    }
    progress.checkpoint();
    progress.setCancellable(false);
    transaction.commit();
  }
  result.tipsRemoved = int(tipsRemoved.size());
  result.groupsRemoved = int(groupsRemoved.size());
  // The rows are gone: a picture left behind does no harm, a group without one would.
  for (const qint32 id : groupsRemoved)
    QFile::remove(paths.groupPicture(id));
  if (listener) {
    try {
      listener->removeTips(tipsRemoved);
      listener->close();
    } catch (...) {
      // An index that cannot be written is found stale and built again.
    }
  }
  try {
    forgetImportRecord(paths);
  } catch (const FileError &) {
    // Left behind, the record offers only what is still there: the rows that stayed.
  }
  return result;
}

} // namespace exchange
