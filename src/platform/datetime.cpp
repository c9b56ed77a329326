#include "datetime.h"

#include "clock.h"
#include "errors.h"

#include <QLocale>

#include <cmath>

namespace {

constexpr qint64 kJulianDay18991230 = 2415019;
constexpr qint64 kMsPerDay = 86400000;

// Whether dt is a date-time of the years 1..9999, the range the encoders
// produce; written so that NaN fails both comparisons.
bool convertible(double dt)
{
    return dt > -693594.0 && dt < MaxDateTime;
}

// Whole days and milliseconds of the day, the time rounded to the millisecond.
// Only convertible date-times are split; the callers check first.
struct Stamp {
    qint64 days;
    qint64 ms;
};

Stamp toStamp(double dt)
{
    Q_ASSERT(convertible(dt));
    qint64 days = static_cast<qint64>(std::trunc(dt));
    qint64 ms = std::llround(std::fabs(dt - std::trunc(dt)) * MSecsPerDay);
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        days += dt < 0 ? -1 : 1;
    }
    return {days, ms};
}

const QLocale& czech()
{
    static const QLocale loc(QLocale::Czech, QLocale::CzechRepublic);
    return loc;
}

QString pad(int v, int width)
{
    return QStringLiteral("%1").arg(v, width, 10, QLatin1Char('0'));
}

struct Scanner {
    const QString& s;
    qsizetype pos = 0;

    void skipBlanks()
    {
        while (pos < s.size() && s[pos] == u' ')
            ++pos;
    }
    bool atEnd()
    {
        skipBlanks();
        return pos >= s.size();
    }
    // Digits after optional blanks; digits receives their count.
    bool number(int& value, int& digits)
    {
        skipBlanks();
        value = 0;
        digits = 0;
        while (pos < s.size() && s[pos].isDigit() && s[pos].unicode() < 128) {
            if (digits >= 9)
                return false;
            value = value * 10 + (s[pos].unicode() - '0');
            ++digits;
            ++pos;
        }
        return digits > 0;
    }
    bool character(QChar c)
    {
        skipBlanks();
        if (pos < s.size() && s[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    }
};

std::optional<double> scanDate(Scanner& sc)
{
    int d = 0, m = 0, y = 0, dd = 0, md = 0, yd = 0;
    if (!sc.number(d, dd) || !sc.character(FormatSettings::DateSeparator) || !sc.number(m, md))
        return std::nullopt;
    // Read only for a date without its full year: a record's date is parsed
    // at every tick, and the clock is dearer than the date.
    const auto currentYear = [] {
        int year = 0, month = 0, day = 0;
        DecodeDate(Date(), year, month, day);
        return year;
    };
    if (sc.character(FormatSettings::DateSeparator)) {
        const qsizetype before = sc.pos;
        if (!sc.number(y, yd)) {
            // "8.12." : the trailing separator of a date without year.
            sc.pos = before;
            y = currentYear();
        } else if (yd <= 2) {
            // The hundred years starting with the window before this year.
            const int first = currentYear() - FormatSettings::TwoDigitYearCenturyWindow;
            y += first / 100 * 100;
            if (y < first)
                y += 100;
        }
    } else {
        y = currentYear();
    }
    double out = 0;
    if (!TryEncodeDate(y, m, d, out))
        return std::nullopt;
    return out;
}

std::optional<double> scanTime(Scanner& sc)
{
    int h = 0, n = 0, s = 0, ms = 0, digits = 0;
    if (!sc.number(h, digits) || !sc.character(FormatSettings::TimeSeparator) || !sc.number(n, digits))
        return std::nullopt;
    if (sc.character(FormatSettings::TimeSeparator)) {
        if (!sc.number(s, digits))
            return std::nullopt;
        if (sc.character(u'.') && !sc.number(ms, digits))
            return std::nullopt;
    }
    double out = 0;
    if (!TryEncodeTime(h, n, s, ms, out))
        return std::nullopt;
    return out;
}

} // namespace

bool IsValidDateTime(double dt)
{
    // Written so that NaN fails both comparisons.
    return dt >= MinDateTime && dt < MaxDateTime;
}

double Now()
{
    return QDateTimeToDateTime(Clock::now());
}

double Date()
{
    return std::trunc(Now());
}

double Time()
{
    const double n = Now();
    return n - std::trunc(n);
}

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, double& out)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    out = static_cast<double>(QDate(year, month, day).toJulianDay() - kJulianDay18991230);
    return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, double& out)
{
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
        return false;
    out = (((hour * 60.0 + min) * 60.0 + sec) * 1000.0 + msec) / MSecsPerDay;
    return true;
}

