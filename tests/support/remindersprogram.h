#pragma once

#include "testsupport.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class TFZaklad;

// The reminders program in the test's own process: its hidden main form over
// a fresh program folder, dialogs scripted, the clock stopped at now (or left
// running). Windows still open at the end are freed before the main form.
class RemindersProgram {
public:
    RemindersProgram();
    explicit RemindersProgram(const QDateTime& now);
    ~RemindersProgram();

    TFZaklad& hub() const { return *m_hub; }
    QString folder() const { return m_folder.path(); }
    QString file(const QString& name) const { return m_folder.file(name); }
    QString iniPath() const { return m_folder.iniPath(); }
    QString dataPath() const { return m_folder.file(QStringLiteral("korvel.da1")); }

    // The windows and the main form go, then a main form starts with these
    // arguments. The old one goes first: a main form running the set-up
    // takes no commands, so one freed after it would leave its own behind.
    void restart(const QStringList& arguments = { QStringLiteral("ruvo") });
    // Frees every window of the program that is still open.
    void closeWindows() const;

private:
    TempProgramFolder m_folder;
    ScriptedDialogs m_dialogs;
    std::optional<FixedClock> m_clock;
    std::unique_ptr<TFZaklad> m_hub;
};
