#include "terminal/ReadCommands.h"

#include "search/TipIndex.h"
#include "store/StoreError.h"
#include "terminal/Output.h"
#include "terminal/Site.h"
#include "terminal/TipLookup.h"

#include <QRandomGenerator>

namespace terminal {

namespace {

// Builds the index as the Find Tips screen does when it finds it missing, damaged or
// behind the tips; another program building it meanwhile is waited for (TipIndex).
void buildIndex(search::TipIndex &index) {
  printNote(QStringLiteral("Building the search index (once, or after the tips changed "
                           "elsewhere)..."));
  index.rebuild();
}

// The tip's key from a command-line word: a whole number the tips' keys can be.
std::optional<qint32> tipKey(const QString &word) {
  bool ok = false;
  const qint32 key = word.toInt(&ok);
  if (!ok || key <= 0)
    return std::nullopt;
  return key;
}

} // namespace

int runFind(const CommandArguments &arguments, Site &site) {
  if (arguments.words.isEmpty()) {
    printError(QStringLiteral("find"), QStringLiteral("give the words to search for"));
    return kUsage;
  }
  int limit = search::kListedTips;
  if (const auto given = arguments.value(QStringLiteral("--limit"))) {
    bool ok = false;
    limit = given->toInt(&ok);
    if (!ok || limit <= 0) {
      printError(QStringLiteral("find"),
                 QStringLiteral("--limit takes a whole number above 0, not '%1'").arg(*given));
      return kUsage;
    }
  }
  const QString typed = arguments.words.join(QLatin1Char(' '));
  search::TipIndex index(site.paths().tipIndex(), site.paths().tipDatabase());
  if (index.health() != search::TipIndex::Health::Current)
    buildIndex(index);
  search::SearchResult result;
  try {
    result = index.search(typed, limit);
  } catch (const store::StoreError &) {
    // The index went bad since its health was read (damaged, removed): built again once,
    // as the screen does; a second failure is the tip database's and is told.
    index.close();
    buildIndex(index);
    result = index.search(typed, limit);
  }
  if (arguments.has(QStringLiteral("--json")))
    printOut(foundJson(typed, result));
  else if (result.tips.empty())
    printNote(QStringLiteral("No tip holds \"%1\".").arg(typed));
  else
    printOut(foundText(result));
  return kDone;
}

int runShow(const CommandArguments &arguments, Site &site) {
  if (arguments.words.size() != 1) {
    printError(QStringLiteral("show"), QStringLiteral("give one tip number (the [number] that "
                                                      "find and random print)"));
    return kUsage;
  }
  const std::optional<qint32> key = tipKey(arguments.words.first());
  std::optional<TipRecord> tip;
  if (key)
    tip = TipLookup(site.paths().tipDatabase()).tip(*key);
  if (!tip) {
    printError(QStringLiteral("show"),
               QStringLiteral("there is no tip numbered '%1'").arg(arguments.words.first()));
    return kFailed;
  }
  printOut(arguments.has(QStringLiteral("--json")) ? tipJson(*tip) : tipText(*tip));
  return kDone;
}

int runRandom(const CommandArguments &arguments, Site &site) {
  // A little more than is shown, so that a longer description is seen to be shortened.
  const std::optional<TipRecord> tip =
      TipLookup(site.paths().tipDatabase()).randomTip(kRandomCharacters * 2, [](quint64 below) {
        return QRandomGenerator::global()->bounded(below);
      });
  if (!tip) {
    printError(QStringLiteral("random"), QStringLiteral("there are no tips yet"));
    return kFailed;
  }
  const ShortText description = shortDescription(tip->description, kRandomCharacters, kRandomLines);
  printOut(arguments.has(QStringLiteral("--json")) ? fortuneJson(*tip, description)
                                                   : fortuneText(*tip, description));
  return kDone;
}

} // namespace terminal
