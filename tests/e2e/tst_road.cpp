// The whole road of one reminder on the user's desktop, as a user goes it:
// the tray resident started as the run command leaves it; a new reminder
// with a sound made in the form the tray menu opens; the overview listing it;
// its pop-up with its sound, postponed; edited, erased and removed for good
// from the overview. Keys and clicks go through xdotool, the results are read
// from the reminder file, the sound and message logs. Screenshots of the
// windows are kept as artifacts. Run by scripts/xsession.sh.
#include "platform/commandchannel.h"
#include "platform/datetime.h"
#include "shared/commands.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"

#include "desktop.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QThread>

#include <functional>

namespace {

const QString Title = QStringLiteral("Porada týmu");
const QString NewTitle = QStringLiteral("Porada celého týmu");

// The user at the keyboard of one window: it takes the focus first.
class Keys {
public:
    Keys(const Desktop& d, qulonglong window)
        : m_d(d)
        , m_window(QString::number(window))
    {
    }
    void focus() const { m_d.xdotool({ "windowfocus", "--sync", m_window }); }
    void press(const QStringList& keys) const
    {
        focus();
        m_d.xdotool(QStringList { "key", "--clearmodifiers" } + keys);
    }
    void type(const QString& text) const
    {
        focus();
        m_d.xdotool({ "type", "--delay", "20", text });
    }
    // Selects what the focused edit holds and types text in its place.
    void replace(const QString& text) const
    {
        press({ "ctrl+a" });
        type(text);
    }

private:
    const Desktop& m_d;
    QString m_window;
};

struct Record {
    int count = 0;
    ReminderRecord r;
};

Record readFile(const Desktop& d)
{
    Record rec;
    const QString path = d.file("korvel.da1");
    rec.count = ReminderCount(path);
    int first = 1;
    if (rec.count > 0)
        ReadReminder(first, path, rec.r);
    return rec;
}

// Waits until the reminder file's first record satisfies the condition.
bool waitForRecord(const Desktop& d, const std::function<bool(const Record&)>& condition, int timeoutMs = 10000)
{
    return waitUntil(timeoutMs, [&] { return condition(readFile(d)); });
}

QString dump(const Record& rec)
{
    const ReminderRecord& r = rec.r;
    return QStringLiteral("%1 record(s): #%2 %3 %4 | %5 %6 | %7 advance %8/%9 erased %10 length %11")
        .arg(rec.count)
        .arg(r.ID)
        .arg(r.EventDate, r.EventTime, r.RemindDate, r.RemindTime, r.Title)
        .arg(r.AdvanceKind)
        .arg(r.AdvanceAmount)
        .arg(r.Erased)
        .arg(r.Length);
}

} // namespace

class TestRoad : public QObject {
    Q_OBJECT

    // Answers the confirmation that was just asked with Yes (its first
    // button); a box just mapped may not take keys yet.
    bool answerYes(const Desktop& d, const QString& question)
    {
        if (!d.waitForLine(d.dialogLog(), QStringLiteral("Potvrzení\t") + question))
            return false;
        const qulonglong box = d.waitForWindow("^Potvrzení");
        if (!box)
            return false;
        return waitUntil(10000, [&] {
            const QList<qulonglong> boxes = d.visibleWindows({ "--name", "^Potvrzení" });
            if (!boxes.contains(box))
                return true;
            Keys(d, box).press({ "Return" });
            QThread::msleep(300);
            return !d.visibleWindows({ "--name", "^Potvrzení" }).contains(box);
        });
    }

    // The screenshot is kept; it must show something.
    void keepScreenshot(const Desktop& d, const QString& name)
    {
        QTest::qWait(400); // painted
        const QImage shot(d.screenshot(name));
        QVERIFY2(!shot.isNull(), qPrintable(name));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(!qEnvironmentVariable("DISPLAY").isEmpty());
        QVERIFY(!qEnvironmentVariable("KORVEL_PROGRAMS").isEmpty());
    }

