#include "tips/TipSearch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <cstdio>

#include "store/Sqlite.h"

namespace tips {

namespace {

using store::sql::Statement;

// unicode61 with diacritics removed from every letter, not only the ones without several
// marks. Prefix indexes of two and three characters keep a short typed word fast.
const char *const kCreateIndex =
    "CREATE VIRTUAL TABLE tip_text USING fts5(subject, description, group_id UNINDEXED, "
    "tokenize = 'unicode61 remove_diacritics 2', prefix = '2 3');"
    "CREATE TABLE stamp(tip_count INTEGER NOT NULL, highest_key INTEGER NOT NULL);";

// Subjects weigh ten times as much as descriptions in bm25, within each tier.
const char *const kRanked =
    "SELECT rowid, group_id, subject, snippet(tip_text, 1, '', '', '...', 12) FROM tip_text "
    "WHERE tip_text MATCH ?1 ORDER BY bm25(tip_text, 10.0, 1.0) LIMIT ?2";

// A character that belongs to a word, as unicode61 sees it: letters, digits, and the marks
// that accents are made of (removed by the tokenizer, kept here with their letter).
bool inWord(QChar c) { return c.isLetterOrNumber() || c.isMark(); }

// The words of a piece of typed text, separated by everything else.
QStringList wordsOf(const QString &text) {
  QStringList words;
  QString word;
  for (const QChar c : text) {
    if (inWord(c)) {
      word += c;
    } else if (!word.isEmpty()) {
      words << word;
      word.clear();
    }
  }
  if (!word.isEmpty())
    words << word;
  return words;
}

// An FTS5 string: the words between double quotes, any double quote doubled (words hold
// none, but the rule keeps the string safe whatever it holds).
QString ftsString(const QStringList &words) {
  QString text = words.join(QLatin1Char(' '));
  text.replace(QLatin1Char('"'), QLatin1String("\"\""));
  return QLatin1Char('"') + text + QLatin1Char('"');
}

void execute(sqlite3 *db, const char *sql) {
  char *error = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    const QString message = QString::fromUtf8(error ? error : "unknown error");
    sqlite3_free(error);
    throw store::StoreError(
        QStringLiteral("The search index could not be written: %1").arg(message));
  }
}

sqlite3 *openFile(const QString &path, int flags) {
  sqlite3 *db = nullptr;
  if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
    const QString message =
        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
    sqlite3_close(db);
    throw store::StoreError(QStringLiteral("%1 could not be opened: %2").arg(path, message));
  }
  sqlite3_busy_timeout(db, 5000);
  sqlite3_extended_result_codes(db, 1);
  return db;
}

void closeFile(sqlite3 *&db) {
  sqlite3_close_v2(db);
  db = nullptr;
}

QString oneLine(QString text) {
  for (QChar &c : text)
    if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t'))
      c = QLatin1Char(' ');
  return text.simplified();
}

} // namespace

QString matchExpression(const QString &typed) {
  QStringList parts;
  QString piece;
  bool inPhrase = false;
  auto endPiece = [&](bool phrase) {
    const QStringList words = wordsOf(piece);
    piece.clear();
    if (words.isEmpty())
      return;
    // A word typed alone finds the words it begins; a quoted phrase matches as written.
    parts << (phrase ? ftsString(words) : ftsString(words) + QLatin1Char('*'));
  };
  for (const QChar c : typed) {
    if (c == QLatin1Char('"')) {
      endPiece(inPhrase);
      inPhrase = !inPhrase;
    } else if (!inPhrase && c.isSpace()) {
      endPiece(false);
    } else {
      piece += c;
    }
  }
  endPiece(inPhrase); // an unclosed quote still holds a phrase
  return parts.join(QStringLiteral(" AND "));
}

QString indexPathBeside(const QString &tipDatabasePath) {
  const QFileInfo info(tipDatabasePath);
  return info.dir().filePath(info.completeBaseName() + QStringLiteral(".idx"));
}

TipIndex::TipIndex(QString indexPath, QString tipDatabasePath)
    : path_(std::move(indexPath)), tipPath_(std::move(tipDatabasePath)) {}

TipIndex::~TipIndex() { close(); }

void TipIndex::close() {
  closeFile(index_);
  closeFile(tips_);
  if (build_) {
    closeFile(build_);
    QFile::remove(path_ + QStringLiteral(".new"));
  }
}

sqlite3 *TipIndex::index() {
  if (!index_) {
    if (!QFileInfo::exists(path_))
      throw store::StoreError(QStringLiteral("There is no search index at %1.").arg(path_));
    index_ = openFile(path_, SQLITE_OPEN_READWRITE);
    // A lost write costs a rebuild, never a tip: the index need not wait for the disk.
    sqlite3_exec(index_, "PRAGMA synchronous = NORMAL", nullptr, nullptr, nullptr);
  }
  return index_;
}