double EncodeDate(int year, int month, int day)
{
    double out = 0;
    if (!TryEncodeDate(year, month, day, out))
        throw KorvelError(QStringLiteral("Invalid argument to date encode"));
    return out;
}

double EncodeTime(int hour, int min, int sec, int msec)
{
    double out = 0;
    if (!TryEncodeTime(hour, min, sec, msec, out))
        throw KorvelError(QStringLiteral("Invalid argument to time encode"));
    return out;
}

double ComposeDateTime(double date, double time)
{
    return date < 0 ? date - time : date + time;
}

void DecodeDate(double dt, int& year, int& month, int& day)
{
    const QDate d = DateTimeToQDate(dt);
    year = d.year();
    month = d.month();
    day = d.day();
}

void DecodeTime(double dt, int& hour, int& min, int& sec, int& msec)
{
    qint64 ms = convertible(dt) ? toStamp(dt).ms : 0;
    hour = static_cast<int>(ms / 3600000);
    ms %= 3600000;
    min = static_cast<int>(ms / 60000);
    ms %= 60000;
    sec = static_cast<int>(ms / 1000);
    msec = static_cast<int>(ms % 1000);
}

int DayOfWeek(double dt)
{
    if (!convertible(dt))
        return 0;
    return DateTimeToQDate(dt).dayOfWeek() % 7 + 1;
}

double DateOf(double dt)
{
    return convertible(dt) ? static_cast<double>(toStamp(dt).days) : std::nan("");
}

double TimeOf(double dt)
{
    return convertible(dt) ? static_cast<double>(toStamp(dt).ms) / MSecsPerDay : std::nan("");
}

double IncMonth(double dt, int months)
{
    int y, m, d;
    DecodeDate(dt, y, m, d);
    // Counted in 64 bits: a count near INT_MAX must fail, not wrap round.
    const qint64 total = qint64(y) * 12 + (m - 1) + months;
    double date = 0;
    if (y == 0 || total < 12 || total >= 10000 * 12)
        throw KorvelError(QStringLiteral("Invalid argument to date encode"));
    y = int(total / 12);
    m = int(total % 12) + 1;
    d = std::min(d, DaysInMonth(y, m));
    if (!TryEncodeDate(y, m, d, date))
        throw KorvelError(QStringLiteral("Invalid argument to date encode"));
    return ComposeDateTime(date, TimeOf(dt));
}

QDate DateTimeToQDate(double dt)
{
    if (!convertible(dt))
        return {};
    return QDate::fromJulianDay(toStamp(dt).days + kJulianDay18991230);
}

double QDateToDateTime(QDate d)
{
    return static_cast<double>(d.toJulianDay() - kJulianDay18991230);
}

QDateTime DateTimeToQDateTime(double dt)
{
    if (!convertible(dt))
        return {};
    const Stamp st = toStamp(dt);
    const QDate date = QDate::fromJulianDay(st.days + kJulianDay18991230);
    const QTime time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(st.ms));
    const QDateTime local(date, time);
    if (local.isValid())
        return local;
    // Skipped by a change of the clock. The wall-clock reading of an instant
    // grows with it across the gap, so the first instant that reads at least
    // the wanted local time is the moment the clock jumped. No offset from
    // UTC exceeds a day, which bounds the search to two days either side.
    const qint64 wanted = QDateTime(date, time, Qt::UTC).toMSecsSinceEpoch();
    auto wallAt = [](qint64 instant) {
        const QDateTime at = QDateTime::fromMSecsSinceEpoch(instant, Qt::LocalTime);
        return QDateTime(at.date(), at.time(), Qt::UTC).toMSecsSinceEpoch();
    };
    qint64 low = wanted - 2 * kMsPerDay; // reads earlier than wanted
    qint64 high = wanted + 2 * kMsPerDay; // reads at least wanted
    while (high - low > 1) {
        const qint64 mid = low + (high - low) / 2;
        (wallAt(mid) < wanted ? low : high) = mid;
    }
    return QDateTime::fromMSecsSinceEpoch(high, Qt::LocalTime);
}

double ExistingLocalTime(double dt)
{
    if (!convertible(dt))
        return dt;
    const Stamp st = toStamp(dt);
    if (QDateTime(QDate::fromJulianDay(st.days + kJulianDay18991230),
            QTime::fromMSecsSinceStartOfDay(static_cast<int>(st.ms)))
            .isValid())
        return dt;
    return QDateTimeToDateTime(DateTimeToQDateTime(dt));
}

