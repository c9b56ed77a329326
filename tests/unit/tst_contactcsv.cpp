// Contacts in CSV files without a window: which bytes are read as UTF-8, how
// lines and fields are split (empty fields, separators inside quotes, CR LF,
// LF and CR alone, a header with an empty name), what a line gives each
// field with its defaults, and what the export writes.
#include "platform/cp1250.h"
#include "shared/contactcsv.h"
#include "shared/jbstr.h"

#include <QTest>

namespace {

QByteArray Cp(const QString& text)
{
    return Cp1250::encode(text);
}

} // namespace

class TestContactCsv : public QObject {
    Q_OBJECT

private slots:
    void charset_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        QTest::newRow("ascii only") << QByteArray("jmeno;prijmeni\r\nJan;Novak\r\n") << false;
        QTest::newRow("utf-8 czech") << QStringLiteral("jméno\nŘehoř\n").toUtf8() << true;
        QTest::newRow("cp1250 czech") << Cp(QStringLiteral("jméno\nžluťoučký kůň\n")) << false;
        QTest::newRow("bom, ascii") << QByteArray("\xEF\xBB\xBFjmeno\n") << true;
        QTest::newRow("four-byte utf-8") << QByteArray("a\xF0\x9F\x98\x80") << true;
        QTest::newRow("overlong") << QByteArray("a\xC0\x80") << false;
        QTest::newRow("surrogate") << QByteArray("a\xED\xA0\x80") << false;
        QTest::newRow("above U+10FFFF") << QByteArray("a\xF4\x90\x80\x80") << false;
        QTest::newRow("cut at the end") << QByteArray("abc\xE2\x82") << false;
        QTest::newRow("stray continuation") << QByteArray("a\x80z") << false;
        QTest::newRow("cp1250 that looks close") << QByteArray("\xC3\xA9\xE8") << false;
    }
    void charset()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf8);
        QCOMPARE(DetectCsvCharset(bytes) == CsvCharset::Utf8, utf8);
    }

    void lines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR LF") << QByteArray("a;b\r\nc;d\r\n") << QStringList { "a;b", "c;d" };
        QTest::newRow("LF, no final break") << QByteArray("a;b\nc;d") << QStringList { "a;b", "c;d" };
        QTest::newRow("blank last line") << QByteArray("a\r\nb\r\n\r\n") << QStringList { "a", "b", "" };
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("CR alone") << QByteArray("a\rb\n") << QStringList { "a", "b" };
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QStringList { "a", "", "b" };
        QTest::newRow("LF CR") << QByteArray("a\n\rb") << QStringList { "a", "", "b" };
        QTest::newRow("bom dropped") << QByteArray("\xEF\xBB\xBFjm\xC3\xA9no\n") << QStringList { "jméno" };
        QTest::newRow("cp1250 decoded") << Cp(QStringLiteral("Žižka;šíř\r\n")) << QStringList { "Žižka;šíř" };
    }
    void lines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QStringList read;
        ForEachCsvTextLine(bytes, DetectCsvCharset(bytes), [&](const QString& line) {
            read << line;
            return true;
        });
        QCOMPARE(read, lines);
    }

    // A line's fields are the words of its mended form, as the file's
    // readers have always counted them.
    void fields_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("mended");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("plain") << "a;b;c"
                               << "a;b;c" << QStringList { "a", "b", "c" };
        QTest::newRow("empty middle") << "a;;c"
                                      << "a; ;c" << QStringList { "a", " ", "c" };
        QTest::newRow("run of three") << "a;;;;e"
                                      << "a; ; ; ;e" << QStringList { "a", " ", " ", " ", "e" };
        QTest::newRow("leading") << ";b"
                                 << " ;b" << QStringList { " ", "b" };
        QTest::newRow("only separators") << ";;"
                                         << " ; ;" << QStringList { " ", " " };
        QTest::newRow("trailing") << "a;b;"
                                  << "a;b;" << QStringList { "a", "b" };
        QTest::newRow("empty") << ""
                               << "" << QStringList();
        QTest::newRow("quoted, no quoting") << "\"Praha; Czech\";x"
                                            << "\"Praha; Czech\";x" << QStringList { "\"Praha", " Czech\"", "x" };
    }
    void fields()
    {
        QFETCH(QString, line);
        QFETCH(QString, mended);
        QFETCH(QStringList, fields);
        QCOMPARE(UpravSloupce(line, u';'), mended);
        QCOMPARE(CsvFields(line, u';'), fields);
        const CharSet sep(u";");
        QCOMPARE(WordCount(mended, sep), fields.size());
        for (int i = 0; i < fields.size(); ++i)
            QCOMPARE(ExtractWord(i + 1, mended, sep), fields[i]);
    }

    void manyColumnsAreListedUpToTheCap()
    {
        QStringList names;
        for (int i = 1; i <= 1300; ++i)
            names << QStringLiteral("c%1").arg(i);
        const QStringList columns = CsvColumnNames(names.join(u','), u',');
        QCOMPARE(columns.size(), MaxCsvColumns);
        QCOMPARE(columns.last(), QStringLiteral("c1000"));
        // A column past 255 is found by its own number.
        const QStringList fields = CsvFields(names.join(u','), u',');
        QCOMPARE(CsvLineValues(fields, { { 2, 300 } }, {}), QList<CsvValue>({ { 2, QStringLiteral("c300") } }));
    }

    void tables_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QStringList>("last");
        QTest::newRow("header only") << QByteArray("a,b\r\n") << 1 << QStringList();
        QTest::newRow("header only, no break") << QByteArray("a,b") << 1 << QStringList();
        QTest::newRow("empty file") << QByteArray() << 1 << QStringList();
        QTest::newRow("blank last line") << QByteArray("a,b\r\n1,2\r\n3,4\r\n\r\n") << 2 << QStringList { "3", "4" };
        QTest::newRow("blank lines only") << QByteArray("a,b\n\n\n") << 1 << QStringList();
        QTest::newRow("LF") << QByteArray("a,b\n1,2\n3,4") << 2 << QStringList { "3", "4" };
        QTest::newRow("empty columns") << QByteArray("a,b,c\r\n,,z\r\n") << 1 << QStringList { " ", " ", "z" };
        QTest::newRow("CR only") << QByteArray("a,b\r1,2\r3,4\r") << 2 << QStringList { "3", "4" };
        QTest::newRow("empty lines between")
            << QByteArray("a,b\r\n\r\n1,2\r\r\n\n3,4") << 2 << QStringList { "3", "4" };
    }
    void tables()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, lines);
        QFETCH(QStringList, last);
        const CsvTable table(bytes, u',');
        QList<QStringList> read;
        table.forEachLine([&](const QStringList& fields) {
            read << fields;
            return true;
        });
        QCOMPARE(read.size(), lines);
        QCOMPARE(read.last(), last);
    }

    void lineValues_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("fallback");
        QTest::addColumn<QString>("value"); // empty: the field gets nothing
        QTest::newRow("assigned") << QStringList { "Brno" } << 1 << "Praha"
                                  << "Brno";
        QTest::newRow("quotes dropped") << QStringList { "\"Brno\"" } << 1 << ""
                                        << "Brno";
        QTest::newRow("not assigned") << QStringList { "Brno" } << 0 << "Praha"
                                      << "Praha";
        QTest::newRow("assigned, empty") << QStringList { " ", "x" } << 1 << "Praha"
                                         << "Praha";
        QTest::newRow("assigned, quoted empty") << QStringList { "\"\"" } << 1 << "Praha"
                                                << "Praha";
        QTest::newRow("beyond the line") << QStringList { "x" } << 5 << "Praha"
                                         << "Praha";
        QTest::newRow("no default") << QStringList { " " } << 1 << ""
                                    << "";
        QTest::newRow("blank default") << QStringList { " " } << 1 << " "
                                       << "";
        QTest::newRow("leading blank kept") << QStringList { " Brno" } << 1 << ""
                                            << " Brno";
    }
    void lineValues()
    {
        QFETCH(QStringList, fields);
        QFETCH(int, column);
        QFETCH(QString, fallback);
        QFETCH(QString, value);
        const QList<CsvValue> values = CsvLineValues(fields, { { 23, column } }, { { 23, fallback } });
        if (value.isEmpty())
            QVERIFY(values.isEmpty());
        else
            QCOMPARE(values, QList<CsvValue>({ { 23, value } }));
    }

    void exportBytes()
    {
        QCOMPARE(CsvLineBytes(CsvExportLine({ QStringLiteral("Žižka"), QStringLiteral("a;b"), QString() }, u';')),
            Cp(QStringLiteral("Žižka;a|b;\r\n")));
        // Every kind of line break is one blank.
        QCOMPARE(CsvExportField(QStringLiteral("a\r\nb\nc\rd"), u';'), QStringLiteral("a b c d"));
    }
};

QTEST_GUILESS_MAIN(TestContactCsv)
#include "tst_contactcsv.moc"
