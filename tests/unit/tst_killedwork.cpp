// A program killed while it moves the records of a data file leaves the old
// file or the new one, never a mix, and the next start clears what the
// killed writer left beside it.
#include "platform/errors.h"
#include "platform/filereplace.h"
#include "platform/inifile.h"
#include "shared/contactfile.h"
#include "shared/reminderfile.h"

#include "testsupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <thread>

namespace {

constexpr int Kills = 4;

QString workProgram()
{
    return qEnvironmentVariable("KORVEL_BUILD_DIR") + QStringLiteral("/tests/tools/korvel_filework");
}

// korvel_filework run in a process of its own, which says when the work
// begins ("go") and when it is done ("done").
class Work {
public:
    Work(const QString& work, const QString& folder)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(workProgram(), { QStringLiteral("run"), work, folder });
    }
    bool begun() { return nextLineIs("go\n"); }
    // True when the kill came before the work was done.
    bool kill()
    {
        ::kill(pid_t(m_process.processId()), SIGKILL);
        m_process.waitForFinished();
        return !m_process.readAll().contains("done");
    }
    bool finish() { return nextLineIs("done\n"); }
    bool endedWell()
    {
        return m_process.waitForFinished(30000) && m_process.exitStatus() == QProcess::NormalExit
            && m_process.exitCode() == 0;
    }

private:
    bool nextLineIs(const QByteArray& line)
    {
        while (!m_process.canReadLine())
            if (!m_process.waitForReadyRead(30000))
                return false;
        return m_process.readLine() == line;
    }

    QProcess m_process;
};

} // namespace

class TestKilledWork : public QObject {
    Q_OBJECT
private slots:
    void aKillLeavesTheOldFileOrTheNew_data()
    {
        QTest::addColumn<QString>("work");
        QTest::addColumn<QString>("file");
        QTest::newRow("removal") << "remove"
                                 << "korvel.da1";
        QTest::newRow("renumbering") << "renumber"
                                     << "korvel.da1";
        QTest::newRow("import") << "import"
                                << "korvel.da1";
        QTest::newRow("conversion") << "convert"
                                    << "korvel.da1";
        QTest::newRow("contact delete") << "contact"
                                        << "korvel.db1";
    }

    void aKillLeavesTheOldFileOrTheNew()
    {
        QFETCH(QString, work);
        QFETCH(QString, file);
        TempProgramFolder dir;
        const QString target = dir.file(file);
        const QString leftOver = target + QStringLiteral(".new");
        QCOMPARE(QProcess::execute(workProgram(), { "prepare", work, dir.path() }), 0);
        const QByteArray before = readFileBytes(target);

        // Once to its end: the new file, and how long the work takes.
        qint64 span = 0;
        {
            Work full(work, dir.path());
            QVERIFY(full.begun());
            QElapsedTimer took;
            took.start();
            QVERIFY(full.finish());
            span = took.nsecsElapsed();
            QVERIFY(full.endedWell());
        }
        const QByteArray after = readFileBytes(target);
        QVERIFY(after != before);
        QVERIFY(!QFile::exists(leftOver));

        // Kills at random moments of the work. One that comes after its end
        // proves nothing (a loaded machine may run the work faster than the
        // run above): the moments then shrink until enough land inside.
        int midWork = 0;
        for (int attempt = 0; midWork < Kills && attempt < 5 * Kills; ++attempt) {
            writeFileBytes(target, before);
            Work killed(work, dir.path());
            QVERIFY(killed.begun());
            const qint64 at = qint64(QRandomGenerator::global()->generateDouble() * span);
            std::this_thread::sleep_for(std::chrono::nanoseconds(at));
            if (killed.kill())
                ++midWork;
            else
                span /= 2;
            const QByteArray now = readFileBytes(target);
            QVERIFY2(now == before || now == after,
                qPrintable(QStringLiteral("a kill at %1 ns into the work left a mixed file").arg(at)));
            RemoveStaleReplacement(target);
            QVERIFY(!QFile::exists(leftOver));
        }
        QVERIFY2(midWork == Kills, qPrintable(QStringLiteral("only %1 kills inside the work").arg(midWork)));
    }

    // A replacement in progress is not taken for a left-over, and a second
    // writer does not spoil it.
    void aNewFileBeingWrittenIsLeftAlone()
    {
        TempProgramFolder dir;
        const QString target = dir.file("korvel.da1");
        writeFileBytes(target, "old");
        {
            ReplacementFile first(target);
            first.write("new", 3);
            RemoveStaleReplacement(target);
            QCOMPARE(readFileBytes(first.path()), QByteArray("new"));
            try {
                ReplacementFile second(target);
                QFAIL("a second writer took the new file");
            } catch (const IoError& e) {
                QCOMPARE(e.code(), EBUSY);
            }
            QCOMPARE(readFileBytes(first.path()), QByteArray("new"));
            first.commit();
        }
        QCOMPARE(readFileBytes(target), QByteArray("new"));
        QVERIFY(!QFile::exists(target + ".new"));
    }

