#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

// Date-times as the files store them: a double counting days since
// 1899-12-30 in local wall-clock time, the fraction being the time of day.
// The text formats are pinned to the Czech ones, whatever the system locale:
// short date "d.M.yyyy", time "hh:mm", long time "H:mm:ss".

constexpr double HoursPerDay = 24.0;
constexpr double MinsPerDay = 1440.0;
constexpr double SecsPerDay = 86400.0;
constexpr double MSecsPerDay = 86400000.0;
constexpr double OneHour = 1.0 / HoursPerDay;
constexpr double OneMinute = 1.0 / MinsPerDay;
constexpr double OneSecond = 1.0 / SecsPerDay;

// Format strings use the class library's letters (d, m, yyyy, h, nn, ss, …,
// "m" after an hour meaning minutes); see FormatDateTime.
namespace FormatSettings {
inline const QString ShortDateFormat = QStringLiteral("d.m.yyyy");
inline const QString LongDateFormat = QStringLiteral("d. mmmm yyyy");
inline const QString ShortTimeFormat = QStringLiteral("hh:nn");
inline const QString LongTimeFormat = QStringLiteral("h:nn:ss");
constexpr QChar DateSeparator = u'.';
constexpr QChar TimeSeparator = u':';
constexpr int TwoDigitYearCenturyWindow = 50;
} // namespace FormatSettings

// The conversions below take the years 1..9999, as the encoders give them; a
// value outside them, or not a number, converts to nothing (no text, an
// invalid QDate or QDateTime, NaN parts) and is never cast into an integer.
// A date-time or span read from a file is valid from 1.1.100 up to the end of
// 31.12.9999; any other value there is damage, treated like a stored date
// that does not parse.
constexpr double MinDateTime = -657434.0;
constexpr double MaxDateTime = 2958466.0; // exclusive
bool IsValidDateTime(double dt);

double Now();
double Date();
double Time();

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

bool TryEncodeDate(int year, int month, int day, double& out);
bool TryEncodeTime(int hour, int min, int sec, int msec, double& out);
// Throw KorvelError on values out of range.
double EncodeDate(int year, int month, int day);
double EncodeTime(int hour, int min, int sec, int msec);
double ComposeDateTime(double date, double time);

// Decoding rounds to whole milliseconds first, so 1/24 is 01:00:00.000. A
// value outside the years 1..9999 decodes to zeros; DateOf and TimeOf give
// NaN for it, and DayOfWeek 0.
void DecodeDate(double dt, int& year, int& month, int& day);
void DecodeTime(double dt, int& hour, int& min, int& sec, int& msec);
// 1 = Sunday … 7 = Saturday.
int DayOfWeek(double dt);
double DateOf(double dt);
double TimeOf(double dt);
// Throws KorvelError when the result falls outside the years 1..9999.
double IncMonth(double dt, int months);

QDate DateTimeToQDate(double dt);
double QDateToDateTime(QDate d);
// A local time skipped when summer time begins (02:30 on that night in
// Central Europe) gives the first moment after the gap (03:00), so a timer
// aimed at it fires once the clock has jumped.
QDateTime DateTimeToQDateTime(double dt);
// dt itself, or for a local time that gap skips, the first moment after it:
// a reminder stored for 02:30 that night is one for 03:00.
double ExistingLocalTime(double dt);
double QDateTimeToDateTime(const QDateTime& dt);

// Empty for a value outside the years 1..9999.
QString FormatDateTime(const QString& format, double dt);
QString DateToStr(double dt);
QString TimeToStr(double dt);     // long time, "H:mm:ss"
QString DateTimeToStr(double dt); // date, and the long time unless it is midnight

// Lenient like the class library: blanks around the text are skipped, day
// and month take one or two digits, a two-digit year is put in the century
// window around today, a missing year is this year. Nothing throws: text
// that does not parse gives no value.
std::optional<double> TryStrToDate(const QString& text);
std::optional<double> TryStrToTime(const QString& text);
std::optional<double> TryStrToDateTime(const QString& text);
