#pragma once

#include "components/programhub.h"

#include <QString>

#include <cstdint>

class QTimer;
class QTreeWidget;
class TAppEvents;

// What the hub and the windows of the contacts program ask of one another's
// windows, so that each asks for a window by name only (dorv_okna.h).

// The contact overview ("FKPrehled"), for codes -3 and -4.
class ContactOverview {
public:
    // Reloads the list with the current filters.
    virtual void Aktualizuj() = 0;
    // Refills the three group boxes of the filter.
    virtual void VsechnySkupDoCombo() = 0;

protected:
    ~ContactOverview() = default;
};

// The new-contact form ("FKNew"): the contact whose data it starts with,
// set before it is shown; 0 = an empty form.
class NewContactForm {
public:
    virtual void SetCopySource(int number) = 0;

protected:
    ~NewContactForm() = default;
};

// The edit form ("FKEdit"), told before it is shown which contacts it edits:
// one by its record number, or several at once by a ";"-list of numbers.
class ContactEditForm {
public:
    virtual void SetRecordNumber(int number) = 0;
    virtual void SetMultiEdit(const QString& numbers) = 0;

protected:
    ~ContactEditForm() = default;
};

// The column chooser ("FKPrehlSloup"): the list whose columns it sets and the
// settings section (in "korvelk.ini") its layout is stored under.
class ColumnChooser {
public:
    virtual void SetListView(QTreeWidget* list, const QString& section) = 0;

protected:
    ~ColumnChooser() = default;
};

// The CSV export wizard ("FKExportCSV"): its range preset (0 every contact
// of the file, 1 the overview's rows, 2 the overview's selected rows).
class ContactExport {
public:
    virtual void SetRange(int item) = 0;

protected:
    ~ContactExport() = default;
};

// The hidden main form of the contacts program. It holds the paths every
// window reads, counts the open windows (ending the program with the last)
// and the open edit forms, and obeys the command codes posted to the program
// by the tray resident, the reminders program and its own windows.
class TFKZaklad : public TProgramHub {
    Q_OBJECT
public:
    TFKZaklad();
    ~TFKZaklad() override;

    // Set once at creation, read by every window.
    const QString& ProgramDirectory() const { return m_programDirectory; }
    const QString& SettingsFileName() const { return m_settingsFileName; }
    // The contacts program's own settings: placements, list layouts, wizards.
    QString PlacementFileName() const override { return m_placementFileName; }
    // The full path of "korvelk.ini".
    QString PlacementFile() const;
    const QString& ContactDataPath() const { return m_contactDataPath; }

    // Open edit forms: while one is open the deleted contacts cannot be
    // renumbered.
    int OpenEditFormCount() const { return m_openEditForms; }
    void EditFormOpened();
    void EditFormClosed();

    // A program that has no window ends when no command came for ms
    // milliseconds: one started by hand, or whose command opened nothing,
    // does not live on unseen.
    void EndWhenIdle(int ms);

    // One command code with its argument; codes outside -4 .. 0 only
    // restore the program's windows.
    void HandleContactCommand(int32_t code, int32_t arg);

    // BaseWindowHost
    QString SettingsFile() const override;
    PlacementRule Placement() const override { return PlacementRule::ByDefaultWidth; }

private:
    void NewContact(int32_t copySource);
    // The open overview, brought forward; null when none is open.
    ContactOverview* OverviewToFront();

    TAppEvents* m_appEvents;
    QTimer* m_idle = nullptr;
    QString m_programDirectory;
    QString m_settingsFileName;
    QString m_placementFileName;
    QString m_contactDataPath;
    int m_openEditForms = 0;
};

// The main form of the running program; null before it is made and after it
// is gone.
TFKZaklad* FKZaklad();

// Tells the user that count contacts to be changed are no longer in the file
// (another program removed them since they were listed); nothing was written
// for them.
void ReportContactsGone(int count);
