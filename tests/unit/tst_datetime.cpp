#include "platform/datetime.h"

#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/localzone.h"
#include "platform/walltimer.h"
#include "testsupport.h"
#include "timezone.h"

#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <cmath>
#include <limits>

namespace {
const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();
} // namespace

class TestDateTime : public QObject {
    Q_OBJECT
private slots:
    void epochAndKnownDays()
    {
        QCOMPARE(EncodeDate(1899, 12, 30), 0.0);
        QCOMPARE(EncodeDate(1900, 1, 1), 2.0);
        QCOMPARE(EncodeDate(2026, 12, 9), 46365.0);
        QCOMPARE(EncodeDate(2024, 3, 1) - EncodeDate(2024, 2, 28), 2.0); // leap day between
        QCOMPARE(EncodeDate(2100, 3, 1) - EncodeDate(2100, 2, 28), 1.0); // 2100 is no leap year
        double d = 0;
        QVERIFY(!TryEncodeDate(2026, 2, 29, d));
        QVERIFY(!TryEncodeDate(2026, 13, 1, d));
        QVERIFY(TryEncodeDate(2000, 2, 29, d));
        QVERIFY_THROWS_EXCEPTION(KorvelError, EncodeDate(2026, 4, 31));
    }
    void decodingRoundsToMilliseconds()
    {
        int h, m, s, ms;
        DecodeTime(1.0 / 24, h, m, s, ms);
        QCOMPARE(QList<int>({h, m, s, ms}), QList<int>({1, 0, 0, 0}));
        DecodeTime(EncodeDate(2026, 12, 9) + 17.0 / 24 + 30.0 / 1440, h, m, s, ms);
        QCOMPARE(QList<int>({h, m, s, ms}), QList<int>({17, 30, 0, 0}));
        // A hair before midnight rounds to the next day.
        int y, mo, d;
        const double almost = EncodeDate(2026, 12, 31) + 1.0 - 1e-10;
        DecodeDate(almost, y, mo, d);
        QCOMPARE(QList<int>({y, mo, d}), QList<int>({2027, 1, 1}));
        DecodeTime(almost, h, m, s, ms);
        QCOMPARE(h, 0);
    }
    void dayOfWeekStartsOnSunday()
    {
        QCOMPARE(DayOfWeek(EncodeDate(2026, 12, 6)), 1); // Sunday
        QCOMPARE(DayOfWeek(EncodeDate(2026, 12, 9)), 4); // Wednesday
        QCOMPARE(DayOfWeek(EncodeDate(2026, 12, 12)), 7); // Saturday
    }
    void incMonthClampsTheDay()
    {
        QCOMPARE(IncMonth(EncodeDate(2024, 1, 31), 1), EncodeDate(2024, 2, 29));
        QCOMPARE(IncMonth(EncodeDate(2025, 1, 31), 1), EncodeDate(2025, 2, 28));
        QCOMPARE(IncMonth(EncodeDate(2026, 12, 15) + 0.5, 1), EncodeDate(2027, 1, 15) + 0.5);
        QCOMPARE(IncMonth(EncodeDate(2026, 1, 15), -1), EncodeDate(2025, 12, 15));
        QCOMPARE(IncMonth(EncodeDate(2024, 2, 29), 12), EncodeDate(2025, 2, 28));
    }
    void czechFormats()
    {
        const double t = EncodeDate(2026, 3, 8) + EncodeTime(9, 5, 7, 0);
        QCOMPARE(DateToStr(t), QString("8.3.2026"));
        QCOMPARE(TimeToStr(t), QString("9:05:07"));
        QCOMPARE(DateTimeToStr(t), QString("8.3.2026 9:05:07"));
        QCOMPARE(DateTimeToStr(EncodeDate(2026, 3, 8)), QString("8.3.2026"));
        QCOMPARE(FormatDateTime("hh:mm", t), QString("09:05")); // mm after hh: minutes
        QCOMPARE(FormatDateTime("yyyy.mm.dd", t), QString("2026.03.08"));
        QCOMPARE(FormatDateTime("dd.mm.yy hh:nn:ss", t), QString("08.03.26 09:05:07"));
        QCOMPARE(FormatDateTime("mmmm yyyy", t), QString("březen 2026"));
        QCOMPARE(FormatDateTime("dddd", t), QString("neděle"));
        QCOMPARE(FormatDateTime("'d' d", t), QString("d 8"));
        // The longest short date fits the 10 characters a record holds.
        QCOMPARE(DateToStr(EncodeDate(2026, 12, 31)).size(), 10);
    }
    void lenientDateParsing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("plain") << "8.12.2026" << QDate(2026, 12, 8);
        QTest::newRow("padded") << "08.02.2026" << QDate(2026, 2, 8);
        QTest::newRow("blanks") << "  8. 12. 2026 " << QDate(2026, 12, 8);
        QTest::newRow("no year") << "24.12" << QDate(2026, 12, 24);
        QTest::newRow("trailing dot") << "24.12." << QDate(2026, 12, 24);
        QTest::newRow("two-digit year") << "1.1.30" << QDate(2030, 1, 1);
        QTest::newRow("window low end") << "1.1.76" << QDate(1976, 1, 1);
        QTest::newRow("window high end") << "1.1.75" << QDate(2075, 1, 1);
        QTest::newRow("leap day") << "29.2.2028" << QDate(2028, 2, 29);
        QTest::newRow("no leap day") << "29.2.2027" << QDate();
        QTest::newRow("empty") << "" << QDate();
        QTest::newRow("letters") << "x.12.2026" << QDate();
        QTest::newRow("garbage after") << "8.12.2026x" << QDate();
        QTest::newRow("day 32") << "32.1.2026" << QDate();
        QTest::newRow("slashes") << "8/12/2026" << QDate();
        QTest::newRow("huge number") << "99999999999.1.2026" << QDate();
        QTest::newRow("arabic-indic digits") << QString::fromUtf8("٨.١٢.٢٠٢٦") << QDate();
    }
    void lenientDateParsing()
    {
        FixedClock clock(QDateTime(QDate(2026, 12, 9), QTime(12, 0)));
        QFETCH(QString, text);
        QFETCH(QDate, expected);
        const auto d = TryStrToDate(text);
        QCOMPARE(d.has_value(), expected.isValid());
        if (d)
            QCOMPARE(DateTimeToQDate(*d), expected);
    }
    void lenientTimeParsing()
    {
        QCOMPARE(TryStrToTime("9:05").value(), EncodeTime(9, 5, 0, 0));
        QCOMPARE(TryStrToTime("09:05:30").value(), EncodeTime(9, 5, 30, 0));
        QCOMPARE(TryStrToTime(" 23:59 ").value(), EncodeTime(23, 59, 0, 0));
        QVERIFY(!TryStrToTime("24:00"));
        QVERIFY(!TryStrToTime("12:60"));
        QVERIFY(!TryStrToTime("12"));
        QVERIFY(!TryStrToTime("  :  "));
        QVERIFY(!TryStrToTime("12:3x"));
        const auto dt = TryStrToDateTime("8.12.2026 9:05");
        QCOMPARE(dt.value(), EncodeDate(2026, 12, 8) + EncodeTime(9, 5, 0, 0));
        QVERIFY(!TryStrToDateTime("8.12.2026 9"));
    }
    void dstChangesDoNotBendWallClockTime()
    {
        // Days are wall-clock days: the 23-hour and 25-hour days of Prague
        // still count as one whole day each.
        qputenv("TZ", "Europe/Prague");
        const QDateTime spring(QDate(2026, 3, 29), QTime(3, 30));
        QCOMPARE(QDateTimeToDateTime(spring), EncodeDate(2026, 3, 29) + EncodeTime(3, 30, 0, 0));
        const QDateTime autumn(QDate(2026, 10, 25), QTime(2, 30));
        QCOMPARE(DateTimeToQDateTime(QDateTimeToDateTime(autumn)).time(), QTime(2, 30));
        QCOMPARE(EncodeDate(2026, 3, 30) - EncodeDate(2026, 3, 29), 1.0);
        qunsetenv("TZ");
    }
    // The zone file is read once, and again once it has changed: a link
    // switched to another zone moves the local time at the next look.
    void zoneFileIsFollowedWhenItChanges()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath("localtime");
        const auto switchTo = [&](const QString& zone) {
            QFile::remove(link);
            return QFile::link("/usr/share/zoneinfo/" + zone, link);
        };
        const QDateTime noonUtc(QDate(2026, 1, 15), QTime(12, 0), Qt::UTC);
        const ProcessTimeZone keep("UTC");
        qunsetenv("TZ");
        QVERIFY(switchTo("Europe/Prague"));
        LocalZone::pin(QFile::encodeName(link));
        QCOMPARE(noonUtc.toLocalTime().time(), QTime(13, 0));
        QVERIFY(switchTo("America/New_York"));
        LocalZone::followChanges(true);
        QCOMPARE(noonUtc.toLocalTime().time(), QTime(7, 0));
        LocalZone::followChanges(true); // unchanged: stays
        QCOMPARE(noonUtc.toLocalTime().time(), QTime(7, 0));
        LocalZone::pin();
    }
    // The local times summer time skips count as the first moment after the
    // gap; the times either side and the doubled hour in autumn stay.
    void skippedTimesBecomeTheFirstMomentAfter_data()
    {
        QTest::addColumn<QDateTime>("local");
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<qint64>("secsSinceEpoch");
        const QDate spring(2026, 3, 29), autumn(2026, 10, 25);
        // 29.3.2026 01:00 UTC is the jump from 02:00 CET to 03:00 CEST.
        const qint64 jump = QDateTime(spring, QTime(1, 0), Qt::UTC).toSecsSinceEpoch();
        QTest::newRow("before") << QDateTime(spring, QTime(1, 59)) << QDateTime(spring, QTime(1, 59)) << jump - 60;
        QTest::newRow("02:00") << QDateTime(spring, QTime(2, 0)) << QDateTime(spring, QTime(3, 0)) << jump;
        QTest::newRow("02:30") << QDateTime(spring, QTime(2, 30)) << QDateTime(spring, QTime(3, 0)) << jump;
        QTest::newRow("02:59:59") << QDateTime(spring, QTime(2, 59, 59)) << QDateTime(spring, QTime(3, 0)) << jump;
        QTest::newRow("03:00") << QDateTime(spring, QTime(3, 0)) << QDateTime(spring, QTime(3, 0)) << jump;
        QTest::newRow("2027") << QDateTime(QDate(2027, 3, 28), QTime(2, 15))
                              << QDateTime(QDate(2027, 3, 28), QTime(3, 0))
                              << QDateTime(QDate(2027, 3, 28), QTime(1, 0), Qt::UTC).toSecsSinceEpoch();
        QTest::newRow("autumn") << QDateTime(autumn, QTime(2, 30)) << QDateTime(autumn, QTime(2, 30))
                                << QDateTime(autumn, QTime(1, 30), Qt::UTC).toSecsSinceEpoch();
    }
    void skippedTimesBecomeTheFirstMomentAfter()
    {
        QFETCH(QDateTime, local);
        QFETCH(QDateTime, moment);
        QFETCH(qint64, secsSinceEpoch);
        ProcessTimeZone zone("Europe/Prague");
        const double stored = QDateToDateTime(local.date()) + local.time().msecsSinceStartOfDay() / MSecsPerDay;
        const QDateTime converted = DateTimeToQDateTime(stored);
        QVERIFY(converted.isValid());
        QCOMPARE(converted, moment);
        QCOMPARE(converted.toSecsSinceEpoch(), secsSinceEpoch);
        QCOMPARE(ExistingLocalTime(stored), QDateTimeToDateTime(moment));
        // A wall timer aimed at it from an hour before the jump waits the
        // real time to it, never the 1 ms an unconvertible moment gave.
        FixedClock clock(QDateTime::fromSecsSinceEpoch(secsSinceEpoch - 3600));
        QCOMPARE(WallTimer::MsecsUntil(stored), 3600 * 1000 + 1);
    }

    // Values read from a file beyond the years 100..9999, or no number at
    // all, are damage; beyond the years 1..9999 they convert to nothing and
    // are never cast into an integer.
    void damagedValuesConvertToNothing_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("converts");
        QTest::newRow("NaN") << NaN << false << false;
        QTest::newRow("+inf") << Inf << false << false;
        QTest::newRow("-inf") << -Inf << false << false;
        QTest::newRow("1e300") << 1e300 << false << false;
        QTest::newRow("-1e300") << -1e300 << false << false;
        QTest::newRow("1e12 days") << 1e12 << false << false;
        QTest::newRow("before 1.1.1") << EncodeDate(1, 1, 1) - 1 << false << false;
        QTest::newRow("1.1.1") << EncodeDate(1, 1, 1) << false << true;
        QTest::newRow("31.12.99") << EncodeDate(100, 1, 1) - 1 << false << true;
        QTest::newRow("1.1.100") << EncodeDate(100, 1, 1) << true << true;
        QTest::newRow("31.12.9999 23:59:59.999") << EncodeDate(9999, 12, 31) + EncodeTime(23, 59, 59, 999) << true
                                                 << true;
        QTest::newRow("1.1.10000") << EncodeDate(9999, 12, 31) + 1 << false << false;
    }
    void damagedValuesConvertToNothing()
    {
        QFETCH(double, value);
        QFETCH(bool, valid);
        QFETCH(bool, converts);
        QCOMPARE(IsValidDateTime(value), valid);
        QCOMPARE(DateTimeToQDateTime(value).isValid(), converts);
        QCOMPARE(DateTimeToQDate(value).isValid(), converts);
        QCOMPARE(DateToStr(value).isEmpty(), !converts);
        QCOMPARE(DateTimeToStr(value).isEmpty(), !converts);
        QCOMPARE(std::isnan(DateOf(value)), !converts);
        QCOMPARE(DayOfWeek(value) == 0, !converts);
        if (!converts) {
            int y = -1, m = -1, d = -1, h = -1, n = -1, sec = -1, ms = -1;
            DecodeDate(value, y, m, d);
            DecodeTime(value, h, n, sec, ms);
            QCOMPARE(QList<int>({ y, m, d, h, n, sec, ms }), QList<int>({ 0, 0, 0, 0, 0, 0, 0 }));
            QVERIFY_THROWS_EXCEPTION(KorvelError, IncMonth(value, 1));
            // A timer is never aimed at it.
            QCOMPARE(WallTimer::MsecsUntil(value), std::numeric_limits<qint64>::max());
        }
    }

    void incMonthBeyondTheYearsFails()
    {
        const double day = EncodeDate(2026, 3, 29) + 0.25;
        for (const int months : { INT_MAX, INT_MIN, INT_MAX - 5, 12 * 7974, -12 * 2026 })
            QVERIFY_THROWS_EXCEPTION(KorvelError, IncMonth(day, months));
        QCOMPARE(IncMonth(day, 12 * 7973 + 9), EncodeDate(9999, 12, 29) + 0.25);
        QCOMPARE(IncMonth(day, -12 * 2025 - 2), ComposeDateTime(EncodeDate(1, 1, 29), 0.25));
    }

    void clockCanBeSetAndAdvanced()
    {
        FixedClock clock(QDateTime(QDate(2026, 12, 9), QTime(23, 59, 59)));
        QCOMPARE(Now(), EncodeDate(2026, 12, 9) + EncodeTime(23, 59, 59, 0));
        Clock::advance(1000);
        QCOMPARE(Date(), EncodeDate(2026, 12, 10));
        QCOMPARE(Time(), 0.0);
    }
};

QTEST_GUILESS_MAIN(TestDateTime)
#include "tst_datetime.moc"
