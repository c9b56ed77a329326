#include "shared/contactfields.h"

#include "platform/datetime.h"
#include "platform/inifile.h"
#include "platform/tag.h"
#include "shared/contactfile.h"

#include "testsupport.h"

#include <QComboBox>
#include <QHeaderView>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <limits>

namespace {

// The field code table as the organiser's files and windows know it.
struct Names {
    int code;
    const char* key;
    const char* caption;
};
// clang-format off
const Names kTable[] = {
    {1, "titul_pred", "t.před"}, {2, "jmeno", "jméno"}, {3, "prijmeni", "příjmení"}, {4, "titul_za", "t.za"},
    {5, "pohlavi", "pohlaví"}, {6, "skupina1", "skupina 1"}, {7, "skupina2", "skupina 2"},
    {8, "skupina3", "skupina 3"}, {9, "email1", "email 1"}, {10, "email2", "email 2"}, {11, "email3", "email 3"},
    {12, "ejine", "jiné"}, {13, "www1", "adresa www 1"}, {14, "www2", "adresa www 2"}, {15, "tel1", "telefon 1"},
    {16, "tel2", "telefon 2"}, {17, "fax", "fax"}, {18, "mobil1", "mobil 1"}, {19, "mobil2", "mobil 2"},
    {20, "mobil3", "mobil 3"}, {21, "adr1_ul", "ulice doma"}, {22, "adr1_psc", "PSC doma"},
    {23, "adr1_mesto", "město doma"}, {24, "adr2_ul", "ulice firma"}, {25, "adr2_psc", "PSC firma"},
    {26, "adr2_mesto", "město firma"}, {27, "firma", "firma"}, {28, "funkce", "funkce"}, {29, "ICQ", "ICQ"},
    {30, "skupina", "skupina"}, {31, "e-mail", "e-mail"}, {32, "telefon", "telefon"}, {33, "mobil", "mobil"},
    {34, "popis", "popis"}, {35, "*", "*"}, {36, "popis1", "popis1"}, {37, "popis2", "popis2"},
    {38, "popis3", "popis3"}, {39, "popis4", "popis4"}, {40, "vymazano", "vymazáno"}, {41, "prenos", "přenos"},
    {42, "tajne", "tajné"}, {43, "cislo", "číslo"}, {44, "verze", "verze"}, {45, "unikat", "unikat"},
    {46, "zmena", "zmena"},
};
// clang-format on

QString u8(const char* s)
{
    return QString::fromUtf8(s);
}

// A contact with every field set, written to a real file and read back.
ContactRecord storedContact(const TempProgramFolder& dir)
{
    ContactRecord r;
    // clang-format off
    r.cislo = 1; r.verze = DataVersion; r.pohlavi = 0;
    r.unikat = EncodeDate(2024, 2, 29) + EncodeTime(7, 5, 9, 0);
    r.zmena = EncodeDate(2025, 12, 31) + EncodeTime(23, 59, 59, 0);
    r.titul_pred = "Ing."; r.jmeno = u8("Jiří"); r.prijmeni = u8("Čermák"); r.titul_za = "CSc.";
    r.skupina1 = u8("Rodina;Přátelé"); r.skupina3 = "Brno";
    r.email1 = "jiri@example.cz"; r.email3 = "cermak@example.com"; r.ejine = "skype: jc"; r.www1 = "www.example.cz";
    r.tel1 = "+420541123456"; r.tel2 = "541999"; r.fax = "12345"; r.mobil1 = "603123456"; r.mobil3 = "1234567";
    r.adr1_ul = u8("Údolní 5"); r.adr1_psc = "60200"; r.adr1_mesto = "Brno";
    r.adr2_ul = u8("Purkyňova 99"); r.adr2_psc = "61200"; r.adr2_mesto = "Brno";
    r.firma = "Acme s.r.o."; r.funkce = u8("ředitel"); r.ICQ = "123456789"; r.popis1 = "prvni"; r.popis2 = "druhy";
    r.vymazano = true; r.prenos = true; r.tajne = false;
    // clang-format on
    const QString path = dir.file("korvel.db1");
    WriteContact(1, path, r);
    int position = 1;
    ContactRecord back;
    ReadContact(position, path, back);
    return back;
}

ContactRecord groups(const QString& s1, const QString& s2 = {}, const QString& s3 = {})
{
    ContactRecord r;
    r.skupina1 = s1;
    r.skupina2 = s2;
    r.skupina3 = s3;
    return r;
}

QString fileOf(const TempProgramFolder& dir, const QList<ContactRecord>& records)
{
    const QString path = dir.file("korvel.db1");
    QFile::remove(path);
    for (ContactRecord r : records)
        AppendContact(path, r);
    return path;
}

QStringList itemsOf(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

QStringList headerOf(const QTreeWidget* list)
{
    QStringList captions;
    for (int i = 0; i < list->columnCount(); ++i)
        captions << list->headerItem()->text(i);
    return captions;
}

QList<int> widthsOf(const QTreeWidget* list)
{
    QList<int> widths;
    for (int i = 0; i < list->columnCount(); ++i)
        widths << list->columnWidth(i);
    return widths;
}

QComboBox* editableCombo(QWidget* parent = nullptr)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    return combo;
}

} // namespace

