// The contact overview on a real contact file in a temporary program folder:
// its columns and their settings, the filters, the group boxes, sorting in
// Czech order, deleting, e-mail, the merge panels, the windows it opens
// (stand-ins under the real names), damaged records and reloads started
// while one runs.
#include "contacts/dorv_okna.h"
#include "contacts/dorv_prehled.h"
#include "contacts/dorv_vychozi.h"
#include "contacts/dorv_zaklad.h"

#include "components/amedit.h"
#include "components/kitctrls.h"
#include "components/listsort.h"
#include "platform/dialogs.h"
#include "platform/inifile.h"
#include "platform/shellopen.h"
#include "platform/tag.h"
#include "shared/commands.h"
#include "shared/contactfields.h"
#include "shared/contactfile.h"
#include "shared/f_p.h"

#include "contactsprogram.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrlQuery>

#include <memory>

namespace {

const QDateTime T0(QDate(2024, 3, 5), QTime(14, 7, 0));

struct Person {
    const char16_t* jmeno;
    const char16_t* prijmeni;
    const char16_t* skupina1;
    const char16_t* skupina2;
    const char16_t* email1;
    const char16_t* email2;
    bool vymazano;
};

// Numbers 1..7 in this order. Sorted the Czech way by surname: Čermáková,
// Dvořák, Hrubý, Chmelová, Novák, Šťastná (Cibulka is deleted).
const Person People[] = {
    { u"Jan", u"Novák", u"rodina;Praha", u"", u"jan@novak.cz", u"", false },
    { u"Petr", u"Dvořák", u"Praha-západ", u"", u"", u"petr@dvorak.cz", false },
    { u"Eva", u"Čermáková", u"práce", u"it", u"eva@cermak.cz", u"", false },
    { u"Jana", u"Chmelová", u"rodina", u"IT;vedení", u"jana@chmel.cz", u"", false },
    { u"Karel", u"Hrubý", u"Praha", u"", u"", u"", false },
    { u"Ivan", u"Cibulka", u"rodina", u"", u"ivan@cibulka.cz", u"", true },
    { u"Věra", u"Šťastná", u"práce", u"vedení", u"vera@stastna.cz", u"", false },
};

ContactRecord Contact(const Person& p)
{
    ContactRecord r;
    r.jmeno = QString::fromUtf16(p.jmeno);
    r.prijmeni = QString::fromUtf16(p.prijmeni);
    r.skupina1 = QString::fromUtf16(p.skupina1);
    r.skupina2 = QString::fromUtf16(p.skupina2);
    r.email1 = QString::fromUtf16(p.email1);
    r.email2 = QString::fromUtf16(p.email2);
    r.vymazano = p.vymazano;
    r.firma = r.prijmeni + QStringLiteral(" s.r.o.");
    r.tel1 = QStringLiteral("123456789");
    r.unikat = 45000 + r.prijmeni.size();
    return r;
}

ContactRecord Stored(const QString& path, int number)
{
    ContactRecord r;
    ReadContact(number, path, r);
    return r;
}

// Windows the overview opens, as stand-ins that record what they are told.
class NewStandIn : public TFKVychozi, public NewContactForm {
public:
    NewStandIn() { setObjectName(QStringLiteral("FKNew")); }
    void SetCopySource(int number) override { CopySource = number; }
    int CopySource = -1;
};

class EditStandIn : public TFKVychozi, public ContactEditForm {
public:
    EditStandIn() { setObjectName(QStringLiteral("FKEdit")); }
    void SetRecordNumber(int number) override { Number = number; }
    void SetMultiEdit(const QString& numbers) override { Numbers = numbers; }
    int Number = 0;
    QString Numbers;
};

class ChooserStandIn : public TFKVychZakl, public ColumnChooser {
public:
    ChooserStandIn() { setObjectName(QStringLiteral("FKPrehlSloup")); }
    void SetListView(QTreeWidget* list, const QString& section) override
    {
        List = list;
        Section = section;
    }
    QTreeWidget* List = nullptr;
    QString Section;
};

class ExportStandIn : public TFKVychZakl, public ContactExport {
public:
    ExportStandIn() { setObjectName(QStringLiteral("FKExportCSV")); }
    void SetRange(int item) override { Range = item; }
    int Range = 1;
};

class WizardStandIn : public TFKVychZakl {
public:
    WizardStandIn() { setObjectName(QStringLiteral("FKImportCSV")); }
};

class DeletedStandIn : public TFKVychozi {
public:
    DeletedStandIn() { setObjectName(QStringLiteral("FKOdstran")); }
};

} // namespace

class TestKPrehled : public QObject {
    Q_OBJECT

    std::unique_ptr<ContactsProgram> m_program;
    QList<QUrl> m_opened;

    QString DataPath() const { return m_program->dataPath(); }
    QString Ini() const { return m_program->placementIni(); }

    void WritePeople()
    {
        for (const Person& p : People) {
            ContactRecord r = Contact(p);
            AppendContact(DataPath(), r);
        }
    }

    TFKPrehled* Open()
    {
        m_program->hub().HandleContactCommand(dcOverview, 0);
        return dynamic_cast<TFKPrehled*>(m_program->window(QStringLiteral("FKPrehled")));
    }

