// String tables in the "STR0" layout: bytes against hand-computed offsets,
// lookup by id, the search in a module and then the program's own, every
// error text, damaged and hostile tables; the kit's two tables and its date
// rules.
#include "components/kiterrors.h"
#include "components/kitsrmgr.h"
#include "components/kitutil.h"

#include <QRandomGenerator>
#include <QTest>
#include <QtEndian>

#include <functional>

namespace {

QByteArray Le32(qint64 v)
{
    char b[4];
    qToLittleEndian(quint32(v), b);
    return QByteArray(b, 4);
}

// Header and entries as given, then the raw text bytes.
QByteArray Table(
    const QByteArray& signature, qint64 count, const QList<std::array<qint64, 3>>& entries, const QByteArray& texts)
{
    QByteArray b = signature + Le32(count);
    for (const auto& e : entries)
        b += Le32(e[0]) + Le32(e[1]) + Le32(e[2]);
    return b + texts;
}

// The message of the error f raises; "none" when it raises nothing.
QString ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const ETpsStringResourceError& e) {
        return e.message();
    }
    return QStringLiteral("none");
}

const QString Invalid = QStringLiteral("Invalid string resource");

} // namespace

class TestStrResources : public QObject {
    Q_OBJECT

private slots:
    void layoutOfABuiltTable()
    {
        // 8 bytes of header, 12 per entry, then "Ab" at 32 and "č" at 36.
        const QByteArray expected = QByteArray("STR0", 4)
            + QByteArray::fromHex("02000000"
                                  "01000000"
                                  "20000000"
                                  "02000000"
                                  "07000000"
                                  "24000000"
                                  "01000000"
                                  "41006200"
                                  "0d01");
        QCOMPARE(BuildStringTable({ { 7, QStringLiteral("č") }, { 1, QStringLiteral("Ab") } }), expected);
        QCOMPARE(BuildStringTable({}), QByteArray("STR0\0\0\0\0", 8));
    }

    void readsTextsById()
    {
        RcData::Register(QStringLiteral("TestModule"), QStringLiteral("T1"),
            BuildStringTable({ { -4, QStringLiteral("minus") }, { 1, QStringLiteral("Ab") },
                { 7, QStringLiteral("žluťoučký kůň") }, { 9, QString() }, { 1000000, QStringLiteral("big") } }));
        // Module and name compare without regard to case.
        TKitStringResource t(QStringLiteral("testmodule"), QStringLiteral("t1"));
        QCOMPARE(t.GetString(1), QStringLiteral("Ab"));
        QCOMPARE(t.GetString(7), QStringLiteral("žluťoučký kůň"));
        QCOMPARE(t.GetString(-4), QStringLiteral("minus"));
        QCOMPARE(t.GetString(1000000), QStringLiteral("big"));
        QCOMPARE(t.GetString(9), QString());
        QCOMPARE(t.GetString(3), QString());
        QVERIFY(!t.RaiseOnMissing());
        t.SetRaiseOnMissing(true);
        QCOMPARE(ErrorOf([&] { t.GetString(3); }), QStringLiteral("String not found: 3"));
        QCOMPARE(ErrorOf([&] { t.GetString(-77); }), QStringLiteral("String not found: -77"));
        QCOMPARE(t.GetString(9), QString());
        // Reopened on another table.
        RcData::Register(QString(), QStringLiteral("T2"), BuildStringTable({ { 1, QStringLiteral("jiná") } }));
        t.OpenTable(QStringLiteral("TestModule"), QStringLiteral("T2"));
        QCOMPARE(t.GetString(1), QStringLiteral("jiná"));
    }

