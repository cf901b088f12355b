#include "tips/TipRows.h"

#include <algorithm>

#include "store/Database.h"
#include "store/Sqlite.h"
#include "tips/Clock.h"

namespace tips {

namespace {

const QString kGroupOrder = QStringLiteral("SELECT * FROM Group ORDER BY Tip_Group");

// A criteria text comparing a text field with a value; apostrophes are doubled so that
// any value stands safely between the criteria's own apostrophes.
QString textCriteria(const char *field, const QString &value) {
  QString quoted = value;
  quoted.replace(QLatin1Char('\''), QLatin1String("''"));
  return QLatin1String(field) + QStringLiteral(" = '") + quoted + QLatin1Char('\'');
}

struct Flags {
  int local, imported, original;
};

Flags flagsOf(Origin origin) {
  switch (origin) {
  case Origin::Delivered:
    return {store::kFalse, store::kFalse, store::kTrue};
  case Origin::Imported:
    return {store::kFalse, store::kTrue, store::kFalse};
  case Origin::Local:
    break;
  }
  return {store::kTrue, store::kFalse, store::kFalse};
}

void setGroupOrigin(store::Recordset &rs, Origin origin, const QDate &day) {
  const Flags f = flagsOf(origin);
  rs.setField(QStringLiteral("G_LOCAL"), f.local);
  rs.setField(QStringLiteral("G_IMPORT"), f.imported);
  rs.setField(QStringLiteral("G_ORIGINAL"), f.original);
  rs.setField(QStringLiteral("G_DATE"), day);
}

void setTipOrigin(store::Recordset &rs, Origin origin, const QDate &day) {
  const Flags f = flagsOf(origin);
  rs.setField(QStringLiteral("TIP_LOCAL"), f.local);
  rs.setField(QStringLiteral("TIP_IMPORT"), f.imported);
  rs.setField(QStringLiteral("TIP_ORIGINAL"), f.original);
  rs.setField(QStringLiteral("TIP_DATE"), day);
}

// The key of a row begun with addNew, read before the update.
qint32 newKey(store::Recordset &rs, const char *keyField) {
  return rs.field(QLatin1String(keyField)).toInt();
}

} // namespace

TipRows::TipRows(QString databasePath, const Clock &clock,
                 std::unique_ptr<TipChangeListener> listener)
    : path_(std::move(databasePath)), clock_(clock), listener_(std::move(listener)) {}

TipRows::~TipRows() = default;

std::shared_ptr<store::Database> TipRows::database() {
  // A file replaced behind the rows is opened anew, as the data controls do.
  if (!db_ || db_->isStale())
    db_ = store::Database::open(path_, store::OpenMode::ReadWrite);
  return db_;
}

void TipRows::close() {
  groups_.close();
  tips_.close();
  lookup_.close();
  db_.reset();
  if (listener_)
    listener_->close();
}

store::DataControl &TipRows::control(store::DataControl &data, const QString &source) {
  database(); // one connection for every control, kept open between calls
  if (data.databaseName().isEmpty())
    data.setDatabaseName(path_);
  data.setRecordSource(source);
  data.refresh();
  return data;
}

std::vector<ListEntry> TipRows::entries(store::DataControl &data, const char *textField,
                                        const char *keyField) {
  std::vector<ListEntry> list;
  store::Recordset &rs = data.recordset();
  for (; !rs.eof(); rs.moveNext())
    list.push_back({rs.text(QLatin1String(textField)), rs.field(QLatin1String(keyField)).toInt()});
  sortForReader(list);
  return list;
}

std::vector<ListEntry> TipRows::groups() {
  return entries(control(groups_, kGroupOrder), "TIP_GROUP", "GROUP_ID");
}

std::vector<ListEntry> TipRows::subjects(qint32 groupId) {
  return entries(control(lookup_, QStringLiteral("SELECT * FROM TIPS WHERE GROUP_ID =") +
                                      QString::number(groupId)),
                 "TIP_SUBJECT", "TIPS_ID");
}

store::Recordset &TipRows::rowOf(store::DataControl &data, const QString &table,
                                 const char *keyField, qint32 key) {
  return control(data, QStringLiteral("SELECT * FROM %1 WHERE %2 =%3")
                           .arg(table, QLatin1String(keyField))
                           .arg(key))
      .recordset();
}

QString TipRows::description(qint32 tipId) {
  // Read on its own: a record set would keep the text, which may be hundreds of megabytes,
  // in its window until its next refresh.
  store::sql::Statement &read =
      database()->prepared(QStringLiteral("SELECT TIP_DESCRIPTION FROM Tips WHERE TIPS_ID = ?1"));
  store::sql::ResetOnExit use(read);
  read.bind(1, tipId);
  return read.step() ? read.text(0) : QString();
}

void TipRows::readDescription(qint32 tipId, const std::function<void(QStringView piece)> &take) {
  if (store::sql::readTextPieces(database()->handle(), "Tips", "TIP_DESCRIPTION", tipId, take))
    return;
  // A number, a file of UTF-16, or nothing at all: read whole.
  if (const QString whole = description(tipId); !whole.isEmpty())
    take(whole);
}

QString TipRows::groupName(qint32 groupId) {
  store::Recordset &rs = rowOf(lookup_, QStringLiteral("Group"), "GROUP_ID", groupId);
  return rs.recordCount() > 0 ? rs.text(QStringLiteral("TIP_GROUP")) : QString();
}

qint64 TipRows::descriptionLengthBound(qint32 tipId) {
  // UTF-8 takes at least one byte for each UTF-16 unit.
  return std::max<qint64>(
      0, store::sql::storedBytes(database()->handle(), "Tips", "TIP_DESCRIPTION", tipId));
}

std::optional<TipHeading> TipRows::tipHeading(qint32 tipId) {
  store::sql::Statement &read = database()->prepared(
      QStringLiteral("SELECT t.GROUP_ID, t.TIP_SUBJECT, g.TIP_GROUP FROM Tips t "
                     "LEFT JOIN \"Group\" g ON g.GROUP_ID = t.GROUP_ID WHERE t.TIPS_ID = ?1"));
  store::sql::ResetOnExit use(read);
  read.bind(1, tipId);
  if (!read.step())
    return std::nullopt;
  return TipHeading{tipId, qint32(read.int64(0)), read.text(2), read.text(1)};
}

qint64 TipRows::tipCount() {
  store::sql::Statement &read = database()->prepared(QStringLiteral("SELECT count(*) FROM Tips"));
  store::sql::ResetOnExit use(read);
  return read.step() ? read.int64(0) : 0;
}

qint32 TipRows::highestTipKey() {
  store::sql::Statement &read =
      database()->prepared(QStringLiteral("SELECT coalesce(max(TIPS_ID), 0) FROM Tips"));
  store::sql::ResetOnExit use(read);
  return read.step() ? qint32(read.int64(0)) : 0;
}

std::optional<qint32> TipRows::tipKeyAt(qint64 place) {
  // In the order of the index on GROUP_ID, which holds every key in a few pages: counting
  // along the rows themselves would read every description before the place.
  store::sql::Statement &read = database()->prepared(
      QStringLiteral("SELECT TIPS_ID FROM Tips ORDER BY GROUP_ID, TIPS_ID LIMIT 1 OFFSET ?1"));
  store::sql::ResetOnExit use(read);
  read.bind(1, place);
  if (!read.step())
    return std::nullopt;
  return qint32(read.int64(0));
}

// The rows matching the criteria only, so a lookup reads one row through the name's
// index instead of opening the whole table; the first in key order.
std::optional<qint32> TipRows::findFirstKey(const QString &table, const QString &criteria,
                                            const char *keyField) {
  store::Recordset &rs = control(lookup_, QStringLiteral("SELECT * FROM %1 WHERE %2 ORDER BY %3")
                                              .arg(table, criteria, QLatin1String(keyField)))
                             .recordset();
  if (rs.recordCount() < 1)
    return std::nullopt;
  return rs.field(QLatin1String(keyField)).toInt();
}

std::optional<qint32> TipRows::findGroup(const QString &name) {
  return findFirstKey(QStringLiteral("Group"), textCriteria("TIP_GROUP", name), "GROUP_ID");
}

std::optional<qint32> TipRows::findSubject(const QString &subject) {
  return findFirstKey(QStringLiteral("TIPS"), textCriteria("TIP_SUBJECT", subject), "TIPS_ID");
}

store::Recordset &TipRows::adder(store::DataControl &data, const QString &table,
                                 const char *keyField) {
  // A set that holds no row opens at once whatever the table's size, and stays open for
  // the next insert: the rows added to it are not read again.
  const QString source = QStringLiteral("SELECT * FROM %1 WHERE %2 =0").arg(table, keyField);
  if (data.recordSource() != source || !data.recordset().isOpen())
    control(data, source);
  return data.recordset();
}

qint32 TipRows::insertGroup(const QString &name, Origin origin) {
  store::Recordset &rs = adder(groups_, QStringLiteral("Group"), "GROUP_ID");
  rs.addNew();
  const qint32 key = newKey(rs, "GROUP_ID");
  rs.setField(QStringLiteral("TIP_GROUP"), name);
  setGroupOrigin(rs, origin, clock_.today());
  rs.update();
  return key;
}

qint32 TipRows::insertTip(qint32 groupId, const QString &subject, const QString &description,
                          Origin origin) {
  store::Recordset &rs = adder(tips_, QStringLiteral("TIPS"), "TIPS_ID");
  rs.addNew();
  const qint32 key = newKey(rs, "TIPS_ID");
  rs.setField(QStringLiteral("GROUP_ID"), groupId);
  rs.setField(QStringLiteral("TIP_SUBJECT"), subject);
  rs.setField(QStringLiteral("TIP_DESCRIPTION"), description);
  setTipOrigin(rs, origin, clock_.today());
  rs.update();
  tell({{key, groupId, subject, description}});
  return key;
}

void TipRows::tell(const std::vector<TipText> &written) {
  if (listener_)
    listener_->putTips(written);
}

void TipRows::renameGroup(qint32 groupId, const QString &name) {
  store::Recordset &rs = rowOf(lookup_, QStringLiteral("Group"), "GROUP_ID", groupId);
  if (rs.recordCount() < 1)
    throw store::StoreError(QStringLiteral("The group number %1 no longer exists.").arg(groupId));
  rs.edit();
  rs.setField(QStringLiteral("TIP_GROUP"), name);
  setGroupOrigin(rs, Origin::Local, clock_.today());
  rs.update();
}

void TipRows::changeTip(qint32 tipId, const QString &subject, const QString &description) {
  store::Recordset &rs = rowOf(lookup_, QStringLiteral("TIPS"), "TIPS_ID", tipId);
  if (rs.recordCount() < 1)
    throw store::StoreError(QStringLiteral("The tip number %1 no longer exists.").arg(tipId));
  const bool newSubject = rs.text(QStringLiteral("TIP_SUBJECT")) != subject;
  const bool newDescription = rs.text(QStringLiteral("TIP_DESCRIPTION")) != description;
  if (!newSubject && !newDescription)
    return;
  rs.edit();
  if (newSubject) {
    rs.setField(QStringLiteral("TIP_SUBJECT"), subject);
    setTipOrigin(rs, Origin::Local, clock_.today());
  }
  if (newDescription)
    rs.setField(QStringLiteral("TIP_DESCRIPTION"), description);
  const qint32 groupId = rs.field(QStringLiteral("GROUP_ID")).toInt();
  rs.update();
  tell({{tipId, groupId, subject, description}});
}

void TipRows::changeDescription(qint32 tipId, const QString &description) {
  store::Recordset &rs = rowOf(lookup_, QStringLiteral("TIPS"), "TIPS_ID", tipId);
  if (rs.recordCount() < 1)
    throw store::StoreError(QStringLiteral("The tip number %1 no longer exists.").arg(tipId));
  rs.edit();
  rs.setField(QStringLiteral("TIP_DESCRIPTION"), description);
  const qint32 groupId = rs.field(QStringLiteral("GROUP_ID")).toInt();
  const QString subject = rs.text(QStringLiteral("TIP_SUBJECT"));
  rs.update();
  tell({{tipId, groupId, subject, description}});
}

void TipRows::deleteGroup(qint32 groupId) {
  store::Database::Transaction transaction(database());
  store::Recordset &group = rowOf(lookup_, QStringLiteral("Group"), "GROUP_ID", groupId);
  if (group.recordCount() > 0)
    group.deleteRow();
  store::Recordset &tips = rowOf(lookup_, QStringLiteral("TIPS"), "GROUP_ID", groupId);
  std::vector<qint32> gone;
  while (!tips.eof()) {
    gone.push_back(tips.field(QStringLiteral("TIPS_ID")).toInt());
    tips.deleteRow();
    tips.moveNext();
  }
  transaction.commit();
  if (listener_)
    listener_->removeTips(gone);
}

void TipRows::deleteTip(qint32 tipId) {
  store::Recordset &rs = rowOf(lookup_, QStringLiteral("TIPS"), "TIPS_ID", tipId);
  if (rs.recordCount() > 0) {
    rs.deleteRow();
    if (listener_)
      listener_->removeTips({tipId});
  }
}

} // namespace tips
