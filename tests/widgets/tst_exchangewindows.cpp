// The export and import windows in the running program's main form,
// offscreen, over real files: what the user is told, what the tray resident
// and the contacts program hear, what the exchange and home files and
// [FImport] hold after, also when the exchange folder goes away mid-run.
#include "reminders/ruvo_export.h"
#include "reminders/ruvo_import.h"
#include "reminders/ruvo_zaklad.h"

#include "components/gradtext.h"
#include "components/kitstatusbar.h"
#include "components/tooledit.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/inifile.h"
#include "shared/commands.h"
#include "shared/contactfile.h"
#include "shared/exchangefiles.h"
#include "shared/reminderfile.h"

#include "faketray.h"
#include "oldlayout.h"
#include "remindersprogram.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>
#include <thread>

namespace {

ReminderRecord reminder(double created, const QString& title, bool transferable, bool erased, double changed)
{
    ReminderRecord r;
    r.Created = created;
    r.Title = title;
    r.Transferable = transferable;
    r.Erased = erased;
    r.LastChange = changed;
    return r;
}

QStringList titles(const QString& path)
{
    QStringList out;
    ForEachReminder(path, [&](int, const ReminderRecord& r) { out << QStringLiteral("%1 %2").arg(r.ID).arg(r.Title); });
    return out;
}

void saveShot(QWidget* w, const QString& name)
{
    w->grab().save(artifactPath(name));
}

} // namespace

class TestExchangeWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_exchange;
    std::unique_ptr<RemindersProgram> m_program;
    std::unique_ptr<FakeTray> m_tray;
    std::unique_ptr<FakeTray> m_contacts;

    QString home() const { return m_program->dataPath(); }
    QString homeContacts() const { return m_program->file("korvel.db1"); }
    QString exchange(const char* name) const { return m_exchange->filePath(QLatin1String(name)); }
    QString key(const char* name) const { return IniFile(m_program->iniPath()).readString("FImport", name, "-"); }

    // Two transferable reminders (one erased), one private, one changed
    // before the last import; two contacts, one deleted.
    void fillHome()
    {
        IniFile ini(m_program->iniPath());
        ini.writeString("FImport", "datum", "5.3.2025");
        ini.writeString("FImport", "cas", "10:00:00");
        const double lastImport = EncodeDate(2025, 3, 5) + EncodeTime(10, 0, 0, 0);
        const QList<ReminderRecord> records { reminder(1, "nová", true, false, lastImport + 1),
            reminder(2, "vymazaná", true, true, lastImport + 1), reminder(3, "soukromá", false, true, lastImport + 1),
            reminder(4, "stará", true, false, lastImport - 1) };
        for (int i = 0; i < records.size(); ++i) {
            ReminderRecord r = records[i];
            r.ID = i + 1;
            WriteReminder(i + 1, home(), r);
        }
        for (int i = 0; i < 2; ++i) {
            ContactRecord c;
            c.cislo = i + 1;
            c.unikat = 100 + i;
            c.prijmeni = i == 0 ? QStringLiteral("Novák") : QStringLiteral("Smazaný");
            c.prenos = true;
            c.vymazano = i == 1;
            c.zmena = lastImport + 1;
            WriteContact(i + 1, homeContacts(), c);
        }
    }

    // Everything the tray resident has heard, once a marker posted now has
    // come after it.
    QStringList trayHeard()
    {
        NotifyTray(tnRemindersChanged);
        [&] { QTRY_VERIFY(m_tray->Codes().endsWith("1 0")); }();
        QStringList codes = m_tray->Codes();
        codes.removeLast();
        QFile::resize(m_program->file("tray.log"), 0);
        return codes;
    }

    // The exchange folder goes away (a share that drops, a stick pulled)
    // once the tray resident has been paused, while the window works; it
    // comes back when the returned guard goes.
    [[nodiscard]] std::shared_ptr<void> folderGoesOnPause()
    {
        const QString path = m_exchange->path();
        auto gone = std::make_shared<std::atomic<bool>>(false);
        auto watcher = std::make_shared<std::thread>([this, path, gone] {
            const QDeadlineTimer deadline(10000);
            while (!m_tray->Codes().contains("4 0") && !deadline.hasExpired())
                QThread::msleep(5);
            *gone = QDir().rename(path, path + "-pryč");
        });
        return std::shared_ptr<void>(nullptr, [watcher, gone, path](void*) {
            watcher->join();
            if (*gone)
                QDir().rename(path + "-pryč", path);
        });
    }

    // A fresh window, shown; its result is caught when it closes.
    QPointer<TFExport> open(TFExport* w, int* result)
    {
        connect(w, &QDialog::finished, this, [result](int r) { *result = r; });
        w->show();
        return w;
    }

