// The settings window on a real program folder with a stand-in tray
// resident: every key read and written with its default and against hostile
// values, hotkey texts as the tray reads them, the sound folders, the clock
// buttons, codes 6 and 3, moving the databases (and every way it is refused
// or fails, leaving the data where it was), an unwritable settings file, and
// a picture of each page.
#include "reminders/ruvo_nastav.h"
#include "reminders/ruvo_zaklad.h"

#include "components/dirtree.h"
#include "components/tooledit.h"
#include "platform/commandchannel.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/hotkeys.h"
#include "platform/inifile.h"
#include "platform/tag.h"
#include "shared/commands.h"

#include "faketray.h"
#include "remindersprogram.h"
#include "testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>
#include <optional>

namespace {

const QString Intro = QStringLiteral("Nelze provést změnu umístění databází z těchto důvodů:");
const QString OtherWindows = QStringLiteral(" - spuštěny jiné formuláře s připomenutími");
const QString ContactsRun = QStringLiteral(" - spuštěny jiné formuláře s kontakty");
const QString CannotCreate = QStringLiteral(" - vybraný adresář neexistuje a nelze vytvořit");
const QString CannotMove = QStringLiteral(" - stávající soubory databáze nelze přesunout");

// Every key of the window with a value other than its default.
const QList<std::tuple<QString, QString, QString>> AllKeys {
    { "Nastav", "expimpdir", "/srv/výměna" },
    { "Nastav", "autoexpimp", "1" },
    { "Nastav", "autoimpdel", "0" },
    { "Nastav", "autoimpprehled", "0" },
    { "Nastav", "autoexpdel", "0" },
    { "Nastav", "autoexpzmen", "0" },
    { "Nastav", "kautoexpimp", "1" },
    { "Nastav", "kautoimpdel", "0" },
    { "Nastav", "kautoimpprehled", "0" },
    { "Nastav", "kautoexpdel", "0" },
    { "Nastav", "kautoexpzmen", "0" },
    { "Nastav", "autoexpzal", "0" },
    { "Nastav", "pripopak", "7" },
    { "Nastav", "animtray", "0" },
    { "Nastav", "zobriconform", "0" },
    { "Nastav", "autoprepomezvel", "42" },
    { "Klaves", "1", "Ctrl+Alt+N" },
    { "Klaves", "2", "Shift+F5" },
    { "Klaves", "3", "Alt+PgUp" },
    { "Klaves", "4", "Ctrl+Num 5" },
    { "Klaves", "5", "F12" },
    { "Klaves", "6", "Shift+Ctrl+K" },
    { "Hodiny", "00anone", "1" },
    { "Hodiny", "00gong", "1" },
    { "Hodiny", "00slova", "0" },
    { "Hodiny", "15anone", "0" },
    { "Hodiny", "15gong", "0" },
    { "Hodiny", "15slova", "1" },
    { "Hodiny", "30anone", "1" },
    { "Hodiny", "30gong", "0" },
    { "Hodiny", "30slova", "1" },
    { "Hodiny", "45anone", "0" },
    { "Hodiny", "45gong", "1" },
    { "Hodiny", "45slova", "0" },
    { "Hodiny", "cyklus24", "0" },
    { "Hodiny", "ACslova", "1" },
};

QStringList Rows(const QTreeWidget* list)
{
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows << list->topLevelItem(i)->text(0);
    return rows;
}

QStringList Items(const QListWidget* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

} // namespace

class TestNastav : public QObject {
    Q_OBJECT

    std::unique_ptr<RemindersProgram> m_program;
    std::unique_ptr<FakeTray> m_tray;

    QString Ini() const { return m_program->iniPath(); }
    QString Read(const QString& section, const QString& key) const
    {
        return IniFile(Ini()).readString(section, key, QStringLiteral("<none>"));
    }
    void Write(const QString& section, const QString& key, const QString& value)
    {
        IniFile(Ini()).writeString(section, key, value);
    }
    TFNastav* Open()
    {
        auto* w = new TFNastav;
        w->show();
        return w;
    }
    // The codes sent before a code the test sends itself: nothing more came.
    QStringList CodesBefore()
    {
        NotifyTray(tnRemindersChanged);
        QStringList codes = m_tray->WaitForCodes(1);
        while (!codes.isEmpty() && codes.last() != QLatin1String("1 0"))
            codes = m_tray->WaitForCodes(codes.size() + 1);
        codes.removeLast();
        return codes;
    }
    QToolButton* AnoNe(TFNastav* w, const char* mm) { return w->findChild<QToolButton*>(QStringLiteral("AnoNe") + mm); }
    QCheckBox* Check(TFNastav* w, const QString& name) { return w->findChild<QCheckBox*>(name); }
    // The data files of a program folder: a reminder file, a contact file
    // and both backups.
    void WriteData(const QString& folder)
    {
        QDir().mkpath(folder);
        writeFileBytes(folder + "/korvel.da1", QByteArray(2 * 1420, 'R'));
        writeFileBytes(folder + "/korvel.db1", QByteArray(3436, 'C'));
        writeFileBytes(folder + "/korvel.bak", "reminder backup");
        writeFileBytes(folder + "/kkorvel.bak", "contact backup");
    }
    QString ShownText() const { return Dialogs::shown().isEmpty() ? QString() : Dialogs::shown().first().text; }

private slots:
    void initTestCase()
    {
        QCOMPARE(CommandChannel::own().listen(ReminderAppTitle), CommandChannel::ListenResult::Listening);
    }

