#include "search/TipIndex.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QSet>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "store/Sqlite.h"

namespace search {

namespace {

using store::sql::Statement;

// unicode61 with diacritics removed from every letter, not only the ones without several
// marks. A prefix index of three characters answers a typed three-letter beginning (a
// two-character one would cost a fifth of the build time more).
const char *const kCreateIndex =
    "CREATE VIRTUAL TABLE tip_text USING fts5(subject, description, group_id UNINDEXED, "
    "tokenize = 'unicode61 remove_diacritics 2', prefix = '3');"
    "CREATE TABLE stamp(tip_count INTEGER NOT NULL, highest_key INTEGER NOT NULL);"
    // Every word of the index in its stored form, for the beginnings of words typed
    // (fts5vocab reads its list from the start for each lookup).
    "CREATE TABLE words(term TEXT PRIMARY KEY) WITHOUT ROWID;";

// Ranking reads the positions of every match it orders, which a word found in a hundred
// thousand tips makes slow. Beyond this many matches only the newest this many are ranked:
// such a search is narrowed by another word anyway.
constexpr int kRankWindow = 1000;
// Counting stops here; a word in nearly every tip is counted as "more than" this.
constexpr int kCountCap = 10000;
// A word's rarity is told from up to this many tips: beyond, every word is common alike.
constexpr int kRarityCap = 1000;
// A typed beginning of a word of any other length than the prefix index's is looked up in
// the index's list of words and searched as the words it begins (each read as it is stored,
// without building a merged list of every match first), when they are not too many.
constexpr int kPrefixIndexLength = 3;
constexpr int kMostExpansions = 256;
// Rows read and written between two reports of a whole build.
constexpr int kRebuildStep = 20000;
// SQLite takes at most 127 arguments to a function.
constexpr int kMostRarities = 100;

// A character that belongs to a word, as unicode61 sees it: letters, digits, and the marks
// that accents are made of (removed by the tokenizer, kept here with their letter).
bool inWord(QChar c) { return c.isLetterOrNumber() || c.isMark(); }

// Hands each word of a text to take, in order; words are separated by everything else.
template <class Take> void forEachWord(QStringView text, Take take) {
  QString word;
  for (const QChar c : text) {
    if (inWord(c)) {
      word += c;
    } else if (!word.isEmpty()) {
      take(word);
      word.clear();
    }
  }
  if (!word.isEmpty())
    take(word);
}

// The words of a piece of typed text.
QStringList wordsOf(const QString &text) {
  QStringList words;
  forEachWord(text, [&words](const QString &word) { words << word; });
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
  store::sql::exec(db, sql, QStringLiteral("The search index could not be written"));
}

QString oneLine(QString text) {
  for (QChar &c : text)
    if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t'))
      c = QLatin1Char(' ');
  return text.simplified();
}

// One typed word (its parts, when an apostrophe or a dash splits it) or one quoted phrase.
struct Piece {
  QStringList words;
  bool phrase = false;
  // A word typed alone finds the words it begins; a quoted phrase matches as written.
  QString expression() const { return phrase ? ftsString(words) : ftsString(words) + '*'; }
};

std::vector<Piece> piecesOf(const QString &typed) {
  std::vector<Piece> pieces;
  QString piece;
  bool inPhrase = false;
  auto endPiece = [&](bool phrase) {
    const QStringList words = wordsOf(piece);
    piece.clear();
    if (!words.isEmpty())
      pieces.push_back({words, phrase});
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
  return pieces;
}

// The form unicode61 with diacritics removed gives a word: lower case, no accents.
QString tokenForm(const QString &word) {
  QString out;
  for (const QChar c : word.normalized(QString::NormalizationForm_D))
    if (!c.isMark())
      out += c;
  return out.toLower();
}

// About a dozen words of a description on one line, from just before the first word that
// begins with one of the stems (its start when none does).
QString excerptOf(const QString &text, const QStringList &stems) {
  constexpr int kBefore = 3, kWords = 12;
  struct Word {
    qsizetype start, end;
  };
  std::vector<Word> words;
  qsizetype hit = -1;
  for (qsizetype i = 0; i < text.size();) {
    if (!inWord(text[i])) {
      ++i;
      continue;
    }
    qsizetype end = i;
    while (end < text.size() && inWord(text[end]))
      ++end;
    words.push_back({i, end});
    if (hit < 0) {
      const QString form = tokenForm(text.mid(i, end - i));
      for (const QString &stem : stems)
        if (form.startsWith(stem)) {
          hit = qsizetype(words.size()) - 1;
          break;
        }
    }
    i = end;
    if (hit >= 0 && qsizetype(words.size()) >= hit + kWords - kBefore)
      break;
  }
  if (words.empty())
    return QString();
  const qsizetype first = std::max<qsizetype>(0, hit - kBefore);
  const qsizetype last = std::min<qsizetype>(qsizetype(words.size()) - 1, first + kWords - 1);
  qsizetype end = words[last].end; // with the punctuation that closes the last word
  while (end < text.size() && !text[end].isSpace())
    ++end;
  QString excerpt = oneLine(text.mid(words[first].start, end - words[first].start));
  if (first > 0)
    excerpt.prepend(QStringLiteral("..."));
  for (qsizetype i = end; i < text.size(); ++i)
    if (inWord(text[i])) {
      excerpt.append(QStringLiteral("..."));
      break;
    }
  return excerpt;
}

double saturated(double hits, int length, double usualLength) {
  return hits * 2.2 / (hits + 1.2 * (0.25 + 0.75 * length / usualLength));
}

// obx_rank(tip_text, pieces, rarity, rarity, ...): pieces lists, comma-separated, the typed
// piece that each phrase of the expression stands for, in order; then each piece's rarity
// (at most kMostRarities of them: the rest count 1). Higher is
// better: a subject that holds every piece first, then the pieces' hits weighted by rarity
// (a subject's ten times a description's, fewer hits in a longer text counting less), then
// the pieces close together in the description.
void obxRank(const Fts5ExtensionApi *api, Fts5Context *fts, sqlite3_context *result, int nVal,
             sqlite3_value **values) {
  const int phrases = api->xPhraseCount(fts);
  const QByteArrayList listed =
      nVal > 0
          ? QByteArray(reinterpret_cast<const char *>(sqlite3_value_text(values[0]))).split(',')
          : QByteArrayList();
  int pieces = 1;
  std::vector<int> pieceOf(std::size_t(std::max(phrases, 0)), 0);
  for (int p = 0; p < phrases && p < listed.size(); ++p) {
    pieceOf[p] = std::max(0, listed[p].toInt());
    pieces = std::max(pieces, pieceOf[p] + 1);
  }
  std::vector<double> weight(pieces, 1.0), subject(pieces), description(pieces);
  std::vector<int> firstAt(pieces, -1);
  for (int g = 0; g < pieces && g + 1 < nVal; ++g)
    weight[g] = sqlite3_value_double(values[g + 1]);
  int hits = 0;
  if (api->xInstCount(fts, &hits) != SQLITE_OK) {
    sqlite3_result_double(result, 0);
    return;
  }
  for (int i = 0; i < hits; ++i) {
    int phrase = 0, column = 0, offset = 0;
    if (api->xInst(fts, i, &phrase, &column, &offset) != SQLITE_OK || phrase >= phrases)
      continue;
    const int piece = pieceOf[phrase];
    if (column == 0) {
      subject[piece] += 1;
    } else if (column == 1) {
      description[piece] += 1;
      if (firstAt[piece] < 0 || offset < firstAt[piece])
        firstAt[piece] = offset;
    }
  }
  int subjectLength = 0, descriptionLength = 0;
  api->xColumnSize(fts, 0, &subjectLength);
  api->xColumnSize(fts, 1, &descriptionLength);
  double score = 0;
  bool allInSubject = pieces > 0;
  int first = INT_MAX, last = -1;
  for (int g = 0; g < pieces; ++g) {
    allInSubject = allInSubject && subject[g] > 0;
    score += weight[g] * (10 * saturated(subject[g], subjectLength, 6) +
                          saturated(description[g], descriptionLength, 40));
    if (firstAt[g] >= 0) {
      first = std::min(first, firstAt[g]);
      last = std::max(last, firstAt[g]);
    }
  }
  if (pieces > 1 && last >= 0)
    score += 1.0 / (1 + last - first);
  if (allInSubject)
    score += 1000;
  sqlite3_result_double(result, score);
}

void registerRank(sqlite3 *db) {
  fts5_api *api = nullptr;
  sqlite3_stmt *s = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT fts5(?1)", -1, &s, nullptr) == SQLITE_OK) {
    sqlite3_bind_pointer(s, 1, &api, "fts5_api_ptr", nullptr);
    sqlite3_step(s);
  }
  sqlite3_finalize(s);
  if (!api || api->xCreateFunction(api, "obx_rank", nullptr, obxRank, nullptr) != SQLITE_OK)
    throw store::StoreError(QStringLiteral("The search index cannot rank its matches."));
}

} // namespace

QString matchExpression(const QString &typed) {
  QStringList parts;
  for (const Piece &piece : piecesOf(typed))
    parts << piece.expression();
  return parts.join(QStringLiteral(" AND "));
}

QString indexPathBeside(const QString &tipDatabasePath) {
  const QFileInfo info(tipDatabasePath);
  return info.dir().filePath(info.completeBaseName() + QStringLiteral(".idx"));
}

struct TipIndex::Connections {
  store::sql::Connection index;
  store::sql::Connection tips;
  store::sql::Connection build;
  // Held from the start of a build to its end: one build at a time per index file, across
  // processes (the window and the terminal's find may both find the index stale).
  std::unique_ptr<QLockFile> buildLock;
};

TipIndex::TipIndex(QString indexPath, QString tipDatabasePath)
    : path_(std::move(indexPath)), tipPath_(std::move(tipDatabasePath)),
      files_(std::make_unique<Connections>()) {}

bool TipIndex::building() const { return bool(files_->build); }

TipIndex::~TipIndex() { close(); }

void TipIndex::close() {
  files_->index.close();
  files_->tips.close();
  if (files_->build) {
    files_->build.close();
    QFile::remove(path_ + QStringLiteral(".new"));
  }
  files_->buildLock.reset();
}

bool TipIndex::lockBuild(tips::WorkProgress &progress) {
  if (files_->buildLock)
    return false;
  auto lock = std::make_unique<QLockFile>(path_ + QStringLiteral(".lock"));
  // Only a lock whose program has ended is stale: a build of a million tips takes a while.
  lock->setStaleLockTime(0);
  bool waited = false;
  while (!lock->tryLock(waited ? 100 : 0)) {
    // A lock file that cannot be written (a read-only folder) guards nothing: the build
    // itself then says why it cannot write.
    if (lock->error() != QLockFile::LockFailedError)
      break;
    waited = true;
    progress.checkpoint();
  }
  files_->buildLock = std::move(lock);
  return waited;
}

sqlite3 *TipIndex::index() {
  if (!files_->index) {
    if (!QFileInfo::exists(path_))
      throw store::StoreError(QStringLiteral("There is no search index at %1.").arg(path_));
    store::sql::Connection opened(path_, SQLITE_OPEN_READWRITE);
    registerRank(opened.handle());
    // A lost write costs a rebuild, never a tip: the index need not wait for the disk.
    sqlite3_exec(opened.handle(), "PRAGMA synchronous = NORMAL", nullptr, nullptr, nullptr);
    files_->index = std::move(opened);
  }
  return files_->index.handle();
}

sqlite3 *TipIndex::tipDatabase() {
  if (!files_->tips)
    files_->tips = store::sql::Connection(tipPath_, SQLITE_OPEN_READONLY);
  return files_->tips.handle();
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
    files_->index.close();
    return Health::Damaged;
  }
  try {
    return tipStamp() == kept ? Health::Current : Health::Stale;
  } catch (const store::StoreError &) {
    return Health::Stale;
  }
}