class TestContactFields : public QObject {
    Q_OBJECT
private slots:
    void everyCodeHasItsKeyAndCaption()
    {
        for (const Names& n : kTable) {
            QCOMPARE(ContactFieldKey(n.code), u8(n.key));
            QCOMPARE(ContactFieldCaption(n.code), u8(n.caption));
            QCOMPARE(ContactFieldCode(u8(n.key)), n.code);
            QCOMPARE(ContactFieldCode(u8(n.caption)), n.code);
        }
        for (int code : { 0, -1, 47, 99, std::numeric_limits<int>::min() }) {
            QVERIFY(ContactFieldCaption(code).isEmpty());
            QVERIFY(ContactFieldKey(code).isEmpty());
            QVERIFY(ContactFieldText(code, ContactRecord()).isEmpty());
        }
    }

    void namesAreMatchedExactly()
    {
        QCOMPARE(ContactFieldCode("jmeno"), 2);
        QCOMPARE(ContactFieldCode(u8("jméno")), 2);
        QCOMPARE(ContactFieldCode("Jmeno"), 0);
        QCOMPARE(ContactFieldCode(u8("Jméno")), 0);
        QCOMPARE(ContactFieldCode(u8("číslo")), 43);
        QCOMPARE(ContactFieldCode("cislo"), 43);
        QCOMPARE(ContactFieldCode("cislo "), 0);
        QCOMPARE(ContactFieldCode("icq"), 0);
        QCOMPARE(ContactFieldCode(""), 0);
        QCOMPARE(ContactFieldCode("43"), 0);
    }

    void textOfEveryFieldOfAStoredContact()
    {
        TempProgramFolder dir;
        const ContactRecord r = storedContact(dir);
        // clang-format off
        const QMap<int, QString> expected {
            {1, "Ing."}, {2, u8("Jiří")}, {3, u8("Čermák")}, {4, "CSc."}, {5, u8("muž")}, {6, u8("Rodina;Přátelé")},
            {7, ""}, {8, "Brno"}, {9, "jiri@example.cz"}, {10, ""}, {11, "cermak@example.com"}, {12, "skype: jc"},
            {13, "www.example.cz"}, {14, ""}, {15, "+420 541 123 456"}, {16, "541 999"}, {17, "12345"},
            {18, "603 123 456"}, {19, ""}, {20, "1234 567"}, {21, u8("Údolní 5")}, {22, "60200"}, {23, "Brno"},
            {24, u8("Purkyňova 99")}, {25, "61200"}, {26, "Brno"}, {27, "Acme s.r.o."}, {28, u8("ředitel")},
            {29, "123456789"}, {30, u8("Rodina;Přátelé;Brno")}, {31, "jiri@example.cz;cermak@example.com"},
            {32, "+420 541 123 456;541 999"}, {33, "603 123 456;1234 567"}, {34, "prvnidruhy"}, {36, "prvni"},
            {37, "druhy"}, {38, ""}, {39, ""}, {40, "ANO"}, {41, "ANO"}, {42, "NE"}, {43, "1"}, {44, "-1"},
            {45, "29.2.2024 7:05:09"}, {46, "31.12.2025 23:59:59"},
        };
        // clang-format on
        for (auto it = expected.begin(); it != expected.end(); ++it)
            QCOMPARE(ContactFieldText(it.key(), r), it.value());

        // Code 35: every non-empty text of 1..34 behind a ";", in code order.
        QString all;
        for (int code = 1; code <= TextFieldCount; ++code)
            if (!expected[code].isEmpty())
                all += ";" + expected[code];
        QCOMPARE(ContactFieldText(35, r), all);
        QCOMPARE(ContactText(r), all);
        QVERIFY(all.startsWith(u8(";Ing.;Jiří;Čermák;CSc.;muž;Rodina;Přátelé;Brno;")));
        QVERIFY(all.endsWith(";123456789;" + u8("Rodina;Přátelé;Brno")
            + ";jiri@example.cz;cermak@example.com;"
              "+420 541 123 456;541 999;603 123 456;1234 567;prvnidruhy"));
        QCOMPARE(ContactText(ContactRecord()), u8(";muž"));
    }

