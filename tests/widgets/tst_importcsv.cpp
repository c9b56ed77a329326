// The CSV import wizard with the real new-contact form on a real contact
// file: hand-written files (quotes, empty columns, a header with an empty
// name, UTF-8 and CP1250, header only), column assignment, default values,
// the gender rule, the question after cancelled contacts, values longer than
// their field, and a round trip of every field through the export wizard.
#include "contacts/dorv_exportcsv.h"
#include "contacts/dorv_importcsv.h"
#include "contacts/dorv_newk.h"
#include "contacts/dorv_okna.h"

#include "components/amedit.h"
#include "components/tooledit.h"
#include "platform/cp1250.h"
#include "platform/dialogs.h"
#include "platform/inifile.h"
#include "shared/contactcsv.h"
#include "shared/contactfields.h"

#include "contactsprogram.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

const QDateTime T0(QDate(2026, 3, 5), QTime(10, 0));

const QString StopQuestion
    = QStringLiteral("Mám ukončit import?\r\n(další případný dotaz na ukončení po 10-ti neimportovaných kontaktech)");

// Every field a CSV line carries, in Czech letters; texts hold ";" and ",".
ContactRecord SampleCzechContact()
{
    ContactRecord r;
    r.titul_pred = QStringLiteral("Ing.");
    r.jmeno = QStringLiteral("Řehoř");
    r.prijmeni = QStringLiteral("Žluťoučký");
    r.titul_za = QStringLiteral("Ph.D.");
    r.pohlavi = 1;
    r.skupina1 = QStringLiteral("rodina;přátelé");
    r.skupina2 = QStringLiteral("Čáslav");
    r.skupina3 = QStringLiteral("ěščř");
    r.email1 = QStringLiteral("rehor@example.cz");
    r.email2 = QStringLiteral("r2@example.cz");
    r.email3 = QStringLiteral("r3@example.cz");
    r.ejine = QStringLiteral("Skype: řehoř, jinak pošta");
    r.www1 = QStringLiteral("https://příklad.cz/a,b");
    r.www2 = QStringLiteral("www.ďábel.cz");
    r.tel1 = QStringLiteral("123456789");
    r.tel2 = QStringLiteral("+420987654321");
    r.fax = QStringLiteral("111222333");
    r.mobil1 = QStringLiteral("777888999");
    r.mobil2 = QStringLiteral("1234567");
    r.mobil3 = QStringLiteral("12*34");
    r.adr1_ul = QStringLiteral("Úzká 7");
    r.adr1_psc = QStringLiteral("110 00");
    r.adr1_mesto = QStringLiteral("Praha, Staré Město");
    r.adr2_ul = QStringLiteral("Dlouhá 1");
    r.adr2_psc = QStringLiteral("602 00");
    r.adr2_mesto = QStringLiteral("Brno");
    r.firma = QStringLiteral("Ňouma & syn, s.r.o.");
    r.funkce = QStringLiteral("ředitel");
    r.ICQ = QStringLiteral("12345");
    r.popis1 = QStringLiteral("první řádek\r\ndruhý řádek");
    return r;
}

// The user saves the form as the wizard filled it.
int Save(QDialog* d)
{
    auto* form = dynamic_cast<TFKNew*>(d);
    if (!form)
        return mrCancel;
    form->show();
    form->BOKClick();
    return form->result();
}

} // namespace

class TestImportCsv : public QObject {
    Q_OBJECT

    std::unique_ptr<ContactsProgram> m_program;

    QString WriteFile(const QByteArray& bytes) const
    {
        const QString path = m_program->folder() + QStringLiteral("/in.csv");
        writeFileBytes(path, bytes);
        return path;
    }
    TFKImportCSV* Open() const
    {
        return dynamic_cast<TFKImportCSV*>(m_program->hub().OpenByName(QStringLiteral("FKImportCSV")));
    }
    static void ToPage2(TFKImportCSV* w, const QString& path, const QString& sep)
    {
        w->FileCSV->setText(path);
        w->CBOddel->setEditText(sep);
        w->BNextClick();
    }
    static QStringList Listed(const TFKImportCSV* w)
    {
        QStringList names;
        for (int i = 0; i < w->LBCSV->count(); ++i)
            names << w->LBCSV->item(i)->text();
        return names;
    }
    // The file column (1-based) to the field, as the user does it with "<".
    static void Assign(TFKImportCSV* w, int code, int column)
    {
        const int row = code == 35 ? StoredFieldCount : code - 1;
        w->LSloupce->setCurrentItem(w->LSloupce->topLevelItem(row));
        w->LBCSV->clearSelection();
        w->LBCSV->item(column - 1)->setSelected(true);
        w->SBPriradClick();
    }
    static void ToPage3(TFKImportCSV* w)
    {
        w->BNextClick();
        QCOMPARE(w->Page(), 3);
    }

private slots:
    void init() { m_program = std::make_unique<ContactsProgram>(T0); }
    void cleanup() { m_program.reset(); }

