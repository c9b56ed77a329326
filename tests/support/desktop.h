#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

// Verbs for end-to-end tests: the user's desktop session on the private X
// display that scripts/xsession.sh opened, with the real programs installed in
// a temporary program folder of their own.
class Desktop {
public:
    // Copies the installed programs ($KORVEL_PROGRAMS) into a fresh folder.
    Desktop();
    ~Desktop();

    QString folder() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    QString iniPath() const { return file(QStringLiteral("korvel.ini")); }
    QString soundLog() const { return file(QStringLiteral("sound.log")); }
    QString dialogLog() const { return file(QStringLiteral("dialogs.log")); }

    // Environment every program of this desktop is started with; tests may
    // add to it before starting (KORVEL_FAKE_NOW, …).
    QProcessEnvironment& environment() { return m_env; }

    // Starts folder()/program with args; the process ends with the desktop.
    QProcess* start(const QString& program, const QStringList& args = {});
    // Starts openbox (it keeps new windows from taking the focus while the
    // user works in another) for this desktop; false when it did not come up.
    bool startWindowManager();

    // A visible window whose title matches the pattern (xdotool --name, a
    // regular expression), or 0 when none appears within the timeout.
    qulonglong waitForWindow(const QString& titlePattern, int timeoutMs = 10000) const;
    bool waitForNoWindow(const QString& titlePattern, int timeoutMs = 10000) const;
    // Where a window stands on the screen, and its size.
    QRect geometry(qulonglong window) const;
    // The icon a program docked in the tray host (a small window of its X
    // class name), or 0 when none appears within the timeout.
    qulonglong waitForTrayIcon(const QString& className, int timeoutMs = 15000) const;
    // The visible windows that xdotool search finds with these options
    // ("--name", pattern; "--classname", name; "--pid", id).
    QList<qulonglong> visibleWindows(const QStringList& how) const;
    // Opens the tray menu with a right click on the icon and chooses the item
    // ups places above its bottom edge (the menu opens upwards from the
    // tray); the window that opens, or 0 when three tries open none.
    qulonglong chooseFromTrayMenu(qulonglong icon, int ups, const QString& titlePattern) const;
    // Runs xdotool with the arguments; returns its standard output.
    QString xdotool(const QStringList& args) const;
    // Whether the window becomes active and takes the keyboard in time.
    bool waitForActive(qulonglong window, int timeoutMs = 10000) const;
    // A window property as xprop shows it.
    QString property(qulonglong window, const QString& name) const;
    // Waits until the file has a line containing text.
    bool waitForLine(const QString& path, const QString& text, int timeoutMs = 10000) const;
    QStringList lines(const QString& path) const;
    // Saves the whole screen, or only the window when one is given, as
    // $KORVEL_ARTIFACTS/<name>.png.
    QString screenshot(const QString& name, qulonglong window = 0) const;

private:
    QTemporaryDir m_dir;
    QProcessEnvironment m_env;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    std::unique_ptr<QProcess> m_windowManager;
};

// Polls the condition every 50 ms until it holds (true) or timeoutMs have
// passed (false): for what another process does, which no signal reports.
bool waitUntil(int timeoutMs, const std::function<bool()>& condition);
