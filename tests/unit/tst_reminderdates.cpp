#include "shared/reminderdates.h"

#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"
#include "testsupport.h"
#include "timezone.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

double at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, 0);
}

// Date-times compared as the wall-clock text to the millisecond, so a
// failure shows which moment came out.
QString text(double dt)
{
    return FormatDateTime("d.m.yyyy hh:nn:ss.zzz", dt);
}

ReminderRecord eventAt(
    const QString& title, const QString& date, const QString& time, double length = 0, bool erased = false)
{
    ReminderRecord r;
    r.Title = title;
    r.EventDate = date;
    r.EventTime = time;
    r.Length = length;
    r.Erased = erased;
    return r;
}

} // namespace

class TestReminderDates : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString fileOf(QList<ReminderRecord> records)
    {
        static int n = 0;
        const QString path = m_dir.filePath(QString("korvel%1.da1").arg(++n));
        for (ReminderRecord& r : records)
            AppendReminder(path, r);
        return path;
    }

private slots:
    void incYears()
    {
        QCOMPARE(text(IncYears(1, at(2024, 2, 29, 10))), text(at(2025, 2, 28, 10)));
        QCOMPARE(text(IncYears(4, at(2024, 2, 29))), text(at(2028, 2, 29)));
        QCOMPARE(text(IncYears(-1, at(2024, 2, 29, 23, 59, 59))), text(at(2023, 2, 28, 23, 59, 59)));
        QCOMPARE(text(IncYears(100, at(2000, 2, 29, 6))), text(at(2100, 2, 28, 6))); // 2100 has no leap day
        QCOMPARE(text(IncYears(1, at(2025, 12, 31, 23, 59))), text(at(2026, 12, 31, 23, 59)));
        QCOMPARE(text(IncYears(1, at(2026, 1, 31, 12))), text(at(2027, 1, 31, 12)));
        // The hour survives exactly; 1/24 stays 01:00.
        QCOMPARE(text(IncYears(2, EncodeDate(2026, 3, 29) + 1.0 / 24)), text(at(2028, 3, 29, 1)));
        QCOMPARE(text(IncYears(0, at(2026, 10, 25, 2, 30))), text(at(2026, 10, 25, 2, 30)));
        // Beyond the years 1..9999, or from a value that is damage: no date.
        QCOMPARE(text(IncYears(-1, at(9999, 12, 31, 12))), text(at(9998, 12, 31, 12)));
        for (const double bad :
            { IncYears(1, at(9999, 1, 1)), IncYears(1, at(9999, 12, 31, 12)), IncYears(-2026, at(2026, 1, 1)),
                IncYears(32767, at(2026, 1, 1)), IncYears(1, std::nan("")), IncYears(1, 1e300) })
            QVERIFY(std::isnan(bad));
    }

    void warnTimeAndDeadline()
    {
        const double t = at(2026, 3, 1, 1, 0);
        QCOMPARE(text(WarnTimeBefore(akMinutes, 90.7, t)), text(at(2026, 2, 28, 23, 30)));
        QCOMPARE(text(WarnTimeBefore(0, 10, t)), text(at(2026, 3, 1, 0, 50)));
        QCOMPARE(text(WarnTimeBefore(akHours, 3.9, t)), text(at(2026, 2, 28, 22, 0)));
        QCOMPARE(text(WarnTimeBefore(akDays, 1, at(2024, 3, 1, 8))), text(at(2024, 2, 29, 8)));
        const double absolute = at(2025, 12, 31, 23, 59) + 0.25 / 1440;
        QCOMPARE(WarnTimeBefore(akAbsolute, absolute, t), absolute);

        QCOMPARE(AddUnits(oaAsSoonAsPossible, 5, t), 0.0);
        QCOMPARE(AddUnits(oaNothing, 5, t), 0.0);
        QCOMPARE(text(AddUnits(oaWithinMinutes, 90, at(2026, 12, 31, 23, 0))), text(at(2027, 1, 1, 0, 30)));
        QCOMPARE(text(AddUnits(oaWithinHours, 25, at(2028, 2, 28, 12))), text(at(2028, 2, 29, 13)));
        QCOMPARE(text(AddUnits(oaWithinDays, 3, at(2026, 12, 30, 7))), text(at(2027, 1, 2, 7)));
    }

    // The arithmetic is on wall-clock time: the hour that the spring change
    // skips and the autumn one repeats count like any other.
    void clockChangesOfPrague()
    {
        ProcessTimeZone zone("Europe/Prague");
        QCOMPARE(text(WarnTimeBefore(akHours, 2, at(2026, 3, 29, 3, 30))), text(at(2026, 3, 29, 1, 30)));
        QCOMPARE(text(AddUnits(oaWithinHours, 1, at(2026, 3, 29, 1, 30))), text(at(2026, 3, 29, 2, 30)));
        QCOMPARE(text(AddUnits(oaWithinMinutes, 60, at(2026, 10, 25, 2, 30))), text(at(2026, 10, 25, 3, 30)));
        QCOMPARE(text(IncYears(1, at(2025, 3, 30, 2, 30))), text(at(2026, 3, 30, 2, 30)));
        QCOMPARE(MinuteOfDay(at(2026, 3, 29, 2, 30)), 150);
        QCOMPARE(EventEndText("29.3.2026", "01:30", 1.0 / 24), QString("02:30"));
        QCOMPARE(EventEndText("25.10.2026", "02:00", 1.0 / 24), QString("03:00"));
        const QString path = fileOf({ eventAt("jaro", "29.3.2026", "02:30", 1.0 / 24) });
        QCOMPARE(NearestEventDate(path, true, at(2026, 3, 28, 23)), at(2026, 3, 29));
    }

    void minuteOfDay()
    {
        QCOMPARE(MinuteOfDay(at(2026, 5, 5, 23, 59, 59)), 1439);
        QCOMPARE(MinuteOfDay(at(2026, 5, 5, 10, 30)), 630);
        QCOMPARE(MinuteOfDay(EncodeDate(2026, 5, 5) + 1.0 / 24), 60);
        QCOMPARE(MinuteOfDay(7.0 / 1440), 7);
    }

    void nearestEventDate()
    {
        const QString path = fileOf({
            eventAt("a", "9.12.2026", "08:00"),
            eventAt("b", "3.12.2026", "18:00"),
            eventAt("erased", "6.12.2026", "10:00", 0, true),
            eventAt("damaged", "32.12.2026", "10:00"),
            eventAt("blank", "", ""),
            eventAt("c", "5.12.2026", "10:00"),
            eventAt("d", "3.12.2026", "07:00"),
        });
        const double day5 = at(2026, 12, 5);
        QCOMPARE(text(NearestEventDate(path, true, day5)), text(at(2026, 12, 9)));
        QCOMPARE(text(NearestEventDate(path, false, day5)), text(at(2026, 12, 3)));
        // Midnight of the same day lies before any later hour of it.
        QCOMPARE(text(NearestEventDate(path, false, at(2026, 12, 5, 12))), text(day5));
        QCOMPARE(NearestEventDate(path, false, at(2026, 12, 3)), at(2026, 12, 3));
        QCOMPARE(NearestEventDate(path, true, at(2026, 12, 9, 0, 1)), at(2026, 12, 9, 0, 1));

        const QString yearEnd = fileOf({ eventAt("x", "5.1.2027", "10:00"), eventAt("y", "1.1.2027", "00:00") });
        QCOMPARE(text(NearestEventDate(yearEnd, true, at(2026, 12, 31, 23, 59))), text(at(2027, 1, 1)));
        QCOMPARE(NearestEventDate(m_dir.filePath("missing.da1"), true, day5), day5);
    }

    void collisions()
    {
        ScriptedDialogs dialogs;
        const QString path = fileOf({
            eventAt("Porada", "8.12.2026", "10:00", 1.0 / 24),
            eventAt("Oběd", "8.12.2026", "12:00", 1.0 / 24),
        });
        // Wholly inside 09:00-12:00; the lunch only touches its end.
        Dialogs::queueAnswer(mrNo);
        QCOMPARE(CheckCollisions(2, path, at(2026, 12, 8, 9), 3.0 / 24), int(mrNo));
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown()[0].text,
            QString("Kolize s následujícími připomínanými akcemi:\r"
                    "Porada od:8.12.2026 10:00 do:11:00 (1hodina)\r"
                    "mám pokračovat?"));
        QCOMPARE(Dialogs::shown()[0].type, MsgDlgType::Confirmation);
        QCOMPARE(Dialogs::shown()[0].buttons, MsgBtn::Yes | MsgBtn::No);
        QCOMPARE(Dialogs::beeps(), QList<MsgDlgType> { MsgDlgType::Confirmation });

        // Overlapping only, the reminder's own record, or a new period that
        // ends exactly where the event ends.
        Dialogs::clearScript();
        QCOMPARE(CheckCollisions(2, path, at(2026, 12, 8, 10, 30), 1.5 / 24), int(mrYes));
        QCOMPARE(CheckCollisions(1, path, at(2026, 12, 8, 9), 3.0 / 24), int(mrYes));
        QVERIFY(Dialogs::shown().isEmpty());
        Dialogs::queueAnswer(mrYes);
        QCOMPARE(CheckCollisions(9, path, at(2026, 12, 8, 10), 3.0 / 24), int(mrYes));
        QCOMPARE(Dialogs::shown().size(), 1);
        QVERIFY(Dialogs::shown()[0].text.contains("\rPorada od:8.12.2026 10:00 do:11:00 (1hodina)\r"
                                                  "Oběd od:8.12.2026 12:00 do:13:00 (1hodina)\r"));

        // Ends exactly where the new period ends, reached by another sum of
        // days and fractions.
        Dialogs::clearScript();
        const QString exact
            = fileOf({ eventAt("Školení", "8.12.2026", "10:15", 2.0 / 24), eventAt("jiné", "9.12.2026", "10:00") });
        QCOMPARE(CheckCollisions(0, exact, at(2026, 12, 8, 9), 195.0 / 1440), int(mrYes));
        QCOMPARE(Dialogs::shown().size(), 1);

        // One record alone is never reported.
        Dialogs::clearScript();
        const QString single = fileOf({ eventAt("Porada", "8.12.2026", "10:00", 1.0 / 24) });
        QCOMPARE(CheckCollisions(5, single, at(2026, 12, 8, 9), 1), int(mrYes));
        QVERIFY(Dialogs::shown().isEmpty());
    }

    void collisionsSkipDamagedAndListErased()
    {
        ScriptedDialogs dialogs;
        const QString path = fileOf({
            eventAt("bad date", "30.2.2026", "23:30", 1.0 / 24),
            eventAt("bad time", "8.12.2026", "2x:30", 1.0 / 24),
            eventAt("noc", "8.12.2026", "23:30", 1.0 / 24, true),
            eventAt("empty", "", "", 0),
            // Lengths that are damage: no place in time, like a bad date.
            eventAt("NaN", "8.12.2026", "22:30", std::nan("")),
            eventAt("1e12 days", "8.12.2026", "22:30", 1e12),
            eventAt("-1e300", "8.12.2026", "22:30", -1e300),
        });
        Dialogs::queueAnswer(mrYes);
        QCOMPARE(CheckCollisions(0, path, at(2026, 12, 8, 22), 1), int(mrYes));
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown()[0].text,
            QString("Kolize s následujícími připomínanými akcemi:\r"
                    "noc od:8.12.2026 23:30 do:12.09 00:30 (1hodina)\r"
                    "mám pokračovat?"));
        // A new period reaching past the year 9999, or none at all.
        Dialogs::clearScript();
        Dialogs::queueAnswer(mrYes);
        QCOMPARE(CheckCollisions(0, path, at(2026, 12, 8, 22), 1e300), int(mrYes));
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(CheckCollisions(0, path, at(2026, 12, 8, 22), std::nan("")), int(mrYes));
        QCOMPARE(Dialogs::shown().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestReminderDates)
#include "tst_reminderdates.moc"
