// The tray resident's reminder ticks over real reminder files: which pop-ups
// are due, how sound-only reminders sound and move on, and when the timers
// look again.
#include "platform/datetime.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"
#include "tray/duereminders.h"

#include "testsupport.h"
#include "timezone.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QDateTime at(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

double moment(int y, int mo, int d, int h, int mi, int s = 0)
{
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, 0);
}

ReminderRecord reminder(const QString& date, const QString& time)
{
    ReminderRecord r;
    r.RemindDate = date;
    r.RemindTime = time;
    r.EventDate = date;
    r.EventTime = time;
    r.AdvanceKind = akMinutes;
    r.OverdueAction = oaWithinMinutes;
    r.OverdueAmount = 10;
    r.RepeatKind = rkNone;
    return r;
}

ReminderRecord soundOnly(const QString& date, const QString& time, int32_t repeat, int32_t window, int32_t amount = 0)
{
    ReminderRecord r = reminder(date, time);
    r.SoundOnly = true;
    r.RepeatKind = repeat;
    r.OverdueAction = window;
    r.OverdueAmount = amount;
    return r;
}

// Plays nothing: records what it was asked to play and answers as a sound
// device would, failing for the files named in failing.
struct FakePlayer {
    QStringList played;
    QStringList failing;
    SoundService::Result operator()(const QString& path)
    {
        if (!QFile::exists(path))
            return SoundService::FileNotFound;
        played << path;
        return failing.contains(QFileInfo(path).fileName()) ? SoundService::NotDecodable : SoundService::Played;
    }
};

} // namespace

class TestDueReminders : public QObject {
    Q_OBJECT
    ProcessTimeZone m_zone { "Europe/Prague" };
    QTemporaryDir m_dir;

    QString file() const { return m_dir.filePath("korvel.da1"); }

    void writeFile(const QList<ReminderRecord>& records)
    {
        QFile::remove(file());
        for (int i = 0; i < records.size(); ++i) {
            ReminderRecord r = records[i];
            r.ID = i + 1;
            WriteReminder(i + 1, file(), r);
        }
    }

    // One tick of the reminder timer over the file: the positions found due
    // and lapsed, and the timer's next interval.
    struct DueRun {
        QList<int> due;
        QList<int> lapsed;
        int interval;
    };
    DueRun dueTick(int32_t repeatMinutes = 1)
    {
        DueReminderTick tick(repeatMinutes);
        DueRun run;
        ForEachReminder(file(), [&](int position, const ReminderRecord& r) {
            const DueVerdict v = tick.visit(r, Now());
            if (v == DueVerdict::Due)
                run.due << position;
            else if (v == DueVerdict::Lapsed)
                run.lapsed << position;
        });
        run.interval = tick.interval();
        return run;
    }

    QString sound(const QString& name)
    {
        const QString path = m_dir.filePath(name);
        writeFileBytes(path, "RIFF");
        return path;
    }

private slots:
    void cleanup() { QFile::remove(file()); }

    // No advance, ten minutes' grace: posted at its moment, every repeat
    // after that, and no more from ten minutes past.
    void aReminderIsDueFromItsMomentThroughItsGrace()
    {
        writeFile({ reminder("10.3.2025", "10:00") });
        {
            FixedClock c(at(2025, 3, 10, 9, 50));
            const DueRun r = dueTick(5);
            QVERIFY(r.due.isEmpty());
            QCOMPARE(r.interval, 600001); // one millisecond past its moment
        }
        {
            FixedClock c(at(2025, 3, 10, 10, 0, 0, 1));
            const DueRun r = dueTick(5);
            QCOMPARE(r.due, QList<int> { 1 });
            QCOMPARE(r.interval, 300001); // posted again after the repeat minutes
        }
        {
            FixedClock c(at(2025, 3, 10, 10, 9, 59));
            QCOMPARE(dueTick(5).due, QList<int> { 1 });
        }
        {
            FixedClock c(at(2025, 3, 10, 10, 10));
            const DueRun r = dueTick(5);
            QVERIFY(r.due.isEmpty());
            QVERIFY(r.lapsed.isEmpty());
            QCOMPARE(r.interval, MaxReminderInterval);
        }
    }

