#pragma once

#include <QDateTime>

// The one source of the current local time. Tests set it; a program started
// with KORVEL_FAKE_NOW=<ISO date-time> in its environment runs with a clock
// that starts at that moment and goes on from there.
namespace Clock {

QDateTime now();

// Tests: stop the clock at t (it then moves only through advance).
void setNow(const QDateTime& t);
void advance(qint64 ms);
// Tests: let the clock run again from t onwards.
void setRunningFrom(const QDateTime& t);
// Back to the real time.
void reset();

} // namespace Clock
