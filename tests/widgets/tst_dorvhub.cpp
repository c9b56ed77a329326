// The contacts program's hidden main form and command hub, with stand-in
// windows registered in the program's window table under the real names
// (and the real overview where its reloads are the point).
#include "contacts/dorv_about.h"
#include "contacts/dorv_okna.h"
#include "contacts/dorv_prehled.h"
#include "contacts/dorv_vychozi.h"
#include "contacts/dorv_zaklad.h"

#include "platform/commandchannel.h"
#include "platform/dialogs.h"
#include "platform/help.h"
#include "platform/inifile.h"
#include "shared/commands.h"
#include "shared/contactfile.h"
#include "shared/f_p.h"

#include "contactsprogram.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <climits>
#include <memory>

namespace {

const QDateTime T0(QDate(2024, 3, 5), QTime(14, 7, 0));

// A window of the program as the hub opens it: a real sizeable base window.
class StandIn : public TFKVychozi {
public:
    explicit StandIn(const QString& name)
    {
        setObjectName(name);
    }
};

// The new-contact form as the hub sees it: it learns its copy source.
class StandInNew : public StandIn, public NewContactForm {
public:
    StandInNew()
        : StandIn(QStringLiteral("FKNew"))
    {
    }
    void SetCopySource(int number) override { CopySource = number; }
    int CopySource = -1;
};

class StandInOverview : public StandIn, public ContactOverview {
public:
    StandInOverview()
        : StandIn(QStringLiteral("FKPrehled"))
    {
    }
    void Aktualizuj() override { ++Reloads; }
    void VsechnySkupDoCombo() override { ++GroupRefills; }
    int Reloads = 0;
    int GroupRefills = 0;
};

// A fixed-size window of the program.
class StandInFixed : public TFKVychZakl {
public:
    StandInFixed() { setObjectName(QStringLiteral("FKPrehlSloup")); }
};

void RegisterStandIns()
{
    ContactForms().Register("FKNew", [](OpenMode) { return new StandInNew; });
    ContactForms().Register("FKPrehled", [](OpenMode) { return new StandInOverview; });
    ContactForms().Register("FKOdstran", [](OpenMode) { return new StandIn(QStringLiteral("FKOdstran")); });
}

// Visible windows of the program by name, without regard to case.
QList<QWidget*> OpenWindows(const QString& name)
{
    QList<QWidget*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName().compare(name, Qt::CaseInsensitive) == 0)
            found << w;
    return found;
}

void WriteContacts(const QString& path, const QStringList& surnames)
{
    QFile::remove(path);
    for (const QString& s : surnames) {
        ContactRecord r;
        r.prijmeni = s;
        AppendContact(path, r);
    }
}

} // namespace

class TestDorvHub : public QObject {
    Q_OBJECT

    std::unique_ptr<ContactsProgram> m_program;
    std::unique_ptr<QSignalSpy> m_closed;

    void StartHub()
    {
        m_closed.reset();
        m_program->restart();
        WatchHub();
    }
    void WatchHub() { m_closed = std::make_unique<QSignalSpy>(&m_program->hub(), &TFKZaklad::Closed); }
    void Code(int32_t code, int32_t arg = 0) { m_program->hub().HandleContactCommand(code, arg); }
    bool Ended() const { return !m_closed->isEmpty(); }
    QString DataPath() const { return m_program->dataPath(); }
    QString PlacementPath() const { return m_program->placementIni(); }
    template <class T = StandIn> T* Window(const QString& name) { return dynamic_cast<T*>(FindForm(name)); }

private slots:
    void initTestCase()
    {
        QCOMPARE(CommandChannel::own().listen(ContactAppTitle), CommandChannel::ListenResult::Listening);
    }

    void init()
    {
        RegisterStandIns();
        m_program = std::make_unique<ContactsProgram>(T0);
        WatchHub();
    }

    void cleanup()
    {
        m_closed.reset();
        m_program.reset();
    }

