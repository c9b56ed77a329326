// The reminder overview over a file of 10,000 reminders: the real window
// (offscreen) opened, filled, sorted by time and shown; a refresh of the open
// window; a sort by caption in Czech order.
#include "platform/datetime.h"
#include "reminders/ruvo_prehled.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"

#include "offscreen.h"
#include "remindersprogram.h"

#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int RecordCount = 10000;

// Half a year of reminders around the clock, every tenth erased, with
// titles that do not come in order.
void writeReminders(const QString& path, double now)
{
    static const QStringList words { QStringLiteral("Porada"), QStringLiteral("Chata"), QStringLiteral("Čištění"),
        QStringLiteral("Hrad"), QStringLiteral("Zubař"), QStringLiteral("Účty") };
    for (int i = 1; i <= RecordCount; ++i) {
        const double event = now - 30 + (i * 7919 % RecordCount) * 180.0 / RecordCount;
        ReminderRecord r;
        r.ID = i;
        r.Created = now - 60;
        r.Transferable = i % 3 == 0;
        r.RemindDate = r.EventDate = DateToStr(event);
        r.RemindTime = r.EventTime = FormatDateTime(QStringLiteral("hh:nn"), event);
        r.AdvanceKind = akHours;
        r.AdvanceAmount = 1;
        r.OverdueAction = oaWithinMinutes;
        r.OverdueAmount = 30;
        r.LengthKind = lkMinutes;
        r.Length = i % 4 == 0 ? 1.0 / 24 : 0;
        r.Description1 = QStringLiteral("Zasedací místnost ve druhém patře; vzít podklady.");
        r.Title = words.at(i % words.size()) + QString::number(i * 31 % 997);
        r.Erased = i % 10 == 0;
        WriteReminder(i, path, r);
    }
}

std::unique_ptr<RemindersProgram> Program;

RemindersProgram& filledProgram()
{
    if (!Program) {
        Program = std::make_unique<RemindersProgram>(QDateTime(QDate(2026, 3, 5), QTime(10, 0)));
        writeReminders(Program->dataPath(), Now());
    }
    return *Program;
}

void BM_OverviewOpen(benchmark::State& state)
{
    filledProgram();
    for (auto _ : state) {
        auto* w = new TFPrehled;
        w->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (w->LView->topLevelItemCount() != RecordCount)
            state.SkipWithError("the overview does not list every reminder");
        closeWindow(w);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OverviewOpen)->Unit(benchmark::kMillisecond);

void BM_OverviewRefresh(benchmark::State& state)
{
    filledProgram();
    auto* w = new TFPrehled;
    w->show();
    for (auto _ : state)
        w->Aktualizuj();
    closeWindow(w);
}
BENCHMARK(BM_OverviewRefresh)->Unit(benchmark::kMillisecond);

void BM_OverviewSortByCaption(benchmark::State& state)
{
    filledProgram();
    auto* w = new TFPrehled;
    w->show();
    for (auto _ : state)
        w->ColumnClick(w->LView, 0);
    closeWindow(w);
}
BENCHMARK(BM_OverviewSortByCaption)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runOffscreen(argc, argv, [] { Program.reset(); });
}
