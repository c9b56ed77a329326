// The settings window as the user reaches it: from the tray resident's menu,
// driven by keys alone, saved with OK; the tray resident obeys at once (the
// new hotkey works, the old one no longer does, a clock quarter switched on
// is announced). Every page is kept as a picture. A share that has stopped
// answering does not hold the window. Run by scripts/xsession.sh.
#include "platform/commandchannel.h"
#include "platform/inifile.h"
#include "shared/commands.h"

#include "desktop.h"
#include "testsupport.h"

#include <QDate>
#include <QImage>
#include <QProcess>
#include <QTest>

namespace {

const QString Calendar = QStringLiteral("^Kalendář$");
const QString Settings = QStringLiteral("^Nastavení programu$");

void keys(const Desktop& d, const QStringList& names)
{
    d.xdotool(QStringList { "key", "--delay", "60" } + names);
}

QStringList repeated(const QString& key, int times)
{
    QStringList list;
    for (int i = 0; i < times; ++i)
        list << key;
    return list;
}

// A picture of the window once it shows something else than before (the
// keys sent have been handled), kept; empty when nothing changed.
QImage keep(const Desktop& d, qulonglong window, const QString& name, const QImage& before)
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        const QImage shot(d.screenshot(name, window));
        if (!shot.isNull() && shot.width() >= 400 && shot.height() >= 300 && shot != before)
            return shot;
    }
    return {};
}

// The calendar window the reminders program opened for a hotkey, closed
// again with Esc; the program ends with it.
bool calendarOpensAndCloses(const Desktop& d)
{
    const qulonglong window = d.waitForWindow(Calendar);
    if (!window)
        return false;
    for (int attempt = 0; attempt < 10; ++attempt) {
        d.xdotool({ "windowfocus", "--sync", QString::number(window) });
        keys(d, { "Escape" });
        if (d.waitForNoWindow(Calendar, 1000))
            return true;
    }
    return false;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(!qEnvironmentVariable("DISPLAY").isEmpty()); }

    // A share that has stopped answering, holding the exchange folder and a
    // sound folder: the window opens all the same and takes keys, in its
    // pages and in its folder tree.
    void theWindowOpensBesideADeadShare()
    {
        DeadMount share;
        if (!share.unavailable().isEmpty())
            QSKIP(qPrintable(share.unavailable()));
        Desktop d;
        IniFile ini(d.iniPath());
        ini.writeString("Nastav", "expimpdir", share.path());
        ini.writeInteger("ZvukAdr", "pocet", 1);
        ini.writeString("ZvukAdr", "1", share.path());
        d.start("ruvo");
        QVERIFY(waitUntil(10000, [] { return CommandChannel::answers(ReminderAppTitle); }));
        QVERIFY(CommandChannel::post(ReminderAppTitle, rcSettings));
        const qulonglong window = d.waitForWindow(Settings, 30000);
        QVERIFY(window);
        d.xdotool({ "windowfocus", "--sync", QString::number(window) });
        QImage shown = keep(d, window, QStringLiteral("nastav-e2e-mrtvy-adresare"), QImage());
        keys(d, { "Right" });
        shown = keep(d, window, QStringLiteral("nastav-e2e-mrtvy-export"), shown);
        QVERIFY(!shown.isNull());
        // Back to the folders; the tree takes the arrows.
        keys(d, { "Left", "Tab", "Down", "Down", "Down" });
        QVERIFY(!keep(d, window, QStringLiteral("nastav-e2e-mrtvy-strom"), shown).isNull());
    }

    void theTrayObeysWhatTheWindowSaves()
    {
        Desktop d;
        // Ninety seconds before a quarter: only a clock re-planned at once announces
        // it within the test.
        d.environment().insert(QStringLiteral("KORVEL_FAKE_NOW"),
            QDate::currentDate().toString(Qt::ISODate) + QStringLiteral("T10:13:30"));
        IniFile(d.iniPath()).writeString("Klaves", "6", "Ctrl+Alt+K");
        d.start("korvel");
        QTRY_COMPARE_WITH_TIMEOUT(IniFile(d.iniPath()).readInteger("Klaves", "chyba", -1), 0, 15000);

        // The hotkey as it was works.
        keys(d, { "ctrl+alt+k" });
        QVERIFY(calendarOpensAndCloses(d));

        // The tray menu's "Nastavení" (the first of two items under "n").
        const qulonglong icon = d.waitForTrayIcon(QStringLiteral("korvel"));
        QVERIFY(icon);
        const QPoint c = d.geometry(icon).center();
        const QList<qulonglong> before = d.visibleWindows({ "--classname", "korvel" });
        d.xdotool({ "mousemove", QString::number(c.x()), QString::number(c.y()), "click", "3" });
        QTRY_VERIFY_WITH_TIMEOUT(d.visibleWindows({ "--classname", "korvel" }).size() > before.size(), 10000);
        keys(d, { "n", "Return" });
        const qulonglong window = d.waitForWindow(Settings);
        QVERIFY(window);
        d.xdotool({ "windowfocus", "--sync", QString::number(window) });

        // The page tabs have the focus first: the arrows go through the pages.
        const QStringList pages { "adresare", "export", "nastaveni", "klavesy", "hodiny" };
        QImage shown;
        for (int i = 0; i < pages.size(); ++i) {
            if (i > 0)
                keys(d, { "Right" });
            shown = keep(d, window, QStringLiteral("nastav-e2e-") + pages[i], shown);
            QVERIFY2(!shown.isNull(), qPrintable(pages[i]));
        }
        // The clock page: "XX : 15" is the fourth control; switched on.
        keys(d, repeated("Tab", 4) + QStringList { "space" });
        shown = keep(d, window, QStringLiteral("nastav-e2e-hodiny-15"), shown);
        QVERIFY(!shown.isNull());
        // Back to the tabs, one page to the left: the hotkeys. The calendar
        // is the sixth field; after it comes OK.
        keys(d, repeated("shift+Tab", 4) + QStringList { "Left" } + repeated("Tab", 6));
        keys(d, { "ctrl+alt+l" });
        QVERIFY(!keep(d, window, QStringLiteral("nastav-e2e-klavesy-nove"), shown).isNull());
        keys(d, { "Tab", "space" });
        QVERIFY(d.waitForNoWindow(Settings));

        const IniFile ini(d.iniPath());
        QCOMPARE(ini.readString("Klaves", "6", "?"), QStringLiteral("Ctrl+Alt+L"));
        QCOMPARE(ini.readString("Hodiny", "15anone", "?"), QStringLiteral("1"));
        QCOMPARE(ini.readString("Hodiny", "00anone", "?"), QStringLiteral("0"));

        // The quarter is announced when the tray's clock reaches it.
        QVERIFY2(d.waitForLine(d.soundLog(), QStringLiteral("s_hodiny"), 150000), "no announcement of 10:15");

        // The old hotkey is gone, the new one opens the calendar.
        keys(d, { "ctrl+alt+k" });
        QVERIFY(!d.waitForWindow(Calendar, 1500));
        keys(d, { "ctrl+alt+l" });
        QVERIFY(calendarOpensAndCloses(d));
        QCOMPARE(IniFile(d.iniPath()).readInteger("Klaves", "chyba", -1), 0);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
