// The new-contact form on a real contact file: what it stores from what was
// typed or imported, copies, the close question, the group pickers and the
// stamps of quick saves.
#include "contacts/dorv_newk.h"
#include "contacts/dorv_zaklad.h"

#include "components/amedit.h"
#include "components/kitctrls.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/inifile.h"
#include "platform/tag.h"
#include "shared/commands.h"
#include "shared/contactfields.h"
#include "shared/contactfile.h"

#include "contactsprogram.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

namespace {

const QDateTime T0(QDate(2024, 3, 31), QTime(2, 30, 0));

ContactRecord Source()
{
    ContactRecord r;
    r.titul_pred = QStringLiteral("Ing.");
    r.jmeno = QStringLiteral("Eva");
    r.prijmeni = QStringLiteral("Čermáková");
    r.titul_za = QStringLiteral("Ph.D.");
    r.pohlavi = 1;
    r.skupina1 = QStringLiteral("práce;Praha");
    r.skupina3 = QStringLiteral("výbor");
    r.email1 = QStringLiteral("eva@cermak.cz");
    r.tel1 = QStringLiteral("+420123456789");
    r.mobil2 = QStringLiteral("777888999");
    r.adr1_mesto = QStringLiteral("Brno");
    r.firma = QStringLiteral("Čermák a syn");
    r.popis1 = QStringLiteral("první řádek\r\ndruhý");
    r.prenos = false;
    r.tajne = true;
    r.unikat = 45000.5;
    r.zmena = 45001.5;
    return r;
}

bool IsPhone(int code)
{
    return code >= 15 && code <= 20;
}

qint64 Ms(double dt)
{
    return qRound64(dt * 86400000.0);
}

} // namespace

class TestKNew : public QObject {
    Q_OBJECT

    std::unique_ptr<ContactsProgram> m_program;

    TFKNew* Open(int copySource = 0)
    {
        m_program->hub().HandleContactCommand(dcNewContact, copySource);
        return dynamic_cast<TFKNew*>(m_program->window(QStringLiteral("FKNew")));
    }

private slots:
    void init() { m_program = std::make_unique<ContactsProgram>(T0); }
    void cleanup() { m_program.reset(); }

    // Every text field through its control, as the CSV import fills it, and
    // what the record keeps of it: phones as digits, overlong texts cut at
    // the field's capacity in code-page bytes, quotes gone.
    void storesEveryFieldCutToItsCapacity()
    {
        TFKNew* f = Open();
        QVERIFY(f);
        QCOMPARE(f->windowTitle(), QStringLiteral("Nový kontakt"));
        for (const ContactTextField& field : ContactTextFields()) {
            if (field.code > StoredFieldCount)
                continue;
            QCOMPARE(f->FieldControls(field.code).size(), 1);
            if (IsPhone(field.code))
                continue;
            SetFieldByTag(f, field.code, QStringLiteral("\"%1\" ").arg(field.key) + QString(300, u'ř'));
        }
        SetFieldByTag(f, 15, QStringLiteral("+420 123 456 789"));
        SetFieldByTag(f, 34, QStringLiteral("popis \"s\" uvozovkami\nna dva řádky"));
        SetFieldByTag(f, 5, QStringLiteral("ŽENA"));
        QCOMPARE(f->CBPohlavi->currentText(), QStringLiteral("žena"));
        f->BOK->click();
        QVERIFY(!FindForm(QStringLiteral("FKNew")));

        QCOMPARE(ContactCount(m_program->dataPath()), 1);
        const ContactRecord r = m_program->stored(1);
        QCOMPARE(r.cislo, 1);
        QCOMPARE(r.pohlavi, 1);
        QCOMPARE(r.tel1, QStringLiteral("+420123456789"));
        QCOMPARE(r.popis1, QStringLiteral("popis s uvozovkami\r\nna dva řádky"));
        QCOMPARE(Ms(r.unikat), Ms(Now()));
        QCOMPARE(r.zmena, r.unikat);
        QVERIFY(r.prenos); // "implprenos" defaults to on
        QVERIFY(!r.tajne && !r.vymazano);
        for (const ContactTextField& field : ContactTextFields()) {
            if (field.code > StoredFieldCount || IsPhone(field.code))
                continue;
            const QString typed = QString::fromLatin1(field.key) + u' ' + QString(300, u'ř');
            // Edits limit what is typed to their own length; the record cuts
            // to its capacity whatever an edit let through.
            const QString text = r.*field.member;
            QVERIFY2(text.size() <= field.capacity, field.key);
            QVERIFY2(typed.startsWith(text) && !text.isEmpty(), field.key);
        }
        QCOMPARE(r.firma.size(), 150); // the edit takes as much as the field holds
        QCOMPARE(r.tel2, QString()); // only digits, "+" and "*" of a phone
    }

    void setFieldByTagGivesTextsOnlyToDataControls()
    {
        TFKNew* f = Open();
        QVERIFY(f);
        SetFieldByTag(f, 0, QStringLiteral("nic"));
        SetFieldByTag(f, 5, QStringLiteral("muž?"));
        QCOMPARE(f->CBPohlavi->currentText(), QStringLiteral("muž"));
        QCOMPARE(f->Gender, 0);
        // Group pickers carry their level, not a field code: a value for
        // codes 1..3 reaches the title and names only.
        SetFieldByTag(f, 1, QStringLiteral("Doc."));
        SetFieldByTag(f, 3, QStringLiteral("Dvořák"));
        QCOMPARE(f->CBTitul_pred->currentText(), QStringLiteral("Doc."));
        QCOMPARE(f->AMEPrijmeni->text(), QStringLiteral("Dvořák"));
        for (int level = 1; level <= 3; ++level)
            QCOMPARE(f->GroupPicker(level)->currentText(), QString());
        // A pasted text of several lines becomes one line.
        f->AMEJine->setText(QStringLiteral("a\r\nb\nc"));
        QCOMPARE(f->AMEJine->text(), QStringLiteral("abc"));
    }