    void combinedTextsLeaveOutEmptyParts()
    {
        ContactRecord r;
        r.pohlavi = 2;
        QCOMPARE(ContactFieldText(5, r), u8("muž"));
        r.pohlavi = 1;
        QCOMPARE(ContactFieldText(5, r), u8("žena"));
        r.tel2 = "541123456";
        QCOMPARE(ContactFieldText(32, r), "541 123 456");
        r.mobil2 = "777";
        QCOMPARE(ContactFieldText(33, r), "777");
        r.mobil3 = "606000111";
        QCOMPARE(ContactFieldText(33, r), "777;606 000 111");
        r.skupina3 = "C";
        QCOMPARE(ContactFieldText(30, r), "C");
        r.email1 = "a@b";
        r.email3 = "c@d";
        QCOMPARE(ContactFieldText(31, r), "a@b;c@d");

        QCOMPARE(JoinNonEmpty(";", "", "", ""), "");
        QCOMPARE(JoinNonEmpty(";", "a", "", ""), "a");
        QCOMPARE(JoinNonEmpty(";", "", "b", ""), "b");
        QCOMPARE(JoinNonEmpty(";", "", "", "c"), "c");
        QCOMPARE(JoinNonEmpty(";", "a", "", "c"), "a;c");
        QCOMPARE(JoinNonEmpty(";", "", "b", "c"), "b;c");
        QCOMPARE(JoinNonEmpty(", ", "a", "b", "c"), "a, b, c");
    }

    void descriptionIsCutTo255()
    {
        ContactRecord r;
        r.popis1 = QString(100, 'a');
        r.popis2 = QString(100, 'b');
        r.popis3 = QString(100, u'č');
        const QString text = ContactFieldText(34, r);
        QCOMPARE(text.size(), 255);
        QCOMPARE(text, QString(100, 'a') + QString(100, 'b') + QString(55, u'č'));
        // A line break cut between two stored pieces is whole again.
        r.popis1 = QString(254, 'x') + "\r";
        r.popis2 = "\nend";
        r.popis3.clear();
        QCOMPARE(ContactFieldText(34, r).right(1), "\r");
        r.popis1 = "a\r";
        QCOMPARE(ContactFieldText(34, r), "a\r\nend");
    }

    void groupsOfThree()
    {
        const QList<QPair<QString, QString>> cases {
            { "", "" },
            { "1", "1" },
            { "12345", "12345" },
            { "123456", "123 456" },
            { "1234567", "1234 567" },
            { "12345678", "12345 678" },
            { "123456789", "123 456 789" },
            { "+420123456789", "+420 123 456 789" },
            { "*12", "*12" },
            { "12345678901234567890", "12345 678 901 234 567 890" },
        };
        for (const auto& [in, out] : cases)
            QCOMPARE(GroupBy3(in), out);
    }

