// The CSV export wizard over a real contact file and the real overview: what
// the file holds byte for byte, the three ranges (rows the file no longer
// holds left out and counted), the separator and file-name checks, and the
// column names and marks kept in the settings.
#include "contacts/dorv_exportcsv.h"
#include "contacts/dorv_okna.h"
#include "contacts/dorv_prehled.h"

#include "components/tooledit.h"
#include "platform/cp1250.h"
#include "platform/dialogs.h"
#include "platform/inifile.h"
#include "shared/contactfields.h"
#include "shared/contactfile.h"

#include "contactsprogram.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>

namespace {

const QDateTime T0(QDate(2026, 3, 5), QTime(10, 0));

ContactRecord Person(const QString& jmeno, const QString& prijmeni, bool deleted = false)
{
    static int made = 0;
    ContactRecord r;
    r.jmeno = jmeno;
    r.prijmeni = prijmeni;
    r.vymazano = deleted;
    r.unikat = 46000 + ++made;
    return r;
}

QStringList FileLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    if (!bytes.endsWith("\r\n"))
        return { QStringLiteral("no CR LF at the end") };
    QStringList lines = Cp1250::decode(bytes.chopped(2)).split(QStringLiteral("\r\n"));
    return lines;
}

} // namespace

class TestExportCsv : public QObject {
    Q_OBJECT

    std::unique_ptr<ContactsProgram> m_program;

    QString Target() const { return m_program->folder() + QStringLiteral("/out.csv"); }

    TFKExportCSV* Open()
    {
        auto* w = dynamic_cast<TFKExportCSV*>(ContactForms().Create(QStringLiteral("FKExportCSV")));
        if (w)
            w->show();
        return w;
    }
    // Only the fields given are ticked.
    static void Tick(TFKExportCSV* w, const QList<int>& codes)
    {
        for (int i = 0; i < w->LSloupce->topLevelItemCount(); ++i)
            w->LSloupce->topLevelItem(i)->setCheckState(0, codes.contains(i + 1) ? Qt::Checked : Qt::Unchecked);
    }
    // Page 1 filled and left for page 2.
    static void ToPage2(TFKExportCSV* w, const QString& path, const QString& sep, int range)
    {
        w->FileCSV->setText(path);
        w->CBOddel->setEditText(sep);
        w->SetRange(range);
        w->BNextClick();
    }
    static QString LastMessage() { return Dialogs::shown().isEmpty() ? QString() : Dialogs::shown().last().text; }

private slots:
    void init()
    {
        m_program = std::make_unique<ContactsProgram>(T0);
        Dialogs::clearScript();
    }
    void cleanup() { m_program.reset(); }

