#include "shared/itemlist.h"

#include <QTest>

class TestItemList : public QObject {
    Q_OBJECT
private slots:
    void countAndExtractItems()
    {
        QCOMPARE(ItemCount("", u';'), 0);
        QCOMPARE(ItemCount("a", u';'), 1);
        QCOMPARE(ItemCount(";", u';'), 1);
        QCOMPARE(ItemCount("a;b;", u';'), 2);
        QCOMPARE(ItemCount("a;;c", u';'), 3);
        QCOMPARE(ItemCount(";a", u';'), 2);

        QCOMPARE(ExtractItem("a;;c", u';', 1), QString("a"));
        QCOMPARE(ExtractItem("a;;c", u';', 2), QString());
        QCOMPARE(ExtractItem("a;;c", u';', 3), QString("c"));
        QCOMPARE(ExtractItem("a;;c", u';', 4), QString());
        QCOMPARE(ExtractItem("a;;c", u';', 0), QString());
        QCOMPARE(ExtractItem("skupina;přátelé", u';', 2), QString("přátelé"));
        QCOMPARE(ExtractItem("a;b;", u';', 2), QString("b"));
        QCOMPARE(ExtractItem("a;b;", u';', 3), QString());
        // A text of at most one character is its own item, separator or not.
        QCOMPARE(ExtractItem(";", u';', 1), QString(";"));
        QCOMPARE(ExtractItem("x", u';', 5), QString("x"));
        QCOMPARE(ExtractItem("", u';', 1), QString());
    }

    void trimAndFindItems()
    {
        QCOMPARE(TrimSeparators(";a;b;", u';'), QString("a;b"));
        QCOMPARE(TrimSeparators(";;a;;", u';'), QString(";a;"));
        QCOMPARE(TrimSeparators(";;", u';'), QString());
        QCOMPARE(TrimSeparators(";", u';'), QString(";"));
        QCOMPARE(TrimSeparators("ab", u';'), QString("ab"));

        QVERIFY(ListHasItem(";Rodina;Práce;", "RODINA", u';'));
        QVERIFY(ListHasItem(";Rodina;Práce;", "pRáCE", u';'));
        QVERIFY(ListHasItem(";Rodina;Práce;", "PRÁCE", u';')); // Czech letters fold too
        QVERIFY(!ListHasItem(";Rodina;Práce;", "Prace", u';')); // but keep their accents
        QVERIFY(!ListHasItem(";Rodina;Práce;", "Rod", u';'));
        QVERIFY(!ListHasItem(";Rodina;Práce;", "", u';'));
        QVERIFY(!ListHasItem("", "a", u';'));
        QVERIFY(!ListHasItem(";", "a", u';'));
        QVERIFY(ListHasItem("x", "X", u';'));
        // An empty item inside the list is never found, an empty text is not asked for.
        QVERIFY(!ListHasItem("a;;b", "", u';'));
    }

