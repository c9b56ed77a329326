// The contacts program as the user's desktop runs it: started hidden, told
// what to do through its command channel, a second start bringing the first
// forward, ended by its last window; and the tray menu's "Přehled kontaktů",
// which starts it and opens the overview. Run by scripts/xsession.sh.
#include "platform/commandchannel.h"
#include "platform/inifile.h"
#include "shared/commands.h"
#include "shared/contactfile.h"

#include "desktop.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QThread>

#include <functional>

namespace {

const QString OverviewTitle = QStringLiteral("^Přehled kontaktů$");

bool waitUntil(int timeoutMs, const std::function<bool()>& condition)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

QList<qulonglong> visibleWindows(const Desktop& d, const QStringList& how)
{
    QList<qulonglong> ids;
    for (const QString& id :
        d.xdotool(QStringList { "search", "--onlyvisible" } + how).split(u'\n', Qt::SkipEmptyParts))
        ids << id.toULongLong();
    return ids;
}

void writeContacts(const QString& path)
{
    for (const char16_t* surname : { u"Novák", u"Čermáková", u"Dvořák" }) {
        ContactRecord r;
        r.jmeno = QStringLiteral("Jana");
        r.prijmeni = QString::fromUtf16(surname);
        r.email1 = QStringLiteral("jana@example.cz");
        AppendContact(path, r);
    }
}

// Escape closes the window that has the focus; a key sent before the window
// takes it is lost, so it is sent again until the window is gone.
bool closeByEscape(const Desktop& d, qulonglong window)
{
    return waitUntil(15000, [&] {
        if (!visibleWindows(d, { "--name", OverviewTitle }).contains(window))
            return true;
        d.xdotool({ "windowfocus", "--sync", QString::number(window) });
        d.xdotool({ "key", "Escape" });
        QThread::msleep(300);
        return !visibleWindows(d, { "--name", OverviewTitle }).contains(window);
    });
}

} // namespace

class TestDorv : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(!qEnvironmentVariable("DISPLAY").isEmpty());
        QVERIFY(!qEnvironmentVariable("KORVEL_PROGRAMS").isEmpty());
    }

    void startsHiddenTakesCodesAndEndsWithItsLastWindow()
    {
        Desktop d;
        writeContacts(d.file("korvel.db1"));
        QProcess* dorv = d.start("dorv");
        QVERIFY(waitUntil(10000, [] { return CommandChannel::answers(ContactAppTitle); }));
        const QString pid = QString::number(dorv->processId());
        QCOMPARE(d.xdotool({ "search", "--onlyvisible", "--pid", pid }), QString());

        // Reloads with no overview open, and codes it does not know: nothing
        // shows and the program goes on.
        for (int code : { int(dcReloadList), int(dcReloadGroups), 7, -9 })
            QVERIFY(CommandChannel::post(ContactAppTitle, code));
        QThread::msleep(500);
        QCOMPARE(dorv->state(), QProcess::Running);
        QCOMPARE(d.xdotool({ "search", "--onlyvisible", "--pid", pid }), QString());

        QVERIFY(CommandChannel::post(ContactAppTitle, dcOverview));
        const qulonglong overview = d.waitForWindow(OverviewTitle);
        QVERIFY2(overview, "the overview did not open");

        // A second start finds the first, brings it forward and ends.
        QProcess* second = d.start("dorv");
        QVERIFY(second->waitForFinished(10000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QVERIFY(CommandChannel::post(ContactAppTitle, dcOverview));
        QThread::msleep(500);
        QCOMPARE(visibleWindows(d, { "--name", OverviewTitle }), QList<qulonglong> { overview });
        QCOMPARE(dorv->state(), QProcess::Running);

        QTest::qWait(400); // painted
        QVERIFY(!QImage(d.screenshot("dorv-prehled")).isNull());

        // The overview was the last window: closing it ends the program,
        // which leaves its list settings behind.
        QVERIFY(closeByEscape(d, overview));
        QVERIFY(dorv->waitForFinished(10000));
        QCOMPARE(dorv->exitStatus(), QProcess::NormalExit);
        QCOMPARE(dorv->exitCode(), 0);
        QVERIFY(!CommandChannel::answers(ContactAppTitle));
        const IniFile ini(d.file("korvelk.ini"));
        QCOMPARE(ini.readString("FKPrehled", "ListSeznam", ""), QStringLiteral("2;3;27;31;32;33;6;7;8;43"));
        QCOMPARE(ini.readInteger("FKPrehled", "State", 0), 2);
    }

    void theTrayMenuOpensTheOverview()
    {
        Desktop d;
        writeContacts(d.file("korvel.db1"));
        d.start("korvel");
        const qulonglong icon = d.waitForTrayIcon("korvel");
        QVERIFY2(icon, "the tray icon did not show");
        QVERIFY(!CommandChannel::answers(ContactAppTitle));

        // The menu opens upwards from the tray: from its bottom edge "Nové
        // připomenutí", "Přehled připomenutí", a separator, "Nový kontakt",
        // "Přehled kontaktů".
        const QPoint c = d.geometry(icon).center();
        qulonglong overview = 0;
        for (int attempt = 0; attempt < 3 && !overview; ++attempt) {
            const QList<qulonglong> before = visibleWindows(d, { "--classname", "korvel" });
            d.xdotool({ "mousemove", QString::number(c.x()), QString::number(c.y()), "click", "3" });
            qulonglong menu = 0;
            waitUntil(5000, [&] {
                for (qulonglong w : visibleWindows(d, { "--classname", "korvel" }))
                    if (!before.contains(w) && d.geometry(w).height() > 100)
                        menu = w;
                return menu != 0;
            });
            if (!menu)
                continue;
            QThread::msleep(300); // mapped is not yet taking keys
            d.xdotool({ "key", "Up", "Up", "Up", "Up", "Return" });
            overview = d.waitForWindow(OverviewTitle, 15000);
            if (!overview)
                d.xdotool({ "key", "Escape" });
        }
        QVERIFY2(overview, "the overview did not open from the tray menu");
        QVERIFY(CommandChannel::answers(ContactAppTitle));
        QTest::qWait(400);
        QVERIFY(!QImage(d.screenshot("dorv-prehled-z-menu")).isNull());

        QVERIFY(closeByEscape(d, overview));
        QVERIFY(waitUntil(10000, [] { return !CommandChannel::answers(ContactAppTitle); }));
    }
};

QTEST_GUILESS_MAIN(TestDorv)
#include "tst_dorv.moc"
