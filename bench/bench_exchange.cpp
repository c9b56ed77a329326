// The exchange at 10,000 reminders: the export into the exchange folder with
// its backup copy, and the import of that file into a home file that holds
// the same reminders (every record updated by its key), each file put in
// place whole.
#include "shared/exchangefiles.h"
#include "shared/reminderfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int RecordCount = 10000;

class Files {
public:
    static const Files& get()
    {
        static const Files files;
        return files;
    }
    QString home;
    QString exchange;
    QString backup;
    QString work;

private:
    Files()
    {
        home = m_dir.filePath("korvel.da1");
        for (int i = 1; i <= RecordCount; ++i) {
            ReminderRecord r;
            r.ID = i;
            r.Created = 45000 + i / 100.0;
            r.LastChange = r.Created;
            r.Transferable = i % 10 != 0;
            r.RemindDate = r.EventDate = "12.3.2026";
            r.RemindTime = "08:30";
            r.EventTime = "09:00";
            r.Description1 = QString("Porada oddělení číslo %1, zasedací místnost ve druhém patře.").arg(i);
            r.Title = QString("Porada %1").arg(i);
            WriteReminder(i, home, r);
        }
        exchange = m_dir.filePath("exp_imp.dat");
        backup = m_dir.filePath("exp_imp.bak");
        work = m_dir.filePath("work.da1");
    }
    QTemporaryDir m_dir;
};

void BM_Export(benchmark::State& state)
{
    const Files& f = Files::get();
    for (auto _ : state)
        benchmark::DoNotOptimize(ExportReminders(f.home, f.exchange, f.backup, std::nullopt, nullptr));
}
BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond);

void BM_ImportUpdatingEveryRecord(benchmark::State& state)
{
    const Files& f = Files::get();
    ExportReminders(f.home, f.exchange, QString(), std::nullopt, nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(f.work);
        QFile::copy(f.home, f.work);
        state.ResumeTiming();
        benchmark::DoNotOptimize(ImportReminders(f.exchange, f.work, true, nullptr).imported);
    }
}
BENCHMARK(BM_ImportUpdatingEveryRecord)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