    // The texts of the column captioned caption, top to bottom.
    static QStringList Column(const TFKPrehled* o, const QString& caption)
    {
        int column = -1;
        for (int i = 0; i < o->List->columnCount(); ++i)
            if (o->List->headerItem()->text(i) == caption)
                column = i;
        QStringList texts;
        for (int i = 0; column >= 0 && i < o->List->topLevelItemCount(); ++i)
            texts << o->List->topLevelItem(i)->text(column);
        return texts;
    }
    static QStringList Surnames(const TFKPrehled* o) { return Column(o, QStringLiteral("příjmení")); }
    static QStringList Headers(const TFKPrehled* o)
    {
        QStringList h;
        for (int i = 0; i < o->List->columnCount(); ++i)
            h << o->List->headerItem()->text(i);
        return h;
    }
    static void Select(TFKPrehled* o, const QStringList& surnames)
    {
        o->List->clearSelection();
        const QStringList all = Surnames(o);
        for (const QString& s : surnames)
            o->List->topLevelItem(int(all.indexOf(s)))->setSelected(true);
    }
    static void Leave(QWidget* control, QWidget* next)
    {
        control->setFocus(Qt::TabFocusReason);
        next->setFocus(Qt::TabFocusReason);
    }

private slots:
    void init()
    {
        ContactForms().Register("FKPrehled", [](OpenMode) { return new TFKPrehled; });
        ContactForms().Register("FKNew", [](OpenMode) { return new NewStandIn; });
        ContactForms().Register("FKEdit", [](OpenMode) { return new EditStandIn; });
        ContactForms().Register("FKPrehlSloup", [](OpenMode) { return new ChooserStandIn; });
        ContactForms().Register("FKExportCSV", [](OpenMode) { return new ExportStandIn; });
        ContactForms().Register("FKImportCSV", [](OpenMode) { return new WizardStandIn; });
        ContactForms().Register("FKOdstran", [](OpenMode) { return new DeletedStandIn; });
        m_program = std::make_unique<ContactsProgram>(T0);
        m_opened.clear();
        SetShellOpener([this](const QUrl& url) {
            m_opened << url;
            return true;
        });
    }

    void cleanup()
    {
        SetShellOpener({});
        m_program.reset();
    }

    void opensWithTheDefaultColumnsSortedTheCzechWay()
    {
        WritePeople();
        TFKPrehled* o = Open();
        QVERIFY(o);
        QCOMPARE(o->windowTitle(), QStringLiteral("Přehled kontaktů"));
        QStringList expected;
        for (int code : { 2, 3, 27, 31, 32, 33, 6, 7, 8, 43 })
            expected << ContactFieldCaption(code);
        QCOMPARE(Headers(o), expected);
        QCOMPARE(o->List->columnWidth(0), 75);
        // Deleted contacts are not listed; "ch" follows "h", "č" follows "c".
        QCOMPARE(Surnames(o), QStringList({ "Čermáková", "Dvořák", "Hrubý", "Chmelová", "Novák", "Šťastná" }));
        QCOMPARE(Column(o, "číslo"), QStringList({ "3", "2", "5", "4", "1", "7" }));
        QCOMPARE(Column(o, "telefon"), QStringList(6, "123 456 789"));
        QCOMPARE(SortArrow(o->List, 1), QStringLiteral("ARROWDOWN"));
        QCOMPARE(SortArrow(o->List, 0), QStringLiteral("NOARROW"));

        // No row selected: the row actions wait for one.
        QVERIFY(!o->BEdit->isEnabled());
        QVERIFY(!o->BOdstran->isEnabled());
        QVERIFY(!o->BEmail->isEnabled());
        QVERIFY(o->BNew->isEnabled());
        QVERIFY(!o->MKEdit->isEnabled());
        QCOMPARE(o->BNew->statusTip(), QStringLiteral("přidání nového kontaktu"));

        // The filter's boxes stand in two rows at this width, the panel as
        // high as they are; a wide window takes them in one row.
        QVERIFY(o->GBVyb1->y() > 0);
        QCOMPARE(o->GBVyb1->x(), o->GBJmeno->x());
        QCOMPARE(o->GBJmeno->x(), 42);
        o->resize(1400, 500);
        QCOMPARE(o->GBVyb1->y(), 0);
        QCOMPARE(o->GBVyb1->x(), o->GBSkup->geometry().right() + 1);
        QCOMPARE(o->PHled->height(), o->GBVyb1->height() + 2);
        QCOMPARE(o->BCancel->geometry().right(), o->PIkon->width() - 3);
        o->resize(640, 440);

        Select(o, { "Dvořák", "Novák" });
        o->MZSlucClick(o->MZSluc2);
        QTest::qWait(50);
        QVERIFY(saveScreenshot(o, QStringLiteral("kprehled")));
    }

    void columnsComeFromTheSettingsAndGoBackThere()
    {
        WritePeople();
        IniWriteString(Ini(), "FKPrehled", "ListSeznam", "3;99;x;;2");
        IniWriteInteger(Ini(), "Sloupce", "3", 120);
        IniWriteInteger(Ini(), "Sloupce", "2", -4); // damage: the default
        TFKPrehled* o = Open();
        // Unknown items are skipped; the number column joins with the rows.
        QCOMPARE(Headers(o), QStringList({ "příjmení", "jméno", "číslo" }));
        QCOMPARE(o->List->columnWidth(0), 120);
        QCOMPARE(o->List->columnWidth(1), 75);
        QCOMPARE(o->List->columnWidth(2), 20);
        QCOMPARE(Column(o, "jméno").size(), 6);
        o->List->setColumnWidth(1, 90);
        o->close();
        QCOMPARE(IniReadString(Ini(), "FKPrehled", "ListSeznam", ""), QStringLiteral("3;2;43"));
        QCOMPARE(IniReadInteger(Ini(), "Sloupce", "2", 0), 90);
        QCOMPARE(IniReadInteger(Ini(), "Sloupce", "43", 0), 20);
        // The deleted-contacts window's keys stay untouched.
        QCOMPARE(IniReadString(Ini(), "FKOdstran", "ListSeznam", "none"), QStringLiteral("none"));
    }

