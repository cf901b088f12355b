#include "store/DataControl.h"

#include <QDate>
#include <QDateTime>
#include <cmath>
#include <limits>
#include <optional>
#include <sqlite3.h>
#include <vector>

#include "store/Collation.h"
#include "store/Database.h"
#include "store/QueryText.h"
#include "store/Schema.h"
#include "store/Sqlite.h"

namespace store {

namespace {

using Use = sql::ResetOnExit;

QString kindName(FieldKind kind) {
  switch (kind) {
  case FieldKind::Integer:
    return QStringLiteral("a 32-bit integer");
  case FieldKind::SmallInt:
    return QStringLiteral("a 16-bit integer");
  case FieldKind::YesNo:
    return QStringLiteral("a yes/no value");
  case FieldKind::Date:
    return QStringLiteral("a date");
  case FieldKind::Text:
    return QStringLiteral("a text");
  case FieldKind::Other:
    break;
  }
  return QStringLiteral("a value");
}

struct Column {
  ColumnInfo info;
  QString quoted;
  bool lazy; // a long text (TIP_DESCRIPTION)
};

} // namespace

// --- RecordsetImpl ---------------------------------------------------------------------

class RecordsetImpl {
public:
  RecordsetImpl(std::shared_ptr<Database> database, const RecordSource &source)
      : db_(std::move(database)), source_(source) {
    layout_ = db_->layout(*source_.table);
    table_ = layout_.name;
    quotedTable_ = sql::quoteIdentifier(table_);
    QStringList eagerNames, lazyNames, names;
    for (const ColumnInfo &info : db_->columns(table_)) {
      if (fieldOfFoldColumn(*source_.table, info.name))
        continue; // a folded key: the record set's own business, not a field
      const int c = int(columns_.size());
      // The automatic key: the table's INTEGER PRIMARY KEY, which is its rowid.
      if (!source_.table->keyField.isEmpty() && info.primaryKey &&
          info.kind == FieldKind::Integer &&
          info.name.compare(source_.table->keyField, Qt::CaseInsensitive) == 0)
        keyColumn_ = c;
      const FieldSpec *definition = findField(*source_.table, info.name);
      const bool lazy = definition && definition->longText;
      columns_.push_back({info, sql::quoteIdentifier(info.name), lazy});
      (lazy ? lazyColumns_ : eagerColumns_).push_back(c);
      (lazy ? lazyNames : eagerNames) << columns_.back().quoted;
      names << columns_.back().quoted;
    }
    for (const FieldSpec *f : layout_.foldKeys)
      foldKeys_.push_back({column(f->name), sql::quoteIdentifier(foldColumnName(*f))});
    QStringList marks;
    for (int i = 1; i <= kWindow; ++i)
      marks << QStringLiteral("?%1").arg(i);
    const QString rowsIn = QStringLiteral(" FROM %1 WHERE rowid IN (%2)")
                               .arg(quotedTable_, marks.join(QLatin1String(", ")));
    if (eagerNames.isEmpty())
      eagerNames << QStringLiteral("NULL");
    windowSql_ = QStringLiteral("SELECT rowid, ") + eagerNames.join(QLatin1String(", ")) + rowsIn;
    if (!lazyNames.isEmpty())
      lazySql_ = QStringLiteral("SELECT rowid, ") + lazyNames.join(QLatin1String(", ")) + rowsIn;

    // One ordered query gives the rows of the set and the short values of its first rows.
    const SqlText query = rowidQuery(source_, layout_, eagerNames.join(QLatin1String(", ")));
    sql::Statement &stmt = db_->prepared(query.sql);
    Use use(stmt);
    stmt.bindAll(query.params);
    window_.start = 0;
    while (stmt.step()) {
      const qint64 rowid = stmt.int64(0);
      positions_.insert(rowid, qsizetype(rows_.size()));
      rows_.push_back(rowid);
      if (rows_.size() <= size_t(kPrefetch)) {
        std::vector<QVariant> &row = window_.values.emplace_back(columns_.size());
        for (size_t e = 0; e < eagerColumns_.size(); ++e)
          row[size_t(eagerColumns_[e])] = stmt.value(int(e) + 1);
        window_.state.push_back(RowState::Loaded);
      }
    }
    window_.lazyLoaded.assign(window_.state.size(), lazyColumns_.empty());
    window_.version = db_->dataVersion();
    window_.valid = true;
    deleted_.assign(rows_.size(), 0);
    live_ = qsizetype(rows_.size());
    pos_ = 0; // the first row, or the end of an empty set
  }