sqlite3 *TipIndex::tipDatabase() {
  if (!tips_)
    tips_ = openFile(tipPath_, SQLITE_OPEN_READONLY);
  return tips_;
}

// The count of tips and the highest tip key ever handed out (AUTOINCREMENT's sequence, or
// the highest key when another tool wrote keys itself): an insert anywhere moves one of
// them, a delete moves the count.
TipIndex::Stamp TipIndex::tipStamp() {
  Statement s(tipDatabase(),
              QStringLiteral("SELECT (SELECT count(*) FROM Tips), max(coalesce((SELECT seq FROM "
                             "sqlite_sequence WHERE name = 'Tips' COLLATE NOCASE), 0), "
                             "coalesce((SELECT max(TIPS_ID) FROM Tips), 0))"));
  s.step();
  return {s.int64(0), s.int64(1)};
}

TipIndex::Health TipIndex::health() {
  if (!QFileInfo::exists(path_))
    return Health::Missing;
  Stamp kept;
  try {
    Statement s(index(), QStringLiteral("SELECT tip_count, highest_key FROM stamp"));
    if (!s.step())
      return Health::Stale;
    kept = {s.int64(0), s.int64(1)};
    // The index's own structure answers one query, or the file is damaged.
    Statement probe(index(), QStringLiteral("SELECT rowid FROM tip_text WHERE tip_text MATCH "
                                            "'\"obx\"' LIMIT 1"));
    probe.step();
  } catch (const store::StoreError &) {
    closeFile(index_);
    return Health::Damaged;
  }
  try {
    return tipStamp() == kept ? Health::Current : Health::Stale;
  } catch (const store::StoreError &) {
    return Health::Stale;
  }
}

void TipIndex::startBuild() {
  if (build_)
    closeFile(build_);
  const QString fresh = path_ + QStringLiteral(".new");
  QFile::remove(fresh);
  build_ = openFile(fresh, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  // The file is thrown away when the build does not end: no journal is needed.
  execute(build_, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;");
  execute(build_, kCreateIndex);
  closeFile(tips_); // a fresh connection sees the latest rows
  // The stamp is taken before the rows are read: a row written meanwhile leaves the new
  // index stale, never wrongly current.
  buildStamp_ = tipStamp();
  toBuild_ = int(buildStamp_.count);
  built_ = 0;
  buildAfter_ = 0;
}

bool TipIndex::buildStep(int rows) {
  if (!build_)
    return true;
  // Each step reads its rows by key and then lets the tip database go, so the user can
  // save between steps.
  Statement read(tipDatabase(), QStringLiteral("SELECT TIPS_ID, GROUP_ID, TIP_SUBJECT, "
                                               "TIP_DESCRIPTION FROM Tips WHERE TIPS_ID > ?1 "
                                               "ORDER BY TIPS_ID LIMIT ?2"));
  read.bind(1, buildAfter_);
  read.bind(2, rows);
  Statement write(build_, QStringLiteral("INSERT INTO tip_text(rowid, subject, description, "
                                         "group_id) VALUES (?1, ?2, ?3, ?4)"));
  execute(build_, "BEGIN");
  int read_ = 0;
  while (read.step()) {
    // The text goes across as the file holds it, without a round trip through QString.
    const auto copy = [&](int col, int param) {
      const auto *data = sqlite3_column_text(read.handle(), col);
      if (data)
        sqlite3_bind_text(write.handle(), param, reinterpret_cast<const char *>(data),
                          sqlite3_column_bytes(read.handle(), col), SQLITE_TRANSIENT);
      else
        sqlite3_bind_null(write.handle(), param);
    };
    buildAfter_ = read.int64(0);
    sqlite3_bind_int64(write.handle(), 1, buildAfter_);
    copy(2, 2);
    copy(3, 3);
    sqlite3_bind_int64(write.handle(), 4, read.int64(1));
    write.step();
    write.reset();
    ++read_;
  }
  read.reset();
  execute(build_, "COMMIT");
  built_ += read_;
  if (read_ < rows) {
    finishBuild();
    return true;
  }
  return false;
}

void TipIndex::finishBuild() {
  Statement stamp(build_, QStringLiteral("INSERT INTO stamp VALUES (?1, ?2)"));
  stamp.bind(1, buildStamp_.count);
  stamp.bind(2, buildStamp_.highestKey);
  stamp.step();
  stamp.reset();
  // Fewer segments make every later query cheaper.
  execute(build_, "INSERT INTO tip_text(tip_text) VALUES ('optimize')");
  closeFile(build_);
  closeFile(index_);
  const QString fresh = path_ + QStringLiteral(".new");
  // rename() replaces the old file in one step: a reader sees the old index or the new.
  if (std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path_).constData()) !=
      0) {
    QFile::remove(fresh);
    throw store::StoreError(
        QStringLiteral("The search index %1 could not be replaced.").arg(path_));
  }
}