void TipIndex::startBuild() {
  lockBuild(tips::noProgress());
  files_->build.close();
  const QString fresh = path_ + QStringLiteral(".new");
  QFile::remove(fresh);
  files_->build = store::sql::Connection(fresh, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  sqlite3 *build = files_->build.handle();
  // The file is thrown away when the build does not end: no journal is needed.
  execute(build, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
                 "PRAGMA cache_size = -65536;");
  execute(build, kCreateIndex);
  // No merging while the rows go in: one merge of everything at the end ('optimize') reads
  // each entry once instead of once per level. The words gathered in memory before they go
  // to the file as one segment: 16 MB instead of 1 MB makes a sixteenth of the segments
  // to merge, which takes about two fifths off a million-tip build for some 24 MB more
  // (a larger table saved no more). Kept for later bulk inserts into the index.
  execute(build, "INSERT INTO tip_text(tip_text, rank) VALUES ('automerge', 0);"
                 "INSERT INTO tip_text(tip_text, rank) VALUES ('crisismerge', 500);"
                 "INSERT INTO tip_text(tip_text, rank) VALUES ('hashsize', 16777216);");
  // One transaction over every step: the new file has no other reader, and a commit per
  // step would flush many small segments.
  execute(build, "BEGIN");
  files_->tips.close(); // a fresh connection sees the latest rows
  // The stamp is taken before the rows are read: a row written meanwhile leaves the new
  // index stale, never wrongly current.
  buildStamp_ = tipStamp();
  toBuild_ = int(buildStamp_.count);
  built_ = 0;
  buildAfter_ = 0;
}

namespace {

// Copies the tips that read yields into the index that write inserts into, their texts as
// the tip database holds them, without a round trip through QString. Returns the rows
// copied and the last key.
std::pair<int, qint64> copyTips(Statement &read, Statement &write) {
  int copied = 0;
  qint64 last = 0;
  while (read.step()) {
    const auto copy = [&](int col, int param) {
      const auto *data = sqlite3_column_text(read.handle(), col);
      if (data)
        sqlite3_bind_text(write.handle(), param, reinterpret_cast<const char *>(data),
                          sqlite3_column_bytes(read.handle(), col), SQLITE_TRANSIENT);
      else
        sqlite3_bind_null(write.handle(), param);
    };
    last = read.int64(0);
    sqlite3_bind_int64(write.handle(), 1, last);
    copy(2, 2);
    copy(3, 3);
    sqlite3_bind_int64(write.handle(), 4, read.int64(1));
    write.step();
    write.reset();
    ++copied;
  }
  read.reset();
  return {copied, last};
}

const char *const kReadTips = "SELECT TIPS_ID, GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION FROM Tips ";
const char *const kWriteTip =
    "INSERT INTO tip_text(rowid, subject, description, group_id) VALUES (?1, ?2, ?3, ?4)";
// The index's words into its list of words.
const char *const kListWords =
    "CREATE VIRTUAL TABLE temp.all_words USING fts5vocab(main, tip_text, row);"
    "INSERT OR IGNORE INTO words SELECT term FROM temp.all_words;"
    "DROP TABLE temp.all_words;";

} // namespace

bool TipIndex::buildStep(int rows) {
  if (!files_->build)
    return true;
  // Each step reads its rows by key and then lets the tip database go, so the user can
  // save between steps.
  Statement read(tipDatabase(), QLatin1String(kReadTips) +
                                    QStringLiteral("WHERE TIPS_ID > ?1 ORDER BY TIPS_ID LIMIT ?2"));
  read.bind(1, buildAfter_);
  read.bind(2, rows);
  Statement write(files_->build.handle(), QLatin1String(kWriteTip));
  const auto [copied, last] = copyTips(read, write);
  if (copied)
    buildAfter_ = last;
  built_ += copied;
  if (copied < rows) {
    finishBuild();
    return true;
  }
  return false;
}

void TipIndex::tipsAddedInRange(qint32 firstKey, qint32 lastKey, tips::WorkProgress &progress) {
  if (lastKey < firstKey || (!files_->index && !QFileInfo::exists(path_)))
    return;
  try {
    bool fewer = false;
    {
      Statement count(index(), QStringLiteral("SELECT tip_count FROM stamp"));
      fewer = count.step() && count.int64(0) < qint64(lastKey) - firstKey + 1;
    }
    if (fewer) {
      rebuild(progress);
      return;
    }
  } catch (const store::StoreError &) {
    markStale();
    return;
  }
  files_->tips.close(); // a fresh connection sees the rows just committed
  try {
    progress.checkpoint();
  } catch (const tips::WorkCancelled &) {
    markStale(); // the tips are in; the index is behind them until it is built again
    throw;
  }
  writeOrMarkStale([&](sqlite3 *db) {
    Statement read(tipDatabase(),
                   QLatin1String(kReadTips) + QStringLiteral("WHERE TIPS_ID BETWEEN ?1 AND ?2"));
    read.bind(1, firstKey);
    read.bind(2, lastKey);
    Statement write(db, QLatin1String(kWriteTip));
    progress.begin(QStringLiteral("tips"), qint64(lastKey) - firstKey + 1);
    const auto [copied, last] = copyTips(read, write);
    progress.advance(copied);
    execute(db, kListWords);
    Statement stamp(db, QStringLiteral("UPDATE stamp SET tip_count = tip_count + ?1, "
                                       "highest_key = max(highest_key, ?2)"));
    stamp.bind(1, copied);
    stamp.bind(2, last);
    stamp.step();
  });
}

void TipIndex::finishBuild() {
  sqlite3 *build = files_->build.handle();
  Statement stamp(build, QStringLiteral("INSERT INTO stamp VALUES (?1, ?2)"));
  stamp.bind(1, buildStamp_.count);
  stamp.bind(2, buildStamp_.highestKey);
  stamp.step();
  stamp.reset();
  execute(build, "COMMIT");
  // One segment makes every later query cheaper; later writes merge as usual.
  execute(build, "INSERT INTO tip_text(tip_text) VALUES ('optimize');"
                 "INSERT INTO tip_text(tip_text, rank) VALUES ('automerge', 4);"
                 "INSERT INTO tip_text(tip_text, rank) VALUES ('crisismerge', 16);");
  execute(build, kListWords);
  files_->build.close();
  files_->index.close();
  const QString fresh = path_ + QStringLiteral(".new");
  // rename() replaces the old file in one step: a reader sees the old index or the new.
  const bool replaced =
      std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path_).constData()) == 0;
  if (!replaced)
    QFile::remove(fresh);
  files_->buildLock.reset();
  if (!replaced)
    throw store::StoreError(
        QStringLiteral("The search index %1 could not be replaced.").arg(path_));
}

