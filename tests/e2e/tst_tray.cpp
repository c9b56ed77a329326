// The real tray resident `korvel` in a program folder of its own, on a private
// X display with the tray host trayer: reminders posted to a stand-in for the
// reminders program (korvel_peer), sound-only reminders in the sound log, a
// hotkey, the menu on a right click, a second start. Run by scripts/xsession.sh.
#include "platform/commandchannel.h"
#include "platform/datetime.h"
#include "platform/inifile.h"
#include "shared/commands.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"

#include "desktop.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <memory>

namespace {

// korvel_peer holding the reminders program's title, logging what it gets.
class Peer {
public:
    explicit Peer(const QString& log)
        : m_log(log)
    {
        m_process.start(qEnvironmentVariable("KORVEL_PEER"), { "listen", ReminderAppTitle, log });
    }
    ~Peer()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
    }
    bool ready()
    {
        const QDeadlineTimer deadline(5000);
        while (!CommandChannel::answers(ReminderAppTitle) && !deadline.hasExpired())
            QThread::msleep(10);
        return CommandChannel::answers(ReminderAppTitle);
    }
    QStringList lines() const { return QString::fromUtf8(readFileBytes(m_log)).split(u'\n', Qt::SkipEmptyParts); }
    // Polls every 5 ms; the moment the line was first seen, or an invalid one.
    QDateTime waitFor(const QString& line, int timeoutMs)
    {
        const QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            if (lines().contains(line))
                return QDateTime::currentDateTime();
            QThread::msleep(5);
        }
        return {};
    }

private:
    QString m_log;
    QProcess m_process;
};

void writeReminders(const QString& path, const QList<ReminderRecord>& records)
{
    for (int i = 0; i < records.size(); ++i) {
        ReminderRecord r = records[i];
        r.ID = i + 1;
        WriteReminder(i + 1, path, r);
    }
}

ReminderRecord reminderAt(double moment)
{
    ReminderRecord r;
    r.RemindDate = r.EventDate = DateToStr(moment);
    r.RemindTime = r.EventTime = FormatDateTime("hh:nn", moment);
    r.AdvanceKind = akMinutes;
    r.OverdueAction = oaWithinMinutes;
    r.OverdueAmount = 10;
    r.RepeatKind = rkNone;
    r.Title = "Porada";
    return r;
}

// Presses Return in the message box until its program has ended: a box
// just mapped may not take keys yet.
bool answerAndWaitForEnd(const Desktop& d, qulonglong box, QProcess* program)
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        d.xdotool({ "key", "--window", QString::number(box), "Return" });
        if (program->waitForFinished(500)) {
            // The box went with the press, so the release found no window
            // and the key stayed down, repeating into the next program's
            // boxes.
            d.xdotool({ "keyup", "Return" });
            return true;
        }
    }
    return false;
}

// A message box of the program: a visible window of its process larger than
// a tray icon; 0 when none appears.
qulonglong messageBox(const Desktop& d, const QProcess* program)
{
    qulonglong box = 0;
    waitUntil(10000, [&] {
        for (qulonglong w : d.visibleWindows({ "--pid", QString::number(program->processId()) }))
            if (d.geometry(w).width() > 64)
                box = w;
        return box != 0;
    });
    return box;
}

// A message box as the window manager sees it: a dialog of owner (of its
// program's group when owner is 0) that offers no maximise and asks for
// neither a minimise nor a maximise button.
void verifyDialogOf(const Desktop& d, qulonglong box, qulonglong owner)
{
    const QString transient = d.property(box, "WM_TRANSIENT_FOR");
    QVERIFY2(transient.contains(owner ? QStringLiteral("0x%1").arg(owner, 0, 16) : "window id"), qPrintable(transient));
    QVERIFY(d.property(box, "_NET_WM_WINDOW_TYPE").contains("= _NET_WM_WINDOW_TYPE_DIALOG"));
    QVERIFY(!d.property(box, "_NET_WM_ALLOWED_ACTIONS").contains("MAXIMIZE"));
    // Functions given (flag 1), and neither "all" (1), minimise (8) nor maximise (16).
    const QStringList motif = d.property(box, "_MOTIF_WM_HINTS").section(u'=', 1).split(u',');
    QVERIFY(motif.size() >= 3 && (motif[0].trimmed().toUInt(nullptr, 16) & 1));
    QCOMPARE(motif[1].trimmed().toUInt(nullptr, 16) & (1 | 8 | 16), 0u);
}

qint64 residentKilobytes(qint64 pid)
{
    const QString status = QString::fromLatin1(readFileBytes(QStringLiteral("/proc/%1/status").arg(pid)));
    for (const QString& line : status.split(u'\n'))
        if (line.startsWith("VmRSS:"))
            return line.section(u':', 1).trimmed().section(u' ', 0, 0).toLongLong();
    return -1;
}

} // namespace

