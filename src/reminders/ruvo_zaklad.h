#pragma once

#include "components/programhub.h"

#include <QDeadlineTimer>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <optional>

class TAppEvents;

// What the hub asks of a reminder pop-up window (the pop-up implements it).
class ReminderPopup {
public:
    // The record position it shows: set by the hub before the pop-up is
    // shown, changed by renumbering.
    virtual int RecordNumber() const = 0;
    virtual void SetRecordNumber(int number) = 0;
    // The Created of the reminder it was opened for: tells a pop-up whose
    // reminder has left its position.
    virtual double ReminderCreated() const = 0;
    // Plays the reminder's sounds again.
    virtual void ZvukAkce() = 0;

protected:
    ~ReminderPopup() = default;
};

// What the hub asks of the reminder overview ("FPrehled").
class ReminderOverview {
public:
    virtual void Aktualizuj() = 0;

protected:
    ~ReminderOverview() = default;
};

// The component name of the pop-up of a record position: "Pripomenuti" + n.
QString PopupName(int position);
// The open pop-up of that name; null when there is none.
QWidget* FindPopup(int position);

// The hidden main form of the reminders program. It holds the paths every
// window reads, counts the open windows and ends the program with the last,
// and obeys the command codes posted to the program (the tray resident's and
// the program's own): each opens, brings forward or refreshes a window, or
// shows the pop-up of a reminder.
class TFZaklad : public TProgramHub {
    Q_OBJECT
public:
    // arguments: the command line, the program first. "-setup" as the only
    // argument makes the set-up run, which opens no window (SetupRun).
    explicit TFZaklad(const QStringList& arguments);
    ~TFZaklad() override;

    // Set once at creation, read by every window.
    const QString& ProgramDirectory() const { return m_programDirectory; }
    const QString& SettingsFileName() const { return m_settingsFileName; }
    const QString& ReminderDataPath() const { return m_reminderDataPath; }
    const QString& ContactDataPath() const { return m_contactDataPath; }

    bool SetupRun() const { return m_setupRun; }

    // The pop-ups' cascade: 0 for the first pop-up of the run, then 1, 2, …
    int NextPopupCascade() { return m_popupCascade++; }
    // When a pop-up was last shown or brought back by a reminder number.
    double LastPopupTime() const { return m_lastPopupTime; }

    // One command code: a command (0 .. -13), a record position (1 and up),
    // or nothing (below -13). While the program is ending only the automatic
    // export (-10) still runs.
    void HandleReminderCommand(int32_t code);
    // An open overview reloads its lists.
    void RefreshOverview();

    // BaseWindowHost
    QString SettingsFile() const override;
    QString PlacementFileName() const override { return m_settingsFileName; }
    PlacementRule Placement() const override { return PlacementRule::ByFrame; }

protected:
    // The tray resident that ends the session posts -10 first when the
    // automatic exchange is on, and may get its own SIGTERM at the moment
    // this program gets one: while it runs, the end waits for that code (a
    // few seconds at most), and for the export it starts.
    bool HoldsEnd() override;

private:
    void RunSetup();
    // Closes an open window of oldName and opens a fresh newName.
    void ReplaceWindow(const QString& oldName, const QString& newName, OpenMode mode = OpenMode::Interactive);
    void AutoImport();
    void AutoExport();
    void ShowHotkeyFailures();
    void ShowReminder(int position);
    void RenamePopup(int oldId, int newId);
    void EndRenumbering();

    TAppEvents* m_appEvents;
    QString m_programDirectory;
    QString m_settingsFileName;
    QString m_reminderDataPath;
    QString m_contactDataPath;
    bool m_setupRun = false;
    int m_popupCascade = 0;
    double m_lastPopupTime = 0;
    // Pop-ups renamed by the renumbering under way.
    QList<QPointer<QWidget>> m_renamed;
    bool m_renumbering = false;
    // The automatic export has been asked for (-10).
    bool m_autoExportAsked = false;
    // While ending: until when the end waits for it; none when it does not.
    std::optional<QDeadlineTimer> m_exportWait;
};

// The main form of the running program; null before it is made and after it
// is gone.
TFZaklad* FZaklad();
