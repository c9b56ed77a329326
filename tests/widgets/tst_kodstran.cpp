// The deleted contacts and the column chooser, opened from the real overview
// on a real contact file: restoring, removing for good (also after another
// program renumbered the file), what each window reports to the overview,
// and the layouts the chooser stores.
#include "contacts/dorv_newk.h"
#include "contacts/dorv_odstran.h"
#include "contacts/dorv_prehlsloup.h"
#include "contacts/dorv_zaklad.h"

#include "components/kitctrls.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/inifile.h"
#include "shared/commands.h"
#include "shared/contactfile.h"

#include "contactsprogram.h"

#include <QAction>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <QtEndian>

#include <functional>

namespace {

const QDateTime T0(QDate(2024, 10, 27), QTime(2, 15, 0));

QStringList Texts(const QTreeWidget* list, int column)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

void SelectRows(QTreeWidget* list, int column, const QStringList& texts)
{
    list->clearSelection();
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (texts.contains(list->topLevelItem(i)->text(column)))
            list->topLevelItem(i)->setSelected(true);
}

} // namespace

class TestKOdstran : public QObject {
    Q_OBJECT

    std::unique_ptr<ContactsProgram> m_program;

    // Six contacts "A".."F"; B, C, E and F are deleted.
    void WriteContacts()
    {
        for (int i = 0; i < 6; ++i) {
            ContactRecord r;
            r.prijmeni = QString(QChar(u'A' + i));
            r.vymazano = QStringLiteral("BCEF").contains(r.prijmeni);
            r.unikat = 45000 + i;
            m_program->add(r);
        }
    }

    QStringList Surnames() const
    {
        QStringList s;
        for (const ContactRecord& r : m_program->all())
            s << r.prijmeni + (r.vymazano ? QStringLiteral("-") : QString()) + QString::number(r.cislo);
        return s;
    }

    TFKPrehled* Overview()
    {
        m_program->hub().HandleContactCommand(dcOverview, 0);
        return dynamic_cast<TFKPrehled*>(m_program->window(QStringLiteral("FKPrehled")));
    }

    // Opens the deleted contacts from the overview; act plays the user.
    int RunDeleted(TFKPrehled* o, const std::function<void(TFKOdstran*)>& act)
    {
        int result = -1;
        Dialogs::queueModal([&](QDialog* d) {
            // Keys the user presses may free the window once it is closed.
            const QPointer<QDialog> window(d);
            QObject::connect(d, &QDialog::finished, [&result](int r) { result = r; });
            d->show();
            act(dynamic_cast<TFKOdstran*>(d));
            if (window && window->isVisible())
                window->close();
            return result;
        });
        o->BFormOdstranClick();
        return result;
    }

    // The user's work in the chooser, ending with OK.
    static void ChooseColumns(TFKPrehlSloup* c)
    {
        QVERIFY(c);
        QCOMPARE(c->windowTitle(), QStringLiteral("Sloupce - nastavení"));
        QCOMPARE(c->LVyber->topLevelItemCount(), 34);
        QCOMPARE(c->Layout(), QStringLiteral("2;3;27;31;32;33;6;7;8;43"));
        // "číslo" stays, with a message.
        SelectRows(c->LPouz, 1, { "43", "27" });
        c->SBOdeberClick();
        QCOMPARE(Dialogs::shown().last().text, QStringLiteral("Položku číslo nelze odstranit."));
        QCOMPARE(c->Layout(), QStringLiteral("2;3;31;32;33;6;7;8;43"));
        // Up on the first and down on the last row change nothing.
        SelectRows(c->LPouz, 1, { "2" });
        c->SBNahoru->Click();
        SelectRows(c->LPouz, 1, { "43" });
        c->SBDolu->Click();
        QCOMPARE(c->Layout(), QStringLiteral("2;3;31;32;33;6;7;8;43"));
        SelectRows(c->LPouz, 1, { "3" });
        c->SBDolu->Click();
        c->SBDolu->Click();
        SelectRows(c->LPouz, 1, { "8" });
        c->SBNahoru->Click();
        QCOMPARE(c->Layout(), QStringLiteral("2;31;32;3;33;6;8;7;43"));
        // A field added twice is two columns.
        SelectRows(c->LVyber, 1, { "29" });
        c->SBPridejClick();
        c->SBPridejClick();
        QCOMPARE(c->Layout(), QStringLiteral("2;31;32;3;33;6;8;7;43;29;29"));
        c->BOK->click();
    }

private slots:
    void init() { m_program = std::make_unique<ContactsProgram>(T0); }
    void cleanup() { m_program.reset(); }