    void nameFilter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("surnames");
        QTest::newRow("one word, Czech case") << "ČERMÁK" << QStringList { "Čermáková" };
        QTest::newRow("first or last name") << "jan" << QStringList { "Chmelová", "Novák" };
        QTest::newRow("two words, both") << "jan nov" << QStringList { "Novák" };
        QTest::newRow("alternatives") << "karel;věra" << QStringList { "Hrubý", "Šťastná" };
        QTest::newRow("alternatives trimmed") << " eva ; petr " << QStringList { "Čermáková", "Dvořák" };
        QTest::newRow("leading empty alternative")
            << ";xyz" << QStringList { "Čermáková", "Dvořák", "Hrubý", "Chmelová", "Novák", "Šťastná" };
        QTest::newRow("two blanks: an empty word") << "jan  novák" << QStringList {};
        QTest::newRow("nobody") << "Zdeněk" << QStringList {};
        QTest::newRow("deleted stay out") << "Cibulka" << QStringList {};
    }
    void nameFilter()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, surnames);
        WritePeople();
        TFKPrehled* o = Open();
        o->EJmeno->setText(filter);
        QCOMPARE(o->Filtrovat(), 1);
        QVERIFY(o->FiltrovatCislo(1));
        QCOMPARE(Surnames(o), surnames);
        o->EJmeno->clear();
        QCOMPARE(Surnames(o).size(), 6);
    }

    void groupFilterMatchesWholeGroupNames()
    {
        WritePeople();
        TFKPrehled* o = Open();
        // The group boxes list the groups once, deleted contacts' too.
        QCOMPARE(o->CBSkupina1->count(), 4); // práce, Praha, Praha-západ, rodina
        o->CBSkupina1->setEditText(QStringLiteral("praha"));
        o->Aktualizuj();
        QCOMPARE(Surnames(o), QStringList({ "Hrubý", "Novák" }));
        o->CBSkupina1->setEditText(QString());
        o->CBSkupina2->setEditText(QStringLiteral("vedení"));
        o->Aktualizuj();
        QCOMPARE(Surnames(o), QStringList({ "Chmelová", "Šťastná" }));
    }

    void leavingAGroupBoxNarrowsTheOthers()
    {
        WritePeople();
        TFKPrehled* o = Open();
        QVERIFY(QTest::qWaitForWindowActive(o));
        o->CBSkupina1->setEditText(QStringLiteral("rodina"));
        Leave(o->CBSkupina1, o->EJmeno);
        QCOMPARE(Surnames(o), QStringList({ "Chmelová", "Novák" }));
        QStringList level2;
        for (int i = 0; i < o->CBSkupina2->count(); ++i)
            level2 << o->CBSkupina2->itemText(i);
        QCOMPARE(level2, QStringList({ "IT", "vedení" }));

        // A text that names no group keeps the focus and changes nothing.
        o->CBSkupina2->setEditText(QStringLiteral("nikdo"));
        Leave(o->CBSkupina2, o->EJmeno);
        QTRY_VERIFY(o->CBSkupina2->hasFocus());
        QCOMPARE(Surnames(o), QStringList({ "Chmelová", "Novák" }));

        // Code -4 refills the boxes and applies the level left last again.
        o->CBSkupina2->setEditText(QString());
        ContactRecord r;
        r.prijmeni = QStringLiteral("Nový");
        r.skupina1 = QStringLiteral("rodina");
        AppendContact(DataPath(), r);
        m_program->hub().HandleContactCommand(dcReloadGroups, 0);
        QCOMPARE(Surnames(o), QStringList({ "Chmelová", "Novák", "Nový" }));

        // A group typed in other letters, Czech ones too, is the listed one.
        o->CBSkupina1->setEditText(QStringLiteral("PRÁCE"));
        Leave(o->CBSkupina1, o->EJmeno);
        QCOMPARE(o->CBSkupina1->currentText(), QStringLiteral("práce"));
        QCOMPARE(Surnames(o), QStringList({ "Čermáková", "Šťastná" }));
    }

    void fieldBoxes()
    {
        WritePeople();
        TFKPrehled* o = Open();
        QVERIFY(QTest::qWaitForWindowActive(o));
        QCOMPARE(o->CBPol1->count(), FilterFieldCount);
        QCOMPARE(o->CBPol1->itemText(34), QStringLiteral("*"));

        // A text but no field: nothing matches.
        o->AMEData2->setText(QStringLiteral("cz"));
        QCOMPARE(o->List->topLevelItemCount(), 0);
        o->AMEData2->clear();

        o->AMEData1->setText(QStringLiteral("CHMEL"));
        QCOMPARE(o->List->topLevelItemCount(), 0);
        o->CBPol1->setEditText(QStringLiteral("e-mail"));
        Leave(o->CBPol1, o->EJmeno);
        QCOMPARE(tag(o->CBPol1), 31);
        QCOMPARE(Surnames(o), QStringList({ "Chmelová" }));
        // "*" searches every text of the contact.
        o->CBPol1->setEditText(QStringLiteral("*"));
        o->AMEData1->setText(QStringLiteral("s.r.o"));
        Leave(o->CBPol1, o->EJmeno);
        QCOMPARE(Surnames(o).size(), 6);
        // No such field: the focus stays, the choice too.
        o->CBPol1->setEditText(QStringLiteral("boty"));
        Leave(o->CBPol1, o->EJmeno);
        QTRY_VERIFY(o->CBPol1->hasFocus());
        QCOMPARE(tag(o->CBPol1), 35);

        // The choices are kept for the next opening.
        o->close();
        QCOMPARE(IniReadInteger(Ini(), "FKPrehled", "fvyber1", 0), 35);
        TFKPrehled* again = Open();
        QCOMPARE(again->CBPol1->currentText(), QStringLiteral("*"));
        QCOMPARE(tag(again->CBPol1), 35);
    }

    void sortingFollowsTheHeaderAndIsKept()
    {
        WritePeople();
        TFKPrehled* o = Open();
        o->List->header()->sectionClicked(1);
        QCOMPARE(Surnames(o), QStringList({ "Šťastná", "Novák", "Chmelová", "Hrubý", "Dvořák", "Čermáková" }));
        QCOMPARE(SortArrow(o->List, 1), QStringLiteral("ARROWUP"));
        // Another column keeps the direction.
        o->List->header()->sectionClicked(0);
        QCOMPARE(Column(o, "jméno"), QStringList({ "Věra", "Petr", "Karel", "Jana", "Jan", "Eva" }));
        QCOMPARE(SortArrow(o->List, 0), QStringLiteral("ARROWUP"));
        QCOMPARE(SortArrow(o->List, 1), QStringLiteral("NOARROW"));
        // The selection stays with its rows.
        Select(o, { "Dvořák" });
        o->List->header()->sectionClicked(0);
        QCOMPARE(Column(o, "jméno").first(), QStringLiteral("Eva"));
        QCOMPARE(o->List->selectedItems().size(), 1);
        QCOMPARE(o->List->selectedItems()[0]->text(1), QStringLiteral("Dvořák"));
        o->List->header()->sectionClicked(0);

        o->close();
        QCOMPARE(IniReadInteger(Ini(), "FKPrehled", "ser_vych_col", -1), 0);
        QCOMPARE(IniReadBool(Ini(), "FKPrehled", "ser_vych_AZ", true), false);
        TFKPrehled* again = Open();
        QCOMPARE(Column(again, "jméno"), QStringList({ "Věra", "Petr", "Karel", "Jana", "Jan", "Eva" }));
        QCOMPARE(SortArrow(again->List, 0), QStringLiteral("ARROWUP"));
    }

    void aStoredSortColumnOutsideTheListSortsNothing_data()
    {
        QTest::addColumn<int>("column");
        QTest::newRow("past the columns") << 10;
        QTest::newRow("a byte's wrap") << 257;
        QTest::newRow("negative") << -1;
    }
    void aStoredSortColumnOutsideTheListSortsNothing()
    {
        QFETCH(int, column);
        WritePeople();
        IniWriteInteger(Ini(), "FKPrehled", "ser_vych_col", column);
        TFKPrehled* o = Open();
        QCOMPARE(Column(o, "číslo"), QStringList({ "1", "2", "3", "4", "5", "7" }));
        for (int i = 0; i < o->List->columnCount(); ++i)
            QCOMPARE(SortArrow(o->List, i), QStringLiteral("NOARROW"));
    }

    void deleteMarksTheSelectedContactsOnly()
    {
        WritePeople();
        TFKPrehled* o = Open();
        const QByteArray before = readFileBytes(DataPath());
        Select(o, { "Dvořák", "Hrubý" });
        QVERIFY(o->BOdstran->isEnabled());
        Dialogs::queueAnswer(mrNo);
        o->BOdstranClick();
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown()[0].text, QStringLiteral("Opravdu vymazat vybrané kontakty?\r\nPočet:2"));
        QCOMPARE(Dialogs::shown()[0].type, MsgDlgType::Confirmation);
        QCOMPARE(readFileBytes(DataPath()), before);

        Dialogs::queueAnswer(mrYes);
        o->BOdstranClick();
        QCOMPARE(Surnames(o), QStringList({ "Čermáková", "Chmelová", "Novák", "Šťastná" }));
        for (int number : { 2, 5 }) {
            ContactRecord expected = Contact(People[number - 1]);
            expected.cislo = number;
            expected.vymazano = true;
            QCOMPARE(Stored(DataPath(), number), expected);
        }
        // Nothing else in the file changed.
        const QByteArray after = readFileBytes(DataPath());
        QCOMPARE(after.size(), before.size());
        int changed = 0;
        for (int i = 0; i < after.size(); ++i)
            changed += after[i] != before[i];
        QCOMPARE(changed, 2);
    }

    void rowsTheFileNoLongerHoldsAreLeftAlone()
    {
        WritePeople();
        TFKPrehled* o = Open();
        Select(o, { "Hrubý", "Šťastná", "Novák" }); // numbers 5, 7, 1
        // Another program shortened the file meanwhile.
        const QByteArray bytes = readFileBytes(DataPath());
        writeFileBytes(DataPath(), bytes.left(3 * ContactRecord::Size));
        Dialogs::queueAnswer(mrYes);
        o->BOdstranClick();
        QVERIFY(Stored(DataPath(), 1).vymazano);
        QVERIFY(!Stored(DataPath(), 3).vymazano); // the last record, never clamped to
        QCOMPARE(ContactCount(DataPath()), 3);
    }

    // Another program removes a contact (number removed, 0 none) after the
    // rows were chosen: the file then differs from what it left only in the
    // chosen contacts' flag bytes, wherever they moved.
    void deletingMarksTheChosenWhereverTheyMoved_data()
    {
        QTest::addColumn<int>("removed");
        QTest::addColumn<QStringList>("chosen");
        QTest::newRow("in place") << 0 << QStringList { "Dvořák", "Hrubý" };
        QTest::newRow("all moved") << 1 << QStringList { "Dvořák", "Šťastná", "Chmelová" };
        QTest::newRow("one of them gone") << 3 << QStringList { "Čermáková", "Novák", "Šťastná" };
    }

    void deletingMarksTheChosenWhereverTheyMoved()
    {
        QFETCH(int, removed);
        QFETCH(QStringList, chosen);
        for (int i = 0; i < 7; ++i) {
            ContactRecord r = Contact(People[i]);
            r.unikat = 46000 + i;
            AppendContact(DataPath(), r);
        }
        TFKPrehled* o = Open();
        Select(o, chosen);
        if (removed != 0)
            DeleteContact(removed, DataPath());
        QByteArray expected = readFileBytes(DataPath());
        ForEachContact(DataPath(), [&](int position, const ContactRecord& r) {
            if (chosen.contains(r.prijmeni))
                expected[(position - 1) * ContactRecord::Size + 3430] = 1;
        });
        Dialogs::queueAnswer(mrYes);
        o->BOdstranClick();
        QCOMPARE(readFileBytes(DataPath()), expected);
        QCOMPARE(Dialogs::shown().size(), removed == 3 ? 2 : 1); // the question, a report of the one gone
    }

    void mailToTheSelectedContacts()
    {
        WritePeople();
        TFKPrehled* o = Open();
        // List order: Dvořák (second address), Hrubý (none), Chmelová.
        Select(o, { "Chmelová", "Dvořák", "Hrubý" });
        o->BEmailClick();
        QCOMPARE(m_opened.size(), 1);
        const QUrl url = m_opened[0];
        QCOMPARE(url.scheme(), QStringLiteral("mailto"));
        QCOMPARE(url.path(QUrl::FullyDecoded), QStringLiteral("petr@dvorak.cz;;jana@chmel.cz"));
        const QUrlQuery query(url);
        QCOMPARE(query.queryItemValue("subject", QUrl::FullyDecoded), QStringLiteral(" "));
        QVERIFY(query.queryItemValue("body", QUrl::FullyDecoded)
                    .startsWith(QStringLiteral("Kontakty vedeny v programu Korvel - ")));

        // Nobody with an address: nothing opens.
        Select(o, { "Hrubý" });
        o->BEmailClick();
        QCOMPARE(m_opened.size(), 1);
        // No mail program takes the link: the user is told.
        SetShellOpener([](const QUrl&) { return false; });
        Select(o, { "Novák" });
        o->BEmailClick();
        QCOMPARE(Dialogs::shown().last().text,
            QStringLiteral("Není nastaven žádný program pro e-mail, zprávu nelze otevřít."));
    }

    void anAddressCannotAddFieldsToTheMessage()
    {
        const QString hostile = QStringLiteral("x@y.cz?bcc=spy@z.cz&body=jiný text#konec");
        const QUrl url = TFKPrehled::MailLink(hostile);
        QCOMPARE(url.path(QUrl::FullyDecoded), hostile);
        const QUrlQuery query(url);
        QVERIFY(!query.hasQueryItem("bcc"));
        QCOMPARE(query.allQueryItemValues("body").size(), 1);
        QCOMPARE(url.fragment(), QString());
        QVERIFY(url.isValid());
        QCOMPARE(QUrl(url.toString()).path(QUrl::FullyDecoded), hostile);
    }

    void mergePanelsCollectTheSelectedRowsValues()
    {
        WritePeople();
        TFKPrehled* o = Open();
        QVERIFY(QTest::qWaitForWindowActive(o));
        QCOMPARE(o->CBSluc1->count(), TextFieldCount);
        o->CBSluc1->setEditText(QStringLiteral("skupina"));
        Leave(o->CBSluc1, o->EJmeno);
        QCOMPARE(tag(o->CBSluc1), 30);
        Select(o, { "Novák", "Chmelová", "Čermáková" });
        // List order: Čermáková, Chmelová, Novák; "IT" is "it".
        QTRY_COMPARE(o->AMESluc1->text(), QStringLiteral("práce;it;rodina;vedení;Praha"));
        // A second panel, switched on from the menu, fills at once.
        o->CBSluc2->setEditText(QStringLiteral("jméno"));
        setTag(o->CBSluc2, 2);
        o->MZSlucClick(o->MZSluc2);
        QVERIFY(o->PSluc2->isVisible());
        QCOMPARE(o->AMESluc2->text(), QStringLiteral("Eva;Jana;Jan"));
        // An empty merge box keeps the focus.
        o->CBSluc1->setEditText(QString());
        Leave(o->CBSluc1, o->EJmeno);
        QTRY_VERIFY(o->CBSluc1->hasFocus());
        QCOMPARE(tag(o->CBSluc1), 30);
        // No selection: empty.
        o->List->clearSelection();
        QTRY_COMPARE(o->AMESluc1->text(), QString());

        o->close();
        QCOMPARE(IniReadBool(Ini(), "FKPrehled", "sluc_vis2", false), true);
        QCOMPARE(IniReadInteger(Ini(), "FKPrehled", "sluc_pol", 0), 30);
        QCOMPARE(IniReadInteger(Ini(), "FKPrehled", "sluc_pol2", 0), 2);
        TFKPrehled* again = Open();
        QVERIFY(again->PSluc2->isVisible());
        QVERIFY(again->PSluc3->isHidden());
        QCOMPARE(again->CBSluc1->currentText(), QStringLiteral("skupina"));
    }

    void theCopyItemExistsOnlyForOneRow()
    {
        WritePeople();
        TFKPrehled* o = Open();
        QVERIFY(!o->PMList->actions().contains(o->MKNewKopiePM));
        Select(o, { "Hrubý" });
        QVERIFY(o->PMList->actions().contains(o->MKNewKopiePM));
        QCOMPARE(o->MKNewKopiePM->text(), o->MKNewKopie->text());
        QVERIFY(o->MKNewKopie->isEnabled());
        Select(o, { "Hrubý", "Novák" });
        QVERIFY(!o->PMList->actions().contains(o->MKNewKopiePM));
        QVERIFY(!o->MKNewKopie->isEnabled());
        QVERIFY(o->BEdit->isEnabled());
    }

    void newAndCopyGoThroughTheHub()
    {
        WritePeople();
        TFKPrehled* o = Open();
        o->BNewClick();
        Select(o, { "Hrubý" });
        o->MKNewKopiePM->trigger();
        // Posted: the forms open after the handler.
        QVERIFY(!FindForm("FKNew"));
        QList<int> sources;
        QTRY_VERIFY([&] {
            sources.clear();
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* f = dynamic_cast<NewStandIn*>(w); f && f->isVisible())
                    sources << f->CopySource;
            return sources.size() == 2;
        }());
        std::sort(sources.begin(), sources.end());
        QCOMPARE(sources, QList<int>({ 0, 5 }));
    }

    void editOpensOneFormForOneOrSeveral()
    {
        WritePeople();
        TFKPrehled* o = Open();
        Select(o, { "Hrubý" });
        o->BEditClick();
        auto* one = dynamic_cast<EditStandIn*>(FindForm("FKEdit"));
        QVERIFY(one && one->isVisible());
        QCOMPARE(one->Number, 5);
        one->close();
        Select(o, { "Novák", "Dvořák", "Chmelová" });
        o->BEditClick();
        auto* several = dynamic_cast<EditStandIn*>(FindForm("FKEdit"));
        QVERIFY(several && several != one);
        QCOMPARE(several->Numbers, QStringLiteral("2;4;1"));
        QCOMPARE(several->Number, 0);
    }

    void theDeletedContactsWindowOpensOnlyWhenItMay()
    {
        ContactRecord r = Contact(People[0]);
        AppendContact(DataPath(), r);
        TFKPrehled* o = Open();
        o->BFormOdstranClick();
        QCOMPARE(Dialogs::shown().last().text, QStringLiteral("Žádné kontakty nejsou vymazány."));

        r = Contact(People[5]);
        AppendContact(DataPath(), r);
        m_program->hub().EditFormOpened();
        o->BFormOdstranClick();
        QCOMPARE(Dialogs::shown().last().text, QStringLiteral("Některé kontakty jsou editovány - nelze spustit."));
        QVERIFY(Dialogs::shownModals().isEmpty());
        m_program->hub().EditFormClosed();

        // Cancelled: nothing is rebuilt; OK: the columns are read again.
        IniWriteString(Ini(), "FKPrehled", "ListSeznam", "3");
        o->BFormOdstranClick();
        QCOMPARE(Dialogs::shownModals(), QStringList { "FKOdstran" });
        QCOMPARE(o->List->columnCount(), 10);
        Dialogs::queueModal([](QDialog*) { return int(mrOk); });
        o->BFormOdstranClick();
        QCOMPARE(Headers(o), QStringList({ "příjmení", "číslo" }));
    }

    void theColumnChooserGetsTheList()
    {
        WritePeople();
        TFKPrehled* o = Open();
        ChooserStandIn* chooser = nullptr;
        Dialogs::queueModal([&](QDialog* d) {
            chooser = dynamic_cast<ChooserStandIn*>(d);
            IniWriteString(m_program->hub().PlacementFile(), chooser->Section, "ListSeznam", "2;43");
            return int(mrOk);
        });
        o->MPolozky->trigger();
        QVERIFY(chooser);
        QCOMPARE(chooser->List, o->List);
        QCOMPARE(chooser->Section, QStringLiteral("FKPrehled"));
        QCOMPARE(Headers(o), QStringList({ "jméno", "číslo" }));
        QCOMPARE(o->List->topLevelItemCount(), 6);
    }

    void theCsvWizards()
    {
        WritePeople();
        TFKPrehled* o = Open();
        o->BImportCSVClick();
        QWidget* import = FindForm("FKImportCSV");
        QVERIFY(import && import->isVisible());
        o->BImportCSVClick();
        int imports = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            imports += w->isVisible() && w->objectName() == QLatin1String("FKImportCSV");
        QCOMPARE(imports, 1);

        int range = -1;
        const auto exportRun = [&](QDialog* d) {
            range = dynamic_cast<ExportStandIn*>(d)->Range;
            d->show(); // as its modal run shows and closes it
            d->close();
            return int(mrOk);
        };
        Dialogs::queueModal(exportRun);
        Select(o, { "Hrubý" });
        o->BExportCSVClick();
        QCOMPARE(range, 1);
        Dialogs::queueModal(exportRun);
        Select(o, { "Hrubý", "Novák" });
        o->BExportCSVClick();
        QCOMPARE(range, 2);
    }

    void countAndToolbar()
    {
        WritePeople();
        TFKPrehled* o = Open();
        o->MIPocet->trigger();
        QCOMPARE(Dialogs::shown().last().text, QStringLiteral("Počet kontaktů: 7"));
        o->MZPanelClick();
        QVERIFY(o->PIkon->isHidden());
        o->close();
        QCOMPARE(IniReadBool(Ini(), "FKPrehled", "panel", true), false);
        QVERIFY(Open()->PIkon->isHidden());
    }

    void mergedItems_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("merged");
        QTest::newRow("first spelling, Czech case")
            << QStringList { "Čech;praha", "ČECH", "Praha;x" } << "Čech;praha;x";
        QTest::newRow("empty items") << QStringList { ";a;;b;", "", ";" } << "a;b";
        QTest::newRow("in order met") << QStringList { "b", "a;B" } << "b;a";
    }

    void mergedItems()
    {
        QFETCH(QStringList, texts);
        QFETCH(QString, merged);
        QCOMPARE(TFKPrehled::MergedItems(texts), merged);
    }

    // Thousands of addresses are shown whole, never cut at an edit's usual
    // 32,767 characters.
    void aLongMergeIsShownWhole()
    {
        QByteArray bytes;
        qsizetype length = -1;
        for (int i = 1; i <= 2000; ++i) {
            ContactRecord r;
            r.cislo = i;
            r.unikat = 45000 + i;
            r.email1 = QStringLiteral("adresa.kontaktu.%1@example.cz").arg(i);
            length += r.email1.size() + 1;
            bytes += ContactBytes(r);
        }
        writeFileBytes(DataPath(), bytes);
        TFKPrehled* o = Open();
        setTag(o->CBSluc1, 9);
        o->List->selectAll();
        o->AktualSluc(1);
        QCOMPARE(o->AMESluc1->text().size(), length);
        QCOMPARE(o->AMESluc1->text().count(u'@'), 2000);
    }

    // Records no program wrote: bytes at random, all ones, a record whose
    // number is another's, a partial record at the end. Every whole record
    // that reads as not deleted is listed; none of them is ever taken for
    // another contact.
    void damagedRecordsNeverStopTheList()
    {
        WritePeople();
        QByteArray bytes = readFileBytes(DataPath());
        QRandomGenerator random(20240305);
        for (int i = 0; i < 4; ++i) {
            QByteArray record(ContactRecord::Size, '\0');
            for (char& c : record)
                c = char(random.bounded(256));
            record[3430] = 0; // listed
            bytes += record;
        }
        bytes += QByteArray(ContactRecord::Size, char(0xFF));
        QByteArray other = bytes.mid(0, ContactRecord::Size); // Novák's number, 1
        bytes += other;
        bytes += QByteArray(100, 'x');
        writeFileBytes(DataPath(), bytes);
        IniWriteString(Ini(), "FKPrehled", "ListSeznam", "2;3;45;46;5;40;34;35;32;43");

        int listed = 0;
        ForEachContact(DataPath(), [&](int, const ContactRecord& r) { listed += !r.vymazano; });
        TFKPrehled* o = Open();
        QVERIFY(o);
        QCOMPARE(o->List->topLevelItemCount(), listed);
        QCOMPARE(listed, 6 + 4 + 1 + 1); // a flag byte of 0xFF is no "deleted"
        QVERIFY(Dialogs::shown().isEmpty());
        for (int column = 0; column < o->List->columnCount(); ++column)
            o->List->header()->sectionClicked(column);

        // The copy of Novák's record shows number 1 at position 13, and his
        // stamp: deleting every row finds each contact by number and stamp
        // and marks Novák himself, never the copy; a record without a number
        // (the 0xFF one at 12) is not touched.
        o->CBSluc1->setEditText(QStringLiteral("unikat"));
        setTag(o->CBSluc1, 45);
        o->List->selectAll();
        o->AktualSluc(1);
        const QByteArray before = readFileBytes(DataPath());
        Dialogs::queueAnswer(mrYes);
        o->BOdstranClick();
        const QByteArray after = readFileBytes(DataPath());
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.mid(11 * ContactRecord::Size), before.mid(11 * ContactRecord::Size));
        for (int number = 1; number <= 7; ++number)
            QVERIFY(Stored(DataPath(), number).vymazano);
        QVERIFY(Dialogs::shown().size() == 1);
    }

    // Another program removes contacts after the list was filled (ruvo's
    // import renumbers the rest): every action finds its contacts by stamp
    // where they stand now, and one that is gone is reported, not replaced
    // by whichever contact took its number.
    void staleRowsActOnTheirOwnContacts()
    {
        WritePeople();
        TFKPrehled* o = Open();
        QVERIFY(o);
        Select(o, { QStringLiteral("Dvořák"), QStringLiteral("Hrubý") });
        DeleteContact(1, DataPath()); // Novák: Dvořák is 1 now, Hrubý 4
        Dialogs::queueAnswer(mrYes);
        o->BOdstranClick();
        QStringList deleted;
        ForEachContact(DataPath(), [&](int, const ContactRecord& r) {
            if (r.vymazano)
                deleted << r.prijmeni;
        });
        QCOMPARE(deleted, QStringList({ "Dvořák", "Hrubý", "Cibulka" }));

        Select(o, { QStringLiteral("Chmelová"), QStringLiteral("Šťastná") });
        DeleteContact(3, DataPath()); // Chmelová
        const QByteArray before = readFileBytes(DataPath());
        o->BEmailClick();
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(m_opened.first().path(), QStringLiteral("vera@stastna.cz"));
        QVERIFY(Dialogs::shown().last().text.startsWith(QStringLiteral("Kontakt již v databázi není")));
        o->BEditClick();
        auto* edit = dynamic_cast<EditStandIn*>(FindForm(QStringLiteral("FKEdit")));
        QVERIFY(edit);
        QCOMPARE(edit->Number, 5); // Šťastná, 6 when listed
        // The report reloaded the list: the rows are current again.
        QCOMPARE(Surnames(o), QStringList({ "Čermáková", "Šťastná" }));
        Select(o, { QStringLiteral("Šťastná") });
        DeleteContact(2, DataPath()); // Čermáková: Šťastná moves once more
        Dialogs::queueAnswer(mrYes);
        o->BOdstranClick();
        QCOMPARE(Stored(DataPath(), 4).prijmeni, QStringLiteral("Šťastná"));
        QVERIFY(Stored(DataPath(), 4).vymazano);
        QCOMPARE(ContactCount(DataPath()), 4);
        QCOMPARE(readFileBytes(DataPath()).size(), before.size() - ContactRecord::Size);
    }

    // Keys and clicks the user gives while a group box's exit still fills
    // the boxes and the list of a large file: the window goes once the
    // handler has ended, and the click that moved the focus is whole.
    void inputWhileAGroupBoxIsLeft()
    {
        WritePeople();
        QByteArray crowd = readFileBytes(DataPath());
        for (int i = 1; i <= 10000; ++i) {
            ContactRecord r;
            r.cislo = 7 + i;
            r.skupina1 = i % 2 ? QStringLiteral("hosté") : QStringLiteral("rodina");
            crowd += ContactBytes(r);
        }
        writeFileBytes(DataPath(), crowd);
        const std::pair<const char*, QString> boxes[] = { { "CBSkupina3", {} }, { "CBSkupina1", "rodina" } };
        for (const auto& [box, group] : boxes)
            for (bool click : { false, true }) {
                TFKPrehled* o = Open();
                QVERIFY(QTest::qWaitForWindowActive(o));
                o->findChild<QComboBox*>(box)->setFocus();
                o->findChild<QComboBox*>(box)->setEditText(group);
                const QPointer<TFKPrehled> window(o);
                atNextEvents(o, [o, click] { click ? mouseButton(o->BCancel, false) : pressKey(o, Qt::Key_Escape); });
                click ? mouseButton(o->BCancel, true) : pressKey(o, Qt::Key_Tab);
                QTRY_VERIFY(!window);
                QCOMPARE(IniReadInteger(Ini(), "FKPrehled", "ser_vych_col", -1), 1);
            }
    }

    // A group box left while another one's filling lets events in: the
    // older filling stops, the boxes show what the last choice gives.
    void aGroupChoiceDuringAnotherOnesFillingWins()
    {
        WritePeople();
        TFKPrehled* o = Open();
        o->CBSkupina1->setEditText(QStringLiteral("práce"));
        QTimer::singleShot(0, o, [o] {
            o->CBSkupina1->setEditText(QStringLiteral("Praha"));
            o->CBSkupinaExit(o->CBSkupina1);
        });
        o->CBSkupinaExit(o->CBSkupina1);
        QCOMPARE(o->CBSkupina2->count(), 0); // no level-2 group goes with Praha
        QCOMPARE(Surnames(o), QStringList({ "Hrubý", "Novák" }));
    }

    void aReloadStartedDuringOneListsEachContactOnce()
    {
        for (int i = 1; i <= 300; ++i) {
            ContactRecord r;
            r.jmeno = i % 3 == 0 ? QStringLiteral("Jan") : QStringLiteral("Petr");
            r.prijmeni = QStringLiteral("Kontakt %1").arg(i);
            AppendContact(DataPath(), r);
        }
        TFKPrehled* o = Open();
        QCOMPARE(o->List->topLevelItemCount(), 300);
        // Keys typed while the list fills, each arriving during the run
        // before it.
        int fired = 0;
        for (const char* text : { "J", "Ja", "Jan" })
            QTimer::singleShot(0, o, [o, text, &fired] {
                ++fired;
                o->EJmeno->setText(QString::fromLatin1(text));
            });
        o->Aktualizuj();
        QCOMPARE(fired, 3);
        QCOMPARE(o->List->topLevelItemCount(), 100);
        QSet<QString> numbers;
        for (const QString& n : Column(o, "číslo"))
            numbers.insert(n);
        QCOMPARE(numbers.size(), 100);

        // A window closed while its list fills stops filling.
        const QPointer<TFKPrehled> window(o);
        QTimer::singleShot(0, o, [o] { o->close(); });
        o->EJmeno->clear();
        QVERIFY(!window || window->List->topLevelItemCount() < 300);
    }
};

QTEST_MAIN(TestKPrehled)
#include "tst_kprehled.moc"
