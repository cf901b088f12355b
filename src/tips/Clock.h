#pragma once
// Today's date, as the rules see it. Every write that dates a row asks a clock, so a test
// (or the data generator, which dates the delivered rows with the release day) can say
// which day it is.

#include <QDate>
#include <QDateTime>

namespace tips {

class Clock {
public:
  QDate today() const { return day_.isValid() ? day_ : QDate::currentDate(); }
  // Now, on the day the clock says.
  QDateTime now() const { return QDateTime(today(), QTime::currentTime()); }
  // From now on today is this day; an invalid date brings back the calendar's day.
  void setToday(const QDate &day) { day_ = day; }

private:
  QDate day_;
};

} // namespace tips
