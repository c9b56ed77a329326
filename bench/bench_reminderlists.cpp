// The reminder lists and the conversion of old data at 10,000 records: the
// overview's rows built from the file, the same rows put into a list view,
// and an old-layout file converted whole (work copy and disk sync included).
#include "shared/oldreminderfile.h"
#include "shared/reminderfile.h"
#include "shared/reminderlists.h"

#include "platform/cp1250.h"
#include "platform/datetime.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

constexpr int RecordCount = 10000;

ReminderRecord typicalReminder(int id)
{
    ReminderRecord r;
    r.ID = id;
    r.Created = 46000 + id / 100.0;
    r.Transferable = id % 3 == 0;
    const double event = 46093 + id / 50.0; // spread over half a year from March 2026
    r.EventDate = DateToStr(event);
    r.EventTime = FormatDateTime(QStringLiteral("hh:nn"), event);
    r.RemindDate = r.EventDate;
    r.RemindTime = r.EventTime;
    r.AdvanceKind = 2;
    r.AdvanceAmount = 20;
    r.OverdueAction = 2;
    r.Length = id % 4 == 0 ? 1.0 / 24 : 0;
    r.Erased = id % 10 == 0;
    r.Title = QStringLiteral("Porada %1").arg(id);
    r.Description1 = QStringLiteral("Zasedací místnost ve druhém patře; vzít podklady.");
    return r;
}

void putText(char* b, int offset, const QString& text)
{
    const QByteArray bytes = Cp1250::encode(text);
    b[offset] = char(bytes.size());
    std::memcpy(b + offset + 1, bytes.constData(), bytes.size());
}

// The previous layout: the ID first, texts at their old offsets.
QByteArray oldFileBytes()
{
    QByteArray all(qsizetype(RecordCount) * OldReminderSize, '\0');
    for (int id = 1; id <= RecordCount; ++id) {
        char* b = all.data() + qsizetype(id - 1) * OldReminderSize;
        const ReminderRecord r = typicalReminder(id);
        std::memcpy(b, &r.ID, 4);
        std::memcpy(b + 4, &r.Created, 8);
        putText(b, 13, r.RemindDate);
        putText(b, 24, r.RemindTime);
        putText(b, 30, r.EventDate);
        putText(b, 41, r.EventTime);
        putText(b, 844, r.Description1);
        putText(b, 1356, r.Title);
    }
    return all;
}

class Files {
public:
    static const Files& get()
    {
        static const Files files;
        return files;
    }
    QString reminders;
    QString data;
    QString work;
    QByteArray oldBytes;

private:
    Files()
    {
        reminders = m_dir.filePath("korvel.da1");
        for (int i = 1; i <= RecordCount; ++i)
            WriteReminder(i, reminders, typicalReminder(i));
        data = m_dir.filePath("data.da1");
        work = m_dir.filePath("korvel.tmp");
        oldBytes = oldFileBytes();
    }
    QTemporaryDir m_dir;
};

void BuildMainList(benchmark::State& state)
{
    const QString path = Files::get().reminders;
    const double now = 46093.5;
    for (auto _ : state) {
        const ReminderListRows list = BuildReminderList(path, false, now, now, false);
        if (list.rows.size() != RecordCount)
            state.SkipWithError("rows lost");
    }
}
BENCHMARK(BuildMainList)->Unit(benchmark::kMillisecond);

void BuildWarnedListOfOneDay(benchmark::State& state)
{
    const QString path = Files::get().reminders;
    for (auto _ : state) {
        bool any = false;
        benchmark::DoNotOptimize(BuildWarnedList(path, 46100, any));
    }
}
BENCHMARK(BuildWarnedListOfOneDay)->Unit(benchmark::kMillisecond);

// What the overview's refresh does: the rows into the list view.
void FillMainListView(benchmark::State& state)
{
    const QString path = Files::get().reminders;
    QTreeWidget view;
    for (auto _ : state) {
        double next = 0;
        FillReminderList(&view, path, false, next, 46093.5, false);
        if (view.topLevelItemCount() != RecordCount)
            state.SkipWithError("rows lost");
    }
}
BENCHMARK(FillMainListView)->Unit(benchmark::kMillisecond);

void ConvertOldFile(benchmark::State& state)
{
    const Files& files = Files::get();
    for (auto _ : state) {
        state.PauseTiming();
        QFile f(files.data);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(files.oldBytes) != files.oldBytes.size())
            state.SkipWithError("cannot write the old file");
        f.close();
        state.ResumeTiming();
        const OldDataConversion result = ConvertOldReminderFile(files.data, files.work, {});
        if (result.count != RecordCount)
            state.SkipWithError("records lost");
    }
}
BENCHMARK(ConvertOldFile)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