    void removeListItem_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("left");
        QTest::newRow("middle") << "a;Práce;b" << "PRÁCE" << "a;b";
        QTest::newRow("first and last") << "x;a;X" << "x" << "a";
        QTest::newRow("empty items go") << ";a;;b;" << "c" << "a;b";
        QTest::newRow("accents kept") << "Práce" << "Prace" << "Práce";
        QTest::newRow("the only one") << "a" << "A" << "";
    }

    void removeListItem()
    {
        QFETCH(QString, list);
        QFETCH(QString, item);
        QFETCH(QString, left);
        QCOMPARE(RemoveListItem(list, item, u';'), left);
        QCOMPARE(StripStar("*" + list), list);
        QCOMPARE(StripStar(list), list);
    }

    void czechCollation()
    {
        QVERIFY(StrLess("hrad", "chata")); // "ch" follows "h"
        QVERIFY(!StrLess("chata", "hrad"));
        QVERIFY(StrLess("cesta", "čas"));
        QVERIFY(StrLess("čas", "dům"));
        QVERIFY(StrLess("rak", "řeka"));
        QVERIFY(StrLess("zed", "žába"));
        QVERIFY(StrLess("a", "b"));
        QVERIFY(!StrLess("abc", "abc"));
        QVERIFY(StrLess("", "a"));
    }

    // The word sort: hyphens and apostrophes count only between otherwise equal words.
    void wordSort_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::newRow("apostrophe ignored") << "d'Artagnan"
                                            << "dArtagnana";
        QTest::newRow("apostrophe, other side") << "dArtagnam"
                                                << "d'Artagnan";
        QTest::newRow("hyphen ignored") << "e-mail"
                                        << "emailer";
        QTest::newRow("hyphen not before letters") << "emaik"
                                                   << "e-mail";
        QTest::newRow("hyphen and ch") << "h-rad"
                                       << "chata";
        QTest::newRow("apostrophe and diacritics") << "c'esta"
                                                   << "čas";
        QTest::newRow("tie: fewer breaks first") << "email"
                                                 << "e-mail";
        QTest::newRow("tie: one break before two") << "e-mail"
                                                   << "e-ma-il";
        QTest::newRow("only breaks") << ""
                                     << "-'-";
    }

    void wordSort()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QVERIFY(StrLess(a, b));
        QVERIFY(!StrLess(b, a));
    }

    void czechContainsText()
    {
        QVERIFY(CzechContainsText("aab", "aaab"));
        QVERIFY(CzechContainsText("ŽLUŤ", "žluťoučký"));
        QVERIFY(CzechContainsText("Kůň", "ŽLUŤOUČKÝ KŮŇ"));
        QVERIFY(!CzechContainsText("", "abc"));
        QVERIFY(!CzechContainsText("", ""));
        QVERIFY(!CzechContainsText("abcd", "abc"));
        QVERIFY(CzechContainsText("abc", "abc"));
        QVERIFY(!CzechContainsText("Ł", "ł")); // outside the Czech pairs
        QVERIFY(!CzechContainsText("b a", "ab"));
    }

    void replaceAll_data()
    {
        QTest::addColumn<QString>("s");
        QTest::addColumn<QString>("old");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("result");
        QTest::newRow("every separator once") << "a;b;;c;" << ";" << "|" << "a|b||c|";
        QTest::newRow("run of separators whole") << "a;;;b" << ";;" << "; ;" << "a; ; ;b";
        QTest::newRow("longer run") << ";;;;" << ";;" << "; ;" << "; ; ; ;";
        QTest::newRow("longer text containing old") << "xax" << "a" << "aa" << "xaax";
        QTest::newRow("old at both ends") << "abXab" << "ab" << "abab" << "ababXabab";
        QTest::newRow("pairs removed at the start") << "ababc" << "ab" << "" << "c";
        QTest::newRow("removal joins a new pair") << "aabb" << "ab" << "" << "";
        QTest::newRow("case-sensitive") << "AbabAB" << "ab" << "-" << "Ab-AB";
        QTest::newRow("empty old") << "abc" << "" << "x" << "abc";
        QTest::newRow("no match") << "abc" << "d" << "x" << "abc";
        QTest::newRow("line breaks removed") << "a\r\nb\n" << "\n" << "" << "a\rb";
        QTest::newRow("same length") << "aaa" << "aa" << "aa" << "aaa";
    }

    void replaceAll()
    {
        QFETCH(QString, s);
        QFETCH(QString, old);
        QFETCH(QString, replacement);
        QFETCH(QString, result);
        QCOMPARE(ReplaceAll(s, old, replacement), result);
    }

    void replaceAllEndsOnLongInput()
    {
        const QString s = QString(";").repeated(5000);
        const QString r = ReplaceAll(s, ";;", "; ;");
        QCOMPARE(r.size(), 5000 + 4999);
        QCOMPARE(r.count(u' '), 4999);
    }
};

QTEST_GUILESS_MAIN(TestItemList)
#include "tst_itemlist.moc"
