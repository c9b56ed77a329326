// Two machines that keep their reminders and contacts in step through one
// exchange folder, each a program folder of its own with its own command
// channel, on one X display. Reminders and contacts made on A leave with A's
// session end (SIGTERM to A's tray resident), arrive at B's start through B's
// tray resident; an edit and an erasure on B travel back the same way. Only
// the files and the programs' own windows are looked at; also when the session
// end signals every program at once. Run by scripts/xsession.sh.
#include "platform/commandchannel.h"
#include "platform/datetime.h"
#include "platform/inifile.h"
#include "shared/commands.h"
#include "shared/contactfile.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"

#include "desktop.h"
#include "testsupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <functional>
#include <memory>

namespace {

const QString ExportTitle = QStringLiteral("^Automatický export pripomenutí$");

ReminderRecord reminder(double created, const QString& title, bool transferable)
{
    const double day = Date() + 30;
    ReminderRecord r;
    r.Created = created;
    r.LastChange = Now();
    r.RemindDate = r.EventDate = DateToStr(day);
    r.RemindTime = r.EventTime = QStringLiteral("09:00");
    r.AdvanceKind = akMinutes;
    r.OverdueAction = oaWithinMinutes;
    r.OverdueAmount = 10;
    r.RepeatKind = rkNone;
    r.Title = title;
    r.Transferable = transferable;
    return r;
}

ContactRecord contact(double key, const QString& name, const QString& surname)
{
    ContactRecord c;
    c.unikat = key;
    c.zmena = Now();
    c.jmeno = name;
    c.prijmeni = surname;
    c.prenos = true;
    return c;
}

// "title" of each reminder, "title*" when erased, in file order.
QStringList reminders(const QString& path)
{
    QStringList out;
    if (QFile::exists(path))
        ForEachReminder(path, [&](int, const ReminderRecord& r) { out << r.Title + (r.Erased ? "*" : ""); });
    return out;
}

QStringList contacts(const QString& path)
{
    QStringList out;
    if (QFile::exists(path))
        ForEachContact(path, [&](int, const ContactRecord& c) { out << c.jmeno + u' ' + c.prijmeni; });
    return out;
}

// One machine: its program folder, its own channel folder (so that its
// programs find only each other), its settings.
class Machine {
public:
    Machine(const QString& exchange, const QString& runtime)
    {
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        desk.environment().insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        IniFile ini(desk.iniPath());
        ini.writeString("Nastav", "expimpdir", exchange);
        ini.writeBool("Nastav", "autoexpimp", true);
        ini.writeBool("Nastav", "kautoexpimp", true);
        // Erased reminders go for good after the export and after the import.
        ini.writeBool("Nastav", "autoexpdel", true);
        ini.writeBool("Nastav", "autoimpdel", true);
        ini.writeBool("Nastav", "autoimpprehled", false);
    }

    QString home() const { return desk.file("korvel.da1"); }
    QString homeContacts() const { return desk.file("korvel.db1"); }
    QString key(const char* name) const { return IniFile(desk.iniPath()).readString("FImport", name, "-"); }

    // Whether a program of this machine runs (the reminders program, started
    // by the tray resident, ends by itself once its last window closes).
    bool runs(const QString& program) const
    {
        const QString exe = QFileInfo(desk.file(program)).canonicalFilePath();
        for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs))
            if (QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget() == exe)
                return true;
        return false;
    }

    // The user logs on: the tray resident starts.
    void logOn() { m_tray = desk.start("korvel"); }

    // The session ends: the tray resident gets SIGTERM and has to end by
    // itself within its bound, having had the export done.
    bool sessionEnds(const QString& shot)
    {
        ::kill(pid_t(m_tray->processId()), SIGTERM);
        const bool ended = m_tray->waitForFinished(25000) && m_tray->exitStatus() == QProcess::NormalExit;
        // The export window stays, telling the user; the session's end takes
        // it with the reminders program.
        const qulonglong window = desk.waitForWindow(ExportTitle, 10000);
        if (window) {
            desk.screenshot(shot);
            const qint64 pid = desk.xdotool({ "getwindowpid", QString::number(window) }).toLongLong();
            if (pid > 0) {
                ::kill(pid_t(pid), SIGTERM);
                waitUntil(10000, [&] { return ::kill(pid_t(pid), 0) != 0; });
            }
        }
        if (!ended || !window)
            qWarning("the tray resident %s, the export window %s", ended ? "ended" : "did not end",
                window ? "showed" : "did not show");
        return ended && window != 0;
    }

    Desktop desk;

