#include "shared/reminderkinds.h"

#include "platform/clock.h"
#include "platform/datetime.h"
#include "testsupport.h"
#include "timezone.h"

#include <QTest>

#include <cmath>

namespace {

double at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, 0);
}

} // namespace

class TestReminderKinds : public QObject {
    Q_OBJECT
private slots:
    void captionsAndCounts()
    {
        const QStringList repeat { "žádné - bude vymazáno", "dny v týdnu - výběr", "týdně - automatická změna",
            "ročně - automatická změna" };
        const QStringList advance { "minut předem", "hodin předem", "dnů předem", "v určený datum a čas" };
        const QStringList next { "za .. minut", "za .. hodin", "za .. dnů", "za .. roků", "v určený datum a čas",
            ".. minut před vých. časem", ".. hodin před vých. časem", ".. dnů před vých. časem" };
        const QStringList length { "minut", "hodin", "dnů", "datum + čas" };
        const QStringList overdue { "nic se neděje", "připomenout co nejdříve", "připomenout do .. minut",
            "připomenout do .. hodin", "připomenout do .. dnů" };
        for (int v = -1; v <= 9; ++v) {
            QCOMPARE(RepeatKindText(v), v >= 1 && v <= 4 ? repeat[v - 1] : QString());
            QCOMPARE(AdvanceKindText(v), v >= 1 && v <= 4 ? advance[v - 1] : QString());
            QCOMPARE(LengthKindText(v), v >= 1 && v <= 4 ? length[v - 1] : QString());
            QCOMPARE(OverdueActionText(v), v >= 1 && v <= 5 ? overdue[v - 1] : QString());
            QCOMPARE(NextKindText(v, true), v >= 1 && v <= 8 ? next[v - 1] : QString());
            QCOMPARE(NextKindText(v, false), v >= 1 && v <= 5 ? next[v - 1] : QString());
        }
        QCOMPARE(RepeatKindCount(), 4);
        QCOMPARE(AdvanceKindCount(), 4);
        QCOMPARE(LengthKindCount(), 4);
        QCOMPARE(OverdueActionCount(), 5);
        QCOMPARE(NextKindCount(false), 5);
        QCOMPARE(NextKindCount(true), 8);
    }

    void dateTimeTextPieces()
    {
        QCOMPARE(NormalizeDateTimeText("8.12.2026 9:05:00"), QString("2026.12.08 09:05:00"));
        QCOMPARE(NormalizeDateTimeText("8.12.2026 9:05"), QString("2026.12.08 09:05"));
        QCOMPARE(NormalizeDateTimeText("31.1.26 23:59:59"), QString("0026.01.31 23:59:59"));
        QCOMPARE(NormalizeDateTimeText(" .: "), QString(" .: "));
        QCOMPARE(NormalizeDateTimeText(""), QString());

        QCOMPARE(CutSecondsText("9:05:00"), QString("9:05"));
        QCOMPARE(CutSecondsText("09:05"), QString("09:05"));
        QCOMPARE(ShortDateTimeText("2026.12.08 09:05:00"), QString("12.08 09:05"));
        QCOMPARE(ShortDateTimeText("ab"), QString());

        QCOMPARE(PadHourText("9:05:00"), QString("09:05"));
        QCOMPARE(PadHourText("9:05:"), QString("09:05"));
        QCOMPARE(PadHourText("12:05:00"), QString("12:05:00"));
        QCOMPARE(PadHourText("9:05"), QString("9:05"));
    }

    void weekdayDateTimeText()
    {
        QCOMPARE(WeekdayDateTimeText(at(2026, 12, 8, 9, 5, 59)), QString("2026.12.08 09:05-úterý"));
        QCOMPARE(WeekdayDateTimeText(at(2026, 12, 6, 14, 0)), QString("2026.12.06 14:00-neděle"));
        QCOMPARE(WeekdayDateTimeText(at(2026, 12, 12)), QString("2026.12.12 00:00-sobota"));
        // One hour as a fraction must not decode as 00:59.
        QCOMPARE(WeekdayDateTimeText(EncodeDate(2027, 1, 1) + 1.0 / 24), QString("2027.01.01 01:00-pátek"));
        QCOMPARE(WeekdayName(0), QString("sobota"));
        QCOMPARE(WeekdayName(2), QString("pondělí"));
    }

    void eventEnd()
    {
        QCOMPARE(EventEndText("8.12.2026", "23:30", 1.0 / 24), QString("12.09 00:30"));
        QCOMPARE(EventEndText("8.12.2026", "23:30", 20.0 / 1440), QString("23:50"));
        QCOMPARE(EventEndText("8.12.2026", "08:00", 1.0 / 24), QString("09:00"));
        QCOMPARE(EventEndText("8.12.2026", "10:15", 2.0 / 24), QString("12:15"));
        QCOMPARE(EventEndText("31.12.2026", "23:30", 1.0 / 24), QString("01.01 00:30"));
        QCOMPARE(EventEndText("28.2.2028", "12:00", 1.5), QString("03.01 00:00"));
        QCOMPARE(EventEndText("8.12.2026", "10:00", 0), QString());
        // Stored texts that do not parse give no end instead of an exception.
        QCOMPARE(EventEndText("31.2.2026", "10:00", 1.0 / 24), QString());
        QCOMPARE(EventEndText("", "10:00", 1.0 / 24), QString());
        QCOMPARE(EventEndText("8.12.2026", "25:00", 1.0 / 24), QString());
        QCOMPARE(EventEndText("8.12.2026", "xx:yy", 1.0 / 24), QString());
        // Lengths that are damage, or an end beyond the year 9999.
        for (const double length : { std::nan(""), 1e300, -1e300, 1e12, 3e6 })
            QCOMPARE(EventEndText("8.12.2026", "10:00", length), QString());
        QCOMPARE(EventEndText("30.12.9999", "10:00", 1.0), QString("12.31 10:00"));
        QCOMPARE(EventEndText("30.12.9999", "10:00", 2.0), QString());
    }

