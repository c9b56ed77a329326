// The contacts program as the user's desktop runs it: started hidden, told
// what to do through its command channel, a second start bringing the first
// forward, ended by its last window, or after a few seconds when nothing
// asks it for a window; the tray menu's "Přehled kontaktů", which starts it
// and opens the overview; and one contact's whole road from the tray's
// hotkey through the forms, the overview and the deleted contacts, typed as
// the user types. Run by scripts/xsession.sh.
#include "platform/commandchannel.h"
#include "platform/inifile.h"
#include "shared/commands.h"
#include "shared/contactfields.h"
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
        if (!d.visibleWindows({ "--name", OverviewTitle }).contains(window))
            return true;
        d.xdotool({ "windowfocus", "--sync", QString::number(window) });
        d.xdotool({ "key", "Escape" });
        QThread::msleep(300);
        return !d.visibleWindows({ "--name", OverviewTitle }).contains(window);
    });
}

QList<ContactRecord> contactsIn(const QString& path)
{
    QList<ContactRecord> records;
    ForEachContact(path, [&](int, const ContactRecord& r) { records << r; });
    return records;
}

// The keys go to the window, once it has the focus.
void keysTo(const Desktop& d, qulonglong window, const QStringList& keys)
{
    d.xdotool({ "windowactivate", "--sync", QString::number(window) });
    d.xdotool({ "windowfocus", "--sync", QString::number(window) });
    QThread::msleep(150);
    d.xdotool(QStringList { "key", "--delay", "60" } + keys);
}

// A letter outside the keyboard's map is typed through a key xdotool maps
// for it first; when it comes first the application may see the key before
// the new map and lose it, so a blank goes ahead and is taken back.
void typeTo(const Desktop& d, qulonglong window, const QString& text)
{
    d.xdotool({ "windowfocus", "--sync", QString::number(window) });
    d.xdotool({ "type", "--delay", "80", u' ' + text });
    d.xdotool({ "key", "--delay", "60", "Home", "Delete", "End" });
}