private:
    QProcess* m_tray = nullptr;
};

} // namespace

class TestTwoMachines : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(!qEnvironmentVariable("DISPLAY").isEmpty()); }

    void remindersAndContactsTravelBothWays()
    {
        QTemporaryDir exchange;
        QTemporaryDir runtimes;
        Machine a(exchange.path(), runtimes.filePath("a"));
        Machine b(exchange.path(), runtimes.filePath("b"));

        // A has been in step before: nothing to import when its user logs on.
        {
            IniFile ini(a.desk.iniPath());
            ini.writeString("FImport", "datum", "1.1.2001");
            ini.writeString("FImport", "kdatum", "1.1.2001");
        }
        const double t = Now();
        for (const ReminderRecord& r : { reminder(t - 3, "Porada týmu", true), reminder(t - 2, "Zubař", true),
                 reminder(t - 1, "Heslo k bance", false) }) {
            ReminderRecord stored = r;
            AppendReminder(a.home(), stored);
        }
        for (ContactRecord c : { contact(t - 5, "Jana", "Nováková"), contact(t - 4, "Petr", "Dvořák") })
            AppendContact(a.homeContacts(), c);

        // A: a day's work, then the session ends.
        a.logOn();
        QVERIFY(a.desk.waitForTrayIcon("korvel"));
        QVERIFY(a.sessionEnds("twomachines-a-export"));
        const QString exp = exchange.filePath("exp_imp.dat");
        const QString kexp = exchange.filePath("kexp_imp.dat");
        QCOMPARE(reminders(exp), QStringList({ "Porada týmu", "Zubař" }));
        QCOMPARE(readFileBytes(exchange.filePath("exp_imp.bak")), readFileBytes(exp));
        QCOMPARE(contacts(kexp), QStringList({ "Jana Nováková", "Petr Dvořák" }));
        QCOMPARE(a.key("autodatum"), DateToStr(QDateTimeToDateTime(QFileInfo(exp).lastModified())));
        QCOMPARE(reminders(a.home()), QStringList({ "Porada týmu", "Zubař", "Heslo k bance" }));

        // B logs on for the first time: its tray resident has the import done.
        b.logOn();
        QVERIFY(waitUntil(60000, [&] {
            return reminders(b.home()).size() == 2 && contacts(b.homeContacts()).size() == 2 && b.key("datum") != "-";
        }));
        QCOMPARE(reminders(b.home()), QStringList({ "Porada týmu", "Zubař" }));
        QCOMPARE(contacts(b.homeContacts()), QStringList({ "Jana Nováková", "Petr Dvořák" }));
        QVERIFY(!QFile::exists(b.desk.file("korvel.bak"))); // B had no reminders to keep
        QCOMPARE(b.key("autodatum"), a.key("autodatum"));

        // On B the meeting gets a new title and the dentist is erased; a
        // contact changes. Each edit is later than B's import.
        QThread::msleep(1100);
        {
            ReminderRecord r;
            int n = 1;
            ReadReminder(n, b.home(), r);
            r.Title = QStringLiteral("Porada celého týmu");
            r.LastChange = Now();
            WriteReminder(1, b.home(), r);
            n = 2;
            ReadReminder(n, b.home(), r);
            r.Erased = true;
            r.LastChange = Now();
            WriteReminder(2, b.home(), r);
            ContactRecord c;
            int k = 2;
            ReadContact(k, b.homeContacts(), c);
            c.jmeno = QStringLiteral("Petra");
            c.zmena = Now();
            WriteContact(2, b.homeContacts(), c);
        }
        QVERIFY(b.sessionEnds("twomachines-b-export"));
        QCOMPARE(reminders(exp), QStringList({ "Porada celého týmu", "Zubař*" }));
        QCOMPARE(contacts(kexp), QStringList({ "Petra Dvořák" }));
        // The exported erased reminder is gone at B.
        QCOMPARE(reminders(b.home()), QStringList({ "Porada celého týmu" }));

        // A logs on again: B's changes arrive, the erased one goes at A too.
        a.logOn();
        QVERIFY(waitUntil(60000, [&] { return reminders(a.home()).size() == 2; }));
        QCOMPARE(reminders(a.home()), QStringList({ "Porada celého týmu", "Heslo k bance" }));
        QVERIFY(waitUntil(10000, [&] { return contacts(a.homeContacts()).contains("Petra Dvořák"); }));
        QCOMPARE(contacts(a.homeContacts()), QStringList({ "Jana Nováková", "Petra Dvořák" }));
        QVERIFY(waitUntil(10000, [&] { return !a.runs("ruvo"); }));
        // Before the import A's files were kept aside.
        QCOMPARE(reminders(a.desk.file("korvel.bak")), QStringList({ "Porada týmu", "Zubař", "Heslo k bance" }));
        QVERIFY(a.desk.lines(a.desk.dialogLog()).isEmpty());
        QVERIFY(a.sessionEnds("twomachines-a-again"));
        QVERIFY(b.desk.lines(b.desk.dialogLog()).isEmpty());
    }

    // A service manager ends the session with SIGTERM to all of its programs
    // at once. With windows of the reminders and contacts programs open (a
    // form half typed), the reminders program still runs the tray resident's
    // export; all three end, the tray resident well within its bound, and
    // nothing the user never confirmed is stored.
    void aSessionEndSignalsEveryProgramAtOnce_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("exchange");
        QTest::newRow("pop-up") << 1 << "^Připomenutí - Porada týmu$" << true;
        QTest::newRow("overview") << int(rcOverview) << "^Přehled připomenutí$" << true;
        QTest::newRow("new reminder") << int(rcNewReminder) << "^Nové připomenutí$" << true;
        QTest::newRow("message box") << int(rcHotkeyFailures) << "^Informace$" << true;
        QTest::newRow("no exchange") << int(rcOverview) << "^Přehled připomenutí$" << false;
    }
    void aSessionEndSignalsEveryProgramAtOnce()
    {
        QFETCH(int, code);
        QFETCH(QString, window);
        QFETCH(bool, exchange);
        QTemporaryDir folder;
        Desktop d;
        IniFile ini(d.iniPath());
        ini.writeString("Nastav", "expimpdir", folder.path());
        ini.writeBool("Nastav", "autoexpimp", exchange);
        ini.writeString("FImport", "datum", "1.1.2001"); // no import at the logon, which would start
        ini.writeString("FImport", "kdatum", "1.1.2001"); // the reminders program before the test does
        for (ReminderRecord r : { reminder(Now() - 2, "Porada týmu", true), reminder(Now() - 1, "Zubař", true) })
            AppendReminder(d.file("korvel.da1"), r);
        const QByteArray before = readFileBytes(d.file("korvel.da1"));
        QProcess* tray = d.start("korvel");
        QVERIFY(d.waitForTrayIcon("korvel"));
        const QList<QProcess*> programs { tray, d.start("ruvo"), d.start("dorv") };
        QVERIFY(waitUntil(10000,
            [] { return CommandChannel::answers(ReminderAppTitle) && CommandChannel::answers(ContactAppTitle); }));
        QVERIFY(CommandChannel::post(ReminderAppTitle, code));
        QVERIFY(CommandChannel::post(ContactAppTitle, dcNewContact));
        const qulonglong contact = d.waitForWindow("^Nový kontakt$");
        QVERIFY(d.waitForWindow(window) && contact);
        d.xdotool({ "windowfocus", "--sync", QString::number(contact) });
        d.xdotool({ "type", "--delay", "20", "Karel" });
        d.screenshot(QStringLiteral("session-end-%1").arg(QTest::currentDataTag()).replace(u' ', u'-'));

        QElapsedTimer sinceEnd;
        sinceEnd.start();
        for (QProcess* p : programs)
            QCOMPARE(::kill(pid_t(p->processId()), SIGTERM), 0);
        QVERIFY(tray->waitForFinished(25000));
        QVERIFY(sinceEnd.elapsed() < 20000); // it did not wait out its bound for the export
        for (QProcess* p : programs) {
            QVERIFY2(p->state() == QProcess::NotRunning || p->waitForFinished(10000), qPrintable(p->program()));
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 0);
        }
        QVERIFY(!CommandChannel::answers(ReminderAppTitle)); // no other copy started for the export
        QCOMPARE(reminders(folder.filePath("exp_imp.dat")),
            exchange ? QStringList({ "Porada týmu", "Zubař" }) : QStringList());
        QCOMPARE(readFileBytes(d.file("korvel.da1")), before);
        QVERIFY(!QFile::exists(d.file("korvel.db1")));
    }
};

QTEST_MAIN(TestTwoMachines)
#include "tst_twomachines.moc"