    void theOverdueActionDecidesAfterTheMoment_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("amount");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<int>("verdict");
        const QDateTime soon = at(2025, 3, 10, 10, 1); // due for the whole of its minute
        QTest::newRow("nothing: lapsed from the next minute") << int(oaNothing) << 0 << soon << int(DueVerdict::Lapsed);
        QTest::newRow("nothing: missed while off") << int(oaNothing) << 0 << soon.addDays(2) << int(DueVerdict::Lapsed);
        QTest::newRow("nothing: due at the moment itself")
            << int(oaNothing) << 0 << at(2025, 3, 10, 10, 0) << int(DueVerdict::Due);
        QTest::newRow("nothing: 1 ms late") << int(oaNothing) << 0 << soon.addMSecs(-59999) << int(DueVerdict::Due);
        QTest::newRow("nothing: at second 59") << int(oaNothing) << 0 << soon.addMSecs(-1) << int(DueVerdict::Due);
        QTest::newRow("unknown action lapses") << 0 << 0 << soon << int(DueVerdict::Lapsed);
        QTest::newRow("as soon as possible, a year on")
            << int(oaAsSoonAsPossible) << 0 << at(2026, 3, 10, 10, 0) << int(DueVerdict::Due);
        QTest::newRow("within 2 hours, inside")
            << int(oaWithinHours) << 2 << at(2025, 3, 10, 11, 59) << int(DueVerdict::Due);
        QTest::newRow("within 2 hours, at the end")
            << int(oaWithinHours) << 2 << at(2025, 3, 10, 12, 0) << int(DueVerdict::NotDue);
        QTest::newRow("within 3 days, across the month")
            << int(oaWithinDays) << 3 << at(2025, 3, 13, 9, 59) << int(DueVerdict::Due);
        QTest::newRow("within 3 days, after")
            << int(oaWithinDays) << 3 << at(2025, 3, 13, 10, 1) << int(DueVerdict::NotDue);
    }
    void theOverdueActionDecidesAfterTheMoment()
    {
        QFETCH(int, action);
        QFETCH(int, amount);
        QFETCH(QDateTime, now);
        QFETCH(int, verdict);
        ReminderRecord r = reminder("10.3.2025", "10:00");
        r.OverdueAction = action;
        r.OverdueAmount = amount;
        const DueTest t = IsReminderDue(r, QDateTimeToDateTime(now));
        QCOMPARE(int(t.verdict), verdict);
        QCOMPARE(t.start, std::optional<double>(moment(2025, 3, 10, 10, 0)));
    }

    // The advance counts back from the event, fractions included; the
    // absolute kind is the start moment itself.
    void theAdvanceGivesTheStart_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("amount");
        QTest::addColumn<double>("start");
        const double event = moment(2025, 3, 1, 8, 0);
        QTest::newRow("90 minutes") << int(akMinutes) << 90.0 << moment(2025, 3, 1, 6, 30);
        QTest::newRow("1.5 hours") << int(akHours) << 1.5 << moment(2025, 3, 1, 6, 30);
        QTest::newRow("2 days, back over the month") << int(akDays) << 2.0 << moment(2025, 2, 27, 8, 0);
        QTest::newRow("absolute") << int(akAbsolute) << moment(2025, 2, 20, 12, 0) << moment(2025, 2, 20, 12, 0);
        QTest::newRow("kind 0 counts minutes") << 0 << 15.0 << event - 15 * OneMinute;
    }
    void theAdvanceGivesTheStart()
    {
        QFETCH(int, kind);
        QFETCH(double, amount);
        QFETCH(double, start);
        ReminderRecord r = reminder("1.3.2025", "08:00");
        r.AdvanceKind = kind;
        r.AdvanceAmount = amount;
        const DueTest before = IsReminderDue(r, start - OneSecond);
        QCOMPARE(int(before.verdict), int(DueVerdict::NotDue));
        QVERIFY(before.start);
        QVERIFY(qAbs(*before.start - start) < 1e-9);
        QCOMPARE(int(IsReminderDue(r, start + OneSecond).verdict), int(DueVerdict::Due));
        QCOMPARE(int(IsReminderDue(r, moment(2025, 3, 1, 8, 0)).verdict), int(DueVerdict::Due));
    }

    // A pop-up put off to a moment other than the event is due from that
    // moment to the event; then the overdue rules apply from the event.
    void aPutOffPopUpRunsToTheEvent()
    {
        ReminderRecord r = reminder("10.3.2025", "10:00");
        r.RemindTime = "09:30";
        r.AdvanceKind = akHours;
        r.AdvanceAmount = 5; // not used once put off
        r.OverdueAction = oaNothing;
        QCOMPARE(int(IsReminderDue(r, moment(2025, 3, 10, 9, 29)).verdict), int(DueVerdict::NotDue));
        QCOMPARE(int(IsReminderDue(r, moment(2025, 3, 10, 9, 30)).verdict), int(DueVerdict::Due));
        QCOMPARE(int(IsReminderDue(r, moment(2025, 3, 10, 10, 0)).verdict), int(DueVerdict::Due));
        QCOMPARE(int(IsReminderDue(r, moment(2025, 3, 10, 10, 1)).verdict), int(DueVerdict::Lapsed));
        QCOMPARE(IsReminderDue(r, 0).start, std::optional<double>(moment(2025, 3, 10, 9, 30)));
    }

    // A record whose date or time does not parse is not due and does not stop
    // the others; erased and sound-only records are not the due timer's.
    void recordsTheDueTimerPassesOver()
    {
        ReminderRecord badDate = reminder("31.2.2025", "10:00");
        ReminderRecord badTime = reminder("10.3.2025", "25:61");
        ReminderRecord garbage = reminder("10.3.2025", "10:00");
        garbage.EventDate = QString::fromUtf8("\x7f\xc3\xa1?..");
        ReminderRecord erased = reminder("10.3.2025", "10:00");
        erased.Erased = true;
        ReminderRecord sound = reminder("10.3.2025", "10:00");
        sound.SoundOnly = true;
        writeFile({ badDate, badTime, garbage, erased, sound, reminder("10.3.2025", "10:20"),
            reminder("10.3.2025", "10:00") });
        FixedClock c(at(2025, 3, 10, 10, 5));
        const DueRun r = dueTick(30);
        QCOMPARE(r.due, QList<int> { 7 });
        QVERIFY(r.lapsed.isEmpty());
        QCOMPARE(r.interval, 15 * 60000 + 1); // the 10:20 one, before the repeat at 10:35
        for (const ReminderRecord& passed : { badDate, badTime, garbage, erased, sound })
            QVERIFY(!IsReminderDue(passed, moment(2025, 3, 10, 10, 5)).start);
    }

    void theTickSleepsAtMostAnHour()
    {
        {
            FixedClock c(at(2025, 3, 10, 10, 0));
            QCOMPARE(dueTick().interval, MaxReminderInterval); // no file at all
            writeFile({ reminder("11.3.2025", "10:00"), reminder("10.3.2025", "11:00") });
            QCOMPARE(dueTick().interval, MaxReminderInterval);
            writeFile({ reminder("11.3.2025", "10:00"), reminder("10.3.2025", "10:59") });
            QCOMPARE(dueTick().interval, 59 * 60000 + 1);
        }
        // Across the spring change the hour from 1:50 to 3:10 lasts 20 minutes.
        FixedClock c(at(2025, 3, 30, 1, 50));
        writeFile({ reminder("30.3.2025", "03:10") });
        QCOMPARE(dueTick().interval, 20 * 60000 + 1);
    }

    void theSoundWindows_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("amount");
        QTest::addColumn<int>("secondsAfter");
        QTest::addColumn<bool>("inside");
        QTest::newRow("before the moment") << int(oaAsSoonAsPossible) << 0 << -1 << false;
        QTest::newRow("first minute, at the moment") << int(oaNothing) << 0 << 0 << true;
        QTest::newRow("first minute, its end") << int(oaNothing) << 0 << 60 << true;
        QTest::newRow("first minute, after") << int(oaNothing) << 0 << 61 << false;
        QTest::newRow("no end, a year on") << int(oaAsSoonAsPossible) << 0 << 366 * 86400 << true;
        QTest::newRow("5 minutes, inside") << int(oaWithinMinutes) << 5 << 299 << true;
        QTest::newRow("5 minutes, after") << int(oaWithinMinutes) << 5 << 301 << false;
        QTest::newRow("2 hours, inside") << int(oaWithinHours) << 2 << 7200 << true;
        QTest::newRow("2 hours, after") << int(oaWithinHours) << 2 << 7201 << false;
        QTest::newRow("1 day, inside") << int(oaWithinDays) << 1 << 86399 << true;
        QTest::newRow("1 day, after") << int(oaWithinDays) << 1 << 86401 << false;
        QTest::newRow("unknown kind") << 9 << 100 << 1 << false;
    }
    void theSoundWindows()
    {
        QFETCH(int, kind);
        QFETCH(int, amount);
        QFETCH(int, secondsAfter);
        QFETCH(bool, inside);
        const double due = moment(2025, 3, 10, 8, 0);
        QCOMPARE(InSoundWindow(kind, amount, due + secondsAfter * OneSecond, due), inside);
    }

    void theNextListedWeekday_data()
    {
        QTest::addColumn<QString>("weekdays");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("date");
        // 10.3.2025 is a Monday (2).
        QTest::newRow("today, its time ahead") << "26" << at(2025, 3, 10, 7, 0) << "10.3.2025";
        QTest::newRow("passed today: Friday") << "26" << at(2025, 3, 10, 9, 0) << "14.3.2025";
        QTest::newRow("at the time itself: next") << "26" << at(2025, 3, 10, 8, 0) << "14.3.2025";
        QTest::newRow("only Monday, passed: a week on") << "2" << at(2025, 3, 10, 9, 0) << "17.3.2025";
        QTest::newRow("Sunday from Saturday night") << "1" << at(2025, 3, 15, 23, 0) << "16.3.2025";
        QTest::newRow("Saturday, wraps the week") << "7" << at(2025, 3, 16, 9, 0) << "22.3.2025";
        QTest::newRow("into the next month") << "3" << at(2025, 3, 31, 9, 0) << "1.4.2025";
        QTest::newRow("none listed: a week on") << "" << at(2025, 3, 10, 9, 0) << "17.3.2025";
        QTest::newRow("none listed, time ahead") << "" << at(2025, 3, 10, 7, 0) << "16.3.2025";
    }
    void theNextListedWeekday()
    {
        QFETCH(QString, weekdays);
        QFETCH(QDateTime, now);
        QFETCH(QString, date);
        QCOMPARE(NextListedWeekday(weekdays, EncodeTime(8, 0, 0, 0), QDateTimeToDateTime(now)), date);
    }

    // Played in order from the folder given for "\" paths, missing and empty
    // ones passed over; a weekly reminder played at 08:00:05 on a Monday
    // moves to the next Monday.
    void aWeeklySoundOnlyReminderPlaysAndMovesOn()
    {
        const QString gong = sound("gong.wav");
        ReminderRecord r = soundOnly("10.3.2025", "08:00", rkWeekly, oaWithinMinutes, 5);
        QDir(m_dir.path()).mkdir("zvuky");
        sound("zvuky/Zvonek.wav");
        r.Sound1 = "\\zvuky\\zvonek.wav"; // relative to the folder, letter case as stored
        r.Sound2 = m_dir.filePath("missing.wav");
        r.Sound3 = gong;
        FakePlayer player;
        double next = 0;
        const SoundCheck check
            = CheckSoundReminder(r, m_dir.path(), moment(2025, 3, 10, 8, 0, 5), next, std::ref(player), 0);
        QVERIFY(check.changed);
        QVERIFY(!check.failed);
        QCOMPARE(player.played, QStringList({ m_dir.filePath("zvuky/Zvonek.wav"), gong }));
        QCOMPARE(r.EventDate, QStringLiteral("17.3.2025"));
        QCOMPARE(r.EventTime, QStringLiteral("08:00"));
        QCOMPARE(r.RemindDate, QStringLiteral("10.3.2025")); // untouched
        QVERIFY(!r.Erased);
        QCOMPARE(next, moment(2025, 3, 17, 8, 0));
    }

    void repeatKindsMoveOn_data()
    {
        QTest::addColumn<int>("repeat");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("weekdays");
        QTest::addColumn<QString>("moved");
        QTest::newRow("yearly from 29 February") << int(rkYearly) << "29.2.2024"
                                                 << ""
                                                 << "28.2.2025";
        QTest::newRow("yearly") << int(rkYearly) << "10.3.2024"
                                << ""
                                << "10.3.2025";
        QTest::newRow("weekly across the year") << int(rkWeekly) << "29.12.2024"
                                                << ""
                                                << "5.1.2025";
        QTest::newRow("kind 0 as weekly") << 0 << "1.3.2025"
                                          << ""
                                          << "8.3.2025";
        // From now (Monday 10.3. 9:00), not from the stored date.
        QTest::newRow("weekdays") << int(rkWeekdays) << "1.1.2025"
                                  << "46"
                                  << "12.3.2025";
    }
    void repeatKindsMoveOn()
    {
        QFETCH(int, repeat);
        QFETCH(QString, date);
        QFETCH(QString, weekdays);
        QFETCH(QString, moved);
        ReminderRecord r = soundOnly(date, "08:00", repeat, oaAsSoonAsPossible);
        r.Weekdays = weekdays;
        FakePlayer player;
        double next = 0;
        QVERIFY(CheckSoundReminder(r, m_dir.path(), moment(2025, 3, 10, 9, 0), next, std::ref(player), 0).changed);
        QCOMPARE(r.EventDate, moved);
    }

    // A one-off reminder is erased once due; next stays where it was.
    void aOneOffSoundIsErased()
    {
        ReminderRecord r = soundOnly("10.3.2025", "08:00", rkNone, oaNothing);
        FakePlayer player;
        double next = 42;
        QVERIFY(CheckSoundReminder(r, m_dir.path(), moment(2025, 3, 10, 8, 0), next, std::ref(player), 0).changed);
        QVERIFY(r.Erased);
        QCOMPARE(next, 42.0);
    }

    // More than a minute late for a first-minute window: nothing plays, yet
    // the reminder moves on. Before its moment nothing changes.
    void aLateTickMovesOnWithoutPlaying()
    {
        const QString gong = sound("gong.wav");
        ReminderRecord r = soundOnly("10.3.2025", "08:00", rkWeekly, oaNothing);
        r.Sound1 = gong;
        FakePlayer player;
        double next = 0;
        ReminderRecord early = r;
        QVERIFY(
            !CheckSoundReminder(early, m_dir.path(), moment(2025, 3, 10, 7, 59), next, std::ref(player), 0).changed);
        QCOMPARE(next, moment(2025, 3, 10, 8, 0));
        QVERIFY(CheckSoundReminder(r, m_dir.path(), moment(2025, 3, 10, 8, 1, 1), next, std::ref(player), 0).changed);
        QVERIFY(player.played.isEmpty());
        QCOMPARE(r.EventDate, QStringLiteral("17.3.2025"));
    }

    // A file that exists but never plays is tried again ten seconds on, the
    // later sounds waiting; at the last allowed failure the reminder moves on
    // as if it had played, without trying the rest.
    void aSoundThatNeverPlaysMovesOnAtLast()
    {
        const QString bad = sound("bad.wav");
        const QString good = sound("good.wav");
        ReminderRecord r = soundOnly("10.3.2025", "08:00", rkWeekly, oaAsSoonAsPossible);
        r.Sound1 = bad;
        r.Sound2 = good;
        FakePlayer player;
        player.failing = { "bad.wav" };
        FixedClock c(at(2025, 3, 10, 8, 0, 5));
        for (int failedBefore = 0; failedBefore < MaxSoundFailures; ++failedBefore) {
            SoundReminderTick tick(Now());
            ReminderRecord changed = r;
            const SoundCheck check = tick.visit(changed, m_dir.path(), std::ref(player), failedBefore);
            const bool last = failedBefore == MaxSoundFailures - 1;
            QCOMPARE(check.failed, !last);
            QCOMPARE(check.changed, last);
            QCOMPARE(changed.EventDate, QString(last ? "17.3.2025" : "10.3.2025"));
            QCOMPARE(tick.interval(), last ? MaxReminderInterval : 10000);
        }
        QCOMPARE(player.played, QStringList({ bad, bad, bad }));
    }

    // A weekly reminder weeks behind moves one week per tick, and the timer
    // comes back in ten seconds for the next.
    void aReminderWeeksBehindMovesAWeekPerTick()
    {
        writeFile({ soundOnly("17.2.2025", "08:00", rkWeekly, oaNothing) });
        FixedClock c(at(2025, 3, 10, 9, 0));
        SoundReminderTick tick(Now());
        ReminderRecord changed;
        ForEachReminder(file(), [&](int, const ReminderRecord& r) {
            changed = r;
            QVERIFY(tick.visit(changed, m_dir.path(), FakePlayer(), 0).changed);
        });
        QCOMPARE(changed.EventDate, QStringLiteral("24.2.2025"));
        QCOMPARE(tick.interval(), 10000);
    }

    // The sound timer's next look: the earliest coming sound within the hour;
    // records that do not parse, erased and pop-up ones play no part.
    void theSoundTickSleepsUntilTheNextSound()
    {
        ReminderRecord bad = soundOnly("10.3.2025", "8:0x", rkWeekly, oaAsSoonAsPossible);
        ReminderRecord erased = soundOnly("10.3.2025", "08:05", rkWeekly, oaAsSoonAsPossible);
        erased.Erased = true;
        ReminderRecord popup = reminder("10.3.2025", "08:05");
        writeFile({ bad, erased, popup, soundOnly("10.3.2025", "08:40", rkWeekly, oaAsSoonAsPossible),
            soundOnly("10.3.2025", "08:20", rkNone, oaNothing) });
        FixedClock c(at(2025, 3, 10, 8, 0));
        SoundReminderTick tick(Now());
        FakePlayer player;
        int changes = 0;
        ForEachReminder(file(), [&](int, const ReminderRecord& r) {
            ReminderRecord copy = r;
            changes += tick.visit(copy, m_dir.path(), std::ref(player), 0).changed;
            QCOMPARE(copy, r);
        });
        QCOMPARE(changes, 0);
        QCOMPARE(tick.interval(), 20 * 60000 + 1);
        QCOMPARE(SoundReminderTick(Now()).interval(), MaxReminderInterval);
    }
};

QTEST_GUILESS_MAIN(TestDueReminders)
#include "tst_duereminders.moc"