    void datesOfDamagedRecordsHaveNoText()
    {
        ContactRecord r;
        r.unikat = 0;
        QCOMPARE(ContactFieldText(45, r), "30.12.1899 0:00:00");
        r.zmena = EncodeDate(2026, 3, 29) + EncodeTime(2, 30, 0, 0) - 1.0 / 86400000 / 4;
        QCOMPARE(ContactFieldText(46, r), "29.3.2026 2:30:00");
        for (double bad : { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                 -std::numeric_limits<double>::infinity(), 1e300, -1e300, 2958466.0, -693594.0 }) {
            r.unikat = bad;
            r.zmena = bad;
            QCOMPARE(ContactFieldText(45, r), QString());
            QCOMPARE(ContactFieldText(46, r), QString());
            QVERIFY(!ContactText(r).isEmpty());
        }
        r.unikat = EncodeDate(9999, 12, 31) + EncodeTime(23, 59, 59, 0);
        QCOMPARE(ContactFieldText(45, r), "31.12.9999 23:59:59");
        // Stored date-times before the year 100 are damage too.
        r.unikat = EncodeDate(100, 1, 1);
        QCOMPARE(ContactFieldText(45, r), "1.1.0100 0:00:00");
        r.unikat = EncodeDate(99, 12, 31);
        QCOMPARE(ContactFieldText(45, r), QString());
    }

    void layoutItems()
    {
        QVERIFY(LayoutContains("2;3;43", "43"));
        QVERIFY(LayoutContains("43", "43"));
        QVERIFY(LayoutContains(";43", "43"));
        QVERIFY(LayoutContains("2;43;", "43"));
        QVERIFY(!LayoutContains("2;430", "43"));
        QVERIFY(!LayoutContains("2;3 ;4", "3"));
        QVERIFY(!LayoutContains("", "43"));
        QVERIFY(!LayoutContains("2;3", ""));
        QVERIFY(LayoutContains("2;;3", ""));
    }

    void columnsFromTheStoredLayoutAndWidths()
    {
        TempProgramFolder dir;
        const QString ini = dir.file("korvelk.ini");
        IniFile settings(ini);
        settings.writeString("Sloupce", "2", "120");
        settings.writeString("Sloupce", "3", "0x40");
        settings.writeString("Sloupce", "31", "0");
        // Damaged values: not a number, negative, beyond any screen.
        settings.writeString("Sloupce", "32", "abc");
        settings.writeString("Sloupce", "33", "-5");
        settings.writeString("Sloupce", "6", "2147483647");
        const QString layout = "2;3;27;31;32;33;6;7;8;43";
        settings.writeString("FKPrehled", "ListSeznam", layout);

        QTreeWidget list;
        list.setColumnCount(3);
        BuildColumns(ini, IniFile(ini).readString("FKPrehled", "ListSeznam", ""), &list);
        QCOMPARE(headerOf(&list),
            QStringList({ u8("jméno"), u8("příjmení"), "firma", "e-mail", "telefon", "mobil", "skupina 1", "skupina 2",
                "skupina 3", u8("číslo") }));
        QCOMPARE(widthsOf(&list), QList<int>({ 120, 64, 75, 0, 75, 75, 10000, 75, 75, 75 }));
        QCOMPARE(ColumnLayout(&list), layout);
        QCOMPARE(NumberColumnIndex(&list), 10);

        // Items naming no field make no column.
        BuildColumns(ini, "0;99;-3;abc;;2;46;47;2", &list);
        QCOMPARE(headerOf(&list), QStringList({ u8("jméno"), "zmena", u8("jméno") }));
        QCOMPARE(ColumnLayout(&list), "2;46;2");
        QCOMPARE(NumberColumnIndex(&list), 0);

        BuildColumns(ini, "", &list);
        QCOMPARE(list.columnCount(), 0);
        QCOMPARE(ColumnLayout(&list), "");
        // No settings file at all: every width is the default.
        BuildColumns(dir.file("missing.ini"), "40;2;3;27;43", &list);
        QCOMPARE(widthsOf(&list), QList<int>({ 75, 75, 75, 75, 75 }));
        QVERIFY(!QFile::exists(dir.file("missing.ini")));
    }

