// The edit form on a real program folder: a stored reminder in its controls,
// the record it writes back field by field, lengths left alone, every
// refusal, a reminder that has gone meanwhile, and the overview's modal run.
#include "reminders/ruvo_eprip.h"
#include "reminders/ruvo_prehled.h"
#include "reminders/ruvo_zaklad.h"

#include "components/amedit.h"
#include "components/kitspin.h"
#include "components/tooledit.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/tag.h"
#include "shared/commands.h"
#include "shared/f_p.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"
#include "shared/reminderlists.h"

#include "faketray.h"
#include "remindersprogram.h"
#include "testsupport.h"
#include "timezone.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

namespace {

const QDateTime T0(QDate(2024, 6, 10), QTime(9, 0));

// A reminder of 10.6.2024 at time, its first pop-up 25 minutes before, 90
// minutes long, postponed once to 9:50.
ReminderRecord Reminder(int id, const QString& title, const QString& time = QStringLiteral("10:00"))
{
    ReminderRecord r;
    r.ID = id;
    r.Created = 45000.125 + id;
    r.Transferable = true;
    r.RemindDate = QStringLiteral("10.6.2024");
    r.RemindTime = QStringLiteral("09:50");
    r.EventDate = QStringLiteral("10.6.2024");
    r.EventTime = time;
    r.AdvanceKind = akMinutes;
    r.AdvanceAmount = 25;
    r.OverdueAction = oaWithinHours;
    r.OverdueAmount = 2;
    r.Title = title;
    r.Description1 = QStringLiteral("Přinést výkaz");
    r.LastChange = 45000.5;
    r.NextKind = nkHours;
    r.NextAmount = 3;
    r.LengthKind = lkMinutes;
    r.Length = 90 / MinsPerDay;
    return r;
}

// The byte image of one record as the file holds it.
QByteArray RecordBytes(const QByteArray& file, int position)
{
    return file.mid((position - 1) * ReminderRecord::Size, ReminderRecord::Size);
}

} // namespace

class TestEPrip : public QObject {
    Q_OBJECT

    std::unique_ptr<ProcessTimeZone> m_zone;
    std::unique_ptr<RemindersProgram> m_program;

    QString Data() const { return m_program->dataPath(); }

    void WriteFile(const QList<ReminderRecord>& records)
    {
        QFile::remove(Data());
        for (int i = 0; i < records.size(); ++i)
            WriteReminder(i + 1, Data(), records[i]);
    }
    ReminderRecord Record(int position)
    {
        ReminderRecord r;
        ReadReminder(position, Data(), r);
        return r;
    }
    TFEditPrip* Open(int position)
    {
        auto* f = new TFEditPrip;
        f->EditedRecordNumber = position;
        f->show();
        return f;
    }
    // Clicks OK; the modal result the form closed with, or -1 while it stays.
    int Ok(TFEditPrip* f)
    {
        QSignalSpy finished(f, &QDialog::finished);
        QTest::mouseClick(f->BOK, Qt::LeftButton);
        return finished.isEmpty() ? -1 : finished.first().first().toInt();
    }
    // A real modal run, ended by force (mrAbort) should it not end by itself.
    int Exec(TFEditPrip* f)
    {
        QPointer<TFEditPrip> form(f);
        QTimer::singleShot(10000, f, [form] { form->done(mrAbort); });
        return f->exec();
    }
    QString LastMessage() const { return Dialogs::shown().isEmpty() ? QString() : Dialogs::shown().last().text; }

private slots:
    void initTestCase() { m_zone = std::make_unique<ProcessTimeZone>("Europe/Prague"); }

    void init() { m_program = std::make_unique<RemindersProgram>(T0); }

    void cleanup() { m_program.reset(); }

