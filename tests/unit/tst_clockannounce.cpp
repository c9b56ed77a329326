// The clock's spoken sequences and the choice of the next quarter hour.
#include "platform/datetime.h"
#include "platform/inifile.h"
#include "tray/clockannounce.h"

#include "testsupport.h"
#include "timezone.h"

#include <QTest>

namespace {

double moment(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

QuarterSlots only(int minute)
{
    QuarterSlots q {};
    q[minute / 15] = true;
    return q;
}

} // namespace

Q_DECLARE_METATYPE(QuarterSlots)

class TestClockAnnounce : public QObject {
    Q_OBJECT
    ProcessTimeZone m_zone { "Europe/Prague" };

private slots:
    void theQuarterAnnouncement_data()
    {
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<bool>("gong");
        QTest::addColumn<bool>("words");
        QTest::addColumn<bool>("cycle24");
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("13:15, 12-hour, all on")
            << 13 << 15 << true << true << false << QStringList { "gong", "1", "hodina", "15", "minut" };
        QTest::newRow("13:15, 24-hour") << 13 << 15 << false << true << true
                                        << QStringList { "13", "hodin", "15", "minut" };
        QTest::newRow("full hour: no minutes")
            << 14 << 0 << true << true << true << QStringList { "gong", "14", "hodin" };
        QTest::newRow("midnight, 12-hour stays 0") << 0 << 0 << false << true << false << QStringList { "0", "hodin" };
        QTest::newRow("noon, 12-hour stays 12") << 12 << 30 << false << false << false << QStringList { "12", "30" };
        QTest::newRow("2 to 4: hodiny") << 16 << 45 << false << true << false
                                        << QStringList { "4", "hodiny", "45", "minut" };
        QTest::newRow("22 in 24-hour: hodin")
            << 22 << 45 << false << true << true << QStringList { "22", "hodin", "45", "minut" };
        QTest::newRow("no words") << 9 << 15 << true << false << true << QStringList { "gong", "9", "15" };
    }
    void theQuarterAnnouncement()
    {
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(bool, gong);
        QFETCH(bool, words);
        QFETCH(bool, cycle24);
        QFETCH(QStringList, pieces);
        QCOMPARE(QuarterAnnouncement(hour, minute, gong, words, cycle24), pieces);
    }

    void theTimeOnDemand_data()
    {
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<bool>("words");
        QTest::addColumn<bool>("cycle24");
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("14:32") << 14 << 32 << true << true << QStringList { "14", "hodin", "30", "2_", "minut" };
        QTest::newRow("9:21") << 9 << 21 << true << true << QStringList { "9", "hodin", "21", "minut" };
        QTest::newRow("1:01") << 1 << 1 << true << true << QStringList { "1", "hodina", "1", "minuta" };
        QTest::newRow("3:03 minuty") << 3 << 3 << true << true << QStringList { "3", "hodiny", "3", "minuty" };
        QTest::newRow("full hour") << 17 << 0 << true << false << QStringList { "5", "hodin" };
        QTest::newRow("23 is one piece") << 10 << 23 << false << true << QStringList { "10", "23" };
        QTest::newRow("24 is ten and unit") << 10 << 24 << false << true << QStringList { "10", "20", "4" };
        QTest::newRow("a round ten") << 10 << 40 << true << true << QStringList { "10", "hodin", "40", "minut" };
        QTest::newRow("52") << 23 << 52 << false << false << QStringList { "11", "50", "2_" };
        QTest::newRow("59") << 0 << 59 << false << true << QStringList { "0", "50", "9" };
    }
    void theTimeOnDemand()
    {
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(bool, words);
        QFETCH(bool, cycle24);
        QFETCH(QStringList, pieces);
        QCOMPARE(SpokenTime(hour, minute, words, cycle24), pieces);
    }