    void writesEveryContactOfTheFileAsCp1250WithCrLf()
    {
        ContactRecord a = Person(QStringLiteral("Řehoř"), QStringLiteral("Žluťoučký"));
        a.adr1_mesto = QStringLiteral("Praha; Staré Město");
        a.popis1 = QStringLiteral("první řádek\r\ndruhý");
        a.skupina1 = QStringLiteral("rodina;práce");
        a.email2 = QStringLiteral("r@x.cz");
        a.tel1 = QStringLiteral("123456789");
        a.pohlavi = 1;
        m_program->add(a);
        m_program->add(Person(QStringLiteral("Jan"), QStringLiteral("Smazaný"), true));

        TFKExportCSV* w = Open();
        QCOMPARE(w->windowTitle(), QStringLiteral("Export od CSV"));
        w->FileCSV->setText(Target());
        QVERIFY(saveScreenshot(w, QStringLiteral("exportcsv-1")));
        QVERIFY(!w->BPrev->isEnabled() && w->BNext->isEnabled());
        ToPage2(w, Target(), QStringLiteral(";"), 0);
        QCOMPARE(w->Page(), 2);
        QVERIFY(w->BPrev->isEnabled() && !w->BNext->isEnabled());
        QVERIFY(saveScreenshot(w, QStringLiteral("exportcsv-2")));
        Tick(w, { 2, 3, 5, 23, 30, 31, 32, 34, 35 });
        w->BBExportClick();
        QCOMPARE(LastMessage(), QStringLiteral("Počet exportovaných kontaktů: 2"));
        const QStringList lines = FileLines(Target());
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("jméno;příjmení;pohlaví;město doma;skupina;e-mail;telefon;popis;*"));
        QCOMPARE(lines[1],
            QStringLiteral("Řehoř;Žluťoučký;žena;Praha| Staré Město;rodina|práce;r@x.cz;123 456 789;"
                           "první řádek druhý;|Řehoř|Žluťoučký|žena|rodina|práce|r@x.cz|123 456 789|Praha| Staré Město|"
                           "rodina|práce|r@x.cz|123 456 789|první řádek druhý"));
        // Deleted contacts belong to the whole file.
        QCOMPARE(lines[2], QStringLiteral("Jan;Smazaný;muž;;;;;;|Jan|Smazaný|muž"));
    }

    // Rows of the overview in list order, each contact found where it stands
    // now; a row whose contact the file no longer holds is left out and
    // counted, and the rows after it are still written.
    void overviewRowsSkipStaleOnes()
    {
        for (const char* name : { "Dvořák", "Černý", "Beneš", "Adámek" })
            m_program->add(Person(QStringLiteral("X"), QString::fromUtf8(name)));
        m_program->hub().OpenByName(QStringLiteral("FKPrehled"));
        auto* overview = dynamic_cast<TFKPrehled*>(m_program->window(QStringLiteral("FKPrehled")));
        QVERIFY(overview);
        QCOMPARE(overview->List->topLevelItemCount(), 4);
        // Behind the overview's back Dvořák (number 1) is removed for good:
        // every other contact moves down one number.
        DeleteContact(1, m_program->dataPath());

        TFKExportCSV* w = Open();
        ToPage2(w, Target(), QStringLiteral(","), 1);
        Tick(w, { 3 });
        w->BBExportClick();
        QCOMPARE(LastMessage(),
            QStringLiteral("Počet exportovaných kontaktů: 3\r\nVynecháno kontaktů, které už v databázi nejsou "
                           "(Přehled není aktuální): 1"));
        QCOMPARE(FileLines(Target()), QStringList({ "příjmení", "Adámek", "Beneš", "Černý" }));

        // The selected rows only, in list order; none selected: the header.
        overview->Aktualizuj();
        overview->List->clearSelection();
        w->SetRange(2);
        w->BBExportClick();
        QCOMPARE(LastMessage(), QStringLiteral("Počet exportovaných kontaktů: 0"));
        QCOMPARE(FileLines(Target()), QStringList { QStringLiteral("příjmení") });
        overview->List->topLevelItem(2)->setSelected(true);
        overview->List->topLevelItem(1)->setSelected(true);
        w->BBExportClick();
        QCOMPARE(LastMessage(), QStringLiteral("Počet exportovaných kontaktů: 2"));
        QCOMPARE(FileLines(Target()), QStringList({ "příjmení", "Beneš", "Černý" }));
    }

    // The separator and the file name are checked before page 2.
    void pageOneChecks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("sep");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<int>("page");
        const QString exists = QStringLiteral("Výsledný souboru existuje a exportem bude přepsán,\rmám pokračovat?");
        const QString type = QStringLiteral("Výchozí typ výsledného souboru je změněn,\rmám pokračovat?");
        const QList<int> none, no { mrNo }, yes { mrYes };
        QTest::newRow("empty separator") << "a.csv"
                                         << "" << false << none << "Není možné použít prázdný znak!" << 1;
        QTest::newRow("blank separator") << "a.csv"
                                         << " " << false << none << "Není možné použít mezeru!" << 1;
        QTest::newRow("bar separator") << "a.csv"
                                       << "|" << false << none
                                       << "Není možné použít znak |\rpoužívá se jako náhrada za oddělovač v "
                                          "textových hodnotách"
                                       << 1;
        QTest::newRow("no name") << ""
                                 << "," << false << none << "Není zadán název výsledného souboru" << 1;
        QTest::newRow("exists, no") << "a.csv"
                                    << "," << true << no << exists << 1;
        QTest::newRow("CSV in capitals") << "a.CSV"
                                         << "," << false << none << "" << 2;
        QTest::newRow("txt, no") << "a.txt"
                                 << "," << false << no << type << 1;
        QTest::newRow("no dot, yes") << "a"
                                     << "," << false << yes << type << 2;
        QTest::newRow("two dots") << "a.csv.bak"
                                  << "," << false << no << type << 1;
        QTest::newRow("dot in a folder") << ".skryta/a.csv"
                                         << "," << false << none << "" << 2;
    }
    void pageOneChecks()
    {
        QFETCH(QString, name);
        QFETCH(QString, sep);
        QFETCH(bool, exists);
        QFETCH(QList<int>, answers);
        QFETCH(QString, asked);
        QFETCH(int, page);
        QDir(m_program->folder()).mkpath(QStringLiteral(".skryta"));
        const QString path = m_program->folder() + u'/' + name;
        if (exists)
            QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        for (int a : answers)
            Dialogs::queueAnswer(a);
        TFKExportCSV* w = Open();
        ToPage2(w, path, sep, 0);
        QCOMPARE(LastMessage(), asked);
        QCOMPARE(Dialogs::shown().size(), asked.isEmpty() ? 0 : 1);
        QCOMPARE(w->Page(), page);
    }

    void columnNamesAndMarksAreKept()
    {
        m_program->add(Person(QStringLiteral("Eva"), QStringLiteral("Nová")));
        TFKExportCSV* w = Open();
        // Fields 1..29 are exported by default, the combined ones are not.
        for (int i = 0; i < 35; ++i)
            QCOMPARE(w->LSloupce->topLevelItem(i)->checkState(0), i < 29 ? Qt::Checked : Qt::Unchecked);
        w->LSloupce->topLevelItem(1)->setText(0, QStringLiteral("Křestní"));
        w->LSloupce->topLevelItem(2)->setText(0, QStringLiteral("   "));
        QCOMPARE(w->LSloupce->topLevelItem(2)->text(0), QStringLiteral("příjmení"));
        // "vybrané" ticks exactly the selected rows.
        w->LSloupce->topLevelItem(1)->setSelected(true);
        w->LSloupce->topLevelItem(33)->setSelected(true);
        w->BVybraneClick();
        w->CBOddel->setEditText(QStringLiteral(";"));
        w->FileCSV->setText(Target());
        w->close();

        const IniFile ini(m_program->placementIni());
        QCOMPARE(
            ini.readString(QStringLiteral("FKExportCSV"), QStringLiteral("2_udaj"), {}), QStringLiteral("Křestní"));
        QCOMPARE(ini.readString(QStringLiteral("FKExportCSV"), QStringLiteral("oddelovac"), {}), QStringLiteral(";"));

        w = Open();
        QCOMPARE(w->LSloupce->topLevelItem(1)->text(0), QStringLiteral("Křestní"));
        QCOMPARE(w->CBOddel->currentText(), QStringLiteral(";"));
        ToPage2(w, Target(), QStringLiteral(";"), 0);
        w->BBExportClick();
        QCOMPARE(FileLines(Target()), QStringList({ QStringLiteral("Křestní;popis"), QStringLiteral("Eva;") }));

        w->BVychNazevClick();
        QCOMPARE(w->LSloupce->topLevelItem(1)->text(0), QStringLiteral("jméno"));
        Tick(w, {});
        QFile::remove(Target());
        w->BBExportClick();
        QCOMPARE(LastMessage(), QStringLiteral("Není vybrán žádný údaj k exportu - nelze."));
        QVERIFY(!QFile::exists(Target()));
    }
};

QTEST_MAIN(TestExportCsv)
#include "tst_exportcsv.moc"
