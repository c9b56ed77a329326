// The CSV import's reading of a file of 10,000 contact lines (35 columns,
// Czech letters, empty fields) and the mapping of every line to the contact
// fields with defaults, in CP1250 and in UTF-8; the export's writing of the
// same lines. Target: reading and mapping ≤ 2 s.
#include "shared/contactcsv.h"
#include "shared/contactfields.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int LineCount = 10000;

QString FileText()
{
    QStringList names;
    for (int code = 1; code <= FilterFieldCount; ++code)
        names << QLatin1Char('"') + ContactFieldKey(code) + QLatin1Char('"');
    QString text = names.join(u';') + QStringLiteral("\r\n");
    for (int i = 0; i < LineCount; ++i) {
        QStringList fields;
        for (int code = 1; code <= FilterFieldCount; ++code)
            fields << ((i + code) % 7 == 0 ? QString() : QStringLiteral("Žluťoučký kůň %1-%2").arg(i).arg(code));
        text += fields.join(u';') + QStringLiteral("\r\n");
    }
    return text;
}

QList<CsvAssignment> Rows()
{
    QList<CsvAssignment> rows;
    for (int code = 1; code <= StoredFieldCount; ++code)
        rows.append({ code, code % 3 == 0 ? 0 : code });
    rows.append({ 35, 35 });
    return rows;
}

void ReadAndMap(benchmark::State& state, const QByteArray& bytes)
{
    const QList<CsvAssignment> rows = Rows();
    const QHash<int, QString> defaults { { 21, QStringLiteral("Náměstí 1") }, { 23, QStringLiteral("Písek") },
        { 27, QStringLiteral("Firma") } };
    for (auto _ : state) {
        const CsvTable table = ReadCsvTable(bytes, u';');
        qsizetype values = 0;
        for (const QStringList& fields : table.lines)
            values += CsvLineValues(fields, rows, defaults).size();
        benchmark::DoNotOptimize(values);
    }
}

void BM_ReadAndMapCp1250(benchmark::State& state)
{
    static const QByteArray bytes = [] {
        QByteArray b;
        for (const QString& line : FileText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            b += CsvLineBytes(line);
        return b;
    }();
    ReadAndMap(state, bytes);
}

void BM_ReadAndMapUtf8(benchmark::State& state)
{
    static const QByteArray bytes = FileText().toUtf8();
    ReadAndMap(state, bytes);
}

void BM_ExportLines(benchmark::State& state)
{
    ContactRecord r;
    r.jmeno = QStringLiteral("Řehoř");
    r.prijmeni = QStringLiteral("Žluťoučký");
    r.adr1_mesto = QStringLiteral("Praha; Staré Město");
    r.popis1 = QStringLiteral("první\r\ndruhý");
    r.tel1 = QStringLiteral("123456789");
    for (auto _ : state) {
        qsizetype size = 0;
        for (int i = 0; i < LineCount; ++i) {
            QStringList texts;
            for (int code = 1; code <= FilterFieldCount; ++code)
                texts << ContactFieldText(code, r);
            size += CsvLineBytes(CsvExportLine(texts, u';')).size();
        }
        benchmark::DoNotOptimize(size);
    }
}

} // namespace

BENCHMARK(BM_ReadAndMapCp1250)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndMapUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportLines)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
