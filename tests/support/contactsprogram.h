#pragma once

#include "testsupport.h"

#include "shared/contactrecord.h"

#include <QDateTime>
#include <QString>

#include <memory>

class QWidget;
class TFKZaklad;

// The contacts program in the test's own process: its hidden main form over a
// fresh program folder, dialogs scripted, the clock stopped at now. Windows
// still open at the end are freed before the main form.
class ContactsProgram {
public:
    explicit ContactsProgram(const QDateTime& now);
    ~ContactsProgram();

    TFKZaklad& hub() const { return *m_hub; }
    QString folder() const { return m_folder.path(); }
    QString iniPath() const { return m_folder.iniPath(); }
    QString dataPath() const { return m_folder.file(QStringLiteral("korvel.db1")); }
    QString placementIni() const { return m_folder.file(QStringLiteral("korvelk.ini")); }

    // Appends the contact; returns its number.
    int add(ContactRecord record) const;
    ContactRecord stored(int number) const;
    QList<ContactRecord> all() const;

    // The open window of that name (as the program finds it), made active.
    QWidget* window(const QString& name) const;
    // The windows and the main form go, then a fresh main form starts.
    void restart();
    // Frees every window of the program that is still open.
    void closeWindows() const;

private:
    TempProgramFolder m_folder;
    ScriptedDialogs m_dialogs;
    FixedClock m_clock;
    std::unique_ptr<TFKZaklad> m_hub;
};
