// The reminders program as the user's desktop runs it: started hidden, told
// what to do through its command channel, ended by its last window; and its
// set-up run. Run by scripts/xsession.sh.
#include "platform/commandchannel.h"
#include "platform/inifile.h"
#include "shared/commands.h"

#include "desktop.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

void Dump(const Desktop& desktop)
{
    const QStringList ids = desktop.xdotool({ "search", "--name", "." }).split('\n');
    for (const QString& id : ids)
        qDebug() << id << desktop.xdotool({ "getwindowname", id }) << desktop.xdotool({ "getwindowpid", id });
}

// The program's last window is a message box or a form: the key (Enter by
// default) answers or closes it, and the program ends. A key that comes before
// the window has taken the focus is lost, so it is pressed again until the
// program has ended.
bool AnswerAndWaitForEnd(
    const Desktop& desktop, qulonglong window, QProcess* program, const QString& key = QStringLiteral("Return"))
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        desktop.xdotool({ "windowfocus", "--sync", QString::number(window) });
        desktop.xdotool({ "key", key });
        if (program->waitForFinished(2000))
            return true;
    }
    return false;
}

} // namespace

class TestRuvo : public QObject {
    Q_OBJECT

private slots:
    void startsHiddenTakesCodesAndEndsWithItsLastWindow()
    {
        Desktop desktop;
        QProcess* ruvo = desktop.start("ruvo");
        QTRY_VERIFY_WITH_TIMEOUT(CommandChannel::answers(ReminderAppTitle), 10000);
        const QString pid = QString::number(ruvo->processId());
        QCOMPARE(desktop.xdotool({ "search", "--onlyvisible", "--pid", pid }), QString());

        // A refresh with no overview open shows nothing and ends nothing.
        QVERIFY(CommandChannel::post(ReminderAppTitle, rcRefreshOverview));
        QVERIFY(CommandChannel::post(ReminderAppTitle, rcHotkeyFailures));
        QVERIFY(desktop.waitForLine(
            desktop.dialogLog(), "Počet nezaregistrovaných klávesových zkratek: 0 (již používá jiný program)"));
        const qulonglong message = desktop.waitForWindow("^Informace$");
        if (!message)
            Dump(desktop);
        QVERIFY(message);
        QCOMPARE(ruvo->state(), QProcess::Running);

        // The message was all the program showed: answered, the program ends.
        QVERIFY(AnswerAndWaitForEnd(desktop, message, ruvo));
        QCOMPARE(ruvo->exitStatus(), QProcess::NormalExit);
        QCOMPARE(ruvo->exitCode(), 0);
        QVERIFY(!CommandChannel::answers(ReminderAppTitle));
    }

