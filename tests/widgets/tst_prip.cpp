// The reminder pop-up: its rules over plain values, and the real window on
// real reminder files, opened through the program's hub as the tray's posts
// open it.
#include "reminders/ruvo_okna.h"
#include "reminders/ruvo_prip.h"
#include "reminders/ruvo_prip_pravidla.h"
#include "reminders/ruvo_zaklad.h"

#include "components/alabel.h"
#include "components/amedit.h"
#include "components/formrgn.h"
#include "components/kitspin.h"
#include "platform/clock.h"
#include "platform/commandchannel.h"
#include "platform/cp1250.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/inifile.h"
#include "platform/tag.h"
#include "shared/commands.h"
#include "shared/exchangefiles.h"
#include "shared/f_p.h"
#include "shared/reminderdates.h"
#include "shared/reminderfile.h"

#include "faketray.h"
#include "remindersprogram.h"
#include "testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QtEndian>

#include <cmath>
#include <limits>
#include <memory>

namespace {

const QDateTime T0(QDate(2024, 3, 5), QTime(14, 7, 0));

double At(int y, int mo, int d, int h, int mi, int s = 0)
{
    return QDateTimeToDateTime(QDateTime(QDate(y, mo, d), QTime(h, mi, s)));
}

// A real sound file libsndfile reads: a short 16-bit mono PCM WAV.
void WriteWav(const QString& path)
{
    QByteArray data(800, '\0');
    QByteArray wav;
    const auto u32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        wav.append(b, 4);
    };
    const auto u16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        wav.append(b, 2);
    };
    wav.append("RIFF");
    u32(36 + data.size());
    wav.append("WAVEfmt ");
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(8000);
    u32(16000);
    u16(2);
    u16(16);
    wav.append("data");
    u32(data.size());
    wav.append(data);
    writeFileBytes(path, wav);
}

// The overview as the hub refreshes it.
class StandInOverview : public QWidget, public ReminderOverview {
public:
    StandInOverview() { setObjectName(QStringLiteral("FPrehled")); }
    void Aktualizuj() override { ++Refreshes; }
    int Refreshes = 0;
};

// A reminder due now whose event lies 23 minutes ahead, 90 minutes long.
ReminderRecord Reminder(int id, const QString& title = QStringLiteral("Zubař"))
{
    ReminderRecord r;
    r.ID = id;
    r.Created = 45000.25 + id;
    r.Transferable = true;
    r.RemindDate = QStringLiteral("5.3.2024");
    r.RemindTime = QStringLiteral("14:05");
    r.EventDate = QStringLiteral("5.3.2024");
    r.EventTime = QStringLiteral("14:30");
    r.RepeatKind = rkNone;
    r.AdvanceKind = akMinutes;
    r.AdvanceAmount = 25;
    r.OverdueAction = oaWithinHours;
    r.OverdueAmount = 2;
    r.Description1 = QStringLiteral("Přinést kartičku\r\npojišťovny");
    r.Title = title;
    r.LastChange = 45000;
    r.NextKind = nkHours;
    r.NextAmount = 3;
    r.LengthKind = lkMinutes;
    r.Length = 90 / MinsPerDay;
    return r;
}

} // namespace

class TestPrip : public QObject {
    Q_OBJECT

    std::unique_ptr<RemindersProgram> m_program;
    std::unique_ptr<QSignalSpy> m_closed;
    QString m_soundLog;

    QString DataPath() const { return m_program->dataPath(); }

    void WriteFile(const QList<ReminderRecord>& records)
    {
        QFile::remove(DataPath());
        for (int i = 0; i < records.size(); ++i)
            WriteReminder(i + 1, DataPath(), records[i]);
    }
    ReminderRecord Stored(int position)
    {
        ReminderRecord r;
        int n = position;
        ReadReminder(n, DataPath(), r);
        return r;
    }
    // The pop-up of a position, opened by the hub as a post of the tray opens it.
    TFPrip* Open(int position)
    {
        m_program->hub().HandleReminderCommand(position);
        return dynamic_cast<TFPrip*>(FindPopup(position));
    }
    template <class T> T* Child(TFPrip* popup, const char* name)
    {
        T* c = popup->findChild<T*>(QLatin1String(name));
        if (!c)
            qFatal("no control %s", name);
        return c;
    }
    void Choose(TFPrip* popup, const char* combo, int kind)
    {
        Child<QComboBox>(popup, combo)->setCurrentIndex(kind - 1);
    }
    QString Text(TFPrip* popup, const char* edit) { return Child<QLineEdit>(popup, edit)->text(); }
    QStringList Sounds() const { return QString::fromUtf8(readFileBytes(m_soundLog)).split(u'\n', Qt::SkipEmptyParts); }
    bool Ended() const { return !m_closed->isEmpty(); }
private slots:
    void initTestCase()
    {
        QCOMPARE(CommandChannel::own().listen(ReminderAppTitle), CommandChannel::ListenResult::Listening);
        ReminderForms().Register(QStringLiteral("FPrip"), [](OpenMode) { return new TFPrip; });
    }

    void init()
    {
        m_program = std::make_unique<RemindersProgram>(T0);
        m_soundLog = m_program->file(QStringLiteral("sound.log"));
        qputenv("KORVEL_SOUND_LOG", QFile::encodeName(m_soundLog));
        m_closed = std::make_unique<QSignalSpy>(&m_program->hub(), &TFZaklad::Closed);
    }

    void cleanup()
    {
        m_program->closeWindows();
        m_closed.reset();
        m_program.reset();
        qunsetenv("KORVEL_SOUND_LOG");
    }

    // --- the rules over plain values ---

