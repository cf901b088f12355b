#pragma once
// Groups and tips written in bulk through prepared statements, for the import merge:
// each with the very values a record set writes (store/DataControl.h), the folded key of
// every name included when the file has the key column.

#include <QDate>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

#include "exchange/FieldValues.h"

namespace store {
class Database;
}

namespace exchange {

class TipCursor;

// Inserts rows through prepared statements; the caller holds the transaction. Each name
// is written with its folded key when the file has the key column, exactly as a record
// set writes it; flags are written as -1/0 or null, dates as ISO text or null.
class RowWriter {
public:
  explicit RowWriter(std::shared_ptr<store::Database> db);
  ~RowWriter();
  // Returns the key the database gave the new group.
  qint32 insertGroup(const QVariant &name, const QVariant &local, const QVariant &imported,
                     const QVariant &original, const QDate &date);
  void insertTip(qint32 groupId, const QVariant &subject, const QVariant &description,
                 const QVariant &local, const QVariant &imported, const QVariant &original,
                 const QDate &date);
  // The same with the subject, its key and the description already in UTF-8 (a null
  // description is null): the merge has them so. Returns the key of the new tip.
  qint32 insertTip(qint32 groupId, const EntryName &subject, const QByteArray &description,
                   const QVariant &local, const QVariant &imported, const QVariant &original,
                   const QDate &date);
  // The tip a walk stands on, under groupId, with the very values insertTip writes for
  // the row that cursor.row() reads, taken from the stored columns: text that reads back
  // unchanged (valid UTF-8) and integer flags go across as they are, without the detour
  // through QVariant and UTF-16 that costs microseconds a tip at a million tips. The tips
  // are written in batches of many rows to one INSERT (a statement per row costs as much
  // again as the copy: each one opens its cursors and updates the key sequence), in the
  // order they came: flushTips() writes what is held back, and must be called before the
  // table is read or the transaction commits. Returns the date written (the empty date for
  // a null).
  QDate copyTip(qint32 groupId, const TipCursor &cursor);
  void flushTips();

private:
  // The key of the row just inserted into table; a key past the program's 32-bit keys
  // fails the write.
  qint32 lastKey(const char *table) const;
  std::shared_ptr<store::Database> db_;
  QString groupSql_;
  QString tipSql_;
  bool groupKey_ = false;
  bool tipKey_ = false;
  QDate lastDate_; // rows written together mostly share their date
  QVariant lastDateText_;
  QVariant dateText(const QDate &date);
  // The last stored date copyTip read, and what it wrote for it (null for none).
  QByteArray copiedDateRaw_;
  QByteArray copiedDateText_;
  QDate copiedDate_;
  bool copiedDateKnown_ = false;
  // The tips copyTip holds back: their texts (subject, description, date, key) in one
  // buffer, each as an offset and a length (-1: null); flags -1/0 or kNullFlag.
  struct HeldTip {
    qint32 groupId;
    qsizetype offset[4];
    qsizetype length[4];
    int flag[3];
  };
  std::vector<HeldTip> held_;
  std::vector<char> heldText_;
  QString batchSql_;
  void hold(qsizetype &offset, qsizetype &length, const char *text, qsizetype bytes);
  void writeHeld(store::sql::Statement &s, std::size_t from, std::size_t count);
};

} // namespace exchange
