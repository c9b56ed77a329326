#pragma once

#include "platform/soundservice.h"
#include "shared/reminderrecord.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

// What the two reminder timers of the tray resident make of the records of
// the reminder file, one record at a time: which pop-ups are due, which
// sound-only reminders sound and move on, and when to look again. Reading
// and writing the file, posting and playing are the caller's.

// A tick never sleeps longer than an hour and a millisecond.
constexpr int MaxReminderInterval = 3600001;
// A sound-only reminder whose sounds failed in this many ticks in a row moves
// on as if they had played, instead of being retried for ever.
constexpr int MaxSoundFailures = 3;

enum class DueVerdict {
    NotDue,
    Due, // its pop-up is to be shown now
    Lapsed, // its moment has passed with nothing more to do: it is to be erased
};

struct DueTest {
    DueVerdict verdict = DueVerdict::NotDue;
    // The first pop-up moment; none for a record the reminder timer does not
    // handle (erased, sound-only, or a date or time that does not parse).
    std::optional<double> start;
};

// The pop-up of a reminder at now: from its start (the advance before the
// event, or the moment it was put off to) to the end of its due minute, then
// by its overdue action. A tick that wakes just after the moment of a
// reminder without advance so posts it; one that comes after its minute (the
// computer was off) lets a reminder with nothing to do after the event lapse
// unseen.
DueTest IsReminderDue(const ReminderRecord& record, double now);

// One tick of the reminder timer over the records in position order; the
// timer looks again at the earliest coming start, or a due reminder's next
// repeat, at most an hour on.
class DueReminderTick {
public:
    explicit DueReminderTick(int32_t repeatMinutes);

    DueVerdict visit(const ReminderRecord& record, double now);
    // The timer's next interval, counted from the clock's now.
    int interval() const;

private:
    double m_limit;
    double m_next;
    int32_t m_repeatMinutes;
};

// Whether a sound-only reminder sounds at now, by its overdue action and
// amount: from its due moment for one minute, for ever, or for amount
// minutes, hours or days; never for any other action.
bool InSoundWindow(int32_t kind, int32_t amount, double now, double due);

// The date text of the next weekday listed in weekdays ("1" Sunday … "7"
// Saturday): today while today is listed and eventTime of day is still ahead,
// otherwise from tomorrow on; a week ahead when no day is listed.
QString NextListedWeekday(const QString& weekdays, double eventTime, double now);

// Plays one file; the path is a local one.
using SoundPlayer = std::function<SoundService::Result(const QString& path)>;

struct SoundCheck {
    bool changed = false; // moved on or erased: to be written back
    bool failed = false; // a sound failed; the record is to be tried again
};

// A sound-only reminder at now: within its window its sounds play (stored
// paths beginning with "\" are relative to baseDir; empty and missing files
// are passed over); once due it moves on to its next date, or is erased
// when it does not repeat. next becomes its due moment afterwards, or now
// when a sound failed and it is to be tried again. failedBefore counts the
// ticks in a row in which its sounds failed already: at MaxSoundFailures it
// moves on as if played. A record whose date or time does not parse is left
// alone.
SoundCheck CheckSoundReminder(ReminderRecord& record, const QString& baseDir, double now, double& next,
    const SoundPlayer& play, int failedBefore);

// One tick of the sound-only timer; now is taken once for the whole tick.
class SoundReminderTick {
public:
    explicit SoundReminderTick(double now);

    double now() const { return m_now; }
    SoundCheck visit(ReminderRecord& record, const QString& baseDir, const SoundPlayer& play, int failedBefore);
    // The timer's next interval: the earliest due moment, at most an hour on;
    // ten seconds when that has passed already.
    int interval() const;

private:
    double m_now;
    double m_limit;
    double m_next;
};