    void looksInTheModuleThenInTheProgram()
    {
        RcData::Register(QString(), QStringLiteral("SHARED"), BuildStringTable({ { 1, QStringLiteral("program") } }));
        RcData::Register(
            QStringLiteral("Lang"), QStringLiteral("SHARED"), BuildStringTable({ { 1, QStringLiteral("module") } }));
        QCOMPARE(TKitStringResource(QStringLiteral("Lang"), QStringLiteral("shared")).GetString(1),
            QStringLiteral("module"));
        QCOMPARE(TKitStringResource(QStringLiteral("Other"), QStringLiteral("shared")).GetString(1),
            QStringLiteral("program"));
        QCOMPARE(TKitStringResource(QString(), QStringLiteral("shared")).GetString(1), QStringLiteral("program"));
        QCOMPARE(ErrorOf([] { TKitStringResource(QStringLiteral("Lang"), QStringLiteral("NOPE")); }),
            QStringLiteral("String resource not found: NOPE"));
        // The name is cut to the 255 characters its buffer held.
        const QString longName = QString(300, u'x');
        QCOMPARE(ErrorOf([&] { TKitStringResource(QString(), longName); }),
            QStringLiteral("String resource not found: ") + QString(255, u'x'));
    }

    void aClosedTableCannotBeLocked()
    {
        TKitStringResource none { QString(), QString() };
        QCOMPARE(ErrorOf([&] { none.GetString(1); }), QStringLiteral("Cannot lock resource"));
        TKitStringResource t(QString(), QStringLiteral("KIT_STRINGS_ENGLISH"));
        QCOMPARE(t.GetString(0), QStringLiteral("Black"));
        t.CloseTable();
        QCOMPARE(ErrorOf([&] { t.GetString(0); }), QStringLiteral("Cannot lock resource"));
        // A failed open leaves the table closed.
        t.OpenTable(QString(), QStringLiteral("KIT_STRINGS_ENGLISH"));
        QVERIFY(ErrorOf([&] { t.OpenTable(QString(), QStringLiteral("MISSING")); }) != QStringLiteral("none"));
        QCOMPARE(ErrorOf([&] { t.GetString(0); }), QStringLiteral("Cannot lock resource"));
    }

