// The road of one reminder on the user's desktop: the real tray resident
// finds it due and posts its position, the real reminders program pops it up
// and rings its sounds, and the user confirms it with Enter or erases it; a
// share that has stopped answering stops none of it. Run by
// scripts/xsession.sh.
#include "platform/commandchannel.h"
#include "platform/datetime.h"
#include "platform/inifile.h"
#include "shared/commands.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"

#include "desktop.h"
#include "testsupport.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QTest>
#include <QThread>

namespace {

// Due now: its event half an hour ahead, its first pop-up an hour before it.
ReminderRecord DueReminder()
{
    const double event = QDateTimeToDateTime(QDateTime::currentDateTime().addSecs(30 * 60));
    ReminderRecord r;
    r.ID = 1;
    r.Created = Now();
    r.RemindDate = r.EventDate = DateToStr(event);
    r.RemindTime = r.EventTime = FormatDateTime("hh:nn", event);
    r.RepeatKind = rkNone;
    r.AdvanceKind = akMinutes;
    r.AdvanceAmount = 60;
    r.OverdueAction = oaWithinHours;
    r.OverdueAmount = 1;
    r.Sound1 = QStringLiteral("\\s_hodiny\\gong.wav");
    r.Sound2 = QStringLiteral("\\s_hodiny\\1.wav");
    r.Sound3 = QStringLiteral("\\s_hodiny\\2.wav");
    r.Description1 = QStringLiteral("Zasedačka ve třetím patře, přinést výkaz");
    r.Title = QStringLiteral("Porada týmu");
    r.LengthKind = lkMinutes;
    r.Length = 90 / MinsPerDay;
    return r;
}

ReminderRecord Stored(const Desktop& d)
{
    ReminderRecord r;
    int n = 1;
    ReadReminder(n, d.file("korvel.da1"), r);
    return r;
}

const QString PopupTitle = QStringLiteral("^Připomenutí - Porada týmu$");

} // namespace

class TestPopup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(!qEnvironmentVariable("DISPLAY").isEmpty()); }

    void aDueReminderPopsUpRingsAndEnterConfirmsIt()
    {
        Desktop d;
        const ReminderRecord before = DueReminder();
        WriteReminder(1, d.file("korvel.da1"), before);
        d.start("korvel");

        // The tray's first look at the file starts the reminders program.
        const qulonglong popup = d.waitForWindow(PopupTitle, 60000);
        QVERIFY(popup);
        QVERIFY(d.waitForLine(d.soundLog(), d.file("s_hodiny/2.wav")));
        const QStringList sounds = d.lines(d.soundLog());
        QVERIFY(sounds.size() >= 3);
        QCOMPARE(sounds.mid(0, 3),
            (QStringList { d.file("s_hodiny/gong.wav"), d.file("s_hodiny/1.wav"), d.file("s_hodiny/2.wav") }));

        QTest::qWait(500); // painted, for the picture
        const QString shot = d.screenshot("popup");
        QVERIFY(QFile::exists(shot));

        const QDateTime pressed = QDateTime::currentDateTime();
        d.xdotool({ "windowfocus", "--sync", QString::number(popup) });
        d.xdotool({ "key", "Return" });
        QVERIFY(d.waitForNoWindow(PopupTitle));
        const QDateTime done = QDateTime::currentDateTime();

        // Further mode, a minute on: only the next pop-up moves.
        const ReminderRecord after = Stored(d);
        const auto next = StoredDateTime(after.RemindDate, after.RemindTime);
        QVERIFY(next);
        const QDateTime nextAt = DateTimeToQDateTime(*next);
        QVERIFY2(nextAt >= pressed.addSecs(60).addSecs(-pressed.time().second() - 1) && nextAt <= done.addSecs(60),
            qPrintable(nextAt.toString()));
        QCOMPARE(after.EventDate, before.EventDate);
        QCOMPARE(after.EventTime, before.EventTime);
        QCOMPARE(after.Length, before.Length);
        QCOMPARE(after.Title, before.Title);
        QVERIFY(!after.Erased);
        // Its last window closed, the reminders program ends.
        QVERIFY(waitUntil(10000, [] { return !CommandChannel::answers(ReminderAppTitle); }));
    }

    // With the automatic exchange on and its folder on a share that has
    // stopped answering, the start-up import finds the folder not ready in
    // bounded time, the tray resumes, and the reminder pops up; its sound on
    // that share is skipped.
    void aDueReminderPopsUpWithTheExchangeOnADeadShare()
    {
        DeadMount share;
        if (!share.unavailable().isEmpty())
            QSKIP(qPrintable(share.unavailable()));
        Desktop d;
        IniFile ini(d.iniPath());
        ini.writeString("Nastav", "expimpdir", share.path());
        ini.writeBool("Nastav", "autoexpimp", true); // nothing recorded in [FImport]: due
        ReminderRecord due = DueReminder();
        due.Sound1 = share.path() + QStringLiteral("/gong.wav");
        WriteReminder(1, d.file("korvel.da1"), due);
        QProcess* tray = d.start("korvel");

        const qulonglong popup = d.waitForWindow(PopupTitle, 90000);
        QVERIFY(popup);
        QVERIFY(d.waitForLine(d.soundLog(), d.file("s_hodiny/2.wav")));
        QCOMPARE(d.lines(d.soundLog()).mid(0, 2), (QStringList { d.file("s_hodiny/1.wav"), d.file("s_hodiny/2.wav") }));
        // Confirmed, the reminders program that the tray started ends; the
        // tray is closed without the export a session's end would ask for.
        d.xdotool({ "windowfocus", "--sync", QString::number(popup) });
        d.xdotool({ "key", "Return" });
        QVERIFY(waitUntil(10000, [] { return !CommandChannel::answers(ReminderAppTitle); }));
        QVERIFY(CommandChannel::post(TrayAppTitle, tnPauseAndClose));
        QVERIFY(tray->waitForFinished(10000));
    }

    void theEraseButtonMarksItErased()
    {
        Desktop d;
        WriteReminder(1, d.file("korvel.da1"), DueReminder());
        QProcess* ruvo = d.start("ruvo");
        QVERIFY(waitUntil(10000, [] { return CommandChannel::answers(ReminderAppTitle); }));
        QVERIFY(CommandChannel::post(ReminderAppTitle, 1));
        const qulonglong popup = d.waitForWindow(PopupTitle);
        QVERIFY(popup);

        d.xdotool({ "windowfocus", "--sync", QString::number(popup) });
        d.xdotool({ "key", "alt+v" });
        QVERIFY(d.waitForLine(d.dialogLog(), "Potvrzení\tOpravdu připomenutí vymazat?"));
        const qulonglong question = d.waitForWindow("^Potvrzení$");
        QVERIFY(question);
        // Yes is the first button; a box just mapped may not take keys yet.
        QVERIFY(waitUntil(10000, [&] {
            d.xdotool({ "key", "--window", QString::number(question), "Return" });
            return ruvo->waitForFinished(500);
        }));
        QCOMPARE(ruvo->exitCode(), 0);
        const ReminderRecord r = Stored(d);
        QVERIFY(r.Erased);
        QCOMPARE(r.Title, QStringLiteral("Porada týmu"));
        QVERIFY(std::abs(r.LastChange - Now()) < 60 * OneSecond);
    }
};

QTEST_GUILESS_MAIN(TestPopup)
#include "tst_popup.moc"
