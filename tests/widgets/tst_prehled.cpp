// The reminder overview on real reminder files in a temporary program folder,
// with the program's main form, a stopped clock and scripted dialogs.
#include "reminders/ruvo_newprip.h"
#include "reminders/ruvo_okna.h"
#include "reminders/ruvo_prehled.h"
#include "reminders/ruvo_zaklad.h"

#include "components/forms.h"
#include "components/kitctrls.h"
#include "components/kitsplit.h"
#include "components/kitstatusbar.h"
#include "platform/clock.h"
#include "platform/commandchannel.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "shared/commands.h"
#include "shared/f_p.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"

#include "faketray.h"
#include "fileopens.h"
#include "remindersprogram.h"
#include "testsupport.h"
#include "timezone.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

namespace {

// Thursday 5 March 2026, 10:00.
const QDateTime T0(QDate(2026, 3, 5), QTime(10, 0, 0));

QStringList Column(const QTreeWidget* list, int column)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

QStringList Headers(const QTreeWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->columnCount(); ++i)
        texts << list->headerItem()->text(i);
    return texts;
}

QStringList Arrows(const QTreeWidget* list)
{
    QStringList names;
    for (int i = 0; i < list->columnCount(); ++i)
        names << TFZSeznam::HeaderBitmap(list, i);
    return names;
}

QStringList ArrowAt(int column, const QString& name, int columns)
{
    QStringList names(columns, QStringLiteral("NOARROW"));
    names[column] = name;
    return names;
}

// A record of the previous layout: the ID first, the title at offset 1356.
QByteArray OldRecord(int32_t id, const QByteArray& title)
{
    QByteArray b(1388, '\0');
    std::memcpy(b.data(), &id, 4);
    b[1356] = char(title.size());
    std::memcpy(b.data() + 1357, title.constData(), title.size());
    return b;
}

// A window another unit provides, as the factory makes it: a dialog that
// frees itself when it closes.
QDialog* StandIn(const QString& name)
{
    auto* d = new QDialog;
    d->setObjectName(name);
    d->setAttribute(Qt::WA_DeleteOnClose);
    return d;
}

// The base list window as a removal form builds on it: erased reminders
// only, several rows selectable, a result of its own at closing.
class ErasedList : public TFZSeznam {
public:
    ErasedList()
    {
        setObjectName(QStringLiteral("FOdstran"));
        ErasedOnly = true;
        LView->setSelectionMode(QAbstractItemView::ExtendedSelection);
        FormCreate();
    }

protected:
    void FormClose() override
    {
        TFZSeznam::FormClose();
        setResult(mrOk);
    }
};

void ClickRow(QTreeWidget* list, int row)
{
    const QRect r = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QCoreApplication::processEvents();
}

} // namespace

class TestPrehled : public QObject {
    Q_OBJECT

    std::unique_ptr<RemindersProgram> m_program;

    QString DataPath() const { return m_program->dataPath(); }
    QString Ini() const { return m_program->iniPath(); }

    // A reminder of an event at date (days from T0's day) and time.
    static ReminderRecord Reminder(const QString& title, int days, const QString& time)
    {
        ReminderRecord r;
        r.Title = title;
        r.EventDate = DateToStr(DateOf(Now()) + days);
        r.EventTime = time;
        r.RemindDate = r.EventDate;
        r.RemindTime = r.EventTime;
        r.AdvanceKind = akMinutes;
        r.AdvanceAmount = 15;
        r.OverdueAction = oaNothing;
        r.OverdueAmount = 1;
        r.Created = QDateTimeToDateTime(T0) - 1;
        r.NextKind = nkDays;
        r.NextAmount = 1;
        r.LengthKind = lkMinutes;
        return r;
    }
    int Add(ReminderRecord r) { return AppendReminder(DataPath(), r); }
    ReminderRecord Read(int position) const
    {
        ReminderRecord r;
        ReadReminder(position, DataPath(), r);
        return r;
    }

    QPointer<TFPrehled> Open()
    {
        QPointer<TFPrehled> w = new TFPrehled;
        w->show();
        return w;
    }

private slots:
    void init() { m_program = std::make_unique<RemindersProgram>(T0); }

    void cleanup() { m_program.reset(); }

