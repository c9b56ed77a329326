// The contact overview over a file of 10,000 contacts: the real window
// (offscreen) opened, its group boxes and list filled and sorted in Czech
// order (target: 1 s); a reload of the open window; a name filter typed.
// The work on many selected contacts (target: 2 s each, the merge panel 1 s):
// removing the 1,000 deleted ones for good, the edit form of all 10,000
// opened and saved, a merge panel over 1,000 to 10,000 rows, and deleting
// 1,000 after another program renumbered the file.
#include "components/amedit.h"
#include "contacts/dorv_edit.h"
#include "contacts/dorv_odstran.h"
#include "contacts/dorv_prehled.h"
#include "contacts/dorv_zaklad.h"
#include "platform/dialogs.h"
#include "platform/tag.h"
#include "shared/commands.h"
#include "shared/contactfields.h"
#include "shared/contactfile.h"

#include "contactsprogram.h"
#include "offscreen.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int RecordCount = 10000;

// Names and groups that repeat in no order; every tenth contact deleted.
void writeContacts(const QString& path, bool someDeleted = true)
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
        r.vymazano = someDeleted && i % 10 == 0;
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

// The file of the fixture, or one in which no contact is deleted.
void useFile(bool someDeleted)
{
    static QByteArray files[2];
    QByteArray& bytes = files[someDeleted];
    const QString path = filledProgram().dataPath();
    if (bytes.isEmpty()) {
        QFile::remove(path);
        writeContacts(path, someDeleted);
        bytes = readFileBytes(path);
    }
    writeFileBytes(path, bytes);
}

TFKPrehled* overviewOf(bool someDeleted)
{
    useFile(someDeleted);
    auto* w = new TFKPrehled;
    w->show();
    return w;
}

// The first count rows, as a click and a shift-click choose them.
void selectRows(QTreeWidget* list, int count)
{
    const QAbstractItemModel* rows = list->model();
    list->selectionModel()->select(QItemSelection(rows->index(0, 0), rows->index(count - 1, 0)),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void BM_RemoveDeletedForGood(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        useFile(true);
        auto* w = new TFKOdstran;
        w->show();
        w->List->selectAll();
        state.ResumeTiming();
        w->BDefOdstranClick();
        state.PauseTiming();
        const bool removed = ContactCount(filledProgram().dataPath()) == Listed && w->List->topLevelItemCount() == 0;
        closeWindow(w);
        if (!removed) {
            state.SkipWithError("the deleted contacts were not removed");
            break;
        }
        state.ResumeTiming();
    }
    useFile(true);
}
BENCHMARK(BM_RemoveDeletedForGood)->Unit(benchmark::kMillisecond)->Iterations(1);

TFKEdit* openEditForm(TFKPrehled* overview)
{
    overview->List->selectAll();
    overview->BEditClick();
    return dynamic_cast<TFKEdit*>(FindForm(QStringLiteral("FKEdit")));
}

void BM_MultiEditOpen(benchmark::State& state)
{
    TFKPrehled* overview = overviewOf(false);
    for (auto _ : state) {
        TFKEdit* f = openEditForm(overview);
        state.PauseTiming();
        if (!f || f->AMEJmeno->text() != QStringLiteral("*")) {
            state.SkipWithError("the form does not show the contacts");
            break;
        }
        Dialogs::queueAnswer(mrYes); // leave without saving
        closeWindow(f);
        state.ResumeTiming();
    }
    closeWindow(overview);
    useFile(true);
}
BENCHMARK(BM_MultiEditOpen)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_MultiEditSave(benchmark::State& state)
{
    TFKPrehled* overview = overviewOf(false);
    for (auto _ : state) {
        state.PauseTiming();
        useFile(false);
        TFKEdit* f = openEditForm(overview);
        if (!f) {
            state.SkipWithError("no edit form");
            break;
        }
        f->AMEPrijmeni->setText(QStringLiteral("*ová"));
        state.ResumeTiming();
        f->BOKClick();
        state.PauseTiming();
        if (!filledProgram().stored(RecordCount).prijmeni.endsWith(QStringLiteral("ová"))) {
            state.SkipWithError("the contacts were not saved");
            break;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    closeWindow(overview);
    useFile(true);
}
BENCHMARK(BM_MultiEditSave)->Unit(benchmark::kMillisecond)->Iterations(1);

// The e-mail addresses of the first n rows, each another.
void BM_MergePanel(benchmark::State& state)
{
    const int rows = int(state.range(0));
    TFKPrehled* overview = overviewOf(false);
    setTag(overview->CBSluc1, 9);
    selectRows(overview->List, rows);
    for (auto _ : state) {
        overview->AktualSluc(1);
        state.PauseTiming();
        if (overview->AMESluc1->text().count(u'@') != rows) {
            state.SkipWithError("the panel does not hold every address");
            break;
        }
        state.ResumeTiming();
    }
    closeWindow(overview);
    useFile(true);
}
BENCHMARK(BM_MergePanel)->Arg(1000)->Arg(2000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Another program removed the contact nearest the front that is not chosen:
// the chosen contacts behind it are listed one number too high.
void BM_DeleteAfterRenumber(benchmark::State& state)
{
    constexpr int Rows = 1000;
    TFKPrehled* overview = overviewOf(false);
    for (auto _ : state) {
        state.PauseTiming();
        useFile(false);
        overview->Aktualizuj();
        selectRows(overview->List, Rows);
        int first = RecordCount;
        for (int i = Rows; i < overview->List->topLevelItemCount(); ++i)
            first = std::min(first, RowContactNumber(overview->List, overview->List->topLevelItem(i)));
        DeleteContact(first, filledProgram().dataPath());
        Dialogs::queueAnswer(mrYes);
        state.ResumeTiming();
        overview->BOdstranClick();
        state.PauseTiming();
        if (overview->List->topLevelItemCount() != RecordCount - 1 - Rows) {
            state.SkipWithError("the contacts were not deleted");
            break;
        }
        state.ResumeTiming();
    }
    closeWindow(overview);
    useFile(true);
}
BENCHMARK(BM_DeleteAfterRenumber)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    return runOffscreen(argc, argv, [] { Program.reset(); });
}