// A click into the list of a list window (below its toolbar and filter,
// above its merge panel), which gives the list the focus.
void clickList(const Desktop& d, qulonglong window, int button = 1)
{
    const QRect g = d.geometry(window);
    d.xdotool({ "mousemove", QString::number(g.x() + g.width() / 2), QString::number(g.y() + g.height() * 63 / 100),
        "click", QString::number(button) });
    QThread::msleep(200);
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
        QCOMPARE(d.visibleWindows({ "--name", OverviewTitle }), QList<qulonglong> { overview });
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
        const qulonglong overview = d.chooseFromTrayMenu(icon, 4, OverviewTitle);
        QVERIFY2(overview, "the overview did not open from the tray menu");
        QVERIFY(CommandChannel::answers(ContactAppTitle));
        QTest::qWait(400);
        QVERIFY(!QImage(d.screenshot("dorv-prehled-z-menu")).isNull());

        QVERIFY(closeByEscape(d, overview));
        QVERIFY(waitUntil(10000, [] { return !CommandChannel::answers(ContactAppTitle); }));
    }
    void endsWhenNoCommandComes()
    {
        Desktop d;
        QProcess* dorv = d.start("dorv");
        QVERIFY(waitUntil(10000, [] { return CommandChannel::answers(ContactAppTitle); }));
        QVERIFY(dorv->waitForFinished(15000));
        QCOMPARE(dorv->exitStatus(), QProcess::NormalExit);
        QCOMPARE(dorv->exitCode(), 0);
        QVERIFY(!CommandChannel::answers(ContactAppTitle));
    }

    void aContactsWholeRoad()
    {
        Desktop d;
        writeContacts(d.file("korvel.db1"));
        const QString data = d.file("korvel.db1");
        IniFile(d.iniPath()).writeString("Klaves", "4", "Ctrl+Alt+K");
        d.start("korvel");
        QVERIFY2(d.waitForTrayIcon("korvel"), "the tray icon did not show");

        // The tray's hotkey for a new contact starts the program with the
        // form; the overview is asked for as the tray menu asks.
        qulonglong form = 0;
        for (int attempt = 0; attempt < 3 && !form; ++attempt) {
            d.xdotool({ "key", "ctrl+alt+k" });
            form = d.waitForWindow("^Nový kontakt$", 8000);
        }
        QVERIFY2(form, "the new-contact form did not open");
        QVERIFY(CommandChannel::post(ContactAppTitle, dcOverview));
        const qulonglong overview = d.waitForWindow(OverviewTitle);
        QVERIFY(overview);

        keysTo(d, form, { "alt+j" });
        typeTo(d, form, QStringLiteral("Zdeněk"));
        keysTo(d, form, { "alt+p" });
        typeTo(d, form, QStringLiteral("Řezníček"));
        keysTo(d, form, { "alt+e" });
        typeTo(d, form, QStringLiteral("zdenek@rez.cz"));
        keysTo(d, form, { "alt+t" });
        typeTo(d, form, QStringLiteral("602 123 456"));
        d.xdotool({ "windowraise", QString::number(form) });
        QTest::qWait(300);
        d.screenshot("dorv-novy-kontakt");
        keysTo(d, form, { "alt+o" });
        QVERIFY(d.waitForNoWindow("^Nový kontakt$"));
        QList<ContactRecord> all = contactsIn(data);
        QCOMPARE(all.size(), 4);
        const ContactRecord typed = all.last();
        QCOMPARE(typed.jmeno, QStringLiteral("Zdeněk"));
        QCOMPARE(typed.prijmeni, QStringLiteral("Řezníček"));
        QCOMPARE(typed.email1, QStringLiteral("zdenek@rez.cz"));
        QCOMPARE(typed.tel1, QStringLiteral("602123456"));
        QCOMPARE(typed.cislo, 4);
        QVERIFY(typed.unikat > 0 && !typed.vymazano);

        // Found by the name filter (focused first in the overview), the only
        // row, edited.
        keysTo(d, overview, { "ctrl+a" });
        typeTo(d, overview, QStringLiteral("řez"));
        QTest::qWait(500);
        d.screenshot("dorv-prehled-filtr");
        clickList(d, overview);
        keysTo(d, overview, { "ctrl+a", "ctrl+e" });
        const qulonglong edit = d.waitForWindow("^Editace kontaktu$");
        QVERIFY2(edit, "the edit form did not open for the filtered row");
        keysTo(d, edit, { "alt+j", "ctrl+a" });
        typeTo(d, edit, QStringLiteral("Zdenka"));
        QTest::qWait(300);
        d.screenshot("dorv-editace");
        keysTo(d, edit, { "alt+o" });
        QVERIFY(d.waitForNoWindow("^Editace kontaktu$"));
        all = contactsIn(data);
        QCOMPARE(all.size(), 4);
        QCOMPARE(all.last().jmeno, QStringLiteral("Zdenka"));
        QCOMPARE(all.last().prijmeni, QStringLiteral("Řezníček"));
        QCOMPARE(all.last().unikat, typed.unikat);
        QVERIFY(all.last().zmena >= typed.zmena);

        // Deleted (the question answered with its default, Yes).
        const auto deleteListed = [&] {
            clickList(d, overview);
            keysTo(d, overview, { "ctrl+a", "ctrl+Delete" });
            QVERIFY(d.waitForLine(d.dialogLog(), "Opravdu vymazat vybrané kontakty?"));
            QTest::qWait(500);
            d.xdotool({ "key", "Return" });
            QVERIFY(waitUntil(10000, [&] { return contactsIn(data).last().vymazano; }));
        };
        deleteListed();
        QCOMPARE(contactsIn(data).size(), 4);

        // Restored through the deleted contacts' menu, which keeps the window.
        keysTo(d, overview, { "alt+Delete" });
        qulonglong deleted = d.waitForWindow("^Odstranění a obnovení smazaného kontaktu$");
        QVERIFY2(deleted, "the deleted contacts did not open");
        keysTo(d, deleted, { "ctrl+a" });
        QTest::qWait(300);
        d.screenshot("dorv-odstraneni");
        keysTo(d, deleted, { "alt+k", "b" });
        QVERIFY(waitUntil(10000, [&] { return !contactsIn(data).last().vymazano; }));
        QVERIFY(d.waitForWindow("^Odstranění a obnovení smazaného kontaktu$", 1000));
        keysTo(d, deleted, { "Escape" });
        QVERIFY(d.waitForNoWindow("^Odstranění a obnovení smazaného kontaktu$"));

        // Deleted again, then removed for good: the three others stay,
        // numbered as before.
        deleteListed();
        keysTo(d, overview, { "alt+Delete" });
        deleted = d.waitForWindow("^Odstranění a obnovení smazaného kontaktu$");
        QVERIFY(deleted);
        keysTo(d, deleted, { "ctrl+a", "alt+k", "d" });
        QVERIFY(waitUntil(10000, [&] { return contactsIn(data).size() == 3; }));
        all = contactsIn(data);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(all[i].cislo, i + 1);
            QCOMPARE(all[i].jmeno, QStringLiteral("Jana"));
        }
        keysTo(d, deleted, { "Escape" });
        QVERIFY(d.waitForNoWindow("^Odstranění a obnovení smazaného kontaktu$"));

        // The column chooser from the list's pop-up menu.
        keysTo(d, overview, { "ctrl+a" });
        d.xdotool({ "key", "BackSpace" });
        clickList(d, overview, 3);
        d.xdotool({ "key", "p" });
        const qulonglong chooser = d.waitForWindow("^Sloupce - nastavení$");
        QVERIFY2(chooser, "the column chooser did not open");
        QTest::qWait(300);
        d.screenshot("dorv-sloupce");
        keysTo(d, chooser, { "Escape" });
        QVERIFY(d.waitForNoWindow("^Sloupce - nastavení$"));
        QVERIFY(closeByEscape(d, overview));
        QVERIFY(waitUntil(10000, [] { return !CommandChannel::answers(ContactAppTitle); }));
    }
};

QTEST_GUILESS_MAIN(TestDorv)
#include "tst_dorv.moc"
