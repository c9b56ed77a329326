#include "shared/listviewtovi.h"
#include "shared/itemlist.h"

#include "platform/inifile.h"
#include "platform/tag.h"
#include "testsupport.h"

#include <QComboBox>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QStyle>
#include <QTest>
#include <QTreeWidget>

namespace {

// A list view with two columns: caption and one sub-item.
void fill(QTreeWidget& lv, const QStringList& captions)
{
    lv.setColumnCount(2);
    lv.clear();
    for (const QString& c : captions)
        lv.addTopLevelItem(new QTreeWidgetItem(QStringList { c, c + "-sub" }));
}

QStringList captions(const QTreeWidget& lv)
{
    QStringList r;
    for (int i = 0; i < lv.topLevelItemCount(); ++i)
        r << lv.topLevelItem(i)->text(0);
    return r;
}

QStringList subItems(const QTreeWidget& lv)
{
    QStringList r;
    for (int i = 0; i < lv.topLevelItemCount(); ++i)
        r << lv.topLevelItem(i)->text(1);
    return r;
}

QStringList selected(const QTreeWidget& lv)
{
    QStringList r;
    for (int i = 0; i < lv.topLevelItemCount(); ++i)
        if (lv.topLevelItem(i)->isSelected())
            r << lv.topLevelItem(i)->text(0);
    return r;
}

void select(QTreeWidget& lv, std::initializer_list<int> rows)
{
    lv.clearSelection();
    for (int r : rows)
        lv.topLevelItem(r)->setSelected(true);
}

QStringList comboItems(const QComboBox& c)
{
    QStringList r;
    for (int i = 0; i < c.count(); ++i)
        r << c.itemText(i);
    return r;
}

} // namespace

