// Date and time texts as the records and the edits hold them, and date-time
// doubles as the files hold them, through every conversion.
#include "fuzzsupport.h"

#include "platform/datetime.h"
#include "platform/errors.h"
#include "platform/walltimer.h"
#include "shared/reminderdates.h"
#include "shared/reminderkinds.h"

#include <QtEndian>

#include <limits>

namespace {

QByteArray withDouble(const QByteArray& text, double v, int32_t months)
{
    QByteArray b(12, '\0');
    qToLittleEndian(v, b.data());
    qToLittleEndian(months, b.data() + 8);
    return b + text;
}

Fuzz::Seeds seeds()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return { withDouble("29.3.2026 2:30", EncodeDate(2026, 3, 29) + 2.5 / 24, 1),
        withDouble(" 8.12. 9:05:00.250", EncodeDate(2026, 12, 8), -1),
        withDouble("31.1.99", EncodeDate(2024, 1, 31), 1), withDouble("25.10.2026 02:30", nan, 0),
        withDouble("1.1.0100 00:00", 1e300, std::numeric_limits<int32_t>::max()),
        withDouble("31.12.9999 23:59:59.999", -1e300, std::numeric_limits<int32_t>::min()),
        withDouble("dddd d. mmmm yyyy hh:nn:ss.zzz am/pm \"x\" c t tt ddddd dddddd", 1e12, 12) };
}

void convert(double dt, int32_t months)
{
    int y, m, d, h, n, s, ms;
    DecodeDate(dt, y, m, d);
    DecodeTime(dt, h, n, s, ms);
    (void)DayOfWeek(dt);
    (void)DateOf(dt);
    (void)TimeOf(dt);
    (void)DateTimeToStr(dt);
    (void)DateTimeToQDateTime(dt);
    (void)WallTimer::MsecsUntil(dt);
    (void)DurationText(dt);
    (void)RemainingText(dt);
    (void)WeekdayDateTimeText(dt);
    (void)MinuteOfDay(dt);
    (void)IncYears(int16_t(months), dt);
    try {
        (void)IncMonth(dt, months);
    } catch (const KorvelError&) {
    }
}

void run(const QByteArray& input)
{
    const double dt = Fuzz::doubleAt(input, 0);
    const int32_t months = Fuzz::intAt(input, 8);
    const QString text = Fuzz::text(input.mid(12));
    convert(dt, months);
    for (const auto& value : { TryStrToDate(text), TryStrToTime(text), TryStrToDateTime(text) }) {
        if (value)
            convert(*value, months);
    }
    const qsizetype space = text.indexOf(u' ');
    const auto stored = StoredDateTime(text.left(space), text.mid(space + 1));
    if (stored)
        convert(*stored, months);
    (void)EventEndText(text.left(space), text.mid(space + 1), dt);
    (void)FormatDateTime(text.left(64), stored.value_or(dt));
}

} // namespace

KORVEL_FUZZ_TARGET(seeds, run)
