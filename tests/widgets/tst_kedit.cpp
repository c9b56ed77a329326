// The contact edit form on a real contact file: the merge rules of the form
// of several contacts, saving one or several, and saving after another
// program renumbered or emptied the file underneath.
#include "contacts/dorv_edit.h"
#include "contacts/dorv_okna.h"
#include "contacts/dorv_zaklad.h"

#include "components/amedit.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "shared/contactfile.h"

#include "contactsprogram.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

namespace {

const QDateTime T0(QDate(2024, 2, 29), QTime(23, 59, 0));

ContactRecord Person(const QString& jmeno, const QString& prijmeni, const QString& skupina1, bool prenos, double unikat)
{
    ContactRecord r;
    r.jmeno = jmeno;
    r.prijmeni = prijmeni;
    r.skupina1 = skupina1;
    r.firma = QStringLiteral("Firma");
    r.tel1 = QStringLiteral("123456789");
    r.popis1 = QStringLiteral("stejný popis");
    r.prenos = prenos;
    r.unikat = unikat;
    r.zmena = unikat;
    return r;
}

} // namespace

class TestKEdit : public QObject {
    Q_OBJECT

    std::unique_ptr<ContactsProgram> m_program;

    TFKEdit* Open(const QString& numbers)
    {
        auto* f = dynamic_cast<TFKEdit*>(ContactForms().Create(QStringLiteral("FKEdit")));
        if (!f)
            return nullptr;
        if (numbers.contains(u';'))
            f->SetMultiEdit(numbers);
        else
            f->SetRecordNumber(numbers.toInt());
        f->show();
        return dynamic_cast<TFKEdit*>(m_program->window(QStringLiteral("FKEdit")));
    }

private slots:
    void init() { m_program = std::make_unique<ContactsProgram>(T0); }
    void cleanup() { m_program.reset(); }

