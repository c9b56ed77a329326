// The reminders program's hidden main form and command hub, with stand-in
// windows registered in the program's window table under the real names.
#include "reminders/ruvo_okna.h"
#include "reminders/ruvo_vychozi.h"
#include "reminders/ruvo_zaklad.h"

#include "platform/clock.h"
#include "platform/commandchannel.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/filereplace.h"
#include "platform/help.h"
#include "shared/commands.h"
#include "shared/f_p.h"
#include "shared/reminderfile.h"

#include "faketray.h"
#include "remindersprogram.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <climits>
#include <memory>

namespace {

const QDateTime T0(QDate(2024, 3, 5), QTime(14, 7, 0));

// A window of the program as the hub opens it: a real sizeable base window.
class StandIn : public TFVychozi {
public:
    StandIn(const QString& name, OpenMode mode)
        : Mode(mode)
    {
        setObjectName(name);
    }
    OpenMode Mode;
};

class StandInOverview : public StandIn, public ReminderOverview {
public:
    StandInOverview()
        : StandIn(QStringLiteral("FPrehled"), OpenMode::Interactive)
    {
    }
    void Aktualizuj() override { ++Refreshes; }
    int Refreshes = 0;
};

// A pop-up as the hub sees one: it counts itself open, learns its reminder
// when shown and counts its rings.
class StandInPopup : public QDialog, public ReminderPopup {
public:
    StandInPopup()
    {
        setAttribute(Qt::WA_DeleteOnClose);
        FZaklad()->WindowOpened();
    }
    int RecordNumber() const override { return m_number; }
    void SetRecordNumber(int number) override { m_number = number; }
    double ReminderCreated() const override { return m_created; }
    void ZvukAkce() override { ++Rings; }
    int Rings = 0;

protected:
    void showEvent(QShowEvent* e) override
    {
        QDialog::showEvent(e);
        ReminderRecord r;
        int n = m_number;
        ReadReminder(n, FZaklad()->ReminderDataPath(), r);
        m_created = r.Created;
    }
    void closeEvent(QCloseEvent* e) override
    {
        QDialog::closeEvent(e);
        FZaklad()->WindowClosed();
    }

private:
    int m_number = 0;
    double m_created = 0;
};

const QStringList WindowNames { "FNewPrip", "Fabout", "FNastav", "FExport", "FExportAuto", "FImport", "FPrevod",
    "FKalendar" };

void RegisterStandIns()
{
    for (const QString& name : WindowNames)
        ReminderForms().Register(name, [name](OpenMode mode) { return new StandIn(name, mode); });
    ReminderForms().Register("FPrehled", [](OpenMode) { return new StandInOverview; });
    ReminderForms().Register("FPrip", [](OpenMode) { return new StandInPopup; });
}

// Visible windows of the program by name, without regard to case.
int OpenCount(const QString& name)
{
    int n = 0;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        n += w->isVisible() && w->objectName().compare(name, Qt::CaseInsensitive) == 0;
    return n;
}

ReminderRecord Reminder(double created, bool erased = false)
{
    ReminderRecord r;
    r.Created = created;
    r.Title = QStringLiteral("r%1").arg(created);
    r.Erased = erased;
    return r;
}

// Records at positions 1.., with the given IDs and Created = 1000 + ID.
void WriteReminders(const QString& path, const QList<int>& ids, const QList<int>& erased = {})
{
    QFile::remove(path);
    for (int i = 0; i < ids.size(); ++i) {
        ReminderRecord r = Reminder(1000 + ids[i], erased.contains(ids[i]));
        r.ID = ids[i];
        WriteReminder(i + 1, path, r);
    }
}

} // namespace

class TestRuvoHub : public QObject {
    Q_OBJECT

    std::unique_ptr<RemindersProgram> m_program;
    std::unique_ptr<QSignalSpy> m_closed;

