#include "duereminders.h"

#include "tickinterval.h"

#include "platform/datetime.h"
#include "platform/paths.h"
#include "shared/reminderdates.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"

#include <cmath>
#include <limits>

namespace {

// No moment yet: the tick sleeps its longest. The hour is counted in real
// time, not as a date-time an hour on, which on the night summer time begins
// would pass over the reminders of the hour after the jump.
constexpr double NoMoment = std::numeric_limits<double>::infinity();

int intervalUntil(double limit)
{
    return limit == NoMoment ? MaxReminderInterval : IntervalUntil(limit, MaxReminderInterval);
}

} // namespace

DueTest IsReminderDue(const ReminderRecord& record, double now)
{
    if (record.Erased || record.SoundOnly)
        return {};
    const auto remind = StoredDateTime(record.RemindDate, record.RemindTime);
    const auto event = StoredDateTime(record.EventDate, record.EventTime);
    if (!remind || !event)
        return {};

    double start;
    double due;
    if (std::abs(*event - *remind) < OneSecond) {
        // Not put off: the advance counts back from the event, fractions of
        // a unit included.
        due = *remind;
        switch (record.AdvanceKind) {
        case akHours:
            start = *remind - record.AdvanceAmount / HoursPerDay;
            break;
        case akDays:
            start = *remind - record.AdvanceAmount;
            break;
        case akAbsolute:
            start = record.AdvanceAmount;
            break;
        default:
            start = *remind - record.AdvanceAmount / MinsPerDay;
            break;
        }
    } else {
        start = *remind;
        due = *event;
    }

    // An absolute advance or an amount that is damage places no pop-up,
    // as an unreadable date does not.
    if (!IsValidDateTime(start))
        return {};

    DueTest test;
    test.start = start;
    if (PastDueMinute(now, due)) {
        if (!RemindsWhenOverdue(record.OverdueAction))
            test.verdict = DueVerdict::Lapsed;
        else if (record.OverdueAction == oaAsSoonAsPossible
            || now < AddUnits(record.OverdueAction, record.OverdueAmount, due))
            test.verdict = DueVerdict::Due;
    } else if (start <= now) {
        test.verdict = DueVerdict::Due;
    }
    return test;
}

DueReminderTick::DueReminderTick(int32_t repeatMinutes)
    : m_limit(NoMoment)
    , m_next(NoMoment)
    , m_repeatMinutes(repeatMinutes)
{
}

DueVerdict DueReminderTick::visit(const ReminderRecord& record, double now)
{
    const DueTest test = IsReminderDue(record, now);
    if (test.start)
        m_next = *test.start;
    if (test.verdict == DueVerdict::Due)
        m_next = now + m_repeatMinutes / MinsPerDay; // posted again while it stays due
    if (m_next < m_limit && m_next > now)
        m_limit = m_next;
    return test.verdict;
}

int DueReminderTick::interval() const
{
    return intervalUntil(m_limit);
}

bool InSoundWindow(int32_t kind, int32_t amount, double now, double due)
{
    if (now < due)
        return false;
    switch (kind) {
    case oaNothing:
        return now <= due + OneMinute;
    case oaAsSoonAsPossible:
        return true;
    case oaWithinMinutes:
    case oaWithinHours:
    case oaWithinDays:
        return now <= AddUnits(kind, amount, due);
    default:
        return false;
    }
}

QString NextListedWeekday(const QString& weekdays, double eventTime, double now)
{
    int d = DayOfWeek(now);
    int shift = 0;
    if (TimeOf(now) < TimeOf(eventTime)) {
        // Today's moment is still ahead, so today counts.
        --d;
        shift = -1;
    }
    int n = 7;
    for (int k = d + 1; k <= 14; ++k) {
        const int digit = k <= 7 ? k : k - 7;
        if (weekdays.contains(QString::number(digit))) {
            n = k - d;
            break;
        }
    }
    return DateToStr(now + n + shift);
}

namespace {

// The record's next date, or erased when it does not repeat. The event date
// parsed already.
void moveOn(ReminderRecord& record, double eventDate, double eventTime, double now)
{
    switch (record.RepeatKind) {
    case rkNone:
        record.Erased = true;
        break;
    case rkWeekdays:
        record.EventDate = NextListedWeekday(record.Weekdays, eventTime, now);
        break;
    case rkYearly:
        record.EventDate = DateToStr(IncYears(1, eventDate));
        break;
    default:
        record.EventDate = DateToStr(eventDate + 7);
        break;
    }
}

} // namespace

SoundCheck CheckSoundReminder(
    ReminderRecord& record, const QString& baseDir, double now, double& next, const SoundPlayer& play, int failedBefore)
{
    SoundCheck check;
    if (record.Erased || !record.SoundOnly)
        return check;
    const auto date = TryStrToDate(record.EventDate);
    const auto time = TryStrToTime(record.EventTime);
    if (!date || !time)
        return check;
    const double due = ExistingLocalTime(ComposeDateTime(*date, *time));

    if (InSoundWindow(record.OverdueAction, record.OverdueAmount, now, due)) {
        for (const QString* sound : { &record.Sound1, &record.Sound2, &record.Sound3 }) {
            const QString path = LocalPath(ExpandDataPath(*sound, baseDir));
            if (path.isEmpty())
                continue;
            const SoundService::Result result = play(path);
            if (result == SoundService::Played || result == SoundService::FileNotFound)
                continue;
            if (failedBefore + 1 < MaxSoundFailures) {
                check.failed = true;
                next = now;
                return check;
            }
            break; // it never plays: on as if it had
        }
    }
    if (now >= due) {
        moveOn(record, *date, *time, now);
        check.changed = true;
    }
    if (!record.Erased)
        next = StoredDateTime(record.EventDate, record.EventTime).value_or(next);
    return check;
}

SoundReminderTick::SoundReminderTick(double now)
    : m_now(now)
    , m_limit(NoMoment)
    , m_next(NoMoment)
{
}

SoundCheck SoundReminderTick::visit(
    ReminderRecord& record, const QString& baseDir, const SoundPlayer& play, int failedBefore)
{
    const SoundCheck check = CheckSoundReminder(record, baseDir, m_now, m_next, play, failedBefore);
    if (m_next < m_limit)
        m_limit = m_next;
    return check;
}

int SoundReminderTick::interval() const
{
    // A sound to try again, or a reminder still behind after moving on.
    if (m_limit <= m_now)
        return RetryInterval;
    return intervalUntil(m_limit);
}