class TestListViewTovi : public QObject {
    Q_OBJECT
private slots:
    // A caption wider than its column keeps the column's margins on both
    // sides: it is cut at its end with "…", with or without a picture,
    // centred or not; one that fits is drawn whole.
    void headerCaptionsEndInAnEllipsis()
    {
        QTreeWidget list;
        list.setColumnCount(3);
        list.setHeaderLabels({ QStringLiteral("WWWWWWWWWW"), QStringLiteral("WWWWWWWWWW"), QStringLiteral("ab") });
        list.headerItem()->setTextAlignment(1, Qt::AlignCenter);
        QPixmap picture(12, 12);
        picture.fill(Qt::transparent);
        list.headerItem()->setIcon(1, QIcon(picture));
        list.header()->setStretchLastSection(false);
        list.header()->setMinimumSectionSize(0);
        for (int c = 0; c < 3; ++c)
            list.setColumnWidth(c, c == 1 ? 72 : 48);
        ElideHeaderCaptions(&list);
        ElideHeaderCaptions(&list); // once is enough, twice is harmless
        list.resize(200, 100);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const QImage shot = list.header()->grab().toImage();
        const int margin = list.header()->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, list.header());
        const auto darkColumn = [&shot](int x) {
            for (int y = 2; y < shot.height() - 2; ++y)
                if (shot.pixelColor(x, y).lightness() < 80)
                    return true;
            return false;
        };
        for (int c = 0; c < 2; ++c) {
            const int left = list.header()->sectionViewportPosition(c);
            const int right = left + list.header()->sectionSize(c) - 1;
            int ink = 0;
            for (int x = left + 2; x <= right - 2; ++x)
                ink += darkColumn(x);
            QVERIFY2(ink > 8, qPrintable(QString::number(c)));
            for (int x = right - 3; x <= right - 2; ++x)
                QVERIFY2(!darkColumn(x), qPrintable(QStringLiteral("column %1 at %2").arg(c).arg(x)));
            if (c == 1)
                for (int x = left + 2; x < left + margin + 12; ++x)
                    QVERIFY2(!darkColumn(x), qPrintable(QStringLiteral("picture room at %1").arg(x)));
        }
        QCOMPARE(list.headerItem()->text(0), QStringLiteral("WWWWWWWWWW")); // only the drawing is cut
    }

    void comboTextIndexFindsTheLastEqualItem()
    {
        QComboBox combo;
        combo.setEditable(true);
        combo.addItems({ "jednou", "Denně", "DENNĚ", "denně" });
        int index = -5;
        combo.setEditText("DENNě");
        // Accented letters must match exactly: "ě" vs "Ě" differ.
        QVERIFY(ComboTextIndex(&combo, index));
        QCOMPARE(index, 4);
        combo.setEditText("JEDNOU");
        QVERIFY(ComboTextIndex(&combo, index));
        QCOMPARE(index, 1);

        QVERIFY(ComboIndexOf("denně", &combo, index));
        QCOMPARE(index, 1);
        QVERIFY(!ComboIndexOf("dennĚ ", &combo, index));
        QCOMPARE(index, -1);
    }

    void comboTextIndexRefocusesAfterTheFocusChange()
    {
        QWidget form;
        auto* combo = new QComboBox(&form);
        combo->setEditable(true);
        combo->addItems({ "a", "" });
        auto* other = new QLineEdit(&form);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        other->setFocus();
        QVERIFY(other->hasFocus());

        for (const QString& text : { QString(), QString("x") }) {
            combo->setEditText(text);
            int index = -1;
            QVERIFY(!ComboTextIndex(combo, index)); // an empty text never matches the empty item
            QCOMPARE(index, 0);
            // Deferred: the focus moves only once the event loop runs.
            QVERIFY(other->hasFocus());
            QTRY_VERIFY(combo->hasFocus());
            other->setFocus();
        }
    }

    void matchingIgnoresAsciiCaseOnly()
    {
        QComboBox combo;
        combo.addItems({ "Šablona", "abc" });
        QVERIFY(ItemsContain("ABC", &combo));
        QVERIFY(ItemsContain("šABLONA", &combo) == false);
        QVERIFY(ItemsContain("ŠABLONA", &combo));

        QListWidget list;
        list.addItems({ "/home/Zvuky", "č" });
        QVERIFY(ItemsContain("/HOME/zvuky", &list));
        QVERIFY(!ItemsContain("Č", &list));
        QVERIFY(!ItemsContain("", &list));

        QTreeWidget lv;
        fill(lv, { "Jméno", "Příjmení" });
        QVERIFY(ListViewContainsCaption("jMÉNO", &lv) == false);
        QVERIFY(ListViewContainsCaption("JMéNO", &lv));
        QVERIFY(!ListViewContainsCaption("Jméno-sub", &lv));
    }

    void columnWidthsAreTruncatedShares()
    {
        QTreeWidget lv;
        lv.setColumnCount(3);
        lv.header()->setStretchLastSection(false);
        lv.resize(301, 100);
        SetColumnWidths(&lv, 3, { 2, 1 });
        QCOMPARE(lv.columnWidth(0), 200); // 2/3 · 301 = 200.67
        QCOMPARE(lv.columnWidth(1), 100); // 100.33
        const int third = lv.columnWidth(2);

        // Total 0 changes nothing; more shares than columns are ignored.
        SetColumnWidths(&lv, 0, { 1, 1 });
        QCOMPARE(lv.columnWidth(0), 200);
        SetColumnWidths(&lv, 10, { 1, 1, 1, 5, 5 });
        QCOMPARE(lv.columnWidth(0), 30);
        QCOMPARE(lv.columnWidth(2), 30);
        QVERIFY(third != 30);

        QTreeWidget none;
        none.setColumnCount(0);
        SetColumnWidths(&none, 3, { 1 }); // must not touch a missing column
    }

    void moveSelectedLandsWhereAsked()
    {
        QTreeWidget lv;
        fill(lv, { "A", "B", "C", "D" });

        select(lv, { 1 });
        MoveSelected(&lv, 1);
        QCOMPARE(captions(lv), QStringList({ "A", "C", "B", "D" }));
        QCOMPARE(subItems(lv), QStringList({ "A-sub", "C-sub", "B-sub", "D-sub" }));
        QCOMPARE(selected(lv), QStringList({ "B" }));

        MoveSelected(&lv, -2);
        QCOMPARE(captions(lv), QStringList({ "B", "A", "C", "D" }));
        QCOMPARE(selected(lv), QStringList({ "B" }));

        MoveSelected(&lv, -1); // first stays first
        QCOMPARE(captions(lv), QStringList({ "B", "A", "C", "D" }));
        QCOMPARE(selected(lv), QStringList({ "B" }));

        MoveSelected(&lv, 10); // clamped to the end
        QCOMPARE(captions(lv), QStringList({ "A", "C", "D", "B" }));
        MoveSelected(&lv, 1); // last stays last
        QCOMPARE(captions(lv), QStringList({ "A", "C", "D", "B" }));
        QCOMPARE(selected(lv), QStringList({ "B" }));

        // Only the first of several selected items moves; it alone stays selected.
        select(lv, { 0, 2 });
        MoveSelected(&lv, 2);
        QCOMPARE(captions(lv), QStringList({ "C", "D", "A", "B" }));
        QCOMPARE(selected(lv), QStringList({ "A" }));

        // Nothing selected or delta 0: nothing happens.
        lv.clearSelection();
        MoveSelected(&lv, 1);
        select(lv, { 1 });
        MoveSelected(&lv, 0);
        QCOMPARE(captions(lv), QStringList({ "C", "D", "A", "B" }));

        QTreeWidget empty;
        MoveSelected(&empty, 1);
        QCOMPARE(empty.topLevelItemCount(), 0);
    }

    void copySelectedItemsInListOrder()
    {
        QTreeWidget source;
        QTreeWidget target;
        fill(source, { "A", "B", "C", "D", "E" });
        fill(target, { "X" });

        CopySelectedItems(&source, &target, false); // none selected
        QCOMPARE(captions(target), QStringList({ "X" }));

        // Adjacent selected rows: the scan after a removal must not skip one.
        select(source, { 3, 1, 2 });
        CopySelectedItems(&source, &target, true);
        QCOMPARE(captions(target), QStringList({ "X", "B", "C", "D" }));
        QCOMPARE(subItems(target), QStringList({ "X-sub", "B-sub", "C-sub", "D-sub" }));
        QCOMPARE(captions(source), QStringList({ "A", "E" }));
        QVERIFY(selected(target).isEmpty());

        select(source, { 0, 1 });
        CopySelectedItems(&source, &target, false);
        CopySelectedItems(&source, &target, false); // the same field may be added twice
        QCOMPARE(captions(source), QStringList({ "A", "E" }));
        QCOMPARE(captions(target), QStringList({ "X", "B", "C", "D", "A", "E", "A", "E" }));
    }

    void numberedListsRoundTrip()
    {
        TempProgramFolder dir;
        const QString ini = dir.iniPath();
        QTreeWidget lv;
        fill(lv, { "\\zvuky", "/home/já/Zvuky", "c", "d", "e" });
        SaveListToIni(ini, "ZvukAdr", "pocet", &lv);
        fill(lv, { "jedna", "dvě" });
        SaveListToIni(ini, "ZvukAdr", "pocet", &lv);

        const IniFile file(ini);
        QCOMPARE(file.readInteger("ZvukAdr", "pocet", -1), 2);
        QCOMPARE(file.readString("ZvukAdr", "1", ""), QString("jedna"));
        QCOMPARE(file.readString("ZvukAdr", "2", ""), QString("dvě"));
        QCOMPARE(file.readString("ZvukAdr", "3", ""), QString("c")); // stale, ignored

        QTreeWidget loaded;
        fill(loaded, { "old" });
        LoadListFromIni(ini, "zvukadr", "POCET", false, &loaded);
        QCOMPARE(captions(loaded), QStringList({ "old", "jedna", "dvě" }));
        LoadListFromIni(ini, "ZvukAdr", "pocet", true, &loaded);
        QCOMPARE(captions(loaded), QStringList({ "jedna", "dvě" }));

        QCOMPARE(readFileBytes(ini),
                 QByteArray("[ZvukAdr]\r\npocet=2\r\n1=jedna\r\n2=dv\xec\r\n3=c\r\n4=d\r\n5=e\r\n"));
    }

    void comboFromIni()
    {
        TempProgramFolder dir;
        const QString ini = dir.iniPath();
        writeFileBytes(ini, "[Seznam]\r\npocet=3\r\n1=prvn\xed\r\n3=t\xf8" "et\xed\r\ntext=jin\xfd\r\n"
                            "[Nula]\r\npocet=0\r\n1=x\r\n[Zaporne]\r\npocet=-4\r\n[Vadne]\r\npocet=abc\r\n1=x\r\n");
        QComboBox combo;
        combo.setEditable(true);
        combo.addItems({ "stará" });

        LoadComboFromIni(ini, "Seznam", "pocet", true, false, &combo);
        QCOMPARE(comboItems(combo), QStringList({ "stará", "první", "", "třetí" }));
        QCOMPARE(combo.currentText(), QString("jiný"));

        LoadComboFromIni(ini, "Seznam", "pocet", false, true, &combo);
        QCOMPARE(comboItems(combo), QStringList({ "první", "", "třetí" }));

        // No count, a zero, negative or unreadable one: the combo stays, even with clearFirst.
        for (const char* section : { "Nula", "Zaporne", "Vadne", "Chybi" }) {
            LoadComboFromIni(ini, section, "pocet", true, true, &combo);
            QCOMPARE(comboItems(combo).size(), 3);
        }

        // A non-editable combo shows the stored text by selecting it.
        QComboBox fixed;
        writeFileBytes(ini, "[S]\r\nn=2\r\n1=a\r\n2=b\r\ntext=b\r\n");
        LoadComboFromIni(ini, "S", "n", true, true, &fixed);
        QCOMPARE(fixed.currentIndex(), 1);
    }

    void sortItemsNoCaseInCzechOrder()
    {
        const QStringList unsorted = { "Chata", "hrad", "čas", "Cesta", "dům", "Alena", "alena", "ŘEKA", "rak", "Z" };
        const QStringList sorted = { "Alena", "alena", "Cesta", "čas", "dům", "hrad", "Chata", "rak", "ŘEKA", "Z" };
        QComboBox combo;
        combo.setEditable(true);
        for (int i = 0; i < unsorted.size(); ++i)
            combo.addItem(unsorted[i], i);
        combo.setEditText("napsaný text");
        SortItemsNoCase(&combo);
        QStringList texts = comboItems(combo);
        // Equal keys may come in either order; compare the keys.
        QCOMPARE(QString(texts.join(",")).toLower(), sorted.join(",").toLower());
        for (int i = 0; i < combo.count(); ++i)
            QCOMPARE(combo.itemData(i).toInt(), int(unsorted.indexOf(combo.itemText(i))));
        QCOMPARE(combo.currentText(), QString("napsaný text"));

        QListWidget list;
        list.addItems(unsorted);
        list.item(0)->setData(Qt::UserRole, 42);
        SortItemsNoCase(&list);
        texts.clear();
        for (int i = 0; i < list.count(); ++i)
            texts << list.item(i)->text();
        QCOMPARE(texts.join(",").toLower(), sorted.join(",").toLower());
        QCOMPARE(list.item(6)->data(Qt::UserRole).toInt(), 42); // "Chata" moved with its data

        QComboBox one;
        one.addItem("x");
        SortItemsNoCase(&one);
        QCOMPARE(comboItems(one), QStringList({ "x" }));
    }

    void tagIsAnIntegerPerObject()
    {
        QComboBox a;
        QComboBox b;
        QCOMPARE(tag(&a), 0);
        setTag(&a, -43);
        setTag(&b, 2);
        QCOMPARE(tag(&a), -43);
        QCOMPARE(tag(&b), 2);
    }
};

QTEST_MAIN(TestListViewTovi)
#include "tst_listviewtovi.moc"