    // Windows of an earlier hub go with it.
    void StartHub(const QStringList& args = { QStringLiteral("ruvo") })
    {
        m_program->restart(args);
        WatchHub();
    }
    void WatchHub() { m_closed = std::make_unique<QSignalSpy>(&m_program->hub(), &TFZaklad::Closed); }
    void Code(int32_t code) { m_program->hub().HandleReminderCommand(code); }
    bool Ended() const { return !m_closed->isEmpty(); }
    QString DataPath() const { return m_program->dataPath(); }
    template <class T = StandIn> T* Window(const QString& name) { return dynamic_cast<T*>(FindForm(name)); }
private slots:
    void initTestCase()
    {
        QCOMPARE(CommandChannel::own().listen(ReminderAppTitle), CommandChannel::ListenResult::Listening);
        RegisterStandIns();
    }

    void init()
    {
        m_program = std::make_unique<RemindersProgram>(T0);
        WatchHub();
    }

    void cleanup()
    {
        m_program->closeWindows();
        m_closed.reset();
        m_program.reset();
    }

    // What a killed program left beside the data files goes at the start;
    // a replacement that a live program is writing stays.
    void aStartRemovesLeftOverNewFiles()
    {
        const QStringList names { "korvel.da1", "korvel.db1", "korvel.ini", "korvel.bak", "kkorvel.bak", "korvel.tmp" };
        for (const QString& name : names)
            writeFileBytes(m_program->file(name + ".new"), "half a file");
        StartHub();
        for (const QString& name : names)
            QVERIFY2(!QFile::exists(m_program->file(name + ".new")), qPrintable(name));

        ReplacementFile live(DataPath());
        live.write("work", 4);
        StartHub();
        QCOMPARE(readFileBytes(live.path()), QByteArray("work"));
    }

