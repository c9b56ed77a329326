#pragma once

#include <QString>

#include <cstdint>
#include <optional>

class QComboBox;
class QListWidget;

// The kinds a reminder record stores are 1-based; a kind's caption is also its
// item in the combo box where the user picks it (stored value = index + 1).

enum ReminderRepeatKind : int32_t {
    rkNone = 1, // erased after it has sounded
    rkWeekdays = 2, // on the chosen weekdays
    rkWeekly = 3,
    rkYearly = 4,
};

enum ReminderAdvanceKind : int32_t {
    akMinutes = 1,
    akHours = 2,
    akDays = 3,
    akAbsolute = 4, // the advance amount is the date-time of the first pop-up
};

enum ReminderNextKind : int32_t {
    nkMinutes = 1,
    nkHours = 2,
    nkDays = 3,
    nkYears = 4,
    nkAbsolute = 5,
    // Offered only while the event lies ahead; never stored.
    nkMinutesBefore = 6,
    nkHoursBefore = 7,
    nkDaysBefore = 8,
};

enum ReminderLengthKind : int32_t {
    lkMinutes = 1,
    lkHours = 2,
    lkDays = 3,
    lkEndDateTime = 4,
};

enum ReminderOverdueAction : int32_t {
    oaNothing = 1, // erased once the event time has passed
    oaAsSoonAsPossible = 2,
    oaWithinMinutes = 3,
    oaWithinHours = 4,
    oaWithinDays = 5,
};

// Whether an overdue action still reminds after the event time; with any
// other value the reminder lapses then and the tray erases it.
bool RemindsWhenOverdue(int32_t overdueAction);

// Captions; empty outside the kind's range.
QString RepeatKindText(int32_t value);
QString AdvanceKindText(int32_t value);
QString NextKindText(int32_t value, bool withRelative);
QString LengthKindText(int32_t value);
QString OverdueActionText(int32_t value);

int32_t RepeatKindCount();
int32_t AdvanceKindCount();
int32_t NextKindCount(bool withRelative);
int32_t LengthKindCount();
int32_t OverdueActionCount();

// Each filler replaces the combo's items by the kind's captions and shows the
// caption of value (nothing when value is out of range). The combo's tag
// becomes the shown kind, 0 when none is shown. No change signal is emitted.
void FillRepeatKindCombo(QComboBox* combo, int32_t value);
void FillAdvanceKindCombo(QComboBox* combo, int32_t value);
void FillLengthKindCombo(QComboBox* combo, int32_t value);
void FillOverdueActionCombo(QComboBox* combo, int32_t value);
// A value beyond the list becomes 1, and the caller gets it back.
void FillNextKindCombo(QComboBox* combo, int32_t& value, bool withRelative);

// Weekday names by day of week, 1 = Sunday.
QString WeekdayName(int dayOfWeek);

// The weekday check-list holds the seven days Sunday first; the stored set is
// the digits of the checked days, "1" = Sunday. Setting the checks emits no
// change signal.
QString WeekdaysToText(const QListWidget* box);
void TextToWeekdays(QListWidget* box, const QString& digits);

// Date-time texts: sortable forms for list columns and short displays.
// "8.12.2026 9:05:00" → "2026.12.08 09:05:00".
QString NormalizeDateTimeText(const QString& s);
// "9:05:00" → "9:05"; fewer than three ":"-parts unchanged.
QString CutSecondsText(const QString& s);
// "2026.12.08 09:05:00" → "12.08 09:05".
QString ShortDateTimeText(const QString& s);
// A one-digit hour gets its leading zero: "9:05:00" → "09:05".
QString PadHourText(const QString& s);
// "2026.12.08 09:05-úterý".
QString WeekdayDateTimeText(double dt);
// A date and a time as the records store them, joined; none when either text
// does not parse. A time that the start of summer time skips counts as the
// first moment after the gap.
std::optional<double> StoredDateTime(const QString& dateText, const QString& timeText);
// The end of an event stored as date and time texts plus a length: "hh:mm"
// on the same day, "MM.dd hh:mm" on a later one; empty when the length is 0,
// the stored texts do not parse or the length or the end is no valid
// date-time.
QString EventEndText(const QString& dateText, const QString& timeText, double length);
// Minutes of a day as "hh:mm"; 1440 and more wrap round midnight.
QString MinutesToTimeText(int32_t minutes);
// The Czech word after a count n: unit 1 days, 2 hours, any other minutes.
QString CzechUnitWord(int32_t unit, int32_t n);
// "(1den2hodiny30minut)"; empty for a zero span or one that is no valid
// date-time value.
QString DurationText(double span);
// The "zbývá" column: "2dny 05:03", "05:03", "> rok"; empty when past.
QString RemainingText(double span);