    // Every piece the clock can ask for is one of the pieces the build makes.
    void everySequenceUsesBuiltPieces()
    {
        QStringList built { "2_", "gong", "hodina", "hodiny", "hodin", "minuta", "minuty", "minut", "30", "40", "45",
            "50" };
        for (int n = 0; n <= 23; ++n)
            built << QString::number(n);
        for (int h = 0; h < 24; ++h)
            for (int m = 0; m < 60; ++m)
                for (bool words : { false, true })
                    for (bool cycle24 : { false, true }) {
                        QStringList pieces = SpokenTime(h, m, words, cycle24);
                        if (m % 15 == 0)
                            pieces += QuarterAnnouncement(h, m, true, words, cycle24);
                        for (const QString& p : pieces)
                            QVERIFY2(built.contains(p), qPrintable(QStringLiteral("%1:%2 %3").arg(h).arg(m).arg(p)));
                    }
    }

    void theNextQuarterSlot_data()
    {
        QTest::addColumn<double>("now");
        QTest::addColumn<QuarterSlots>("quarters");
        QTest::addColumn<double>("slot");
        QTest::newRow("10:50, full hours") << moment(2025, 5, 6, 10, 50) << only(0) << moment(2025, 5, 6, 11, 0);
        QTest::newRow("23:50: midnight, next day") << moment(2025, 5, 6, 23, 50) << only(0) << moment(2025, 5, 7, 0, 0);
        QTest::newRow("new year") << moment(2025, 12, 31, 23, 45) << only(0) << moment(2026, 1, 1, 0, 0);
        QTest::newRow("just past a quarter: the next hour's")
            << moment(2025, 5, 6, 10, 15, 0, 1) << only(15) << moment(2025, 5, 6, 11, 15);
        QTest::newRow("14 past: this quarter")
            << moment(2025, 5, 6, 10, 14, 59) << only(15) << moment(2025, 5, 6, 10, 15);
        QTest::newRow("23:40, quarter 15: next day")
            << moment(2025, 2, 28, 23, 40) << only(15) << moment(2025, 3, 1, 0, 15);
        QTest::newRow("the earliest of several")
            << moment(2025, 5, 6, 10, 31) << QuarterSlots { true, false, false, true } << moment(2025, 5, 6, 10, 45);
        QTest::newRow("all on") << moment(2025, 5, 6, 10, 46) << QuarterSlots { true, true, true, true }
                                << moment(2025, 5, 6, 11, 0);
        QTest::newRow("at a quarter itself: the next one")
            << moment(2025, 5, 6, 10, 30) << QuarterSlots { true, true, true, true } << moment(2025, 5, 6, 10, 45);
    }
    void theNextQuarterSlot()
    {
        QFETCH(double, now);
        QFETCH(QuarterSlots, quarters);
        QFETCH(double, slot);
        const auto next = NextQuarterSlot(now, quarters);
        QVERIFY(next);
        QCOMPARE(*next, slot);
    }

    void nothingSwitchedOnWaitsAnHour()
    {
        QVERIFY(!NextQuarterSlot(moment(2025, 5, 6, 10, 50), QuarterSlots {}));
        TempProgramFolder folder;
        FixedClock clock(QDateTime(QDate(2025, 5, 6), QTime(10, 50)));
        QCOMPARE(NextAnnouncementTime(folder.iniPath()), moment(2025, 5, 6, 11, 50));
        IniFile ini(folder.iniPath());
        ini.writeBool("Hodiny", "30anone", true);
        ini.writeBool("Hodiny", "45ANONE", false); // keys without regard to case
        ini.writeBool("Hodiny", "15gong", true); // not a slot key
        QCOMPARE(ReadQuarterSlots(folder.iniPath()), (QuarterSlots { false, false, true, false }));
        QCOMPARE(NextAnnouncementTime(folder.iniPath()), moment(2025, 5, 6, 11, 30));
    }
};

QTEST_GUILESS_MAIN(TestClockAnnounce)
#include "tst_clockannounce.moc"