    // Quoted names and values lose their quotes; the header's empty third
    // name keeps the later columns where the lines have them; an empty or
    // unassigned field takes its default; "ŽENA" in any case is a woman.
    void importsWithDefaultsGenderAndQuotes()
    {
        const QByteArray file = Cp1250::encode(QStringLiteral("\"jméno\";\"příjmení\";;\"pohlaví\";\"město\"\r\n"
                                                              "\"Jan\";\"Novák\";x;ŽENSKÁ;Brno\r\n"
                                                              "Eva;Nová;;ŽENA;\r\n"
                                                              ";Malá;;žEnA;\"Písek\"\r\n"));
        TFKImportCSV* w = Open();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Import kontaktů z CSV"));
        ToPage2(w, WriteFile(file), QStringLiteral(";"));
        QCOMPARE(w->Page(), 2);
        QCOMPARE(Listed(w), QStringList({ "jméno", "příjmení", "(sloupec 3)", "pohlaví", "město" }));
        Assign(w, 2, 1);
        // "<" moves on to the next field: příjmení.
        w->LBCSV->clearSelection();
        w->LBCSV->item(1)->setSelected(true);
        w->SBPriradClick();
        Assign(w, 5, 4);
        Assign(w, 23, 5);
        Assign(w, 24, 3);
        w->SBZrusClick(); // the next row (PSC doma) had none: stays so
        w->LSloupce->setCurrentItem(w->LSloupce->topLevelItem(23));
        w->SBZrusClick();
        QCOMPARE(w->LSloupce->topLevelItem(2)->text(1), QStringLiteral("příjmení"));
        QCOMPARE(w->LSloupce->topLevelItem(22)->text(2), QStringLiteral("5"));
        QCOMPARE(w->LSloupce->topLevelItem(23)->text(2), QString());
        ToPage3(w);
        w->AMEMesto1->setText(QStringLiteral("Praha"));
        w->AMEUlice2->setText(QStringLiteral("Hlavní 1"));
        w->CBSkupina1->setEditText(QStringLiteral("import"));
        w->SBSkupinaClick(1);
        w->CBSkupina1->setEditText(QStringLiteral("IMPORT"));
        w->SBSkupinaClick(1);
        w->CBSkupina1->setEditText(QStringLiteral("CSV"));
        w->SBSkupinaClick(1);
        QCOMPARE(w->AMESkupina1->text(), QStringLiteral("import;CSV"));
        QCOMPARE(w->DejVychHodnotu(23), QStringLiteral("Praha"));
        QCOMPARE(w->DejVychHodnotu(2), QString());
        for (int i = 0; i < 3; ++i)
            Dialogs::queueModal(Save);
        w->BBImportClick();

        const QList<ContactRecord> stored = m_program->all();
        QCOMPARE(stored.size(), 3);
        const struct {
            const char16_t *jmeno, *prijmeni, *mesto;
            int pohlavi;
        } expected[]
            = { { u"Jan", u"Novák", u"Brno", 0 }, { u"Eva", u"Nová", u"Praha", 1 }, { u"", u"Malá", u"Písek", 1 } };
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(stored[i].jmeno, QString::fromUtf16(expected[i].jmeno));
            QCOMPARE(stored[i].prijmeni, QString::fromUtf16(expected[i].prijmeni));
            QCOMPARE(stored[i].adr1_mesto, QString::fromUtf16(expected[i].mesto));
            QCOMPARE(stored[i].pohlavi, expected[i].pohlavi);
            QCOMPARE(stored[i].adr2_ul, QStringLiteral("Hlavní 1"));
            QCOMPARE(stored[i].adr2_psc, QString());
            QCOMPARE(stored[i].skupina1, QStringLiteral("import;CSV"));
        }
        QVERIFY(Dialogs::shown().isEmpty());
        // A folder whose name the settings file cannot hold is not kept.
        w->FileCSV->SetInitialDir(QStringLiteral("/home/eva/Документы"));
        w->close();
        QCOMPARE(IniFile(m_program->placementIni())
                     .readString(QStringLiteral("FKImportCSV"), QStringLiteral("oddelovac"), {}),
            QStringLiteral(";"));
        QCOMPARE(IniFile(m_program->placementIni()).readString("FKImportCSV", "adresar", "-"), QStringLiteral("-"));
        QVERIFY(Dialogs::shown().last().text.contains(QStringLiteral("/home/eva/Документы")));
    }

    // The first cancelled contact asks at once; after "No" the next question
    // comes after ten more; a saved contact in between counts for nothing.
    void cancelledContactsAskToStop()
    {
        QByteArray file = "jmeno\n";
        for (int i = 1; i <= 30; ++i)
            file += "Osoba" + QByteArray::number(i) + "\n";
        TFKImportCSV* w = Open();
        ToPage2(w, WriteFile(file), QStringLiteral(","));
        Assign(w, 2, 1);
        ToPage3(w);
        // Forms 1 and 3..12 cancelled, 2 saved; then stop.
        Dialogs::queueModal([](QDialog*) { return int(mrCancel); });
        Dialogs::queueModal(Save);
        Dialogs::queueAnswer(mrNo);
        Dialogs::queueAnswer(mrYes);
        w->BBImportClick();
        QCOMPARE(Dialogs::shownModals().size(), 12);
        QStringList questions;
        for (const Dialogs::Shown& s : Dialogs::shown())
            questions << s.text;
        QCOMPARE(questions, QStringList({ StopQuestion, StopQuestion }));
        QCOMPARE(m_program->all().size(), 1);
        QCOMPARE(m_program->all().first().jmeno, QStringLiteral("Osoba2"));
    }

    // A file of other programs in UTF-8 (with or without the mark, LF ends)
    // keeps its Czech letters; a value longer than its field is cut to the
    // field's capacity.
    void utf8FilesAndOverlongValues_data()
    {
        QTest::addColumn<QByteArray>("prefix");
        QTest::newRow("utf-8") << QByteArray();
        QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF");
    }
    void utf8FilesAndOverlongValues()
    {
        QFETCH(QByteArray, prefix);
        const QString longName = QStringLiteral("Přespříliš žluťoučký kůň úpěl ďábelské ódy a ještě");
        const QByteArray file
            = prefix + (QStringLiteral("příjmení,PSČ\n") + longName + QStringLiteral(",123 45 678\n")).toUtf8();
        TFKImportCSV* w = Open();
        ToPage2(w, WriteFile(file), QStringLiteral(","));
        QCOMPARE(Listed(w), QStringList({ "příjmení", "PSČ" }));
        Assign(w, 3, 1);
        Assign(w, 22, 2);
        ToPage3(w);
        Dialogs::queueModal(Save);
        w->BBImportClick();
        const ContactRecord r = m_program->stored(1);
        QCOMPARE(r.prijmeni, longName.left(35));
        QCOMPARE(r.adr1_psc, QStringLiteral("123 45 678"));
    }

    // Every field the format carries goes out through the export wizard and
    // comes back through the import; values holding the separator come back
    // with "|" in its place.
    void roundTripThroughBothWizards()
    {
        const ContactRecord original = SampleCzechContact();
        m_program->add(original);
        const QString path = m_program->folder() + QStringLiteral("/kontakty.csv");
        auto* out = dynamic_cast<TFKExportCSV*>(ContactForms().Create(QStringLiteral("FKExportCSV")));
        out->show();
        out->FileCSV->setText(path);
        out->CBOddel->setEditText(QStringLiteral(","));
        out->SetRange(0);
        out->BNextClick();
        out->BBExportClick();
        out->close();

        TFKImportCSV* w = Open();
        ToPage2(w, path, QStringLiteral(","));
        QCOMPARE(w->LBCSV->count(), StoredFieldCount);
        for (int code = 1; code <= StoredFieldCount; ++code) {
            QCOMPARE(w->LBCSV->item(code - 1)->text(), ContactFieldCaption(code));
            Assign(w, code, code);
        }
        ToPage3(w);
        Dialogs::queueModal(Save);
        w->BBImportClick();
        QCOMPARE(m_program->all().size(), 2);
        const ContactRecord back = m_program->stored(2);
        for (const ContactTextField& f : ContactTextFields()) {
            if (f.code > StoredFieldCount)
                continue;
            QString expected = original.*f.member;
            expected.replace(u',', u'|');
            QCOMPARE(back.*f.member, expected);
        }
        QCOMPARE(back.pohlavi, 1);
        QCOMPARE(back.jmeno, QStringLiteral("Řehoř"));
        QCOMPARE(back.www1, QStringLiteral("https://příklad.cz/a|b"));
    }

    // Old Mac line ends (CR alone) and empty lines; the file is read once, as
    // its columns are listed, and the import shows what was read then.
    void crLinesReadOnceWhenListed()
    {
        const QString path = WriteFile("jmeno;prijmeni\rJan;Novak\r\r;Mala\r\n\n");
        TFKImportCSV* w = Open();
        ToPage2(w, path, QStringLiteral(";"));
        QCOMPARE(Listed(w), QStringList({ "jmeno", "prijmeni" }));
        Assign(w, 2, 1);
        Assign(w, 3, 2);
        ToPage3(w);
        writeFileBytes(path, "jmeno;prijmeni\rJiny;Soubor\r");
        w->AMEMesto1->setText(QStringLiteral("Praha"));
        Dialogs::queueModal(Save);
        Dialogs::queueModal(Save);
        w->BBImportClick();
        const QList<ContactRecord> stored = m_program->all();
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[0].prijmeni, QStringLiteral("Novak"));
        QCOMPARE(stored[1].jmeno + stored[1].prijmeni, QStringLiteral("Mala"));
        QCOMPARE(stored[1].adr1_mesto, QStringLiteral("Praha"));
        w->FileCSV->SetInitialDir(m_program->folder());
        w->close();
        QCOMPARE(IniFile(m_program->placementIni()).readString("FKImportCSV", "adresar", {}), m_program->folder());
    }

    // A header alone still shows one form, of default values; a missing file
    // keeps the wizard on page 1 without a word; going back from page 2 asks
    // and forgets the assignments.
    void headerOnlyMissingFileAndGoingBack()
    {
        TFKImportCSV* w = Open();
        ToPage2(w, m_program->folder() + QStringLiteral("/chybi.csv"), QStringLiteral(","));
        QCOMPARE(w->Page(), 1);
        QVERIFY(Dialogs::shown().isEmpty());
        QVERIFY(saveScreenshot(w, QStringLiteral("importcsv-1")));

        const QString path = WriteFile("jmeno|prijmeni\r\n\r\n");
        ToPage2(w, path, QString());
        QCOMPARE(w->Page(), 1);
        QCOMPARE(Dialogs::shown().last().text, QStringLiteral("Není možné použít prázdný znak!"));
        // Any other character separates, "|" too.
        ToPage2(w, path, QStringLiteral("|"));
        QCOMPARE(w->Page(), 2);
        Assign(w, 2, 1);
        QVERIFY(saveScreenshot(w, QStringLiteral("importcsv-2")));
        Dialogs::queueAnswer(mrNo);
        w->BPrevClick();
        QCOMPARE(w->Page(), 2);
        Dialogs::queueAnswer(mrYes);
        w->BPrevClick();
        QCOMPARE(Dialogs::shown().last().text, QStringLiteral("Vrácením ztratíte provedené úpravy - chtete provést?"));
        QCOMPARE(w->Page(), 1);
        QCOMPARE(w->LBCSV->count(), 0);
        QCOMPARE(w->LSloupce->topLevelItem(1)->text(1), QString());

        w->BNextClick();
        w->BNextClick();
        QCOMPARE(w->Page(), 3);
        QVERIFY(!w->BNext->isEnabled());
        QVERIFY(w->LVychozi->text().startsWith(QStringLiteral("(budou použity jen pokud")));
        w->AMEMesto2->setText(QStringLiteral("Tábor"));
        w->CBFirma->setEditText(QStringLiteral("\"Alfa\""));
        QVERIFY(saveScreenshot(w, QStringLiteral("importcsv-3")));
        Dialogs::queueModal(Save);
        w->BBImportClick();
        QCOMPARE(Dialogs::shownModals(), QStringList({ "FKNew" }));
        QCOMPARE(m_program->stored(1).adr2_mesto, QStringLiteral("Tábor"));
        QCOMPARE(m_program->stored(1).firma, QStringLiteral("Alfa"));
    }
};

QTEST_MAIN(TestImportCsv)
#include "tst_importcsv.moc"
