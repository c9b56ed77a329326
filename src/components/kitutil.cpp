#include "kitutil.h"

#include "components/kiterrors.h"
#include "components/kitsrmgr.h"
#include "platform/datetime.h"

bool KitUtil::IsLeapYear(int year)
{
    return ::IsLeapYear(year) && year % 4000 != 0;
}

int KitUtil::DaysInMonth(int year, int month)
{
    if (year < 100)
        throw EKitError(KitStrings().GetString(SKitInvalidYear) + QStringLiteral(" \"%1\"").arg(year));
    if (month == 2)
        return IsLeapYear(year) ? 29 : 28;
    return ::DaysInMonth(year, month);
}

void SplitRGB(TColor color, int& r, int& g, int& b)
{
    r = GetRValue(color);
    g = GetGValue(color);
    b = GetBValue(color);
}

QByteArray KitStringsEnglishTable()
{
    static const char* const colours[] = { "Black", "Maroon", "Green", "Olive", "Navy", "Purple", "Teal", "Gray",
        "Silver", "Red", "Lime", "Yellow", "Blue", "Fuchsia", "Aqua", "White" };
    static const char* const messages[]
        = { "No label is attached", "A blank date is not allowed", "Invalid day", "Invalid month", "Invalid month name",
              "Invalid year", "Day is required", "Month is required", "Year is required", "Invalid date" };
    QList<StringTableEntry> entries;
    for (int i = 0; i < 16; ++i)
        entries.append({ i, QString::fromLatin1(colours[i]) });
    for (int i = 0; i < 10; ++i)
        entries.append({ 30 + i, QString::fromLatin1(messages[i]) });
    return BuildStringTable(entries);
}

const TKitStringResource& KitStrings()
{
    static const TKitStringResource table(QString(), QStringLiteral("KIT_STRINGS_ENGLISH"));
    return table;
}
