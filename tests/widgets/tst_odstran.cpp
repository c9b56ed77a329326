// The removal window on a real program folder with a stand-in tray resident:
// the erased reminders listed and selected, the selected ones removed and
// the rest renumbered between the tray codes 4 and 5 (also when the file
// fails), open pop-ups following their reminders, and its modal result.
#include "reminders/ruvo_odstran.h"
#include "reminders/ruvo_prehled.h"
#include "reminders/ruvo_prip.h"
#include "reminders/ruvo_zaklad.h"

#include "components/contexthelp.h"
#include "platform/commandchannel.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "shared/commands.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"

#include "faketray.h"
#include "remindersprogram.h"
#include "testsupport.h"
#include "timezone.h"

#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

namespace {

const QDateTime T0(QDate(2024, 3, 5), QTime(14, 10));

// A reminder of 5.3.2024 14:30, due since 14:05.
ReminderRecord Reminder(int id, bool erased)
{
    ReminderRecord r;
    r.ID = id;
    r.Created = 45000.25 + id;
    r.RemindDate = r.EventDate = QStringLiteral("5.3.2024");
    r.RemindTime = QStringLiteral("14:05");
    r.EventTime = QStringLiteral("14:30");
    r.AdvanceKind = akMinutes;
    r.AdvanceAmount = 25;
    r.OverdueAction = oaWithinHours;
    r.OverdueAmount = 2;
    r.Title = QStringLiteral("Připomínka %1").arg(id);
    r.Erased = erased;
    r.NextKind = nkMinutes;
    r.NextAmount = 1;
    return r;
}

QStringList Column(const QTreeWidget* list, int column)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

} // namespace

class TestOdstran : public QObject {
    Q_OBJECT

    std::unique_ptr<ProcessTimeZone> m_zone;
    std::unique_ptr<RemindersProgram> m_program;
    std::unique_ptr<FakeTray> m_tray;

    QString Data() const { return m_program->dataPath(); }

    // Records 1..n, those of erased positions marked erased.
    void WriteFile(int n, const QList<int>& erased)
    {
        QFile::remove(Data());
        for (int i = 1; i <= n; ++i)
            WriteReminder(i, Data(), Reminder(i, erased.contains(i)));
    }
    ReminderRecord Record(int position)
    {
        ReminderRecord r;
        ReadReminder(position, Data(), r);
        return r;
    }
    QList<double> Createds()
    {
        QList<double> c;
        ForEachReminder(Data(), [&c](int, const ReminderRecord& r) { c << r.Created; });
        return c;
    }
    QList<int> Ids()
    {
        QList<int> ids;
        ForEachReminder(Data(), [&ids](int, const ReminderRecord& r) { ids << r.ID; });
        return ids;
    }
    static int Number(const TFOdstran* w) { return w->LView->columnCount() - 1; }
    void Select(TFOdstran* w, const QStringList& numbers)
    {
        for (int i = 0; i < w->LView->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = w->LView->topLevelItem(i);
            item->setSelected(numbers.contains(item->text(Number(w))));
        }
    }

private slots:
    void initTestCase()
    {
        m_zone = std::make_unique<ProcessTimeZone>("Europe/Prague");
        QCOMPARE(CommandChannel::own().listen(ReminderAppTitle), CommandChannel::ListenResult::Listening);
    }

    void init()
    {
        m_program = std::make_unique<RemindersProgram>(T0);
        qputenv("KORVEL_SOUND_LOG", QFile::encodeName(m_program->file(QStringLiteral("sound.log"))));
        m_tray = std::make_unique<FakeTray>(m_program->file(QStringLiteral("tray.log")));
        QVERIFY(m_tray->Ready());
    }

    void cleanup()
    {
        m_program->closeWindows();
        m_tray.reset();
        m_program.reset();
        qunsetenv("KORVEL_SOUND_LOG");
    }

