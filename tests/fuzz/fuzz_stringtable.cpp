// String tables among the program's resources, as the kit's message lookup
// reads them.
#include "fuzzsupport.h"

#include "components/kiterrors.h"
#include "components/kitsrmgr.h"

namespace {

Fuzz::Seeds seeds()
{
    return { BuildStringTable({ { 1, QStringLiteral("Ahoj") }, { 7, QStringLiteral("žluťoučký") }, { -3, QString() } }),
        BuildStringTable({}), QByteArray("STR0\xff\xff\xff\xff", 8) };
}

void run(const QByteArray& input)
{
    RcData::Register(QString(), QStringLiteral("FUZZ_STRINGS"), QByteArray(input.constData(), input.size()));
    try {
        TKitStringResource table(QString(), QStringLiteral("FUZZ_STRINGS"));
        // The ids the table names, and some it may not.
        for (qsizetype i = 0; i < 16; ++i)
            (void)table.GetString(Fuzz::intAt(input, 8 + 12 * i));
        for (qint32 id : { -1, 0, 1, 2, 7, 0x7fffffff })
            (void)table.GetString(id);
        table.SetRaiseOnMissing(true);
        (void)table.GetString(Fuzz::intAt(input, 8));
    } catch (const ETpsStringResourceError&) {
    }
}

} // namespace

KORVEL_FUZZ_TARGET(seeds, run)