    void columnWidthsRoundTrip()
    {
        TempProgramFolder dir;
        const QString ini = dir.file("korvelk.ini");
        QTreeWidget list;
        BuildColumns(ini, "2;3;43", &list);
        list.setColumnWidth(0, 140);
        list.setColumnWidth(2, 33);
        SaveColumnWidths(ini, &list);
        const IniFile settings(ini);
        QCOMPARE(settings.readSection("Sloupce"), QStringList({ "2", "3", "43" }));
        QCOMPARE(settings.readInteger("Sloupce", "2", -1), 140);
        QCOMPARE(settings.readInteger("Sloupce", "3", -1), 75);
        QCOMPARE(settings.readInteger("Sloupce", "43", -1), 33);

        // Another list with some of the same fields shows them as stored.
        QTreeWidget other;
        BuildColumns(ini, "43;9;2", &other);
        QCOMPARE(widthsOf(&other), QList<int>({ 33, 75, 140 }));

        // A list without columns writes nothing, not even the file.
        const QString none = dir.file("none.ini");
        QTreeWidget empty;
        BuildColumns(ini, "", &empty);
        SaveColumnWidths(none, &empty);
        QVERIFY(!QFile::exists(none));
    }

    void rowsFollowTheColumns()
    {
        TempProgramFolder dir;
        const ContactRecord r = storedContact(dir);
        QTreeWidget list;
        BuildColumns(dir.file("korvelk.ini"), "3;2;32", &list);
        QCOMPARE(NumberColumnIndex(&list), 0);

        QCOMPARE(AddContactRow(&list, r), 1);
        QCOMPARE(headerOf(&list), QStringList({ u8("příjmení"), u8("jméno"), "telefon", u8("číslo") }));
        QCOMPARE(list.columnWidth(3), 20);
        QCOMPARE(NumberColumnIndex(&list), 4);
        ContactRecord second;
        second.cislo = 7;
        second.prijmeni = "Novak";
        QCOMPARE(AddContactRow(&list, second), 1);
        QCOMPARE(list.columnCount(), 4);
        QCOMPARE(list.topLevelItemCount(), 2);

        const QTreeWidgetItem* row = list.topLevelItem(0);
        QCOMPARE(row->text(0), u8("Čermák"));
        QCOMPARE(row->text(1), u8("Jiří"));
        QCOMPARE(row->text(2), "+420 541 123 456;541 999");
        QCOMPARE(row->text(3), "1");
        QCOMPARE(RowContactNumber(&list, row), 1);
        QCOMPARE(list.topLevelItem(1)->text(0), "Novak");
        QCOMPARE(list.topLevelItem(1)->text(1), "");
        QCOMPARE(RowContactNumber(&list, list.topLevelItem(1)), 7);
        QCOMPARE(RowContactNumber(&list, nullptr), 0);
    }

    void aListWithoutColumnsShowsTheNumber()
    {
        // An empty stored layout: the number column alone, with the number in it.
        QTreeWidget list;
        BuildColumns(QString(), "", &list);
        ContactRecord r;
        r.cislo = 12;
        AddContactRow(&list, r);
        QCOMPARE(headerOf(&list), QStringList({ u8("číslo") }));
        QCOMPARE(list.topLevelItem(0)->text(0), "12");
        QCOMPARE(RowContactNumber(&list, list.topLevelItem(0)), 12);
    }

    void unknownColumnsStayEmptyAndCountAsZero()
    {
        QTreeWidget list;
        list.setColumnCount(2);
        list.setHeaderLabels({ "foo", u8("číslo") });
        QCOMPARE(ColumnLayout(&list), "0;43");
        ContactRecord r;
        r.cislo = 3;
        AddContactRow(&list, r);
        QCOMPARE(list.columnCount(), 2);
        QCOMPARE(list.topLevelItem(0)->text(0), "");
        QCOMPARE(list.topLevelItem(0)->text(1), "3");
        // A number cell that holds no number names no contact.
        list.topLevelItem(0)->setText(1, "x");
        QCOMPARE(RowContactNumber(&list, list.topLevelItem(0)), 0);
    }

    void groupComboListsEachGroupOnce()
    {
        TempProgramFolder dir;
        ContactRecord deleted = groups("Zeta");
        deleted.vymazano = true;
        const QString path = fileOf(
            dir, { groups("Rodina;Prace"), groups("PRACE;alfa;;Beta;", "Level2"), deleted, groups(";Rodina") });
        QComboBox* combo = editableCombo();
        combo->addItem("stale");
        combo->setEditText("typed");
        FillGroupCombo(1, combo, path);
        QCOMPARE(itemsOf(combo), QStringList({ "alfa", "Beta", "Prace", "Rodina", "Zeta" }));
        QCOMPARE(combo->currentText(), "typed");

        FillGroupCombo(2, combo, path);
        QCOMPARE(itemsOf(combo), QStringList({ "Level2" }));
        FillGroupCombo(3, combo, path);
        QCOMPARE(itemsOf(combo), QStringList());
        QCOMPARE(combo->currentText(), "typed");

        FillGroupCombo(1, combo, dir.file("none.db1"));
        QCOMPARE(combo->count(), 0);
        delete combo;
    }