    void codesThatShowNothingEndTheProgram_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("overview of an empty file") << int(rcOverview);
        QTest::newRow("a reminder beyond the file") << 3;
    }
    void codesThatShowNothingEndTheProgram()
    {
        QFETCH(int, code);
        Desktop desktop;
        QProcess* ruvo = desktop.start("ruvo");
        QTRY_VERIFY_WITH_TIMEOUT(CommandChannel::answers(ReminderAppTitle), 10000);
        QVERIFY(CommandChannel::post(ReminderAppTitle, code));
        QVERIFY(ruvo->waitForFinished(10000));
        QCOMPARE(ruvo->exitCode(), 0);
        QVERIFY(!QFileInfo::exists(desktop.dialogLog()));
    }

    void exportCodeOpensTheExportWindow()
    {
        Desktop desktop;
        QProcess* ruvo = desktop.start("ruvo");
        QTRY_VERIFY_WITH_TIMEOUT(CommandChannel::answers(ReminderAppTitle), 10000);
        QVERIFY(CommandChannel::post(ReminderAppTitle, rcExport));
        const qulonglong window = desktop.waitForWindow("^Export pripomenutí a kontaktů$");
        if (!window)
            Dump(desktop);
        QVERIFY(window);
        QVERIFY(AnswerAndWaitForEnd(desktop, window, ruvo, "Escape"));
        QVERIFY(!QFileInfo::exists(desktop.dialogLog()));
    }

    // A window's caption is the form's caption, nothing appended; every
    // window carries the organiser's icon. The about box is kept as a picture.
    void captionsAreExactAndWindowsCarryTheIcon()
    {
        Desktop desktop;
        QProcess* ruvo = desktop.start("ruvo");
        QTRY_VERIFY_WITH_TIMEOUT(CommandChannel::answers(ReminderAppTitle), 10000);
        QVERIFY(CommandChannel::post(ReminderAppTitle, rcNewReminder));
        const qulonglong form = desktop.waitForWindow("^Nové připomenutí$");
        QVERIFY(CommandChannel::post(ReminderAppTitle, rcAbout));
        const qulonglong about = desktop.waitForWindow("^About Korvel$");
        if (!form || !about)
            Dump(desktop);
        QVERIFY(form && about);
        for (const qulonglong window : { form, about }) {
            QProcess xprop;
            xprop.start("xprop", { "-id", QString::number(window), "_NET_WM_ICON" });
            QVERIFY(xprop.waitForFinished(5000));
            const QString icon = QString::fromUtf8(xprop.readAllStandardOutput());
            // xprop draws each size it finds.
            for (const int size : { 16, 32, 48, 64 })
                QVERIFY2(icon.contains(QStringLiteral("Icon (%1 x %1):").arg(size)), qPrintable(icon.left(200)));
        }
        QTest::qWait(400); // painted
        QVERIFY(!QImage(desktop.screenshot("about-box")).isNull());
        QCOMPARE(ruvo->state(), QProcess::Running);
    }

    void setupMakesTheDesktopEntriesAndStartsTheTray()
    {
        Desktop desktop;
        QTemporaryDir xdg;
        desktop.environment().insert("XDG_DATA_HOME", xdg.filePath("data"));
        desktop.environment().insert("XDG_CONFIG_HOME", xdg.filePath("config"));
        // The tray resident, as installed, behind a wrapper that notes its start.
        QVERIFY(QFile::rename(desktop.file("korvel"), desktop.file("korvel.real")));
        QFile wrapper(desktop.file("korvel"));
        QVERIFY(wrapper.open(QIODevice::WriteOnly));
        wrapper.write("#!/bin/sh\n"
                      "echo \"started $$\" >> \"$(dirname \"$0\")/korvel.log\"\n"
                      "exec \"$(dirname \"$0\")/korvel.real\" \"$@\"\n");
        wrapper.close();
        wrapper.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QProcess* ruvo = desktop.start("ruvo", { "-setup" });
        QVERIFY(desktop.waitForLine(
            desktop.dialogLog(), "Program vytvořil zástupce v nabídce start a spustil rezidentní část (korvel.exe)"));
        QVERIFY(desktop.waitForLine(desktop.file("korvel.log"), "started"));
        // The set-up run takes no codes.
        QVERIFY(!CommandChannel::answers(ReminderAppTitle));
        const qulonglong message = desktop.waitForWindow("^Informace$");
        if (!message)
            Dump(desktop);
        QVERIFY(message);
        QVERIFY(AnswerAndWaitForEnd(desktop, message, ruvo));
        QCOMPARE(ruvo->exitCode(), 0);

        const QString autostart = xdg.filePath("config/autostart/korvel.desktop");
        QVERIFY(QFileInfo::exists(autostart));
        QFile entry(autostart);
        QVERIFY(entry.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(entry.readAll()).contains(desktop.file("korvel")));
        for (const char* item : { "korvel", "popis", "napoveda" })
            QVERIFY2(
                QFileInfo::exists(xdg.filePath(QStringLiteral("data/applications/korvel/%1.desktop").arg(item))), item);
        QVERIFY(QFileInfo::exists(xdg.filePath("data/desktop-directories/korvel.directory")));
        // The icon the entries name ("Icon=korvel") lies in the user's icon theme.
        QCOMPARE(QImage(xdg.filePath("data/icons/hicolor/48x48/apps/korvel.png")).size(), QSize(48, 48));
        // The tray resident goes with the test (the wrapper kept its process).
        const qint64 tray = desktop.lines(desktop.file("korvel.log")).value(0).section(' ', 1).toLongLong();
        QVERIFY(tray > 0);
        ::kill(pid_t(tray), SIGTERM);
        const IniFile ini(desktop.iniPath());
        QCOMPARE(ini.readInteger("ZvukAdr", "pocet", 0), 1);
        QCOMPARE(ini.readString("ZvukAdr", "1", ""), desktop.file("sound"));
    }
};

QTEST_GUILESS_MAIN(TestRuvo)
#include "tst_ruvo.moc"