  ~RecordsetImpl() { cancelPending(); }

  qsizetype size() const { return qsizetype(rows_.size()); }
  qsizetype live() const { return live_; }
  bool eof() const { return pos_ >= size(); }

  void moveFirst() {
    cancelPending();
    pos_ = nextLive(0);
  }
  void moveNext() {
    if (eof())
      throw StoreError(noCurrentRow());
    cancelPending();
    pos_ = nextLive(pos_ + 1);
  }

  void addNew() {
    cancelPending();
    longTextsBuffered_ = true;
    newKey_ = keyColumn_ >= 0 ? db_->reserveKey(table_) : 0;
    buffer_.assign(columns_.size(), QVariant());
    dirty_.assign(columns_.size(), true);
    for (size_t c = 0; c < columns_.size(); ++c)
      if (columns_[c].info.kind == FieldKind::YesNo)
        buffer_[c] = QVariant::fromValue<qlonglong>(0);
    if (keyColumn_ >= 0)
      buffer_[size_t(keyColumn_)] = QVariant::fromValue<qlonglong>(newKey_);
    pending_ = Pending::Adding;
  }

  void edit() {
    cancelPending();
    // The long texts are read when asked for: a write that replaces one, or leaves it
    // alone, need not read what may be hundreds of megabytes.
    buffer_ = currentRow(false);
    longTextsBuffered_ = lazyColumns_.empty();
    dirty_.assign(columns_.size(), false);
    pending_ = Pending::Editing;
  }

  void setField(const QString &name, const QVariant &value) {
    const int c = column(name);
    if (pending_ == Pending::None)
      throw StoreError(
          QStringLiteral("The field %1 cannot be written: begin with AddNew or Edit.").arg(name));
    if (c == keyColumn_)
      throw StoreError(QStringLiteral("The field %1 is the automatic key of table %2: the "
                                      "database assigns it, it cannot be written.")
                           .arg(columns_[size_t(c)].info.name, table_));
    buffer_[size_t(c)] = toStorage(columns_[size_t(c)].info, value);
    dirty_[size_t(c)] = true;
  }

  void update() {
    switch (pending_) {
    case Pending::None:
      throw StoreError(QStringLiteral("Update without AddNew or Edit."));
    case Pending::Adding:
      insertPending();
      break;
    case Pending::Editing:
      updatePending();
      break;
    }
  }

  void cancelPending() {
    if (pending_ == Pending::Adding && keyColumn_ >= 0)
      db_->releaseKey(table_, newKey_);
    pending_ = Pending::None;
    buffer_.clear();
    dirty_.clear();
  }

  void deleteRow() {
    cancelPending();
    requireCurrent();
    sql::Statement &stmt =
        db_->prepared(QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(quotedTable_));
    Use use(stmt);
    stmt.bind(1, QVariant::fromValue<qlonglong>(rows_[size_t(pos_)]));
    const quint64 before = db_->dataVersion();
    stmt.step();
    if (sqlite3_changes(db_->handle()) == 0)
      throw StoreError(rowGone());
    ownChange(before, pos_, RowState::Missing);
    deleted_[size_t(pos_)] = 1;
    positions_.remove(rows_[size_t(pos_)]);
    --live_;
  }

  QVariant field(const QString &name) {
    const int c = column(name);
    if (pending_ != Pending::None) {
      if (!longTextsBuffered_ && columns_[size_t(c)].lazy && !dirty_[size_t(c)])
        bufferLongTexts();
      return readAs(columns_[size_t(c)].info.kind, buffer_[size_t(c)]);
    }
    return readAs(columns_[size_t(c)].info.kind, currentRow(columns_[size_t(c)].lazy)[size_t(c)]);
  }

private:
  enum class Pending { None, Adding, Editing };
  enum class RowState : char { NotLoaded, Loaded, Missing };
  static constexpr int kWindow = 64;     // rows read together when moving beyond...
  static constexpr int kPrefetch = 2048; // ...the rows whose values refresh reads