    void valueComboListsDistinctItems()
    {
        TempProgramFolder dir;
        ContactRecord a;
        a.firma = "Acme";
        a.email1 = "x@a";
        a.email3 = "y@a";
        ContactRecord b;
        b.firma = "ACME";
        b.email2 = "x@a";
        ContactRecord c;
        c.firma = "Beta";
        const QString path = fileOf(dir, { a, b, c });
        QComboBox* combo = editableCombo();
        FillFieldValueCombo(27, combo, path);
        QCOMPARE(itemsOf(combo), QStringList({ "Acme", "Beta" }));
        QCOMPARE(combo->currentText(), "");
        FillFieldValueCombo(31, combo, path);
        QCOMPARE(itemsOf(combo), QStringList({ "x@a", "y@a" }));
        FillFieldValueCombo(40, combo, path);
        QCOMPARE(itemsOf(combo), QStringList({ "NE" }));
        FillFieldValueCombo(0, combo, path);
        QCOMPARE(combo->count(), 0);
        delete combo;
    }

    void addingKeepsTheTypedText()
    {
        QComboBox* combo = editableCombo();
        combo->setEditText("mine");
        AddListItems("a;b;A", combo);
        QCOMPARE(itemsOf(combo), QStringList({ "a", "b" }));
        QCOMPARE(combo->currentText(), "mine");
        AddListItems(";B;c;", combo);
        QCOMPARE(itemsOf(combo), QStringList({ "a", "b", "c" }));
        QCOMPARE(combo->currentText(), "mine");
        // Czech capitals fold too: "škola" and "ŠKOLA" are one group.
        AddListItems(u8("škola;ŠKOLA;Škola"), combo);
        QCOMPARE(combo->count(), 4);
        delete combo;

        QComboBox list;
        AddListItems("x", &list);
        QCOMPARE(list.currentIndex(), -1);
    }

    void filteringNarrowsTheOtherLevels()
    {
        TempProgramFolder dir;
        const QString path = fileOf(dir,
            { groups("A;B", "X", "P"), groups("A", "Y;X", "Q"), groups("C", "Z", "R"), groups("AB", "W", "S"),
                groups("a", "V", "T"), groups("D", "X", "U") });
        QComboBox* c1 = editableCombo();
        QComboBox* c2 = editableCombo();
        QComboBox* c3 = editableCombo();
        const auto fillAll = [&] {
            FillGroupCombo(1, c1, path);
            FillGroupCombo(2, c2, path);
            FillGroupCombo(3, c3, path);
        };

        // Level 1: the lower levels lose items and text and get the groups
        // met with "A" (not with "AB" or "a").
        fillAll();
        c1->setEditText("A");
        c2->setEditText("W");
        c3->setEditText("S");
        FilterGroupCombos(1, "A", c1, c2, c3, path);
        QCOMPARE(itemsOf(c2), QStringList({ "X", "Y" }));
        QCOMPARE(itemsOf(c3), QStringList({ "P", "Q" }));
        QCOMPARE(c2->currentText(), "");
        QCOMPARE(c3->currentText(), "");
        QCOMPARE(itemsOf(c1), QStringList({ "A", "AB", "B", "C", "D" }));
        QCOMPARE(c1->currentText(), "A");

        // Level 2 with level 1 empty: level 1 narrows too.
        fillAll();
        c1->setEditText("");
        c2->setEditText("X");
        FilterGroupCombos(2, "X", c1, c2, c3, path);
        QCOMPARE(itemsOf(c1), QStringList({ "A", "B", "D" }));
        QCOMPARE(itemsOf(c3), QStringList({ "P", "Q", "U" }));
        QCOMPARE(c2->count(), 5);

        // Level 2 with a level-1 group chosen: level 1 stays as it is.
        fillAll();
        c1->setEditText("C");
        FilterGroupCombos(2, "X", c1, c2, c3, path);
        QCOMPARE(itemsOf(c1), QStringList({ "A", "AB", "B", "C", "D" }));
        QCOMPARE(c1->currentText(), "C");
        QCOMPARE(itemsOf(c3), QStringList({ "P", "Q", "U" }));

        // Level 3: the higher levels narrow while their texts are empty.
        fillAll();
        c1->setEditText("");
        c2->setEditText("V");
        FilterGroupCombos(3, "R", c1, c2, c3, path);
        QCOMPARE(itemsOf(c1), QStringList({ "C" }));
        QCOMPARE(c2->count(), 5);
        QCOMPARE(c2->currentText(), "V");
        QCOMPARE(c3->count(), 6);

        // Nothing for an empty group; an unknown level is level 1.
        fillAll();
        FilterGroupCombos(2, "", c1, c2, c3, path);
        QCOMPARE(c1->count(), 5);
        QCOMPARE(c3->count(), 6);
        FilterGroupCombos(9, "C", c1, c2, c3, path);
        QCOMPARE(itemsOf(c2), QStringList({ "Z" }));
        QCOMPARE(itemsOf(c3), QStringList({ "R" }));
        // A group nobody is in leaves the lower levels empty.
        FilterGroupCombos(1, "nobody", c1, c2, c3, path);
        QCOMPARE(c2->count(), 0);
        QCOMPARE(c3->count(), 0);
        for (QComboBox* c : { c1, c2, c3 })
            delete c;
    }

