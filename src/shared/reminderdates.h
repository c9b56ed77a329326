#pragma once

#include <QString>

#include <cstdint>
#include <optional>

class QLineEdit;

// Computations on reminder times that the pop-up, the forms, the lists and the
// tray resident share. Date-times are days since 1899-12-30, the time of day
// the fraction.

// dt moved by whole years; 29 February in a year without one becomes the 28th.
// NaN (no date) when dt does not convert or the year leaves 1..9999.
double IncYears(int16_t years, double dt);

// The first pop-up before an event, by advance kind; the amount counts whole
// units, or is itself the date-time for the absolute kind.
double WarnTimeBefore(int32_t advanceKind, double amount, double eventTime);

// The deadline of an overdue event for the "within n units" actions; 0 (no
// deadline) for the others.
double AddUnits(int32_t overdueAction, int32_t n, double dt);

// Minutes since midnight, seconds ignored.
int32_t MinuteOfDay(double dt);

// Whether now lies past the minute of a due moment. Reminder times are stored
// to the minute, so a reminder stays due for the whole of its minute: a timer
// that wakes just after the moment still finds it due, not overdue.
bool PastDueMinute(double now, double due);

// The event date (midnight) closest to dt strictly after it (forward) or
// before it, over the records not erased; dt itself when there is none.
// Records whose event date does not parse are passed over.
double NearestEventDate(const QString& path, bool forward, double dt);

// Before an event time with a length is stored: the other reminders whose
// whole event lies inside start .. start + length are listed and the user is
// asked whether to go on. mrYes without asking when there are none, else the
// answer (mrYes or mrNo). Records whose event does not parse are passed over.
int CheckCollisions(int32_t id, const QString& path, double start, double length);

// The input mask of the "hh:mm" time edits: an optional and a required hour
// digit, two required minute digits, "_" for a place not filled in.
inline const QString TimeEditMask = QStringLiteral("09:99;_");

// The time of day an "hh:mm" time edit holds, read as the old mask edits were:
// hours from the first two places (the unfilled optional one before or after
// the digit), minutes from the fourth and fifth; the third is not looked at.
// None while the text is no valid time (half typed).
std::optional<double> TimeEditValue(const QLineEdit* edit);

// Checks an "hh:mm" time edit as TimeEditValue reads it. When the text is no
// valid time the user is told, the focus goes back to the edit once the
// current focus change has settled, and the result is true.
bool TimeEditInvalid(QLineEdit* edit);