private slots:
    void init()
    {
        m_program = std::make_unique<RemindersProgram>();
        m_exchange = std::make_unique<QTemporaryDir>();
        IniFile(m_program->iniPath()).writeString("Nastav", "expimpdir", m_exchange->path());
        m_tray = std::make_unique<FakeTray>(m_program->file("tray.log"));
        m_contacts = std::make_unique<FakeTray>(m_program->file("dorv.log"), ContactAppTitle);
        QVERIFY(m_tray->Ready());
        QVERIFY(m_contacts->Ready());
    }
    void cleanup()
    {
        m_program->closeWindows();
        m_contacts.reset();
        m_tray.reset();
        m_program.reset();
        m_exchange.reset();
    }

    void theWindowAsItOpens()
    {
        int result = -1;
        QPointer<TFExport> w = open(new TFExport, &result);
        QCOMPARE(w->objectName(), QString("FExport"));
        QCOMPARE(w->windowTitle(), QString("Export pripomenutí a kontaktů"));
        for (QCheckBox* box : { w->ChBPrip, w->ChBKont, w->ChBZmena, w->ChBKZmena, w->ChBZaloha, w->ChBPoz })
            QVERIFY2(box->isChecked(), qPrintable(box->objectName()));
        QVERIFY(!w->ChBOdstranit->isChecked());
        QVERIFY(!w->ChBKOdstranit->isChecked());
        QCOMPARE(w->ChBZmena->parentWidget(), w->GBPrip);
        QCOMPARE(w->ChBKOdstranit->parentWidget(), w->GBKont);
        QCOMPARE(w->ChBZmena->text(), QString("ano/ne"));
        QCOMPARE(w->ChBZaloha->toolTip(), QString("vytvářet záložní soubor s exportovanými daty"));
        QCOMPARE(w->Dir->text(), m_exchange->path());
        QCOMPARE(w->BOK->statusTip(), QString("spustí export připomenutí"));
        QVERIFY(w->LAkce->isHidden());
        QVERIFY(w->Prubeh->isHidden());
        QVERIFY(!w->TAuto->isActive());
        // Every control lies inside the window, above the status bar.
        for (QWidget* c : { static_cast<QWidget*>(w->BOK), static_cast<QWidget*>(w->BBHelp),
                 static_cast<QWidget*>(w->Dir), static_cast<QWidget*>(w->GBKont) })
            QVERIFY2(c->mapTo(w, QPoint(c->width(), c->height())).y() < w->SBar()->mapTo(w, QPoint()).y()
                    && c->mapTo(w, QPoint(c->width(), 0)).x() <= w->width(),
                qPrintable(c->objectName()));
        saveShot(w, "export.png");
        w->BCancel->click();
        QTRY_VERIFY(!w);
        QCOMPARE(result, int(mrCancel));
        QCOMPARE(trayHeard(), QStringList());
    }

    void anInteractiveExportWritesTellsAndRemoves()
    {
        fillHome();
        int result = -1;
        QPointer<TFExport> w = open(new TFExport, &result);
        w->ChBOdstranit->setChecked(true);
        w->ChBKOdstranit->setChecked(true);
        w->ChBPoz->setChecked(false);
        QList<int> barSteps;
        connect(w->Prubeh, &QProgressBar::valueChanged, this, [&](int v) { barSteps << v; });
        w->BOK->click();

        QTRY_VERIFY(!w);
        QCOMPARE(result, int(mrOk)); // the overview reloads: reminders were removed
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().at(0).text,
            QString("Export proveden\rPřipomenutí:  - exportováno: 2\r  - vymazáno: 1\r"
                    "Kontakty:  - exportováno: 2\r  - vymazáno: 1"));
        QCOMPARE(Dialogs::shown().at(0).type, MsgDlgType::Information);
        QCOMPARE(trayHeard(), QStringList({ "4 0", "5 0" }));
        QTRY_COMPARE(m_contacts->Codes(), QStringList({ "-3 0" }));
        // The bar went over all four records, then again for the removal.
        QCOMPARE(barSteps, QList<int>({ 1, 2, 3, 4, 0, 1, 2, 3, 4 }));

        QCOMPARE(titles(exchange("exp_imp.dat")), QStringList({ "1 nová", "2 vymazaná" }));
        QCOMPARE(readFileBytes(exchange("exp_imp.bak")), readFileBytes(exchange("exp_imp.dat")));
        QCOMPARE(ContactCount(exchange("kexp_imp.dat")), 2);
        QCOMPARE(titles(home()), QStringList({ "1 nová", "2 soukromá", "3 stará" }));
        QCOMPARE(ContactCount(homeContacts()), 1);
        // The file times, as the keys hold them.
        const double written = *ExchangeFileTime(exchange("exp_imp.dat"));
        QCOMPARE(key("autodatum"), DateToStr(written));
        QCOMPARE(key("autocas"), TimeToStr(written));
        QCOMPARE(key("kautocas"), TimeToStr(*ExchangeFileTime(exchange("kexp_imp.dat"))));
        QCOMPARE(key("datum"), QString("5.3.2025")); // the export keeps the import's keys
    }

    void theTrayIsToldToEndAfterAnExportWhenAsked()
    {
        fillHome();
        int result = -1;
        QPointer<TFExport> w = open(new TFExport, &result);
        w->ChBKont->setChecked(false);
        w->ChBZaloha->setChecked(false);
        w->BOK->click();
        QTRY_VERIFY(!w);
        QCOMPARE(result, int(QDialog::Rejected)); // nothing removed: no reload
        QCOMPARE(trayHeard(), QStringList({ "4 0", "8 0" }));
        QVERIFY(!QFileInfo::exists(exchange("exp_imp.bak")));
        QVERIFY(!QFileInfo::exists(exchange("kexp_imp.dat")));
        QCOMPARE(key("kautodatum"), QString("-"));
    }

    void aFolderThatIsNotThereIsReported()
    {
        fillHome();
        int result = -1;
        QPointer<TFExport> w = open(new TFExport, &result);
        w->Dir->setText(m_exchange->filePath("chybí"));
        w->BOK->click();
        QVERIFY(w);
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().at(0).text, QString("Zadaný adresář neexistuje - ukončuji"));
        QCOMPARE(Dialogs::shown().at(0).type, MsgDlgType::Warning);
        QVERIFY(Dialogs::beeps().contains(MsgDlgType::Information));
        QCOMPARE(trayHeard(), QStringList());
        QVERIFY(QDir(m_exchange->path()).isEmpty());
    }

    // A folder nobody may make a file in, root included: the kernel's own.
    void aFolderThatTakesNoFileLosesNothingAndTheTrayResumes()
    {
        if (!QFileInfo(QStringLiteral("/sys/kernel")).isDir())
            QSKIP("no /sys/kernel here");
        fillHome();
        const QByteArray before = readFileBytes(home());
        int result = -1;
        QPointer<TFExport> w = open(new TFExport, &result);
        w->ChBOdstranit->setChecked(true);
        w->Dir->setText(QStringLiteral("/sys/kernel"));
        w->BOK->click();
        QVERIFY(w); // the user may choose another folder
        QCOMPARE(Dialogs::shown().size(), 1);
        QVERIFY2(Dialogs::shown().at(0).text.startsWith(
                     "Export se nezdařil - přístup odepřen (adresář nebo soubor je jen pro čtení).\r"),
            qPrintable(Dialogs::shown().at(0).text));
        QVERIFY(Dialogs::shown().at(0).text.endsWith("\rPůvodní data zůstala zachována."));
        QCOMPARE(Dialogs::shown().at(0).type, MsgDlgType::Error);
        QCOMPARE(trayHeard(), QStringList({ "4 0", "5 0" }));
        QCOMPARE(readFileBytes(home()), before); // the erased one is still at home
        QCOMPARE(key("autodatum"), QString("-"));
        QVERIFY(w->ChBPrip->isVisible());
        QVERIFY(w->LAkce->isHidden());
        QVERIFY(w->BOK->isEnabled());
    }

    void nothingToExportPostsNoTrayCode()
    {
        int result = -1;
        QPointer<TFExport> w = open(new TFExport, &result);
        w->BOK->click();
        QTRY_VERIFY(!w);
        QCOMPARE(trayHeard(), QStringList());
        QCOMPARE(Dialogs::shown().at(0).text,
            QString("Export proveden\rPřipomenutí:  - exportováno: 0\r"
                    "  - vymazáno: 0\rKontakty:  - exportováno: 0\r  - vymazáno: 0"));
    }

    // Asked for by the tray resident at the end of the session: the settings
    // choose, nobody is asked, the tray resident is told to end.
    void theAutomaticExportRunsByItself()
    {
        fillHome();
        IniFile ini(m_program->iniPath());
        ini.writeBool("Nastav", "autoexpzal", false);
        ini.writeBool("Nastav", "autoexpdel", true);
        ini.writeBool("Nastav", "autoexpzmen", false);
        ini.writeBool("Nastav", "autokontanone", false);
        auto* w = new TFExportAuto;
        w->AutoMode = true;
        int result = -1;
        QPointer<TFExport> shown = open(w, &result);
        QVERIFY(!w->BOK->isEnabled());
        QVERIFY(w->TAuto->isActive());
        QVERIFY(!w->ChBZaloha->isChecked());
        QVERIFY(w->ChBOdstranit->isChecked());
        QVERIFY(!w->ChBZmena->isChecked());
        QVERIFY(!w->ChBKont->isChecked());
        QTRY_COMPARE_WITH_TIMEOUT(m_tray->Codes(), QStringList({ "4 0", "8 0", "7 0" }), 10000);
        QVERIFY(shown); // it stays, telling the user to end the session again
        QVERIFY(Dialogs::shown().isEmpty());
        QCOMPARE(titles(exchange("exp_imp.dat")), QStringList({ "1 nová", "2 vymazaná", "3 stará" }));
        QVERIFY(!QFileInfo::exists(exchange("exp_imp.bak")));
        QVERIFY(!QFileInfo::exists(exchange("kexp_imp.dat")));
        QCOMPARE(titles(home()), QStringList({ "1 nová", "2 soukromá", "3 stará" }));

        QCOMPARE(w->objectName(), QString("FExportAuto"));
        QCOMPARE(w->windowTitle(), QString("Automatický export pripomenutí"));
        QCOMPARE(w->GradText->Lines(), QStringList({ "ukončení Windows bylo ", "zastaveno,", "prosím o opakování" }));
        QCOMPARE(w->GradText->BeginColor(), clPurple);
        QCOMPARE(w->GradText->GradientStyle(), gsVertCenter);
        QVERIFY(w->GradText->font().bold() && w->GradText->font().italic());
        QCOMPARE(w->GradText->font().pixelSize(), 32);
        // Centred, the text between the buttons and the status bar.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(w->frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(w->frameGeometry().center().y() - screen.center().y()) <= 1);
        QVERIFY(w->Panel->geometry().top() > w->BOK->geometry().bottom());
        QVERIFY(w->GradText->mapTo(w, QPoint(0, w->GradText->height())).y() <= w->SBar()->mapTo(w, QPoint()).y());
        saveShot(w, "export_auto.png");
    }

    void anAutomaticExportWithoutItsFolderWaitsForTheUser()
    {
        IniFile(m_program->iniPath()).writeString("Nastav", "expimpdir", m_exchange->filePath("odpojený"));
        auto* w = new TFExportAuto;
        w->AutoMode = true;
        int result = -1;
        open(w, &result);
        QVERIFY(w->BOK->isEnabled());
        QVERIFY(!w->TAuto->isActive());
        QTest::qWait(200);
        QCOMPARE(trayHeard(), QStringList());
    }

    // A home file of the previous layout, even of one record (shorter than
    // one current record), is converted and exported.
    void aHomeFileOfTheOldLayoutIsConvertedAndExported()
    {
        writeFileBytes(home(), oldLayoutRecord(1, "stará"));
        int result = -1;
        QPointer<TFExport> w = open(new TFExport, &result);
        w->BOK->click();
        QTRY_VERIFY(!w);
        QCOMPARE(titles(exchange("exp_imp.dat")), QStringList { "1 stará" });
        QCOMPARE(QFileInfo(home()).size(), ReminderRecord::Size);
        QCOMPARE(trayHeard(), QStringList({ "4 0", "8 0" }));
    }

    // An automatic run that is due when the program is to end runs first.
    void anEndingProgramRunsADueAutomaticExportFirst()
    {
        fillHome();
        QSignalSpy ended(&m_program->hub(), &TProgramHub::Closed);
        auto* w = new TFExportAuto;
        w->AutoMode = true;
        w->show(); // its run is due in a moment
        m_program->hub().EndSession();
        QTRY_COMPARE(ended.size(), 1);
        QCOMPARE(titles(exchange("exp_imp.dat")), QStringList({ "1 nová", "2 vymazaná" }));
        QCOMPARE(trayHeard(), QStringList({ "4 0", "8 0", "7 0" }));
    }

    // Whatever the moment the folder goes, the home files stay whole, the
    // old exchange file stays as it was, nothing is recorded as exchanged,
    // the tray resident resumes and the user reads why in Czech.
    void nothingIsLostWhenTheFolderGoesMidRun_data()
    {
        QTest::addColumn<bool>("exporting");
        QTest::newRow("export") << true;
        QTest::newRow("import") << false;
    }
    void nothingIsLostWhenTheFolderGoesMidRun()
    {
        QFETCH(bool, exporting);
        fillHome();
        ReminderRecord earlier = reminder(1, "ze směny", true, true, 0);
        earlier.ID = 1;
        writeFileBytes(exchange("exp_imp.dat"), ReminderBytes(earlier));
        const QByteArray exchanged = readFileBytes(exchange("exp_imp.dat"));
        const QByteArray before = readFileBytes(home());
        const QByteArray contactsBefore = readFileBytes(homeContacts());
        int result = -1;
        QPointer<TFVychoziZakl> w;
        if (exporting) {
            QPointer<TFExport> e = open(new TFExport, &result);
            e->ChBOdstranit->setChecked(true);
            e->ChBKOdstranit->setChecked(true);
            w = e.data();
            const auto gone = folderGoesOnPause();
            e->BOK->click();
        } else {
            auto* i = new TFImport;
            connect(i, &QDialog::finished, this, [&result](int r) { result = r; });
            i->show();
            i->ChBOdstranit->setChecked(true);
            i->ChBKont->setChecked(false); // the other machine sent no contacts
            w = i;
            const auto gone = folderGoesOnPause();
            i->BOK->click();
        }
        QVERIFY(w); // open still: the user may try again
        const QString action = exporting ? "Export" : "Import";
        QCOMPARE(Dialogs::shown().size(), 1);
        QVERIFY2(Dialogs::shown().at(0).text.startsWith(action + " se nezdařil - adresář nebo soubor neexistuje.\r"),
            qPrintable(Dialogs::shown().at(0).text));
        QVERIFY(Dialogs::shown().at(0).text.endsWith("\rPůvodní data zůstala zachována."));
        QCOMPARE(trayHeard(), QStringList({ "4 0", "5 0" }));
        QCOMPARE(readFileBytes(home()), before);
        QCOMPARE(readFileBytes(homeContacts()), contactsBefore);
        QCOMPARE(readFileBytes(exchange("exp_imp.dat")), exchanged);
        QCOMPARE(QDir(m_exchange->path()).entryList(QDir::Files), QStringList { "exp_imp.dat" });
        for (const char* k : { "autodatum", "autocas", "kautodatum", "kautocas", "kdatum", "kcas" })
            QCOMPARE(key(k), QString("-"));
        QCOMPARE(result, -1);
        saveShot(w, exporting ? "export-folder-gone.png" : "import-folder-gone.png");
    }

    // At the tray resident's start: only the sides whose automatic exchange
    // is on and whose exchange file is newer than the last one seen here; a
    // side that is not takes nothing, so newer edits at home stay.
    void theAutomaticImportTakesOnlyTheSidesOnAndDue_data()
    {
        QTest::addColumn<bool>("reminders"); // "autoexpimp"
        QTest::addColumn<bool>("contacts"); // "kautoexpimp"
        QTest::addColumn<bool>("remindersNewer");
        QTest::addColumn<bool>("contactsNewer");
        QTest::addColumn<QString>("reminderTitle");
        QTest::addColumn<QString>("contactName");
        QTest::addColumn<QStringList>("tray");
        QTest::newRow("both on, both newer") << true << true << true << true << "ze směny"
                                             << "Směna" << QStringList { "4 0", "5 0" };
        QTest::newRow("contacts off") << true << false << true << true << "ze směny"
                                      << "Doma" << QStringList { "4 0", "5 0" };
        QTest::newRow("reminders not newer") << true << true << false << true << "doma upraveno"
                                             << "Směna" << QStringList { "5 0" };
        QTest::newRow("both off") << false << false << true << true << "doma upraveno"
                                  << "Doma" << QStringList { "5 0" };
    }
    void theAutomaticImportTakesOnlyTheSidesOnAndDue()
    {
        QFETCH(bool, reminders);
        QFETCH(bool, contacts);
        QFETCH(bool, remindersNewer);
        QFETCH(bool, contactsNewer);
        QFETCH(QString, reminderTitle);
        QFETCH(QString, contactName);
        QFETCH(QStringList, tray);
        ReminderRecord mine = reminder(7, "doma upraveno", true, false, 0);
        mine.ID = 1;
        WriteReminder(1, home(), mine);
        ReminderRecord theirs = mine;
        theirs.Title = QStringLiteral("ze směny");
        WriteReminder(1, exchange("exp_imp.dat"), theirs);
        ContactRecord c;
        c.cislo = 1;
        c.unikat = 100;
        c.prijmeni = QStringLiteral("Doma");
        WriteContact(1, homeContacts(), c);
        c.prijmeni = QStringLiteral("Směna");
        WriteContact(1, exchange("kexp_imp.dat"), c);
        const QString ini = m_program->iniPath();
        IniFile(ini).writeBool("Nastav", "autoexpimp", reminders);
        IniFile(ini).writeBool("Nastav", "kautoexpimp", contacts);
        IniFile(ini).writeBool("Nastav", "autoimpprehled", false);
        if (!remindersNewer)
            StoreMoment(ini, "autodatum", "autocas", *ExchangeFileTime(exchange("exp_imp.dat")));
        if (!contactsNewer)
            StoreMoment(ini, "kautodatum", "kautocas", *ExchangeFileTime(exchange("kexp_imp.dat")));

        QPointer<TFImport> w = new TFImport;
        w->AutoMode = true;
        w->show();
        QTRY_VERIFY_WITH_TIMEOUT(!w, 10000);
        QCOMPARE(titles(home()), QStringList { "1 " + reminderTitle });
        ContactRecord stored;
        int n = 1;
        ReadContact(n, homeContacts(), stored);
        QCOMPARE(stored.prijmeni, contactName);
        QCOMPARE(trayHeard(), tray);
        QCOMPARE(m_contacts->Codes(), contactName == "Směna" ? QStringList { "-3 0" } : QStringList());
        QVERIFY(Dialogs::shown().isEmpty());
    }

    // An exchange file this version cannot read is not imported at the
    // logon either, and no longer without a word: the user reads why and what
    // to do, nothing here changes, and the tray resident runs on.
    void anUnreadableExchangeFileIsReportedAlsoAtTheLogon_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why");
        QByteArray newer = ReminderBytes(reminder(9, "cizí", true, false, 0));
        newer[0] = char(-2); // a later version mark
        QTest::newRow("previous layout") << oldLayoutRecord(1, "stará")
                                         << "starší verzí programu\rnelze jej importovat.\rNainstalujte na druhý "
                                            "počítač novou verzi programu Korvel a export tam zopakujte.";
        QTest::newRow("newer version") << newer
                                       << "novější verzí programu\rnelze jej importovat.\rNainstalujte i zde "
                                          "novou verzi programu Korvel.";
    }
    void anUnreadableExchangeFileIsReportedAlsoAtTheLogon()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        fillHome();
        const QByteArray before = readFileBytes(home());
        writeFileBytes(exchange("exp_imp.dat"), bytes);
        IniFile(m_program->iniPath()).writeBool("Nastav", "autoexpimp", true);
        QPointer<TFImport> w = new TFImport;
        w->AutoMode = true;
        w->show();
        QTRY_VERIFY(!w);
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().at(0).text,
            "Soubor pro import (exp_imp.dat) je uložen " + why + "\rZ tohoto souboru nebylo nic importováno.");
        QCOMPARE(readFileBytes(home()), before);
        QCOMPARE(key("autodatum"), QString("-")); // still due: the next logon tells again
        QCOMPARE(trayHeard(), QStringList { "5 0" });
    }
};

QTEST_MAIN(TestExchangeWindows)
#include "tst_exchangewindows.moc"
