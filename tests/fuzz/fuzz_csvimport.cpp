// A CSV file as the contact import wizard reads it: the first byte chooses
// the separator, the rest is the file; every line is mapped onto the contact
// fields, the first columns in order, with a default for the rest.
#include "fuzzsupport.h"

#include "shared/contactcsv.h"
#include "shared/contactfields.h"

namespace {

Fuzz::Seeds seeds()
{
    return {
        QByteArray(";jméno;příjmení;;e-mail\r\nJana;Nováková;;jana@example.cz\r\n\"Petr\";\"Dvořák\";x;\r\n").prepend(';'),
        QByteArray("\xEF\xBB\xBFname,surname\nJiří,Čermák\n\n").prepend(','),
        QByteArray("a\tb\tc\r\n\t\t\r\n1\t2\t3").prepend('\t'),
        QByteArray(";;;\r\n").prepend(';'),
    };
}

void run(const QByteArray& input)
{
    if (input.isEmpty())
        return;
    const QChar sep = QChar(uchar(input[0]));
    const CsvTable table(input.sliced(1), sep);
    QList<CsvAssignment> rows;
    const int columns = int(table.columns().size());
    for (int code = 1; code <= ContactFieldCodeCount; ++code)
        rows.append({ code, code <= columns ? code : 0 });
    const QHash<int, QString> defaults { { 1, QStringLiteral("výchozí") } };
    table.forEachLine([&](const QStringList& fields) {
        for (const CsvValue& value : CsvLineValues(fields, rows, defaults))
            (void)CsvLineBytes(CsvExportField(value.text, sep));
        return true;
    });
}

} // namespace

KORVEL_FUZZ_TARGET(seeds, run)
