#pragma once

#include "components/kitcolors.h"
#include "components/maxmin.h"

#include <QByteArray>

class TKitStringResource;

// The calendar's date arithmetic, with the kit's own rules: a year below 100
// is refused, and a year divisible by 4000 is no leap year.
namespace KitUtil {
bool IsLeapYear(int year);
// 0 for a month outside 1..12; EKitError "Invalid year "99"" below 100.
int DaysInMonth(int year, int month);
} // namespace KitUtil

void SplitRGB(TColor color, int& r, int& g, int& b);

// Ids of the component library's texts ("KIT_STRINGS_ENGLISH"): 0..15 the
// colour names, 30..39 the date messages.
enum : qint32 {
    SKitInvalidYear = 35,
};

// The component library's string table and the bytes it is read from.
const TKitStringResource& KitStrings();
QByteArray KitStringsEnglishTable();