    void mergeShown_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("result");
        QTest::newRow("same text") << "text"
                                   << "Jan"
                                   << "Jan"
                                   << "Jan";
        QTest::newRow("same but for Czech case") << "text"
                                                 << "Čermák"
                                                 << "ČERMÁK"
                                                 << "Čermák";
        QTest::newRow("differs") << "text"
                                 << "Jan"
                                 << "Petr"
                                 << "*";
        QTest::newRow("one empty") << "text"
                                   << ""
                                   << "Petr"
                                   << "*";
        QTest::newRow("star stays") << "text"
                                    << "*"
                                    << "*"
                                    << "*";
        QTest::newRow("both empty") << "text"
                                    << ""
                                    << ""
                                    << "";
        QTest::newRow("groups both empty") << "groups"
                                           << ""
                                           << ""
                                           << "";
        QTest::newRow("groups same") << "groups"
                                     << "A;B"
                                     << "b;a"
                                     << "B;A";
        QTest::newRow("groups in the value's order") << "groups"
                                                     << "A;B;C"
                                                     << "C;A"
                                                     << "*C;A";
        QTest::newRow("groups one more") << "groups"
                                         << "A;B"
                                         << "A"
                                         << "*A";
        QTest::newRow("groups star kept") << "groups"
                                          << "*A"
                                          << "A"
                                          << "*A";
        QTest::newRow("groups none common") << "groups"
                                            << "A"
                                            << "B"
                                            << "*";
        QTest::newRow("groups one empty") << "groups"
                                          << ""
                                          << "B"
                                          << "*";
        QTest::newRow("groups star alone") << "groups"
                                           << "*"
                                           << "A"
                                           << "*";
    }

    void mergeShown()
    {
        QFETCH(QString, rule);
        QFETCH(QString, shown);
        QFETCH(QString, value);
        QFETCH(QString, result);
        QCOMPARE(rule == "text" ? MergeShownText(shown, value) : MergeShownGroups(shown, value), result);
    }

    void mergeSaved_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("snapshot");
        QTest::addColumn<QString>("result");
        QTest::newRow("unchanged star") << "text"
                                        << "Jan"
                                        << "*"
                                        << "*"
                                        << "Jan";
        QTest::newRow("unchanged case") << "text"
                                        << "Jan"
                                        << "JAN"
                                        << "Jan"
                                        << "Jan";
        QTest::newRow("appended") << "text"
                                  << "Dvořák"
                                  << "*ová"
                                  << "*"
                                  << "Dvořáková";
        QTest::newRow("set for all") << "text"
                                     << "Jan"
                                     << "Petr"
                                     << "*"
                                     << "Petr";
        QTest::newRow("star on an empty snapshot") << "text"
                                                   << "Jan"
                                                   << "*x"
                                                   << ""
                                                   << "x";
        QTest::newRow("groups unchanged") << "groups"
                                          << "A;B"
                                          << "*A"
                                          << "*A"
                                          << "A;B";
        QTest::newRow("groups removed") << "groups"
                                        << "A;B"
                                        << "*"
                                        << "*A"
                                        << "B";
        QTest::newRow("groups removed, Czech case") << "groups"
                                                    << "práce;B"
                                                    << "*"
                                                    << "*PRÁCE"
                                                    << "B";
        QTest::newRow("groups added") << "groups"
                                      << "A;B"
                                      << "*A;C"
                                      << "*A"
                                      << "A;B;C";
        QTest::newRow("groups added once") << "groups"
                                           << "c"
                                           << "*A;C"
                                           << "*A"
                                           << "c;A";
        QTest::newRow("groups replaced") << "groups"
                                         << "A;B"
                                         << "C"
                                         << "*A"
                                         << "C";
        QTest::newRow("groups from nothing") << "groups"
                                             << ""
                                             << "*D"
                                             << ""
                                             << "D";
    }

    void mergeSaved()
    {
        QFETCH(QString, rule);
        QFETCH(QString, stored);
        QFETCH(QString, form);
        QFETCH(QString, snapshot);
        QFETCH(QString, result);
        QCOMPARE(
            rule == "text" ? MergeSavedText(stored, form, snapshot) : MergeSavedGroups(stored, form, snapshot), result);
        QCOMPARE(MergeShownFlag(Qt::Checked, true), Qt::Checked);
        QCOMPARE(MergeShownFlag(Qt::Unchecked, true), Qt::PartiallyChecked);
        QCOMPARE(MergeShownFlag(Qt::PartiallyChecked, false), Qt::PartiallyChecked);
    }

    void editsOneContactInItsPlace()
    {
        m_program->add(Person("Jan", "Novák", "A", true, 45000.25));
        m_program->add(Person("Petr", "Dvořák", "A", false, 45000.5));
        const ContactRecord other = m_program->stored(1);
        TFKEdit* f = Open("2");
        QVERIFY(f);
        QCOMPARE(f->windowTitle(), QStringLiteral("Editace kontaktu"));
        QCOMPARE(m_program->hub().OpenEditFormCount(), 1);
        QCOMPARE(f->AMETel1->text(), QStringLiteral("123 456 789"));
        f->AMEJmeno->setText(QStringLiteral("Pavel"));
        f->AMETel2->setText(QStringLiteral("+420 555 666"));
        f->BOK->click();
        QCOMPARE(m_program->hub().OpenEditFormCount(), 0);

        ContactRecord expected = Person("Pavel", "Dvořák", "A", false, 45000.5);
        expected.cislo = 2;
        expected.tel2 = QStringLiteral("+420555666");
        expected.zmena = Now();
        QCOMPARE(m_program->stored(2), expected);
        QCOMPARE(m_program->stored(1), other);
    }

    // Another program removes contacts while the form is open: the edited
    // contact is written where it stands now, or, when it is gone, nothing
    // is written and the user is told.
    void savesWhereTheContactStandsNow()
    {
        for (int i = 1; i <= 3; ++i)
            m_program->add(Person(QString::number(i), "X", "", true, 45000 + i));
        TFKEdit* f = Open("3");
        QVERIFY(f);
        DeleteContact(1, m_program->dataPath());
        f->AMEJmeno->setText(QStringLiteral("třetí"));
        f->BOK->click();
        QCOMPARE(ContactCount(m_program->dataPath()), 2);
        QCOMPARE(m_program->stored(1).jmeno, QStringLiteral("2"));
        QCOMPARE(m_program->stored(2).jmeno, QStringLiteral("třetí"));
        QCOMPARE(m_program->stored(2).unikat, 45003.0);
        QCOMPARE(m_program->stored(2).cislo, 2);

        f = Open("2");
        QVERIFY(f);
        DeleteContact(2, m_program->dataPath());
        const QByteArray before = readFileBytes(m_program->dataPath());
        f->AMEJmeno->setText(QStringLiteral("nikdo"));
        f->BOK->click();
        QCOMPARE(readFileBytes(m_program->dataPath()), before);
        QVERIFY(Dialogs::shown().last().text.startsWith(QStringLiteral("Kontakt již v databázi není")));
        QVERIFY(FindForm(QStringLiteral("FKEdit")) == f); // what was typed is still there
    }

    void editsSeveralContactsAtOnce()
    {
        m_program->add(Person("Jan", "Novák", "A;B", true, 45000.25));
        m_program->add(Person("Petr", "Dvořák", "a", false, 45000.5));
        m_program->add(Person("Iva", "Malá", "C", true, 45000.75));
        TFKEdit* f = Open("1;2");
        QVERIFY(f);
        QCOMPARE(f->AMEJmeno->text(), QStringLiteral("*"));
        QCOMPARE(f->AMESkupina1->text(), QStringLiteral("*A"));
        QCOMPARE(f->CBFirma->currentText(), QStringLiteral("Firma"));
        QCOMPARE(f->AMETel1->text(), QStringLiteral("123456789"));
        QCOMPARE(f->MPopis->toPlainText(), QStringLiteral("stejný popis"));
        QCOMPARE(f->CBPohlavi->currentText(), QStringLiteral("muž"));
        QCOMPARE(f->ChBPrenos->checkState(), Qt::PartiallyChecked);

        f->AMEPrijmeni->setText(QStringLiteral("*ová"));
        f->AMESkupina1->setText(QStringLiteral("*;nová"));
        f->CBFirma->setEditText(QStringLiteral("Nová firma"));
        f->MPopis->setPlainText(QStringLiteral("* a dodatek"));
        f->BOK->click();
        QVERIFY(!FindForm(QStringLiteral("FKEdit")));

        const ContactRecord a = m_program->stored(1);
        const ContactRecord b = m_program->stored(2);
        QCOMPARE(a.jmeno, QStringLiteral("Jan"));
        QCOMPARE(b.jmeno, QStringLiteral("Petr"));
        QCOMPARE(a.prijmeni, QStringLiteral("Nováková"));
        QCOMPARE(b.prijmeni, QStringLiteral("Dvořáková"));
        QCOMPARE(a.skupina1, QStringLiteral("B;nová"));
        QCOMPARE(b.skupina1, QStringLiteral("nová"));
        QCOMPARE(a.firma, QStringLiteral("Nová firma"));
        QCOMPARE(b.firma, QStringLiteral("Nová firma"));
        QCOMPARE(a.popis1, QStringLiteral("stejný popis a dodatek"));
        QVERIFY(a.prenos && !b.prenos);
        QCOMPARE(a.unikat, 45000.25);
        QCOMPARE(b.unikat, 45000.5);
        QCOMPARE(a.zmena, Now());
        QCOMPARE(m_program->stored(3), [] {
            ContactRecord c = Person("Iva", "Malá", "C", true, 45000.75);
            c.cislo = 3;
            return c;
        }());
    }

    // Contacts "1".."4", all "X"; the edit appends "ová" to the shown ones'
    // surnames. Each number names its own contact, found where it stands at
    // the save, and each is written once from its own stored record.
    void severalNumbersEachNameTheirContact_data()
    {
        QTest::addColumn<QString>("numbers");
        QTest::addColumn<int>("removed"); // by another program meanwhile, 0 none
        QTest::addColumn<QString>("surnames");
        QTest::newRow("renumbered meanwhile") << "2;4" << 1 << "Xová X Xová";
        QTest::newRow("a number past the end") << "2;9" << 0 << "X Xová X X";
        QTest::newRow("a number twice") << "3;3" << 0 << "X X Xová X";
    }

    void severalNumbersEachNameTheirContact()
    {
        QFETCH(QString, numbers);
        QFETCH(int, removed);
        QFETCH(QString, surnames);
        for (int i = 1; i <= 4; ++i)
            m_program->add(Person(QString::number(i), "X", "", true, 45000 + i));
        TFKEdit* f = Open(numbers);
        QVERIFY(f);
        if (removed != 0)
            DeleteContact(removed, m_program->dataPath());
        f->AMEPrijmeni->setText(QStringLiteral("*ová"));
        f->BOK->click();
        QStringList stored;
        for (const ContactRecord& r : m_program->all())
            stored << r.prijmeni;
        QCOMPARE(stored.join(u' '), surnames);
        QVERIFY(Dialogs::shown().isEmpty());
    }

    // OK clicked while the form still fills its value lists saves the
    // contact as shown, never a blank one in its place.
    void okWhileTheFormFillsSavesTheContact()
    {
        m_program->add(Person("Jan", "Novák", "A", true, 45000.25));
        auto* f = dynamic_cast<TFKEdit*>(ContactForms().Create(QStringLiteral("FKEdit")));
        f->SetRecordNumber(1);
        const QPointer<TFKEdit> form(f);
        atNextEvents(f, [f] { f->BOK->click(); });
        f->show();
        QTRY_VERIFY(!form);
        QCOMPARE(m_program->stored(1).prijmeni, QStringLiteral("Novák"));
        QCOMPARE(m_program->stored(1).unikat, 45000.25);
    }

    void severalWithOneGoneWritesTheRest()
    {
        for (int i = 1; i <= 3; ++i)
            m_program->add(Person(QString::number(i), "X", "", true, 45000 + i));
        TFKEdit* f = Open("1;3");
        QVERIFY(f);
        DeleteContact(1, m_program->dataPath());
        f->AMEPrijmeni->setText(QStringLiteral("Y"));
        f->BOK->click();
        QVERIFY(Dialogs::shown().last().text.startsWith(QStringLiteral("Kontakt již v databázi není")));
        QCOMPARE(ContactCount(m_program->dataPath()), 2);
        QCOMPARE(m_program->stored(1).prijmeni, QStringLiteral("X"));
        QCOMPARE(m_program->stored(2).prijmeni, QStringLiteral("Y"));
        QCOMPARE(m_program->stored(2).jmeno, QStringLiteral("3"));
    }
};

QTEST_MAIN(TestKEdit)
#include "tst_kedit.moc"