    void removesExactlyTheSelectedForGood()
    {
        WriteContacts();
        TFKPrehled* o = Overview();
        QVERIFY(o);
        const int result = RunDeleted(o, [](TFKOdstran* w) {
            QCOMPARE(w->windowTitle(), QStringLiteral("Odstranění a obnovení smazaného kontaktu"));
            QVERIFY(w->PHled->isHidden());
            QVERIFY(!w->MKNew->isVisible() && !w->MKNew->isEnabled());
            QCOMPARE(Texts(w->List, 2), QStringList({ "B", "C", "E", "F" }));
            QVERIFY(!w->BDefOdstran->isEnabled());
            w->ListColumnClick(2); // descending: the order of the rows is no help
            SelectRows(w->List, 2, { "F", "B", "E" });
            QVERIFY(w->BDefOdstran->isEnabled() && w->MKObnov->isEnabled());
            QCOMPARE(w->BDefOdstran->Caption(), QStringLiteral("o&dstraň"));
            QVERIFY(QTest::qWaitForWindowActive(w));
            pressKey(w, Qt::Key_D, Qt::AltModifier);
            QVERIFY(w->isVisible());
            QCOMPARE(Texts(w->List, 2), QStringList({ "C" }));
        });
        QCOMPARE(result, int(mrOk));
        QCOMPARE(Surnames(), QStringList({ "A1", "C-2", "D3" }));
        QCOMPARE(readFileBytes(m_program->dataPath()).size(), 3 * ContactRecord::Size);
    }

    // Per record: l live, d deleted, D deleted and removed for good. The
    // file afterwards holds the other records in order, each numbered by its
    // position, as removing them one by one from the top left it.
    void removingForGoodGivesTheKeptRecordsInOrder_data()
    {
        QTest::addColumn<QString>("marks");
        QTest::addColumn<bool>("byPosition");
        QTest::newRow("first and last") << "DlldlD" << true;
        QTest::newRow("a run") << "lDDDdl" << true;
        QTest::newRow("all") << "DDDD" << true;
        QTest::newRow("numbers not by position") << "dDlDl" << false;
    }

    void removingForGoodGivesTheKeptRecordsInOrder()
    {
        QFETCH(QString, marks);
        QFETCH(bool, byPosition);
        const QString path = m_program->dataPath();
        QStringList chosen;
        for (int i = 0; i < marks.size(); ++i) {
            ContactRecord r;
            r.prijmeni = QString(QChar(u'A' + i));
            r.vymazano = marks[i] != u'l';
            r.unikat = 45000 + i;
            r.cislo = byPosition ? i + 1 : 50 - i;
            WriteContact(i + 1, path, r);
            if (marks[i] == u'D')
                chosen << r.prijmeni;
        }
        const QByteArray before = readFileBytes(path);
        QByteArray expected;
        for (int i = 0; i < marks.size(); ++i)
            if (marks[i] != u'D') {
                QByteArray record = before.mid(i * ContactRecord::Size, ContactRecord::Size);
                qToLittleEndian<qint32>(qint32(expected.size() / ContactRecord::Size + 1), record.data() + 4);
                expected += record;
            }
        if (byPosition) {
            const QString copy = m_program->folder() + QStringLiteral("/copy.db1");
            writeFileBytes(copy, before);
            for (int i = int(marks.size()); i >= 1; --i)
                if (marks[i - 1] == u'D')
                    DeleteContact(i, copy);
            QCOMPARE(readFileBytes(copy), expected);
        }
        RunDeleted(Overview(), [&](TFKOdstran* w) {
            SelectRows(w->List, 2, chosen);
            w->BDefOdstranClick();
        });
        QCOMPARE(readFileBytes(path), expected);
        QVERIFY(Dialogs::shown().isEmpty());
    }

    void restoringThroughTheMenuKeepsTheWindowOpen()
    {
        WriteContacts();
        TFKPrehled* o = Overview();
        QVERIFY(o);
        QCOMPARE(o->List->topLevelItemCount(), 2);
        const int result = RunDeleted(o, [](TFKOdstran* w) {
            SelectRows(w->List, 2, { "C" });
            w->MKObnov->trigger();
            QVERIFY(w->isVisible());
            SelectRows(w->List, 2, { "E" });
            QCOMPARE(w->BObnov->Caption(), QStringLiteral("  o&bnov"));
            QVERIFY(QTest::qWaitForWindowActive(w));
            pressKey(w, Qt::Key_B, Qt::AltModifier); // the button closes the window as well
            QVERIFY(!w->isVisible());
        });
        QCOMPARE(result, int(mrOk));
        QCOMPARE(Surnames(), QStringList({ "A1", "B-2", "C3", "D4", "E5", "F-6" }));
        QCOMPARE(m_program->stored(3).zmena, Now());
        QCOMPARE(o->List->topLevelItemCount(), 4); // rebuilt and reloaded
    }