    void fieldNameCombo()
    {
        QComboBox* combo = editableCombo();
        setTag(combo, 17);
        FillFieldNameCombo(1, FilterFieldCount, 0, combo);
        QCOMPARE(combo->count(), 35);
        QCOMPARE(combo->itemText(0), u8("t.před"));
        QCOMPARE(combo->itemText(34), "*");
        QCOMPARE(combo->currentText(), "");
        QCOMPARE(tag(combo), 17);

        FillFieldNameCombo(1, FilterFieldCount, 3, combo);
        QCOMPARE(combo->currentText(), u8("příjmení"));
        QCOMPARE(combo->currentIndex(), 2);
        QCOMPARE(tag(combo), 3);

        // A stored choice outside the offered codes selects nothing.
        for (int outside : { 35, 99, -1 }) {
            setTag(combo, 5);
            FillFieldNameCombo(1, TextFieldCount, outside, combo);
            QCOMPARE(combo->count(), 34);
            QCOMPARE(combo->currentText(), "");
            QCOMPARE(tag(combo), 5);
        }
        FillFieldNameCombo(30, 29, 30, combo);
        QCOMPARE(combo->count(), 0);
        FillFieldNameCombo(45, 46, 46, combo);
        QCOMPARE(itemsOf(combo), QStringList({ "unikat", "zmena" }));
        QCOMPARE(combo->currentText(), "zmena");
        QCOMPARE(tag(combo), 46);
        delete combo;
    }

    void fillingLetsEventsRunAndSurvivesAClosedCombo()
    {
        TempProgramFolder dir;
        QList<ContactRecord> many;
        for (int i = 0; i < 20; ++i)
            many << groups(QString("g%1").arg(i));
        const QString path = fileOf(dir, many);

        int ticks = 0;
        QTimer ticker;
        ticker.setInterval(0);
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start();
        QComboBox combo;
        FillGroupCombo(1, &combo, path);
        ticker.stop();
        QCOMPARE(combo.count(), 20);
        QVERIFY(ticks >= 1); // at the start, then every few milliseconds

        // The window closes while its combos fill.
        for (int mode = 0; mode < 3; ++mode) {
            QPointer<QComboBox> doomed = editableCombo();
            QComboBox* other = editableCombo();
            QTimer::singleShot(0, doomed, [&] { delete doomed.data(); });
            if (mode == 0)
                FillGroupCombo(1, doomed, path);
            else if (mode == 1)
                FillFieldValueCombo(6, doomed, path);
            else
                FilterGroupCombos(2, "x", other, doomed, other, path);
            QVERIFY(doomed.isNull());
            delete other;
        }
    }
};

QTEST_MAIN(TestContactFields)
#include "tst_contactfields.moc"
