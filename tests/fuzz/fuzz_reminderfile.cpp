// The reminder file as the tray resident's ticks, the overview's lists, the
// information panel and the collision check read it.
#include "fuzzsupport.h"

#include "platform/datetime.h"
#include "platform/errors.h"
#include "shared/reminderdates.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"
#include "shared/reminderlists.h"
#include "tray/duereminders.h"

#include <cstdlib>

namespace {

Fuzz::Seeds seeds()
{
    const QList<ReminderRecord> all = Fuzz::sampleReminders();
    Fuzz::Seeds s { Fuzz::reminderFile(all.mid(0, 3)) };
    for (const ReminderRecord& r : all)
        s << Fuzz::reminderFile({ r });
    return s;
}

void checkInterval(int ms, int longest)
{
    if (ms < 1 || ms > longest)
        std::abort();
}

void run(const QByteArray& input)
{
    const QString file = Fuzz::path(QStringLiteral("korvel.da1"));
    Fuzz::write(QStringLiteral("korvel.da1"), input);
    const double now = Fuzz::now();
    try {
        DueReminderTick due(5);
        SoundReminderTick sound(now);
        ForEachReminder(file, [&](int, const ReminderRecord& r) {
            due.visit(r, now);
            ReminderRecord changed = r;
            sound.visit(
                changed, Fuzz::path(QString()), [](const QString&) { return SoundService::Played; }, 0);
            (void)DurationText(r.Length);
            (void)EventEndText(r.EventDate, r.EventTime, r.Length);
            if (const auto start = StoredDateTime(r.EventDate, r.EventTime)) {
                (void)RemainingText(*start - now);
                (void)WeekdayDateTimeText(WarnTimeBefore(r.AdvanceKind, r.AdvanceAmount, *start));
                (void)WeekdayDateTimeText(AddUnits(r.OverdueAction, r.OverdueAmount, *start));
            }
            (void)WeekdayDateTimeText(r.Created);
        });
        checkInterval(due.interval(), MaxReminderInterval);
        checkInterval(sound.interval(), MaxReminderInterval);
        for (const bool limit : { false, true })
            (void)BuildReminderList(file, limit, now, DateOf(now) + 1, limit);
        bool any = false;
        (void)BuildWarnedList(file, DateOf(now) + 1, any);
        (void)NearestEventDate(file, true, now);
        (void)NearestEventDate(file, false, now);
        (void)CheckCollisions(1, file, now, 2.0);
    } catch (const IoError&) {
    }
}

} // namespace

KORVEL_FUZZ_TARGET(seeds, run)
