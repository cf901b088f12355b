#pragma once
// The tip of the day: one tip at a time, in a random order that shows every tip once
// before any comes again, remembered across runs in a small settings file beside the tip
// database ("tipoftheday.ini"), never in the database's tables, which peers read.
//
// A round covers the tips there are when it begins. Tips deleted during a round are
// skipped; tips added during a round come in the next one. The order is computed from the
// round's seed: over the keys up to the highest when they lie close together, else over
// the tips' places (a database whose keys are far apart after many deletions).

#include <QString>
#include <optional>

#include "tips/TipRows.h"

namespace tips {

// What the settings file keeps.
struct TipOfTheDayState {
  bool showAtStart = true;
  quint64 seed = 0;
  qint64 size = 0;      // the numbers the round's order runs over; 0: no round begun
  bool byPlace = false; // the order runs over places in the table rather than over keys
  qint64 place = -1;    // the place of the tip shown last; -1: none yet in this round
  bool operator==(const TipOfTheDayState &) const = default;
};

// A missing or unreadable file reads as a new user's: tips shown at start, no round.
TipOfTheDayState readTipOfTheDayState(const QString &path);
// False when the file could not be written.
bool storeTipOfTheDayState(const QString &path, const TipOfTheDayState &state);

class TipOfTheDay {
public:
  TipOfTheDay(QString statePath, TipRows &rows);

  bool showAtStart() const { return state_.showAtStart; }
  // Kept at once; false when the settings file could not be written.
  bool setShowAtStart(bool show);

  // The tip after the one shown last; at the end of a round, the first of a new round.
  // None when there is no tip at all.
  std::optional<TipHeading> next();
  // The tip shown before the one shown last, in this round; none at its beginning (the
  // place stays then).
  std::optional<TipHeading> previous();
  // Whether the round has a tip before the one shown last (tips deleted since aside).
  bool hasPrevious() const { return state_.place > 0; }

  const TipOfTheDayState &state() const { return state_; }

private:
  // The tip at a place of the round's order, if it still exists.
  std::optional<TipHeading> tipAt(qint64 place);
  void beginRound();
  void keep();

  QString path_;
  TipRows &rows_;
  TipOfTheDayState state_;
};

} // namespace tips