    void closingWithoutActionChangesNothing()
    {
        WriteContacts();
        TFKPrehled* o = Overview();
        QVERIFY(o);
        const QByteArray before = readFileBytes(m_program->dataPath());
        QTreeWidgetItem* first = o->List->topLevelItem(0);
        const int result = RunDeleted(o, [](TFKOdstran*) {});
        QCOMPARE(result, int(mrCancel));
        QCOMPARE(readFileBytes(m_program->dataPath()), before);
        QCOMPARE(o->List->topLevelItem(0), first); // not rebuilt
    }

    // Another program removes and so renumbers contacts while the window is
    // open: the contacts chosen are found by stamp; one that is gone is
    // reported and nothing else is touched in its place.
    void actsOnTheListedContactsAfterARenumbering()
    {
        WriteContacts();
        TFKPrehled* o = Overview();
        QVERIFY(o);
        RunDeleted(o, [this](TFKOdstran* w) {
            SelectRows(w->List, 2, { "C", "E", "F" });
            DeleteContact(1, m_program->dataPath()); // A: all move down by one
            DeleteContact(4, m_program->dataPath()); // E
            w->BDefOdstranClick();
            QVERIFY(Dialogs::shown().last().text.startsWith(QStringLiteral("Kontakt již v databázi není")));
            QCOMPARE(Texts(w->List, 2), QStringList({ "B" }));
        });
        QCOMPARE(Surnames(), QStringList({ "B-1", "D2" }));
    }

    // A copy of a deleted contact opens over the window, where the user
    // can save it at once.
    void aCopyIsSavedWhileTheWindowIsOpen()
    {
        WriteContacts();
        TFKPrehled* o = Overview();
        RunDeleted(o, [](TFKOdstran* w) {
            SelectRows(w->List, 2, { "E" });
            Dialogs::queueModal([](QDialog* d) {
                d->show();
                dynamic_cast<TFKNew*>(d)->BOK->click();
                return d->result();
            });
            w->MKNewKopie->trigger();
        });
        QCOMPARE(Dialogs::shownModals(), QStringList({ "FKOdstran", "FKNew" }));
        QCOMPARE(ContactCount(m_program->dataPath()), 7);
        QVERIFY(!m_program->stored(7).vymazano);
    }

    void refusedWithoutDeletedContactsOrWhileEditing()
    {
        ContactRecord r;
        r.prijmeni = QStringLiteral("A");
        m_program->add(r);
        TFKPrehled* o = Overview();
        QVERIFY(o);
        o->BFormOdstranClick();
        QCOMPARE(Dialogs::shown().last().text, QStringLiteral("Žádné kontakty nejsou vymazány."));
        r.vymazano = true;
        m_program->add(r);
        m_program->hub().EditFormOpened();
        o->BFormOdstranClick();
        QCOMPARE(Dialogs::shown().last().text, QStringLiteral("Některé kontakty jsou editovány - nelze spustit."));
        QVERIFY(Dialogs::shownModals().isEmpty());
        m_program->hub().EditFormClosed();
    }

    void theChooserEditsTheShownColumns()
    {
        WriteContacts();
        TFKPrehled* o = Overview();
        QVERIFY(o);
        Dialogs::queueModal([](QDialog* d) {
            d->show();
            ChooseColumns(dynamic_cast<TFKPrehlSloup*>(d));
            return d->result();
        });
        o->MPolozky->trigger();
        QCOMPARE(IniFile(m_program->placementIni()).readString("FKPrehled", "ListSeznam", ""),
            QStringLiteral("2;31;32;3;33;6;8;7;43;29;29"));
        QCOMPARE(o->List->columnCount(), 11);
        QCOMPARE(o->List->headerItem()->text(3), QStringLiteral("příjmení"));

        // Cancel stores nothing; an empty list stores an empty layout and the
        // list then shows the number column alone.
        Dialogs::queueModal([](QDialog* d) {
            dynamic_cast<TFKPrehlSloup*>(d)->LPouz->clear();
            return int(mrCancel);
        });
        o->MPolozky->trigger();
        QCOMPARE(o->List->columnCount(), 11);
        Dialogs::queueModal([](QDialog* d) {
            auto* c = dynamic_cast<TFKPrehlSloup*>(d);
            d->show();
            c->LPouz->clear();
            c->BOK->click();
            return d->result();
        });
        o->MPolozky->trigger();
        QCOMPARE(IniFile(m_program->placementIni()).readString("FKPrehled", "ListSeznam", "x"), QString());
        QCOMPARE(o->List->columnCount(), 1);
        QCOMPARE(o->List->headerItem()->text(0), QStringLiteral("číslo"));
        QCOMPARE(Texts(o->List, 0), QStringList({ "1", "4" }));
    }
};

QTEST_MAIN(TestKOdstran)
#include "tst_kodstran.moc"
