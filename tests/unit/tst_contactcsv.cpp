// Contacts in CSV files without a window: which bytes are read as UTF-8, how
// lines and fields are split (empty fields, separators inside quotes, CR LF
// and LF, a header with an empty name), what a line gives each field with its
// defaults, and what the export writes. Every field a CSV line can carry goes
// out and comes back with its Czech letters.
#include "shared/contactcsv.h"
#include "shared/contactfields.h"
#include "shared/jbstr.h"

#include "contactsamples.h"

#include <QTest>

namespace {

QByteArray Cp(const QString& text)
{
    QByteArray out;
    for (QChar c : text) {
        // The Czech letters the tests use, by their CP1250 bytes.
        static const QHash<QChar, char> bytes { { u'ž', char(0x9E) }, { u'š', char(0x9A) }, { u'č', char(0xE8) },
            { u'ř', char(0xF8) }, { u'í', char(0xED) }, { u'é', char(0xE9) }, { u'Ž', char(0x8E) },
            { u'ů', char(0xF9) }, { u'á', char(0xE1) } };
        out += bytes.value(c, char(c.unicode()));
    }
    return out;
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
        QTest::newRow("stray CR") << QByteArray("a\rb\n") << QStringList { "ab" };
        QTest::newRow("bom dropped") << QByteArray("\xEF\xBB\xBFjm\xC3\xA9no\n") << QStringList { "jméno" };
        QTest::newRow("cp1250 decoded") << Cp(QStringLiteral("Žižka;šíř\r\n")) << QStringList { "Žižka;šíř" };
    }
    void lines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QCOMPARE(CsvTextLines(bytes), lines);
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

    // The header is counted like the data lines: the empty second name keeps
    // the surname in the third column, where the data lines have it.
    void headerWithAnEmptyName()
    {
        const QByteArray file = Cp(QStringLiteral("\"jméno\";;\"příjmení\"\r\nJan;x;Novák\r\nEva;;Nová\r\n"));
        const CsvTable table = ReadCsvTable(file, u';');
        QCOMPARE(table.columns, QStringList({ "jméno", "(sloupec 2)", "příjmení" }));
        const QList<CsvAssignment> rows { { 2, 1 }, { 3, int(table.columns.indexOf(QStringLiteral("příjmení"))) + 1 } };
        QCOMPARE(CsvLineValues(table.lines[1], rows, {}),
            QList<CsvValue>({ { 2, QStringLiteral("Eva") }, { 3, QStringLiteral("Nová") } }));
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
    }
    void tables()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, lines);
        QFETCH(QStringList, last);
        const CsvTable table = ReadCsvTable(bytes, u',');
        QCOMPARE(table.lines.size(), lines);
        QCOMPARE(table.lines.last(), last);
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

    void exportField_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::newRow("separator") << "Praha; Staré Město"
                                   << "Praha| Staré Město";
        QTest::newRow("CR LF") << "řádek 1\r\nřádek 2"
                               << "řádek 1 řádek 2";
        QTest::newRow("LF") << "a\nb"
                            << "a b";
        QTest::newRow("CR") << "a\rb"
                            << "a b";
        QTest::newRow("other separator kept") << "a,b"
                                              << "a,b";
        QTest::newRow("quote kept") << "\"x\""
                                    << "\"x\"";
    }
    void exportField()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QCOMPARE(CsvExportField(text, u';'), written);
    }

    void exportBytes()
    {
        QCOMPARE(CsvLineBytes(CsvExportLine({ QStringLiteral("Žižka"), QStringLiteral("a;b"), QString() }, u';')),
            Cp(QStringLiteral("Žižka;a|b;\r\n")));
    }

    // Every field a line can carry, written as the export writes it and read
    // back as the import reads it, with each column assigned to its field.
    void roundTripOfEveryField_data()
    {
        QTest::addColumn<QChar>("sep");
        QTest::newRow(";") << QChar(u';');
        QTest::newRow(",") << QChar(u',');
    }
    void roundTripOfEveryField()
    {
        QFETCH(QChar, sep);
        const ContactRecord r = SampleCzechContact();
        QStringList names, texts;
        QList<CsvAssignment> rows;
        for (int code = 1; code <= FilterFieldCount; ++code) {
            names << ContactFieldCaption(code);
            texts << ContactFieldText(code, r);
            rows.append({ code, code });
        }
        const QByteArray file = CsvLineBytes(CsvExportLine(names, sep)) + CsvLineBytes(CsvExportLine(texts, sep));
        QVERIFY(!file.contains('\n' + QByteArray(1, '\n')));
        const CsvTable table = ReadCsvTable(file, sep);
        QCOMPARE(table.columns.size(), FilterFieldCount);
        QCOMPARE(table.lines.size(), 1);
        QHash<int, QString> back;
        for (const CsvValue& v : CsvLineValues(table.lines.first(), rows, {}))
            back.insert(v.code, v.text);
        for (int code = 1; code <= StoredFieldCount; ++code) {
            QString expected = ContactFieldText(code, r);
            expected.replace(sep, u'|');
            QCOMPARE(back.value(code), expected);
        }
        QCOMPARE(back.value(2), QStringLiteral("Řehoř"));
        QCOMPARE(back.value(5), QStringLiteral("žena"));
        QCOMPARE(back.value(34), QStringLiteral("první řádek druhý řádek"));
    }
};

QTEST_GUILESS_MAIN(TestContactCsv)
#include "tst_contactcsv.moc"
