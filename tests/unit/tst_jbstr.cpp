#include "shared/jbstr.h"

#include "platform/cp1250.h"

#include <QTest>

class TestJbStr : public QObject {
    Q_OBJECT
private slots:
    void letterTablesPairTheCodePageBytes()
    {
        const QString lower = Cp1250::decode("\xFC\xE9\xEF\xE4\xE8\xEC\xE5\xBE\x9E\xF4\xF6\xF9\xFD\x9D\xE1\xED\xF3\xFA"
                                             "\xF2\x9A\xF8\xE0");
        const QString upper = Cp1250::decode("\xDC\xC9\xCF\xC4\xC8\xCC\xC5\xBC\x8E\xD4\xD6\xD9\xDD\x8D\xC1\xCD\xD3\xDA"
                                             "\xD2\x8A\xD8\xC0");
        QCOMPARE(CzechUpperCase(lower), upper);
        QCOMPARE(CzechLowerCase(upper), lower);
        QCOMPARE(CzechUpperCase(upper), upper);
        QCOMPARE(CzechLowerCase(lower), lower);
        QCOMPARE(CzechUpperCase("abcxyz ABC 09@[`{"), QString("ABCXYZ ABC 09@[`{"));
        QCOMPARE(CzechLowerCase("ABCXYZ abc 09@[`{"), QString("abcxyz abc 09@[`{"));
    }

    void czechWordsRoundTripAndOtherLettersStay()
    {
        QCOMPARE(CzechUpperCase("příjmení"), QString("PŘÍJMENÍ"));
        QCOMPARE(CzechLowerCase("PŘÍJMENÍ"), QString("příjmení"));
        // Letters outside the tables, of the code page or not, are never changed.
        for (const QString& s : { QString("łŁőŐąĄśŚźŹżŻűŰăĂçÇßëËîÎ"), QString("дДσΣñÑ") }) {
            QCOMPARE(CzechUpperCase(s), s);
            QCOMPARE(CzechLowerCase(s), s);
        }
        QCOMPARE(CzechUpCase(u'ł'), QChar(u'ł'));
        QCOMPARE(CzechLowCase(u'Ő'), QChar(u'Ő'));
        QCOMPARE(CzechUpCase(u'ŕ'), QChar(u'Ŕ'));
        QCOMPARE(CzechLowCase(u'Ü'), QChar(u'ü'));
    }

    void longTextsAreHandledWhole()
    {
        const QString lower = QString("žluťoučký kůň ").repeated(40); // 560 characters
        const QString upper = CzechUpperCase(lower);
        QCOMPARE(upper.size(), lower.size());
        QCOMPARE(upper, QString("ŽLUŤOUČKÝ KŮŇ ").repeated(40));
        const QString quoted = QString("\"a\"").repeated(100);
        QCOMPARE(RemoveChar(u'"', quoted), QString(100, u'a'));
    }

    void padLeftNeverShortens()
    {
        QCOMPARE(PadLeft("7", u'0', 2), QString("07"));
        QCOMPARE(PadLeft("", u' ', 3), QString("   "));
        QCOMPARE(PadLeft("12345", u'0', 2), QString("12345"));
        QCOMPARE(PadLeft("ab", u'x', 2), QString("ab"));
        QCOMPARE(PadLeft("ab", u'x', -1), QString("ab"));
    }

    void wordsBetweenSeparators()
    {
        const CharSet dateTime(u" .:");
        QCOMPARE(WordCount("8.12.2026 9:05", dateTime), 5);
        QCOMPARE(ExtractWord(1, "8.12.2026 9:05", dateTime), QString("8"));
        QCOMPARE(ExtractWord(3, "8.12.2026 9:05", dateTime), QString("2026"));
        QCOMPARE(ExtractWord(5, "8.12.2026 9:05", dateTime), QString("05"));
        QCOMPARE(ExtractWord(6, "8.12.2026 9:05", dateTime), QString());
        QCOMPARE(ExtractWord(0, "8.12.2026 9:05", dateTime), QString());

        QCOMPARE(WordCount(" .: ..", dateTime), 0);
        QCOMPARE(ExtractWord(1, " .: ..", dateTime), QString());
        QCOMPARE(WordCount("", dateTime), 0);

        // Leading, trailing and repeated separators make no empty words.
        const CharSet semicolon(u";");
        QCOMPARE(WordCount(";;a;;bé;c;;", semicolon), 3);
        QCOMPARE(ExtractWord(2, ";;a;;bé;c;;", semicolon), QString("bé"));
        QCOMPARE(ExtractWord(3, ";;a;;bé;c;;", semicolon), QString("c"));
        QCOMPARE(WordCount("abc", CharSet()), 1);

        QCOMPARE(WordCount(QString("x ").repeated(300), CharSet(u" ")), 300);
    }

    void separatorsAreCodePageCharacters()
    {
        // A separator the code page has matches only itself; one it lacks is
        // no member (it would otherwise stand for "?").
        const CharSet set(u"š☺");
        QVERIFY(set.contains(u'š'));
        QVERIFY(!set.contains(u'☺'));
        QVERIFY(!set.contains(u'?'));
        QVERIFY(!set.contains(u's'));
        QVERIFY(!CharSet(u"?").contains(u'☺'));
        QCOMPARE(WordCount("ašb☺c", set), 2);
        QCOMPARE(ExtractWord(2, "ašb☺c", set), QString("b☺c"));
    }

    void removeCharKeepsTheOrder()
    {
        QCOMPARE(RemoveChar(u'"', "\"Jméno\""), QString("Jméno"));
        QCOMPARE(RemoveChar(u'"', "a\"b\"\"c"), QString("abc"));
        QCOMPARE(RemoveChar(u'x', "abc"), QString("abc"));
        QCOMPARE(RemoveChar(u'x', ""), QString());
        // Case matters.
        QCOMPARE(RemoveChar(u'a', "AaAa"), QString("AA"));
    }
};

QTEST_GUILESS_MAIN(TestJbStr)
#include "tst_jbstr.moc"