    void columnsAndCells()
    {
        ReminderRecord r = Reminder(QStringLiteral("Zubař"), 0, QStringLiteral("12:30"));
        r.Length = 90 * OneMinute;
        r.Transferable = true;
        Add(r);
        Add(Reminder(QStringLiteral("Porada"), -1, QStringLiteral("09:00")));
        auto w = Open();
        QCOMPARE(w->objectName(), QStringLiteral("FPrehled"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Přehled připomenutí"));
        QCOMPARE(Headers(w->LView),
            QStringList(
                { "nadpis", "datum čas", "akce do", "zbývá", "jen zvuk", "vymazán", "přenos", "prošlé", "číslo" }));
        QCOMPARE(Headers(w->LViewU),
            QStringList({ "nadpis", "čas připomenutí", "datum čas", "akce do", "přenos", "číslo" }));
        QVERIFY(!w->LView->header()->stretchLastSection());
        // Sorted by "datum čas", ascending: yesterday's meeting first.
        QCOMPARE(w->LView->topLevelItemCount(), 2);
        const QTreeWidgetItem* item = w->LView->topLevelItem(1);
        QCOMPARE(item->text(0), QStringLiteral("Zubař"));
        QCOMPARE(item->text(1), QStringLiteral("2026.03.05 12:30"));
        QCOMPARE(item->text(2), QStringLiteral("14:00"));
        QCOMPARE(item->text(3), QStringLiteral("02:30"));
        QCOMPARE(item->text(4), QStringLiteral("NE"));
        QCOMPARE(item->text(5), QStringLiteral("NE"));
        QCOMPARE(item->text(6), QStringLiteral("ANO"));
        QCOMPARE(item->text(7), QStringLiteral("NE"));
        QCOMPARE(item->text(8), QStringLiteral("1"));
        QCOMPARE(w->LView->topLevelItem(0)->text(7), QStringLiteral("ANO"));
        QCOMPARE(Arrows(w->LView), ArrowAt(1, "ARROWDOWN", 9));
        // The overview's controls and what the base window keeps hidden.
        QVERIFY(!w->ChBOmez->isHidden());
        QVERIFY(!w->DTM->isHidden());
        QVERIFY(w->PUpozor->isHidden());
        QVERIFY(w->RSOddel->isHidden());
        QVERIFY(!w->PanelPlus->isHidden());
        QCOMPARE(w->DTM->date(), T0.date());
        QCOMPARE(w->LDen->text(), QStringLiteral("čtvrtek"));
        for (auto* b : { w->BNew, w->BEdit, w->BVymaz, w->BOdstran, w->BEIAN, w->BExport, w->BImport })
            QCOMPARE(b->size(), QSize(33, 33));
        QCOMPARE(w->BNew->statusTip(), QStringLiteral("zadání nového připomenutí"));
        QCOMPARE(w->MPOdstran->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Delete));
        QCOMPARE(w->MZFontM->text(), QStringLiteral("veli&kost fontu  -1"));
        QCOMPARE(w->BCancel->geometry().right(), w->PButton->width() - 7);

        // The bottom panels stack above the status bar in their order.
        w->ChBOmez->setChecked(true);
        QCOMPARE(w->PanelPlus->geometry().bottom() + 1, w->SBar()->y());
        QCOMPARE(w->PInfo->geometry().bottom() + 1, w->PanelPlus->y());
        QCOMPARE(w->PUpozor->geometry().bottom() + 1, w->PInfo->y());
        QCOMPARE(w->RSOddel->geometry().bottom() + 1, w->PUpozor->y());
        QCOMPARE(w->ScrollBox1->geometry().bottom() + 1, w->RSOddel->y());
        QCOMPARE(w->LViewU->geometry().bottom() + 1, w->PUpozor->height());

        const QString dir = qEnvironmentVariable("KORVEL_ARTIFACTS", QDir::tempPath());
        QDir().mkpath(dir);
        w->resize(640, 480);
        ClickRow(w->LView, 0);
        QCOMPARE(w->EInfoCasPred->text(), QStringLiteral("2026.03.05 12:15-čtvrtek"));
        QCOMPARE(w->LView->columnWidth(0), 640 * 135 / 595);
        QVERIFY(w->grab().save(dir + QStringLiteral("/prehled.png")));
    }

    void sortsWithArrowsAndCzechOrder()
    {
        Add(Reminder(QStringLiteral("ihned"), 0, QStringLiteral("11:00")));
        Add(Reminder(QStringLiteral("chata"), 0, QStringLiteral("13:00")));
        Add(Reminder(QStringLiteral("hrad"), 0, QStringLiteral("12:00")));
        Add(Reminder(QStringLiteral("cibule"), 2, QStringLiteral("08:00")));
        Add(Reminder(QStringLiteral("čaj"), 0, QStringLiteral("10:30")));
        auto w = Open();
        QCOMPARE(Column(w->LView, 0), QStringList({ "čaj", "ihned", "hrad", "chata", "cibule" }));

        // The sorted column again: the other way round, the arrow swapped.
        w->LView->header()->sectionClicked(1);
        QCOMPARE(Column(w->LView, 0), QStringList({ "cibule", "chata", "hrad", "ihned", "čaj" }));
        QCOMPARE(Arrows(w->LView), ArrowAt(1, "ARROWUP", 9));
        QVERIFY(!w->SortAscending);

        // Another column keeps the direction; captions go in Czech order:
        // "č" after "c", "ch" after "h".
        w->ColumnClick(w->LView, 0);
        QCOMPARE(Column(w->LView, 0), QStringList({ "ihned", "chata", "hrad", "čaj", "cibule" }));
        QCOMPARE(Arrows(w->LView), ArrowAt(0, "ARROWUP", 9));
        w->ColumnClick(w->LView, 0);
        QCOMPARE(Column(w->LView, 0), QStringList({ "cibule", "čaj", "hrad", "chata", "ihned" }));
        QCOMPARE(Arrows(w->LView), ArrowAt(0, "ARROWDOWN", 9));

        // The selection stays with its row through a sort.
        w->LView->setCurrentItem(w->LView->topLevelItem(3));
        w->ColumnClick(w->LView, 0);
        QCOMPARE(w->LView->selectedItems().value(0)->text(0), QStringLiteral("chata"));
        QCOMPARE(w->LView->indexOfTopLevelItem(w->LView->selectedItems().value(0)), 1);

        // A refresh never sorts by the caption: file order, no arrows.
        w->Aktualizuj();
        QCOMPARE(Column(w->LView, 0), QStringList({ "ihned", "chata", "hrad", "cibule", "čaj" }));
        QCOMPARE(Arrows(w->LView), QStringList(9, "NOARROW"));
        QCOMPARE(w->LView->selectedItems().value(0)->text(0), QStringLiteral("chata"));

        // The default sort of the overview: the main list only.
        w->ColumnClick(w->LView, 3);
        w->MISAkt->trigger();
        QCOMPARE(IniReadInteger(Ini(), "FPrehled", "vych_col", 0), 3);
        QCOMPARE(IniReadBool(Ini(), "FPrehled", "vych_AZ", false), true);
        QCOMPARE(IniReadInteger(Ini(), "FPrehled", "vych_colU", 77), 77);
        w->MISNic->trigger();
        QCOMPARE(IniReadInteger(Ini(), "FPrehled", "vych_col", 0), -1);
        QCOMPARE(IniReadInteger(Ini(), "FPrehled", "vych_colU", 77), 77);
        delete w;

        // -1 reads back as "no sort": file order without arrows.
        w = Open();
        QCOMPARE(w->SortColumn, TFZSeznam::NoSort);
        QCOMPARE(Column(w->LView, 0), QStringList({ "ihned", "chata", "hrad", "cibule", "čaj" }));
        QCOMPARE(Arrows(w->LView), QStringList(9, "NOARROW"));
        delete w;

        // A stored column and direction: "akce do"... here "datum čas" descending.
        IniWriteInteger(Ini(), "FPrehled", "vych_col", 1);
        IniWriteBool(Ini(), "FPrehled", "vych_AZ", false);
        w = Open();
        QCOMPARE(Column(w->LView, 0), QStringList({ "cibule", "chata", "hrad", "ihned", "čaj" }));
        QCOMPARE(Arrows(w->LView), ArrowAt(1, "ARROWUP", 9));
        w->Aktualizuj();
        QCOMPARE(Column(w->LView, 0), QStringList({ "cibule", "chata", "hrad", "ihned", "čaj" }));
    }

    void dayLimitAndWarnedList()
    {
        Add(Reminder(QStringLiteral("dnes"), 0, QStringLiteral("12:00")));
        Add(Reminder(QStringLiteral("zítra"), 1, QStringLiteral("08:00")));
        // Warned a day ahead: on T0's day, about tomorrow.
        ReminderRecord early = Reminder(QStringLiteral("výlet"), 1, QStringLiteral("07:30"));
        early.AdvanceKind = akDays;
        early.AdvanceAmount = 1;
        Add(early);
        // Its next pop-up stored for today, an hour before the event.
        ReminderRecord stored = Reminder(QStringLiteral("kino"), 2, QStringLiteral("20:00"));
        stored.RemindDate = DateToStr(DateOf(Now()));
        stored.RemindTime = QStringLiteral("19:00");
        Add(stored);
        IniWriteInteger(Ini(), "FPrehled", "velpupozor", 140);
        auto w = Open();
        QCOMPARE(w->LView->topLevelItemCount(), 4);
        QCOMPARE(Column(w->LViewU, 0), QStringList({ "výlet", "kino" }));
        QCOMPARE(Column(w->LViewU, 1), QStringList({ "07:30", "19:00" }));

        w->ChBOmez->setChecked(true);
        QVERIFY(!w->PUpozor->isHidden());
        QVERIFY(!w->RSOddel->isHidden());
        QCOMPARE(w->PUpozor->height(), 140);
        QCOMPARE(Column(w->LView, 0), QStringList({ "dnes" }));
        QCOMPARE(Column(w->LView, 1), QStringList({ "12:00" }));

        // A click in the warned list makes it the one the commands act on;
        // the day stays.
        ClickRow(w->LViewU, 1);
        QCOMPARE(w->ActiveList, 2);
        QCOMPARE(w->DejAktivList(), w->LViewU);
        QCOMPARE(w->EInfoCasPred->text(), QStringLiteral("2026.03.05 19:00-čtvrtek"));
        QCOMPARE(w->DTM->date(), T0.date());
        Dialogs::queueAnswer(mrYes);
        w->BVymazClick();
        QVERIFY(Read(4).Erased);
        QCOMPARE(Column(w->LViewU, 0), QStringList({ "výlet" }));
        // A key in the main list makes it the active one again.
        QTest::keyClick(w->LView, Qt::Key_Down);
        QCOMPARE(w->ActiveList, 1);
        QCOMPARE(w->DejAktivList(), w->LView);

        // Ctrl+Up: the next day, whose list and warnings follow.
        w->MDalsi->trigger();
        QCOMPARE(w->DTM->date(), T0.date().addDays(1));
        QCOMPARE(w->LDen->text(), QStringLiteral("pátek"));
        QCOMPARE(Column(w->LView, 0), QStringList({ "výlet", "zítra" }));
        QCOMPARE(w->LViewU->topLevelItemCount(), 0);
        w->MDDnes->trigger();
        QCOMPARE(w->DTM->date(), T0.date());
        w->MDNejblizsiDalsi->trigger();
        QCOMPARE(w->DTM->date(), T0.date().addDays(1));
        // Nothing later but the erased "kino": the day stays.
        w->MDNejblizsiDalsi->trigger();
        QCOMPARE(w->DTM->date(), T0.date().addDays(1));
        w->MDNejblizsiPredch->trigger();
        QCOMPARE(w->DTM->date(), T0.date());
        w->MDZitra->trigger();
        QCOMPARE(w->DTM->date(), T0.date().addDays(1));

        // Selecting a row of another day moves the day there.
        w->MDDnes->trigger();
        w->ChBOmez->setChecked(false);
        QCOMPARE(IniReadInteger(Ini(), "FPrehled", "velpupozor", 0), 140);
        QVERIFY(w->PUpozor->isHidden());
        QCOMPARE(w->LView->topLevelItemCount(), 4);
        ClickRow(w->LView, 3);
        QCOMPARE(w->LView->selectedItems().value(0)->text(0), QStringLiteral("kino"));
        QCOMPARE(w->DTM->date(), T0.date().addDays(2));
        QCOMPARE(w->LDen->text(), QStringLiteral("sobota"));

        // The automatic switching toggles the limit and counts down anew.
        QVERIFY(!w->TPrepOmez->isActive());
        w->MZAutoJenDen->trigger();
        QVERIFY(w->TPrepOmez->isActive());
        QCOMPARE(w->TPrepOmez->interval(), 5000);
        // One tick, soon.
        connect(w->ChBOmez, &QCheckBox::toggled, w->TPrepOmez, &QTimer::stop);
        w->TPrepOmez->setInterval(20);
        QTRY_VERIFY(w->ChBOmez->isChecked());
        QCOMPARE(Column(w->LView, 0), QStringList({ "kino" }));
        w->TPrepOmez->start();
        w->MZAutoJenDen->trigger();
        QVERIFY(!w->TPrepOmez->isActive());
    }

    void refreshTimerStaysInBounds()
    {
        // Nothing ahead: a minute.
        Add(Reminder(QStringLiteral("minulé"), -1, QStringLiteral("09:00")));
        auto w = Open();
        QVERIFY(w->Timer1->isActive());
        QCOMPARE(w->Timer1->interval(), 60000);

        // An event hours away: still a minute.
        Add(Reminder(QStringLiteral("večer"), 0, QStringLiteral("19:00")));
        w->Aktualizuj();
        QCOMPARE(w->Timer1->interval(), 60000);

        // An event 40 ms ahead; the refresh runs then, and again (the stopped
        // clock keeps it ahead).
        Clock::setNow(QDateTime(T0.date(), QTime(18, 59, 59, 960)));
        w->Aktualizuj();
        QCOMPARE(w->Timer1->interval(), 41);
        Add(Reminder(QStringLiteral("nové"), 3, QStringLiteral("10:00")));
        QTRY_COMPARE(w->LView->topLevelItemCount(), 3);
        QVERIFY(w->Timer1->isActive());

        // The event starts while the file is read: the timer must still run.
        ReminderRecord filler = Reminder(QStringLiteral("další"), 5, QStringLiteral("10:00"));
        for (int i = 4; i < 3004; ++i) {
            filler.ID = i;
            WriteReminder(i, DataPath(), filler);
        }
        Clock::setRunningFrom(QDateTime(T0.date(), QTime(18, 59, 59, 998)));
        w->Aktualizuj();
        QVERIFY(w->Timer1->isActive());
        QVERIFY(w->Timer1->interval() >= 1);
        QVERIFY(w->Timer1->interval() <= 60000);
    }

    // The night summer time starts, with nothing ahead: the refresh aims an
    // hour on, at 02:30, which does not exist. It waits its minute, not 1 ms,
    // and reads the file about once a minute over the hour.
    void refreshSleepsOverTheSkippedHour()
    {
        ProcessTimeZone zone("Europe/Prague");
        Clock::setNow(QDateTime(QDate(2026, 3, 29), QTime(1, 30)));
        Add(Reminder(QStringLiteral("minulé"), -1, QStringLiteral("09:00")));
        auto w = Open();
        QCOMPARE(w->Timer1->interval(), 60000);
        FileOpenCounter opens(DataPath());
        QCOMPARE(RunTimer(*w->Timer1, 3600000, [&] { w->Timer1Timer(); }), 60);
        qInfo("list refresh: 60 runs, %d opens of the file in the hour", opens.count());
        QVERIFY2(opens.count() <= 2 * 60, qPrintable(QString::number(opens.count())));
        QCOMPARE(Clock::now(), QDateTime(QDate(2026, 3, 29), QTime(3, 30)));
        QCOMPARE(w->Timer1->interval(), 60000);
    }

    void unreadableRecordsShowWithoutTimes()
    {
        ReminderRecord bad = Reminder(QStringLiteral("cizí"), 0, QStringLiteral("25:99"));
        bad.EventDate = QStringLiteral("2026-03-05");
        bad.Created = std::numeric_limits<double>::quiet_NaN();
        bad.Length = 1e300;
        Add(bad);
        Add(Reminder(QStringLiteral("dobré"), 0, QStringLiteral("12:00")));
        auto w = Open();
        QCOMPARE(w->LView->topLevelItemCount(), 2);
        const QTreeWidgetItem* item = w->LView->findItems(QStringLiteral("cizí"), Qt::MatchExactly).value(0);
        QVERIFY(item);
        for (int c : { 2, 3, 7 })
            QVERIFY2(item->text(c).isEmpty(), qPrintable(item->text(c)));
        QVERIFY(w->Timer1->isActive());

        w->LView->setCurrentItem(const_cast<QTreeWidgetItem*>(item));
        w->LViewClick(w->LView, true);
        QVERIFY(w->EInfoCasPred->text().isEmpty());
        QVERIFY(w->EInfoCasProsle->text().isEmpty());
        QVERIFY(w->EInfoZapis->text().isEmpty());
        QCOMPARE(w->DTM->date(), T0.date());

        // The same list with the day limit on, and a refresh by the timer.
        w->ChBOmez->setChecked(true);
        QCOMPARE(Column(w->LView, 0), QStringList({ "dobré" }));
        QVERIFY(w->Timer1->isActive());
    }

    // Opened for the first time (no placement stored): the status bar
    // closes the window, the panels stand on it, and the list fills the rest.
    void firstOpenFillsTheWindow()
    {
        Add(Reminder(QStringLiteral("Zubař"), 0, QStringLiteral("12:30")));
        auto w = Open();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const auto bottom = [&w](QWidget* c) { return c->mapTo(w, QPoint(0, c->height())).y(); };
        const auto top = [&w](QWidget* c) { return c->mapTo(w, QPoint(0, 0)).y(); };
        QCOMPARE(bottom(w->SBar()), w->height());
        QCOMPARE(bottom(w->PanelPlus), top(w->SBar()));
        QCOMPARE(bottom(w->PInfo), top(w->PanelPlus));
        QCOMPARE(bottom(w->LView), top(w->PInfo));
        QCOMPARE(top(w->LView), bottom(w->PButton));
    }

    void informationPanels()
    {
        ReminderRecord r = Reminder(QStringLiteral("Zubař"), 1, QStringLiteral("12:30"));
        r.AdvanceKind = akHours;
        r.AdvanceAmount = 2;
        r.OverdueAction = oaWithinHours;
        r.OverdueAmount = 3;
        r.Length = 90 * OneMinute;
        r.Description1 = QStringLiteral("vzít\r");
        r.Description2 = QStringLiteral("\nkartičku");
        Add(r);
        ReminderRecord later = Reminder(QStringLiteral("kdykoli"), 0, QStringLiteral("16:00"));
        later.OverdueAction = oaAsSoonAsPossible;
        later.RemindTime = QStringLiteral("15:10");
        Add(later);
        auto w = Open();
        w->LView->setCurrentItem(w->LView->findItems("Zubař", Qt::MatchExactly).value(0));
        w->LViewClick(w->LView, true);
        QCOMPARE(w->EInfoCasPred->text(), QStringLiteral("2026.03.06 10:30-pátek"));
        QCOMPARE(w->EInfoCasProsle->text(), QStringLiteral("2026.03.06 15:30-pátek"));
        QCOMPARE(w->EInfoDelka->text(), QStringLiteral("(1hodina30minut) 14:00"));
        QCOMPARE(w->EInfoZapis->text(), QStringLiteral("2026.03.04 10:00-středa"));
        // A line break cut between the two pieces is whole again.
        QCOMPARE(w->MInfoPopis->toPlainText(), QStringLiteral("vzít\nkartičku"));
        QCOMPARE(w->DTM->date(), T0.date().addDays(1));

        w->LView->setCurrentItem(w->LView->findItems("kdykoli", Qt::MatchExactly).value(0));
        w->LViewClick(w->LView, true);
        QCOMPARE(w->EInfoCasPred->text(), QStringLiteral("2026.03.05 15:10-čtvrtek"));
        QCOMPARE(w->EInfoCasProsle->text(), QStringLiteral("kdykoliv"));

        // The selected reminder changed in the file (an edit, its pop-up moving
        // it on): a refresh shows it as it is now; the chosen day stays.
        const QDate day = w->DTM->date();
        ReminderRecord moved = Read(2);
        moved.EventDate = DateToStr(DateOf(Now()) + 2);
        moved.RemindDate = moved.EventDate;
        moved.RemindTime = QStringLiteral("17:45");
        moved.Description1 = QStringLiteral("nově");
        WriteReminder(2, DataPath(), moved);
        w->Aktualizuj();
        QCOMPARE(w->EInfoCasPred->text(), QStringLiteral("2026.03.07 17:45-sobota"));
        QCOMPARE(w->MInfoPopis->toPlainText(), QStringLiteral("nově"));
        QCOMPARE(w->DTM->date(), day);
        // Erased meanwhile: its times go.
        moved.Erased = true;
        WriteReminder(2, DataPath(), moved);
        w->Aktualizuj();
        QVERIFY(w->EInfoCasPred->text().isEmpty());
        QCOMPARE(w->MInfoPopis->toPlainText(), QStringLiteral("nově"));

        // The details panel off: its fields are left alone.
        w->MZobrazDetail->trigger();
        QVERIFY(w->PanelPlus->isHidden());
        w->InfoOCase(0, 0);
        QVERIFY(w->EInfoCasPred->text().isEmpty());
        QVERIFY(w->MInfoPopis->toPlainText().isEmpty());
    }

    void eraseAndTransferWriteTheFile()
    {
        FakeTray tray(m_program->file(QStringLiteral("tray.log")));
        QTRY_VERIFY_WITH_TIMEOUT(tray.Ready(0), 10000);
        Add(Reminder(QStringLiteral("první"), 0, QStringLiteral("11:00")));
        Add(Reminder(QStringLiteral("druhé"), 0, QStringLiteral("12:00")));
        auto w = Open();
        ClickRow(w->LView, 1);
        QCOMPARE(w->BEIANGlyph(), QStringLiteral("EINE"));

        // "No" leaves the file alone.
        const QByteArray before = readFileBytes(DataPath());
        Dialogs::queueAnswer(mrNo);
        w->MPVymaz->trigger();
        QCOMPARE(Dialogs::shown().value(0).text, QStringLiteral("Opravdu vybrané připomenutí vymazat?"));
        QCOMPARE(Dialogs::shown().value(0).type, MsgDlgType::Confirmation);
        QCOMPARE(Dialogs::beeps().value(0), MsgDlgType::Confirmation);
        QCOMPARE(readFileBytes(DataPath()), before);

        Clock::setNow(T0.addSecs(60));
        Dialogs::queueAnswer(mrYes);
        w->BVymaz->Click();
        QVERIFY(Read(2).Erased);
        QCOMPARE(Read(2).LastChange, QDateTimeToDateTime(T0.addSecs(60)));
        QVERIFY(!Read(1).Erased);
        QCOMPARE(w->LView->selectedItems().value(0)->text(5), QStringLiteral("ANO"));
        QTRY_COMPARE(tray.Codes(), QStringList({ "3 0" }));

        // An erased reminder: no question, nothing written.
        const QByteArray erased = readFileBytes(DataPath());
        const qsizetype asked = Dialogs::shown().size();
        w->BVymazClick();
        QCOMPARE(Dialogs::shown().size(), asked);
        QCOMPARE(readFileBytes(DataPath()), erased);

        // Transfer on and off, nothing to the tray; the glyph follows a click.
        w->BEIANClick();
        QVERIFY(Read(2).Transferable);
        ClickRow(w->LView, 1);
        QCOMPARE(w->BEIANGlyph(), QStringLiteral("EIANO"));
        w->MPPrenos->trigger();
        QVERIFY(!Read(2).Transferable);
        QVERIFY(!Read(1).Transferable);

        // A row whose record moved (the file renumbered by another window)
        // only refreshes the list.
        w->LView->setCurrentItem(w->LView->topLevelItem(1));
        DeleteReminder(1, DataPath());
        const QByteArray moved = readFileBytes(DataPath());
        w->BVymazClick();
        w->BEIANClick();
        QCOMPARE(readFileBytes(DataPath()), moved);
        QCOMPARE(w->LView->topLevelItemCount(), 1);
        QCOMPARE(tray.Codes(), QStringList({ "3 0" }));
    }

    void hubOpensAndRefreshes()
    {
        // -2 on an empty file opens nothing.
        m_program->hub().HandleReminderCommand(rcOverview);
        QVERIFY(!FindForm("FPrehled"));

        Add(Reminder(QStringLiteral("jedna"), 0, QStringLiteral("11:00")));
        m_program->hub().HandleReminderCommand(rcOverview);
        auto* w = qobject_cast<TFPrehled*>(FindForm("FPrehled"));
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
        Add(Reminder(QStringLiteral("dvě"), 0, QStringLiteral("12:00")));
        m_program->hub().HandleReminderCommand(rcRefreshOverview);
        QCOMPARE(w->LView->topLevelItemCount(), 2);
        // A second -2 brings the same window forward.
        m_program->hub().HandleReminderCommand(rcOverview);
        QCOMPARE(qobject_cast<TFPrehled*>(FindForm("FPrehled")), w);

        // The file emptied behind the window: the next refresh closes it.
        QPointer<TFPrehled> open = w;
        QFile::remove(DataPath());
        w->MZobrazObnov->trigger();
        QTRY_VERIFY(!open);
    }

    void commandsOpenTheirWindows()
    {
        Add(Reminder(QStringLiteral("jedna"), 0, QStringLiteral("11:00")));
        auto w = Open();

        // A new reminder on the overview's day, unless that day is past.
        w->SetDTMDate(DateOf(Now()) + 3);
        w->BNewClick();
        QPointer<TFNewPrip> form = qobject_cast<TFNewPrip*>(FindForm("FNewPrip"));
        QVERIFY(form);
        QVERIFY(form->isVisible());
        QCOMPARE(form->EDate->date(), T0.date().addDays(3));
        delete form;
        w->SetDTMDate(DateOf(Now()) - 1);
        w->MPNew->trigger();
        form = qobject_cast<TFNewPrip*>(FindForm("FNewPrip"));
        QVERIFY(form);
        QCOMPARE(form->EDate->date(), T0.date());
        delete form;

        // Export and import run modal; only OK refreshes the lists.
        ReminderForms().Register("FExport", [](OpenMode) { return StandIn("FExport"); });
        ReminderForms().Register("FImport", [](OpenMode) { return StandIn("FImport"); });
        Add(Reminder(QStringLiteral("dvě"), 0, QStringLiteral("12:00")));
        Dialogs::queueModal([](QDialog* d) {
            d->done(mrCancel);
            return int(mrCancel);
        });
        w->BExportClick();
        QCOMPARE(w->LView->topLevelItemCount(), 1);
        Dialogs::queueModal([](QDialog* d) {
            d->done(mrOk);
            return int(mrOk);
        });
        w->MPImport->trigger();
        QCOMPARE(w->LView->topLevelItemCount(), 2);
        Dialogs::queueModal([](QDialog* d) {
            d->done(mrOk);
            return int(mrOk);
        });
        w->MPExport->trigger();
        QCOMPARE(Dialogs::shownModals(), QStringList({ "FExport", "FImport", "FExport" }));

        // An empty list exports and removes nothing.
        w->ChBOmez->setChecked(true);
        w->MDZitra->trigger();
        QCOMPARE(w->LView->topLevelItemCount(), 0);
        w->BExportClick();
        w->BOdstranClick();
        w->BEditClick();
        w->BVymazClick();
        QCOMPARE(Dialogs::shownModals().size(), 3);
        QVERIFY(Dialogs::shown().isEmpty());
        ReminderForms().Register("FExport", {});
        ReminderForms().Register("FImport", {});
    }

    void convertsOldDataFirst()
    {
        writeFileBytes(DataPath(), OldRecord(1, "stará") + OldRecord(2, "druhá"));
        auto w = Open();
        QVERIFY(w);
        QCOMPARE(CheckDataVersion(DataPath()), DataVersionCheck::Current);
        QCOMPARE(ReminderCount(DataPath()), 2);
        QCOMPARE(w->LView->topLevelItemCount(), 2);
        QVERIFY(!FindForm("FPrevod"));

        // A newer layout: the user is told, nothing is read or written.
        delete w;
        QByteArray newer(ReminderRecord::Size, '\0');
        const int32_t mark = DataVersion - 1;
        std::memcpy(newer.data(), &mark, 4);
        writeFileBytes(DataPath(), newer);
        w = Open();
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(w->LView->topLevelItemCount(), 0);
        QCOMPARE(readFileBytes(DataPath()), newer);
    }

    void baseListOfErasedReminders()
    {
        Add(Reminder(QStringLiteral("živé"), 0, QStringLiteral("11:00")));
        ReminderRecord erased = Reminder(QStringLiteral("pryč"), 0, QStringLiteral("12:00"));
        erased.Erased = true;
        Add(erased);
        Add(erased);
        QPointer<ErasedList> w = new ErasedList;
        QCOMPARE(Column(w->LView, 8), QStringList({ "2", "3" }));
        QVERIFY(w->ChBOmez->isHidden());
        QVERIFY(w->DTM->isHidden());
        QVERIFY(w->PanelPlus->isHidden());
        QVERIFY(!w->MZAutoJenDen->isVisible());
        QCOMPARE(w->DTM->contextMenuPolicy(), Qt::NoContextMenu);

        // Both lists' default sorts, under the window's own name.
        w->ColumnClick(w->LViewU, 2);
        w->MISAkt->trigger();
        QCOMPARE(IniReadInteger(Ini(), "FOdstran", "vych_colU", 0), 2);
        QCOMPARE(IniReadBool(Ini(), "FOdstran", "vych_AZU", false), true);
        w->MISNic->trigger();
        QCOMPARE(IniReadInteger(Ini(), "FOdstran", "vych_col", 0), -1);
        QCOMPARE(IniReadInteger(Ini(), "FOdstran", "vych_colU", 0), -1);

        // A sort keeps every selected row selected.
        w->LView->selectAll();
        w->ColumnClick(w->LView, 8);
        w->ColumnClick(w->LView, 8);
        QCOMPARE(w->LView->selectedItems().size(), 2);
        QCOMPARE(Column(w->LView, 8), QStringList({ "3", "2" }));

        // The result set while closing is the one the modal run ends with.
        Dialogs::queueModal([](QDialog* d) {
            d->done(mrCancel);
            return d->result();
        });
        QCOMPARE(Dialogs::execModal(w), int(mrOk));
        QTRY_VERIFY(!w);
        QCOMPARE(IniReadInteger(Ini(), "FOdstran", "fontsize", 0), 9);
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);
    }

