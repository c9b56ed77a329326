// The reminder file at 10,000 records: the tray resident's full read, the ID
// search of an append, a batch removal with its renumbering, and what the
// data file's lock adds to the write of one record.
#include "shared/datafilelock.h"
#include "shared/reminderfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int RecordCount = 10000;

ReminderRecord typicalReminder(int id)
{
    ReminderRecord r;
    r.ID = id;
    r.Created = 45000 + id / 100.0;
    r.Transferable = true;
    r.RemindDate = "12.3.2026";
    r.RemindTime = "08:30";
    r.EventDate = "12.3.2026";
    r.EventTime = "09:00";
    r.AdvanceKind = 1;
    r.AdvanceAmount = 30;
    r.OverdueAction = 2;
    r.OverdueAmount = 1;
    r.Sound1 = "\\sound\\zvonek.wav";
    r.Description1 = QString("Porada oddělení číslo %1, zasedací místnost ve druhém patře; vzít podklady.").arg(id);
    r.Title = QString("Porada %1").arg(id);
    r.LastChange = r.Created;
    r.NextKind = 3;
    r.NextAmount = 1;
    return r;
}

// The files are made once per process: writing 10,000 records by position.
class Files {
public:
    static const Files& get()
    {
        static const Files files;
        return files;
    }
    QString full; // IDs 1..10000
    QString gapped; // ID 9990 deleted, not renumbered
    QString work; // scratch copy for destructive runs

private:
    Files()
    {
        full = m_dir.filePath("korvel.da1");
        for (int i = 1; i <= RecordCount; ++i)
            WriteReminder(i, full, typicalReminder(i));
        gapped = m_dir.filePath("gapped.da1");
        QFile::copy(full, gapped);
        DeleteReminder(RecordCount - 10, gapped);
        work = m_dir.filePath("work.da1");
    }
    QTemporaryDir m_dir;
};

void FullRead(benchmark::State& state)
{
    const QString path = Files::get().full;
    for (auto _ : state) {
        int due = 0;
        const int count = ReminderCount(path);
        ForEachReminder(path, [&](int, const ReminderRecord& r) { due += !r.Erased && !r.RemindDate.isEmpty(); });
        if (due != count)
            state.SkipWithError("records lost");
    }
}
BENCHMARK(FullRead)->Unit(benchmark::kMillisecond);

// For comparison: one ReadReminder (one open) per position.
void ReadEachPosition(benchmark::State& state)
{
    const QString path = Files::get().full;
    ReminderRecord r;
    for (auto _ : state) {
        const int count = ReminderCount(path);
        for (int i = 1; i <= count; ++i) {
            int position = i;
            ReadReminder(position, path, r);
        }
        benchmark::DoNotOptimize(r.ID);
    }
}
BENCHMARK(ReadEachPosition)->Unit(benchmark::kMillisecond);

void NextRecordIdWithGapNearTheEnd(benchmark::State& state)
{
    const QString path = Files::get().gapped;
    for (auto _ : state) {
        const int id = NextRecordId(path);
        if (id != RecordCount - 10)
            state.SkipWithError("wrong ID");
    }
}
BENCHMARK(NextRecordIdWithGapNearTheEnd)->Unit(benchmark::kMillisecond);

// Every tenth reminder removed, spread over the whole file, and the rest
// renumbered, as the removal window does it: one pass and one replacement.
void Delete1000AndRenumber(benchmark::State& state)
{
    const Files& files = Files::get();
    QList<int32_t> ids;
    for (int id = 10; id <= RecordCount; id += 10)
        ids << id;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(files.work);
        QFile::copy(files.full, files.work);
        state.ResumeTiming();
        DeleteReminders(ids, files.work);
        state.PauseTiming();
        if (ReminderCount(files.work) != RecordCount - 1000 || NextRecordId(files.work) != RecordCount - 999)
            state.SkipWithError("wrong result");
        state.ResumeTiming();
    }
}
BENCHMARK(Delete1000AndRenumber)->Unit(benchmark::kMillisecond);

// One record written in place, as the tray resident and the pop-up write:
// the lock between programs is taken and freed with each write.
void WriteOneRecord(benchmark::State& state)
{
    const QString path = Files::get().full;
    const ReminderRecord r = typicalReminder(RecordCount / 2);
    for (auto _ : state)
        WriteReminder(RecordCount / 2, path, r);
}
BENCHMARK(WriteOneRecord)->Unit(benchmark::kMicrosecond);

// The same write with the lock already held by the caller (a pass of many
// steps): only the write itself.
void WriteOneRecordInsideALock(benchmark::State& state)
{
    const QString path = Files::get().full;
    const ReminderRecord r = typicalReminder(RecordCount / 2);
    const DataFileLock lock(path);
    for (auto _ : state)
        WriteReminder(RecordCount / 2, path, r);
}
BENCHMARK(WriteOneRecordInsideALock)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
