// The contact overview over a file of 10,000 contacts: the real window
// (offscreen) opened, its group boxes and list filled and sorted in Czech
// order (target: 1 s); a reload of the open window; a name filter typed.
#include "contacts/dorv_prehled.h"
#include "contacts/dorv_zaklad.h"
#include "shared/commands.h"
#include "shared/contactfile.h"

#include "contactsprogram.h"
#include "offscreen.h"

#include <QLineEdit>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int RecordCount = 10000;

// Names and groups that repeat in no order; every tenth contact deleted.
void writeContacts(const QString& path)
{
    static const QStringList first { QStringLiteral("Jan"), QStringLiteral("Eva"), QStringLiteral("Čeněk"),
        QStringLiteral("Zdeňka"), QStringLiteral("Petr"), QStringLiteral("Šárka"), QStringLiteral("Chrudoš") };
    static const QStringList groups { QStringLiteral("rodina"), QStringLiteral("Práce;výbor"), QStringLiteral("PRÁCE"),
        QStringLiteral("sousedé;chata"), QString() };
    for (int i = 1; i <= RecordCount; ++i) {
        ContactRecord r;
        r.jmeno = first.at(i % first.size());
        r.prijmeni = QStringLiteral("Novák%1").arg(i * 7919 % RecordCount);
        r.skupina1 = groups.at(i % groups.size());
        r.skupina2 = groups.at(i * 3 % groups.size());
        r.email1 = QStringLiteral("kontakt%1@example.cz").arg(i);
        r.tel1 = QStringLiteral("602%1").arg(i, 6, 10, QLatin1Char('0'));
        r.mobil1 = QStringLiteral("777%1").arg(i, 6, 10, QLatin1Char('0'));
        r.firma = QStringLiteral("Firma %1 s.r.o.").arg(i % 97);
        r.unikat = 45000 + i / 1000.0;
        r.vymazano = i % 10 == 0;
        r.cislo = i;
        WriteContact(i, path, r);
    }
}

std::unique_ptr<ContactsProgram> Program;

ContactsProgram& filledProgram()
{
    if (!Program) {
        Program = std::make_unique<ContactsProgram>(QDateTime(QDate(2026, 3, 5), QTime(10, 0)));
        writeContacts(Program->dataPath());
    }
    return *Program;
}

constexpr int Listed = RecordCount - RecordCount / 10;

void BM_ContactOverviewOpen(benchmark::State& state)
{
    ContactsProgram& p = filledProgram();
    for (auto _ : state) {
        p.hub().HandleContactCommand(dcOverview, 0);
        auto* w = dynamic_cast<TFKPrehled*>(FindForm(QStringLiteral("FKPrehled")));
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (!w || w->List->topLevelItemCount() != Listed)
            state.SkipWithError("the overview does not list every contact");
        else
            closeWindow(w);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ContactOverviewOpen)->Unit(benchmark::kMillisecond);

void BM_ContactOverviewReload(benchmark::State& state)
{
    filledProgram();
    auto* w = new TFKPrehled;
    w->show();
    for (auto _ : state)
        w->Aktualizuj();
    closeWindow(w);
}
BENCHMARK(BM_ContactOverviewReload)->Unit(benchmark::kMillisecond);

void BM_ContactOverviewNameFilter(benchmark::State& state)
{
    filledProgram();
    auto* w = new TFKPrehled;
    w->show();
    for (auto _ : state) {
        w->EJmeno->setText(QStringLiteral("čeněk novák1"));
        state.PauseTiming();
        w->EJmeno->clear();
        state.ResumeTiming();
    }
    closeWindow(w);
}
BENCHMARK(BM_ContactOverviewNameFilter)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runOffscreen(argc, argv, [] { Program.reset(); });
}