double QDateTimeToDateTime(const QDateTime& dt)
{
    return ComposeDateTime(QDateToDateTime(dt.date()), dt.time().msecsSinceStartOfDay() / MSecsPerDay);
}

QString FormatDateTime(const QString& format, double dt)
{
    if (!convertible(dt))
        return {};
    int y, mo, d, h, n, s, ms;
    DecodeDate(dt, y, mo, d);
    DecodeTime(dt, h, n, s, ms);
    const QDate date = DateTimeToQDate(dt);
    QString out;
    bool afterHour = false;
    qsizetype i = 0;
    auto run = [&](QChar c) {
        qsizetype k = i;
        while (k < format.size() && format[k].toLower() == c)
            ++k;
        return k - i;
    };
    while (i < format.size()) {
        const QChar c = format[i];
        const QChar lc = c.toLower();
        if (c == u'"' || c == u'\'') {
            const qsizetype close = format.indexOf(c, i + 1);
            const qsizetype end = close < 0 ? format.size() : close;
            out += format.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (format.mid(i, 5).compare(QLatin1String("am/pm"), Qt::CaseInsensitive) == 0) {
            out += h < 12 ? QStringLiteral("am") : QStringLiteral("pm");
            i += 5;
            continue;
        }
        const qsizetype len = run(lc);
        if (lc == u'y') {
            out += len <= 2 ? pad(y % 100, 2) : pad(y, 4);
        } else if (lc == u'm') {
            if (afterHour && len <= 2)
                out += pad(n, len == 1 ? 1 : 2);
            else if (len == 1)
                out += QString::number(mo);
            else if (len == 2)
                out += pad(mo, 2);
            else if (len == 3)
                out += czech().standaloneMonthName(mo, QLocale::ShortFormat);
            else
                out += czech().standaloneMonthName(mo, QLocale::LongFormat);
            afterHour = false;
        } else if (lc == u'd') {
            if (len == 1)
                out += QString::number(d);
            else if (len == 2)
                out += pad(d, 2);
            else if (len == 3)
                out += czech().standaloneDayName(date.dayOfWeek(), QLocale::ShortFormat);
            else if (len == 4)
                out += czech().standaloneDayName(date.dayOfWeek(), QLocale::LongFormat);
            else if (len == 5)
                out += FormatDateTime(FormatSettings::ShortDateFormat, dt);
            else
                out += FormatDateTime(FormatSettings::LongDateFormat, dt);
        } else if (lc == u'h') {
            out += len == 1 ? QString::number(h) : pad(h, 2);
            afterHour = true;
            i += len;
            continue;
        } else if (lc == u'n') {
            out += len == 1 ? QString::number(n) : pad(n, 2);
        } else if (lc == u's') {
            out += len == 1 ? QString::number(s) : pad(s, 2);
        } else if (lc == u'z') {
            out += len < 3 ? QString::number(ms) : pad(ms, 3);
        } else if (lc == u't') {
            out += FormatDateTime(len == 1 ? FormatSettings::ShortTimeFormat : FormatSettings::LongTimeFormat, dt);
        } else if (lc == u'c' && len == 1) {
            out += DateTimeToStr(dt);
        } else if (c == u'/') {
            out += FormatSettings::DateSeparator;
        } else if (c == u':') {
            out += FormatSettings::TimeSeparator;
        } else {
            out += c;
            ++i;
            continue;
        }
        i += len;
    }
    return out;
}

QString DateToStr(double dt)
{
    return FormatDateTime(FormatSettings::ShortDateFormat, dt);
}

QString TimeToStr(double dt)
{
    return FormatDateTime(FormatSettings::LongTimeFormat, dt);
}

QString DateTimeToStr(double dt)
{
    if (!convertible(dt))
        return {};
    if (toStamp(dt).ms == 0)
        return DateToStr(dt);
    return DateToStr(dt) + u' ' + TimeToStr(dt);
}

std::optional<double> TryStrToDate(const QString& text)
{
    Scanner sc{text};
    const auto d = scanDate(sc);
    if (!d || !sc.atEnd())
        return std::nullopt;
    return d;
}

std::optional<double> TryStrToTime(const QString& text)
{
    Scanner sc{text};
    const auto t = scanTime(sc);
    if (!t || !sc.atEnd())
        return std::nullopt;
    return t;
}

std::optional<double> TryStrToDateTime(const QString& text)
{
    Scanner sc{text};
    const auto d = scanDate(sc);
    if (!d)
        return std::nullopt;
    if (sc.atEnd())
        return d;
    const auto t = scanTime(sc);
    if (!t || !sc.atEnd())
        return std::nullopt;
    return ComposeDateTime(*d, *t);
}
