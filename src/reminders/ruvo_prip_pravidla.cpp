#include "ruvo_prip_pravidla.h"

#include "platform/datetime.h"
#include "shared/reminderdates.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Times are compared to the millisecond: an absolute time built from a date
// and a minute equals the same stored event start.
qint64 Ms(double dt)
{
    return std::llround(dt * MSecsPerDay);
}

} // namespace

double DejNewCas(const NextTimeSetting& s, double now)
{
    const double base = s.RepeatMode ? s.EventStart : now;
    const double n = s.Amount;
    switch (s.Kind) {
    case nkHours:
        return base + n / HoursPerDay;
    case nkDays:
        return base + n;
    case nkYears: {
        // Dates end with the year 9999: a count beyond it stops there.
        int year = 0;
        int month = 0;
        int day = 0;
        DecodeDate(base, year, month, day);
        return IncYears(int16_t(std::clamp<int32_t>(s.Amount, 1 - year, 9999 - year)), base);
    }
    case nkAbsolute:
        return s.Absolute;
    case nkMinutesBefore:
        return s.EventStart - n / MinsPerDay;
    case nkHoursBefore:
        return s.EventStart - n / HoursPerDay;
    case nkDaysBefore:
        return s.EventStart - n;
    default:
        return base + n / MinsPerDay;
    }
}

double DejDelku(const LengthSetting& s, double reference)
{
    switch (s.Kind) {
    case lkMinutes:
        return s.Amount / MinsPerDay;
    case lkHours:
        return s.Amount / HoursPerDay;
    case lkDays:
        return s.Amount;
    case lkEndDateTime:
        return s.AbsoluteEnd - reference;
    default:
        return 0;
    }
}

int32_t LengthAmount(int32_t kind, double length)
{
    if (!std::isfinite(length) || length <= 0)
        return 0;
    double amount = 0;
    switch (kind) {
    case lkMinutes:
        amount = std::nearbyint(length * MinsPerDay);
        break;
    case lkHours:
        amount = std::nearbyint(length * HoursPerDay);
        break;
    case lkDays:
        amount = std::trunc(length);
        break;
    default:
        return 0;
    }
    return int32_t(std::min(amount, double(std::numeric_limits<int32_t>::max())));
}

int32_t LoadedLengthKind(int32_t stored)
{
    return stored < lkMinutes || stored > lkEndDateTime ? lkMinutes : stored;
}

int32_t LoadedNextKind(int32_t stored)
{
    return std::clamp<int32_t>(stored, nkMinutes, nkAbsolute);
}

double LoadedNextAmount(double stored)
{
    if (std::isnan(stored) || stored < 0)
        return 0;
    return std::min(stored, 36500.0);
}

PripMessage ConfirmCheck(const ConfirmSetting& s, double now)
{
    if (s.RepeatMode) {
        if (s.AdvanceKind == akAbsolute) {
            if (Ms(s.AdvanceAmount) > Ms(s.NewTime))
                return pmWarnAfterNew;
            if (Ms(now) > Ms(s.AdvanceAmount))
                return pmWarnPassed;
        } else if (Ms(now) > Ms(WarnTimeBefore(s.AdvanceKind, s.AdvanceAmount, s.NewTime))) {
            return pmAdvancePassed;
        }
        return Ms(s.NewTime) < Ms(now) ? pmTimePassed : pmAccepted;
    }
    return s.Lapsed || Ms(s.NewTime) > Ms(s.StoredEventStart) ? pmTimePassed : pmAccepted;
}

bool ErasedByOverdueRule(const ReminderRecord& stored, double now)
{
    if (!stored.Erased || stored.SoundOnly || RemindsWhenOverdue(stored.OverdueAction))
        return false;
    const auto event = StoredDateTime(stored.EventDate, stored.EventTime);
    return event && PastDueMinute(now, *event);
}

QString PripMessageText(PripMessage message, bool repeatMode, const QString& remindDate, const QString& remindTime)
{
    switch (message) {
    case pmWarnAfterNew:
        return QStringLiteral("Chybně nastavený datum a čas připomenutí předem\r"
                              "zadej znovu (nastavuji nejbližší možný datum a čas)");
    case pmWarnPassed:
        return QStringLiteral("Chybně nastavený datum a čas připomenutí předem - již mělo být připomenuto\r"
                              "zadej znovu (nastavuji nejbližší možný datum a čas)");
    case pmAdvancePassed:
        return QStringLiteral("Chybně nastavené připomenutí předem - již mělo být připomenuto\rnutno opravit!");
    case pmTimePassed:
        return QStringLiteral("Čas ") + (repeatMode ? QStringLiteral("opětovného") : QStringLiteral("dalšího"))
            + QStringLiteral(" připomenutí ") + remindDate + u' ' + remindTime
            + QStringLiteral("\rjiž uplynul -> zadej nové hodnoty");
    case pmNegativeLength:
        return QStringLiteral("Délka připomínamé akce je měnší něž nula\rzadej nové hodnoty");
    case pmAccepted:
        break;
    }
    return {};
}

MsgDlgType PripMessageType(PripMessage message)
{
    return message == pmTimePassed || message == pmNegativeLength ? MsgDlgType::Information : MsgDlgType::Warning;
}

QString RemindDateText(double dt)
{
    return DateToStr(dt).left(10);
}

QString RemindTimeText(double dt)
{
    return PadHourText(TimeToStr(dt)).left(5);
}

TColor FrameColor(double now, double eventStart, TColor current)
{
    return current == FrameColorAfter || now > eventStart ? FrameColorAfter : FrameColorBefore;
}

int MinuteTickInterval(double now)
{
    // In whole milliseconds: a time on the minute must not read as a hair
    // before it and tick again at once.
    constexpr qint64 MinuteMs = 60000;
    const qint64 ms = Ms(now);
    const qint64 next = (ms >= 0 ? ms / MinuteMs + 1 : -((-ms) / MinuteMs)) * MinuteMs;
    return int(next - ms) + 1;
}