    void nextTime_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("amount");
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<double>("expected");
        const double now = At(2024, 3, 5, 14, 7);
        const double event = At(2024, 3, 10, 9, 30);
        QTest::newRow("minutes from now") << 1 << 1 << false << now + OneMinute;
        QTest::newRow("minutes from the event") << 1 << 90 << true << At(2024, 3, 10, 11, 0);
        QTest::newRow("hours across midnight") << 2 << 10 << false << At(2024, 3, 6, 0, 7);
        QTest::newRow("days over the leap day") << 3 << 7 << true << At(2024, 3, 17, 9, 30);
        QTest::newRow("days from now") << 3 << 30 << false << At(2024, 4, 4, 14, 7);
        QTest::newRow("years") << 4 << 2 << true << At(2026, 3, 10, 9, 30);
        QTest::newRow("absolute ignores both bases") << 5 << 1 << true << At(2024, 3, 8, 8, 0);
        QTest::newRow("absolute in further mode") << 5 << 1 << false << At(2024, 3, 8, 8, 0);
        QTest::newRow("minutes before the event") << 6 << 45 << false << At(2024, 3, 10, 8, 45);
        QTest::newRow("hours before the event") << 7 << 10 << false << At(2024, 3, 9, 23, 30);
        QTest::newRow("days before the event") << 8 << 10 << false << At(2024, 2, 29, 9, 30);
        QTest::newRow("before the event ignores the mode") << 8 << 1 << true << At(2024, 3, 9, 9, 30);
        QTest::newRow("unknown kind counts minutes") << 0 << 5 << false << now + 5 * OneMinute;
        QTest::newRow("kind beyond the list counts minutes") << 9 << 5 << true << event + 5 * OneMinute;
    }
    void nextTime()
    {
        QFETCH(int, kind);
        QFETCH(int, amount);
        QFETCH(bool, repeat);
        QFETCH(double, expected);
        NextTimeSetting s;
        s.Kind = kind;
        s.Amount = amount;
        s.RepeatMode = repeat;
        s.EventStart = At(2024, 3, 10, 9, 30);
        s.Absolute = At(2024, 3, 8, 8, 0);
        QCOMPARE(qRound64(DejNewCas(s, At(2024, 3, 5, 14, 7)) * MSecsPerDay), qRound64(expected * MSecsPerDay));
    }

    void nextYearOfLeapDayIsThe28th()
    {
        NextTimeSetting s;
        s.Kind = nkYears;
        s.Amount = 1;
        s.RepeatMode = true;
        s.EventStart = At(2024, 2, 29, 18, 0);
        QCOMPARE(DateTimeToQDateTime(DejNewCas(s, 0)), QDateTime(QDate(2025, 2, 28), QTime(18, 0)));
        s.Amount = 4;
        QCOMPARE(DateTimeToQDateTime(DejNewCas(s, 0)), QDateTime(QDate(2028, 2, 29), QTime(18, 0)));
        // The spin edit offers up to 10000 years; the calendar ends with 9999.
        s.Amount = 10000;
        QCOMPARE(DateTimeToQDateTime(DejNewCas(s, 0)), QDateTime(QDate(9999, 2, 28), QTime(18, 0)));
        s.Amount = -3000;
        QCOMPARE(DateTimeToQDateTime(DejNewCas(s, 0)).date().year(), 1);
    }

    void eventLength()
    {
        const double start = At(2024, 3, 10, 9, 30);
        QCOMPARE(DejDelku({ lkMinutes, 90, 0 }, start), 90 / MinsPerDay);
        QCOMPARE(DejDelku({ lkHours, 36, 0 }, start), 1.5);
        QCOMPARE(DejDelku({ lkDays, 3, 0 }, start), 3.0);
        QCOMPARE(DejDelku({ lkMinutes, 0, 0 }, start), 0.0);
        const double end = At(2024, 3, 10, 11, 0);
        QCOMPARE(qRound64(DejDelku({ lkEndDateTime, 0, end }, start) * MinsPerDay), 90);
        // An end before the reference gives a negative length, which a
        // confirmation refuses.
        QVERIFY(DejDelku({ lkEndDateTime, 0, end }, At(2024, 3, 17, 9, 30)) < 0);
    }

    void shownLengthIsTheWholeLength()
    {
        QCOMPARE(LengthAmount(lkMinutes, 90 / MinsPerDay), 90);
        QCOMPARE(LengthAmount(lkMinutes, 1.0), 1440);
        QCOMPARE(LengthAmount(lkHours, 1.5), 36);
        QCOMPARE(LengthAmount(lkHours, 50 * OneMinute), 1);
        QCOMPARE(LengthAmount(lkDays, 2.99), 2);
        QCOMPARE(LengthAmount(lkEndDateTime, 2.0), 0);
        QCOMPARE(LengthAmount(lkMinutes, -1.0), 0);
        QCOMPARE(LengthAmount(lkMinutes, std::numeric_limits<double>::quiet_NaN()), 0);
        QCOMPARE(LengthAmount(lkMinutes, 1e300), std::numeric_limits<int32_t>::max());
    }

    void loadedValuesAreKeptInRange()
    {
        QCOMPARE(LoadedLengthKind(0), 1);
        QCOMPARE(LoadedLengthKind(-3), 1);
        QCOMPARE(LoadedLengthKind(5), 1);
        QCOMPARE(LoadedLengthKind(4), 4);
        QCOMPARE(LoadedNextKind(0), 1);
        QCOMPARE(LoadedNextKind(-7), 1);
        QCOMPARE(LoadedNextKind(3), 3);
        QCOMPARE(LoadedNextKind(8), 5);
        QCOMPARE(LoadedNextAmount(-0.5), 0.0);
        QCOMPARE(LoadedNextAmount(std::numeric_limits<double>::quiet_NaN()), 0.0);
        QCOMPARE(LoadedNextAmount(std::numeric_limits<double>::infinity()), 36500.0);
        QCOMPARE(LoadedNextAmount(40000), 36500.0);
        QCOMPARE(LoadedNextAmount(7.25), 7.25);
    }

    void confirmRules_data()
    {
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<double>("newTime");
        QTest::addColumn<int>("advanceKind");
        QTest::addColumn<double>("advance");
        QTest::addColumn<int>("message");
        const double now = At(2024, 3, 5, 14, 7);
        const double event = At(2024, 3, 5, 14, 30);
        QTest::newRow("further: a minute on") << false << now + OneMinute << 1 << 0.0 << 0;
        QTest::newRow("further: exactly the event") << false << event << 1 << 0.0 << 0;
        QTest::newRow("further: in the past is taken") << false << now - 1.0 << 1 << 0.0 << 0;
        QTest::newRow("further: after the event") << false << event + OneMinute << 1 << 0.0 << 4;
        QTest::newRow("further ignores the advance") << false << now + OneMinute << 4 << now - 1.0 << 0;
        QTest::newRow("repeat: tomorrow, 25 minutes ahead") << true << now + 1.0 << 1 << 25.0 << 0;
        QTest::newRow("repeat: first pop-up already past") << true << now + 20 * OneMinute << 1 << 25.0 << 3;
        QTest::newRow("repeat: first pop-up exactly now") << true << now + 25 * OneMinute << 1 << 25.0 << 0;
        QTest::newRow("repeat: hours ahead past") << true << now + 1.0 << 2 << 25.0 << 3;
        QTest::newRow("repeat: absolute after the new time") << true << now + 1.0 << 4 << now + 2.0 << 1;
        QTest::newRow("repeat: absolute already past") << true << now + 1.0 << 4 << now - OneMinute << 2;
        QTest::newRow("repeat: absolute between") << true << now + 1.0 << 4 << now + 0.5 << 0;
        QTest::newRow("repeat: new time in the past") << true << now - OneMinute << 4 << now - OneMinute << 2;
        QTest::newRow("repeat: new time now") << true << now << 1 << 0.0 << 0;
        QTest::newRow("repeat: past new time, no advance") << true << now - OneMinute << 3 << -1.0 << 4;
    }
    void confirmRules()
    {
        QFETCH(bool, repeat);
        QFETCH(double, newTime);
        QFETCH(int, advanceKind);
        QFETCH(double, advance);
        QFETCH(int, message);
        ConfirmSetting s;
        s.RepeatMode = repeat;
        s.NewTime = newTime;
        s.StoredEventStart = At(2024, 3, 5, 14, 30);
        s.AdvanceKind = advanceKind;
        s.AdvanceAmount = advance;
        QCOMPARE(int(ConfirmCheck(s, At(2024, 3, 5, 14, 7))), message);
    }

    void messageTexts()
    {
        QCOMPARE(PripMessageText(pmWarnAfterNew, true, {}, {}),
            QStringLiteral("Chybně nastavený datum a čas připomenutí předem\rzadej znovu (nastavuji nejbližší "
                           "možný datum a čas)"));
        QCOMPARE(PripMessageText(pmWarnPassed, true, {}, {}),
            QStringLiteral("Chybně nastavený datum a čas připomenutí předem - již mělo být připomenuto\rzadej "
                           "znovu (nastavuji nejbližší možný datum a čas)"));
        QCOMPARE(PripMessageText(pmAdvancePassed, true, {}, {}),
            QStringLiteral("Chybně nastavené připomenutí předem - již mělo být připomenuto\rnutno opravit!"));
        QCOMPARE(PripMessageText(pmTimePassed, true, "5.3.2024", "14:06"),
            QStringLiteral("Čas opětovného připomenutí 5.3.2024 14:06\rjiž uplynul -> zadej nové hodnoty"));
        QCOMPARE(PripMessageText(pmTimePassed, false, "5.3.2024", "14:31"),
            QStringLiteral("Čas dalšího připomenutí 5.3.2024 14:31\rjiž uplynul -> zadej nové hodnoty"));
        QCOMPARE(PripMessageText(pmNegativeLength, false, {}, {}),
            QStringLiteral("Délka připomínamé akce je měnší něž nula\rzadej nové hodnoty"));
        for (PripMessage m : { pmWarnAfterNew, pmWarnPassed, pmAdvancePassed })
            QCOMPARE(PripMessageType(m), MsgDlgType::Warning);
        for (PripMessage m : { pmTimePassed, pmNegativeLength })
            QCOMPARE(PripMessageType(m), MsgDlgType::Information);
    }

    void storedTimeTexts()
    {
        QCOMPARE(RemindDateText(At(2024, 3, 5, 9, 5, 59)), QStringLiteral("5.3.2024"));
        QCOMPARE(RemindTimeText(At(2024, 3, 5, 9, 5, 59)), QStringLiteral("09:05"));
        QCOMPARE(RemindDateText(At(2024, 12, 31, 23, 59)), QStringLiteral("31.12.2024"));
        QCOMPARE(RemindTimeText(At(2024, 12, 31, 23, 59)), QStringLiteral("23:59"));
        QCOMPARE(RemindTimeText(At(2024, 12, 31, 0, 0)), QStringLiteral("00:00"));
    }

    void frameColourAndMinuteTick()
    {
        const double event = At(2024, 3, 5, 14, 30);
        QCOMPARE(FrameColor(event - OneSecond, event, clGreen), clGreen);
        QCOMPARE(FrameColor(event, event, clGreen), clGreen); // only after it
        QCOMPARE(FrameColor(event + OneSecond, event, clGreen), clRed);
        QCOMPARE(FrameColor(event - 1.0, event, clRed), clRed); // red for good

        QCOMPARE(MinuteTickInterval(At(2024, 3, 5, 14, 7, 0)), 60001);
        QCOMPARE(MinuteTickInterval(At(2024, 3, 5, 14, 7, 30)), 30001);
        QCOMPARE(MinuteTickInterval(At(2024, 3, 5, 23, 59, 59) + 0.5 * OneSecond), 501);
    }

    // --- the window ---

    void showsTheReminder()
    {
        ReminderRecord r = Reminder(2, QStringLiteral("Dlouhý nadpis do 20"));
        r.Description2 = QStringLiteral(" a občanku");
        r.Sound1 = QStringLiteral("\\sound\\gong.wav");
        r.Sound2 = QStringLiteral("/var/sounds/a.wav");
        WriteFile({ Reminder(1), r });
        TFPrip* popup = Open(2);
        QVERIFY(popup);
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->objectName(), QStringLiteral("Pripomenuti2"));
        QCOMPARE(popup->RecordNumber(), 2);
        QCOMPARE(popup->ReminderCreated(), r.Created);
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
        QCOMPARE(popup->windowTitle(), QStringLiteral("Připomenutí - Dlouhý nadpis do 20"));
        QCOMPARE(popup->windowTitle().size(), 33);
        for (const char* name : { "Nadpis1", "Nadpis2", "Nadpis3" })
            QCOMPARE(Child<TALabel>(popup, name)->Caption(), r.Title);
        QCOMPARE(Child<TALabel>(popup, "Nadpis1")->Angle(), 540);
        QCOMPARE(Child<TALabel>(popup, "Nadpis2")->Angle(), 3060);
        QCOMPARE(Child<TALabel>(popup, "Nadpis3")->Angle(), 0);
        QVERIFY(Child<TALabel>(popup, "Nadpis3")->isVisible());
        QCOMPARE(
            Child<QTextEdit>(popup, "MPopis")->toPlainText(), QStringLiteral("Přinést kartičku\npojišťovny a občanku"));
        QCOMPARE(Text(popup, "ECislo"), QStringLiteral("2"));
        QCOMPARE(Text(popup, "EDatum"), QStringLiteral("2024.03.05 14:30-úterý"));
        QCOMPARE(Text(popup, "MEDelka"), QStringLiteral("do: 16:00 (1hodina30minut)"));
        QCOMPARE(popup->Sound(1), m_program->folder() + "\\sound\\gong.wav");
        QCOMPARE(popup->Sound(2), QStringLiteral("/var/sounds/a.wav"));
        QCOMPARE(popup->Sound(3), QString());
        // Further mode, "za .. minut" 1.
        QVERIFY(!Child<QCheckBox>(popup, "ChBVych")->isChecked());
        QCOMPARE(Child<QComboBox>(popup, "CBZnovu")->currentText(), QStringLiteral("za .. minut"));
        QCOMPARE(Child<QComboBox>(popup, "CBZnovu")->count(), 8);
        QCOMPARE(Text(popup, "EZnovuKolik"), QStringLiteral("1"));
        QCOMPARE(Text(popup, "EDalsi"), QStringLiteral("2024.03.05 14:08-úterý"));
        QVERIFY(Child<QCheckBox>(popup, "CBPrenos")->isChecked());
        for (const char* name : { "CBPred", "CBProsle", "EProsleKolik", "ECasProsle", "Label2", "Label4", "DTZnovu" })
            QVERIFY2(!Child<QWidget>(popup, name)->isVisible(), name);
        // The whole length, not its part below an hour.
        QCOMPARE(Child<QComboBox>(popup, "CBDelka")->currentText(), QStringLiteral("minut"));
        QCOMPARE(Text(popup, "SEDelka"), QStringLiteral("90"));
        QCOMPARE(Text(popup, "AMEDelka"), QStringLiteral("2024.03.05 16:00-úterý"));
        QCOMPARE(popup->focusWidget(), Child<QWidget>(popup, "BOK"));
    }

    void theShapeAndItsFrame()
    {
        WriteFile({ Reminder(1) });
        TFPrip* popup = Open(1);
        QVERIFY(popup);
        QVERIFY(popup->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(popup->size(), QSize(600, 450));
        const QRegion mask = popup->mask();
        for (const QPoint& in : { QPoint(300, 225), QPoint(300, 50), QPoint(50, 400), QPoint(550, 400) })
            QVERIFY2(mask.contains(in), qPrintable(QStringLiteral("%1,%2").arg(in.x()).arg(in.y())));
        for (const QPoint& out : { QPoint(5, 5), QPoint(595, 5), QPoint(100, 100), QPoint(500, 100) })
            QVERIFY2(!mask.contains(out), qPrintable(QStringLiteral("%1,%2").arg(out.x()).arg(out.y())));
        QVERIFY(popup->CRegion1()->SysMenuPicture().Visible());
        QCOMPARE(popup->CRegion1()->PopupMenu()->objectName(), QStringLiteral("PMNadpis"));
        QVERIFY(popup->FRegion()->ClientDrag());
        // A right press on a heading reaches the shape: its menu opens.
        auto* heading = Child<TALabel>(popup, "Nadpis1");
        QTest::mousePress(heading, Qt::RightButton, {}, heading->rect().center());
        QTRY_VERIFY(popup->CRegion1()->PopupMenu()->isVisible());
        popup->CRegion1()->PopupMenu()->close();

        const QImage image = popup->grab().toImage();
        // The frame along the left side is green, the body yellow.
        QCOMPARE(image.pixelColor(12, 372), QColor(0, 128, 0));
        QCOMPARE(image.pixelColor(250, 430), QColor(Qt::yellow));
        QVERIFY(image.save(artifactPath("popup-offscreen.png")));
        Child<QCheckBox>(popup, "ChBVych")->setChecked(true);
        QVERIFY(popup->grab().save(artifactPath("popup-offscreen-repeat.png")));
    }

    void aPositionBeyondTheFileClosesAtOnce()
    {
        WriteFile({ Reminder(1), Reminder(2) });
        auto* popup = new TFPrip;
        QPointer<TFPrip> guard(popup);
        popup->SetRecordNumber(3);
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
        popup->show();
        QVERIFY(!popup->isVisible());
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);
        QVERIFY(Ended()); // it was the only window
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!guard);

        // A file that cannot be read: its error, and no window left counted.
        QFile::remove(DataPath());
        QVERIFY(QDir().mkpath(DataPath() + "/x"));
        popup = new TFPrip;
        popup->SetRecordNumber(1);
        popup->show();
        QVERIFY(!popup->isVisible());
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().at(0).type, MsgDlgType::Error);
    }

    void soundsRingInOrder()
    {
        QDir(m_program->folder()).mkpath("sound");
        WriteWav(m_program->file("sound/gong.wav"));
        WriteWav(m_program->file("sound/Zvon.wav"));
        QTemporaryDir elsewhere;
        WriteWav(elsewhere.filePath("last.wav"));
        ReminderRecord r = Reminder(1);
        r.Sound1 = QStringLiteral("\\sound\\zvon.wav"); // letter case as Windows kept it
        r.Sound2 = QStringLiteral("\\sound\\missing.wav");
        r.Sound3 = elsewhere.filePath("last.wav");
        WriteFile({ r });
        TFPrip* popup = Open(1);
        QVERIFY(popup);
        QTRY_COMPARE(Sounds(), (QStringList { m_program->file("sound/Zvon.wav"), elsewhere.filePath("last.wav") }));

        // Posted again after half the re-post period, it rings again.
        Clock::advance(31 * 1000);
        m_program->hub().HandleReminderCommand(1);
        QCOMPARE(Sounds().size(), 4);
        QCOMPARE(Sounds().at(2), m_program->file("sound/Zvon.wav"));

        // A sound from a Windows drive cannot be here: nothing, and no error.
        r.Sound1 = QStringLiteral("C:\\Windows\\Media\\ding.wav");
        r.Sound3.clear();
        WriteFile({ r });
        m_program->closeWindows();
        QVERIFY(Open(1));
        QCoreApplication::processEvents();
        QCOMPARE(Sounds().size(), 4);
        QVERIFY(Dialogs::shown().isEmpty());
    }

    void repostPeriodEdges_data()
    {
        QTest::addColumn<QString>("pripopak");
        QTest::addColumn<int>("quietSeconds");
        QTest::addColumn<int>("ringSeconds");
        QTest::newRow("0 counts as 1") << "0" << 29 << 31;
        QTest::newRow("-3 counts as 1") << "-3" << 29 << 31;
        QTest::newRow("59") << "59" << 59 * 30 - 1 << 59 * 30 + 1;
        QTest::newRow("60, an hour") << "60" << 30 * 60 - 1 << 30 * 60 + 1;
        QTest::newRow("600") << "600" << 300 * 60 - 1 << 300 * 60 + 1;
    }
    void repostPeriodEdges()
    {
        QFETCH(QString, pripopak);
        QFETCH(int, quietSeconds);
        QFETCH(int, ringSeconds);
        IniWriteString(m_program->iniPath(), "Nastav", "pripopak", pripopak);
        QDir(m_program->folder()).mkpath("sound");
        WriteWav(m_program->file("sound/gong.wav"));
        ReminderRecord r = Reminder(1);
        r.Sound1 = QStringLiteral("\\sound\\gong.wav");
        WriteFile({ r });
        TFPrip* popup = Open(1);
        QTRY_COMPARE(Sounds().size(), 1);
        Clock::setNow(T0.addSecs(quietSeconds));
        m_program->hub().HandleReminderCommand(1);
        QCOMPARE(Sounds().size(), 1);
        Clock::setNow(T0.addSecs(ringSeconds));
        m_program->hub().HandleReminderCommand(1);
        QCOMPARE(Sounds().size(), 2);
        QCOMPARE(FindPopup(1), popup); // brought back, never a second one
        QVERIFY(Dialogs::shown().isEmpty());
    }

    void enterConfirmsTheNextPopup()
    {
        QTemporaryDir logs;
        FakeTray tray(logs.filePath("tray.log"));
        QTRY_VERIFY(tray.Ready(0));
        auto* overview = new StandInOverview;
        WriteFile({ Reminder(1), Reminder(2) });
        const ReminderRecord before = Stored(2);
        const QByteArray first = readFileBytes(DataPath()).left(ReminderRecord::Size);
        QPointer<TFPrip> popup = Open(2);
        QVERIFY(popup);
        QTest::keyClick(popup, Qt::Key_Return);
        QVERIFY(!popup || !popup->isVisible());

        ReminderRecord expected = before;
        expected.RemindDate = QStringLiteral("5.3.2024");
        expected.RemindTime = QStringLiteral("14:08");
        expected.LastChange = Now();
        QCOMPARE(Stored(2), expected); // the event, its length and all else as they were
        QCOMPARE(readFileBytes(DataPath()).left(ReminderRecord::Size), first);
        QTRY_COMPARE(tray.Codes(), QStringList { "2 0" });
        QVERIFY(Dialogs::shown().isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(overview->Refreshes, 0); // further mode leaves the overview
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);
        QVERIFY(Ended());
        QVERIFY(IniFile(m_program->iniPath()).readInteger("FPrip", "State", 0) != 0);
    }

    void furtherModeStopsAfterTheEvent()
    {
        WriteFile({ Reminder(1) });
        const QByteArray bytes = readFileBytes(DataPath());
        TFPrip* popup = Open(1);
        Choose(popup, "CBZnovu", nkHours);
        popup->BOKClick();
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().at(0).text,
            QStringLiteral("Čas dalšího připomenutí 5.3.2024 15:07\rjiž uplynul -> zadej nové hodnoty"));
        QCOMPARE(Dialogs::shown().at(0).type, MsgDlgType::Information);
        QCOMPARE(Dialogs::beeps(), QList<MsgDlgType> { MsgDlgType::Information });
        QCOMPARE(readFileBytes(DataPath()), bytes);
        QVERIFY(popup->isVisible());

        // Minutes before the event are offered in further mode.
        Choose(popup, "CBZnovu", nkMinutesBefore);
        Child<TKitSpinEdit>(popup, "EZnovuKolik")->setText("10");
        QCOMPARE(Text(popup, "EDalsi"), QStringLiteral("2024.03.05 14:20-úterý"));
        popup->BOKClick();
        QCOMPARE(Stored(1).RemindTime, QStringLiteral("14:20"));
        QCOMPARE(Stored(1).EventTime, QStringLiteral("14:30"));
    }

    void repeatModeMovesTheEventBySevenDays()
    {
        auto* overview = new StandInOverview;
        WriteFile({ Reminder(1) });
        TFPrip* popup = Open(1);
        Child<QCheckBox>(popup, "ChBVych")->setChecked(true);
        // The stored next kind and amount are offered: 3 hours.
        QCOMPARE(Child<QComboBox>(popup, "CBZnovu")->currentText(), QStringLiteral("za .. hodin"));
        QCOMPARE(Child<QComboBox>(popup, "CBZnovu")->count(), 5);
        QCOMPARE(Text(popup, "EZnovuKolik"), QStringLiteral("3"));
        QCOMPARE(Child<QLabel>(popup, "Label5")->text(), QStringLiteral("další připomenutí:"));
        QVERIFY(!Child<TALabel>(popup, "Nadpis3")->isVisible());
        for (const char* name :
            { "CBPred", "CBProsle", "EProsleKolik", "ECasProsle", "Label2", "Label4", "EPredKolik", "ECasPred" })
            QVERIFY2(Child<QWidget>(popup, name)->isVisible(), name);
        QCOMPARE(Text(popup, "EDalsi"), QStringLiteral("2024.03.05 17:30-úterý"));
        QCOMPARE(Text(popup, "ECasPred"), QStringLiteral("2024.03.05 17:05-úterý"));
        QCOMPARE(Text(popup, "ECasProsle"), QStringLiteral("2024.03.05 19:30-úterý"));

        Choose(popup, "CBZnovu", nkDays);
        Child<TKitSpinEdit>(popup, "EZnovuKolik")->setText("7");
        QCOMPARE(Text(popup, "EDalsi"), QStringLiteral("2024.03.12 14:30-úterý"));
        QCOMPARE(Text(popup, "AMEDelka"), QStringLiteral("2024.03.12 16:00-úterý"));
        popup->BOKClick();
        QVERIFY(Dialogs::shown().isEmpty());
        const ReminderRecord r = Stored(1);
        QCOMPARE(r.EventDate, QStringLiteral("12.3.2024"));
        QCOMPARE(r.EventTime, QStringLiteral("14:30"));
        QCOMPARE(r.RemindDate, QStringLiteral("12.3.2024"));
        QCOMPARE(r.RemindTime, QStringLiteral("14:30"));
        QCOMPARE(r.NextKind, nkDays);
        QCOMPARE(r.NextAmount, 7.0);
        QCOMPARE(r.Length, 90 / MinsPerDay);
        QCOMPARE(r.AdvanceKind, akMinutes);
        QCOMPARE(r.AdvanceAmount, 25.0);
        QTRY_COMPARE(overview->Refreshes, 1);

        // Its next pop-up offers 7 days in repeat mode.
        TFPrip* again = Open(1);
        Child<QCheckBox>(again, "ChBVych")->setChecked(true);
        QCOMPARE(Child<QComboBox>(again, "CBZnovu")->currentText(), QStringLiteral("za .. dnů"));
        QCOMPARE(Text(again, "EZnovuKolik"), QStringLiteral("7"));
        // Back in further mode, the event-relative kinds return.
        Child<QCheckBox>(again, "ChBVych")->setChecked(false);
        QCOMPARE(Child<QComboBox>(again, "CBZnovu")->count(), 8);
        QVERIFY(!Child<QWidget>(again, "CBPred")->isVisible());
    }

    void repeatModeByYearsFromTheLeapDay()
    {
        ReminderRecord r = Reminder(1);
        r.EventDate = QStringLiteral("29.2.2024");
        r.EventTime = QStringLiteral("18:00");
        WriteFile({ r });
        TFPrip* popup = Open(1);
        Child<QCheckBox>(popup, "ChBVych")->setChecked(true);
        Choose(popup, "CBZnovu", nkYears);
        Child<TKitSpinEdit>(popup, "EZnovuKolik")->setText("1");
        popup->BOKClick();
        QVERIFY(Dialogs::shown().isEmpty());
        QCOMPARE(Stored(1).EventDate, QStringLiteral("28.2.2025"));
        QCOMPARE(Stored(1).NextKind, nkYears);
        // Not a count of whole units: the span from the old event is stored.
        QCOMPARE(qRound(Stored(1).NextAmount), 365);
    }

    void repeatModeAbsoluteTime()
    {
        WriteFile({ Reminder(1) });
        TFPrip* popup = Open(1);
        Child<QCheckBox>(popup, "ChBVych")->setChecked(true);
        Choose(popup, "CBZnovu", nkAbsolute);
        QVERIFY(Child<QDateEdit>(popup, "DTZnovu")->isVisible());
        QVERIFY(!Child<QWidget>(popup, "EDalsi")->isVisible());
        Child<QDateEdit>(popup, "DTZnovu")->setDate(QDate(2024, 3, 9));
        auto* time = Child<QLineEdit>(popup, "ECasZnovu");
        time->setText("08:15");
        QCOMPARE(DateTimeToQDateTime(popup->DejNewCas()), QDateTime(QDate(2024, 3, 9), QTime(8, 15)));
        // Left half typed, the last valid time stands.
        time->setText("2");
        QCOMPARE(DateTimeToQDateTime(popup->DejNewCas()), QDateTime(QDate(2024, 3, 9), QTime(8, 15)));
        time->setText(" 9:45");
        QCOMPARE(DateTimeToQDateTime(popup->DejNewCas()), QDateTime(QDate(2024, 3, 9), QTime(9, 45)));
        popup->BOKClick();
        QCOMPARE(Stored(1).EventDate, QStringLiteral("9.3.2024"));
        QCOMPARE(Stored(1).EventTime, QStringLiteral("09:45"));
        QCOMPARE(Stored(1).NextKind, nkAbsolute);
        QCOMPARE(qRound64(Stored(1).NextAmount * MinsPerDay), qint64(3 * 1440 + 19 * 60 + 15));
    }

    void advanceMessagesInRepeatMode()
    {
        ReminderRecord r = Reminder(1);
        WriteFile({ r });
        const QByteArray bytes = readFileBytes(DataPath());
        TFPrip* popup = Open(1);
        Child<QCheckBox>(popup, "ChBVych")->setChecked(true);
        Choose(popup, "CBZnovu", nkMinutes);
        Child<TKitSpinEdit>(popup, "EZnovuKolik")->setText("1");

        // 25 minutes ahead of a minute after the event has passed.
        popup->BOKClick();
        QCOMPARE(Dialogs::shown().last().text,
            QStringLiteral("Chybně nastavené připomenutí předem - již mělo být připomenuto\rnutno opravit!"));
        QCOMPARE(Dialogs::shown().last().type, MsgDlgType::Warning);

        // An absolute first pop-up after the new time: set to the new time.
        Child<TKitSpinEdit>(popup, "EZnovuKolik")->setText("60");
        Choose(popup, "CBPred", akAbsolute);
        QVERIFY(Child<QDateEdit>(popup, "DTDP")->isVisible());
        QVERIFY(!Child<QWidget>(popup, "EPredKolik")->isVisible());
        // It lay in the past: it was moved to a minute from now.
        QCOMPARE(Text(popup, "MEDP"), QStringLiteral("14:08"));
        Child<QDateEdit>(popup, "DTDP")->setDate(QDate(2024, 3, 6));
        popup->BOKClick();
        QCOMPARE(Dialogs::shown().size(), 2);
        QVERIFY(Dialogs::shown().last().text.startsWith("Chybně nastavený datum a čas připomenutí předem\r"));
        QCOMPARE(Child<QDateEdit>(popup, "DTDP")->date(), QDate(2024, 3, 5));
        QCOMPARE(Text(popup, "MEDP"), QStringLiteral("15:30"));

        // An absolute first pop-up already past: set to a minute from now.
        Child<QLineEdit>(popup, "MEDP")->setText("14:00");
        popup->BOKClick();
        QCOMPARE(Dialogs::shown().size(), 3);
        QVERIFY(Dialogs::shown().last().text.contains("již mělo být připomenuto\rzadej znovu"));
        QCOMPARE(Text(popup, "MEDP"), QStringLiteral("14:08"));
        QCOMPARE(readFileBytes(DataPath()), bytes);

        // Corrected, it is taken.
        popup->BOKClick();
        QCOMPARE(Dialogs::shown().size(), 3);
        QCOMPARE(Stored(1).AdvanceKind, akAbsolute);
        QCOMPARE(DateTimeToQDateTime(Stored(1).AdvanceAmount), QDateTime(QDate(2024, 3, 5), QTime(14, 8)));
        QCOMPARE(Stored(1).EventTime, QStringLiteral("15:30"));
    }

    void aNegativeLengthIsRefused()
    {
        ReminderRecord r = Reminder(1);
        r.LengthKind = lkEndDateTime;
        WriteFile({ r });
        const QByteArray bytes = readFileBytes(DataPath());
        TFPrip* popup = Open(1);
        QVERIFY(Child<QDateEdit>(popup, "DTPDelka")->isVisible());
        QCOMPARE(Text(popup, "MEDelka2"), QStringLiteral("16:00"));
        Child<QCheckBox>(popup, "ChBVych")->setChecked(true);
        Choose(popup, "CBZnovu", nkDays);
        Child<TKitSpinEdit>(popup, "EZnovuKolik")->setText("2");
        // The end left alone moves with the event.
        popup->BOKClick();
        QVERIFY(Dialogs::shown().isEmpty());
        QCOMPARE(Stored(1).Length, 90 / MinsPerDay);

        WriteFile({ r });
        popup = Open(1);
        Child<QCheckBox>(popup, "ChBVych")->setChecked(true);
        Choose(popup, "CBZnovu", nkDays);
        Child<TKitSpinEdit>(popup, "EZnovuKolik")->setText("2");
        // An end the user sets before the moved event is refused.
        Child<QDateEdit>(popup, "DTPDelka")->setDate(QDate(2024, 3, 6));
        popup->BOKClick();
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().at(0).text,
            QStringLiteral("Délka připomínamé akce je měnší něž nula\rzadej nové hodnoty"));
        QCOMPARE(Dialogs::shown().at(0).type, MsgDlgType::Information);
        QCOMPARE(readFileBytes(DataPath()), bytes);
        QVERIFY(popup->isVisible());
    }

    void aLengthLeftAloneIsKept_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("length");
        QTest::newRow("90 minutes") << int(lkMinutes) << 90 / MinsPerDay;
        QTest::newRow("30 hours") << int(lkHours) << 30 / HoursPerDay;
        QTest::newRow("minutes and seconds") << int(lkMinutes) << 90.5 / MinsPerDay;
        QTest::newRow("beyond the spin's limit") << int(lkMinutes) << 10.0;
        QTest::newRow("a stored kind of 0") << 0 << 45 / MinsPerDay;
    }
    void aLengthLeftAloneIsKept()
    {
        QFETCH(int, kind);
        QFETCH(double, length);
        ReminderRecord r = Reminder(1);
        r.LengthKind = kind;
        r.Length = length;
        WriteFile({ r });
        TFPrip* popup = Open(1);
        popup->BOKClick();
        QVERIFY(Dialogs::shown().isEmpty());
        QCOMPARE(Stored(1).Length, length);
        QCOMPARE(Stored(1).LengthKind, kind == 0 ? 1 : kind);

        // Changed by the user, it is what the controls say.
        WriteFile({ r });
        popup = Open(1);
        Child<TKitSpinEdit>(popup, "SEDelka")->setText("45");
        QCOMPARE(popup->DejDelku(), kind == lkHours ? 45 / HoursPerDay : 45 / MinsPerDay);
        popup->BOKClick();
        QCOMPARE(Stored(1).Length, kind == lkHours ? 45 / HoursPerDay : 45 / MinsPerDay);
    }

    void eraseMarksTheRecord()
    {
        QTemporaryDir logs;
        FakeTray tray(logs.filePath("tray.log"));
        QTRY_VERIFY(tray.Ready(0));
        auto* overview = new StandInOverview;
        WriteFile({ Reminder(1), Reminder(2) });
        const QByteArray bytes = readFileBytes(DataPath());
        QPointer<TFPrip> popup = Open(2);

        Dialogs::queueAnswer(mrNo);
        popup->BCancelClick();
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().at(0).text, QStringLiteral("Opravdu připomenutí vymazat?"));
        QCOMPARE(Dialogs::shown().at(0).type, MsgDlgType::Confirmation);
        QCOMPARE(Dialogs::shown().at(0).buttons, MsgBtn::Yes | MsgBtn::No);
        QCOMPARE(Dialogs::beeps(), QList<MsgDlgType> { MsgDlgType::Confirmation });
        QCOMPARE(readFileBytes(DataPath()), bytes);
        QVERIFY(popup->isVisible());

        Dialogs::queueAnswer(mrYes);
        ReminderRecord expected = Stored(2);
        popup->BCancelClick();
        expected.Erased = true;
        expected.LastChange = Now();
        QCOMPARE(Stored(2), expected);
        QCOMPARE(readFileBytes(DataPath()).left(ReminderRecord::Size), bytes.left(ReminderRecord::Size));
        QVERIFY(!popup || !popup->isVisible());
        QTRY_COMPARE(overview->Refreshes, 1);
        QTest::qWait(200);
        QVERIFY(tray.Codes().isEmpty()); // the tray is not told
    }

    void aReminderGoneMeanwhileIsNotOverwritten_data()
    {
        QTest::addColumn<bool>("erase");
        QTest::addColumn<int>("change");
        QTest::newRow("confirm, another reminder in its place") << false << 0;
        QTest::newRow("confirm, the file shrank") << false << 1;
        QTest::newRow("confirm, erased elsewhere") << false << 2;
        QTest::newRow("erase, another reminder in its place") << true << 0;
        QTest::newRow("erase, the file shrank") << true << 1;
    }
    void aReminderGoneMeanwhileIsNotOverwritten()
    {
        QFETCH(bool, erase);
        QFETCH(int, change);
        WriteFile({ Reminder(1), Reminder(2), Reminder(3) });
        QPointer<TFPrip> popup = Open(2);
        QVERIFY(popup);
        if (change == 0) {
            WriteFile({ Reminder(1), Reminder(3) }); // deleted and renumbered behind its back
        } else if (change == 1) {
            WriteFile({ Reminder(1) });
        } else {
            ReminderRecord gone = Reminder(2);
            gone.Erased = true;
            WriteReminder(2, DataPath(), gone);
        }
        const QByteArray bytes = readFileBytes(DataPath());
        if (erase) {
            Dialogs::queueAnswer(mrYes);
            popup->BCancelClick();
        } else {
            popup->BOKClick();
        }
        QCOMPARE(Dialogs::shown().last().text,
            QStringLiteral("Připomenutí již není v seznamu (bylo mezitím vymazáno nebo přesunuto)\r"
                           "okno se zavře bez uložení změn"));
        QCOMPARE(Dialogs::shown().last().type, MsgDlgType::Warning);
        QCOMPARE(readFileBytes(DataPath()), bytes);
        QVERIFY(!popup || !popup->isVisible());
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);
    }

    // Lapsed by the tray's overdue rule under the open pop-up: a further time is
    // refused, a repeat is written alive again. Erased within its minute: gone.
    void aLapseUnderTheOpenPopup_data()
    {
        QTest::addColumn<int>("secondsAfterEvent");
        QTest::addColumn<bool>("lapsed");
        QTest::newRow("the event minute passed") << 60 << true;
        QTest::newRow("erased within the event minute") << 59 << false;
    }
    void aLapseUnderTheOpenPopup()
    {
        QFETCH(int, secondsAfterEvent);
        QFETCH(bool, lapsed);
        ReminderRecord r = Reminder(1);
        r.OverdueAction = oaNothing;
        WriteFile({ r });
        QPointer<TFPrip> popup = Open(1);
        Clock::setNow(QDateTime(T0.date(), QTime(14, 30)).addSecs(secondsAfterEvent));
        r.Erased = true;
        WriteReminder(1, DataPath(), r);
        Choose(popup, "CBZnovu", nkMinutesBefore);
        popup->BOKClick();
        QVERIFY(Dialogs::shown().value(0).text.startsWith(lapsed ? "Čas dalšího" : "Připomenutí již není v seznamu"));
        if (lapsed) {
            Child<QCheckBox>(popup, "ChBVych")->setChecked(true); // 3 hours on
            popup->BOKClick();
            QCOMPARE(Stored(1).EventTime, QStringLiteral("17:30"));
        }
        QCOMPARE(Stored(1).Erased, !lapsed);
    }

    // Removed by the overview, or by an import of another machine's
    // erasure: either way the open pop-ups stay with their own reminders.
    void renumberingFollowsTheReminder_data()
    {
        QTest::addColumn<bool>("byImport");
        QTest::newRow("deleted and renumbered") << false;
        QTest::newRow("erased on another machine, imported") << true;
    }
    void renumberingFollowsTheReminder()
    {
        QFETCH(bool, byImport);
        WriteFile({ Reminder(1), Reminder(2), Reminder(3) });
        QPointer<TFPrip> second = Open(2);
        QPointer<TFPrip> third = Open(3);
        QVERIFY(second && third);
        ReminderRecord gone = Reminder(2);
        gone.Erased = true;
        if (byImport) {
            QTemporaryDir exchange;
            const QString file = exchange.filePath(QStringLiteral("exp_imp.dat"));
            gone.ID = 1;
            WriteReminder(1, file, gone);
            QCOMPARE(ImportReminders(file, DataPath(), true, nullptr).deleted, 1);
        } else {
            WriteReminder(2, DataPath(), gone);
            DeleteReminder(2, DataPath());
            RenumberReminders(DataPath());
        }
        // The third reminder's pop-up is now the second; the second's is no
        // longer found by any name.
        QCOMPARE(third->RecordNumber(), 2);
        QCOMPARE(Text(third, "ECislo"), QStringLiteral("2"));
        QCoreApplication::processEvents();
        QVERIFY(second->objectName().isEmpty());
        QCOMPARE(FindPopup(2), third.data());

        third->BOKClick();
        QVERIFY(Dialogs::shown().isEmpty());
        QCOMPARE(Stored(2).Created, Reminder(3).Created);
        QCOMPARE(Stored(2).RemindTime, QStringLiteral("14:08"));
        QCOMPARE(Stored(1), Reminder(1));

        const QByteArray bytes = readFileBytes(DataPath());
        second->BOKClick();
        QVERIFY(Dialogs::shown().last().text.startsWith("Připomenutí již není v seznamu"));
        QCOMPARE(readFileBytes(DataPath()), bytes);
    }

    void theFrameTurnsRedAfterTheEvent()
    {
        WriteFile({ Reminder(1) });
        TFPrip* popup = Open(1);
        QTimer* timer = popup->TDatum();
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 100);
        popup->TDatumTimer();
        QCOMPARE(Text(popup, "EAktDatum"), QStringLiteral("2024.03.05 14:07"));
        QCOMPARE(popup->CRegion1()->ActiveColor(), clGreen);
        QCOMPARE(timer->interval(), 60001);
        QVERIFY(timer->isActive());

        Clock::setNow(QDateTime(QDate(2024, 3, 5), QTime(14, 30, 0)));
        popup->TDatumTimer();
        QCOMPARE(popup->CRegion1()->ActiveColor(), clGreen); // at the event time, not yet
        Clock::setNow(QDateTime(QDate(2024, 3, 5), QTime(14, 30, 0, 1)));
        popup->TDatumTimer();
        QCOMPARE(popup->CRegion1()->ActiveColor(), clRed);
        QCOMPARE(popup->CRegion1()->InactiveColor(), clRed);
        QCOMPARE(popup->grab().toImage().pixelColor(12, 372), QColor(255, 0, 0));
        Clock::setNow(T0);
        popup->TDatumTimer();
        QCOMPARE(popup->CRegion1()->ActiveColor(), clRed);
        QCOMPARE(Text(popup, "EAktDatum"), QStringLiteral("2024.03.05 14:07"));
    }

    void aHalfTypedTimeDoesNotStopTheClock()
    {
        WriteFile({ Reminder(1) });
        TFPrip* popup = Open(1);
        Choose(popup, "CBZnovu", nkAbsolute);
        auto* time = Child<QLineEdit>(popup, "ECasZnovu");
        QCOMPARE(time->text(), QStringLiteral("14:07")); // it lay in the past: now
        time->clear();
        time->setCursorPosition(0);
        QTest::keyClicks(time, "2");
        QCOMPARE(time->displayText(), QStringLiteral("2_:__"));

        Clock::setNow(QDateTime(QDate(2024, 3, 5), QTime(14, 31, 0)));
        QTimer* timer = popup->TDatum();
        popup->TDatumTimer();
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 60001);
        QCOMPARE(Text(popup, "EAktDatum"), QStringLiteral("2024.03.05 14:31"));
        QCOMPARE(popup->CRegion1()->ActiveColor(), clRed);
        QVERIFY(Dialogs::shown().isEmpty());
        QCOMPARE(DateTimeToQDateTime(popup->DejNewCas()), QDateTime(QDate(2024, 3, 5), QTime(14, 7)));

        // The real timer goes on ticking by itself.
        QSignalSpy ticks(timer, &QTimer::timeout);
        timer->start(1);
        QVERIFY(ticks.wait(1000));
        QVERIFY(timer->isActive());

        // Leaving the edit so tells the user, and the focus comes back.
        popup->show();
        QApplication::setActiveWindow(popup);
        time->setFocus();
        Child<QWidget>(popup, "CBPrenos")->setFocus(Qt::TabFocusReason);
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().at(0).text, QStringLiteral("Chybný formát"));
        QTRY_COMPARE(QApplication::focusWidget(), time);

        // Confirmed so, it is refused rather than taken for the last valid time.
        const QByteArray bytes = readFileBytes(DataPath());
        QTest::keyClick(time, Qt::Key_Return);
        QCOMPARE(Dialogs::shown().size(), 2);
        QCOMPARE(Dialogs::shown().at(1).text, QStringLiteral("Chybný formát"));
        QCOMPARE(readFileBytes(DataPath()), bytes);
        QVERIFY(popup->isVisible());
    }

    void cascadeOfPopups()
    {
        WriteFile({ Reminder(1), Reminder(2), Reminder(3) });
        IniFile ini(m_program->iniPath());
        ini.writeInteger("FPrip", "State", 2);
        ini.writeInteger("FPrip", "Left", 40);
        ini.writeInteger("FPrip", "Top", 30);
        TFPrip* a = Open(1);
        TFPrip* b = Open(2);
        TFPrip* c = Open(3);
        QCOMPARE(a->pos(), QPoint(40, 30));
        QCOMPARE(b->pos() - a->pos(), QPoint(10, 10));
        QCOMPARE(c->pos() - a->pos(), QPoint(20, 20));
        QCOMPARE(m_program->hub().OpenWindowCount(), 3);
        a->close();
        b->close();
        QVERIFY(!Ended());
        c->close();
        QVERIFY(Ended());
    }

    void headingEditor()
    {
        WriteFile({ Reminder(1) });
        TFPrip* popup = Open(1);
        Dialogs::queueModal([](QDialog* editor) {
            auto* heading = editor->findChild<QLineEdit*>("ENadpis");
            if (!heading || heading->text() != QStringLiteral("Zubař") || heading->maxLength() != 20
                || editor->windowTitle() != QStringLiteral("Nadpis připomenutí - změna"))
                return int(mrAbort);
            heading->setText(QStringLiteral("zubní pohotovost"));
            editor->findChild<QPushButton*>("BVelke")->click();
            if (heading->text() != QStringLiteral("ZUBNÍ POHOTOVOST"))
                return int(mrAbort);
            editor->findChild<QPushButton*>("BMale")->click();
            editor->findChild<QPushButton*>("BVelke")->click();
            editor->findChild<QPushButton*>("BOK")->click();
            return editor->result();
        });
        popup->findChild<QAction*>("MFNPE")->trigger();
        QCOMPARE(Dialogs::shownModals(), QStringList { "FNPE" });
        QVERIFY(popup->HeadingChanged());
        for (const char* name : { "Nadpis1", "Nadpis2", "Nadpis3" })
            QCOMPARE(Child<TALabel>(popup, name)->Caption(), QStringLiteral("ZUBNÍ POHOTOVOST"));
        QCOMPARE(Stored(1).Title, QStringLiteral("Zubař")); // not before the confirmation
        popup->BOKClick();
        QCOMPARE(Stored(1).Title, QStringLiteral("ZUBNÍ POHOTOVOST"));

        // Cancelled, nothing changes; a title changed elsewhere meanwhile stays.
        WriteFile({ Reminder(1) });
        popup = Open(1);
        Dialogs::queueModal([](QDialog* editor) {
            editor->findChild<QLineEdit*>("ENadpis")->setText("jiný");
            editor->findChild<QPushButton*>("BCancel")->click();
            return editor->result();
        });
        popup->MFNPEClick();
        QVERIFY(!popup->HeadingChanged());
        QCOMPARE(Child<TALabel>(popup, "Nadpis1")->Caption(), QStringLiteral("Zubař"));
        ReminderRecord elsewhere = Reminder(1);
        elsewhere.Title = QStringLiteral("Zubař - změna");
        WriteReminder(1, DataPath(), elsewhere);
        popup->BOKClick();
        QCOMPARE(Stored(1).Title, QStringLiteral("Zubař - změna"));
    }

    void aChangedDescriptionIsStoredInTwoPieces()
    {
        WriteFile({ Reminder(1) });
        TFPrip* popup = Open(1);
        auto* memo = Child<QTextEdit>(popup, "MPopis");
        memo->moveCursor(QTextCursor::End);
        typeText(memo, QStringLiteral(" – ") + QString(500, u'ž'));
        // Two stored pieces at most: the rest is taken back.
        QString stored = memo->toPlainText();
        stored.replace("\n", "\r\n");
        QCOMPARE(Cp1250::byteLength(stored), 510);
        popup->BOKClick();
        const ReminderRecord r = Stored(1);
        QCOMPARE(r.Description1.size(), 255);
        const QString start = QStringLiteral("Přinést kartičku\r\npojišťovny – ");
        QCOMPARE(r.Description1 + r.Description2, start + QString(510 - start.size(), u'ž'));
    }

    void memoMenu()
    {
        WriteFile({ Reminder(1) });
        TFPrip* popup = Open(1);
        auto* memo = Child<QTextEdit>(popup, "MPopis");
        auto* menu = popup->findChild<QMenu*>("PMenuMemo");
        const auto item = [menu](const QString& text) {
            for (QAction* a : menu->findChildren<QAction*>())
                if (a->text() == text)
                    return a;
            qFatal("no menu item");
            return static_cast<QAction*>(nullptr);
        };
        item("v&levo")->trigger();
        QCOMPARE(memo->document()->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        const int size = memo->font().pointSize();
        item("+1")->trigger();
        QCOMPARE(memo->font().pointSize(), size + 1);
        item("ulož jako výchozí")->trigger();
        const IniFile ini(m_program->iniPath());
        QCOMPARE(ini.readInteger("Memo", "zarov", 0), 1);
        QCOMPARE(ini.readInteger("Memo", "font", 0), size + 1);
        QVERIFY(!memo->document()->isModified());
        // The next pop-up takes the look.
        popup->close();
        popup = Open(1);
        QCOMPARE(Child<QTextEdit>(popup, "MPopis")->font().pointSize(), size + 1);
    }

    void anUnreadableEventDateDoesNotStopThePopup()
    {
        ReminderRecord r = Reminder(1);
        r.EventDate = QStringLiteral("2024-03-05");
        WriteFile({ r });
        TFPrip* popup = Open(1);
        QVERIFY(popup && popup->isVisible());
        // It stands at its pop-up time.
        QCOMPARE(DateTimeToQDateTime(popup->EventStart()), QDateTime(QDate(2024, 3, 5), QTime(14, 5)));
        QVERIFY(Dialogs::shown().isEmpty());
    }
};

QTEST_MAIN(TestPrip)
#include "tst_prip.moc"