    // An appender (new reminders and contacts, one-record imports in place)
    // against imports that replace both files again and again.
    void twoWritersLoseNothing()
    {
        TempProgramFolder dir;
        QCOMPARE(QProcess::execute(workProgram(), { "prepare", "race", dir.path() }), 0);
        Work replace("replace", dir.path());
        QVERIFY(replace.begun());
        Work append("append", dir.path());
        QVERIFY(append.begun() && append.finish() && append.endedWell());
        QVERIFY(replace.finish() && replace.endedWell());

        constexpr int Rounds = 40; // as the work's
        QSet<double> created;
        int changed = 0;
        ForEachReminder(dir.file("korvel.da1"), [&](int, const ReminderRecord& r) {
            created << r.Created;
            changed += r.ID <= Rounds && r.Title == QStringLiteral("Změněno");
        });
        QCOMPARE(changed, Rounds);
        QCOMPARE(ReminderCount(dir.file("korvel.da1")), 1000 + Rounds);
        QCOMPARE(created.size(), 1000 + Rounds);
        QSet<double> unikat;
        ForEachContact(dir.file("korvel.db1"), [&](int, const ContactRecord& c) { unikat << c.unikat; });
        QCOMPARE(ContactCount(dir.file("korvel.db1")), 500 - 1 + Rounds);
        QCOMPARE(unikat.size(), 500 - 1 + Rounds);
        for (int k = 1; k <= Rounds; ++k)
            QVERIFY(created.contains(90000 + k) && unikat.contains(90000 + k));
        QVERIFY(!unikat.contains(45000 + 500));
    }

    // A writer that cannot get the lock says so in Czech and writes nothing;
    // a killed holder's lock is free at once.
    void aHeldLockStopsAWriter()
    {
        TempProgramFolder dir;
        const QString data = dir.file("korvel.da1");
        ReminderRecord r;
        AppendReminder(data, r);
        const QByteArray before = readFileBytes(data);
        Work holder("hold", dir.path());
        QVERIFY(holder.begun());
        try {
            AppendReminder(data, r);
            QFAIL("written while another program held the lock");
        } catch (const DataFileBusy& e) {
            QVERIFY(e.message().contains(QStringLiteral("právě upravuje jiný program - nic nebylo zapsáno")));
        }
        QCOMPARE(readFileBytes(data), before);
        QVERIFY(holder.kill());
        QCOMPARE(AppendReminder(data, r), 2);
    }

    // A write that cannot reach the disk whole leaves the file byte for byte
    // as it was (no file where there was none) and nothing beside it.
    void aWriteThatDoesNotReachTheDiskLosesNothing_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<QString>("fault");
        // Record writers do not sync; they are checked at the close.
        for (const QString writer : { "settings", "append", "append to nothing" })
            for (const QString fault : { "full", "sync", "close" })
                if (fault != "sync" || writer == "settings")
                    QTest::newRow(qPrintable(writer + ", " + fault)) << writer << fault;
    }
    void aWriteThatDoesNotReachTheDiskLosesNothing()
    {
        QFETCH(QString, writer);
        QFETCH(QString, fault);
        SmallDisk disk;
        const QString path = disk.file("korvel.da1");
        // Two records end inside a page of the file: part of a third fits.
        if (writer != "append to nothing")
            writeFileBytes(path, QByteArray(2 * ReminderRecord::Size, '\0'));
        const QByteArray before = readFileBytes(path);
        if (fault == "full")
            disk.fill();
        else
            disk.failWriteBack(fault == "sync" ? SmallDisk::Sync : SmallDisk::Close);
        try {
            ReminderRecord r;
            if (writer == "settings")
                IniFile(path).writeString("FImport", "kautocas", "10:00:00");
            else
                AppendReminder(path, r);
            QFAIL("no error");
        } catch (const IoError& e) {
            QCOMPARE(e.code(), fault == "full" ? disk.noRoomCode() : EIO);
        }
        QCOMPARE(QFile::exists(path), !before.isEmpty());
        QCOMPARE(readFileBytes(path), before);
        QVERIFY(!QFile::exists(path + ".new"));
    }
};

QTEST_GUILESS_MAIN(TestKilledWork)
#include "tst_killedwork.moc"
