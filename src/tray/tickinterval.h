#pragma once

// The tray resident's timers sleep until the next moment that matters and
// fire one millisecond after it.

// A timer whose moment has passed tries again after this long.
constexpr int RetryInterval = 10000;

// Milliseconds from the program clock's now to one past moment (a local
// date-time), at most longest; RetryInterval when the moment has passed.
int IntervalUntil(double moment, int longest);
