// The tray resident's hidden form, real and offscreen, in a temporary program
// folder: codes, pausing, the reminder and sound-only ticks over real files,
// the clock with a set clock and the sound log, the menu and the hotkeys. A
// stand-in for the reminders program (korvel_peer) records what is posted.
#include "platform/clock.h"
#include "platform/commandchannel.h"
#include "platform/datetime.h"
#include "platform/inifile.h"
#include "shared/commands.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"
#include "tray/duereminders.h"
#include "tray/f_skryto.h"
#include "tray/kitmenus.h"
#include "tray/picclip.h"
#include "tray/trayresources.h"

#include "platform/tag.h"

#include "fileopens.h"
#include "testsupport.h"
#include "timezone.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <limits>
#include <memory>

namespace {

QDateTime at(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

QStringList fileLines(const QString& path)
{
    return QString::fromUtf8(readFileBytes(path)).split(u'\n', Qt::SkipEmptyParts);
}

ReminderRecord reminder(const QString& date, const QString& time, int32_t overdue = oaWithinMinutes)
{
    ReminderRecord r;
    r.RemindDate = r.EventDate = date;
    r.RemindTime = r.EventTime = time;
    r.AdvanceKind = akMinutes;
    r.OverdueAction = overdue;
    r.OverdueAmount = 10;
    r.Title = QStringLiteral("Porada");
    return r;
}

ReminderRecord soundOnly(const QString& date, const QString& time, const QString& sound, int32_t window)
{
    ReminderRecord r = reminder(date, time, window);
    r.SoundOnly = true;
    r.RepeatKind = rkWeekly;
    r.Sound1 = sound;
    return r;
}

void process()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace

class TestFSkryt : public QObject {
    Q_OBJECT
    ProcessTimeZone m_zone { "Europe/Prague" };
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<QProcess> m_peer;
    QString m_peerLog;
    QString m_soundLog;

    QString dataFile() const { return m_folder->file("korvel.da1"); }

    void writeFile(const QList<ReminderRecord>& records)
    {
        QFile::remove(dataFile());
        for (int i = 0; i < records.size(); ++i) {
            ReminderRecord r = records[i];
            r.ID = i + 1;
            WriteReminder(i + 1, dataFile(), r);
        }
    }
    ReminderRecord record(int position)
    {
        ReminderRecord r;
        int at = position;
        ReadReminder(at, dataFile(), r);
        return r;
    }
    void setting(const QString& section, const QString& key, const QString& value)
    {
        IniFile(m_folder->iniPath()).writeString(section, key, value);
    }
    QStringList posted() const { return fileLines(m_peerLog); }
    // The pieces played since the log was last cleared, by name.
    QStringList played()
    {
        QStringList names;
        for (const QString& line : fileLines(m_soundLog))
            names << QFileInfo(line).completeBaseName();
        QFile::remove(m_soundLog);
        return names;
    }

private slots:
    void initTestCase()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        m_soundLog = m_folder->file("sound.log");
        qputenv("KORVEL_SOUND_LOG", QFile::encodeName(m_soundLog));
        // The clock's pieces the build made.
        const QString pieces = qEnvironmentVariable("KORVEL_BUILD_DIR") + QStringLiteral("/resources/s_hodiny");
        QDir().mkpath(m_folder->file("s_hodiny"));
        for (QDirIterator it(pieces, { "*.wav" }, QDir::Files); it.hasNext();) {
            const QFileInfo fi(it.next());
            QVERIFY(QFile::copy(fi.filePath(), m_folder->file("s_hodiny/" + fi.fileName())));
        }
        QVERIFY(QFile::exists(m_folder->file("s_hodiny/gong.wav")));

        m_peerLog = m_folder->file("peer.log");
        m_peer = std::make_unique<QProcess>();
        m_peer->start(qEnvironmentVariable("KORVEL_BUILD_DIR") + QStringLiteral("/tests/tools/korvel_peer"),
            { "listen", ReminderAppTitle, m_peerLog });
        QTRY_VERIFY_WITH_TIMEOUT(CommandChannel::answers(ReminderAppTitle), 5000);
    }
    void cleanupTestCase()
    {
        m_peer->terminate();
        m_peer->waitForFinished(3000);
        qunsetenv("KORVEL_SOUND_LOG");
        m_folder.reset();
    }
    void init()
    {
        QFile::remove(m_folder->iniPath());
        QFile::remove(dataFile());
        QFile::remove(m_soundLog);
        QFile::resize(m_peerLog, 0);
    }
    void cleanup() { Clock::reset(); }

    // What a killed program left beside the data file goes at the start.
    void aStartRemovesALeftOverNewFile()
    {
        writeFileBytes(dataFile() + ".new", "half a file");
        TFSkryt form;
        QCOMPARE(form.reminderDataPath, dataFile());
        QVERIFY(!QFile::exists(dataFile() + ".new"));
    }

    void startsRunningWithItsSettings()
    {
        QDir().mkpath(m_folder->file("data"));
        setting("Nastav", "adrdatabaze", m_folder->file("data"));
        setting("Nastav", "pripopak", "7");
        setting("Nastav", "animtray", "0");
        TFSkryt form;
        QCOMPARE(form.objectName(), QStringLiteral("FSkryt"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Korvel-Tray-Selvantrix"));
        QVERIFY(!form.isVisible());
        QCOMPARE(form.programDirectory, m_folder->path());
        QCOMPARE(form.reminderDataPath, m_folder->file("data") + "/korvel.da1");
        QCOMPARE(form.repeatMinutes, 7);
        QCOMPARE(form.lastAnnouncedMinute, -1);
        QCOMPARE(form.paused, quint8(0));
        QVERIFY(!form.TrayIcon->Animated());
        QCOMPARE(form.TrayIcon->Icons().IconCount(), TrayAnimationFrames);
        QCOMPARE(form.TrayIcon->Hint(), QStringLiteral("Korvel-Selvantrix"));
        for (QTimer* t : { &form.TPrip, &form.TPripZvuk, &form.THodiny }) {
            QVERIFY(t->isActive());
            QCOMPARE(t->interval(), 10000);
            QCOMPARE(t->timerType(), Qt::PreciseTimer);
        }
        // The defaults without a settings file.
        QFile::remove(m_folder->iniPath());
        form.NactiIni(m_folder->iniPath());
        QCOMPARE(form.reminderDataPath, m_folder->path() + "/korvel.da1");
        QCOMPARE(form.repeatMinutes, 1);
        QVERIFY(form.TrayIcon->Animated());
    }

    void codesDriveTheTimers()
    {
        TFSkryt form;
        auto intervals = [&] {
            QList<int> r;
            for (QTimer* t : { &form.TPrip, &form.TPripZvuk, &form.THodiny })
                r << (t->isActive() ? t->interval() : -1);
            return r;
        };
        CommandChannel::own().postToSelf(tnPopupConfirmed);
        process();
        QCOMPARE(intervals(), (QList<int> { 1000, 10000, 10000 }));
        CommandChannel::own().postToSelf(tnRemindersChanged);
        CommandChannel::own().postToSelf(tnClockChanged);
        process();
        QCOMPARE(intervals(), (QList<int> { 1000, 1000, 1000 }));
        for (int code : { 0, -1, -6, 9, 100, INT_MIN })
            CommandChannel::own().postToSelf(code);
        process();
        QCOMPARE(intervals(), (QList<int> { 1000, 1000, 1000 }));
        QCOMPARE(form.paused, quint8(0));

        CommandChannel::own().postToSelf(tnPause);
        process();
        QCOMPARE(form.paused, quint8(1));
        QCOMPARE(intervals(), (QList<int> { -1, -1, -1 }));
        QVERIFY(!form.TrayIcon->Animated());
        QCOMPARE(form.TrayIcon->Icon().pixmap(32).toImage(), TrayIconResource("ISTOP").pixmap(32).toImage());
        // Codes 1 to 3 never start a stopped timer.
        for (int code : { 1, 2, 3 })
            CommandChannel::own().postToSelf(code);
        process();
        QCOMPARE(intervals(), (QList<int> { -1, -1, -1 }));

        CommandChannel::own().postToSelf(tnResume);
        process();
        QCOMPARE(form.paused, quint8(0));
        QCOMPARE(intervals(), (QList<int> { 10000, 10000, 10000 }));
        QVERIFY(form.TrayIcon->Animated());
        QCOMPARE(form.TrayIcon->Icon().pixmap(32).toImage(), TrayIconResource("IOK").pixmap(32).toImage());

        // A set clock: the quarter hour may be announced again, all look soon.
        form.lastAnnouncedMinute = 615;
        form.HandleTimeChange();
        QCOMPARE(form.lastAnnouncedMinute, -1);
        QCOMPARE(intervals(), (QList<int> { 1000, 1000, 1000 }));
    }

    void settingsReloadWhilePaused()
    {
        setting("Nastav", "animtray", "0");
        TFSkryt form;
        form.Pozastavit(true);
        setting("Nastav", "animtray", "1");
        setting("Nastav", "pripopak", "3");
        CommandChannel::own().postToSelf(tnReloadSettings);
        process();
        QVERIFY(form.TrayIcon->Animated());
        QCOMPARE(form.repeatMinutes, 3);
        QVERIFY(!form.TPrip.isActive());
        QVERIFY(!form.THodiny.isActive());
        QCOMPARE(form.paused, quint8(1));
    }

    // A left click and the menu item toggle; the item shows the state.
    void theIconAndTheMenuPauseAndResume()
    {
        TFSkryt form;
        using Msg = TKitTrayIcon::MouseMessage;
        form.TrayIcon->HandleMouseMessage(Msg::LButtonDown, QPoint(5, 5), Qt::NoModifier);
        form.TrayIcon->HandleMouseMessage(Msg::LButtonUp, QPoint(5, 5), Qt::NoModifier);
        QCOMPARE(form.paused, quint8(1));
        form.MenuPopup();
        QCOMPARE(form.MPoz->text(), QStringLiteral("Povoli&t"));
        QCOMPARE(tag(form.MPoz), 4);
        form.MPoz->trigger();
        QCOMPARE(form.paused, quint8(0));
        form.MenuPopup();
        QCOMPARE(form.MPoz->text(), QStringLiteral("Pozastavi&t"));
        QCOMPARE(tag(form.MPoz), 3);
        // The middle button does nothing; the right one opens the menu.
        form.TrayIcon->HandleMouseMessage(Msg::MButtonDown, QPoint(5, 5), Qt::NoModifier);
        form.TrayIcon->HandleMouseMessage(Msg::MButtonUp, QPoint(5, 5), Qt::NoModifier);
        QCOMPARE(form.paused, quint8(0));
        form.TrayIcon->HandleMouseMessage(Msg::RButtonDown, QPoint(40, 40), Qt::NoModifier);
        form.TrayIcon->HandleMouseMessage(Msg::RButtonUp, QPoint(40, 40), Qt::NoModifier);
        QTRY_VERIFY(form.Menu->isVisible());
        QCOMPARE(form.paused, quint8(0));
        form.Menu->hide();
    }

    void theMenu()
    {
        TFSkryt form;
        const QList<QAction*> items = form.Menu->actions();
        QStringList names;
        for (QAction* a : items)
            names << a->objectName();
        QCOMPARE(names,
            QStringList({ "MKonec", "MN6", "MSMSpustit", "MSMSPovZak", "MN2", "MOptions", "MPoz", "MN5", "MKalendar",
                "MAktCas", "MN3", "MImport", "MExport", "MN4", "MPrehledK", "MNewK", "MN1", "MPrehled", "MNew" }));
        QCOMPARE(form.Menu->defaultAction(), form.MPrehled);
        QVERIFY(form.MN3->isSeparator());
        QCOMPARE(form.MImport->statusTip(), QStringLiteral("Import připomenutí a kontaktů"));
        QCOMPARE(form.Menu->LeftMargin(), 35);

        // A picture per item by its Tag, none for separators.
        TMenuItemParams params;
        form.MenuGetItemParams(form.MKalendar, params);
        QCOMPARE(params.Graphic.size(), QSize(TrayMenuPictureSize, TrayMenuPictureSize));
        QCOMPARE(params.Graphic.toImage(), form.Clip->GraphicCell(12).toImage());
        TMenuItemParams none;
        form.MenuGetItemParams(form.MN1, none);
        QVERIFY(none.Graphic.isNull());

        // The saver item: switched off by us, its caption offers to switch it
        // on; closing switches it on again.
        form.MSMSPovZak->trigger();
        QCOMPARE(tag(form.MSMSPovZak), 15);
        form.MenuPopup();
        QCOMPARE(form.MSMSPovZak->text(), QStringLiteral("Spořič - povolit"));
        form.MSMSPovZak->trigger();
        form.MenuPopup();
        QCOMPARE(form.MSMSPovZak->text(), QStringLiteral("Spořič - zakázat"));
        form.MSMSPovZak->trigger();
        QSignalSpy closed(&form, &TFSkryt::formClosed);
        form.MKonec->trigger();
        QCOMPARE(closed.size(), 1);
        QCOMPARE(tag(form.MSMSPovZak), 14);
        QVERIFY(!form.closingByRequest);
        QVERIFY(!form.TPrip.isActive());
    }

    // Teal fading to half its strength, and the name in white running upwards
    // from the bottom.
    void theMarginIsPainted()
    {
        TFSkryt form;
        QImage image(35, 320, QImage::Format_RGB32);
        image.fill(Qt::black);
        {
            QPainter p(&image);
            form.MenuDrawMargin(p, image.rect());
        }
        QCOMPARE(image.pixelColor(2, 0), QColor(0, 128, 128));
        QCOMPARE(image.pixelColor(2, 319), QColor(0, 64, 64));
        // The text starts 5 pixels above the bottom and runs up; the edge on
        // the right is the margin's own.
        int text = 0, belowStart = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width() - 3; ++x)
                if (image.pixelColor(x, y) == Qt::white)
                    (y > 315 ? belowStart : text)++;
        QVERIFY(text > 200);
        QCOMPARE(belowStart, 0);
    }

    void codeSevenClosesByRequest()
    {
        TFSkryt form;
        QSignalSpy closed(&form, &TFSkryt::formClosed);
        CommandChannel::own().postToSelf(tnClose);
        process();
        QCOMPARE(closed.size(), 1);
        QVERIFY(form.closingByRequest);
        TFSkryt second;
        QSignalSpy closedToo(&second, &TFSkryt::formClosed);
        CommandChannel::own().postToSelf(tnPauseAndClose);
        process();
        QCOMPARE(closedToo.size(), 1);
        QCOMPARE(second.paused, quint8(1));
        QVERIFY(!second.closingByRequest);
    }

    // ---- reminders ----

    // A due reminder is posted by position, one whose moment passed with
    // nothing to do is erased (the overview is told), and a record that does
    // not parse neither stops the tick nor is touched.
    void aTickPostsDueRemindersAndErasesLapsedOnes()
    {
        ReminderRecord unparsable = reminder("10.3.2025", "1O:00");
        writeFile({ reminder("10.3.2025", "09:00", oaNothing), unparsable, reminder("10.3.2025", "10:00"),
            reminder("10.3.2025", "10:30") });
        FixedClock clock(at(2025, 3, 10, 10, 0, 0, 1));
        TFSkryt form;
        form.TPripTimer();
        QTRY_COMPARE(posted(), (QStringList { "-6 0", "3 0" }));
        const ReminderRecord erased = record(1);
        QVERIFY(erased.Erased);
        QCOMPARE(erased.LastChange, Now());
        QCOMPARE(record(2), [&] {
            ReminderRecord r = unparsable;
            r.ID = 2;
            return r;
        }());
        QVERIFY(!record(3).Erased);
        QVERIFY(form.TPrip.isActive());
        QCOMPARE(form.TPrip.interval(), 60001); // posted again a minute on
    }

    // A code 1 or 2 during a tick is kept: the tick ends looking again within
    // a second, not after the hour its records gave.
    void aCodeDuringTheTickIsKept()
    {
        writeFile({ reminder("11.3.2025", "10:00") });
        FixedClock clock(at(2025, 3, 10, 10, 0));
        TFSkryt form;
        form.TPripTimer();
        QCOMPARE(form.TPrip.interval(), 3600001);
        CommandChannel::own().postToSelf(tnPopupConfirmed); // arrives inside the tick's first record
        form.TPripTimer();
        QVERIFY(form.TPrip.isActive());
        QCOMPARE(form.TPrip.interval(), 1000);
        CommandChannel::own().postToSelf(tnRemindersChanged);
        form.TPripZvukTimer();
        QCOMPARE(form.TPripZvuk.interval(), 1000);
        form.TPripZvukTimer();
        QCOMPARE(form.TPripZvuk.interval(), 3600001);
    }

    // Paused in the middle of a tick: it stops and leaves its timer off.
    void aPauseStopsTheTick()
    {
        writeFile({ reminder("10.3.2025", "10:00"), reminder("10.3.2025", "10:00") });
        FixedClock clock(at(2025, 3, 10, 10, 0));
        TFSkryt form;
        CommandChannel::own().postToSelf(tnPause);
        form.TPripTimer();
        QVERIFY(!form.TPrip.isActive());
        QTest::qWait(200);
        QVERIFY(posted().isEmpty());
    }

    // The reminders program changed the record while the tick ran: its
    // change stands, and the tick looks again soon.
    void aRecordChangedMeanwhileIsNotOverwritten()
    {
        writeFile({ reminder("10.3.2025", "09:00", oaNothing) });
        FixedClock clock(at(2025, 3, 10, 10, 0));
        TFSkryt form;
        QTimer::singleShot(0, this, [&] {
            ReminderRecord r = record(1);
            r.RemindDate = r.EventDate = "11.3.2025";
            WriteReminder(1, dataFile(), r);
        });
        form.TPripTimer();
        QCOMPARE(record(1).EventDate, QStringLiteral("11.3.2025"));
        QVERIFY(!record(1).Erased);
        QCOMPARE(form.TPrip.interval(), 1000);
    }

    // The file shrinks under the tick: the positions past its end are not
    // due, nothing is written, and the tick re-arms.
    void aFileShrinkingUnderTheTick()
    {
        QList<ReminderRecord> many;
        for (int i = 0; i < 1000; ++i)
            many << reminder("11.3.2025", "10:00");
        many << reminder("10.3.2025", "10:00");
        writeFile(many);
        FixedClock clock(at(2025, 3, 10, 10, 0));
        TFSkryt form;
        QTimer::singleShot(0, this, [&] { QFile::resize(dataFile(), 10 * ReminderRecord::Size); });
        form.TPripTimer();
        QVERIFY(form.TPrip.isActive());
        QCOMPARE(form.TPrip.interval(), 1000);
        QCOMPARE(ReminderCount(dataFile()), 10);
        QTest::qWait(200);
        QVERIFY(posted().isEmpty());
    }

    void aFileOfTheOldLayoutIsHandedForConversion()
    {
        // Zero where the current layout carries its mark (-1): an older one.
        QByteArray old(1388 * 2, '\0');
        writeFileBytes(dataFile(), old);
        TFSkryt form;
        form.TPripTimer();
        QCOMPARE(form.paused, quint8(1));
        QVERIFY(!form.TPrip.isActive());
        QVERIFY(!form.TPripZvuk.isActive());
        QTRY_COMPARE(posted(), QStringList { "-11 0" });
    }

    void aSoundOnlyReminderPlaysAndMovesOn()
    {
        writeFile({ soundOnly("10.3.2025", "08:00", "\\s_hodiny\\gong.wav", oaWithinMinutes),
            soundOnly("10.3.2025", "08:30", "\\s_hodiny\\1.wav", oaNothing) });
        FixedClock clock(at(2025, 3, 10, 8, 0, 5));
        TFSkryt form;
        form.TPripZvukTimer();
        QCOMPARE(fileLines(m_soundLog), QStringList { m_folder->file("s_hodiny/gong.wav") });
        QCOMPARE(record(1).EventDate, QStringLiteral("17.3.2025"));
        QCOMPARE(record(1).LastChange, Now());
        QCOMPARE(record(2).EventDate, QStringLiteral("10.3.2025"));
        QTRY_COMPARE(posted(), QStringList { "-6 0" });
        QCOMPARE(form.TPripZvuk.interval(), 30 * 60000 - 5000 + 1);
    }

    // A file that exists but never plays: tried every ten seconds, then, at
    // the third failure, moved on as if played.
    void aSoundThatNeverPlaysMovesOn()
    {
        writeFileBytes(m_folder->file("broken.wav"), QByteArray("RIFF and then nothing a decoder could use"));
        writeFile({ soundOnly("10.3.2025", "08:00", "\\broken.wav", oaAsSoonAsPossible) });
        FixedClock clock(at(2025, 3, 10, 8, 0, 5));
        TFSkryt form;
        for (int tick = 1; tick < 3; ++tick) {
            form.TPripZvukTimer();
            QCOMPARE(form.TPripZvuk.interval(), 10000);
            QCOMPARE(record(1).EventDate, QStringLiteral("10.3.2025"));
            Clock::advance(10000);
        }
        form.TPripZvukTimer();
        QCOMPARE(record(1).EventDate, QStringLiteral("17.3.2025"));
        QCOMPARE(form.TPripZvuk.interval(), 3600001);
    }

    // The night summer time starts (29.3.2026, 02:00 CET jumps to 03:00 CEST):
    // a reminder and a sound stored for 02:30 fall due when the clock jumps,
    // and over the hour from 01:30 each timer wakes only when there is work,
    // never spinning on a moment that does not exist.
    void theSkippedHourFallsDueWhenTheClockJumps()
    {
        writeFile(
            { reminder("29.3.2026", "02:30"), soundOnly("29.3.2026", "02:30", "\\s_hodiny\\gong.wav", oaNothing) });
        FixedClock clock(at(2026, 3, 29, 1, 30));
        TFSkryt form;
        FileOpenCounter opens(dataFile());
        const qint64 halfHour = 30 * 60000;

        form.TPripTimer();
        QCOMPARE(form.TPrip.interval(), halfHour + 1);
        // At 03:00 it is due and posted each minute within its ten minutes;
        // past them the timer sleeps its longest.
        const int ticks = 1 + RunTimer(form.TPrip, 3600000, [&] { form.TPripTimer(); });
        QCOMPARE(ticks, 1 + 11);
        QTRY_VERIFY(posted().contains(QStringLiteral("1 0")));
        QCOMPARE(form.TPrip.interval(), MaxReminderInterval);
        const int reminderReads = opens.count();
        qInfo("reminder timer: %d ticks, %d opens of the file in the hour", ticks, reminderReads);
        QVERIFY2(reminderReads <= 3 * ticks, qPrintable(QString::number(reminderReads)));

        Clock::setNow(at(2026, 3, 29, 1, 30));
        form.TPripZvukTimer();
        QCOMPARE(form.TPripZvuk.interval(), halfHour + 1);
        QCOMPARE(RunTimer(form.TPripZvuk, 3600000, [&] { form.TPripZvukTimer(); }), 1);
        QCOMPARE(played(), QStringList { "gong" });
        QCOMPARE(Clock::now(), QDateTime(QDate(2026, 3, 29), QTime(3, 0, 0, 1)));
        QCOMPARE(record(2).EventDate, QStringLiteral("5.4.2026"));
        qInfo("sound timer: 2 ticks, %d opens of the file in the hour", opens.count() - reminderReads);
        QVERIFY(opens.count() - reminderReads <= 3 * 2);
    }

    // The same night for the clock: full hours on, 02:00 does not exist; the
    // timer sleeps to 03:00, says it, then sleeps to 04:00.
    void theClockSleepsOverTheSkippedHour()
    {
        setting("Hodiny", "00anone", "1");
        FixedClock clock(at(2026, 3, 29, 1, 30));
        TFSkryt form;
        FileOpenCounter opens(m_folder->iniPath());
        form.THodinyTimer();
        QCOMPARE(form.THodiny.interval(), 30 * 60000 + 1);
        QCOMPARE(RunTimer(form.THodiny, 3600000, [&] { form.THodinyTimer(); }), 1);
        QCOMPARE(played(), QStringList { "3" });
        QCOMPARE(form.THodiny.interval(), 3600000);
        qInfo("clock: 2 ticks, %d opens of the settings in the hour", opens.count());
        // Each tick reads a few settings, each read opening the file.
        QVERIFY2(opens.count() <= 2 * 10, qPrintable(QString::number(opens.count())));
    }

    // Advances and amounts that are damage (an absolute advance of 1e300, NaN,
    // far before the year 100) place no pop-up: never due, and the timer
    // sleeps its hour instead of re-reading the file every millisecond.
    void damagedAdvancesNeverDriveTheTimer_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("amount");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("absolute 1e300") << int(akAbsolute) << 1e300;
        QTest::newRow("absolute -1e300") << int(akAbsolute) << -1e300;
        QTest::newRow("absolute NaN") << int(akAbsolute) << nan;
        QTest::newRow("absolute year 50") << int(akAbsolute) << EncodeDate(50, 1, 1);
        QTest::newRow("days 1e300") << int(akDays) << 1e300;
        QTest::newRow("days -inf") << int(akDays) << -std::numeric_limits<double>::infinity();
        QTest::newRow("hours NaN") << int(akHours) << nan;
    }
    void damagedAdvancesNeverDriveTheTimer()
    {
        QFETCH(int, kind);
        QFETCH(double, amount);
        ReminderRecord damaged = reminder("10.3.2025", "12:00");
        damaged.AdvanceKind = kind;
        damaged.AdvanceAmount = amount;
        writeFile({ damaged });
        FixedClock clock(at(2025, 3, 10, 10, 0));
        TFSkryt form;
        FileOpenCounter opens(dataFile());
        form.TPripTimer();
        QCOMPARE(form.TPrip.interval(), 3600001);
        QCOMPARE(RunTimer(form.TPrip, 3600000, [&] { form.TPripTimer(); }), 0);
        QVERIFY(opens.count() <= 3);
        const DueTest test = IsReminderDue(record(1), Now());
        QCOMPARE(test.verdict, DueVerdict::NotDue);
        QVERIFY(!test.start);
        QVERIFY(!record(1).Erased);
    }

    // ---- clock ----

    // All four quarters on, the gong at the full hour, the words at a
    // quarter past and to, the 12-hour setting: each quarter hour of a day
    // says what it should, once, and the timer aims at the next quarter.
    void everyQuarterHourOfADay()
    {
        for (const char* mm : { "00", "15", "30", "45" })
            setting("Hodiny", QString(mm) + "anone", "1");
        setting("Hodiny", "00gong", "1");
        setting("Hodiny", "15slova", "1");
        setting("Hodiny", "45slova", "1");
        setting("Hodiny", "cyklus24", "0");
        FixedClock clock(at(2025, 5, 6, 0, 0, 0, 1));
        TFSkryt form;
        for (int q = 0; q < 96; ++q) {
            const int h = q / 4, m = q % 4 * 15;
            Clock::setNow(at(2025, 5, 6, h, m, 0, 1));
            form.THodinyTimer();
            const int n = h > 12 ? h - 12 : h;
            const QString word = n == 1 ? "hodina" : n >= 2 && n <= 4 ? "hodiny" : "hodin";
            QStringList expected;
            switch (m) {
            case 0:
                expected = { "gong", QString::number(n) };
                break;
            case 30:
                expected = { QString::number(n), "30" };
                break;
            default:
                expected = { QString::number(n), word, QString::number(m), "minut" };
                break;
            }
            QCOMPARE(played(), expected);
            QCOMPARE(form.lastAnnouncedMinute, h * 60 + m);
            QVERIFY(form.THodiny.isActive());
            QCOMPARE(form.THodiny.interval(), 900000);
        }
        // Spot checks written out.
        Clock::setNow(at(2025, 5, 7, 13, 15, 0, 1));
        form.THodinyTimer();
        QCOMPARE(played(), QStringList({ "1", "hodina", "15", "minut" }));
        Clock::setNow(at(2025, 5, 7, 0, 0, 0, 1));
        form.THodinyTimer();
        QCOMPARE(played(), QStringList({ "gong", "0" }));
    }

    void aQuarterIsAnnouncedOnce()
    {
        setting("Hodiny", "15anone", "1");
        FixedClock clock(at(2025, 5, 6, 10, 15, 0, 1));
        TFSkryt form;
        form.THodinyTimer();
        QCOMPARE(played(), QStringList({ "10", "15" }));
        QCOMPARE(form.THodiny.interval(), 3600000); // 11:15 is an hour on
        Clock::setNow(at(2025, 5, 6, 10, 15, 30));
        form.THodinyTimer();
        QVERIFY(played().isEmpty());
        // A set clock: the same quarter again.
        form.HandleTimeChange();
        QCOMPARE(form.THodiny.interval(), 1000);
        form.THodinyTimer();
        QCOMPARE(played(), QStringList({ "10", "15" }));
        // Late within its minute (a long sound held the program): still said.
        Clock::setNow(at(2025, 5, 6, 11, 15, 59, 900));
        form.THodinyTimer();
        QCOMPARE(played(), QStringList({ "11", "15" }));
        // A minute late it is gone; the timer aims at the next one.
        Clock::setNow(at(2025, 5, 6, 12, 16));
        form.THodinyTimer();
        QVERIFY(played().isEmpty());
        QCOMPARE(form.THodiny.interval(), 59 * 60000 + 1);
        // A quarter switched off is handled, but silent.
        Clock::setNow(at(2025, 5, 6, 12, 30));
        form.THodinyTimer();
        QVERIFY(played().isEmpty());
        QCOMPARE(form.lastAnnouncedMinute, 12 * 60 + 30);
    }

    void nothingSwitchedOnWakesHourly()
    {
        FixedClock clock(at(2025, 5, 6, 10, 0, 0, 1));
        TFSkryt form;
        form.THodinyTimer();
        QVERIFY(played().isEmpty());
        QCOMPARE(form.THodiny.interval(), 3600000);
        // Only the full hour at 23:50: one millisecond past midnight.
        setting("Hodiny", "00anone", "1");
        Clock::setNow(at(2025, 5, 6, 23, 50));
        form.THodinyTimer();
        QCOMPARE(form.THodiny.interval(), 600001);
    }

    void aPausedClockSaysNothing()
    {
        setting("Hodiny", "00anone", "1");
        FixedClock clock(at(2025, 5, 6, 10, 0, 0, 1));
        TFSkryt form;
        form.Pozastavit(true);
        form.THodinyTimer();
        QVERIFY(played().isEmpty());
        QVERIFY(!form.THodiny.isActive());
        QCOMPARE(form.lastAnnouncedMinute, -1);
    }

    // On demand, also while paused, from the menu and by hotkey 3.
    void theTimeOnDemand()
    {
        setting("Hodiny", "ACslova", "1");
        FixedClock clock(at(2025, 5, 6, 14, 32, 10));
        TFSkryt form;
        form.Pozastavit(true);
        form.MAktCas->trigger();
        QCOMPARE(played(), QStringList({ "14", "hodin", "30", "2_", "minut" }));
        setting("Hodiny", "cyklus24", "0");
        setting("Hodiny", "ACslova", "0");
        Clock::setNow(at(2025, 5, 6, 13, 0));
        form.HandleHotKey(3);
        QCOMPARE(played(), QStringList({ "1" }));
    }

    // ---- hotkeys ----

    // Without an X server no hotkey can be had: each configured one counts
    // as a failure, written to "chyba" and reported with -12; a text that is
    // no shortcut is passed over.
    void hotkeysThatCannotBeHadAreCounted()
    {
        setting("Klaves", "1", "Ctrl+Alt+N");
        setting("Klaves", "2", "Foo+");
        setting("Klaves", "5", "Shift+F5");
        TFSkryt form;
        QCOMPARE(IniFile(m_folder->iniPath()).readInteger("Klaves", "chyba", -1), 2);
        QTRY_COMPARE(posted(), QStringList { "-12 0" });
        setting("Klaves", "1", "");
        setting("Klaves", "5", "");
        form.HandleAppMessage(tnReloadSettings, 0);
        QCOMPARE(IniFile(m_folder->iniPath()).readInteger("Klaves", "chyba", -1), 0);
    }

    void aHotkeyRunsItsItem()
    {
        TFSkryt form;
        form.Pozastavit(true);
        form.HandleHotKey(1);
        form.HandleHotKey(2);
        form.HandleHotKey(6);
        form.HandleHotKey(7);
        form.HandleHotKey(0);
        QTRY_COMPARE(posted(), (QStringList { "-1 0", "-2 0", "-13 0" }));
        // The menu state was brought up to date first.
        QCOMPARE(form.MPoz->text(), QStringLiteral("Povoli&t"));
    }

    // Started with the automatic exchange on and due: paused at once, and the
    // reminders program is asked to import.
    void anAutomaticImportStartsPaused()
    {
        setting("Nastav", "autoexpimp", "1");
        TFSkryt form;
        QCOMPARE(form.paused, quint8(1));
        QVERIFY(!form.TPrip.isActive());
        QTRY_COMPARE(posted(), QStringList { "-9 0" });
        QVERIFY(form.TPauzaLimit.isActive());
        CommandChannel::own().postToSelf(tnResume);
        process();
        QCOMPARE(form.paused, quint8(0));
        QVERIFY(form.TPrip.isActive());
        QVERIFY(!form.TPauzaLimit.isActive());
        // A 5 that never comes: after a bounded wait the program resumes by
        // itself. A pause of the user's own waits for no 5.
        CommandChannel::own().postToSelf(tnPause);
        process();
        QCOMPARE(form.TPauzaLimit.interval(), 5 * 60 * 1000);
        QVERIFY(QMetaObject::invokeMethod(&form.TPauzaLimit, "timeout"));
        QCOMPARE(form.paused, quint8(0));
        QVERIFY(form.TPrip.isActive());
        form.MPozClick();
        QCOMPARE(form.paused, quint8(1));
        QVERIFY(!form.TPauzaLimit.isActive());
    }

    // ---- the end of the session ----

    // Without the automatic exchange nothing is refused or posted; the
    // session manager is not even asked whether it could be refused.
    void anEndOfTheSessionWithoutTheExchangePasses()
    {
        TFSkryt form;
        QSignalSpy closed(&form, &TFSkryt::formClosed);
        int asked = 0;
        QVERIFY(form.HandleQueryEndSession({ false, [&] { return ++asked, true; } }));
        QCOMPARE(asked, 0);
        QCOMPARE(closed.size(), 0); // the session manager ends it, or not
        QVERIFY(form.HandleQueryEndSession({ true, [&] { return ++asked, true; } }));
        QCOMPARE(closed.size(), 1);
        QCOMPARE(asked, 0);
        process();
        QCOMPARE(posted(), QStringList());
    }

    // Where the session manager lets it: the first request is refused, the
    // export asked for a moment later, the next request passes, and the
    // program ends as soon as the export window is open.
    void theFirstEndOfTheSessionIsRefusedForTheExport()
    {
        setting("Nastav", "autoexpimp", "1");
        setting("FImport", "autodatum", "1.1.2000");
        setting("FImport", "autocas", "0:00:00");
        setting("FImport", "kautodatum", "1.1.2000");
        setting("FImport", "kautocas", "0:00:00");
        TFSkryt form;
        QCOMPARE(form.paused, quint8(0)); // nothing was due at the start
        QSignalSpy closed(&form, &TFSkryt::formClosed);
        QVERIFY(!form.HandleQueryEndSession({ false, [] { return true; } }));
        QVERIFY(form.TAkceKonec.isActive());
        QCOMPARE(form.TAkceKonec.interval(), 100);
        QCOMPARE(form.paused, quint8(0));
        QTRY_COMPARE(posted(), QStringList { "-10 0" });
        QVERIFY(!form.TAkceKonec.isActive());
        QCOMPARE(form.paused, quint8(1));
        int asked = 0;
        QVERIFY(form.HandleQueryEndSession({ false, [&] { return ++asked, true; } }));
        QCOMPARE(asked, 0);
        QCOMPARE(closed.size(), 0);
        CommandChannel::own().postToSelf(tnClose);
        QTRY_COMPARE(closed.size(), 1);
        QVERIFY(!form.TKonecLimit.isActive());
    }

    // SIGTERM, or a session manager that allows no refusal: the export is
    // asked for at once, and the program ends when it has run (its 8, or its
    // own 7 after the one that says the window is open), not before. A
    // session manager's request is answered only then.
    void anEndThatCannotBeRefusedWaitsForTheExport_data()
    {
        QTest::addColumn<bool>("fromSignal");
        QTest::addColumn<int>("exportEnd");
        QTest::newRow("signal, export ends the tray") << true << int(tnPauseAndClose);
        QTest::newRow("signal, export then 7") << true << int(tnClose);
        QTest::newRow("session manager, export ends the tray") << false << int(tnPauseAndClose);
        QTest::newRow("session manager, export then 7") << false << int(tnClose);
    }
    void anEndThatCannotBeRefusedWaitsForTheExport()
    {
        QFETCH(bool, fromSignal);
        QFETCH(int, exportEnd);
        setting("Nastav", "autoexpimp", "1");
        TFSkryt form;
        QTRY_COMPARE(posted(), QStringList { "-9 0" });
        QFile::resize(m_peerLog, 0);
        QSignalSpy closed(&form, &TFSkryt::formClosed);
        QList<int> heardBeforeAnswer;
        // The reminders program's answers, in the order it sends them.
        QTimer::singleShot(0, &form, [&] {
            CommandChannel::own().postToSelf(tnClose);
            CommandChannel::own().postToSelf(tnPause);
            QTimer::singleShot(50, &form, [&] {
                heardBeforeAnswer << int(closed.size());
                CommandChannel::own().postToSelf(exportEnd);
            });
        });
        int asked = 0;
        QVERIFY(form.HandleQueryEndSession({ fromSignal, [&] { return ++asked, false; } }));
        QCOMPARE(asked, fromSignal ? 0 : 1);
        QTRY_COMPARE(posted(), QStringList { "-10 0" });
        QCOMPARE(form.paused, quint8(1));
        if (fromSignal) {
            QVERIFY(form.TKonecLimit.isActive());
            QCOMPARE(form.TKonecLimit.interval(), 20000);
        }
        QTRY_COMPARE(heardBeforeAnswer, QList<int> { 0 }); // the first 7 did not end it
        QTRY_COMPARE(closed.size(), 1);
        QVERIFY(!form.TKonecLimit.isActive());
        process();
    }

    // A reminders program that never answers holds the end 20 s at most.
    void anEndThatCannotBeRefusedIsBounded()
    {
        setting("Nastav", "autoexpimp", "1");
        TFSkryt form;
        QSignalSpy closed(&form, &TFSkryt::formClosed);
        QVERIFY(form.HandleQueryEndSession({ true, [] { return false; } }));
        CommandChannel::own().postToSelf(tnClose); // the window opened, the export never ran
        process();
        QCOMPARE(closed.size(), 0);
        QVERIFY(form.TKonecLimit.isActive());
        QCOMPARE(form.TKonecLimit.interval(), 20000);
        QVERIFY(QMetaObject::invokeMethod(&form.TKonecLimit, "timeout"));
        QCOMPARE(closed.size(), 1);
        // A second signal afterwards finds the export asked for and ends.
        TFSkryt again;
        QSignalSpy closedAgain(&again, &TFSkryt::formClosed);
        again.closingByRequest = true;
        QVERIFY(again.HandleQueryEndSession({ true, [] { return false; } }));
        QCOMPARE(closedAgain.size(), 1);
    }
};

QTEST_MAIN(TestFSkryt)
#include "tst_fskryto.moc"
