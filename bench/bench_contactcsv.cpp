// The CSV import's reading of a file of 10,000 contact lines (35 columns,
// Czech letters, empty fields) and the mapping of every line to the contact
// fields with defaults, in CP1250 and in UTF-8; the export's writing of the
// same lines. Target: reading and mapping ≤ 2 s.
//
// A file of 50 MB read from the disk as the wizard reads it: once for its
// columns ("Další >"), its lines then mapped from what was read ("Import",
// without the forms). Targets: the columns in well under a second, memory
// at most a few times the file's size (peak_MB over file_MB).
#include "shared/contactcsv.h"
#include "shared/contactfields.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>

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

const QHash<int, QString> Defaults { { 21, QStringLiteral("Náměstí 1") }, { 23, QStringLiteral("Písek") },
    { 27, QStringLiteral("Firma") } };

qsizetype MapLines(const CsvTable& table, const QList<CsvAssignment>& rows, const QHash<int, QString>& defaults)
{
    qsizetype values = 0;
    table.forEachLine([&](const QStringList& fields) {
        values += CsvLineValues(fields, rows, defaults).size();
        return true;
    });
    return values;
}

void ReadAndMap(benchmark::State& state, const QByteArray& bytes)
{
    const QList<CsvAssignment> rows = Rows();
    for (auto _ : state)
        benchmark::DoNotOptimize(MapLines(CsvTable(bytes, u';'), rows, Defaults));
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

// The 50 MB file, written once into a temporary folder.
QString LargeFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("velky.csv"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(file));
        const QStringList lines = FileText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QByteArray block;
        for (qsizetype i = 1; i < lines.size(); ++i)
            block += CsvLineBytes(lines[i]);
        out.write(CsvLineBytes(lines.first()));
        while (out.size() < 50'000'000)
            out.write(block);
        return file;
    }();
    return path;
}

// Resident memory of the process in kB, from /proc/self/status ("VmRSS",
// "VmHWM" the peak).
double ResidentKb(const QByteArray& key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed().split(' ').first().toDouble();
    return 0;
}

// Runs work and reports the file's size and the most memory the work took
// above what the process held before it.
template <typename Work> void MeasureLargeFile(benchmark::State& state, const Work& work)
{
    const QString path = LargeFile();
    double peak = 0;
    for (auto _ : state) {
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5"); // the peak starts again from here
        clear.close();
        const double before = ResidentKb("VmRSS");
        benchmark::DoNotOptimize(work(path));
        peak = std::max(peak, ResidentKb("VmHWM") - before);
    }
    state.counters["file_MB"] = QFileInfo(path).size() / 1e6;
    state.counters["peak_MB"] = peak * 1024 / 1e6;
}

void BM_LargeFileColumns(benchmark::State& state)
{
    MeasureLargeFile(state, [](const QString& path) { return CsvTable(ReadCsvFile(path), u';').columns().size(); });
}

void BM_LargeFileImportLines(benchmark::State& state)
{
    const QList<CsvAssignment> rows = Rows();
    MeasureLargeFile(state, [&](const QString& path) {
        const CsvTable table(ReadCsvFile(path), u';');
        return MapLines(table, rows, Defaults);
    });
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
BENCHMARK(BM_LargeFileColumns)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LargeFileImportLines)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ExportLines)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
