#include "tips/TipOfTheDay.h"

#include "tips/ShuffledOrder.h"

#include <QRandomGenerator>
#include <QSettings>

namespace tips {

namespace {

const QString kShowAtStart = QStringLiteral("ShowAtStart");
const QString kSeed = QStringLiteral("Seed");
const QString kSize = QStringLiteral("Size");
const QString kByPlace = QStringLiteral("ByPlace");
const QString kPlace = QStringLiteral("Place");

// Keys further apart than this on average are ordered by place: walking keys would try
// several missing ones for every tip found.
constexpr qint64 kMostKeysPerTip = 4;

} // namespace

TipOfTheDayState readTipOfTheDayState(const QString &path) {
  TipOfTheDayState state;
  const QSettings file(path, QSettings::IniFormat);
  state.showAtStart = file.value(kShowAtStart, true).toBool();
  bool seedRead = false;
  bool sizeRead = false;
  bool placeRead = false;
  state.seed = file.value(kSeed).toString().toULongLong(&seedRead);
  state.size = file.value(kSize).toString().toLongLong(&sizeRead);
  state.byPlace = file.value(kByPlace, false).toBool();
  state.place = file.value(kPlace).toString().toLongLong(&placeRead);
  // A round the file does not describe whole (edited by hand, cut short) begins again.
  if (!seedRead || !sizeRead || !placeRead || state.size <= 0 || state.place < -1 ||
      state.place >= state.size) {
    state.size = 0;
    state.place = -1;
  }
  return state;
}

bool storeTipOfTheDayState(const QString &path, const TipOfTheDayState &state) {
  QSettings file(path, QSettings::IniFormat);
  file.setValue(kShowAtStart, state.showAtStart);
  file.setValue(kSeed, QString::number(state.seed));
  file.setValue(kSize, QString::number(state.size));
  file.setValue(kByPlace, state.byPlace);
  file.setValue(kPlace, QString::number(state.place));
  file.sync();
  return file.status() == QSettings::NoError;
}

TipOfTheDay::TipOfTheDay(QString statePath, TipRows &rows)
    : path_(std::move(statePath)), rows_(rows), state_(readTipOfTheDayState(path_)) {}

bool TipOfTheDay::setShowAtStart(bool show) {
  state_.showAtStart = show;
  return storeTipOfTheDayState(path_, state_);
}

void TipOfTheDay::keep() {
  // The order not being remembered costs a tip shown again, not worth a message.
  storeTipOfTheDayState(path_, state_);
}

void TipOfTheDay::beginRound() {
  const qint64 count = rows_.tipCount();
  const qint64 highest = rows_.highestTipKey();
  state_.seed = QRandomGenerator::system()->generate64();
  state_.byPlace = highest > kMostKeysPerTip * count;
  state_.size = state_.byPlace ? count : highest;
  state_.place = -1;
}

std::optional<TipHeading> TipOfTheDay::tipAt(qint64 place) {
  const qint64 n = ShuffledOrder(state_.seed, state_.size).at(place);
  if (!state_.byPlace)
    return rows_.tipHeading(qint32(n + 1));
  const std::optional<qint32> key = rows_.tipKeyAt(n);
  return key ? rows_.tipHeading(*key) : std::nullopt;
}

std::optional<TipHeading> TipOfTheDay::next() {
  // The rest of this round, then one new round: a round that finds nothing means there
  // is no tip.
  for (int round = 0; round < 2; ++round) {
    if (round == 1 || state_.size == 0)
      beginRound();
    for (qint64 place = state_.place + 1; place < state_.size; ++place) {
      if (std::optional<TipHeading> tip = tipAt(place)) {
        state_.place = place;
        keep();
        return tip;
      }
    }
  }
  keep();
  return std::nullopt;
}

std::optional<TipHeading> TipOfTheDay::previous() {
  for (qint64 place = state_.place - 1; place >= 0; --place) {
    if (std::optional<TipHeading> tip = tipAt(place)) {
      state_.place = place;
      keep();
      return tip;
    }
  }
  return std::nullopt;
}

} // namespace tips