    void listsTheErasedOnesAllSelected()
    {
        WriteFile(5, { 2, 3, 5 });
        auto* w = new TFOdstran;
        w->show();
        QCOMPARE(w->objectName(), QStringLiteral("FOdstran"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Odstranění připomenutí"));
        QCOMPARE(HelpContext(w), 800);
        QVERIFY(!w->NothingToRemove);
        QVERIFY(!w->Removed);
        QCOMPARE(Column(w->LView, Number(w)), QStringList({ "2", "3", "5" }));
        QCOMPARE(w->LView->selectedItems().size(), 3);
        QCOMPARE(w->LView->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(w->BOK->statusTip(), QStringLiteral("odstranění vybraných připomenutí"));
        QVERIFY(!w->BOK->icon().isNull());
        // OK stands two pixels left of Cancel, however wide the window.
        for (const int width : { 520, 700 }) {
            w->resize(width, 400);
            QCOMPARE(w->BOK->geometry().right() + 1 + 2, w->BCancel->x());
            QCOMPARE(w->BOK->y(), w->BCancel->y());
        }
        QVERIFY(m_tray->Codes().isEmpty());
    }

    // Two of three erased reminders out of five: three records numbered 1..3
    // in their order, the tray paused before and resumed after, the window
    // open with the one left under its new number.
    void removesTheSelectedAndRenumbersTheRest()
    {
        WriteFile(5, { 2, 3, 5 });
        QPointer<TFOdstran> w = new TFOdstran;
        w->show();
        Select(w, { "2", "5" });
        w->BOKClick();
        QVERIFY(Dialogs::shown().isEmpty());
        QCOMPARE(Createds(), QList<double>({ 45001.25, 45003.25, 45004.25 }));
        QCOMPARE(Ids(), QList<int>({ 1, 2, 3 }));
        QCOMPARE(m_tray->WaitForCodes(2), QStringList({ "4 0", "5 0" }));
        QVERIFY(w && w->isVisible());
        QVERIFY(w->Removed);
        // The erased reminder left is at 2 now: removing it removes that one,
        // never the live reminder that took its old number.
        QCOMPARE(Column(w->LView, Number(w)), QStringList({ "2" }));
        QVERIFY(w->LView->selectedItems().isEmpty());

        // Nothing selected, nothing done.
        const QByteArray bytes = readFileBytes(Data());
        w->BOKClick();
        QCOMPARE(readFileBytes(Data()), bytes);
        QTest::qWait(100);
        QCOMPARE(m_tray->Codes().size(), 2);

        // A number cell that is no number deletes nothing.
        w->LView->topLevelItem(0)->setText(Number(w), QStringLiteral("x"));
        w->LView->topLevelItem(0)->setSelected(true);
        w->BOKClick();
        QCOMPARE(readFileBytes(Data()), bytes);
        QCOMPARE(m_tray->WaitForCodes(4), QStringList({ "4 0", "5 0", "4 0", "5 0" }));

        Select(w, { "2" });
        w->BOKClick();
        QCOMPARE(Createds(), QList<double>({ 45001.25, 45004.25 }));
        QCOMPARE(Ids(), QList<int>({ 1, 2 }));
        QCOMPARE(Column(w->LView, Number(w)), QStringList());
        QCOMPARE(m_tray->WaitForCodes(6).mid(4), QStringList({ "4 0", "5 0" }));
    }

    // A number cell that is no number removes nothing, not even a reminder
    // whose ID was never set (0).
    void aCellThatIsNoNumberRemovesNothing()
    {
        WriteFile(3, { 2, 3 });
        ReminderRecord unnumbered = Record(2);
        unnumbered.ID = 0;
        WriteReminder(2, Data(), unnumbered);
        QPointer<TFOdstran> w = new TFOdstran;
        w->show();
        QCOMPARE(Column(w->LView, Number(w)), QStringList({ "0", "3" }));
        Select(w, { "3" });
        w->LView->topLevelItem(1)->setText(Number(w), QStringLiteral("x"));
        w->BOKClick();
        QCOMPARE(Createds(), QList<double>({ 45001.25, 45002.25, 45003.25 }));
        QCOMPARE(Ids(), QList<int>({ 1, 2, 3 }));
        QCOMPARE(m_tray->WaitForCodes(2), QStringList({ "4 0", "5 0" }));
        QVERIFY(w->Removed); // renumbered all the same: the opener reloads

        // Its real number removes it.
        Select(w, { "2" });
        w->BOKClick();
        QCOMPARE(Createds(), QList<double>({ 45001.25, 45003.25 }));
    }

    // The file cannot be written (a folder stands in its place): the error is
    // shown, and the tray resident is never left paused.
    void anErrorStillResumesTheTray()
    {
        WriteFile(3, { 2 });
        QPointer<TFOdstran> w = new TFOdstran;
        w->show();
        QVERIFY(QFile::remove(Data()));
        QVERIFY(QDir().mkpath(Data()));
        w->BOKClick();
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().first().type, MsgDlgType::Error);
        QCOMPARE(m_tray->WaitForCodes(2), QStringList({ "4 0", "5 0" }));
        QVERIFY(!w->Removed);
        QVERIFY(w->isVisible());
    }

    // The pop-ups of the second and third reminders are open; the second is
    // then erased and removed. The third's pop-up follows its reminder to
    // position 2; the second's writes over nobody when confirmed.
    void openPopupsNeverWriteOverAnotherReminder()
    {
        WriteFile(3, {});
        QPointer<TFPrip> second;
        QPointer<TFPrip> third;
        m_program->hub().HandleReminderCommand(2);
        second = dynamic_cast<TFPrip*>(FindPopup(2));
        m_program->hub().HandleReminderCommand(3);
        third = dynamic_cast<TFPrip*>(FindPopup(3));
        QVERIFY(second && third);
        ReminderRecord erased = Record(2);
        erased.Erased = true;
        WriteReminder(2, Data(), erased);

        QPointer<TFOdstran> w = new TFOdstran;
        w->show();
        QCOMPARE(Column(w->LView, Number(w)), QStringList { "2" });
        w->BOKClick();
        QCOMPARE(Ids(), QList<int>({ 1, 2 }));
        QCOMPARE(Createds(), QList<double>({ 45001.25, 45003.25 }));
        QCoreApplication::processEvents();
        QCOMPARE(third->RecordNumber(), 2);
        QCOMPARE(third->objectName(), PopupName(2));
        QCOMPARE(FindPopup(2), third.data());
        QVERIFY(second->objectName().isEmpty());

        const QByteArray bytes = readFileBytes(Data());
        second->BOKClick();
        QVERIFY(Dialogs::shown().last().text.startsWith(QStringLiteral("Připomenutí již není v seznamu")));
        QCOMPARE(readFileBytes(Data()), bytes);

        third->BOKClick();
        QCOMPARE(Record(2).Created, 45003.25);
        QCOMPARE(Record(2).ID, 2);
        QCOMPARE(Record(2).Title, QStringLiteral("Připomínka 3"));
        QCOMPARE(Record(2).RemindTime, QStringLiteral("14:11")); // a minute on, further mode
        QCOMPARE(Record(1), Reminder(1, false));
    }

    // A real modal run: closed by Cancel it reports OK once it has removed
    // something, so that its opener reloads.
    void closesWithOkOnceSomethingWasRemoved()
    {
        WriteFile(3, { 1, 2 });
        for (const bool remove : { false, true }) {
            QPointer<TFOdstran> w = new TFOdstran;
            QTimer::singleShot(0, w, [w, remove] {
                if (remove)
                    w->BOK->click();
                w->BCancel->click();
            });
            QTimer::singleShot(10000, w, [w] { w->done(mrAbort); });
            const int result = w->exec();
            QCOMPARE(result, remove ? int(mrOk) : int(QDialog::Rejected));
            QTRY_VERIFY(!w);
        }
        QCOMPARE(ReminderCount(Data()), 1);
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);
    }

    // The overview opens it modal and reloads on OK; with nothing erased it
    // opens nothing.
    void theOverviewRemovesThroughIt()
    {
        WriteFile(3, {});
        QPointer<TFPrehled> overview = new TFPrehled;
        overview->show();
        overview->BOdstranClick();
        QVERIFY(Dialogs::shownModals().isEmpty());
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
        QVERIFY(m_tray->Codes().isEmpty());

        ReminderRecord erased = Record(2);
        erased.Erased = true;
        WriteReminder(2, Data(), erased);
        overview->Aktualizuj();
        QCOMPARE(Column(overview->LView, 8), QStringList({ "1", "2", "3" }));
        Dialogs::queueModal([](QDialog* d) {
            auto* w = qobject_cast<TFOdstran*>(d);
            if (!w)
                return int(mrAbort);
            w->show();
            QSignalSpy finished(w, &QDialog::finished);
            w->BOKClick();
            w->BCancelClick();
            return finished.isEmpty() ? int(mrNone) : finished.first().first().toInt();
        });
        overview->MPOdstran->trigger();
        QCOMPARE(Dialogs::shownModals(), QStringList { QStringLiteral("FOdstran") });
        QCOMPARE(Column(overview->LView, 8), QStringList({ "1", "2" }));
        QCOMPARE(Createds(), QList<double>({ 45001.25, 45003.25 }));
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
    }
};

QTEST_MAIN(TestOdstran)
#include "tst_odstran.moc"