    void init()
    {
        m_program = std::make_unique<RemindersProgram>();
        m_tray = std::make_unique<FakeTray>(m_program->file(QStringLiteral("tray.log")));
        QVERIFY(m_tray->Ready());
    }

    void cleanup()
    {
        m_program->closeWindows();
        m_tray.reset();
        m_program.reset();
    }

    void theHubOpensItForBothCodes()
    {
        m_program->hub().HandleReminderCommand(rcSettings);
        auto* w = qobject_cast<TFNastav*>(FindForm(QStringLiteral("FNastav")));
        QVERIFY(w);
        QVERIFY(w->isVisible());
        m_program->hub().HandleReminderCommand(rcSettingsFromTray);
        QCOMPARE(FindForm(QStringLiteral("FNastav")), w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Nastavení programu"));
        QCOMPARE(w->PC->tabPosition(), QTabWidget::South);
        QStringList tabs;
        for (int i = 0; i < w->PC->count(); ++i)
            tabs << w->PC->tabText(i);
        QCOMPARE(
            tabs, QStringList({ "adresáře", "export / import", "nastavení", "klávesové zkratky", "informace o čase" }));
        QCOMPARE(w->BOK->statusTip(), QStringLiteral("uloží změny v nastavení programu a ukončí formulář"));
        QCOMPARE(w->BCancel->statusTip(), QStringLiteral("ukončí formulář nastavení programu"));
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
    }

    void aFreshFileShowsTheDefaults()
    {
        TFNastav* w = Open();
        QVERIFY(!w->ChBAuto->isChecked());
        QVERIFY(!w->ChBKAuto->isChecked());
        // Checked here, while the automatic exchange takes the missing keys
        // for false.
        for (QCheckBox* c : { w->ChBImpDel, w->ChBPrehled, w->ChBExpDel, w->ChBExpZmen, w->ChBKImpDel, w->ChBKPrehled,
                 w->ChBKExpDel, w->ChBKExpZmen, w->ChBExpZal, w->ChBAnim, w->ChBZobrIconForm })
            QVERIFY2(c->isChecked(), qPrintable(c->objectName()));
        QVERIFY(w->ChBKPrehled->isHidden());
        QCOMPARE(w->TBPripOpak->value(), 1);
        QCOMPARE(w->EPripOpak->text(), QStringLiteral("1 min."));
        QCOMPARE(w->TAutoOmez->value(), 5);
        QCOMPARE(w->EAutoOmez->text(), QStringLiteral("5 sec."));
        QCOMPARE(w->Dir->text(), m_program->folder());
        QCOMPARE(w->DEDatabaze->text(), m_program->folder());
        QCOMPARE(w->OldDataFolder, m_program->folder());
        for (THotKey* h : { w->NKNew, w->HKPrehled, w->HKAktCas, w->HKNewK, w->HKPrehledK, w->HKKalendar }) {
            QCOMPARE(h->HotKey().toCombined(), 0);
            QCOMPARE(h->text(), QStringLiteral("Žádná"));
        }
        for (const char* mm : { "00", "15", "30", "45" }) {
            QCOMPARE(tag(AnoNe(w, mm)), 0);
            QCOMPARE(AnoNe(w, mm)->toolTip(), QStringLiteral("hlasové oznámení vypnuto"));
            QVERIFY(!Check(w, QStringLiteral("Gong") + mm)->isChecked());
            QVERIFY(!Check(w, QStringLiteral("Slova") + mm)->isChecked());
        }
        QCOMPARE(Check(w, "Slova00")->text(), QStringLiteral("slovní vyjádření XX hodin"));
        QCOMPARE(Check(w, "Slova45")->text(), QStringLiteral("slovní vyjádření XX hodin XX minut"));
        QCOMPARE(w->RCyklusIndex(), 1);
        QVERIFY(!w->SlovaAC->isChecked());
        QCOMPARE(w->LVAdr->topLevelItemCount(), 0);
        // The folder tree shows the fixed disks from the root.
        QCOMPARE(TDirTree::NodePath(w->DirTree->topLevelItem(0)), QStringLiteral("/"));
        QCOMPARE(w->DirTree->SelectedPath(), QStringLiteral("/"));
        QCOMPARE(w->FileLB->Directory(), QStringLiteral("/"));
    }

    void savingAnUnchangedWindowWritesEveryKeyShown()
    {
        TFNastav* w = Open();
        w->BOK->click();
        QVERIFY(!FindForm(QStringLiteral("FNastav")));
        QCOMPARE(m_tray->WaitForCodes(2), QStringList({ "6 0", "3 0" }));
        const QList<std::pair<QString, QString>> expected { { "expimpdir", m_program->folder() },
            { "kexpimpdir", m_program->folder() }, { "autoexpimp", "0" }, { "autoimpdel", "1" },
            { "autoimpprehled", "1" }, { "autoexpdel", "1" }, { "autoexpzmen", "1" }, { "kautoexpimp", "0" },
            { "kautoimpdel", "1" }, { "kautoimpprehled", "1" }, { "kautoexpdel", "1" }, { "kautoexpzmen", "1" },
            { "autoexpzal", "1" }, { "pripopak", "1" }, { "animtray", "1" }, { "zobriconform", "1" },
            { "autoprepomezvel", "5" } };
        for (const auto& [key, value] : expected)
            QCOMPARE(Read("Nastav", key), value);
        // The database folder is written only when it changes.
        QCOMPARE(Read("Nastav", "adrdatabaze"), QStringLiteral("<none>"));
        for (int i = 1; i <= 6; ++i)
            QCOMPARE(Read("Klaves", QString::number(i)), QString());
        for (const char* mm : { "00", "15", "30", "45" })
            for (const char* what : { "anone", "gong", "slova" })
                QCOMPARE(Read("Hodiny", QLatin1String(mm) + QLatin1String(what)), QStringLiteral("0"));
        QCOMPARE(Read("Hodiny", "cyklus24"), QStringLiteral("1"));
        QCOMPARE(Read("Hodiny", "ACslova"), QStringLiteral("0"));
        QCOMPARE(Read("ZvukAdr", "pocet"), QStringLiteral("0"));
    }

    void everyKeyIsReadAndWrittenBack()
    {
        for (const auto& [section, key, value] : AllKeys)
            Write(section, key, value);
        TFNastav* w = Open();
        QCOMPARE(w->Dir->text(), QStringLiteral("/srv/výměna"));
        QVERIFY(w->ChBAuto->isChecked());
        QVERIFY(w->ChBKAuto->isChecked());
        for (QCheckBox* c : { w->ChBImpDel, w->ChBPrehled, w->ChBExpDel, w->ChBExpZmen, w->ChBKImpDel, w->ChBKPrehled,
                 w->ChBKExpDel, w->ChBKExpZmen, w->ChBExpZal, w->ChBAnim, w->ChBZobrIconForm })
            QVERIFY2(!c->isChecked(), qPrintable(c->objectName()));
        QCOMPARE(w->EPripOpak->text(), QStringLiteral("7 min."));
        QCOMPARE(w->EAutoOmez->text(), QStringLiteral("42 sec."));
        QCOMPARE(w->NKNew->text(), QStringLiteral("Ctrl+Alt+N"));
        QCOMPARE(w->HKNewK->text(), QStringLiteral("Ctrl+Num 5"));
        QCOMPARE(w->HKKalendar->HotKey(), QKeyCombination(Qt::ShiftModifier | Qt::ControlModifier, Qt::Key_K));
        QCOMPARE(tag(AnoNe(w, "00")), 1);
        QCOMPARE(AnoNe(w, "00")->toolTip(), QStringLiteral("hlasové oznámení zapnuto"));
        QCOMPARE(tag(AnoNe(w, "15")), 0);
        QVERIFY(Check(w, "Gong45")->isChecked());
        QVERIFY(Check(w, "Slova30")->isChecked());
        QCOMPARE(w->RCyklusIndex(), 0);
        QVERIFY(w->SlovaAC->isChecked());

        w->BOK->click();
        for (const auto& [section, key, value] : AllKeys)
            QCOMPARE(Read(section, key), value);
        // A change of the import's overview switch is kept (the contacts'
        // one is hidden and keeps what it had).
        w = Open();
        w->ChBPrehled->setChecked(true);
        w->BOK->click();
        QCOMPARE(Read("Nastav", "autoimpprehled"), QStringLiteral("1"));
        QCOMPARE(Read("Nastav", "kautoimpprehled"), QStringLiteral("0"));
        QCOMPARE(Read("Nastav", "kexpimpdir"), QStringLiteral("/srv/výměna"));
        QCOMPARE(m_tray->WaitForCodes(4), QStringList({ "6 0", "3 0", "6 0", "3 0" }));
    }

    void hostileValuesAreTamed()
    {
        Write("Nastav", "pripopak", "500");
        Write("Nastav", "autoprepomezvel", "abc");
        Write("Nastav", "animtray", "ano");
        Write("Hodiny", "cyklus24", "7");
        Write("Hodiny", "00anone", "0x");
        Write("Klaves", "1", "Ctrl+");
        Write("Klaves", "2", "Ctrl+Žluťoučký");
        Write("Klaves", "3", QString(1500, u'x'));
        Write("ZvukAdr", "pocet", "-4");
        TFNastav* w = Open();
        QCOMPARE(w->TBPripOpak->value(), 10);
        QCOMPARE(w->EPripOpak->text(), QStringLiteral("10 min."));
        QCOMPARE(w->TAutoOmez->value(), 5);
        QVERIFY(w->ChBAnim->isChecked());
        QCOMPARE(w->RCyklusIndex(), 1); // any number but 0 is the 24-hour cycle, as the tray reads it
        QCOMPARE(tag(AnoNe(w, "00")), 0);
        QCOMPARE(w->NKNew->HotKey().toCombined(), 0);
        QCOMPARE(w->HKPrehled->HotKey().toCombined(), 0);
        QCOMPARE(w->HKAktCas->HotKey().toCombined(), 0);
        QCOMPARE(w->LVAdr->topLevelItemCount(), 0);
        w->BOK->click();
        QCOMPARE(Read("Nastav", "pripopak"), QStringLiteral("10"));
        QCOMPARE(Read("Nastav", "autoprepomezvel"), QStringLiteral("5"));
        QCOMPARE(Read("Hodiny", "cyklus24"), QStringLiteral("1"));
        QCOMPARE(Read("Klaves", "1"), QString());
        QCOMPARE(Read("Klaves", "3"), QString());

        // Below the range: the least the track bars allow.
        Write("Nastav", "pripopak", "-3");
        Write("Nastav", "autoprepomezvel", "1");
        w = Open();
        QCOMPARE(w->TBPripOpak->value(), 1);
        QCOMPARE(w->EAutoOmez->text(), QStringLiteral("3 sec."));
    }

    void hotkeysAsTheTrayReadsThem()
    {
        Write("Klaves", "3", "Alt+F9");
        TFNastav* w = Open();
        w->PC->setCurrentIndex(3);
        QTest::keyClick(w->NKNew, Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
        QTest::keyClick(w->HKPrehled, Qt::Key_F5, Qt::ShiftModifier);
        QTest::keyClick(w->HKKalendar, Qt::Key_5, Qt::ControlModifier | Qt::KeypadModifier);
        QTest::keyClick(w->HKNewK, Qt::Key_PageDown, Qt::AltModifier);
        // Modifiers alone change nothing; Backspace clears.
        QTest::keyClick(w->HKPrehledK, Qt::Key_Control, Qt::ControlModifier);
        QCOMPARE(w->HKPrehledK->HotKey().toCombined(), 0);
        QCOMPARE(w->HKAktCas->text(), QStringLiteral("Alt+F9"));
        QTest::keyClick(w->HKAktCas, Qt::Key_Backspace);
        QCOMPARE(w->HKAktCas->text(), QStringLiteral("Žádná"));
        QCOMPARE(w->NKNew->text(), QStringLiteral("Ctrl+Alt+N"));

        const QKeyCombination shown[] = { w->NKNew->HotKey(), w->HKPrehled->HotKey(), w->HKAktCas->HotKey(),
            w->HKNewK->HotKey(), w->HKPrehledK->HotKey(), w->HKKalendar->HotKey() };
        w->BOK->click();
        const QStringList texts { "Ctrl+Alt+N", "Shift+F5", "", "Alt+PgDn", "", "Ctrl+Num 5" };
        for (int id = 1; id <= 6; ++id) {
            const QString stored = Read("Klaves", QString::number(id));
            QCOMPARE(stored, texts[id - 1]);
            // The tray registers hotkey id with exactly what the field showed.
            QCOMPARE(TextToShortCut(stored), shown[id - 1]);
        }
    }

    void clockButtonsSwitch()
    {
        TFNastav* w = Open();
        w->PC->setCurrentIndex(4);
        QToolButton* b = AnoNe(w, "15");
        const qint64 off = b->icon().cacheKey();
        b->click();
        QCOMPARE(tag(b), 1);
        QCOMPARE(b->toolTip(), QStringLiteral("hlasové oznámení zapnuto"));
        QVERIFY(b->icon().cacheKey() != off);
        AnoNe(w, "45")->click();
        AnoNe(w, "45")->click();
        QCOMPARE(tag(AnoNe(w, "45")), 0);
        Check(w, "Gong30")->setChecked(true);
        w->findChild<QGroupBox*>("RCyklus")->findChildren<QAbstractButton*>().first()->click();
        QCOMPARE(w->RCyklusIndex(), 0);
        w->BOK->click();
        QCOMPARE(Read("Hodiny", "15anone"), QStringLiteral("1"));
        QCOMPARE(Read("Hodiny", "45anone"), QStringLiteral("0"));
        QCOMPARE(Read("Hodiny", "30gong"), QStringLiteral("1"));
        QCOMPARE(Read("Hodiny", "cyklus24"), QStringLiteral("0"));
    }

    void soundFolders()
    {
        const QString sounds = m_program->file("zvuky");
        QVERIFY(QDir().mkpath(sounds));
        for (const char* name : { "b.wav", "A.WAV", "c.txt", ".skryty.wav", "d.wave" })
            writeFileBytes(sounds + u'/' + QLatin1String(name), "x");
        QVERIFY(QDir().mkpath(sounds + "/podzvuky.wav"));
        Write("ZvukAdr", "pocet", "2");
        Write("ZvukAdr", "1", "/nikde/zvuky");
        Write("ZvukAdr", "2", sounds.toUpper());
        TFNastav* w = Open();
        QCOMPARE(Rows(w->LVAdr), QStringList({ "/nikde/zvuky", sounds.toUpper() }));
        QCOMPARE(w->LVAdr->headerItem()->text(0), QStringLiteral("vybrané adresáře"));

        // The file list follows the tree: sound files only, by name.
        w->DirTree->SetSelectedPath(sounds);
        QCOMPARE(w->FileLB->Directory(), sounds + u'/');
        QCOMPARE(Items(w->FileLB), QStringList({ "A.WAV", "b.wav" }));

        // The folder is there already in capitals: no second row.
        w->BPlus->click();
        QCOMPARE(w->LVAdr->topLevelItemCount(), 2);
        w->DirTree->SetSelectedPath(sounds + "/podzvuky.wav");
        w->BPlus->click();
        w->BPlus->click();
        QCOMPARE(Rows(w->LVAdr), QStringList({ "/nikde/zvuky", sounds.toUpper(), sounds + "/podzvuky.wav" }));
        QVERIFY(Items(w->FileLB).isEmpty());

        // Clicking a row of an existing folder selects it in the tree; one
        // that does not exist changes nothing.
        w->PC->setCurrentIndex(0);
        const auto click = [w](int row) {
            QTreeWidgetItem* item = w->LVAdr->topLevelItem(row);
            QTest::mouseClick(w->LVAdr->viewport(), Qt::LeftButton, {}, w->LVAdr->visualItemRect(item).center());
        };
        w->DirTree->SetSelectedPath(sounds);
        click(2);
        QCOMPARE(w->DirTree->SelectedPath(), sounds + "/podzvuky.wav/");
        click(0);
        QCOMPARE(w->DirTree->SelectedPath(), sounds + "/podzvuky.wav/");

        // Up and down; removal only of a single selected row.
        w->LVAdr->setCurrentItem(w->LVAdr->topLevelItem(2));
        w->BNahoru->click();
        QCOMPARE(Rows(w->LVAdr).at(1), sounds + "/podzvuky.wav");
        w->BNahoru->click();
        w->BNahoru->click();
        QCOMPARE(Rows(w->LVAdr).at(0), sounds + "/podzvuky.wav");
        w->BDolu->click();
        QCOMPARE(Rows(w->LVAdr).at(1), sounds + "/podzvuky.wav");
        w->LVAdr->topLevelItem(0)->setSelected(true);
        QCOMPARE(w->LVAdr->selectedItems().size(), 2);
        w->BPryc->click();
        QCOMPARE(w->LVAdr->topLevelItemCount(), 3);
        w->LVAdr->clearSelection();
        w->LVAdr->topLevelItem(0)->setSelected(true);
        w->BPryc->click();
        QCOMPARE(Rows(w->LVAdr), QStringList({ sounds + "/podzvuky.wav", sounds.toUpper() }));

        w->BOK->click();
        QCOMPARE(Read("ZvukAdr", "pocet"), QStringLiteral("2"));
        QCOMPARE(Read("ZvukAdr", "1"), sounds + "/podzvuky.wav");
        QCOMPARE(Read("ZvukAdr", "2"), sounds.toUpper());
    }

    void cancelSavesNothing()
    {
        Write("Nastav", "pripopak", "3");
        TFNastav* w = Open();
        w->TBPripOpak->setValue(9);
        w->ChBAuto->setChecked(true);
        AnoNe(w, "00")->click();
        w->DEDatabaze->setText(m_program->file("jinde"));
        w->BCancel->click();
        QVERIFY(!FindForm(QStringLiteral("FNastav")));
        // Only the placement of the window is new.
        const IniFile ini(Ini());
        QCOMPARE(ini.readSection("Nastav"), QStringList({ "pripopak" }));
        QCOMPARE(Read("Nastav", "pripopak"), QStringLiteral("3"));
        for (const char* section : { "Klaves", "Hodiny", "ZvukAdr" })
            QVERIFY(!ini.sectionExists(QLatin1String(section)));
        QVERIFY(ini.sectionExists("FNastav"));
        QVERIFY(!QFileInfo::exists(m_program->file("jinde")));
        QVERIFY(CodesBefore().isEmpty());
    }

    void theDatabasesMoveWhole()
    {
        WriteData(m_program->folder());
        const QString target = m_program->file("data/nová/složka");
        TFNastav* w = Open();
        w->DEDatabaze->setText(target);
        w->BOK->click();
        QVERIFY(Dialogs::shown().isEmpty());
        QCOMPARE(Read("Nastav", "adrdatabaze"), target);
        QCOMPARE(readFileBytes(target + "/korvel.da1"), QByteArray(2 * 1420, 'R'));
        QCOMPARE(readFileBytes(target + "/korvel.db1"), QByteArray(3436, 'C'));
        QCOMPARE(readFileBytes(target + "/korvel.bak"), QByteArray("reminder backup"));
        QCOMPARE(readFileBytes(target + "/kkorvel.bak"), QByteArray("contact backup"));
        // Nothing half-made beside them, nothing left behind.
        QCOMPARE(QDir(target).entryList(QDir::Files | QDir::Hidden),
            QStringList({ "kkorvel.bak", "korvel.bak", "korvel.da1", "korvel.db1" }));
        for (const char* name : { "korvel.da1", "korvel.db1", "korvel.bak", "kkorvel.bak" })
            QVERIFY(!QFileInfo::exists(m_program->file(name)));
        // The tray resident is paused while the files move.
        QCOMPARE(m_tray->WaitForCodes(4), QStringList({ "4 0", "5 0", "6 0", "3 0" }));
    }

    // The same folder spelled another way moves nothing; a name differing
    // only in letter case is another folder on this file system, made anew.
    void theSameFolderMovesNothing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("moves");
        QTest::newRow("trailing slash") << "Data/" << false;
        QTest::newRow("dots") << "x/../Data/./" << false;
        QTest::newRow("a link to it") << "odkaz" << false;
        QTest::newRow("letter case") << "DATA" << true;
    }
    void theSameFolderMovesNothing()
    {
        QFETCH(QString, typed);
        QFETCH(bool, moves);
        const QString data = m_program->file("Data");
        WriteData(data);
        QVERIFY(QFile::link(data, m_program->file("odkaz")));
        Write("Nastav", "adrdatabaze", data);
        TFNastav* w = Open();
        w->DEDatabaze->setText(m_program->file(typed));
        w->BOK->click();
        QVERIFY(Dialogs::shown().isEmpty());
        QCOMPARE(Read("Nastav", "adrdatabaze"), moves ? m_program->file(typed) : data);
        QCOMPARE(QFileInfo::exists(data + "/korvel.da1"), !moves);
        QCOMPARE(QFileInfo::exists(m_program->file("DATA/korvel.da1")), moves);
    }

    // Files not made yet are skipped: a fresh installation can choose its
    // folder, and data already waiting in the new folder is taken as it is.
    void missingDataFilesAreSkipped_data()
    {
        QTest::addColumn<QStringList>("old");
        QTest::addColumn<QStringList>("waiting");
        QTest::newRow("nothing yet") << QStringList() << QStringList();
        QTest::newRow("contacts only") << QStringList { "korvel.db1" } << QStringList();
        QTest::newRow("reminders only") << QStringList { "korvel.da1" } << QStringList { "korvel.db1" };
        QTest::newRow("a shared folder with data") << QStringList() << QStringList { "korvel.da1", "korvel.db1" };
    }
    void missingDataFilesAreSkipped()
    {
        QFETCH(QStringList, old);
        QFETCH(QStringList, waiting);
        const QString target = m_program->file("sdilena");
        QDir().mkpath(target);
        for (const QString& name : old)
            writeFileBytes(m_program->file(name), "old " + name.toLatin1());
        for (const QString& name : waiting)
            writeFileBytes(target + u'/' + name, "waiting " + name.toLatin1());
        TFNastav* w = Open();
        w->DEDatabaze->setText(target);
        w->BOK->click();
        QVERIFY2(Dialogs::shown().isEmpty(), qPrintable(ShownText()));
        QCOMPARE(Read("Nastav", "adrdatabaze"), target);
        for (const QString& name : old) {
            QCOMPARE(readFileBytes(target + u'/' + name), "old " + name.toLatin1());
            QVERIFY(!QFileInfo::exists(m_program->file(name)));
        }
        for (const QString& name : waiting)
            QCOMPARE(readFileBytes(target + u'/' + name), "waiting " + name.toLatin1());
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("why");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("another window") << "window" << QStringList { OtherWindows };
        QTest::newRow("contacts running") << "contacts" << QStringList { ContactsRun };
        QTest::newRow("both") << "both" << QStringList { OtherWindows, ContactsRun };
        QTest::newRow("a windows path") << "windows" << QStringList { CannotCreate };
        QTest::newRow("a relative path") << "relative" << QStringList { CannotCreate };
        QTest::newRow("the contact file unreadable") << "faildb" << QStringList { CannotMove };
        QTest::newRow("data in the new folder already") << "occupied" << QStringList { CannotMove };
        QTest::newRow("the new folder's disk full") << "full" << QStringList { CannotMove };
        QTest::newRow("another program changing the reminders") << "busy" << QStringList { CannotMove };
    }
    void refusals()
    {
        QFETCH(QString, why);
        QFETCH(QStringList, lines);
        WriteData(m_program->folder());
        QString target = m_program->file("nova");
        QProcess contacts;
        if (why == "contacts" || why == "both") {
            contacts.start(qEnvironmentVariable("KORVEL_BUILD_DIR") + "/tests/tools/korvel_peer",
                { "listen", ContactAppTitle, m_program->file("contacts.log") });
            QTRY_VERIFY_WITH_TIMEOUT(CommandChannel::answers(ContactAppTitle), 10000);
        }
        if (why == "faildb") {
            // The reminder file copies, the contact file cannot be read.
            QVERIFY(QFile::remove(m_program->file("korvel.db1")));
            QVERIFY(QDir().mkpath(m_program->file("korvel.db1")));
        }
        if (why == "occupied") {
            QDir().mkpath(target);
            writeFileBytes(target + "/korvel.db1", "somebody else's contacts");
        }
        QProcess holder;
        if (why == "busy") {
            holder.start(qEnvironmentVariable("KORVEL_BUILD_DIR") + "/tests/tools/korvel_filework",
                { "run", "hold", m_program->folder() });
            QVERIFY(holder.waitForReadyRead(10000));
        }
        SmallDisk disk;
        if (why == "full") {
            disk.fill();
            target = disk.path();
        }
        if (why == "windows")
            target = QStringLiteral("D:\\data\\korvel");
        if (why == "relative")
            target = QStringLiteral("relativni/data");
        const QByteArray reminders = readFileBytes(m_program->dataPath());

        TFNastav* w = Open();
        QPointer<TFNastav> other;
        if (why == "window" || why == "both")
            other = Open();
        w->DEDatabaze->setText(target);
        w->TBPripOpak->setValue(4);
        w->BOK->click();

        QCOMPARE(Dialogs::shown().size(), 1);
        // A failure to move says why on a line of its own.
        const QString expected = Intro + u'\r' + lines.join(u'\r');
        const QString reason = why == "busy" ? "\rSoubor " + m_program->dataPath() + " právě upravuje jiný program"
                                             : QStringLiteral("\rChyba při práci se souborem ");
        QVERIFY2(lines.contains(CannotMove) ? ShownText().startsWith(expected + reason) : ShownText() == expected,
            qPrintable(ShownText()));
        QCOMPARE(Dialogs::shown().first().type, MsgDlgType::Warning);
        QCOMPARE(Dialogs::beeps().size(), 1);
        // Everything is where it was.
        QCOMPARE(Read("Nastav", "adrdatabaze"), QStringLiteral("<none>"));
        QCOMPARE(readFileBytes(m_program->dataPath()), reminders);
        QVERIFY(!QFileInfo::exists(target + "/korvel.da1"));
        QVERIFY(QFileInfo::exists(m_program->file("korvel.bak")));
        if (why == "occupied")
            QCOMPARE(readFileBytes(target + "/korvel.db1"), QByteArray("somebody else's contacts"));
        if (why == "faildb")
            QVERIFY(QDir(m_program->file("nova")).entryList(QDir::Files | QDir::Hidden).isEmpty());
        if (why == "windows" || why == "relative") {
            QVERIFY(!QFileInfo::exists(QDir::current().filePath(target)));
            QVERIFY(!QFileInfo::exists(QDir::current().filePath("D:")));
        }
        // The rest of the settings are saved and announced all the same.
        QCOMPARE(Read("Nastav", "pripopak"), QStringLiteral("4"));
        // A move that was tried paused the tray resident meanwhile.
        const QStringList codes = QStringList { "4 0", "5 0", "6 0", "3 0" }.mid(lines.contains(CannotMove) ? 0 : 2);
        QCOMPARE(m_tray->WaitForCodes(codes.size()), codes);
        QVERIFY(!FindForm(QStringLiteral("FNastav")) || other);
        if (contacts.state() != QProcess::NotRunning) {
            contacts.terminate();
            contacts.waitForFinished();
        }
    }

    void dataFileCopiesAreAllOrNothing()
    {
        const QString from = m_program->file("stare");
        const QString to = m_program->file("nove");
        QDir().mkpath(to);
        // No data files: nothing to copy, nothing refused.
        QDir().mkpath(from);
        QCOMPARE(CopyDataFiles(from, to), QStringList());
        // Only the reminder file: only it is copied.
        writeFileBytes(from + "/korvel.da1", "reminders");
        QCOMPARE(CopyDataFiles(from, to), QStringList { "korvel.da1" });
        QCOMPARE(readFileBytes(to + "/korvel.da1"), QByteArray("reminders"));
        QVERIFY(!QFileInfo::exists(to + "/korvel.db1"));
        QCOMPARE(readFileBytes(from + "/korvel.da1"), QByteArray("reminders"));
        // A second time the targets exist: refused, untouched.
        writeFileBytes(from + "/korvel.da1", "newer reminders");
        QVERIFY_THROWS_EXCEPTION(IoError, CopyDataFiles(from, to));
        // Both exist, the second cannot be read (a folder of that name):
        // neither is copied.
        QVERIFY(QDir().mkpath(from + "/korvel.db1"));
        const QString fresh = m_program->file("cista");
        QDir().mkpath(fresh);
        QVERIFY_THROWS_EXCEPTION(IoError, CopyDataFiles(from, fresh));
        QVERIFY(QDir(fresh).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
        QVERIFY(QDir().rmdir(from + "/korvel.db1"));
        QCOMPARE(readFileBytes(to + "/korvel.da1"), QByteArray("reminders"));

        RemoveOldDataFiles(from, to);
        QVERIFY(!QFileInfo::exists(from + "/korvel.da1"));
        // A backup the new folder has already is not overwritten; the old
        // one stays.
        writeFileBytes(from + "/korvel.bak", "old backup");
        writeFileBytes(to + "/korvel.bak", "new backup");
        RemoveOldDataFiles(from, to);
        QCOMPARE(readFileBytes(to + "/korvel.bak"), QByteArray("new backup"));
        QCOMPARE(readFileBytes(from + "/korvel.bak"), QByteArray("old backup"));
    }

    // The settings file cannot take the new folder: the copies go again,
    // every file stays as it was, and the user reads why.
    void aFolderTheSettingsCannotTakeMovesNothing()
    {
        WriteData(m_program->folder());
        Open()->BOK->click(); // every key saved: the next OK changes only the folder
        const auto files = [&] {
            return QByteArrayList { readFileBytes(m_program->dataPath()), readFileBytes(m_program->file("korvel.db1")),
                readFileBytes(Ini()) };
        };
        const QByteArrayList before = files();
        QVERIFY(QDir().mkpath(Ini() + ".new")); // in the way of the settings file's new version
        TFNastav* w = Open();
        w->DEDatabaze->setText(m_program->file("nova"));
        w->BOK->click();
        QVERIFY2(ShownText().startsWith(Intro + u'\r' + CannotMove + u'\r')
                && ShownText().endsWith(IoFailureReason(EISDIR) + u'.'),
            qPrintable(ShownText()));
        QCOMPARE(files(), before);
        QVERIFY(QDir(m_program->file("nova")).isEmpty());
        QCOMPARE(m_tray->WaitForCodes(6), QStringList({ "6 0", "3 0", "4 0", "5 0", "6 0", "3 0" }));
    }

    // A folder whose name the settings file cannot hold is refused with
    // a message, never stored with "?" in it; nothing is saved meanwhile.
    void foldersOutsideTheCodePageAreRefused_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("exchange folder") << "Dir";
        QTest::newRow("database folder") << "DEDatabaze";
        QTest::newRow("sound folder") << "LVAdr";
    }
    void foldersOutsideTheCodePageAreRefused()
    {
        QFETCH(QString, where);
        const QString foreign = m_program->file(QStringLiteral("Музыка ☺"));
        QVERIFY(QDir().mkpath(foreign));
        WriteData(m_program->folder());
        TFNastav* w = Open();
        w->TBPripOpak->setValue(6);
        if (where == "Dir")
            w->Dir->setText(foreign);
        if (where == "DEDatabaze")
            w->DEDatabaze->setText(foreign);
        if (where == "LVAdr") {
            // Refused when it is added.
            w->DirTree->SetSelectedPath(foreign);
            QCOMPARE(w->DirTree->SelectedPath(), foreign + u'/');
            w->BPlus->click();
            QCOMPARE(w->LVAdr->topLevelItemCount(), 0);
            QCOMPARE(Dialogs::shown().size(), 1);
            // Rows can come no other way but from the settings file; one put
            // there is refused at saving all the same.
            w->LVAdr->addTopLevelItem(new QTreeWidgetItem(QStringList { foreign }));
        }
        w->BOK->click();
        const QString message = QStringLiteral("Cesta obsahuje znaky, které program nedokáže uložit:\r") + foreign
            + QStringLiteral("\rZvolte jiný soubor nebo adresář.");
        QCOMPARE(Dialogs::shown().last().text, message);
        QCOMPARE(Dialogs::shown().last().type, MsgDlgType::Warning);
        QCOMPARE(FindForm(QStringLiteral("FNastav")), w);
        QCOMPARE(Read("Nastav", "pripopak"), QStringLiteral("<none>"));
        QVERIFY(!readFileBytes(Ini()).contains('?'));
        QVERIFY(QFileInfo::exists(m_program->dataPath()));
        QVERIFY(CodesBefore().isEmpty());
    }

    // Plain keys (no Ctrl, Alt, Windows key) are refused with a hint; Escape closes.
    void plainKeysAreRefusedAndEscapeCloses()
    {
        Write("Klaves", "2", "Esc"); // stored earlier: shown, with the hint
        TFNastav* w = Open();
        const QString hint = QStringLiteral("Zkratku „%1“ nelze použít: potřebuje Ctrl, Alt nebo klávesu Windows "
                                            "(samotné mohou být jen klávesy F1 až F24).");
        QCOMPARE(w->LHotKeyHint->text(), hint.arg("Esc"));
        QTest::keyClick(w->NKNew, Qt::Key_N, Qt::MetaModifier);
        for (const char* text : { "A", "Shift+A", "Num 5" }) {
            QTest::keyClick(w->NKNew, TextToShortCut(text).key(), TextToShortCut(text).keyboardModifiers());
            QCOMPARE(w->LHotKeyHint->text(), hint.arg(text));
        }
        QCOMPARE(w->NKNew->text(), QStringLiteral("Win+N"));
        QTest::keyClick(w->NKNew, Qt::Key_Escape);
        QTRY_VERIFY(!FindForm(QStringLiteral("FNastav")));
    }

    // The window's own shortcuts ("&Zpět", "&OK") are hotkeys in a hotkey
    // field; Tab still moves on.
    void aHotkeyFieldTakesTheWindowsShortcuts()
    {
        TFNastav* w = Open();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->PC->setCurrentIndex(3);
        w->HKPrehledK->setFocus();
        // A button's mnemonic pushes it down at once and clicks it a moment
        // later.
        QTest::keyClick(w->HKPrehledK, Qt::Key_Z, Qt::AltModifier);
        QVERIFY(!w->BCancel->isDown());
        QCOMPARE(w->HKPrehledK->text(), QStringLiteral("Alt+Z"));
        QTest::keyClick(w->HKPrehledK, Qt::Key_O, Qt::AltModifier);
        QVERIFY(!w->BOK->isDown());
        QCOMPARE(w->HKPrehledK->text(), QStringLiteral("Alt+O"));
        QTest::keyClick(w->HKPrehledK, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w->HKKalendar);
        // Elsewhere the shortcut is the window's again.
        QTest::keyClick(w->HKKalendar, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::AltModifier);
        QVERIFY(w->BOK->isDown());
        QTRY_VERIFY(!FindForm(QStringLiteral("FNastav")));
        QCOMPARE(Read("Klaves", "5"), QStringLiteral("Alt+O"));
    }

    void anUnwritableSettingsFileIsSaidClearly()
    {
        WriteData(m_program->folder());
        QVERIFY(QDir().mkpath(Ini())); // a folder where the file should be
        TFNastav* w = Open();
        w->DEDatabaze->setText(m_program->file("nova"));
        w->BOK->click();
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().first().type, MsgDlgType::Error);
        QCOMPARE(Dialogs::shown().first().text,
            QStringLiteral("Nastavení nelze uložit.\rChyba při práci se souborem %1: na místě souboru je adresář.")
                .arg(Ini()));
        // The window stays for another try or Cancel; nothing moved, nothing
        // announced.
        QCOMPARE(FindForm(QStringLiteral("FNastav")), w);
        QVERIFY(QFileInfo::exists(m_program->dataPath()));
        QVERIFY(!QFileInfo::exists(m_program->file("nova")));
        QVERIFY(CodesBefore().isEmpty());
    }

    void pictures()
    {
        const QString sounds = m_program->file("zvuky");
        QDir().mkpath(sounds + "/ptáci");
        for (const char* name : { "budík.wav", "gong.wav", "zvonek.wav" })
            writeFileBytes(sounds + u'/' + QString::fromUtf8(name), "x");
        Write("ZvukAdr", "pocet", "2");
        Write("ZvukAdr", "1", m_program->folder());
        Write("ZvukAdr", "2", sounds);
        Write("Klaves", "1", "Ctrl+Alt+N");
        Write("Hodiny", "00anone", "1");
        Write("Hodiny", "00gong", "1");
        TFNastav* w = Open();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->DirTree->SetSelectedPath(sounds);
        QCOMPARE(w->FileLB->count(), 3);
        const char* names[] = { "adresare", "export", "nastaveni", "klavesy", "hodiny" };
        for (int i = 0; i < w->PC->count(); ++i) {
            w->PC->setCurrentIndex(i);
            QVERIFY(w->grab().save(artifactPath(QStringLiteral("nastav-%1.png").arg(QLatin1String(names[i])))));
        }
    }
};

QTEST_MAIN(TestNastav)
#include "tst_nastav.moc"
