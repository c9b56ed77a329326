#include "platform/cp1250.h"

#include <QTest>

class TestCp1250 : public QObject {
    Q_OBJECT
private slots:
    void czechLetters()
    {
        const QString letters = QStringLiteral("ěščřžýáíéůúňťďĚŠČŘŽÝÁÍÉŮÚŇŤĎ");
        const QByteArray bytes = QByteArray::fromHex("ec9ae8f89efde1ede9f9faf29defcc8ac8d88eddc1cdc9d9dad28dcf");
        QCOMPARE(Cp1250::encode(letters), bytes);
        QCOMPARE(Cp1250::decode(bytes), letters);
    }
    void everyByteRoundTrips()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = Cp1250::decode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(Cp1250::encode(text), all);
        // The unassigned bytes stay themselves as C1 controls.
        QCOMPARE(text[0x81].unicode(), 0x81);
        QCOMPARE(text[0x98].unicode(), 0x98);
        QCOMPARE(text[0x80], QChar(0x20AC));
        QCOMPARE(text[0xFF], QChar(0x02D9));
    }
    void missingCharactersBecomeQuestionMarks()
    {
        // "€" exists in the code page; the smiley, "ß"'s cousin "ẞ" and an
        // emoji outside the BMP (two UTF-16 units, one "?") do not.
        const QString text = QStringLiteral("a€b☺cẞd") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("e");
        QCOMPARE(Cp1250::encode(text), QByteArray("a\x80" "b?c?d?e"));
        QCOMPARE(Cp1250::byteLength(text), 9);
        // A lone surrogate is one "?" too.
        QCOMPARE(Cp1250::encode(QString(QChar(0xD800))), QByteArray("?"));
    }

    // Exactly the texts that encode without a "?" of their own making.
    void canEncode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("empty") << QString() << true;
        QTest::newRow("czech path") << QStringLiteral("/home/jiří/Dokumenty/žluťoučký kůň.wav") << true;
        QTest::newRow("code page extras") << QStringLiteral("€‰„ˇ˙") << true;
        QTest::newRow("own question mark") << QStringLiteral("co?.wav") << true;
        QTest::newRow("arrow") << QStringLiteral("Dokumenty→data") << false;
        QTest::newRow("letter of another page") << QStringLiteral("/tmp/ẞ") << false;
        QTest::newRow("outside the BMP") << (QStringLiteral("a") + QString::fromUcs4(U"\U0001F600")) << false;
        QTest::newRow("lone surrogate") << QString(QChar(0xDC00)) << false;
    }

    void canEncode()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QCOMPARE(Cp1250::canEncode(text), expected);
        // Whatever it says agrees with a round trip.
        QCOMPARE(Cp1250::decode(Cp1250::encode(text)) == text, expected);
    }
};

QTEST_GUILESS_MAIN(TestCp1250)
#include "tst_cp1250.moc"
