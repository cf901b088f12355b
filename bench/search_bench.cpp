// Find Tips at scale: 1,000,000 tips in 3,000 groups, written in a made-up language whose
// word frequencies follow Zipf's law as real text does (a few words everywhere, most words
// rare), with accented words among them.
//   build/bench/bench_search
// SearchMillion runs a mixed set of 240 queries (whole words, beginnings of words, two and
// three words, accented words typed without accents) and reports the median and the 95th
// percentile of one query, in milliseconds. IndexBuildMillion builds the whole index.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <random>
#include <sqlite3.h>
#include <vector>

#include "search/TipIndex.h"
#include "store/Schema.h"

namespace {

constexpr int kTips = 1000000;
constexpr int kGroups = 3000;
constexpr int kVocabulary = 40000;

struct Corpus {
  QTemporaryDir temporary;
  QString dir;
  QString database;
  QString index;
  std::vector<QString> words;
  std::vector<std::vector<int>> sampleTips; // the words of some tips, to draw queries from
};

// Words of two to four syllables; every 97th carries an accent.
std::vector<QString> makeVocabulary(std::mt19937 &rng) {
  static const char *const syllables[] = {
      "ka", "lo",  "mi", "ter", "san", "dro", "vel", "pa",  "ri",  "qu",  "zen", "bor", "ti",
      "na", "gel", "fu", "ro",  "mas", "ple", "cor", "din", "ex",  "ul",  "ven", "sta", "mor",
      "li", "tra", "po", "hem", "ar",  "so",  "nit", "ba",  "gru", "fel", "ok",  "yan", "cle"};
  static const QString accents[] = {"é", "è", "ü", "ñ", "ç", "ô", "á", "ï"};
  std::uniform_int_distribution<int> syllable(0, int(std::size(syllables)) - 1);
  std::uniform_int_distribution<int> length(2, 4);
  std::vector<QString> words;
  QSet<QString> seen;
  while (int(words.size()) < kVocabulary) {
    QString w;
    for (int n = length(rng); n > 0; --n)
      w += QLatin1String(syllables[syllable(rng)]);
    if (words.size() % 97 == 0)
      w.insert(1, accents[words.size() % std::size(accents)]);
    if (!seen.contains(w)) {
      seen.insert(w);
      words.push_back(w);
    }
  }
  return words;
}

void check(int rc, sqlite3 *db) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
    throw std::runtime_error(sqlite3_errmsg(db));
}

Corpus &corpus() {
  static Corpus *c = [] {
    auto *corpus = new Corpus;
    // OBX_SEARCH_BENCH_DIR keeps the generated collection between runs (the same every time).
    corpus->dir = qEnvironmentVariable("OBX_SEARCH_BENCH_DIR", corpus->temporary.path());
    QDir().mkpath(corpus->dir);
    corpus->database = QDir(corpus->dir).filePath("ombrixtips.mdb");
    corpus->index = search::indexPathBeside(corpus->database);
    const bool generated = QFile::exists(corpus->database);
    if (!generated)
      store::createDatabase(corpus->database, store::DatabaseKind::TipDatabase);
    std::mt19937 rng(20261207);
    corpus->words = makeVocabulary(rng);
    // Zipf: the word of rank r is drawn with a weight of 1 / r.
    std::vector<double> weights(kVocabulary);
    for (int r = 0; r < kVocabulary; ++r)
      weights[r] = 1.0 / (r + 1);
    std::discrete_distribution<int> word(weights.begin(), weights.end());
    std::uniform_int_distribution<int> subjectLength(3, 7), descriptionLength(15, 60);

    sqlite3 *db = nullptr;
    sqlite3_open(corpus->database.toUtf8().constData(), &db);

    check(sqlite3_exec(db, "PRAGMA synchronous = OFF; BEGIN", nullptr, nullptr, nullptr), db);
    sqlite3_stmt *group = nullptr;
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO \"Group\"(GROUP_ID, TIP_GROUP, TIP_GROUP_FOLD) "
                             "VALUES (?1, ?2, lower(?2))",
                             -1, &group, nullptr),
          db);
    for (int g = generated ? kGroups + 1 : 1; g <= kGroups; ++g) {
      const QByteArray name = QStringLiteral("Group %1").arg(g, 4, 10, QLatin1Char('0')).toUtf8();
      sqlite3_bind_int(group, 1, g);
      sqlite3_bind_text(group, 2, name.constData(), -1, SQLITE_TRANSIENT);
      check(sqlite3_step(group), db);
      sqlite3_reset(group);
    }
    sqlite3_finalize(group);
    sqlite3_stmt *tip = nullptr;
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO Tips(GROUP_ID, TIP_SUBJECT, TIP_SUBJECT_FOLD, "
                             "TIP_DESCRIPTION) VALUES (?1, ?2, lower(?2), ?3)",
                             -1, &tip, nullptr),
          db);
    for (int t = 0; t < kTips; ++t) {
      std::vector<int> used;
      QString subject, description;
      for (int n = subjectLength(rng); n > 0; --n) {
        used.push_back(word(rng));
        subject +=
            (subject.isEmpty() ? QString() : QStringLiteral(" ")) + corpus->words[used.back()];
      }
      subject += QStringLiteral(" %1").arg(t); // subjects are unique
      for (int n = descriptionLength(rng); n > 0; --n) {
        used.push_back(word(rng));
        description +=
            corpus->words[used.back()] + (n % 9 == 0 ? QStringLiteral(". ") : QStringLiteral(" "));
      }
      if (t % 4000 == 0)
        corpus->sampleTips.push_back(used);
      if (generated)
        continue; // the same collection is already there: only the samples are drawn again
      const QByteArray s = subject.toUtf8(), d = description.toUtf8();
      sqlite3_bind_int(tip, 1, 1 + t % kGroups);
      sqlite3_bind_text(tip, 2, s.constData(), int(s.size()), SQLITE_TRANSIENT);
      sqlite3_bind_text(tip, 3, d.constData(), int(d.size()), SQLITE_TRANSIENT);
      check(sqlite3_step(tip), db);
      sqlite3_reset(tip);
    }
    sqlite3_finalize(tip);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
    return corpus;
  }();
  return *c;
}

