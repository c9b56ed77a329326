// The tray resident's timer ticks over a reminder file of 10,000 records: the
// real hidden form (offscreen), the file read once per tick, every record
// parsed and judged, the event loop served before each record.
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/paths.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"
#include "tray/f_skryto.h"

#include "offscreen.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int RecordCount = 10000;

// A week of reminders ahead of the clock, one in eight of them sound-only and
// one in sixteen erased: nothing is due, so the tick posts and plays nothing.
void writeReminders(const QString& path, double now)
{
    for (int i = 1; i <= RecordCount; ++i) {
        const double event = now + 1 + (i % (7 * 24 * 4)) / 96.0;
        ReminderRecord r;
        r.ID = i;
        r.Created = now - 30;
        r.RemindDate = r.EventDate = DateToStr(event);
        r.RemindTime = r.EventTime = FormatDateTime("hh:nn", event);
        r.SoundOnly = i % 8 == 0;
        r.RepeatKind = rkWeekly;
        r.AdvanceKind = akMinutes;
        r.AdvanceAmount = 15;
        r.OverdueAction = oaWithinMinutes;
        r.OverdueAmount = 10;
        r.Sound1 = "\\sound\\zvonek.wav";
        r.Description1 = QString("Porada oddělení číslo %1, zasedací místnost ve druhém patře.").arg(i);
        r.Title = QString("Porada %1").arg(i);
        r.Erased = i % 16 == 1;
        WriteReminder(i, path, r);
    }
}

struct Tray {
    QTemporaryDir dir;
    std::unique_ptr<TFSkryt> form;

    static Tray& get()
    {
        static Tray tray;
        return tray;
    }

private:
    Tray()
    {
        SetProgramFolderForTests(dir.path());
        Clock::setNow(QDateTime(QDate(2025, 3, 10), QTime(9, 0)));
        writeReminders(dir.filePath("korvel.da1"), Now());
        form = std::make_unique<TFSkryt>();
    }
};

void BM_DueReminderTick(benchmark::State& state)
{
    TFSkryt& form = *Tray::get().form;
    for (auto _ : state)
        form.TPripTimer();
    if (form.TPrip.interval() != 3600001)
        state.SkipWithError("the tick did not see the file as it should");
}
BENCHMARK(BM_DueReminderTick)->Unit(benchmark::kMillisecond);

void BM_SoundReminderTick(benchmark::State& state)
{
    TFSkryt& form = *Tray::get().form;
    for (auto _ : state)
        form.TPripZvukTimer();
}
BENCHMARK(BM_SoundReminderTick)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runOffscreen(argc, argv);
}
