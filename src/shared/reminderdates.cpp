#include "reminderdates.h"

#include "f_p.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "reminderfile.h"
#include "reminderkinds.h"

#include <QLineEdit>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <cmath>

namespace {

// Event starts and ends are compared to the millisecond: the same moment
// reached by different sums of days and fractions may differ in the last bit.
// A period reaching past the date range ends with it; NaN counts as its start.
qint64 wholeMilliseconds(double dt)
{
    if (!(dt >= MinDateTime))
        dt = MinDateTime;
    else if (dt > MaxDateTime)
        dt = MaxDateTime;
    return std::llround(dt * MSecsPerDay);
}

// The text as the old mask edits kept it: literals included and every
// unfilled place a blank.
QString timeEditText(const QLineEdit* edit)
{
    const QString mask = edit->inputMask();
    if (mask.isEmpty())
        return edit->text();
    QString shown = edit->displayText();
    const qsizetype semicolon = mask.lastIndexOf(u';');
    if (semicolon >= 0 && semicolon + 1 < mask.size())
        shown.replace(mask[semicolon + 1], u' ');
    return shown;
}

// Leading blanks, then decimal digits only; -1 for anything else.
int decimalOrMinusOne(QStringView s)
{
    while (!s.isEmpty() && s.front() == u' ')
        s = s.mid(1);
    if (s.isEmpty())
        return -1;
    int value = 0;
    for (const QChar c : s) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// The edit the focus is being taken back to. Leaving another time edit on
// the way (the user had already moved there) is no move of the user's, and
// must not start a second message and a focus fight between the two.
QPointer<QLineEdit> refocusing;

} // namespace

double IncYears(int16_t years, double dt)
{
    int year, month, day;
    DecodeDate(dt, year, month, day);
    year += years;
    if (month == 0 || year < 1 || year > 9999) // month 0: dt does not convert
        return std::nan("");
    double date = 0;
    if (!TryEncodeDate(year, month, day, date)) {
        // 29 February of a year without it: the last day of that month.
        date = EncodeDate(year, month, DaysInMonth(year, month));
    }
    return ComposeDateTime(date, TimeOf(dt));
}

double WarnTimeBefore(int32_t advanceKind, double amount, double eventTime)
{
    const double units = std::trunc(amount);
    switch (advanceKind) {
    case akHours:
        return eventTime - units / HoursPerDay;
    case akDays:
        return eventTime - units;
    case akAbsolute:
        return amount;
    default:
        return eventTime - units / MinsPerDay;
    }
}

double AddUnits(int32_t overdueAction, int32_t n, double dt)
{
    switch (overdueAction) {
    case oaWithinMinutes:
        return dt + n / MinsPerDay;
    case oaWithinHours:
        return dt + n / HoursPerDay;
    case oaWithinDays:
        return dt + n;
    default:
        return 0;
    }
}

int32_t MinuteOfDay(double dt)
{
    int h, m, s, ms;
    DecodeTime(dt, h, m, s, ms);
    return h * 60 + m;
}

bool PastDueMinute(double now, double due)
{
    const auto minute = [](double dt) { return std::floor(wholeMilliseconds(dt) / 60000.0); };
    return minute(now) > minute(due);
}

double NearestEventDate(const QString& path, bool forward, double dt)
{
    double best = dt;
    ForEachReminder(path, [&](int, const ReminderRecord& r) {
        if (r.Erased)
            return;
        const auto e = TryStrToDate(r.EventDate);
        if (!e || (forward ? !(*e > dt) : !(*e < dt)))
            return;
        // Only a strictly closer day replaces: of equal ones the first stays.
        if (best == dt || std::fabs(*e - dt) < std::fabs(best - dt))
            best = *e;
    });
    return best;
}

int CheckCollisions(int32_t id, const QString& path, double start, double length)
{
    const qint64 from = wholeMilliseconds(start);
    const qint64 to = wholeMilliseconds(start + length);
    int count = 0;
    QStringList lines;
    ForEachReminder(path, [&](int position, const ReminderRecord& r) {
        count = position;
        if (r.ID == id)
            return;
        const auto s = StoredDateTime(r.EventDate, r.EventTime);
        // A damaged length places the event nowhere, like an unreadable date.
        if (!s || !IsValidDateTime(r.Length) || !IsValidDateTime(*s + r.Length))
            return;
        // Only events wholly inside the new period count, erased ones too.
        if (from <= wholeMilliseconds(*s) && wholeMilliseconds(*s + r.Length) <= to)
            lines << r.Title + QStringLiteral(" od:") + r.EventDate + u' ' + r.EventTime + QStringLiteral(" do:")
                    + EventEndText(r.EventDate, r.EventTime, r.Length) + u' ' + DurationText(r.Length);
    });
    // A file of one record holds nothing to collide with but that record.
    if (count <= 1 || lines.isEmpty())
        return mrYes;
    return MessageDlgBeep(QStringLiteral("Kolize s následujícími připomínanými akcemi:\r") + lines.join(u'\r')
            + QStringLiteral("\rmám pokračovat?"),
        MsgDlgType::Confirmation, MsgBtn::Yes | MsgBtn::No, 0);
}

std::optional<double> TimeEditValue(const QLineEdit* edit)
{
    const QString text = timeEditText(edit);
    if (text.size() <= 4)
        return std::nullopt;
    // The old edits put an unfilled optional hour place in front (" 9"); ours
    // may leave it behind the digit ("9 "), which is the same hour.
    const int hours = decimalOrMinusOne(QStringView(text).mid(0, 2).trimmed());
    const int minutes = decimalOrMinusOne(QStringView(text).mid(3, 2));
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59)
        return std::nullopt;
    return (hours * 60 + minutes) / MinsPerDay;
}

bool TimeEditInvalid(QLineEdit* edit)
{
    if (TimeEditValue(edit))
        return false;
    if (refocusing)
        return true;
    refocusing = edit;
    MessageDlgBeep(QStringLiteral("Chybný formát"), MsgDlgType::Error, MsgBtn::OK, 0);
    // Taking the focus inside the exit of the edit would fight the focus
    // change under way; take it once that has settled.
    QTimer::singleShot(0, edit, [edit] {
        edit->setFocus(Qt::OtherFocusReason);
        refocusing = nullptr;
    });
    return true;
}