void TipIndex::rebuild(tips::WorkProgress &progress) {
  // Another program that was building the index meanwhile has built it: it stands as
  // current, and is not built a second time.
  if (lockBuild(progress)) {
    files_->index.close(); // it may still be open on the file the other build replaced
    if (health() == Health::Current) {
      files_->buildLock.reset();
      return;
    }
  }
  try {
    startBuild();
    progress.begin(QStringLiteral("tips"), toBuild_);
    for (;;) {
      progress.checkpoint();
      // The last step also writes the index whole and puts it in place.
      if (built_ + kRebuildStep >= toBuild_)
        progress.setCancellable(false);
      if (buildStep(kRebuildStep))
        break;
      progress.advance(built_);
    }
    progress.advance(built_);
  } catch (...) {
    if (files_->build) {
      files_->build.close();
      QFile::remove(path_ + QStringLiteral(".new"));
    }
    files_->buildLock.reset();
    throw;
  }
}

SearchResult TipIndex::search(const QString &typed, int limit) {
  SearchResult result;
  const std::vector<Piece> pieces = piecesOf(typed);
  if (pieces.empty())
    return result;
  sqlite3 *db = index();
  const auto count = [&](const QString &expression, int cap) {
    Statement s(db, QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM tip_text WHERE tip_text "
                                   "MATCH ?1 LIMIT ?2)"));
    s.bind(1, expression);
    s.bind(2, cap + 1);
    s.step();
    return int(s.int64(0));
  };
  qint64 tips = 1;
  {
    Statement s(db, QStringLiteral("SELECT tip_count FROM stamp"));
    if (s.step())
      tips = std::max<qint64>(1, s.int64(0));
  }
  // Each piece's expression, with its phrases and its rarity for obx_rank.
  QStringList parts, phrasePieces, rarities;
  for (int i = 0; i < int(pieces.size()); ++i) {
    const Piece &piece = pieces[std::size_t(i)];
    QString expression = piece.expression();
    int phrases = 1;
    const QString stem = tokenForm(piece.words.first());
    if (!piece.phrase && piece.words.size() == 1 && stem.size() != kPrefixIndexLength) {
      Statement words(db, QStringLiteral("SELECT term FROM words WHERE term >= ?1 AND "
                                         "term < ?2 ORDER BY term LIMIT ?3"));
      words.bind(1, stem);
      const char32_t highest = 0x10FFFF;
      words.bind(2, stem + QString::fromUcs4(&highest, 1));
      words.bind(3, kMostExpansions + 1);
      QStringList found;
      while (words.step())
        found << ftsString({words.text(0)});
      // None found (a letter that folds otherwise than here): the prefix query decides.
      if (!found.isEmpty() && found.size() <= kMostExpansions) {
        expression = QLatin1Char('(') + found.join(QStringLiteral(" OR ")) + QLatin1Char(')');
        phrases = int(found.size());
      }
    }
    const int matches = std::max(1, count(expression, kRarityCap));
    const double rarity = std::log((tips - matches + 0.5) / (matches + 0.5) + 1);
    for (int p = 0; p < phrases; ++p)
      phrasePieces << QString::number(i);
    if (i < kMostRarities)
      rarities << QString::number(rarity, 'g', 6);
    parts << expression;
  }
  const QString expression = parts.join(QStringLiteral(" AND "));
  result.total = count(expression, kCountCap);
  result.capped = result.total > kCountCap;
  if (result.capped)
    result.total = kCountCap;
  if (result.total == 0)
    return result;
  qint64 floor = 0;
  if (result.total > kRankWindow) {
    Statement newest(db, QStringLiteral("SELECT rowid FROM tip_text WHERE tip_text MATCH ?1 "
                                        "ORDER BY rowid DESC LIMIT 1 OFFSET ?2"));
    newest.bind(1, expression);
    newest.bind(2, kRankWindow - 1);
    if (newest.step())
      floor = newest.int64(0);
  }
  // The numbers are the program's own, never typed text.
  Statement ranked(db, QStringLiteral("SELECT rowid, group_id, subject FROM tip_text WHERE "
                                      "tip_text MATCH ?1 AND rowid >= ?2 ORDER BY "
                                      "obx_rank(tip_text, ?4, %1) DESC LIMIT ?3")
                           .arg(rarities.join(QLatin1Char(','))));
  ranked.bind(1, expression);
  ranked.bind(2, floor);
  ranked.bind(3, limit);
  ranked.bind(4, phrasePieces.join(QLatin1Char(',')));
  while (ranked.step()) {
    FoundTip tip;
    tip.tipId = qint32(ranked.int64(0));
    tip.groupId = qint32(ranked.int64(1));
    tip.subject = ranked.text(2);
    result.tips.push_back(std::move(tip));
  }
  // Excerpts and group names for the listed tips only. FTS5's snippet() would run the
  // whole match again for each tip.
  QStringList stems;
  for (const Piece &piece : pieces)
    stems << tokenForm(piece.words.first());
  Statement description(db, QStringLiteral("SELECT description FROM tip_text WHERE rowid = ?1"));
  Statement group(tipDatabase(),
                  QStringLiteral("SELECT TIP_GROUP FROM \"Group\" WHERE GROUP_ID = ?1"));
  QHash<qint32, QString> groupNames;
  for (FoundTip &tip : result.tips) {
    description.bind(1, tip.tipId);
    if (description.step())
      tip.excerpt = excerptOf(description.text(0), stems);
    description.reset();
    auto known = groupNames.find(tip.groupId);
    if (known == groupNames.end()) {
      group.bind(1, tip.groupId);
      known = groupNames.insert(tip.groupId, group.step() ? group.text(0) : QString());
      group.reset();
    }
    tip.groupName = *known;
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

void TipIndex::writeOrMarkStale(const std::function<void(sqlite3 *)> &write) {
  try {
    sqlite3 *db = index();
    execute(db, "BEGIN IMMEDIATE");
    try {
      write(db);
      execute(db, "COMMIT");
    } catch (...) {
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      throw;
    }
  } catch (const store::StoreError &) {
    markStale();
  }
}

void TipIndex::putTips(const std::vector<tips::TipText> &written) {
  if (written.empty() || (!files_->index && !QFileInfo::exists(path_)))
    return;
  writeOrMarkStale([&](sqlite3 *db) {
    Statement drop(db, QStringLiteral("DELETE FROM tip_text WHERE rowid = ?1"));
    Statement add(db, QStringLiteral("INSERT INTO tip_text(rowid, subject, description, "
                                     "group_id) VALUES (?1, ?2, ?3, ?4)"));
    Statement word(db, QStringLiteral("INSERT OR IGNORE INTO words VALUES (?1)"));
    Statement stamp(db, QStringLiteral("UPDATE stamp SET tip_count = tip_count + 1, "
                                       "highest_key = max(highest_key, ?1)"));
    for (const tips::TipText &tip : written) {
      drop.bind(1, tip.tipId);
      drop.step();
      drop.reset();
      const bool isNew = sqlite3_changes(db) == 0;
      add.bind(1, tip.tipId);
      add.bind(2, tip.subject);
      add.bind(3, tip.description);
      add.bind(4, tip.groupId);
      add.step();
      add.reset();
      // Each distinct word once: a long description repeats most of its words, and is not
      // held again as a list of every one.
      QSet<QString> distinct;
      const auto keep = [&distinct](const QString &w) { distinct.insert(w); };
      forEachWord(tip.subject, keep);
      forEachWord(tip.description, keep);
      for (const QString &w : distinct) {
        word.bind(1, tokenForm(w));
        word.step();
        word.reset();
      }
      if (isNew) {
        stamp.bind(1, tip.tipId);
        stamp.step();
        stamp.reset();
      }
    }
  });
}

void TipIndex::removeTips(const std::vector<qint32> &tipIds) {
  if (tipIds.empty() || (!files_->index && !QFileInfo::exists(path_)))
    return;
  writeOrMarkStale([&](sqlite3 *db) {
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
  });
}

std::unique_ptr<TipIndex> indexFollowing(const QString &tipDatabasePath) {
  return std::make_unique<TipIndex>(indexPathBeside(tipDatabasePath), tipDatabasePath);
}

} // namespace search
