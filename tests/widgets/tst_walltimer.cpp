#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/walltimer.h"

#include "testsupport.h"
#include "timezone.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {
QDateTime at(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}
double moment(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}
} // namespace

class TestWallTimer : public QObject {
    Q_OBJECT
    // The summer-time cases are Prague's.
    ProcessTimeZone m_zone { "Europe/Prague" };

private slots:
    void cleanup() { Clock::reset(); }

    void msecsUntilIsOnePastTheMoment_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<double>("moment");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("quarter hour ahead") << at(2024, 5, 6, 10, 50) << moment(2024, 5, 6, 11, 0) << qint64(600001);
        QTest::newRow("last millisecond before")
            << at(2024, 5, 6, 10, 59, 59, 999) << moment(2024, 5, 6, 11, 0) << qint64(2);
        QTest::newRow("the moment itself") << at(2024, 5, 6, 11, 0) << moment(2024, 5, 6, 11, 0) << qint64(1);
        QTest::newRow("one millisecond late") << at(2024, 5, 6, 11, 0, 0, 1) << moment(2024, 5, 6, 11, 0) << qint64(0);
        QTest::newRow("an hour late") << at(2024, 5, 6, 12, 0) << moment(2024, 5, 6, 11, 0) << qint64(-3599999);
        QTest::newRow("midnight, next day") << at(2024, 5, 6, 23, 50) << moment(2024, 5, 7, 0, 0) << qint64(600001);
        QTest::newRow("new year") << at(2024, 12, 31, 23, 59, 59, 500) << moment(2025, 1, 1, 0, 0) << qint64(501);
        QTest::newRow("leap day") << at(2024, 2, 28, 23, 45) << moment(2024, 2, 29, 0, 0) << qint64(900001);
        QTest::newRow("a whole day") << at(2024, 2, 28, 12, 0) << moment(2024, 2, 29, 12, 0) << qint64(86400001);
        // Summer time begins at 2:00 (the clock jumps to 3:00) and ends at
        // 3:00 (back to 2:00): real time, not the date-times' difference.
        QTest::newRow("spring, across the jump")
            << at(2024, 3, 31, 1, 50) << moment(2024, 3, 31, 3, 0) << qint64(600001);
        QTest::newRow("spring, whole day")
            << at(2024, 3, 30, 12, 0) << moment(2024, 3, 31, 12, 0) << qint64(23 * 3600000 + 1);
        QTest::newRow("autumn, whole day")
            << at(2024, 10, 26, 12, 0) << moment(2024, 10, 27, 12, 0) << qint64(25 * 3600000 + 1);
        QTest::newRow("autumn, after the hour repeats")
            << at(2024, 10, 27, 1, 45) << moment(2024, 10, 27, 4, 0) << qint64(3 * 3600000 + 15 * 60000 + 1);
    }
    void msecsUntilIsOnePastTheMoment()
    {
        QFETCH(QDateTime, now);
        QFETCH(double, moment);
        QFETCH(qint64, expected);
        FixedClock clock(now);
        QCOMPARE(WallTimer::MsecsUntil(moment), expected);
    }

    // Moments built from quarter hours come back exact however the double
    // rounds: each quarter of a day is one past its moment.
    void everyQuarterHourOfADayIsExact()
    {
        FixedClock clock(at(2024, 5, 6, 0, 0));
        for (int q = 0; q < 96; ++q)
            QCOMPARE(WallTimer::MsecsUntil(EncodeDate(2024, 5, 6) + EncodeTime(q / 4, q % 4 * 15, 0, 0)),
                qint64(q) * 900000 + 1);
    }

    void armStartsAPreciseSingleShot()
    {
        QTimer timer;
        timer.start(10000);
        WallTimer::Arm(timer, 1234);
        QVERIFY(timer.isActive());
        QVERIFY(timer.isSingleShot());
        QCOMPARE(timer.timerType(), Qt::PreciseTimer);
        QCOMPARE(timer.interval(), 1234);
    }

    // The program clock runs from a faked moment: the timer aimed at a moment
    // 300 ms ahead of it fires once, not before that moment of the program clock.
    void firesAtTheMomentOfTheProgramClock()
    {
        Clock::setRunningFrom(at(2030, 1, 1, 10, 59, 59, 700));
        const double target = moment(2030, 1, 1, 11, 0);
        QTimer timer;
        QDateTime firedAt;
        connect(&timer, &QTimer::timeout, [&] { firedAt = Clock::now(); });
        QSignalSpy fired(&timer, &QTimer::timeout);
        const qint64 ms = WallTimer::MsecsUntil(target);
        QVERIFY(ms > 200 && ms <= 301);
        WallTimer::Arm(timer, int(ms));
        QVERIFY(fired.wait(5000));
        QVERIFY2(firedAt >= at(2030, 1, 1, 11, 0), qPrintable(firedAt.toString(Qt::ISODateWithMs)));
        QCOMPARE(firedAt.time().minute(), 0);
        QVERIFY(!timer.isActive());
        QVERIFY(!fired.wait(400));
        QCOMPARE(fired.size(), 1);
    }
};

QTEST_MAIN(TestWallTimer)
#include "tst_walltimer.moc"
