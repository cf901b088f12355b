#pragma once
// Taking the last import back. A merge that added something leaves a record of what it
// added in a file beside the tip database (ProgramPaths::lastImport, not a table: peers
// read the tables): the package's name, the time, and each group and tip it added with a
// fingerprint of the row as the merge wrote it. The undo removes, in one transaction,
// exactly those rows that are still as the merge wrote them, and the pictures of the
// groups it removes; a tip edited since, or a group renamed or holding tips added since,
// stays and is named. Only the last import can be taken back; the record goes with the
// undo.

#include <QDataStream>
#include <QDate>
#include <QDateTime>
#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "tips/TipChangeListener.h"
#include "tips/WorkProgress.h"

namespace store {
class Database;
}

namespace tips {
class ProgramPaths;
}

namespace exchange {

struct MergeResult;

struct ImportRecord {
  QString package; // the package's file name
  QDateTime when;  // the time of the merge
  QDate day;       // the date the merge wrote into every row it added
  struct Group {
    qint32 id = 0;
    QString name;
  };
  struct Tip {
    qint32 id = 0;
    qint32 groupId = 0;
    QString subject;
    quint64 description = 0; // fingerprint of the description as written
  };
  std::vector<Group> groups;
  std::vector<Tip> tips;
};

// A stable 64-bit fingerprint of a text's UTF-8.
quint64 textFingerprint(QByteArrayView utf8);
quint64 textFingerprint(const QString &text);
// The fingerprint of a text as written to the database, as it will be read back (a text
// that is no UTF-8 reads back as the text a QString makes of it).
quint64 storedTextFingerprint(QByteArrayView stored);

// Writes the record of a merge as it goes, so that the record of a million tips is never
// held whole: the heading, then every group, then every tip (as many as the heading
// says). commit() puts it in place of the record before; without it nothing changes.
// Throws FileError.
class ImportRecordWriter {
public:
  struct Heading {
    QString package;
    QDateTime when;
    QDate day;
    // The ranges of keys the merge wrote (a merge writes in one transaction, so they hold
    // its rows alone); a range whose last key is below its first is empty.
    std::pair<qint32, qint32> groupKeys{0, -1};
    std::pair<qint32, qint32> tipKeys{0, -1};
    qint64 groups = 0;
    qint64 tips = 0;
  };
  ImportRecordWriter(const tips::ProgramPaths &paths, const Heading &heading);
  ~ImportRecordWriter();
  void group(qint32 id, const QString &name);
  void tip(qint32 id, qint32 groupId, const QString &subject, quint64 descriptionFingerprint);
  void commit();

private:
  [[noreturn]] void fail();
  QSaveFile file_;
  QDataStream out_;
  qint64 groupsLeft_ = 0;
  qint64 tips_ = 0;
};

// Saves the record of a merge, replacing the one before (whole or not at all). A merge that
// added nothing removes the record instead: there is nothing to take back. Throws FileError.
void saveImportRecord(const tips::ProgramPaths &paths, const ImportRecord &record);
// Forgets the last import: it can no longer be taken back.
void forgetImportRecord(const tips::ProgramPaths &paths);
// The record of the last import; none when there is none or it cannot be read.
std::optional<ImportRecord> readImportRecord(const tips::ProgramPaths &paths);

// What the undo would take back, for the question before it; none when there is no record
// or the database no longer holds any row the import added. Reads the record's heading and
// counts the rows in the key ranges the merge wrote: keys are handed out in ascending order
// and never again, and a merge writes in one transaction, so those ranges hold the
// import's rows alone.
struct UndoOffer {
  QString package;
  QDateTime when;
  int groups = 0; // groups of the record still in the database
  int tips = 0;   // tips of the record still in the database
};
std::optional<UndoOffer> undoOffer(const tips::ProgramPaths &paths);
// The same over a connection the caller holds open (the main screen's).
std::optional<UndoOffer> undoOffer(const tips::ProgramPaths &paths, store::Database &db);

// The question before the undo: the package, its date, and what it added that is still
// there.
QString undoQuestion(const UndoOffer &offer);

struct UndoResult {
  int groupsRemoved = 0;
  int tipsRemoved = 0;
  QStringList keptGroups; // names of groups that stay (renamed, or holding other tips)
  QStringList keptTips;   // subjects of tips that stay (changed since)
};
// Takes the last import back. Throws store::StoreError or FileError when the database
// cannot be written; nothing is removed then.
// Progress counts the recorded tips looked at; a stop before the commit (WorkCancelled)
// leaves everything as it was.
UndoResult undoLastImport(const tips::ProgramPaths &paths, tips::TipChangeListener *listener,
                          tips::WorkProgress &progress = tips::noProgress());
// The closing words: what was removed, and what stays because it changed since.
QString undoReport(const UndoResult &result);

} // namespace exchange