    void startsHiddenWithItsPaths()
    {
        QVERIFY(!m_program->hub().isVisible());
        QCOMPARE(m_program->hub().objectName(), QStringLiteral("FZaklad"));
        QCOMPARE(m_program->hub().windowTitle(), QStringLiteral("Korvel-Pripomenuti"));
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);
        QCOMPARE(m_program->hub().SettingsFile(), m_program->iniPath());
        QCOMPARE(m_program->hub().ReminderDataPath(), m_program->folder() + "/korvel.da1");
        QCOMPARE(m_program->hub().ContactDataPath(), m_program->folder() + "/korvel.db1");
        QCOMPARE(Help::helpFile(), m_program->folder() + "/napoveda");
        QCOMPARE(FZaklad(), &m_program->hub());
        QVERIFY(!m_program->hub().SetupRun());
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));

        // The data folder comes from the settings, the settings file never moves.
        QTemporaryDir data;
        IniWriteString(m_program->iniPath(), "Nastav", "adrdatabaze", data.path());
        StartHub();
        QCOMPARE(m_program->hub().ReminderDataPath(), data.path() + "/korvel.da1");
        QCOMPARE(m_program->hub().ContactDataPath(), data.path() + "/korvel.db1");
        QCOMPARE(m_program->hub().SettingsFile(), m_program->iniPath());
    }

    void eachCommandOpensItsWindowOnce_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("-1 new reminder") << -1 << "FNewPrip";
        QTest::newRow("-2 overview") << -2 << "FPrehled";
        QTest::newRow("-3 about") << -3 << "Fabout";
        QTest::newRow("-4 settings") << -4 << "FNastav";
        QTest::newRow("-5 settings from the tray") << -5 << "FNastav";
        QTest::newRow("-7 export") << -7 << "FExport";
        QTest::newRow("-8 import") << -8 << "FImport";
    }
    void eachCommandOpensItsWindowOnce()
    {
        QFETCH(int, code);
        QFETCH(QString, name);
        WriteReminders(DataPath(), { 1 });
        Code(code);
        QCOMPARE(OpenCount(name), 1);
        QCOMPARE(Window(name)->Mode, OpenMode::Interactive);
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
        // Asked again: the open one comes forward, no second one.
        Window(name)->showMinimized();
        Code(code);
        QCOMPARE(OpenCount(name), 1);
        QVERIFY(!Window(name)->isMinimized());
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
        QVERIFY(!Ended());
    }

    void settingsCodesShareOneWindow()
    {
        Code(rcSettings);
        Code(rcSettingsFromTray);
        QCOMPARE(OpenCount("FNastav"), 1);
    }

    void codeZeroOnlyRestores()
    {
        Code(rcNewReminder);
        Code(rcExport);
        Window("FNewPrip")->setWindowState(Qt::WindowMinimized);
        QVERIFY(Window("FExport")->isMinimized()); // one minimised, all minimised
        Code(rcRestore);
        QVERIFY(!Window("FNewPrip")->isMinimized());
        QVERIFY(!Window("FExport")->isMinimized());
        QCOMPARE(m_program->hub().OpenWindowCount(), 2);
        QVERIFY(Dialogs::shown().isEmpty());
    }

    void overviewOfEmptyFileShowsNothing()
    {
        Code(rcOverview);
        QCOMPARE(OpenCount("FPrehled"), 0);
        QVERIFY(Ended()); // nothing was open: the program ends

        StartHub();
        Code(rcNewReminder);
        Code(rcOverview);
        QCOMPARE(OpenCount("FPrehled"), 0);
        QVERIFY(!Ended());
    }

    void refreshReachesAnOpenOverviewOnly()
    {
        Code(rcRefreshOverview);
        QVERIFY(!Ended()); // nothing open, yet the program goes on
        QCOMPARE(OpenCount("FPrehled"), 0);

        WriteReminders(DataPath(), { 1 });
        Code(rcOverview);
        auto* overview = Window<StandInOverview>("FPrehled");
        QVERIFY(overview);
        Code(rcRefreshOverview);
        QCOMPARE(overview->Refreshes, 1);
        m_program->hub().RefreshOverview();
        QCOMPARE(overview->Refreshes, 2);
        // The program's own post comes round through the channel.
        PostRefreshOverview();
        QCOMPARE(overview->Refreshes, 2);
        QTRY_COMPARE(overview->Refreshes, 3);
    }

    void codesArriveThroughTheChannel()
    {
        QVERIFY(CommandChannel::post(ReminderAppTitle, rcNewReminder));
        QVERIFY(CommandChannel::post(ReminderAppTitle, rcCalendar));
        QTRY_COMPARE(OpenCount("FKalendar"), 1);
        QCOMPARE(OpenCount("FNewPrip"), 1);
    }

    void replacingCodesCloseTheOldWindowFirst_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("oldName");
        QTest::addColumn<QString>("newName");
        QTest::newRow("-11 conversion") << -11 << "FPrevod"
                                        << "FPrevod";
        QTest::newRow("-13 calendar") << -13 << "FKalendar"
                                      << "FKalendar";
        QTest::newRow("-10 automatic export") << -10 << "FExport"
                                              << "FExportAuto";
    }
    void replacingCodesCloseTheOldWindowFirst()
    {
        QFETCH(int, code);
        QFETCH(QString, oldName);
        QFETCH(QString, newName);
        Code(code == rcAutoExport ? rcExport : code);
        QPointer<QWidget> old = FindForm(oldName);
        QVERIFY(old);
        // The old window is the only one: its closing must not end the
        // program on the way to the new one.
        Code(code);
        QVERIFY(!Ended());
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!old);
        QCOMPARE(OpenCount(newName), 1);
        QVERIFY(FindForm(newName));
        QCOMPARE(Window(newName)->Mode, code == rcAutoExport ? OpenMode::Automatic : OpenMode::Interactive);
    }

    void automaticExportClosesTheTray()
    {
        QTemporaryDir logs;
        FakeTray tray(logs.filePath("tray.log"));
        QTRY_VERIFY(tray.Ready(0));
        Code(rcAutoExport);
        QCOMPARE(Window("FExportAuto")->Mode, OpenMode::Automatic);
        QTRY_COMPARE(tray.Codes(), QStringList { "7 0" });
    }

    void automaticImportWhenDue()
    {
        QTemporaryDir logs;
        FakeTray tray(logs.filePath("tray.log"));
        QTRY_VERIFY(tray.Ready(0));

        // Not due: the tray resumes and the program stays, hidden.
        SetAutoImportDueTest({});
        Code(rcAutoImport);
        QTRY_COMPARE(tray.Codes(), QStringList { "5 0" });
        QCOMPARE(OpenCount("FImport"), 0);
        QVERIFY(!Ended());
        SetAutoImportDueTest([] { return false; });
        Code(rcAutoImport);
        QTRY_COMPARE(tray.Codes(), (QStringList { "5 0", "5 0" }));
        QVERIFY(!Ended());

        // Due: an automatic import window; an open one comes forward, and the
        // tray, which paused itself for the import, resumes.
        SetAutoImportDueTest([] { return true; });
        Code(rcAutoImport);
        QCOMPARE(OpenCount("FImport"), 1);
        QCOMPARE(Window("FImport")->Mode, OpenMode::Automatic);
        Code(rcAutoImport);
        QCOMPARE(OpenCount("FImport"), 1);
        QTRY_COMPARE(tray.Codes(), (QStringList { "5 0", "5 0", "5 0" }));
        SetAutoImportDueTest({});
    }

    void hotkeyFailuresAreReported()
    {
        IniWriteInteger(m_program->iniPath(), "Klaves", "chyba", 2);
        Code(rcNewReminder);
        Code(rcHotkeyFailures);
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().at(0).text,
            QStringLiteral("Počet nezaregistrovaných klávesových zkratek: 2\r(již používá jiný program)"));
        QCOMPARE(Dialogs::shown().at(0).type, MsgDlgType::Information);
        QCOMPARE(Dialogs::shown().at(0).buttons, int(MsgBtn::OK));
        QVERIFY(!Ended()); // a window is open

        StartHub();
        IniWriteString(m_program->iniPath(), "Klaves", "chyba", "");
        Code(rcHotkeyFailures);
        QVERIFY(Dialogs::shown().at(1).text.startsWith("Počet nezaregistrovaných klávesových zkratek: 0\r"));
        QVERIFY(Ended()); // started for the message only
    }

    void codesBelowTheLowestCommandAreIgnored_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("-14") << -14;
        QTest::newRow("-1000") << -1000;
        QTest::newRow("INT_MIN") << INT_MIN;
    }
    void codesBelowTheLowestCommandAreIgnored()
    {
        QFETCH(int, code);
        WriteReminders(DataPath(), { 1, 2, 3 });
        Code(rcNewReminder);
        Window("FNewPrip")->setWindowState(Qt::WindowMinimized);
        Code(code);
        QVERIFY(Window("FNewPrip")->isMinimized()); // not even restored
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
        QVERIFY(Dialogs::shown().isEmpty());
        for (int n = 1; n <= 3; ++n)
            QVERIFY(!FindPopup(n));

        StartHub();
        Code(code);
        QVERIFY(!Ended());
        QVERIFY(Dialogs::shown().isEmpty());
    }

    void aReminderNumberOpensItsPopup()
    {
        WriteReminders(DataPath(), { 1, 2, 3 });
        Code(1); // 1 is a reminder, not a command
        Code(3);
        auto* first = dynamic_cast<StandInPopup*>(FindPopup(1));
        auto* third = dynamic_cast<StandInPopup*>(FindPopup(3));
        QVERIFY(first && third);
        QCOMPARE(first->objectName(), QStringLiteral("Pripomenuti1"));
        QCOMPARE(first->RecordNumber(), 1);
        QCOMPARE(third->RecordNumber(), 3);
        QCOMPARE(third->ReminderCreated(), 1003.0);
        QVERIFY(third->isVisible());
        QCOMPARE(m_program->hub().LastPopupTime(), Now());
        QCOMPARE(m_program->hub().OpenWindowCount(), 2);
        QVERIFY(!FindPopup(2));
    }

    void aNumberBeyondTheFileOpensNothing()
    {
        WriteReminders(DataPath(), { 1, 2 });
        Code(3);
        QVERIFY(!FindPopup(3));
        QVERIFY(!FindPopup(2)); // not the last record under another number
        QVERIFY(Ended());

        StartHub();
        Code(rcNewReminder);
        Code(5);
        QVERIFY(!FindPopup(5));
        QVERIFY(!Ended());

        StartHub();
        QFile::remove(DataPath());
        Code(1);
        QVERIFY(!FindPopup(1));
        QVERIFY(Ended());
    }

    void anErasedReminderGetsNoPopup()
    {
        WriteReminders(DataPath(), { 1, 2 }, { 2 });
        Code(2);
        QVERIFY(!FindPopup(2));
        QVERIFY(Ended());

        StartHub();
        Code(1);
        Code(2);
        QVERIFY(FindPopup(1));
        QVERIFY(!FindPopup(2));
        QVERIFY(!Ended());
    }

    void aShownPopupComesBackAfterHalfThePeriod_data()
    {
        QTest::addColumn<QString>("pripopak");
        QTest::addColumn<int>("quietSeconds");
        QTest::addColumn<int>("ringSeconds");
        QTest::newRow("default 1 minute") << "" << 10 << 40;
        QTest::newRow("1 minute") << "1" << 29 << 31;
        QTest::newRow("0 counts as 1") << "0" << 29 << 31;
        QTest::newRow("negative counts as 1") << "-5" << 29 << 31;
        QTest::newRow("60 minutes") << "60" << 30 * 60 - 1 << 30 * 60 + 1;
        QTest::newRow("1000 minutes") << "1000" << 500 * 60 - 1 << 500 * 60 + 1;
    }
    void aShownPopupComesBackAfterHalfThePeriod()
    {
        QFETCH(QString, pripopak);
        QFETCH(int, quietSeconds);
        QFETCH(int, ringSeconds);
        if (!pripopak.isEmpty())
            IniWriteString(m_program->iniPath(), "Nastav", "pripopak", pripopak);
        WriteReminders(DataPath(), { 1, 2 });
        Code(2);
        auto* popup = dynamic_cast<StandInPopup*>(FindPopup(2));
        QVERIFY(popup);
        const double shown = m_program->hub().LastPopupTime();

        Clock::advance(qint64(quietSeconds) * 1000);
        Code(2);
        QCOMPARE(popup->Rings, 0);
        QCOMPARE(m_program->hub().LastPopupTime(), shown);

        Clock::setNow(T0.addSecs(ringSeconds));
        Code(2);
        QCOMPARE(popup->Rings, 1);
        QCOMPARE(m_program->hub().LastPopupTime(), Now());
        QCOMPARE(OpenCount("Pripomenuti2"), 1);
        QVERIFY(Dialogs::shown().isEmpty()); // no conversion error, whatever the setting
    }

    void aPopupOfAnotherReminderIsNotBroughtBack()
    {
        WriteReminders(DataPath(), { 1, 2 });
        Code(2);
        QPointer<StandInPopup> old = dynamic_cast<StandInPopup*>(FindPopup(2));
        // Another reminder now sits at position 2 (the old one was removed).
        WriteReminders(DataPath(), { 1, 3 });
        Clock::advance(3600 * 1000);
        Code(2);
        QVERIFY(old);
        QCOMPARE(old->Rings, 0);
        QVERIFY(old->objectName().isEmpty());
        auto* fresh = dynamic_cast<StandInPopup*>(FindPopup(2));
        QVERIFY(fresh && fresh != old);
        QCOMPARE(fresh->ReminderCreated(), 1003.0);
    }

    void renumberingRenamesPopupsWhateverTheOrder()
    {
        // IDs out of order: positions 1, 2, 3 hold IDs 2, 1, 3.
        WriteReminders(DataPath(), { 2, 1, 3 });
        auto* id2 = new StandInPopup;
        id2->SetRecordNumber(1);
        id2->show();
        id2->SetRecordNumber(2);
        id2->setObjectName("Pripomenuti2");
        auto* id1 = new StandInPopup;
        id1->SetRecordNumber(2);
        id1->show();
        id1->SetRecordNumber(1);
        id1->setObjectName("Pripomenuti1");
        QCOMPARE(id2->ReminderCreated(), 1002.0);
        QCOMPARE(id1->ReminderCreated(), 1001.0);

        RenumberReminders(DataPath());
        QCOMPARE(id2->objectName(), QStringLiteral("Pripomenuti1"));
        QCOMPARE(id2->RecordNumber(), 1);
        QCOMPARE(id1->objectName(), QStringLiteral("Pripomenuti2"));
        QCOMPARE(id1->RecordNumber(), 2);
        QCoreApplication::processEvents();
        QCOMPARE(FindPopup(1), id2);
        QCOMPARE(FindPopup(2), id1);
    }

    void renumberingAfterADeletionLeavesNoClash()
    {
        WriteReminders(DataPath(), { 1, 2, 3 });
        Code(2);
        Code(3);
        QPointer<QWidget> second = FindPopup(2);
        QPointer<QWidget> third = FindPopup(3);
        DeleteReminder(2, DataPath());
        RenumberReminders(DataPath());
        QCOMPARE(third->objectName(), QStringLiteral("Pripomenuti2"));
        QCoreApplication::processEvents();
        // The pop-up of the deleted reminder is no longer found by any number.
        QVERIFY(second);
        QVERIFY(second->objectName().isEmpty());
        QCOMPARE(FindPopup(2), third.data());
        QVERIFY(!FindPopup(3));
    }

    void theLastWindowClosingEndsTheProgram()
    {
        WriteReminders(DataPath(), { 1 });
        Code(rcNewReminder);
        Code(1);
        QCOMPARE(m_program->hub().OpenWindowCount(), 2);
        FindPopup(1)->close();
        QVERIFY(!Ended());
        Window("FNewPrip")->close();
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);
        QCOMPARE(m_closed->size(), 1);
    }

    void aWindowNotBuiltYetSaysSo()
    {
        ReminderForms().Register("FNastav", {});
        Code(rcSettings);
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().at(0).text, FormFactory::NotAvailableText("FNastav"));
        QCOMPARE(
            Dialogs::shown().at(0).text, QStringLiteral("Okno FNastav zatím není v této verzi programu k dispozici."));
        QVERIFY(Ended()); // nothing else was open
        RegisterStandIns();
    }

    void codesAreHandledWhileAModalDialogRuns()
    {
        // A real message box, with its own event loop.
        Dialogs::clearScript();
        Dialogs::setScripted(false);
        bool posted = false;
        bool sawWindow = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!box)
                return;
            if (!posted) {
                posted = CommandChannel::post(ReminderAppTitle, rcNewReminder);
                return;
            }
            if (FindForm("FNewPrip")) {
                sawWindow = true;
                box->reject();
            }
        });
        poll.start(10);
        QVERIFY(CommandChannel::post(ReminderAppTitle, rcHotkeyFailures));
        QTRY_VERIFY(sawWindow);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(OpenCount("FNewPrip"), 1);
        // The window opened meanwhile keeps the program alive.
        QVERIFY(!Ended());
    }

    void setupMakesTheDesktopEntriesAndStartsTheTray()
    {
        QTemporaryDir xdg;
        qputenv("XDG_DATA_HOME", QFile::encodeName(xdg.filePath("data")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(xdg.filePath("config")));
        const QString started = m_program->file("korvel.started");
        const QString tray = m_program->file("korvel");
        writeFileBytes(tray, "#!/bin/sh\necho started > \"$0.started\"\n");
        QFile::setPermissions(tray, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        StartHub({ "ruvo", "-setup" });
        QVERIFY(m_program->hub().SetupRun());
        const QString apps = xdg.filePath("data/applications/korvel/");
        QVERIFY(QFileInfo::exists(xdg.filePath("config/autostart/korvel.desktop")));
        QVERIFY(QFileInfo::exists(apps + "korvel.desktop"));
        QVERIFY(QFileInfo::exists(apps + "popis.desktop"));
        QVERIFY(QFileInfo::exists(apps + "napoveda.desktop"));
        QVERIFY(QString::fromUtf8(readFileBytes(xdg.filePath("config/autostart/korvel.desktop"))).contains(tray));
        QVERIFY(QString::fromUtf8(readFileBytes(apps + "popis.desktop")).contains(m_program->file("popis.txt")));
        QVERIFY(QString::fromUtf8(readFileBytes(apps + "napoveda.desktop"))
                    .contains(m_program->file("napoveda/index.html")));
        QCOMPARE(IniReadInteger(m_program->iniPath(), "ZvukAdr", "pocet", 0), 1);
        QCOMPARE(IniReadString(m_program->iniPath(), "ZvukAdr", "1", ""), m_program->file("sound"));
        QCOMPARE(Dialogs::beeps(), QList<MsgDlgType> { MsgDlgType::Custom });
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().at(0).text,
            QStringLiteral("Program vytvořil zástupce v nabídce start\ra spustil rezidentní část (korvel.exe)"));
        QTRY_VERIFY(QFileInfo::exists(started));

        // A second set-up keeps the sound folders the user chose.
        IniWriteInteger(m_program->iniPath(), "ZvukAdr", "pocet", 2);
        IniWriteString(m_program->iniPath(), "ZvukAdr", "1", "/elsewhere");
        StartHub({ "ruvo", "-setup" });
        QCOMPARE(IniReadString(m_program->iniPath(), "ZvukAdr", "1", ""), QStringLiteral("/elsewhere"));
        QCOMPARE(IniReadInteger(m_program->iniPath(), "ZvukAdr", "pocet", 0), 2);
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_CONFIG_HOME");
    }

    void setupLeavesARunningTrayAlone()
    {
        QTemporaryDir xdg;
        qputenv("XDG_DATA_HOME", QFile::encodeName(xdg.filePath("data")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(xdg.filePath("config")));
        const QString tray = m_program->file("korvel");
        writeFileBytes(tray, "#!/bin/sh\necho started > \"$0.started\"\n");
        QFile::setPermissions(tray, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QTemporaryDir logs;
        FakeTray running(logs.filePath("tray.log"));
        QTRY_VERIFY(running.Ready(0));

        StartHub({ "ruvo", "-setup" });
        QTRY_COMPARE(running.Codes(), QStringList { "0 0" }); // a code it ignores
        QVERIFY(!QFileInfo::exists(m_program->file("korvel.started")));
        QVERIFY(QFileInfo::exists(xdg.filePath("config/autostart/korvel.desktop")));
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_CONFIG_HOME");
    }

    void setupGoesOnWithoutTheTrayProgram()
    {
        QTemporaryDir xdg;
        qputenv("XDG_DATA_HOME", QFile::encodeName(xdg.filePath("data")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(xdg.filePath("config")));
        StartHub({ "ruvo", "-setup" });
        QVERIFY(m_program->hub().SetupRun());
        QVERIFY(QFileInfo::exists(xdg.filePath("data/applications/korvel/korvel.desktop")));
        QCOMPARE(Dialogs::shown().size(), 1);
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_CONFIG_HOME");
    }

    void setupOnlyAsTheOneExactArgument_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("with a second argument") << QStringList { "ruvo", "-setup", "x" };
        QTest::newRow("other case") << QStringList { "ruvo", "-Setup" };
        QTest::newRow("second place") << QStringList { "ruvo", "x", "-setup" };
    }
    void setupOnlyAsTheOneExactArgument()
    {
        QFETCH(QStringList, args);
        QTemporaryDir xdg;
        qputenv("XDG_DATA_HOME", QFile::encodeName(xdg.filePath("data")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(xdg.filePath("config")));
        StartHub(args);
        QVERIFY(!m_program->hub().SetupRun());
        QVERIFY(!QFileInfo::exists(xdg.filePath("data/applications")));
        QVERIFY(Dialogs::shown().isEmpty());
        // It runs as the hub.
        QVERIFY(CommandChannel::post(ReminderAppTitle, rcNewReminder));
        QTRY_COMPARE(OpenCount("FNewPrip"), 1);
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_CONFIG_HOME");
    }
};

QTEST_MAIN(TestRuvoHub)
#include "tst_ruvohub.moc"