class TestTray : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(!qEnvironmentVariable("DISPLAY").isEmpty());
        QVERIFY(QFile::exists(qEnvironmentVariable("KORVEL_PEER")));
    }

    // A reminder whose pop-up starts at a moment of its own (an absolute
    // advance, to the millisecond) reaches the reminders program by its
    // position within its second; the records around it do not.
    void aDueReminderIsPostedWithinItsSecond()
    {
        Desktop d;
        Peer peer(d.file("peer.log"));
        QVERIFY(peer.ready());
        const QDateTime start = QDateTime::currentDateTime().addSecs(20);
        ReminderRecord due = reminderAt(QDateTimeToDateTime(start.addSecs(30 * 60)));
        due.AdvanceKind = akAbsolute;
        due.AdvanceAmount = QDateTimeToDateTime(start);
        ReminderRecord later = reminderAt(QDateTimeToDateTime(start.addSecs(2 * 3600)));
        ReminderRecord erased = due;
        erased.Erased = true;
        writeReminders(d.file("korvel.da1"), { later, erased, due });
        QProcess* korvel = d.start("korvel");
        QVERIFY(korvel->waitForStarted());

        const QDateTime seen = peer.waitFor("3 0", 60000);
        QVERIFY2(seen.isValid(), qPrintable(peer.lines().join(" | ")));
        const qint64 latency = start.msecsTo(seen);
        qInfo("from the due moment to the posted position: %lld ms", latency);
        QVERIFY(latency >= 0);
        QVERIFY(latency <= 1500);
        QCOMPARE(peer.lines(), QStringList { "3 0" });
    }

    // Played from the program folder's own files (a stored "\" path), then
    // moved on a week in the file, and the overview told.
    void aSoundOnlyReminderPlaysAndMovesOn()
    {
        Desktop d;
        Peer peer(d.file("peer.log"));
        QVERIFY(peer.ready());
        const double due = Now() - 2 * OneMinute;
        ReminderRecord r = reminderAt(due);
        r.SoundOnly = true;
        r.RepeatKind = rkWeekly;
        r.Sound1 = "\\s_hodiny\\gong.wav";
        writeReminders(d.file("korvel.da1"), { r });
        d.start("korvel");
        QVERIFY(d.waitForLine(d.soundLog(), d.file("s_hodiny/gong.wav"), 30000));
        QVERIFY(peer.waitFor("-6 0", 10000).isValid());
        int position = 1;
        ReminderRecord moved;
        ReadReminder(position, d.file("korvel.da1"), moved);
        QCOMPARE(moved.EventDate, DateToStr(DateOf(due) + 7));
        QCOMPARE(moved.EventTime, r.EventTime);
        QVERIFY(!moved.Erased);
        QCOMPARE(d.lines(d.soundLog()).size(), 1);
    }

    // The hotkey of the new reminder, pressed anywhere, posts its code. The
    // end of the session (SIGTERM) closes the resident cleanly.
    void aHotkeyPostsItsCode()
    {
        Desktop d;
        Peer peer(d.file("peer.log"));
        QVERIFY(peer.ready());
        IniFile(d.iniPath()).writeString("Klaves", "1", "Ctrl+Alt+N");
        QProcess* korvel = d.start("korvel");
        // Registered once "chyba" is written.
        QVERIFY(waitUntil(15000, [&] { return IniFile(d.iniPath()).readInteger("Klaves", "chyba", -1) == 0; }));
        d.xdotool({ "key", "ctrl+alt+n" });
        QVERIFY2(peer.waitFor("-1 0", 10000).isValid(), qPrintable(peer.lines().join(" | ")));

        korvel->terminate();
        QVERIFY(korvel->waitForFinished(5000));
        QCOMPARE(korvel->exitStatus(), QProcess::NormalExit);
        QCOMPARE(korvel->exitCode(), 0);
        QVERIFY(!QFile::exists(CommandChannel::socketPath(TrayAppTitle)));
    }

    // A right click on the icon opens our own menu at the cursor, with its
    // painted teal margin; its resident memory stays small.
    void aRightClickOpensTheMenu()
    {
        Desktop d;
        QProcess* korvel = d.start("korvel");
        const qulonglong icon = d.waitForTrayIcon("korvel");
        QVERIFY(icon != 0);
        const QRect iconRect = d.geometry(icon);
        QThread::msleep(1000);
        const qint64 rss = residentKilobytes(korvel->processId());
        qInfo("resident memory with the icon shown: %lld kB", rss);
        QVERIFY(rss > 0);
        QVERIFY(rss <= 40 * 1024);

        const QList<qulonglong> before = d.visibleWindows({ "--classname", "korvel" });
        const QPoint c = iconRect.center();
        d.xdotool({ "mousemove", QString::number(c.x()), QString::number(c.y()), "click", "3" });
        qulonglong menu = 0;
        QVERIFY(waitUntil(10000, [&] {
            for (qulonglong w : d.visibleWindows({ "--classname", "korvel" }))
                if (!before.contains(w))
                    menu = w;
            return menu != 0;
        }));
        QThread::msleep(500);
        const QRect m = d.geometry(menu);
        QVERIFY(m.height() > 300); // thirteen items and six separators
        QVERIFY(m.width() > 150);
        QVERIFY(m.top() < iconRect.top());
        const QImage shot(d.screenshot("tray-menu"));
        QVERIFY(!shot.isNull());
        // The margin: teal at the top, fading down.
        QCOMPARE(shot.pixelColor(m.left() + 3, m.top() + 4), QColor(0, 128, 128));
        d.xdotool({ "key", "Escape" });
        QVERIFY(waitUntil(5000, [&] { return !d.visibleWindows({ "--classname", "korvel" }).contains(menu); }));
    }

    // Under a window manager that keeps new windows from taking the focus from
    // another program, the windows of the hotkeys and the menu take it (the
    // reminders program started by the press, the calendar beside its form,
    // the form brought back) and get what is typed next. Message boxes are
    // dialogs of their window; a box with no window is a dialog too.
    void windowsForTheUserComeToTheFrontUnderAWindowManager()
    {
        Desktop d;
        QVERIFY(d.startWindowManager());
        IniFile(d.iniPath()).writeString("Klaves", "1", "Ctrl+Alt+N");
        IniFile(d.iniPath()).writeString("Klaves", "6", "Ctrl+Alt+K");
        d.start("dorv");
        QVERIFY(waitUntil(10000, [] { return CommandChannel::post(ContactAppTitle, dcOverview); }));
        const qulonglong other = d.waitForWindow("^Přehled kontaktů$");
        d.start("korvel");
        const qulonglong icon = d.waitForTrayIcon("korvel");
        QVERIFY(other != 0 && icon != 0);
        qulonglong form = 0;
        for (const char* keys : { "ctrl+alt+n", "ctrl+alt+k", "" }) { // "": the menu's first item
            const char* title = keys == QLatin1String("ctrl+alt+k") ? "^Kalendář$" : "^Nové připomenutí$";
            d.xdotool({ "windowactivate", "--sync", QString::number(other) });
            QVERIFY(d.waitForActive(other));
            d.xdotool({ "type", "--delay", "20", "abc" });
            if (*keys)
                d.xdotool({ "key", keys });
            const qulonglong opened = *keys ? d.waitForWindow(title) : d.chooseFromTrayMenu(icon, 1, title);
            QVERIFY2(opened != 0 && d.waitForActive(opened), title);
            form = form ? form : opened;
        }
        d.xdotool({ "key", "alt+1" });
        d.xdotool({ "type", "--delay", "20", "/nikde/zvuk.wav" });
        d.xdotool({ "key", "alt+o" });
        const qulonglong box = d.waitForWindow("^Potvrzení$"); // 0 fails below
        QTest::qWait(300); // painted
        d.screenshot("message-box-of-its-window");
        verifyDialogOf(d, box, form);

        QProcess* second = d.start("korvel");
        const qulonglong lone = d.waitForWindow("^Korvel-Tray-Selvantrix$");
        QVERIFY(lone != 0);
        verifyDialogOf(d, lone, 0);
        QVERIFY(answerAndWaitForEnd(d, lone, second));
    }

    // A second start says so and ends; the first goes on as it was.
    void aSecondStartEnds()
    {
        Desktop d;
        QProcess* first = d.start("korvel");
        QVERIFY(waitUntil(10000, [] { return CommandChannel::answers(TrayAppTitle); }));
        QVERIFY(d.waitForTrayIcon("korvel") != 0);
        const QList<qulonglong> before = d.visibleWindows({ "--name", TrayAppTitle });
        QProcess* second = d.start("korvel");
        QVERIFY(d.waitForLine(d.dialogLog(), "Aplikace je již spuštěna", 10000));
        QCOMPARE(d.lines(d.dialogLog()), QStringList { "Korvel-Tray-Selvantrix\tAplikace je již spuštěna" });
        qulonglong box = 0;
        QVERIFY(waitUntil(10000, [&] {
            for (qulonglong w : d.visibleWindows({ "--name", TrayAppTitle }))
                if (!before.contains(w))
                    box = w;
            return box != 0;
        }));
        QVERIFY(answerAndWaitForEnd(d, box, second));
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);
        QVERIFY(CommandChannel::answers(TrayAppTitle));
        QVERIFY(CommandChannel::post(TrayAppTitle, tnClose));
        QVERIFY(first->waitForFinished(10000));
        QCOMPARE(first->exitCode(), 0);
        QVERIFY(!QFile::exists(CommandChannel::socketPath(TrayAppTitle)));
    }

    // With an automatic import due the first copy waits ten seconds before
    // its form exists; a copy started meanwhile still finds it. The first
    // then asks once for the import.
    void aSecondStartDuringTheWaitEnds()
    {
        Desktop d;
        Peer peer(d.file("peer.log"));
        QVERIFY(peer.ready());
        IniFile(d.iniPath()).writeBool("Nastav", "autoexpimp", true);
        QElapsedTimer sinceStart;
        sinceStart.start();
        QProcess* first = d.start("korvel");
        QVERIFY(waitUntil(5000, [] { return CommandChannel::answers(TrayAppTitle); }));
        QProcess* second = d.start("korvel");
        QVERIFY(d.waitForLine(d.dialogLog(), "Aplikace je již spuštěna", 10000));
        QVERIFY(sinceStart.elapsed() < 9000);
        QList<qulonglong> boxes;
        QVERIFY(waitUntil(5000, [&] { return !(boxes = d.visibleWindows({ "--name", TrayAppTitle })).isEmpty(); }));
        QCOMPARE(boxes.size(), 1); // the first shows no icon yet
        QVERIFY(answerAndWaitForEnd(d, boxes.first(), second));
        QCOMPARE(second->exitCode(), 0);
        QVERIFY(peer.waitFor("-9 0", 20000).isValid());
        QVERIFY(sinceStart.elapsed() >= 9500);
        QCOMPARE(first->state(), QProcess::Running);
        QThread::msleep(500);
        QCOMPARE(peer.lines(), QStringList { "-9 0" });
    }

    // The settings file cannot be written as the resident starts, so a
    // message is open while its form is being built. A close request then
    // (code 7, or SIGTERM as the end of a session sends it) is kept: the
    // resident ends once the message is answered.
    void aCloseRequestDuringTheStartMessageEndsIt_data()
    {
        QTest::addColumn<bool>("bySignal");
        QTest::newRow("code 7") << false;
        QTest::newRow("SIGTERM") << true;
    }
    void aCloseRequestDuringTheStartMessageEndsIt()
    {
        QFETCH(bool, bySignal);
        Desktop d;
        // A folder in the file's place refuses the write even to root.
        QFile::remove(d.iniPath());
        QVERIFY(QDir().mkdir(d.iniPath()));
        QProcess* tray = d.start("korvel");
        QVERIFY(d.waitForLine(d.dialogLog(), "korvel.ini", 15000));
        const qulonglong box = messageBox(d, tray);
        d.screenshot("settings-not-writable");
        QVERIFY(box != 0);
        if (bySignal)
            QCOMPARE(::kill(pid_t(tray->processId()), SIGTERM), 0);
        else
            QVERIFY(CommandChannel::post(TrayAppTitle, tnClose));
        QVERIFY(answerAndWaitForEnd(d, box, tray));
        QCOMPARE(tray->exitStatus(), QProcess::NormalExit);
        QCOMPARE(tray->exitCode(), 0);
        QVERIFY(!CommandChannel::answers(TrayAppTitle));
    }

    // A command folder that is a link (or another user's) is refused with a
    // message, and the program ends instead of running deaf to codes.
    void anUnusableCommandFolderEndsTheProgram_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("tray resident") << "korvel";
        QTest::newRow("reminders") << "ruvo";
    }
    void anUnusableCommandFolderEndsTheProgram()
    {
        QFETCH(QString, program);
        Desktop d;
        QTemporaryDir runtime;
        QTemporaryDir elsewhere;
        QVERIFY(QFile::link(elsewhere.path(), runtime.filePath("korvel")));
        d.environment().insert("XDG_RUNTIME_DIR", runtime.path());
        QProcess* p = d.start(program);
        QVERIFY(d.waitForLine(d.dialogLog(), "Složku pro příkazy mezi programy nelze použít", 15000));
        QCOMPARE(d.lines(d.dialogLog()).size(), 1);
        QVERIFY(d.lines(d.dialogLog())
                    .first()
                    .startsWith("Varování\tSložku pro příkazy mezi programy nelze použít: " + runtime.filePath("korvel")
                        + " "));
        const qulonglong box = messageBox(d, p);
        QVERIFY(box != 0);
        d.screenshot("unusable-command-folder-" + program);
        QVERIFY(answerAndWaitForEnd(d, box, p));
        QCOMPARE(p->exitCode(), 1);
        QVERIFY(QDir(elsewhere.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTray)
#include "tst_tray.moc"
