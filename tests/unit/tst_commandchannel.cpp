#include "platform/commandchannel.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/programstarter.h"
#include "platform/useraction.h"
#include "shared/commands.h"

#include "testsupport.h"

#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <climits>
#include <csignal>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using Listen = CommandChannel::ListenResult;
using Codes = QList<QPair<int32_t, int32_t>>;

QString peerProgram()
{
    return qEnvironmentVariable("KORVEL_BUILD_DIR") + QStringLiteral("/tests/tools/korvel_peer");
}

QStringList fileLines(const QString& path)
{
    return QString::fromUtf8(readFileBytes(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// korvel_peer taking a title in its own process and logging what it receives.
class Peer {
public:
    Peer(const QString& title, const QString& log, const QStringList& extra = {})
        : m_log(log)
    {
        m_process.start(peerProgram(), QStringList { QStringLiteral("listen"), title, log } + extra);
    }
    ~Peer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    QProcess& process() { return m_process; }
    QStringList lines() const { return fileLines(m_log); }

private:
    QString m_log;
    QProcess m_process;
};

// A raw socket bound by hand, to see the bytes a post puts on the wire.
class RawReceiver {
public:
    explicit RawReceiver(const QString& path)
    {
        m_fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr {};
        addr.sun_family = AF_UNIX;
        const QByteArray p = QFile::encodeName(path);
        memcpy(addr.sun_path, p.constData(), p.size());
        m_bound = ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    }
    ~RawReceiver() { ::close(m_fd); }
    bool bound() const { return m_bound; }
    QByteArray next()
    {
        char buf[64];
        const ssize_t n = ::recv(m_fd, buf, sizeof buf, MSG_DONTWAIT);
        return n < 0 ? QByteArray("none") : QByteArray(buf, int(n));
    }

private:
    int m_fd;
    bool m_bound = false;
};

// Sends raw bytes to a title's socket, as any program may.
bool sendRaw(const QString& title, const QByteArray& bytes)
{
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    const QByteArray p = QFile::encodeName(CommandChannel::socketPath(title));
    memcpy(addr.sun_path, p.constData(), p.size());
    const bool sent = ::sendto(fd, bytes.constData(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&addr), sizeof addr)
        == bytes.size();
    ::close(fd);
    return sent;
}

// SIGSTOP takes effect a moment after kill() returns.
bool allThreadsStopped(qint64 pid)
{
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    const QStringList ids = tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& id : ids) {
        const QByteArray stat = readFileBytes(tasks.filePath(id + QStringLiteral("/stat")));
        const int close = stat.lastIndexOf(')');
        const QByteArray state = close < 0 ? QByteArray() : stat.mid(close + 2, 1);
        if (state != "t" && state != "T")
            return false;
    }
    return !ids.isEmpty();
}

} // namespace

class TestCommandChannel : public QObject {
    Q_OBJECT

    QTemporaryDir m_runtime;
    QTemporaryDir m_logs;
    int m_next = 0;
    Codes m_got;

    QString newTitle() { return QStringLiteral("Korvel-Test-%1").arg(++m_next); }
    QString newLog() { return m_logs.filePath(QStringLiteral("peer%1.log").arg(++m_next)); }
    CommandChannel& own() { return CommandChannel::own(); }
    void collect()
    {
        own().setHook([this](int32_t code, int32_t arg) { m_got.append({ code, arg }); });
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        QVERIFY2(QFile::exists(peerProgram()), qPrintable(peerProgram()));
    }
    void cleanup()
    {
        own().setHook(nullptr);
        own().close();
        m_got.clear();
    }

    void socketFolderFollowsTheRuntimeFolder()
    {
        QCOMPARE(CommandChannel::socketFolder(), m_runtime.path() + "/korvel");
        QCOMPARE(CommandChannel::socketPath("Korvel-Kontakt"), m_runtime.path() + "/korvel/Korvel-Kontakt");
        const QString fallback = QStringLiteral("/tmp/korvel-%1").arg(::geteuid());
        for (const char* runtime : { "", "relative/dir", "/nonexistent/korvel-runtime" }) {
            qputenv("XDG_RUNTIME_DIR", runtime);
            QCOMPARE(CommandChannel::socketFolder(), fallback);
        }
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }

    void folderIsNarrowedToTheOwner()
    {
        const QString folder = CommandChannel::socketFolder();
        QDir().mkpath(folder);
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0755) == 0);
        QCOMPARE(own().listen(newTitle()), Listen::Listening);
        struct stat st { };
        QCOMPARE(::stat(QFile::encodeName(folder).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0700));
        QCOMPARE(st.st_uid, ::geteuid());
    }

    void folderOfAnotherUserIsNeverUsed()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to give the folder away");
        QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        const QByteArray folder = QFile::encodeName(CommandChannel::socketFolder());
        QVERIFY(::mkdir(folder.constData(), 0700) == 0);
        QVERIFY(::chown(folder.constData(), 65534, 65534) == 0);
        const QString title = newTitle();
        const Listen result = own().listen(title);
        const bool posted = CommandChannel::post(title, 1);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        QCOMPARE(result, Listen::Failed);
        QVERIFY(!posted);
    }

    void unusableTitlesAreRefused()
    {
        for (const QString& title : { QString(), QStringLiteral("a/b"), QStringLiteral(".."), QString(120, u'x') }) {
            QCOMPARE(own().listen(title), Listen::Failed);
            QVERIFY(!CommandChannel::post(title, 1));
            QVERIFY(!CommandChannel::answers(title));
        }
    }

    void messageIsEightBytesLittleEndian()
    {
        QCOMPARE(own().listen(newTitle()), Listen::Listening); // makes the folder
        const QString title = newTitle();
        RawReceiver raw(CommandChannel::socketPath(title));
        QVERIFY(raw.bound());
        QVERIFY(CommandChannel::post(title, -2, 0x01020304));
        QVERIFY(CommandChannel::post(title, INT32_MIN, -1));
        QVERIFY(CommandChannel::post(title, 0x7ffffffe, 0));
        QVERIFY(CommandChannel::post(title, -1, 0, 0x0a0b0c0d)); // sent for the user's action at that time
        QVERIFY(CommandChannel::post(title, -1, 0, 0));
        QVERIFY(CommandChannel::answers(title));
        QCOMPARE(raw.next(), QByteArray::fromHex("feffffff04030201"));
        QCOMPARE(raw.next(), QByteArray::fromHex("00000080ffffffff"));
        QCOMPARE(raw.next(), QByteArray::fromHex("feffff7f00000000"));
        QCOMPARE(raw.next(), QByteArray::fromHex("ffffffff000000000d0c0b0a"));
        QCOMPARE(raw.next(), QByteArray::fromHex("ffffffff00000000"));
        QCOMPARE(raw.next(), QByteArray()); // the probe: empty, never a code
        QCOMPARE(raw.next(), QByteArray("none"));
    }

    void handMadeDatagramsAreDecodedAndMalformedOnesDropped()
    {
        const QString title = newTitle();
        Peer peer(title, newLog());
        QTRY_VERIFY_WITH_TIMEOUT(CommandChannel::answers(title), 10000);
        QVERIFY(sendRaw(title, QByteArray::fromHex("f3ffffff01000000"))); // -13, 1
        QVERIFY(sendRaw(title, QByteArray::fromHex("05000000")));
        QVERIFY(sendRaw(title, QByteArray::fromHex("0500000000000000ff")));
        QVERIFY(sendRaw(title, QByteArray()));
        QVERIFY(sendRaw(title, QByteArray::fromHex("00000080ffffff7f"))); // INT32_MIN, INT32_MAX
        QTRY_COMPARE_WITH_TIMEOUT(peer.lines(), QStringList({ "-13 1", "-2147483648 2147483647" }), 10000);
    }

    // A user time holds while the hook handles its own code, and no longer.
    void aUserTimeHoldsForItsOwnCodeOnly()
    {
        const QString title = newTitle();
        QCOMPARE(own().listen(title), Listen::Listening);
        QList<uint32_t> times;
        own().setHook([&](int32_t code, int32_t) {
            m_got.append({ code, 0 });
            times.append(UserAction::Current());
        });
        QVERIFY(sendRaw(title, QByteArray::fromHex("ffffffff00000000fe000080"))); // -1 at 0x800000fe
        QVERIFY(sendRaw(title, QByteArray::fromHex("feffffff00000000"))); // -2, no time
        QVERIFY(sendRaw(title, QByteArray::fromHex("fdffffff0000000001020304ff"))); // 13 bytes: dropped
        QVERIFY(sendRaw(title, QByteArray::fromHex("fcffffff0000000000000000"))); // -4, time 0
        QTRY_COMPARE_WITH_TIMEOUT(m_got, Codes({ { -1, 0 }, { -2, 0 }, { -4, 0 } }), 10000);
        QCOMPARE(times, QList<uint32_t>({ 0x800000fe, 0, 0 }));
        QCOMPARE(UserAction::Current(), 0u);
    }

    void orderIsKeptOverAThousandCodesBothWays()
    {
        const QString title = newTitle();
        Peer peer(title, newLog());
        QTRY_VERIFY_WITH_TIMEOUT(CommandChannel::answers(title), 10000);
        QStringList expected;
        for (int i = 0; i < 1000; ++i) {
            const int32_t code = i % 2 == 0 ? tnPause : tnResume;
            QVERIFY(CommandChannel::post(title, code, i));
            expected << QStringLiteral("%1 %2").arg(code).arg(i);
        }
        QTRY_COMPARE_WITH_TIMEOUT(peer.lines().size(), 1000, 20000);
        QCOMPARE(peer.lines(), expected);

        // The other way: another process posts a burst to us.
        const QString ownTitle = newTitle();
        QCOMPARE(own().listen(ownTitle), Listen::Listening);
        collect();
        QProcess poster;
        poster.start(peerProgram(), { "post", ownTitle, "-500", "7", "1000" });
        QVERIFY(poster.waitForFinished(20000));
        QCOMPARE(poster.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(m_got.size(), 1000, 20000);
        for (int i = 0; i < 1000; ++i)
            QCOMPARE(m_got.at(i), qMakePair(int32_t(-500 + i), int32_t(7)));
    }

    void killedProgramCountsAsNotRunningAndIsReplaced()
    {
        const QString title = newTitle();
        {
            Peer peer(title, newLog());
            QTRY_VERIFY_WITH_TIMEOUT(CommandChannel::answers(title), 10000);
            peer.process().kill(); // SIGKILL: the socket file stays behind
            QVERIFY(peer.process().waitForFinished());
        }
        QVERIFY(QFile::exists(CommandChannel::socketPath(title)));
        QVERIFY(!CommandChannel::answers(title));
        QVERIFY(!CommandChannel::post(title, tnPause));

        // Another process takes the title over…
        const QString log = newLog();
        {
            Peer peer(title, log);
            QTRY_VERIFY_WITH_TIMEOUT(CommandChannel::answers(title), 10000);
            QVERIFY(CommandChannel::post(title, tnResume));
            QTRY_COMPARE_WITH_TIMEOUT(peer.lines(), QStringList({ "5 0" }), 10000);
            peer.process().kill();
            QVERIFY(peer.process().waitForFinished());
        }
        // …and so does this one.
        QCOMPARE(own().listen(title), Listen::Listening);
        collect();
        QVERIFY(CommandChannel::post(title, tnClose));
        QTRY_COMPARE(m_got, Codes({ { tnClose, 0 } }));
    }

    void postRightAfterStartingAProgramArrives()
    {
        TempProgramFolder dir;
        const QString title = newTitle();
        const QString log = newLog();
        const QString starts = newLog();
        writeFileBytes(dir.file("ruvo"),
            QStringLiteral("#!/bin/sh\necho started >> '%1'\nexec '%2' listen '%3' '%4' 99\n")
                .arg(starts, peerProgram(), title, log)
                .toUtf8());
        QVERIFY(QFile::setPermissions(dir.file("ruvo"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        QVERIFY(!CommandChannel::answers(title));
        QVERIFY(PostOrStart(title, "ruvo", rcAutoImport, 3));
        QVERIFY(PostOrStart(title, "ruvo", rcOverview)); // runs now: nothing is started again
        QTRY_COMPARE_WITH_TIMEOUT(fileLines(log), QStringList({ "-9 3", "-2 0" }), 10000);
        QCOMPARE(fileLines(starts), QStringList({ "started" }));

        QVERIFY(CommandChannel::post(title, 99)); // the stand-in ends and takes its socket file along
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(CommandChannel::socketPath(title)), 10000);
    }

    void programThatTakesNothingIsNotStartedAgain()
    {
        TempProgramFolder dir;
        const QString title = newTitle();
        const QString starts = newLog();
        writeFileBytes(dir.file("ruvo"), QStringLiteral("#!/bin/sh\necho started >> '%1'\n").arg(starts).toUtf8());
        QVERIFY(QFile::setPermissions(dir.file("ruvo"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        Peer peer(title, newLog());
        QTRY_VERIFY_WITH_TIMEOUT(CommandChannel::answers(title), 10000);
        QCOMPARE(::kill(pid_t(peer.process().processId()), SIGSTOP), 0);
        QTRY_VERIFY(allThreadsStopped(peer.process().processId()));
        int accepted = 0;
        while (accepted < 100 && CommandChannel::post(title, ++accepted)) { }
        QVERIFY2(accepted < 100, "the queue of a stopped program never filled");
        QVERIFY(CommandChannel::answers(title));
        QVERIFY(!PostOrStart(title, "ruvo", rcOverview));
        QVERIFY(!QFile::exists(starts));

        // Once it goes on, it gets what was queued, in order.
        QCOMPARE(::kill(pid_t(peer.process().processId()), SIGCONT), 0);
        QTRY_COMPARE_WITH_TIMEOUT(peer.lines().size(), accepted - 1, 10000);
        QCOMPARE(peer.lines().first(), QStringLiteral("1 0"));
        QCOMPARE(peer.lines().last(), QStringLiteral("%1 0").arg(accepted - 1));
    }

    void programThatCannotStartLosesTheCode()
    {
        TempProgramFolder dir;
        const QString title = newTitle();
        QVERIFY(!PostOrStart(title, "dorv", dcOverview)); // no such file

        // One that ends at once is not waited for until the bound.
        writeFileBytes(dir.file("dorv"), "#!/bin/sh\nexit 0\n");
        QVERIFY(QFile::setPermissions(dir.file("dorv"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QElapsedTimer t;
        t.start();
        QVERIFY(!PostOrStart(title, "dorv", dcOverview, 0, 60000));
        QVERIFY2(t.elapsed() < 30000, qPrintable(QString::number(t.elapsed())));

        // One that never takes codes is waited for no longer than the bound.
        writeFileBytes(dir.file("dorv"), "#!/bin/sh\nexec sleep 3\n");
        t.restart();
        QVERIFY(!PostOrStart(title, "dorv", dcOverview, 0, 300));
        QVERIFY2(t.elapsed() < 3000, qPrintable(QString::number(t.elapsed())));
    }

    void secondInstanceSeesTheFirstRunning()
    {
        const QString title = newTitle();
        const QString firstLog = newLog();
        Peer first(title, firstLog);
        QTRY_VERIFY_WITH_TIMEOUT(CommandChannel::answers(title), 10000);
        struct stat before { };
        QCOMPARE(::stat(QFile::encodeName(CommandChannel::socketPath(title)).constData(), &before), 0);

        QProcess second;
        second.start(peerProgram(), { "listen", title, newLog() });
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 2);
        QCOMPARE(own().listen(title), Listen::AlreadyRunning);
        QVERIFY(!own().isListening());

        struct stat after { };
        QCOMPARE(::stat(QFile::encodeName(CommandChannel::socketPath(title)).constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QVERIFY(CommandChannel::post(title, tnRemindersChanged));
        QTRY_COMPARE_WITH_TIMEOUT(first.lines(), QStringList({ "1 0" }), 10000); // the probes delivered nothing
    }

    void normalEndRemovesOnlyItsOwnSocket()
    {
        const QString title = newTitle();
        {
            Peer peer(title, newLog());
            QTRY_VERIFY_WITH_TIMEOUT(CommandChannel::answers(title), 10000);
            peer.process().terminate();
            QVERIFY(peer.process().waitForFinished(10000));
            QCOMPARE(peer.process().exitStatus(), QProcess::NormalExit);
            QCOMPARE(peer.process().exitCode(), 0);
        }
        QVERIFY(!QFile::exists(CommandChannel::socketPath(title)));

        // A file that is no longer ours stays: here another program has bound
        // the title after ours was removed behind our back.
        QCOMPARE(own().listen(title), Listen::Listening);
        QVERIFY(QFile::remove(CommandChannel::socketPath(title)));
        Peer peer(title, newLog());
        QTRY_VERIFY_WITH_TIMEOUT(CommandChannel::answers(title), 10000);
        own().close();
        QVERIFY(CommandChannel::answers(title));
    }

    void postToSelfReachesOnlyTheOwnHookAfterTheCurrentHandler()
    {
        const QString title = newTitle();
        QCOMPARE(own().listen(title), Listen::Listening);
        const QString otherTitle = newTitle();
        Peer other(otherTitle, newLog());
        QTRY_VERIFY_WITH_TIMEOUT(CommandChannel::answers(otherTitle), 10000);

        collect();
        own().postToSelf(dcNewContact, 17);
        PostRefreshOverview();
        QVERIFY(m_got.isEmpty()); // queued, not called from inside the poster
        QTRY_COMPARE(m_got, Codes({ { dcNewContact, 17 }, { rcRefreshOverview, 0 } }));

        QVERIFY(CommandChannel::post(otherTitle, 42));
        QTRY_COMPARE_WITH_TIMEOUT(other.lines(), QStringList({ "42 0" }), 10000);
    }

    void postToSelfWorksWithoutASocket()
    {
        QVERIFY(!own().isListening());
        collect();
        PostRefreshOverview();
        QTRY_COMPARE(m_got, Codes({ { rcRefreshOverview, 0 } }));
    }

    void codesWaitForTheHook()
    {
        const QString title = newTitle();
        QCOMPARE(own().listen(title), Listen::Listening);
        QProcess poster;
        poster.start(peerProgram(), { "post", title, "1", "0", "3" });
        QVERIFY(poster.waitForFinished(10000));
        QCOMPARE(poster.exitCode(), 0);
        own().postToSelf(9);
        QCoreApplication::processEvents(); // deliveries find no hook yet
        collect();
        QTRY_COMPARE(m_got.size(), 4);
        QVERIFY(m_got.removeOne({ 9, 0 }));
        QCOMPARE(m_got, Codes({ { 1, 0 }, { 2, 0 }, { 3, 0 } }));
    }

    // A burst beyond the bound while no hook takes codes: the first ones
    // wait, in order, the excess is dropped, and a later code arrives again.
    void theReceiveQueueIsBounded()
    {
        const QString title = newTitle();
        QCOMPARE(own().listen(title), Listen::Listening);
        const int bound = int(CommandChannel::MaxWaiting);
        const int excess = 50;
        const size_t droppedBefore = own().dropped();
        QProcess poster;
        poster.start(peerProgram(), { "post", title, "1", "0", QString::number(bound + excess) });
        QVERIFY(poster.waitForFinished(20000));
        QCOMPARE(poster.exitCode(), 0);
        QTRY_COMPARE(own().dropped() - droppedBefore, size_t(excess));
        collect();
        QTRY_COMPARE(m_got.size(), bound);
        QVERIFY(CommandChannel::post(title, -1, 1));
        QTRY_COMPARE(m_got.size(), bound + 1);
        for (int i = 0; i < bound; ++i)
            QCOMPARE(m_got.at(i).first, 1 + i);
        QCOMPARE(m_got.last(), qMakePair(int32_t(-1), int32_t(1)));
    }

    void codesArriveWhileAModalDialogRuns()
    {
        const QString title = newTitle();
        QCOMPARE(own().listen(title), Listen::Listening);
        QDialog dialog;
        bool inModal = false;
        bool secondSeenInModal = false;
        QProcess poster;
        own().setHook([&](int32_t code, int32_t) {
            m_got.append({ code, 0 });
            if (code == tnPause) {
                // Another program posts while this handler's dialog runs its loop.
                poster.start(peerProgram(), { "post", title, QString::number(tnResume) });
                QTimer::singleShot(10000, &dialog, &QDialog::reject);
                inModal = true;
                dialog.exec();
                inModal = false;
            } else if (code == tnResume) {
                secondSeenInModal = inModal;
                dialog.accept();
            }
        });
        QVERIFY(CommandChannel::post(title, tnPause));
        QTRY_COMPARE_WITH_TIMEOUT(m_got, Codes({ { tnPause, 0 }, { tnResume, 0 } }), 15000);
        QVERIFY(secondSeenInModal);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QTRY_COMPARE(poster.state(), QProcess::NotRunning);
        QCOMPARE(poster.exitCode(), 0);
    }

    void anExceptionInTheHookIsShownAndReceivingGoesOn()
    {
        ScriptedDialogs dialogs;
        const QString title = newTitle();
        QCOMPARE(own().listen(title), Listen::Listening);
        own().setHook([this](int32_t code, int32_t arg) {
            if (code == 1)
                throw KorvelError(QStringLiteral("Chyba příkazu"));
            m_got.append({ code, arg });
        });
        QVERIFY(CommandChannel::post(title, 1));
        QVERIFY(CommandChannel::post(title, 2));
        QTRY_COMPARE(m_got, Codes({ { 2, 0 } }));
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().first().text, QStringLiteral("Chyba příkazu"));
    }

    void notifyPostsOnlyToARunningProgram()
    {
        QVERIFY(!NotifyTray(tnResume));
        QVERIFY(!NotifyContacts(dcReloadList));
        QVERIFY(!QFile::exists(CommandChannel::socketPath(TrayAppTitle))); // nothing was started
        QVERIFY(!QFile::exists(CommandChannel::socketPath(ContactAppTitle)));

        Peer tray(TrayAppTitle, newLog());
        Peer contacts(ContactAppTitle, newLog());
        QTRY_VERIFY_WITH_TIMEOUT(CommandChannel::answers(TrayAppTitle), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(CommandChannel::answers(ContactAppTitle), 10000);
        QVERIFY(NotifyTray(tnPause));
        QVERIFY(NotifyTray(tnResume));
        QVERIFY(NotifyContacts(dcReloadList));
        QTRY_COMPARE_WITH_TIMEOUT(tray.lines(), QStringList({ "4 0", "5 0" }), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(contacts.lines(), QStringList({ "-3 0" }), 10000);
    }

    void reminderCodesBelowTheTableAreIgnored()
    {
        QCOMPARE(ClassifyRuvoCode(1), RuvoCodeClass::RecordPosition);
        QCOMPARE(ClassifyRuvoCode(5), RuvoCodeClass::RecordPosition);
        QCOMPARE(ClassifyRuvoCode(INT32_MAX), RuvoCodeClass::RecordPosition);
        QCOMPARE(ClassifyRuvoCode(rcRestore), RuvoCodeClass::Command);
        QCOMPARE(ClassifyRuvoCode(rcCalendar), RuvoCodeClass::Command);
        QCOMPARE(ClassifyRuvoCode(-14), RuvoCodeClass::Ignored);
        QCOMPARE(ClassifyRuvoCode(INT32_MIN), RuvoCodeClass::Ignored);
    }
};

QTEST_MAIN(TestCommandChannel)
#include "tst_commandchannel.moc"