    void hostileTables_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("atOpen");
        QTest::addColumn<qint32>("id");
        QTest::addColumn<QString>("atRead");
        QTest::addColumn<QString>("text");
        const QByteArray ab = QByteArray::fromHex("41006200");
        QTest::newRow("empty") << QByteArray() << Invalid << 0 << QString() << QString();
        QTest::newRow("three bytes") << QByteArray("STR") << Invalid << 0 << QString() << QString();
        QTest::newRow("no count") << QByteArray("STR0") << Invalid << 0 << QString() << QString();
        QTest::newRow("wrong signature") << Table("STR1", 0, {}, {}) << Invalid << 0 << QString() << QString();
        QTest::newRow("lower-case signature") << Table("str0", 0, {}, {}) << Invalid << 0 << QString() << QString();
        QTest::newRow("no entries") << Table("STR0", 0, {}, {}) << "none" << 0 << "none" << QString();
        QTest::newRow("count beyond the table")
            << Table("STR0", 2, { { 1, 32, 2 } }, ab) << Invalid << 1 << QString() << QString();
        QTest::newRow("count 2^32 - 1") << Table("STR0", 0xFFFFFFFF, { { 1, 20, 2 } }, ab) << Invalid << 1 << QString()
                                        << QString();
        QTest::newRow("count 2^31") << Table("STR0", 0x80000000, { { 1, 20, 2 } }, ab) << Invalid << 1 << QString()
                                    << QString();
        QTest::newRow("text past the end")
            << Table("STR0", 1, { { 1, 20, 3 } }, ab) << "none" << 1 << Invalid << QString();
        QTest::newRow("offset past the end")
            << Table("STR0", 1, { { 1, 4000, 1 } }, ab) << "none" << 1 << Invalid << QString();
        QTest::newRow("negative offset") << Table("STR0", 1, { { 1, -8, 2 } }, ab) << "none" << 1 << Invalid
                                         << QString();
        QTest::newRow("negative length") << Table("STR0", 1, { { 1, 20, -1 } }, ab) << "none" << 1 << Invalid
                                         << QString();
        QTest::newRow("length wrapping round")
            << Table("STR0", 1, { { 1, 20, 0x7FFFFFFF } }, ab) << "none" << 1 << Invalid << QString();
        QTest::newRow("offset and length near 2^31")
            << Table("STR0", 1, { { 1, 0x7FFFFFF0, 0x7FFFFFF0 } }, ab) << "none" << 1 << Invalid << QString();
        // A bad entry spoils only its own id.
        QTest::newRow("other id of a bad table")
            << Table("STR0", 2, { { 1, 32, 2 }, { 2, 99, 9 } }, ab) << "none" << 1 << "none"
            << "Ab";
        QTest::newRow("text inside the header")
            << Table("STR0", 1, { { 1, 0, 2 } }, ab) << "none" << 1 << "none" << QString::fromUtf16(u"\u5453\u3052");
        QTest::newRow("odd offset") << Table("STR0", 1, { { 1, 21, 1 } }, QByteArray::fromHex("0041010000")) << "none"
                                    << 1 << "none" << QString::fromUtf16(u"\u0141");
        QTest::newRow("unsorted entries, found")
            << Table("STR0", 3, { { 5, 44, 1 }, { 1, 44, 1 }, { 3, 46, 1 } }, QByteArray::fromHex("41004200")) << "none"
            << 3 << "none"
            << "B";
        QTest::newRow("unsorted entries, missed")
            << Table("STR0", 3, { { 5, 44, 1 }, { 1, 44, 1 }, { 3, 46, 1 } }, QByteArray::fromHex("41004200")) << "none"
            << 5 << "none" << QString();
        QTest::newRow("unpaired surrogate") << Table("STR0", 1, { { 1, 20, 1 } }, QByteArray::fromHex("00d8")) << "none"
                                            << 1 << "none" << QString(QChar(0xD800));
        QTest::newRow("trailing bytes") << Table("STR0", 1, { { 1, 20, 2 } }, ab + "garbage") << "none" << 1 << "none"
                                        << "Ab";
    }
    void hostileTables()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, atOpen);
        QFETCH(qint32, id);
        QFETCH(QString, atRead);
        QFETCH(QString, text);
        RcData::Register(QString(), QStringLiteral("HOSTILE"), bytes);
        TKitStringResource t { QString(), QString() };
        QCOMPARE(ErrorOf([&] { t.OpenTable(QString(), QStringLiteral("HOSTILE")); }), atOpen);
        if (atOpen != QStringLiteral("none"))
            return;
        QString got;
        QCOMPARE(ErrorOf([&] { got = t.GetString(id); }), atRead);
        QCOMPARE(got, text);
    }

    // Random damage to a good table never reads outside it: every lookup
    // gives a text no longer than the table could hold, or the table's error.
    void randomDamage()
    {
        const QByteArray good = BuildStringTable({ { 1, QStringLiteral("jedna") }, { 2, QStringLiteral("dva") },
            { 3, QStringLiteral("tři") }, { 10, QStringLiteral("deset") } });
        QRandomGenerator random(20240610);
        int opened = 0;
        for (int round = 0; round < 3000; ++round) {
            QByteArray bytes = good;
            const int hits = 1 + int(random.bounded(4));
            for (int i = 0; i < hits; ++i)
                bytes[int(random.bounded(bytes.size()))] = char(random.bounded(256));
            if (random.bounded(4) == 0)
                bytes.truncate(int(random.bounded(bytes.size())));
            RcData::Register(QString(), QStringLiteral("DAMAGED"), bytes);
            TKitStringResource t { QString(), QString() };
            const QString open = ErrorOf([&] { t.OpenTable(QString(), QStringLiteral("DAMAGED")); });
            if (open != QStringLiteral("none")) {
                QCOMPARE(open, Invalid);
                continue;
            }
            ++opened;
            for (qint32 id = -1; id <= 11; ++id) {
                QString got;
                const QString read = ErrorOf([&] { got = t.GetString(id); });
                QVERIFY(read == QStringLiteral("none") || read == Invalid);
                QVERIFY(got.size() * 2 <= bytes.size());
            }
        }
        QVERIFY(opened > 1000);
    }

    void theKitsTables()
    {
        QCOMPARE(KitStrings().GetString(SKitInvalidYear), QStringLiteral("Invalid year"));
        QCOMPARE(KitStrings().GetString(20), QString());
        QCOMPARE(KitStrings().GetString(0), QStringLiteral("Black"));
        QCOMPARE(KitStrings().GetString(13), QStringLiteral("Fuchsia"));
        QCOMPARE(KitStrings().GetString(15), QStringLiteral("White"));
        QCOMPARE(KitStrings().GetString(30), QStringLiteral("No label is attached"));
        QCOMPARE(KitStrings().GetString(39), QStringLiteral("Invalid date"));
        QCOMPARE(KitStrings().GetString(40), QString());
        QCOMPARE(KitSrMgrStrings().GetString(SKitCannotOpen), QStringLiteral("Unable to open string resource: %s"));
        // Both are stored in the layout and read back through it.
        const std::optional<QByteArray> english = RcData::Find(QString(), QStringLiteral("kit_strings_english"));
        QVERIFY(english);
        QCOMPARE(english->left(8), QByteArray("STR0\x1a\0\0\0", 8));
        QCOMPARE(*english, KitStringsEnglishTable());
    }

    void daysInMonth_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("days");
        QTest::newRow("2000-02") << 2000 << 2 << 29;
        QTest::newRow("1900-02") << 1900 << 2 << 28;
        QTest::newRow("4000-02") << 4000 << 2 << 28;
        QTest::newRow("8000-02") << 8000 << 2 << 28;
        QTest::newRow("2400-02") << 2400 << 2 << 29;
        QTest::newRow("2024-02") << 2024 << 2 << 29;
        QTest::newRow("2023-02") << 2023 << 2 << 28;
        QTest::newRow("100-02") << 100 << 2 << 28;
        QTest::newRow("2024-04") << 2024 << 4 << 30;
        QTest::newRow("2024-11") << 2024 << 11 << 30;
        QTest::newRow("2024-07") << 2024 << 7 << 31;
        QTest::newRow("2024-12") << 2024 << 12 << 31;
        QTest::newRow("2001-13") << 2001 << 13 << 0;
        QTest::newRow("2001-00") << 2001 << 0 << 0;
        QTest::newRow("2001--1") << 2001 << -1 << 0;
    }
    void daysInMonth()
    {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, days);
        QCOMPARE(KitUtil::DaysInMonth(year, month), days);
    }

    void yearsBelow100AreRefused()
    {
        for (const auto& [year, text] : { std::pair(99, "Invalid year \"99\""), std::pair(0, "Invalid year \"0\""),
                 std::pair(-5, "Invalid year \"-5\"") }) {
            try {
                KitUtil::DaysInMonth(year, 1);
                QFAIL("accepted");
            } catch (const EKitError& e) {
                QCOMPARE(e.message(), QString::fromLatin1(text));
            }
        }
    }

    void leapYearsAndColours()
    {
        QVERIFY(KitUtil::IsLeapYear(2000));
        QVERIFY(KitUtil::IsLeapYear(2024));
        QVERIFY(!KitUtil::IsLeapYear(1900));
        QVERIFY(!KitUtil::IsLeapYear(2100));
        QVERIFY(!KitUtil::IsLeapYear(4000));
        QVERIFY(!KitUtil::IsLeapYear(2023));
        int r = -1, g = -1, b = -1;
        SplitRGB(0x00336699, r, g, b);
        QCOMPARE(r, 0x99);
        QCOMPARE(g, 0x66);
        QCOMPARE(b, 0x33);
    }
};

QTEST_GUILESS_MAIN(TestStrResources)
#include "tst_strresources.moc"
