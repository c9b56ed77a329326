#pragma once

#include "components/kitcolors.h"
#include "platform/dialogs.h"
#include "shared/reminderkinds.h"
#include "shared/reminderrecord.h"

#include <QString>

#include <cstdint>

// The rules of the reminder pop-up over plain values: the next pop-up time,
// the event length, what a confirmation accepts, the frame colour and the
// minute tick. The window reads its controls into these and shows the result.

// The next time as the pop-up's controls set it.
struct NextTimeSetting {
    int32_t Kind = nkMinutes; // CBZnovu's kind
    int32_t Amount = 1; // EZnovuKolik
    // Repeat mode moves the event itself, counting from the event start;
    // further mode only sets the next pop-up, counting from now.
    bool RepeatMode = false;
    double EventStart = 0;
    double Absolute = 0; // DTZnovu's date + ECasZnovu's time, for nkAbsolute
};

// The next time: by minutes, hours, days or years from the mode's base (any
// unknown kind counts minutes; years stop at 9999), at the absolute time, or
// minutes, hours or days before the event start.
double DejNewCas(const NextTimeSetting& setting, double now);

// The event length as the pop-up's controls set it.
struct LengthSetting {
    int32_t Kind = lkMinutes; // CBDelka's kind
    int32_t Amount = 0; // SEDelka
    double AbsoluteEnd = 0; // DTPDelka's date + MEDelka2's time, for lkEndDateTime
};

// Amount minutes, hours or days; for the end kind the span from reference
// (the new time in repeat mode, the event start in further mode) to the end,
// negative when the end lies before it.
double DejDelku(const LengthSetting& setting, double reference);

// SEDelka for a stored length: all of it in whole units of the kind, not just
// the part below the next unit, so that 90 minutes read 90.
int32_t LengthAmount(int32_t kind, double length);

// Stored values as the pop-up takes them: a length kind outside 1..4 is 1; a
// next kind is kept within 1..5; a next amount within 0..36500, not-a-number
// being 0.
int32_t LoadedLengthKind(int32_t stored);
int32_t LoadedNextKind(int32_t stored);
double LoadedNextAmount(double stored);

// The messages that stop a confirmation; none writes anything.
enum PripMessage {
    pmAccepted = 0,
    pmWarnAfterNew = 1, // the absolute first pop-up lies after the new time
    pmWarnPassed = 2, // the absolute first pop-up has passed
    pmAdvancePassed = 3, // the first pop-up before the new time has passed
    pmTimePassed = 4, // the new time is not acceptable for the mode
    pmNegativeLength = 5,
};

struct ConfirmSetting {
    bool RepeatMode = false;
    double NewTime = 0;
    // The event start stored in the record now (further mode).
    double StoredEventStart = 0;
    int32_t AdvanceKind = akMinutes;
    // Whole units before the event, or the first pop-up itself for akAbsolute.
    double AdvanceAmount = 0;
    // The tray erased the reminder by its overdue rule meanwhile.
    bool Lapsed = false;
};

// The first of messages 1 to 4 that stops a confirmation at now. Repeat mode
// checks the first pop-up before the moved event and takes no new time in the
// past; further mode takes any time up to the stored event start, past ones
// too (the reminder falls due again at once), but none for a lapsed reminder:
// a time up to its past event would only lapse again at once.
PripMessage ConfirmCheck(const ConfirmSetting& setting, double now);

// Whether the tray's overdue rule erased the stored record: it has nothing to
// do after its event, and the event minute has passed. Its pop-up, open
// meanwhile, may still move the event on (repeat mode) or erase it; a record
// erased in any other way is gone for the pop-up.
bool ErasedByOverdueRule(const ReminderRecord& stored, double now);

// The message's text (remindDate, remindTime: the new time as it would be
// stored) and its dialog type.
QString PripMessageText(PripMessage message, bool repeatMode, const QString& remindDate, const QString& remindTime);
MsgDlgType PripMessageType(PripMessage message);

// A time as RemindDate ("d.M.yyyy", at most 10 characters) and RemindTime
// ("hh:mm") store it.
QString RemindDateText(double dt);
QString RemindTimeText(double dt);

// The frame turns red once now has passed the event start, and stays red.
TColor FrameColor(double now, double eventStart, TColor current);
constexpr TColor FrameColorBefore = clGreen;
constexpr TColor FrameColorAfter = clRed;

// Milliseconds from now to just after the next whole minute.
int MinuteTickInterval(double now);
