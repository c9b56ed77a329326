#pragma once

#include <QtGlobal>

class QTimer;

// Timers that wait for a moment of the program clock: a quarter hour, the
// second a reminder falls due. A coarse Qt timer may fire up to 5 % of its
// interval late (minutes on an hour), so these run precise.
namespace WallTimer {

// Milliseconds from the program clock's now to one millisecond past moment
// (a local date-time, whole milliseconds), in real time: across a change to
// or from summer time this is not the difference of the two date-times. A
// moment that has passed gives 0 or less; the moment itself gives 1. A
// moment that does not convert (NaN, beyond the years 1..9999) never comes:
// the largest qint64.
qint64 MsecsUntil(double moment);

// Starts timer as a precise single shot after ms. Its handler stops it first
// and arms it again at the end; an early return leaves it stopped.
void Arm(QTimer& timer, int ms);

} // namespace WallTimer