  QString noCurrentRow() const {
    return QStringLiteral("There is no current row in the record set of %1: the record set is "
                          "at its end.")
        .arg(table_);
  }
  QString rowGone() const {
    return QStringLiteral("The current row of table %1 has been deleted.").arg(table_);
  }

  qsizetype nextLive(qsizetype from) const {
    qsizetype p = from;
    while (p < size() && deleted_[size_t(p)])
      ++p;
    return p;
  }

  int column(const QString &name) const {
    // Callers nearly always spell the name as the schema does; that check is cheap.
    for (size_t c = 0; c < columns_.size(); ++c)
      if (name == columns_[c].info.name)
        return int(c);
    for (size_t c = 0; c < columns_.size(); ++c)
      if (name.compare(columns_[c].info.name, Qt::CaseInsensitive) == 0)
        return int(c);
    throw StoreError(QStringLiteral("The table %1 has no field \"%2\".").arg(table_, name));
  }

  void requireCurrent() const {
    if (pos_ >= size())
      throw StoreError(noCurrentRow());
    if (deleted_[size_t(pos_)])
      throw StoreError(rowGone());
  }

  // The long texts of the row being edited, where no new value has been set.
  void bufferLongTexts() {
    const std::vector<QVariant> &row = currentRow(true);
    for (const int c : lazyColumns_)
      if (!dirty_[size_t(c)])
        buffer_[size_t(c)] = row[size_t(c)];
    longTextsBuffered_ = true;
  }

  // The stored values of the current row, read through the window of rows; long texts
  // only when asked for.
  const std::vector<QVariant> &currentRow(bool withLongTexts) {
    requireCurrent();
    const qsizetype at = pos_ - window_.start;
    if (!window_.valid || window_.version != db_->dataVersion() || at < 0 ||
        at >= qsizetype(window_.state.size()) || window_.state[size_t(at)] == RowState::NotLoaded)
      loadWindow();
    const size_t i = size_t(pos_ - window_.start);
    if (withLongTexts && window_.state[i] == RowState::Loaded && !window_.lazyLoaded[i])
      loadLongTexts();
    if (window_.state[i] != RowState::Loaded)
      throw StoreError(rowGone());
    return window_.values[i];
  }

  // Reads the short values of the current row and of the live rows after it, up to
  // kWindow rows, in one statement (one read transaction instead of one per row).
  void loadWindow() {
    window_.valid = false;
    window_.start = pos_;
    std::vector<size_t> wanted;
    qsizetype p = pos_;
    for (; p < size() && wanted.size() < size_t(kWindow); ++p)
      if (!deleted_[size_t(p)])
        wanted.push_back(size_t(p - pos_));
    window_.values.assign(size_t(p - pos_), std::vector<QVariant>(columns_.size()));
    window_.state.assign(size_t(p - pos_), RowState::Missing);
    window_.lazyLoaded.assign(size_t(p - pos_), lazyColumns_.empty());
    fetch(windowSql_, eagerColumns_, wanted,
          [this](size_t slot) { window_.state[slot] = RowState::Loaded; });
    window_.version = db_->dataVersion();
    window_.valid = true;
  }

  // Reads the long texts of the current row and of the next loaded rows of the window.
  void loadLongTexts() {
    std::vector<size_t> wanted;
    for (size_t i = size_t(pos_ - window_.start);
         i < window_.state.size() && wanted.size() < size_t(kWindow); ++i)
      if (window_.state[i] == RowState::Loaded && !window_.lazyLoaded[i])
        wanted.push_back(i);
    for (size_t slot : wanted)
      window_.state[slot] = RowState::Missing; // unless the row is still there
    try {
      fetch(lazySql_, lazyColumns_, wanted, [this](size_t slot) {
        window_.state[slot] = RowState::Loaded;
        window_.lazyLoaded[slot] = 1;
      });
    } catch (...) {
      window_.valid = false; // read again next time rather than report rows as deleted
      throw;
    }
  }