    void showsTheStoredReminder()
    {
        QDir(m_program->folder()).mkpath(QStringLiteral("sound"));
        writeFileBytes(m_program->file(QStringLiteral("sound/gong.wav")), QByteArray("RIFF"));
        // The defaults of a new reminder are there first and then replaced.
        IniWriteInteger(m_program->iniPath(), "FNewPrip", "EDP", akDays);
        IniWriteInteger(m_program->iniPath(), "FNewPrip", "EDelkaKolik", 7);
        IniWriteString(m_program->iniPath(), "FNewPrip", "zvuk2", m_program->file(QStringLiteral("sound/gong.wav")));
        ReminderRecord r = Reminder(2, QStringLiteral("Zubař"), QStringLiteral("14:30"));
        r.EventDate = QStringLiteral("12.6.2024");
        r.Transferable = false;
        r.Sound1 = QStringLiteral("\\sound\\gong.wav");
        r.Description1 = QString(255, u'ř');
        r.Description2 = QStringLiteral("konec");
        WriteFile({ Reminder(1, QStringLiteral("první")), r });

        TFEditPrip* f = Open(2);
        QCOMPARE(f->objectName(), QStringLiteral("FEditPrip"));
        QCOMPARE(f->windowTitle(), QStringLiteral("Editace připomenutí"));
        QCOMPARE(f->PlacementSection, QStringLiteral("FEditPrip"));
        QCOMPARE(f->BOK->toolTip(), QStringLiteral("použije změny v připomenutí"));
        QCOMPARE(f->BCancel->statusTip(), QStringLiteral("ukončí editaci připomenutí bez použití změn"));
        QVERIFY(!f->MVychozi->menuAction()->isVisible());

        QCOMPARE(f->EDate->date(), QDate(2024, 6, 12));
        QCOMPARE(f->ECas->text(), QStringLiteral("14:30"));
        QVERIFY(!f->ChBPrenos->isChecked());
        QVERIFY(!f->ChBPouzeZvuk->isChecked());
        QCOMPARE(tag(f->CBDP), akMinutes);
        QCOMPARE(f->EDPKolik->ValueAsInteger(), 25);
        QCOMPARE(f->ECasPred->text(), QStringLiteral("2024.06.12 14:05-středa"));
        QCOMPARE(tag(f->CBProsle), oaWithinHours);
        QCOMPARE(f->EProsleKolik->ValueAsInteger(), 2);
        QCOMPARE(tag(f->CBDelka), lkMinutes);
        QCOMPARE(f->SEDelka->ValueAsInteger(), 90);
        QCOMPARE(f->AMEDelka->text(), QStringLiteral("2024.06.12 16:00-středa"));
        QCOMPARE(f->EZvuk1->FileName(), m_program->file(QStringLiteral("sound/gong.wav")));
        QCOMPARE(f->EZvuk2->FileName(), QString());
        QCOMPARE(f->ENadpis->text(), QStringLiteral("Zubař"));
        QCOMPARE(f->MPopis->toPlainText(), QString(255, u'ř') + QStringLiteral("konec"));
        QCOMPARE(f->MPopis->textCursor().position(), 0);

        // Its placement is its own.
        f->resize(f->width() + 40, f->height());
        f->done(mrCancel);
        QVERIFY(IniReadInteger(m_program->iniPath(), "FEditPrip", "Width", 0) > 0);
        QCOMPARE(IniReadInteger(m_program->iniPath(), "FNewPrip", "Width", 0), 0);
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);
    }

    void showsASoundOnlyReminder()
    {
        ReminderRecord r = Reminder(1, QStringLiteral("Budík"), QStringLiteral("07:00"));
        r.EventDate = QStringLiteral("11.6.2024");
        r.SoundOnly = true;
        r.RepeatKind = rkWeekdays;
        r.Weekdays = QStringLiteral("26");
        r.AdvanceKind = 0;
        r.AdvanceAmount = 0;
        r.Length = 0;
        WriteFile({ r });
        TFEditPrip* f = Open(1);
        QVERIFY(f->ChBPouzeZvuk->isChecked());
        QCOMPARE(f->CBDP->count(), RepeatKindCount());
        QCOMPARE(tag(f->CBDP), rkWeekdays);
        QVERIFY(f->PDny->isVisible());
        QVERIFY(!f->PPopis->isVisible());
        QCOMPARE(f->ChLDny->item(1)->checkState(), Qt::Checked);
        QCOMPARE(f->ChLDny->item(5)->checkState(), Qt::Checked);
        QCOMPARE(f->ChLDny->item(0)->checkState(), Qt::Unchecked);

        // Unlike a new one, an edited sound-only reminder needs no sound.
        QCOMPARE(Ok(f), int(mrOk));
        QVERIFY(Dialogs::shown().isEmpty());
        const ReminderRecord after = Record(1);
        QCOMPARE(after.SoundOnly, true);
        QCOMPARE(after.RepeatKind, rkWeekdays);
        QCOMPARE(after.Weekdays, QStringLiteral("26"));
        QCOMPARE(after.AdvanceKind, 0);
        QCOMPARE(after.AdvanceAmount, 0.0);
        QCOMPARE(after.Length, 0.0);
        QCOMPARE(after.Sound1, QString());
    }

    // Fields the form does not show are kept; the next pop-up goes back to
    // the event; an erased reminder is active again; the records around it
    // stay byte for byte.
    void writesTheRecordBackFieldByField()
    {
        FakeTray tray(m_program->file(QStringLiteral("tray.log")));
        QVERIFY(tray.Ready());
        ReminderRecord r = Reminder(2, QStringLiteral("Zubař"));
        r.Erased = true;
        r.Sound2 = QStringLiteral("/nikde/zvon a vítr.wav");
        r.Description1 = QString(255, u'ř');
        r.Description2 = QStringLiteral("konec");
        WriteFile({ Reminder(1, QStringLiteral("první")), r, Reminder(3, QStringLiteral("třetí")) });
        const QByteArray before = readFileBytes(Data());
        Clock::setNow(T0.addSecs(120));

        TFEditPrip* f = Open(2);
        f->ECas->setText(QStringLiteral("11:15"));
        f->ENadpis->selectAll();
        f->ENadpis->setFocus();
        typeText(f->ENadpis, QStringLiteral("Ortodoncie úterý"));
        f->EProsleKolik->SetValue(5);
        f->CBDP->setCurrentIndex(akHours - 1);
        f->EDPKolik->SetValue(1);
        QCOMPARE(Ok(f), int(mrOk));
        QVERIFY(Dialogs::shown().isEmpty());

        QCOMPARE(ReminderCount(Data()), 3);
        const ReminderRecord a = Record(2);
        QCOMPARE(a.Version, DataVersion);
        QCOMPARE(a.ID, 2);
        QCOMPARE(a.Created, r.Created);
        QCOMPARE(a.Transferable, true);
        QCOMPARE(a.RemindDate, QStringLiteral("10.6.2024"));
        QCOMPARE(a.RemindTime, QStringLiteral("11:15"));
        QCOMPARE(a.EventDate, QStringLiteral("10.6.2024"));
        QCOMPARE(a.EventTime, QStringLiteral("11:15"));
        QCOMPARE(a.SoundOnly, false);
        QCOMPARE(a.RepeatKind, 0);
        QCOMPARE(a.Weekdays, QString());
        QCOMPARE(a.AdvanceKind, akHours);
        QCOMPARE(a.AdvanceAmount, 1.0);
        QCOMPARE(a.OverdueAction, oaWithinHours);
        QCOMPARE(a.OverdueAmount, 5);
        QCOMPARE(a.Sound1, QString());
        QCOMPARE(a.Sound2, r.Sound2);
        QCOMPARE(a.Sound3, QString());
        QCOMPARE(a.Description1, r.Description1);
        QCOMPARE(a.Description2, r.Description2);
        QCOMPARE(a.Title, QStringLiteral("Ortodoncie úterý"));
        QCOMPARE(a.Erased, false);
        QCOMPARE(a.LastChange, QDateTimeToDateTime(T0.addSecs(120)));
        QCOMPARE(a.NextKind, nkHours);
        QCOMPARE(a.NextAmount, 3.0);
        QCOMPARE(a.LengthKind, lkMinutes);
        QCOMPARE(a.Length, r.Length);
        const QByteArray after = readFileBytes(Data());
        QCOMPARE(RecordBytes(after, 1), RecordBytes(before, 1));
        QCOMPARE(RecordBytes(after, 3), RecordBytes(before, 3));
        QTRY_COMPARE(tray.Codes(), QStringList { QStringLiteral("1 0") });
        QCOMPARE(Dialogs::beeps().size(), 1);
    }

    // Saving without touching the length keeps every bit of it; a stored
    // kind 0 or above 4 is minutes. Only a changed amount is stored anew.
    void anUntouchedLengthStaysAsItWas_data()
    {
        QTest::addColumn<int>("storedKind");
        QTest::addColumn<double>("length");
        QTest::addColumn<int>("shownKind");
        QTest::addColumn<int>("shownAmount");
        QTest::newRow("90 minutes") << int(lkMinutes) << 90 / MinsPerDay << int(lkMinutes) << 90;
        QTest::newRow("36 hours") << int(lkHours) << 1.5 << int(lkHours) << 36;
        QTest::newRow("2 days and a half") << int(lkDays) << 2.5 << int(lkDays) << 2;
        QTest::newRow("kind 0, 90 minutes") << 0 << 90 / MinsPerDay << int(lkMinutes) << 90;
        QTest::newRow("kind 5, 90 minutes") << 5 << 90 / MinsPerDay << int(lkMinutes) << 90;
        QTest::newRow("kind -3, 7 seconds") << -3 << 7 * OneSecond << int(lkMinutes) << 0;
    }
    void anUntouchedLengthStaysAsItWas()
    {
        QFETCH(int, storedKind);
        QFETCH(double, length);
        QFETCH(int, shownKind);
        QFETCH(int, shownAmount);
        IniWriteInteger(m_program->iniPath(), "FNewPrip", "EDelkaKolik", 7);
        ReminderRecord r = Reminder(1, QStringLiteral("Porada"));
        r.LengthKind = storedKind;
        r.Length = length;
        WriteFile({ r });

        TFEditPrip* f = Open(1);
        QCOMPARE(tag(f->CBDelka), shownKind);
        QVERIFY(f->SEDelka->isVisibleTo(f));
        QVERIFY(!f->DTPDelka->isVisibleTo(f));
        QCOMPARE(f->SEDelka->ValueAsInteger(), shownAmount);
        QCOMPARE(Ok(f), int(mrOk));
        QCOMPARE(Record(1).LengthKind, shownKind);
        QCOMPARE(Record(1).Length, length);

        // Changed by the user, the amount counts in whole units.
        f = Open(1);
        f->SEDelka->setFocus();
        f->SEDelka->selectAll();
        QTest::keyClicks(f->SEDelka, "45");
        QCOMPARE(Ok(f), int(mrOk));
        QCOMPARE(Record(1).Length, 45 * (shownKind == lkHours ? OneHour : shownKind == lkDays ? 1.0 : OneMinute));
    }

    void anEndDateAndTimeStaysTheEnd()
    {
        ReminderRecord r = Reminder(1, QStringLiteral("Výlet"));
        r.LengthKind = lkEndDateTime;
        r.Length = 2 + 150 * OneMinute; // 12.6.2024 12:30
        WriteFile({ r });
        TFEditPrip* f = Open(1);
        QCOMPARE(tag(f->CBDelka), lkEndDateTime);
        QCOMPARE(f->DTPDelka->date(), QDate(2024, 6, 12));
        QCOMPARE(f->MEDelka->text(), QStringLiteral("12:30"));
        f->ECas->setText(QStringLiteral("11:00"));
        QCOMPARE(Ok(f), int(mrOk));
        QCOMPARE(Record(1).LengthKind, lkEndDateTime);
        QCOMPARE(qRound64(Record(1).Length * MinsPerDay), 2 * 1440 + 90);
    }

    void refusesWhatCannotBeStored()
    {
        WriteFile({ Reminder(1, QStringLiteral("Porada")) });
        const QByteArray before = readFileBytes(Data());
        TFEditPrip* f = Open(1);

        // The event an hour ahead, the first pop-up two hours before it.
        f->CBDP->setCurrentIndex(akHours - 1);
        f->EDPKolik->SetValue(2);
        QCOMPARE(Ok(f), -1);
        QCOMPARE(LastMessage(), QStringLiteral("Již mělo být připomenuto,\rnelze!"));
        QCOMPARE(Dialogs::shown().last().type, MsgDlgType::Information);
        QCOMPARE(Dialogs::shown().last().buttons, int(MsgBtn::OK));
        QCOMPARE(Dialogs::beeps().last(), MsgDlgType::Information);

        // A first pop-up due this very moment is due already.
        f->CBDP->setCurrentIndex(akMinutes - 1);
        f->EDPKolik->SetValue(60);
        QCOMPARE(Ok(f), -1);
        QCOMPARE(LastMessage(), QStringLiteral("Již mělo být připomenuto,\rnelze!"));
        f->CBDP->setCurrentIndex(akAbsolute - 1);
        f->DTDP->setDate(QDate(2024, 6, 10));
        f->MEDP->setText(QStringLiteral("08:59"));
        QCOMPARE(Ok(f), -1);
        QCOMPARE(Dialogs::shown().size(), 3);

        // An end before the start.
        f->MEDP->setText(QStringLiteral("09:01"));
        f->CBDelka->setFocus();
        QTest::keyClick(f->CBDelka, Qt::Key_End); // the last kind, as the user chooses it
        QCOMPARE(tag(f->CBDelka), lkEndDateTime);
        QCOMPARE(f->MEDelka->text(), QStringLiteral("11:30")); // after the stored 90 minutes
        f->MEDelka->setText(QStringLiteral("09:30"));
        QCOMPARE(Ok(f), -1);
        QCOMPARE(LastMessage(), QStringLiteral("Délka připomínané akce je chybně zadána,\rzadej znovu!"));

        // A half-typed time.
        f->MEDelka->setText(QStringLiteral("1"));
        QCOMPARE(Ok(f), -1);
        QCOMPARE(LastMessage(), QStringLiteral("Chybný formát"));

        QCOMPARE(readFileBytes(Data()), before);
        QVERIFY(f->isVisible());

        // Missing sounds are not asked about.
        f->MEDelka->setText(QStringLiteral("11:00"));
        f->EZvuk1->setText(QStringLiteral("\\není.wav"));
        const int shown = Dialogs::shown().size();
        QCOMPARE(Ok(f), int(mrOk));
        QCOMPARE(Dialogs::shown().size(), shown);
        QCOMPARE(Record(1).Sound1, QStringLiteral("\\není.wav"));
        QCOMPARE(Record(1).AdvanceAmount, EncodeDate(2024, 6, 10) + EncodeTime(9, 1, 0, 0));
    }

    // Another window renumbered the file while the form was open: the
    // reminder now at the position is another one and is left alone.
    void aReminderGoneMeanwhileIsNotWrittenOver()
    {
        WriteFile({ Reminder(1, QStringLiteral("první")), Reminder(2, QStringLiteral("druhá")),
            Reminder(3, QStringLiteral("třetí")) });
        QPointer<TFEditPrip> f = Open(2);
        QSignalSpy finished(f.data(), &QDialog::finished);
        ReminderRecord third = Reminder(3, QStringLiteral("třetí"));
        third.ID = 2;
        WriteFile({ Reminder(1, QStringLiteral("první")), third });
        const QByteArray bytes = readFileBytes(Data());
        f->ENadpis->setText(QStringLiteral("změněná"));
        QTest::mouseClick(f->BOK, Qt::LeftButton);
        QCOMPARE(LastMessage(),
            QStringLiteral("Připomenutí již není v seznamu (bylo mezitím vymazáno nebo přesunuto)\r"
                           "formulář se zavře bez uložení změn"));
        QCOMPARE(Dialogs::shown().last().type, MsgDlgType::Warning);
        QCOMPARE(readFileBytes(Data()), bytes);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toInt(), int(mrCancel));
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);
    }

    // A position the file no longer holds: the modal run ends at once,
    // nothing written.
    void aPositionBeyondTheFileEndsTheModalRun()
    {
        WriteFile({ Reminder(1, QStringLiteral("první")) });
        const QByteArray bytes = readFileBytes(Data());
        QPointer<TFEditPrip> f = new TFEditPrip;
        f->EditedRecordNumber = 2;
        QCOMPARE(Exec(f), int(mrCancel));
        QVERIFY(LastMessage().startsWith(QStringLiteral("Připomenutí již není v seznamu")));
        QCOMPARE(readFileBytes(Data()), bytes);
        QTRY_VERIFY(!f);
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);
    }

    void anUnreadableFileEndsTheModalRun()
    {
        QDir().mkpath(Data()); // a folder where the file should be
        QPointer<TFEditPrip> f = new TFEditPrip;
        f->EditedRecordNumber = 1;
        QCOMPARE(Exec(f), int(mrCancel));
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().first().type, MsgDlgType::Error);
    }

    // The overview opens the form modal for the selected row and reloads
    // only when the form reports OK.
    void theOverviewEditsTheSelectedReminder()
    {
        WriteFile({ Reminder(1, QStringLiteral("první"), QStringLiteral("11:00")),
            Reminder(2, QStringLiteral("druhá"), QStringLiteral("12:00")) });
        QPointer<TFPrehled> w = new TFPrehled;
        w->show();
        SelectItemById(w->LView, 2);
        int edited = 0;
        Dialogs::queueModal([&edited](QDialog* d) {
            auto* f = qobject_cast<TFEditPrip*>(d);
            if (!f)
                return int(mrAbort);
            edited = f->EditedRecordNumber;
            f->show();
            f->ENadpis->setText(QStringLiteral("upravená"));
            QSignalSpy finished(f, &QDialog::finished);
            f->BOKClick();
            return finished.isEmpty() ? int(mrNone) : finished.first().first().toInt();
        });
        w->MPEditace->trigger();
        QCOMPARE(edited, 2);
        QCOMPARE(Dialogs::shownModals(), QStringList { QStringLiteral("FEditPrip") });
        QCOMPARE(Record(2).Title, QStringLiteral("upravená"));
        const int title = 0;
        QStringList titles;
        for (int i = 0; i < w->LView->topLevelItemCount(); ++i)
            titles << w->LView->topLevelItem(i)->text(title);
        QVERIFY2(titles.contains(QStringLiteral("upravená")), qPrintable(titles.join(u',')));

        // Cancelled, it leaves the list as it was.
        Dialogs::queueModal([](QDialog* d) {
            d->done(mrCancel);
            return int(mrCancel);
        });
        ReminderRecord changed = Record(1);
        changed.Title = QStringLiteral("jinde");
        WriteReminder(1, Data(), changed);
        w->BEditClick();
        QCOMPARE(Dialogs::shownModals().size(), 2);
        titles.clear();
        for (int i = 0; i < w->LView->topLevelItemCount(); ++i)
            titles << w->LView->topLevelItem(i)->text(title);
        QVERIFY(!titles.contains(QStringLiteral("jinde")));
        delete w;
    }
};

QTEST_MAIN(TestEPrip)
#include "tst_eprip.moc"