    void settingsKeysSaved()
    {
        Add(Reminder(QStringLiteral("jedna"), 0, QStringLiteral("11:00")));
        IniWriteInteger(Ini(), "FPrehled", "fontsize", 3);
        IniWriteBool(Ini(), "FPrehled", "PanelPlus", false);
        IniWriteBool(Ini(), "FPrehled", "autoprepomez", true);
        IniWriteInteger(Ini(), "Nastav", "autoprepomezvel", 7);
        auto w = Open();
        QCOMPARE(w->LView->font().pointSize(), 3);
        QVERIFY(w->PanelPlus->isHidden());
        QVERIFY(!w->MZobrazDetail->isChecked());
        QVERIFY(w->TPrepOmez->isActive());
        QCOMPARE(w->TPrepOmez->interval(), 7000);
        for (int i = 0; i < 5; ++i)
            w->MZFontM->trigger();
        QCOMPARE(w->LView->font().pointSize(), 1);
        w->MZFontV->trigger();
        w->MZobrazDetail->trigger();
        w->ChBOmez->setChecked(true);
        w->PUpozor->resize(w->PUpozor->width(), 120);
        w->MZAutoJenDen->trigger();
        w->close();
        QTRY_VERIFY(!w);
        QCOMPARE(IniReadInteger(Ini(), "FPrehled", "fontsize", 0), 2);
        QCOMPARE(IniReadInteger(Ini(), "FPrehled", "velpupozor", 0), 120);
        QCOMPARE(IniReadBool(Ini(), "FPrehled", "autoprepomez", true), false);
        QCOMPARE(IniReadBool(Ini(), "FPrehled", "PanelPlus", false), true);
        QCOMPARE(IniReadInteger(Ini(), "FPrehled", "State", 0), 2);
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);

        // A switching interval of 0 never switches.
        IniWriteInteger(Ini(), "Nastav", "autoprepomezvel", 0);
        IniWriteBool(Ini(), "FPrehled", "autoprepomez", true);
        m_program->restart();
        w = Open();
        QVERIFY(w->TPrepOmez->isActive());
        QVERIFY(w->TPrepOmez->interval() > 24 * 3600 * 1000);
    }
};

QTEST_MAIN(TestPrehled)
#include "tst_prehled.moc"