void TipIndex::rebuild() {
  startBuild();
  try {
    while (!buildStep(20000)) {
    }
  } catch (...) {
    closeFile(build_);
    QFile::remove(path_ + QStringLiteral(".new"));
    throw;
  }
}

SearchResult TipIndex::search(const QString &typed, int limit) {
  SearchResult result;
  const QString expression = matchExpression(typed);
  if (expression.isEmpty())
    return result;
  sqlite3 *db = index();
  {
    Statement count(db, QStringLiteral("SELECT count(*) FROM tip_text WHERE tip_text MATCH ?1"));
    count.bind(1, expression);
    count.step();
    result.total = int(count.int64(0));
  }
  if (result.total == 0)
    return result;
  // Subjects that hold every word first, then the tips that match through their
  // description.
  const QString inSubject = QStringLiteral("{subject} : (%1)").arg(expression);
  const QStringList tiers{inSubject, QStringLiteral("(%1) NOT (%2)").arg(expression, inSubject)};
  Statement group(tipDatabase(),
                  QStringLiteral("SELECT TIP_GROUP FROM \"Group\" WHERE GROUP_ID = ?1"));
  QHash<qint32, QString> groupNames;
  for (const QString &tier : tiers) {
    const int room = limit - int(result.tips.size());
    if (room <= 0)
      break;
    Statement s(db, QLatin1String(kRanked));
    s.bind(1, tier);
    s.bind(2, room);
    while (s.step()) {
      FoundTip tip;
      tip.tipId = qint32(s.int64(0));
      tip.groupId = qint32(s.int64(1));
      tip.subject = s.text(2);
      tip.excerpt = oneLine(s.text(3));
      auto known = groupNames.find(tip.groupId);
      if (known == groupNames.end()) {
        group.bind(1, tip.groupId);
        known = groupNames.insert(tip.groupId, group.step() ? group.text(0) : QString());
        group.reset();
      }
      tip.groupName = *known;
      result.tips.push_back(std::move(tip));
    }
  }
  return result;
}

void TipIndex::markStale() {
  try {
    execute(index(), "DELETE FROM stamp");
  } catch (const store::StoreError &) {
    // Nothing more can be done here: an unreadable index is found damaged and rebuilt.
  }
}

void TipIndex::putTip(qint32 tipId, qint32 groupId, const QString &subject,
                      const QString &description) {
  if (!index_ && !QFileInfo::exists(path_))
    return;
  try {
    sqlite3 *db = index();
    execute(db, "BEGIN IMMEDIATE");
    try {
      Statement drop(db, QStringLiteral("DELETE FROM tip_text WHERE rowid = ?1"));
      drop.bind(1, tipId);
      drop.step();
      const bool isNew = sqlite3_changes(db) == 0;
      Statement add(db, QStringLiteral("INSERT INTO tip_text(rowid, subject, description, "
                                       "group_id) VALUES (?1, ?2, ?3, ?4)"));
      add.bind(1, tipId);
      add.bind(2, subject);
      add.bind(3, description);
      add.bind(4, groupId);
      add.step();
      if (isNew) {
        Statement stamp(db, QStringLiteral("UPDATE stamp SET tip_count = tip_count + 1, "
                                           "highest_key = max(highest_key, ?1)"));
        stamp.bind(1, tipId);
        stamp.step();
      }
      execute(db, "COMMIT");
    } catch (...) {
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      throw;
    }
  } catch (const store::StoreError &) {
    markStale();
  }
}

void TipIndex::removeTip(qint32 tipId) { removeTips({tipId}); }

void TipIndex::removeTips(const std::vector<qint32> &tipIds) {
  if (tipIds.empty() || (!index_ && !QFileInfo::exists(path_)))
    return;
  try {
    sqlite3 *db = index();
    execute(db, "BEGIN IMMEDIATE");
    try {
      Statement drop(db, QStringLiteral("DELETE FROM tip_text WHERE rowid = ?1"));
      int removed = 0;
      for (const qint32 tipId : tipIds) {
        drop.bind(1, tipId);
        drop.step();
        removed += sqlite3_changes(db);
        drop.reset();
      }
      Statement stamp(db, QStringLiteral("UPDATE stamp SET tip_count = tip_count - ?1"));
      stamp.bind(1, removed);
      stamp.step();
      execute(db, "COMMIT");
    } catch (...) {
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      throw;
    }
  } catch (const store::StoreError &) {
    markStale();
  }
}

} // namespace tips
