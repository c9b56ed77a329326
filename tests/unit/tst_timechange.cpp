#include "platform/timechange.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <sys/timex.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// The process's clock-change timers as the kernel describes them
// (/proc/self/fdinfo): descriptor → "clockid", "settime flags", "it_value".
QMap<QString, QMap<QString, QString>> timerFds()
{
    QMap<QString, QMap<QString, QString>> fds;
    const QDir dir(QStringLiteral("/proc/self/fd"));
    for (const QString& fd : dir.entryList(QDir::Files | QDir::System)) {
        char link[64] = {};
        const ssize_t n = readlink(QFile::encodeName(dir.filePath(fd)).constData(), link, sizeof link - 1);
        if (n <= 0 || qstrcmp(link, "anon_inode:[timerfd]") != 0)
            continue;
        QFile info(QStringLiteral("/proc/self/fdinfo/") + fd);
        if (!info.open(QIODevice::ReadOnly))
            continue;
        QMap<QString, QString> fields;
        for (const QByteArray& line : info.readAll().split('\n')) {
            const int colon = line.indexOf(':');
            if (colon > 0)
                fields.insert(
                    QString::fromLatin1(line.left(colon)), QString::fromLatin1(line.mid(colon + 1)).trimmed());
        }
        fds.insert(fd, fields);
    }
    return fds;
}

// Moves the system clock by usec microseconds (negative: back).
bool shiftClock(long usec)
{
    timex tx {};
    tx.modes = ADJ_SETOFFSET;
    tx.time.tv_sec = usec < 0 ? -1 : 0;
    tx.time.tv_usec = usec < 0 ? 1000000 + usec : usec;
    return clock_adjtime(CLOCK_REALTIME, &tx) >= 0;
}

} // namespace

class TestTimeChange : public QObject {
    Q_OBJECT
private slots:
    void watchesTheClockWithACancelOnSetTimer()
    {
        const auto before = timerFds();
        QString fd;
        {
            TimeChange watcher;
            QVERIFY(watcher.isWatching());
            const auto after = timerFds();
            QCOMPARE(after.size(), before.size() + 1);
            for (auto it = after.begin(); it != after.end(); ++it)
                if (!before.contains(it.key()))
                    fd = it.key();
            const QMap<QString, QString> timer = after.value(fd);
            QCOMPARE(timer.value("clockid"), QStringLiteral("0")); // CLOCK_REALTIME
            // TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET
            QCOMPARE(timer.value("settime flags"), QStringLiteral("03"));
            // Armed, and far enough ahead never to expire on its own.
            const QString value = timer.value("it_value").remove('(').remove(')');
            QVERIFY2(value.section(',', 0, 0).toLongLong() > 50LL * 365 * 24 * 3600, qPrintable(value));
        }
        QVERIFY(!timerFds().contains(fd));
    }

    // Needs the right to set the clock, and sets it: one microsecond on and
    // back again. Every program on the machine that watches the clock sees
    // the two changes, so it runs only when asked for.
    void reportsEachClockChangeAndStaysArmed()
    {
        if (qEnvironmentVariable("KORVEL_TEST_SET_CLOCK") != QLatin1String("1"))
            QSKIP("sets the system clock: run with KORVEL_TEST_SET_CLOCK=1 as root");
        TimeChange watcher;
        QSignalSpy changed(&watcher, &TimeChange::timeChanged);
        QVERIFY2(shiftClock(1), strerror(errno));
        QVERIFY(changed.wait(2000));
        QCOMPARE(changed.size(), 1);
        // Each change is reported, not only the first.
        QVERIFY2(shiftClock(-1), strerror(errno));
        QTRY_COMPARE_WITH_TIMEOUT(changed.size(), 2, 2000);
        bool armed = false;
        for (const auto& timer : timerFds())
            armed = armed || timer.value("settime flags") == QLatin1String("03");
        QVERIFY(armed);
        QVERIFY(!changed.wait(200));
    }
};

QTEST_GUILESS_MAIN(TestTimeChange)
#include "tst_timechange.moc"