    void startsHiddenWithItsPaths()
    {
        QVERIFY(!m_program->hub().isVisible());
        QCOMPARE(m_program->hub().objectName(), QStringLiteral("FKZaklad"));
        QCOMPARE(m_program->hub().windowTitle(), QStringLiteral("Korvel-Kontakt"));
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);
        QCOMPARE(m_program->hub().OpenEditFormCount(), 0);
        QCOMPARE(m_program->hub().SettingsFile(), m_program->iniPath());
        QCOMPARE(m_program->hub().PlacementFile(), PlacementPath());
        QCOMPARE(m_program->hub().PlacementFileName(), QStringLiteral("korvelk.ini"));
        QCOMPARE(m_program->hub().ContactDataPath(), DataPath());
        QCOMPARE(Help::helpFile(), m_program->folder() + "/napoveda");
        QCOMPARE(FKZaklad(), &m_program->hub());
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));

        // The data folder comes from the shared settings, stored in either
        // form; one ending in a separator still names the file in it.
        QTemporaryDir data;
        for (const QString& stored :
            { data.path(), data.path() + "/", QString(data.path()).replace('/', '\\') + "\\" }) {
            IniWriteString(m_program->iniPath(), "Nastav", "adrdatabaze", stored);
            StartHub();
            WriteContacts(m_program->hub().ContactDataPath(), { "Novák" });
            QCOMPARE(QFileInfo(m_program->hub().ContactDataPath()).canonicalFilePath(),
                QFileInfo(data.filePath("korvel.db1")).canonicalFilePath());
            QCOMPARE(m_program->hub().SettingsFile(), m_program->iniPath());
        }
        // Gone with the hub.
        m_closed.reset();
        m_program.reset();
        QCOMPARE(FKZaklad(), nullptr);
    }

    void restoreOpensNothing()
    {
        Code(dcNewContact);
        QWidget* form = Window(QStringLiteral("FKNew"));
        QVERIFY(form);
        form->showMinimized();
        QVERIFY(form->isMinimized());
        Code(dcRestore);
        QVERIFY(!form->isMinimized());
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
        QVERIFY(!Ended());
    }

    void newContactCopiesOnlyAContactOfTheFile_data()
    {
        QTest::addColumn<int>("arg");
        QTest::addColumn<int>("copySource");
        QTest::newRow("empty form") << 0 << 0;
        QTest::newRow("first") << 1 << 1;
        QTest::newRow("last") << 3 << 3;
        QTest::newRow("beyond the file") << 4 << 0;
        QTest::newRow("negative") << -2 << 0;
        QTest::newRow("lowest") << INT_MIN << 0;
    }
    void newContactCopiesOnlyAContactOfTheFile()
    {
        QFETCH(int, arg);
        QFETCH(int, copySource);
        WriteContacts(DataPath(), { "Novák", "Dvořák", "Svoboda" });
        Code(dcNewContact, arg);
        const QList<QWidget*> forms = OpenWindows(QStringLiteral("FKNew"));
        QCOMPARE(forms.size(), 1);
        QCOMPARE(dynamic_cast<StandInNew*>(forms[0])->CopySource, copySource);
    }

    void everyNewContactCodeOpensOneMoreForm()
    {
        Code(dcNewContact);
        Code(dcNewContact);
        QCOMPARE(OpenWindows(QStringLiteral("FKNew")).size(), 2);
        QCOMPARE(m_program->hub().OpenWindowCount(), 2);
    }

    void overviewOpensOnceAndComesForward()
    {
        Code(dcOverview);
        QList<QWidget*> open = OpenWindows(QStringLiteral("FKPrehled"));
        QCOMPARE(open.size(), 1);
        QWidget* first = open[0];
        first->showMinimized();
        Code(dcOverview);
        open = OpenWindows(QStringLiteral("FKPrehled"));
        QCOMPARE(open.size(), 1);
        QCOMPARE(open[0], first);
        QVERIFY(!first->isMinimized());
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
    }

    void theDeletedContactsWindowIsNoOverview()
    {
        auto* deleted = new StandIn(QStringLiteral("FKOdstran"));
        deleted->show();
        Code(dcReloadList);
        Code(dcReloadGroups);
        QCOMPARE(OpenWindows(QStringLiteral("FKPrehled")).size(), 0);
        Code(dcOverview);
        QCOMPARE(OpenWindows(QStringLiteral("FKPrehled")).size(), 1);
        QCOMPARE(OpenWindows(QStringLiteral("FKOdstran")).size(), 1);
    }

    void reloadsOnlyAnOpenOverview()
    {
        // No overview: nothing opens and the program does not end.
        Code(dcReloadList);
        Code(dcReloadGroups);
        QCOMPARE(OpenWindows(QStringLiteral("FKPrehled")).size(), 0);
        QVERIFY(!Ended());

        Code(dcOverview);
        auto* overview = Window<StandInOverview>(QStringLiteral("FKPrehled"));
        QVERIFY(overview);
        overview->showMinimized();
        Code(dcReloadList);
        QVERIFY(!overview->isMinimized());
        QCOMPARE(overview->Reloads, 1);
        QCOMPARE(overview->GroupRefills, 0);
        overview->showMinimized();
        Code(dcReloadGroups);
        QVERIFY(!overview->isMinimized());
        QCOMPARE(overview->Reloads, 1);
        QCOMPARE(overview->GroupRefills, 1);

        // A closed overview waiting to be freed is not reloaded.
        overview->close();
        QVERIFY(Ended());
        Code(dcReloadList);
        QCOMPARE(overview->Reloads, 1);
    }

    void theRealOverviewReloadsItsListAndGroups()
    {
        ContactForms().Register("FKPrehled", [](OpenMode) { return new TFKPrehled; });
        WriteContacts(DataPath(), { "Novák" });
        Code(dcOverview);
        auto* overview = Window<TFKPrehled>(QStringLiteral("FKPrehled"));
        QVERIFY(overview);
        QCOMPARE(overview->List->topLevelItemCount(), 1);

        ContactRecord r;
        r.prijmeni = QStringLiteral("Dvořák");
        r.skupina1 = QStringLiteral("rodina");
        AppendContact(DataPath(), r);
        Code(dcReloadList);
        QCOMPARE(overview->List->topLevelItemCount(), 2);
        QCOMPARE(overview->CBSkupina1->count(), 0);
        Code(dcReloadGroups);
        QCOMPARE(overview->CBSkupina1->count(), 1);
        QCOMPARE(overview->CBSkupina1->itemText(0), QStringLiteral("rodina"));
    }

    void otherCodesOnlyRestore_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("1") << 1;
        QTest::newRow("-5") << -5;
        QTest::newRow("-13") << -13;
        QTest::newRow("highest") << INT_MAX;
        QTest::newRow("lowest") << INT_MIN;
    }
    void otherCodesOnlyRestore()
    {
        QFETCH(int, code);
        WriteContacts(DataPath(), { "Novák" });
        Code(dcNewContact);
        QWidget* form = Window(QStringLiteral("FKNew"));
        form->showMinimized();
        const int before = QApplication::topLevelWidgets().size();
        Code(code, 1);
        QVERIFY(!form->isMinimized());
        QCOMPARE(QApplication::topLevelWidgets().size(), before);
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
        QVERIFY(!Ended());
    }

    void postedCodesReachTheHubInOrder()
    {
        // The overview's own posts, and those of other programs, arrive
        // through the channel after the current handler.
        WriteContacts(DataPath(), { "Novák", "Dvořák" });
        CommandChannel::own().postToSelf(dcOverview);
        CommandChannel::own().postToSelf(dcReloadList);
        CommandChannel::own().postToSelf(dcNewContact, 2);
        QVERIFY(CommandChannel::post(ContactAppTitle, dcReloadGroups));
        QCOMPARE(OpenWindows(QStringLiteral("FKPrehled")).size(), 0);
        QTRY_COMPARE(OpenWindows(QStringLiteral("FKNew")).size(), 1);
        QTRY_COMPARE(Window<StandInOverview>(QStringLiteral("FKPrehled"))->GroupRefills, 1);
        auto* overview = Window<StandInOverview>(QStringLiteral("FKPrehled"));
        QCOMPARE(overview->Reloads, 1);
        QCOMPARE(Window<StandInNew>(QStringLiteral("FKNew"))->CopySource, 2);
    }

    void theLastWindowEndsTheProgram()
    {
        Code(dcOverview);
        Code(dcNewContact);
        QCOMPARE(m_program->hub().OpenWindowCount(), 2);
        Window(QStringLiteral("FKNew"))->close();
        QVERIFY(!Ended());
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
        // The hidden main form was never shown; the last window still ends
        // the program.
        Window(QStringLiteral("FKPrehled"))->close();
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);
        QVERIFY(Ended());
    }

    void aWindowNotYetAvailableEndsAProgramWithoutWindows()
    {
        ContactForms().Register("FKNew", {});
        Code(dcNewContact);
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown()[0].text, FormFactory::NotAvailableText(QStringLiteral("FKNew")));
        QVERIFY(Ended());

        // With a window open the program goes on.
        StartHub();
        Code(dcOverview);
        Code(dcNewContact);
        QVERIFY(!Ended());
    }

    void theAboutBoxCountsAndKeepsItsPlaceInTheSharedSettings()
    {
        Code(dcOverview);
        auto* overview = Window(QStringLiteral("FKPrehled"));
        int countWhileOpen = -1;
        QString caption;
        Dialogs::queueModal([&](QDialog* box) {
            caption = box->windowTitle();
            box->show(); // shown as exec would show it
            countWhileOpen = m_program->hub().OpenWindowCount();
            box->move(33, 44);
            box->close();
            return int(mrOk);
        });
        overview->MAbout()->trigger();
        QCOMPARE(Dialogs::shownModals(), QStringList { "FKAbout" });
        QCOMPARE(caption, QStringLiteral("About Korvel-Kontakt"));
        QCOMPARE(countWhileOpen, 2);
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
        QVERIFY(!Ended());
        QCOMPARE(IniReadInteger(m_program->iniPath(), "FAbout", "Left", -1), 33);
        QCOMPARE(IniReadInteger(PlacementPath(), "FAbout", "Left", -1), -1);

        // The box open: the menu brings it forward instead of a second one.
        auto* box = new TFKAbout;
        box->show();
        overview->MAbout()->trigger();
        QCOMPARE(Dialogs::shownModals().size(), 1);
        // The about box can be the last window, and then ends the program.
        overview->close();
        QVERIFY(!Ended());
        box->close();
        QVERIFY(Ended());
    }

    void baseWindowsKeepTheirPlacementInTheirOwnFile()
    {
        // A sizeable window: the default size, the minimum, its whole
        // placement in "korvelk.ini" under its name.
        auto* sizeable = new StandIn(QStringLiteral("FKNew"));
        sizeable->show();
        QCOMPARE(sizeable->size(), QSize(472, 352));
        QCOMPARE(sizeable->MinTrackWidth, 360);
        QCOMPARE(sizeable->MinTrackHeight, 300);
        QVERIFY(sizeable->BHelp());
        // Its contents keep their proportions: a quarter larger each way.
        sizeable->setGeometry(40, 50, 590, 440);
        sizeable->close();
        QCOMPARE(IniReadInteger(PlacementPath(), "FKNew", "Width", 0), 590);
        QCOMPARE(IniReadInteger(PlacementPath(), "FKNew", "Height", 0), 440);
        QVERIFY(!QFile::exists(m_program->iniPath()));

        // A fixed window keeps its designed size and restores its position
        // only.
        IniWriteInteger(PlacementPath(), "FKPrehlSloup", "State", 2);
        IniWriteInteger(PlacementPath(), "FKPrehlSloup", "Left", 70);
        IniWriteInteger(PlacementPath(), "FKPrehlSloup", "Top", 80);
        IniWriteInteger(PlacementPath(), "FKPrehlSloup", "Width", 900);
        IniWriteInteger(PlacementPath(), "FKPrehlSloup", "Height", 700);
        StartHub();
        auto* fixed = new StandInFixed;
        fixed->resize(411, 326);
        fixed->show();
        QCOMPARE(fixed->size(), QSize(411, 326));
        QCOMPARE(fixed->MinTrackWidth, 0);
        QVERIFY(!fixed->BHelp());
        QCOMPARE(fixed->pos(), QPoint(70, 80));
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
        fixed->close();
        QVERIFY(Ended());
    }

    void editFormsAreCountedApart()
    {
        m_program->hub().EditFormOpened();
        m_program->hub().EditFormOpened();
        QCOMPARE(m_program->hub().OpenEditFormCount(), 2);
        m_program->hub().EditFormClosed();
        m_program->hub().EditFormClosed();
        m_program->hub().EditFormClosed();
        QCOMPARE(m_program->hub().OpenEditFormCount(), 0);
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);
        QVERIFY(!Ended());
    }
};

QTEST_MAIN(TestDorvHub)
#include "tst_dorvhub.moc"