    void theRoadOfOneReminder()
    {
        Desktop d;
        const QString gong = d.file("s_hodiny/gong.wav");
        QVERIFY(QFile::exists(gong));

        // The run command leaves the tray resident running on its own.
        QProcess* korvel = d.start("korvel");
        const qulonglong icon = d.waitForTrayIcon("korvel");
        QVERIFY2(icon, "the tray icon did not show");

        // --- a new reminder with a sound of the program folder, its first
        // pop-up ten minutes before the event, which is set so that the
        // pop-up comes at the next minute (late in a minute there would be no
        // time to fill the form: a minute more).
        const qulonglong form = d.chooseFromTrayMenu(icon, 1, "^Nové připomenutí");
        QVERIFY2(form, "the new-reminder form did not open from the tray menu");
        const QDateTime now = QDateTime::currentDateTime();
        const QDateTime minute(now.date(), QTime(now.time().hour(), now.time().minute()));
        const QDateTime due = minute.addSecs(now.time().second() < 40 ? 60 : 120);
        const QDateTime event = due.addSecs(10 * 60);
        Keys f(d, form);
        f.press({ "alt+d" });
        f.type(event.toString("d.M.yyyy"));
        f.press({ "alt+a" });
        f.replace(event.toString("hh:mm"));
        f.press({ "Tab", "Tab", "Tab" }); // over the two check boxes to the advance
        f.replace("10");
        f.press({ "alt+1" });
        f.type(gong);
        f.press({ "alt+3", "Tab" }); // the last sound, then the heading
        f.type(Title);
        keepScreenshot(d, "road-1-new-reminder");
        f.press({ "alt+o" });
        QVERIFY2(d.waitForNoWindow("^Nové připomenutí"), "the form did not store the reminder");
        Record rec = readFile(d);
        QVERIFY2(rec.count == 1, qPrintable(dump(rec)));
        QCOMPARE(rec.r.ID, 1);
        QCOMPARE(rec.r.Title, Title);
        QCOMPARE(rec.r.EventDate, DateToStr(QDateTimeToDateTime(event)));
        QCOMPARE(rec.r.EventTime, event.toString("hh:mm"));
        QCOMPARE(rec.r.RemindTime, rec.r.EventTime);
        QCOMPARE(rec.r.AdvanceKind, akMinutes);
        QCOMPARE(rec.r.AdvanceAmount, 10.0);
        QCOMPARE(rec.r.Sound1, QStringLiteral("\\s_hodiny\\gong.wav"));
        QCOMPARE(rec.r.SoundOnly, false);
        QCOMPARE(rec.r.Erased, false);
        QCOMPARE(rec.r.NextKind, nkDays);
        const ReminderRecord created = rec.r;

        // --- the overview lists it.
        const qulonglong overview = d.chooseFromTrayMenu(icon, 2, "^Přehled připomenutí");
        QVERIFY2(overview, "the overview did not open from the tray menu");
        keepScreenshot(d, "road-2-overview");

        // --- it pops up when its first pop-up time comes, with its sound.
        const QString popupTitle = QStringLiteral("^Připomenutí - ") + Title;
        const qint64 untilDue = QDateTime::currentDateTime().msecsTo(due);
        const qulonglong popup = d.waitForWindow(popupTitle, int(std::max<qint64>(untilDue, 0)) + 20000);
        QVERIFY2(popup, "the reminder did not pop up");
        QVERIFY2(d.waitForLine(d.soundLog(), gong), qPrintable(d.lines(d.soundLog()).join(" | ")));
        keepScreenshot(d, "road-3-popup");

        // --- postponed from the pop-up by five minutes (further mode): the
        // amount beside "opět připomenout:", then OK, clicked where the
        // pop-up's fixed layout has them.
        const QRect p = d.geometry(popup);
        d.xdotool({ "mousemove", QString::number(p.x() + 390), QString::number(p.y() + 272), "click", "1" });
        Keys(d, popup).replace("5");
        keepScreenshot(d, "road-3-popup-postponing");
        const QDateTime confirmed = QDateTime::currentDateTime();
        d.xdotool({ "mousemove", QString::number(p.x() + 244), QString::number(p.y() + 406), "click", "1" });
        if (!d.waitForNoWindow(popupTitle)) {
            d.screenshot("road-failed-popup");
            QFAIL(qPrintable("the pop-up did not close: " + d.lines(d.dialogLog()).join(" | ")));
        }
        rec = readFile(d);
        const auto next = StoredDateTime(rec.r.RemindDate, rec.r.RemindTime);
        QVERIFY2(next, qPrintable(dump(rec)));
        const QDateTime nextAt = DateTimeToQDateTime(*next);
        QVERIFY2(nextAt > confirmed.addSecs(4 * 60 - 1) && nextAt <= QDateTime::currentDateTime().addSecs(5 * 60),
            qPrintable(dump(rec)));
        QCOMPARE(rec.r.EventTime, created.EventTime);
        QCOMPARE(rec.r.Erased, false);

        // --- edited in the overview: an hour later, a longer heading.
        // The row is clicked (below the menu, the buttons and the header),
        // then Ctrl+E; a click beside the row selects nothing and opens
        // nothing, so a little lower or higher is tried.
        Keys o(d, overview);
        const QRect og = d.geometry(overview);
        qulonglong edit = 0;
        for (const int y : { 84, 90, 78 }) {
            d.xdotool({ "mousemove", QString::number(og.x() + 60), QString::number(og.y() + y), "click", "1" });
            o.press({ "ctrl+e" });
            if ((edit = d.waitForWindow("^Editace připomenutí", 5000)))
                break;
        }
        QVERIFY2(edit, "the edit form did not open");
        const QDateTime later = event.addSecs(3600);
        Keys e(d, edit);
        e.press({ "alt+d" });
        e.type(later.toString("d.M.yyyy"));
        e.press({ "alt+a" });
        e.replace(later.toString("hh:mm"));
        e.press({ "alt+3", "Tab" });
        e.replace(NewTitle);
        keepScreenshot(d, "road-4-edit");
        e.press({ "alt+o" });
        QVERIFY2(d.waitForNoWindow("^Editace připomenutí"), "the edit form did not store the change");
        rec = readFile(d);
        QVERIFY2(rec.count == 1 && rec.r.Title == NewTitle, qPrintable(dump(rec)));
        QCOMPARE(rec.r.ID, 1);
        QCOMPARE(rec.r.Created, created.Created);
        QCOMPARE(rec.r.EventTime, later.toString("hh:mm"));
        QCOMPARE(rec.r.RemindTime, rec.r.EventTime);
        QCOMPARE(rec.r.RemindDate, rec.r.EventDate);
        QCOMPARE(rec.r.Sound1, created.Sound1);
        QCOMPARE(rec.r.NextKind, created.NextKind);
        QCOMPARE(rec.r.NextAmount, created.NextAmount);
        QCOMPARE(rec.r.Length, created.Length);

        // --- erased in the overview.
        o.press({ "Delete" });
        QVERIFY2(answerYes(d, "Opravdu vybrané připomenutí vymazat?"), qPrintable(d.lines(d.dialogLog()).join(" | ")));
        QVERIFY2(waitForRecord(d, [](const Record& r) { return r.r.Erased; }), qPrintable(dump(readFile(d))));

        // --- removed for good: the removal window lists it selected; OK
        // stands left of its Cancel button at the top right.
        o.press({ "ctrl+Delete" });
        const qulonglong removal = d.waitForWindow("^Odstranění připomenutí");
        QVERIFY2(removal, "the removal window did not open");
        keepScreenshot(d, "road-5-remove");
        const QRect g = d.geometry(removal);
        const int okX = g.right() - 6 - 32 - 2 - 16;
        for (int attempt = 0; attempt < 3 && readFile(d).count != 0; ++attempt) {
            d.xdotool({ "mousemove", QString::number(okX), QString::number(g.top() + 42), "click", "1" });
            waitForRecord(
                d, [](const Record& r) { return r.count == 0; }, 3000);
        }
        rec = readFile(d);
        QVERIFY2(rec.count == 0, qPrintable(dump(rec)));

        // With the file empty the windows close, and the reminders program
        // ends with its last one; the tray resident runs on.
        QVERIFY(d.waitForNoWindow("^Odstranění připomenutí"));
        QVERIFY(d.waitForNoWindow("^Přehled připomenutí"));
        QVERIFY(waitUntil(10000, [] { return !CommandChannel::answers(ReminderAppTitle); }));
        QCOMPARE(korvel->state(), QProcess::Running);
        QCOMPARE(d.lines(d.dialogLog()), QStringList { "Potvrzení\tOpravdu vybrané připomenutí vymazat?" });
    }
};

QTEST_GUILESS_MAIN(TestRoad)
#include "tst_road.moc"
