#pragma once

#include <QLatin1String>

#include <cstdint>

// The three programs ask one another for work by posting a code (and an
// argument, 0 unless a table says otherwise) to the other program's title.
// The meaning of a code depends only on the receiver: 5 to the reminders
// program is record position 5, to the tray resident it is "resume".

// Application titles: the names the programs are found by.
inline constexpr QLatin1String ReminderAppTitle("Korvel-Pripomenuti");
inline constexpr QLatin1String ContactAppTitle("Korvel-Kontakt");
inline constexpr QLatin1String TrayAppTitle("Korvel-Tray-Selvantrix");

// Program files in the program folder, started by the tray resident when the
// program it posts to does not run.
inline constexpr QLatin1String ReminderProgramName("ruvo");
inline constexpr QLatin1String ContactProgramName("dorv");

// Codes of the reminders program. A code n >= 1 is the record position of a
// reminder whose pop-up is to be shown (or brought to the front).
enum RuvoCommand : int32_t {
    rcRestore = 0, // restore the application only
    rcNewReminder = -1,
    rcOverview = -2, // the program ends when there are no reminders
    rcAbout = -3,
    rcSettings = -4,
    rcSettingsFromTray = -5,
    rcRefreshOverview = -6, // refresh an open overview
    rcExport = -7,
    rcImport = -8,
    rcAutoImport = -9, // run the automatic import when due, else resume the tray resident
    rcAutoExport = -10, // run the automatic export, then close the tray resident
    rcConvertOldData = -11,
    rcHotkeyFailures = -12, // report how many hotkeys could not be registered
    rcCalendar = -13,
};

// How the reminders program reads a code: a command, a record position, or
// nothing. Codes below the lowest command are ignored; they must never be
// taken for a record position.
enum class RuvoCodeClass { Command, RecordPosition, Ignored };
RuvoCodeClass ClassifyRuvoCode(int32_t code);

// Codes of the contacts program.
enum DorvCommand : int32_t {
    dcRestore = 0, // restore the application only
    dcNewContact = -1, // argument: record number of the contact to copy, or 0
    dcOverview = -2, // bring the contact overview to the front, or open it
    dcReloadList = -3, // an open overview comes to the front and reloads its list
    dcReloadGroups = -4, // an open overview comes to the front and reloads its group lists
};

// Notification codes of the tray resident; every other code is ignored there.
enum TrayNotification : int32_t {
    tnRemindersChanged = 1, // re-evaluate the reminder and sound-only timers within a second
    tnPopupConfirmed = 2, // re-evaluate the reminder timer within a second
    tnClockChanged = 3, // clock settings changed: re-evaluate the clock timer within a second
    tnPause = 4, // before reminders are deleted, exported or imported
    tnResume = 5, // after deleting, exporting, importing or converting
    tnReloadSettings = 6, // reload the settings and register the hotkeys anew
    tnClose = 7,
    tnPauseAndClose = 8,
};

// Post a code to the tray resident or to the contacts program when it runs;
// neither is ever started for this. Returns whether the program was found.
bool NotifyTray(int32_t code);
bool NotifyContacts(int32_t code);

// Pauses the tray resident (code 4) for as long as it lives, when active,
// and resumes it (code 5) at its end, whatever happened meanwhile.
class TrayPause {
public:
    explicit TrayPause(bool active = true);
    ~TrayPause();
    TrayPause(const TrayPause&) = delete;
    TrayPause& operator=(const TrayPause&) = delete;

private:
    bool m_active;
};

// Asks the reminders program's own command hook to refresh an open overview
// once the current handler has finished; no other program sees it.
void PostRefreshOverview();