  // Runs a window statement for the rows in the given window slots and stores the
  // columns it reads; found(slot) is called for every row that exists.
  template <class Found>
  void fetch(const QString &sql, const std::vector<int> &columns, const std::vector<size_t> &wanted,
             Found found) {
    sql::Statement &stmt = db_->prepared(sql);
    Use use(stmt);
    QHash<qint64, size_t> slotOf;
    slotOf.reserve(qsizetype(wanted.size()));
    for (int i = 0; i < kWindow; ++i) {
      if (i < int(wanted.size())) {
        const qint64 rowid = rows_[size_t(window_.start) + wanted[size_t(i)]];
        slotOf.insert(rowid, wanted[size_t(i)]);
        stmt.bind(i + 1, QVariant::fromValue<qlonglong>(rowid));
      } else {
        stmt.bind(i + 1, QVariant());
      }
    }
    while (stmt.step()) {
      const auto it = slotOf.constFind(stmt.int64(0));
      if (it == slotOf.cend())
        continue;
      std::vector<QVariant> &row = window_.values[*it];
      for (size_t k = 0; k < columns.size(); ++k)
        row[size_t(columns[k])] = stmt.value(int(k) + 1);
      found(*it);
    }
  }

  // Keeps the window valid across a write of this set: when nothing else changed the
  // data since the window was read, only the written row needs another look.
  void ownChange(quint64 before, qsizetype position, RowState state) {
    if (!window_.valid || window_.version != before) {
      window_.valid = false;
      return;
    }
    window_.version = db_->dataVersion();
    const qsizetype at = position - window_.start;
    if (at >= 0 && at < qsizetype(window_.state.size()))
      window_.state[size_t(at)] = state;
  }