    // Stored times of the hour summer time skips count as 03:00.
    void storedTimesInTheSkippedHour()
    {
        ProcessTimeZone zone("Europe/Prague");
        const double three = EncodeDate(2026, 3, 29) + EncodeTime(3, 0, 0, 0);
        QCOMPARE(StoredDateTime("29.3.2026", "02:00"), three);
        QCOMPARE(StoredDateTime("29.3.2026", "02:59"), three);
        QCOMPARE(StoredDateTime("29.3.2026", "03:01"), three + OneMinute);
        QCOMPARE(StoredDateTime("29.3.2026", "01:59"), three - 61 * OneMinute);
        QCOMPARE(StoredDateTime("25.10.2026", "02:30"), EncodeDate(2026, 10, 25) + EncodeTime(2, 30, 0, 0));
    }

    void minutesAndUnitWords()
    {
        QCOMPARE(MinutesToTimeText(0), QString("00:00"));
        QCOMPARE(MinutesToTimeText(61), QString("01:01"));
        QCOMPARE(MinutesToTimeText(1439), QString("23:59"));
        QCOMPARE(MinutesToTimeText(1440), QString("00:00"));
        QCOMPARE(MinutesToTimeText(1441), QString("00:01"));
        QCOMPARE(MinutesToTimeText(2 * 1440 + 605), QString("10:05"));

        const QStringList expected { "", "den", "dny", "dny", "dny", "dnů", "dnů", "", "hodina", "hodiny", "hodiny",
            "hodiny", "hodin", "hodin", "", "minuta", "minuty", "minuty", "minuty", "minut", "minut" };
        QStringList got;
        for (int unit : { 1, 2, 7 })
            for (int n = 0; n <= 6; ++n)
                got << CzechUnitWord(unit, n);
        QCOMPARE(got, expected);
        QCOMPARE(CzechUnitWord(1, -3), QString());
        QCOMPARE(CzechUnitWord(3, 125), QString("minut"));
    }

    void durationText()
    {
        QCOMPARE(DurationText(0), QString());
        QCOMPARE(DurationText(1 + 2.0 / 24 + 30.0 / 1440), QString("(1den2hodiny30minut)"));
        QCOMPARE(DurationText(1.0 / 24), QString("(1hodina)"));
        QCOMPARE(DurationText(5), QString("(5dnů)"));
        QCOMPARE(DurationText(2.0 / 24 + 1.0 / 1440), QString("(2hodiny1minuta)"));
        QCOMPARE(DurationText(0.5 / 1440), QString("()"));
        // A hair below a whole day is that day, not 23 hours 59 minutes.
        QCOMPARE(DurationText(1 - 1e-11), QString("(1den)"));
        // A damaged length has no text, never a count cut into 32 bits.
        for (const double span : { std::nan(""), 1e12, 1e300, -1e300, 2958466.0 })
            QCOMPARE(DurationText(span), QString());
        QCOMPARE(DurationText(2958465), QString("(2958465dnů)"));
    }

    void remainingText()
    {
        QCOMPARE(RemainingText(0), QString());
        QCOMPARE(RemainingText(-0.5), QString());
        QCOMPARE(RemainingText(std::nan("")), QString());
        QCOMPARE(RemainingText(366), QString("> rok"));
        QCOMPARE(RemainingText(365), QString("365dnů 00:00"));
        QCOMPARE(RemainingText(2 + 5.0 / 24 + 3.0 / 1440), QString("2dny 05:03"));
        QCOMPARE(RemainingText(1.0 / 24), QString("01:00"));
        QCOMPARE(RemainingText(5.0 / 1440), QString("00:05"));
        QCOMPARE(RemainingText(1 + 1.0 / 1440), QString("1den 00:01"));
    }

    // Remaining times count wall-clock days and hours: the night of a clock
    // change still leaves a whole day to an event 24 wall-clock hours away.
    void remainingAcrossClockChanges()
    {
        ProcessTimeZone zone("Europe/Prague");
        {
            QCOMPARE(QDateTime(QDate(2026, 3, 29), QTime(12, 0)).offsetFromUtc(), 7200);
            FixedClock clock(QDateTime(QDate(2026, 3, 28), QTime(12, 0)));
            QCOMPARE(RemainingText(at(2026, 3, 29, 12, 0) - Now()), QString("1den 00:00"));
            QCOMPARE(RemainingText(at(2026, 3, 29, 3, 30) - Now()), QString("15:30"));
        }
        {
            // 02:30 happens twice that night; the wall clock reads 02:30 either way.
            const QDateTime first = QDateTime(QDate(2026, 10, 25), QTime(0, 30)).addSecs(2 * 3600);
            QCOMPARE(first.offsetFromUtc(), 7200);
            FixedClock clock(first);
            QCOMPARE(WeekdayDateTimeText(Now()), QString("2026.10.25 02:30-neděle"));
            QCOMPARE(RemainingText(at(2026, 10, 26, 2, 30) - Now()), QString("1den 00:00"));
            Clock::advance(3600 * 1000);
            QCOMPARE(Clock::now().offsetFromUtc(), 3600);
            QCOMPARE(WeekdayDateTimeText(Now()), QString("2026.10.25 02:30-neděle"));
        }
    }
};

QTEST_GUILESS_MAIN(TestReminderKinds)
#include "tst_reminderkinds.moc"