    void aCopyKeepsAllButTitlesAndNamesAndGetsItsOwnStamp()
    {
        const ContactRecord source = Source();
        m_program->add(source);
        TFKNew* f = Open(1);
        QVERIFY(f);
        QCOMPARE(f->AMEJmeno->text(), QString());
        QCOMPARE(f->AMETel1->text(), QStringLiteral("+420 123 456 789"));
        QCOMPARE(f->AMEMobil2->text(), QStringLiteral("777 888 999"));
        QCOMPARE(f->CBPohlavi->currentText(), QStringLiteral("žena"));
        f->AMEJmeno->setText(QStringLiteral("Jana"));
        f->BOK->click();

        QCOMPARE(ContactCount(m_program->dataPath()), 2);
        ContactRecord copy = m_program->stored(2);
        QCOMPARE(copy.cislo, 2);
        QVERIFY(copy.unikat != source.unikat);
        QCOMPARE(copy.jmeno, QStringLiteral("Jana"));
        QCOMPARE(copy.prijmeni, QString());
        QCOMPARE(copy.titul_pred, QString());
        QCOMPARE(copy.titul_za, QString());
        ContactRecord expected = source;
        expected.cislo = 2;
        expected.unikat = expected.zmena = copy.unikat;
        expected.jmeno = QStringLiteral("Jana");
        expected.prijmeni = expected.titul_pred = expected.titul_za = QString();
        QCOMPARE(copy, expected);
    }

    // The clock stands still: saves within one tick still get stamps of
    // their own, never one that a contact of the file holds.
    void quickSavesNeverShareAStamp()
    {
        ContactRecord taken;
        taken.unikat = Now() + 1.0 / 86400000; // the next millisecond
        m_program->add(taken);
        QSet<double> stamps { taken.unikat };
        for (int i = 0; i < 3; ++i) {
            TFKNew* f = Open();
            QVERIFY(f);
            f->AMEJmeno->setText(QString::number(i));
            f->BOK->click();
            const double stamp = m_program->stored(i + 2).unikat;
            QVERIFY2(!stamps.contains(stamp), qPrintable(QString::number(i)));
            QVERIFY(Ms(stamp) >= Ms(Now()));
            stamps << stamp;
        }
    }

    void closingUnsavedAsksAndNoKeepsTheForm()
    {
        TFKNew* f = Open();
        QVERIFY(f);
        f->AMEJmeno->setText(QStringLiteral("Karel"));
        Dialogs::queueAnswer(mrNo);
        f->BCancel->click();
        QCOMPARE(Dialogs::shown().last().text, QStringLiteral("Opravdu ukončit formulář?"));
        QVERIFY(FindForm(QStringLiteral("FKNew")) == f);
        QCOMPARE(f->AMEJmeno->text(), QStringLiteral("Karel"));
        const int windows = m_program->hub().OpenWindowCount();
        QCOMPARE(windows, 1);

        // Shown modal (as the CSV import shows it): Yes closes with Cancel,
        // nothing is stored.
        const QPointer<TFKNew> modal = new TFKNew;
        QTimer::singleShot(0, modal, [] { Dialogs::queueAnswer(mrYes); });
        QTimer::singleShot(10, modal, [modal] { modal->close(); });
        QCOMPARE(modal->exec(), int(mrCancel));
        QCOMPARE(ContactCount(m_program->dataPath()), 0);

        const QPointer<TFKNew> saved = new TFKNew;
        QTimer::singleShot(0, saved, [saved] {
            SetFieldByTag(saved, 2, QStringLiteral("Ema"));
            saved->BOK->click();
        });
        QCOMPARE(saved->exec(), int(mrOk));
        QCOMPARE(m_program->stored(1).jmeno, QStringLiteral("Ema"));
        QCOMPARE(IniFile(m_program->placementIni()).readBool("FKNew", "filtrskupin", true), false);
    }

    void groupPickersAddEachGroupOnce()
    {
        ContactRecord r;
        r.skupina1 = QStringLiteral("Práce;rodina");
        r.skupina2 = QStringLiteral("PRÁCE;výbor");
        m_program->add(r);
        TFKNew* f = Open();
        QVERIFY(f);
        // One group whatever the case of its Czech letters.
        QCOMPARE(f->CBSkupina1->count(), 2);
        f->CBSkupina1->setEditText(QStringLiteral("Práce"));
        f->SBSkupina1->Click();
        f->CBSkupina1->setEditText(QStringLiteral("PRÁCE"));
        f->SBSkupina1->Click();
        f->CBSkupina1->setEditText(QString());
        f->SBSkupina1->Click();
        f->CBSkupina1->setEditText(QStringLiteral("nová"));
        f->SBSkupina1->Click();
        QCOMPARE(f->AMESkupina1->text(), QStringLiteral("Práce;nová"));
        QCOMPARE(f->AMESkupina2->text(), QString());
    }

    void aWrongGenderIsRefused()
    {
        TFKNew* f = Open();
        QVERIFY(f);
        f->CBPohlavi->setEditText(QStringLiteral("ŽENA"));
        f->CBPohlaviExit();
        QCOMPARE(f->Gender, 1);
        f->CBPohlavi->setEditText(QStringLiteral("*"));
        f->CBPohlaviExit();
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().last().text, QStringLiteral("Chybná hodnota, nutno použít pouze předvolené."));
        QCOMPARE(f->Gender, 1);
    }
};

QTEST_MAIN(TestKNew)
#include "tst_knew.moc"