  QVariant toStorage(const ColumnInfo &col, const QVariant &v) const {
    if (!v.isValid() || v.isNull())
      return {};
    auto mismatch = [&]() {
      return StoreError(QStringLiteral("Type mismatch: the field %1 of table %2 takes %3, not "
                                       "\"%4\".")
                            .arg(col.name, table_, kindName(col.kind), v.toString()));
    };
    switch (col.kind) {
    case FieldKind::YesNo:
      if (const std::optional<bool> yes = yesNoOf(v))
        return QVariant::fromValue<qlonglong>(*yes ? kTrue : kFalse);
      throw mismatch();
    case FieldKind::Integer:
    case FieldKind::SmallInt: {
      const std::optional<qint64> integer = integerOf(v);
      if (!integer)
        throw mismatch();
      const qint64 n = *integer;
      const bool small = col.kind == FieldKind::SmallInt;
      const qint64 low =
          small ? std::numeric_limits<qint16>::min() : std::numeric_limits<qint32>::min();
      const qint64 high =
          small ? std::numeric_limits<qint16>::max() : std::numeric_limits<qint32>::max();
      if (n < low || n > high)
        throw StoreError(QStringLiteral("Overflow: %1 does not fit the %2-bit field %3 of "
                                        "table %4.")
                             .arg(n)
                             .arg(small ? 16 : 32)
                             .arg(col.name, table_));
      return QVariant::fromValue<qlonglong>(n);
    }
    case FieldKind::Date: {
      QDate date;
      if (v.typeId() == QMetaType::QDate)
        date = v.toDate();
      else if (v.typeId() == QMetaType::QDateTime)
        date = v.toDateTime().date();
      else if (v.typeId() == QMetaType::QString) {
        const QString t = v.toString().trimmed();
        if (t.isEmpty())
          return {};
        date = QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
        if (!date.isValid())
          throw mismatch();
      } else {
        throw mismatch();
      }
      if (!date.isValid())
        return {}; // the empty date
      return date.toString(Qt::ISODate);
    }
    case FieldKind::Text:
      if (v.typeId() == QMetaType::QString)
        return v.toString();
      if (v.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(v.toByteArray());
      if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(Qt::ISODate);
      if (v.canConvert<QString>())
        return v.toString();
      throw mismatch();
    case FieldKind::Other:
      break;
    }
    return v;
  }

  void insertPending() {
    QStringList names, marks;
    QVariantList values;
    for (size_t c = 0; c < columns_.size(); ++c) {
      names << columns_[c].quoted;
      values << buffer_[c];
      marks << QStringLiteral("?%1").arg(values.size());
    }
    for (const FoldKey &key : foldKeys_) {
      names << key.quoted;
      values << foldKeyOf(buffer_[size_t(key.column)]);
      marks << QStringLiteral("?%1").arg(values.size());
    }
    const QString sql =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(quotedTable_, names.join(QLatin1String(", ")), marks.join(QLatin1String(", ")));
    quint64 before = 0;
    {
      sql::Statement &stmt = db_->prepared(sql);
      Use use(stmt);
      stmt.bindAll(values);
      before = db_->dataVersion();
      try {
        stmt.step();
      } catch (const StoreError &e) {
        if (keyColumn_ >= 0 && (sqlite3_errcode(db_->handle()) & 0xff) == SQLITE_CONSTRAINT)
          throw StoreError(QStringLiteral("The new row of table %1 cannot be stored: its key "
                                          "%2 has been taken meanwhile (%3)")
                               .arg(table_)
                               .arg(newKey_)
                               .arg(e.message()));
        throw;
      }
    }
    const qint64 rowid = sqlite3_last_insert_rowid(db_->handle()); // == newKey_ for keyed tables
    ownChange(before, -1, RowState::NotLoaded); // the new row lies outside the window
    cancelPending();                            // releases the reserved key: the row holds it now
    const bool atEnd = eof();
    if (const auto old = positions_.constFind(rowid); old != positions_.cend()) {
      // The set still lists a row of this key that a rolled-back transaction removed.
      deleted_[size_t(*old)] = 1;
      --live_;
    }
    positions_.insert(rowid, size());
    rows_.push_back(rowid);
    deleted_.push_back(0);
    ++live_;
    if (atEnd)
      pos_ = size(); // stays at the end
  }

  void updatePending() {
    QStringList sets;
    QVariantList values;
    for (size_t c = 0; c < columns_.size(); ++c) {
      if (!dirty_[c])
        continue;
      values << buffer_[c];
      sets << QStringLiteral("%1 = ?%2").arg(columns_[c].quoted).arg(values.size());
    }
    std::vector<const FoldKey *> keysWritten;
    for (const FoldKey &key : foldKeys_) {
      if (!dirty_[size_t(key.column)])
        continue;
      values << foldKeyOf(buffer_[size_t(key.column)]);
      sets << QStringLiteral("%1 = ?%2").arg(key.quoted).arg(values.size());
      keysWritten.push_back(&key);
    }
    if (!sets.isEmpty()) {
      const QVariant rowid = QVariant::fromValue<qlonglong>(rows_[size_t(pos_)]);
      values << rowid;
      const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3")
                              .arg(quotedTable_, sets.join(QLatin1String(", ")))
                              .arg(values.size());
      // A name and its key land together.
      std::optional<Database::Transaction> transaction;
      if (!keysWritten.empty())
        transaction.emplace(db_);
      const quint64 before = db_->dataVersion();
      {
        sql::Statement &stmt = db_->prepared(sql);
        Use use(stmt);
        stmt.bindAll(values);
        stmt.step();
        if (sqlite3_changes(db_->handle()) == 0)
          throw StoreError(rowGone());
      }
      // A new name of the same fold ("tips" -> "Tips") looks to the file's trigger like
      // a name changed by a writer that left its key alone: the key is written again.
      for (const FoldKey *key : keysWritten) {
        sql::Statement &again =
            db_->prepared(QStringLiteral("UPDATE %1 SET %2 = ?1 WHERE rowid = ?2 AND %2 IS NOT ?1")
                              .arg(quotedTable_, key->quoted));
        Use use(again);
        again.bind(1, foldKeyOf(buffer_[size_t(key->column)]));
        again.bind(2, rowid);
        again.step();
      }
      if (transaction)
        transaction->commit();
      ownChange(before, pos_, RowState::NotLoaded);
    }
    cancelPending();
  }

  // The folded key of a name (Schema.h), in step with the name at every write.
  struct FoldKey {
    int column; // the name's column
    QString quoted;
  };
  static QVariant foldKeyOf(const QVariant &name) {
    return name.isValid() ? QVariant(foldCase(name.toString())) : QVariant();
  }

  std::shared_ptr<Database> db_;
  RecordSource source_;
  TableLayout layout_;
  std::vector<FoldKey> foldKeys_;
  QString table_;
  QString quotedTable_;
  std::vector<Column> columns_;
  int keyColumn_ = -1;
  std::vector<int> eagerColumns_; // read with the rows
  std::vector<int> lazyColumns_;  // long texts, read when asked for
  QString windowSql_;
  QString lazySql_;

  std::vector<qint64> rows_;           // rowids in the set's order; added rows at the end
  std::vector<char> deleted_;          // rows deleted through this set
  QHash<qint64, qsizetype> positions_; // rowid -> position, live rows only
  qsizetype live_ = 0;
  qsizetype pos_ = 0; // size(): after the last row

  Pending pending_ = Pending::None;
  std::vector<QVariant> buffer_; // stored form of the pending row
  std::vector<bool> dirty_;
  bool longTextsBuffered_ = true; // else read when one is asked for
  qint64 newKey_ = 0;

  // Stored values of the rows at positions start.. (see loadWindow), valid while the
  // connection's data version is the one they were read at.
  struct Window {
    qsizetype start = 0;
    std::vector<std::vector<QVariant>> values;
    std::vector<RowState> state;
    std::vector<char> lazyLoaded; // the long texts of the row are in values
    quint64 version = 0;
    bool valid = false;
  } window_;
};

// --- Recordset -------------------------------------------------------------------------

namespace {
[[noreturn]] void notOpen() {
  throw StoreError(
      QStringLiteral("The record set is not open: its data control has not been refreshed."));
}
} // namespace

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

bool Recordset::isOpen() const { return impl_ != nullptr; }
int Recordset::recordCount() const { return impl_ ? int(impl_->live()) : 0; }
bool Recordset::eof() const { return impl_ ? impl_->eof() : true; }

namespace {
RecordsetImpl &opened(const std::unique_ptr<RecordsetImpl> &impl) {
  if (!impl)
    notOpen();
  return *impl;
}
} // namespace

void Recordset::moveFirst() { opened(impl_).moveFirst(); }
void Recordset::moveNext() { opened(impl_).moveNext(); }
void Recordset::addNew() { opened(impl_).addNew(); }
void Recordset::edit() { opened(impl_).edit(); }
void Recordset::update() { opened(impl_).update(); }
void Recordset::deleteRow() { opened(impl_).deleteRow(); }
QVariant Recordset::field(const QString &name) const { return opened(impl_).field(name); }
void Recordset::setField(const QString &name, const QVariant &value) {
  opened(impl_).setField(name, value);
}

bool Recordset::isNull(const QString &name) const { return !field(name).isValid(); }

QString Recordset::text(const QString &name) const {
  const QVariant v = field(name);
  if (!v.isValid())
    return QString();
  if (v.typeId() == QMetaType::QDate)
    return v.toDate().toString(Qt::ISODate);
  return v.toString();
}

// --- DataControl -----------------------------------------------------------------------

DataControl::DataControl() = default;
DataControl::~DataControl() = default;

void DataControl::setDatabaseName(const QString &nativePath) {
  if (nativePath != path_)
    close();
  path_ = nativePath;
}

QString DataControl::databaseName() const { return path_; }

void DataControl::setRecordSource(const QString &source) { source_ = source; }

QString DataControl::recordSource() const { return source_; }

void DataControl::refresh() {
  if (path_.isEmpty())
    throw StoreError(QStringLiteral("The data control has no database name."));
  const RecordSource source = parseRecordSource(source_);
  if (!db_ || db_->isStale()) {
    recordset_.impl_.reset();
    db_.reset();
    db_ = Database::open(path_, OpenMode::ReadWrite);
  }
  auto impl = std::make_unique<RecordsetImpl>(db_, source);
  recordset_.impl_ = std::move(impl);
}

Recordset &DataControl::recordset() { return recordset_; }

void DataControl::close() {
  recordset_.impl_.reset();
  db_.reset();
}

} // namespace store