// Without its accents, as a user who cannot type them would search.
QString plain(const QString &word) {
  QString out;
  for (const QChar c : word.normalized(QString::NormalizationForm_D))
    if (!c.isMark())
      out += c;
  return out;
}

// 240 queries drawn from the words of real tips, so that most find something: whole
// words, beginnings of three to five letters, two and three words, accented words.
std::vector<QString> queries(const Corpus &c) {
  std::mt19937 rng(7);
  std::vector<QString> list;
  auto pick = [&](const std::vector<int> &tip) {
    return c.words[tip[std::uniform_int_distribution<int>(0, int(tip.size()) - 1)(rng)]];
  };
  std::size_t n = 0;
  while (list.size() < 240) {
    const std::vector<int> &tip = c.sampleTips[n++ % c.sampleTips.size()];
    switch (list.size() % 6) {
    case 0:
      list.push_back(pick(tip));
      break;
    case 1: {
      const QString w = pick(tip);
      list.push_back(w.left(std::min<int>(int(w.size()), 3 + int(list.size() % 3))));
      break;
    }
    case 2:
      list.push_back(pick(tip) + ' ' + pick(tip));
      break;
    case 3:
      list.push_back(pick(tip) + ' ' + pick(tip) + ' ' + pick(tip).left(4));
      break;
    case 4:
      list.push_back(plain(c.words[97 * (1 + list.size() % 300)]));
      break;
    default:
      list.push_back('"' + pick(tip) + ' ' + pick(tip) + "\" " + pick(tip));
      break;
    }
  }
  return list;
}

void IndexBuildMillion(benchmark::State &state) {
  Corpus &c = corpus();
  search::TipIndex index(c.index, c.database);
  for (auto _ : state)
    index.rebuild();
  state.counters["tips"] = kTips;
}
BENCHMARK(IndexBuildMillion)->Unit(benchmark::kSecond)->Iterations(1);

void SearchMillion(benchmark::State &state) {
  Corpus &c = corpus();
  search::TipIndex index(c.index, c.database);
  if (index.health() != search::TipIndex::Health::Current)
    index.rebuild();
  const std::vector<QString> typed = queries(c);
  std::vector<double> times;
  std::vector<std::pair<double, QString>> slowest;
  double found = 0;
  for (auto _ : state) {
    for (const QString &q : typed) {
      const auto start = std::chrono::steady_clock::now();
      const search::SearchResult r = index.search(q, 200);
      times.push_back(
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count());
      slowest.emplace_back(times.back(), q);
      found += r.total;
    }
  }
  std::sort(times.begin(), times.end());
  // The slowest queries, to see what a change should aim at.
  std::sort(slowest.rbegin(), slowest.rend());
  for (std::size_t i = 0; i < 8 && i < slowest.size(); ++i)
    fprintf(stderr, "slow: %8.1f ms  %s\n", slowest[i].first,
            slowest[i].second.toUtf8().constData());
  state.counters["queries"] = double(times.size());
  state.counters["median_ms"] = times[times.size() / 2];
  state.counters["p95_ms"] = times[times.size() * 95 / 100];
  state.counters["max_ms"] = times.back();
  state.counters["mean_found"] = found / double(times.size());
}
BENCHMARK(SearchMillion)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
