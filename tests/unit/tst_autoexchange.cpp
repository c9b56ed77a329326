// When the tray resident finds an automatic import due.
#include "platform/inifile.h"
#include "tray/autoexchange.h"

#include "testsupport.h"

#include <QTest>

class TestAutoExchange : public QObject {
    Q_OBJECT

private slots:
    void whenTheExchangeFileIsNewer_data()
    {
        QTest::addColumn<QStringList>("keys"); // key=value pairs of [FImport]
        QTest::addColumn<bool>("due");
        QTest::newRow("nothing recorded") << QStringList {} << true;
        QTest::newRow("no file at all") << QStringList { "<none>" } << true;
        QTest::newRow("both imported after their files") << QStringList { "datum=5.3.2025", "cas=10:00:00",
            "autodatum=5.3.2025", "autocas=9:59:59", "kdatum=6.3.2025", "kcas=0:00:00", "kautodatum=5.3.2025",
            "kautocas=23:00:00" } << false;
        QTest::newRow("imported the very second of the file") << QStringList { "datum=5.3.2025", "cas=10:00:00",
            "autodatum=5.3.2025", "autocas=10:00:00", "kdatum=5.3.2025", "kcas=10:00:00", "kautodatum=5.3.2025",
            "kautocas=10:00:00" } << false;
        QTest::newRow("reminders newer by a second") << QStringList { "datum=5.3.2025", "cas=10:00:00",
            "autodatum=5.3.2025", "autocas=10:00:01", "kdatum=6.3.2025", "kcas=0:00:00", "kautodatum=5.3.2025",
            "kautocas=0:00:00" } << true;
        QTest::newRow("only the contacts newer") << QStringList { "datum=6.3.2025", "cas=0:00:00", "autodatum=5.3.2025",
            "autocas=0:00:00", "kdatum=31.12.2024", "kcas=23:59:59", "kautodatum=1.1.2025", "kautocas=0:00:00" }
                                                 << true;
        // Only the reminder keys: the contact defaults (0:00 before 1:00) are due.
        QTest::newRow("contact keys missing")
            << QStringList { "datum=6.3.2025", "cas=0:00:00", "autodatum=5.3.2025", "autocas=0:00:00" } << true;
        // Text that does not parse counts as its default, never as a crash.
        QTest::newRow("unparsable import date: default, so due") << QStringList { "datum=32.13.2025", "cas=10:00:00",
            "autodatum=5.3.2025", "autocas=10:00:00", "kdatum=6.3.2025", "kcas=0:00:00", "kautodatum=5.3.2025",
            "kautocas=0:00:00" } << true;
        QTest::newRow("unparsable file time: default, not due") << QStringList { "datum=5.3.2025", "cas=10:00:00",
            "autodatum=5.3.2025", "autocas=xx", "kdatum=6.3.2025", "kcas=0:00:00", "kautodatum=5.3.2025",
            "kautocas=1:0x" } << false;
    }
    void whenTheExchangeFileIsNewer()
    {
        QFETCH(QStringList, keys);
        QFETCH(bool, due);
        TempProgramFolder folder;
        if (keys != QStringList { "<none>" }) {
            IniFile ini(folder.iniPath());
            ini.writeBool("Nastav", "autoexpimp", true);
            for (const QString& kv : keys)
                ini.writeString("FImport", kv.section(u'=', 0, 0), kv.section(u'=', 1));
        }
        QCOMPARE(AutoExpImpDue(folder.iniPath()), due);
    }
};

QTEST_GUILESS_MAIN(TestAutoExchange)
#include "tst_autoexchange.moc"
