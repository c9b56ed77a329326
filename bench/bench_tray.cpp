// The tray resident's timer ticks over a reminder file of 10,000 records: the
// real hidden form (offscreen), the file read once per tick, every record
// parsed and judged, the event loop let in between the records; and how much
// later than the first record's the last record's code reaches the reminders
// program.
#include "platform/clock.h"
#include "platform/commandchannel.h"
#include "platform/datetime.h"
#include "platform/paths.h"
#include "shared/reminderfile.h"
#include "shared/commands.h"
#include "shared/reminderkinds.h"
#include "tray/f_skryto.h"

#include "offscreen.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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
    // The reminders lie ahead of the real time, so that the clock may run.
    const QDateTime start = QDateTime::currentDateTime();
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
        // The codes go to the receiver below, never to a reminders program.
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
        Clock::setNow(start);
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

// The same tick on the real clock, through the C library's zone as the tray
// resident meets it.
void BM_DueReminderTickRealClock(benchmark::State& state)
{
    Tray& tray = Tray::get();
    Clock::reset();
    for (auto _ : state)
        tray.form->TPripTimer();
    Clock::setNow(tray.start);
    if (tray.form->TPrip.interval() != 3600001)
        state.SkipWithError("the tick did not see the file as it should");
}
BENCHMARK(BM_DueReminderTickRealClock)->Unit(benchmark::kMillisecond);

// Stands in for the reminders program: the moment each position arrives.
class Arrivals {
public:
    Arrivals()
    {
        const QByteArray path = QFile::encodeName(CommandChannel::socketPath(ReminderAppTitle));
        QDir().mkpath(CommandChannel::socketFolder());
        m_fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr {};
        addr.sun_family = AF_UNIX;
        qstrncpy(addr.sun_path, path.constData(), sizeof addr.sun_path);
        ::unlink(path.constData());
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
            qFatal("no socket for the reminders program");
        m_reader = std::thread([this] {
            int32_t message[2];
            while (::recv(m_fd, message, sizeof message, 0) == sizeof message) {
                if (message[0] == RecordCount)
                    m_last = clock::now().time_since_epoch().count();
                else if (message[0] == 1)
                    m_first = clock::now().time_since_epoch().count();
            }
        });
    }
    ~Arrivals()
    {
        ::shutdown(m_fd, SHUT_RDWR);
        m_reader.join();
        ::close(m_fd);
    }

    void reset() { m_first = m_last = 0; }
    // Seconds from the first record's code to the last one's; -1 when one
    // of them did not come within a second.
    double spread() const
    {
        for (int i = 0; i < 1000 && (m_first == 0 || m_last == 0); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (m_first == 0 || m_last == 0)
            return -1;
        return std::chrono::duration<double>(clock::duration(m_last - m_first)).count();
    }

private:
    using clock = std::chrono::steady_clock;
    int m_fd = -1;
    std::thread m_reader;
    std::atomic<clock::rep> m_first {0};
    std::atomic<clock::rep> m_last {0};
};

// Due now on the real clock: the event in five minutes, the warning from a
// quarter of an hour before it.
ReminderRecord dueNow(int position)
{
    ReminderRecord r;
    ReadReminder(position, Tray::get().dir.filePath("korvel.da1"), r);
    const double event = Now() + 5.0 / 1440;
    r.RemindDate = r.EventDate = DateToStr(event);
    r.RemindTime = r.EventTime = FormatDateTime("hh:nn", event);
    r.SoundOnly = r.Erased = false;
    return r;
}

void BM_LastRecordAfterFirst(benchmark::State& state)
{
    Tray& tray = Tray::get();
    const QString path = tray.dir.filePath("korvel.da1");
    Clock::reset();
    int firstPosition = 1, lastPosition = RecordCount;
    ReminderRecord first, last;
    ReadReminder(firstPosition, path, first);
    ReadReminder(lastPosition, path, last);
    WriteReminder(1, path, dueNow(1));
    WriteReminder(RecordCount, path, dueNow(RecordCount));
    {
        Arrivals arrivals;
        for (auto _ : state) {
            arrivals.reset();
            tray.form->TPripTimer();
            const double spread = arrivals.spread();
            if (spread < 0) {
                state.SkipWithError("a due reminder was not posted");
                break;
            }
            state.SetIterationTime(spread);
        }
    }
    WriteReminder(1, path, first);
    WriteReminder(RecordCount, path, last);
    Clock::setNow(tray.start);
}
BENCHMARK(BM_LastRecordAfterFirst)->UseManualTime()->Unit(benchmark::kMillisecond);

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
