#pragma once

#include <QObject>

// The end of the user's session as the tray resident sees it: the session
// manager asking the program to save its work, or SIGTERM or SIGHUP, which
// ending a session sends. Both arrive in the event loop.
class SessionEnd : public QObject {
    Q_OBJECT
public:
    // Catches SIGTERM and SIGHUP from now on; one that comes before a
    // SessionEnd exists is reported once it does. Called early in main.
    static void CatchSignals();

    explicit SessionEnd(QObject* parent = nullptr);

signals:
    void queryEndSession();

private:
    void readSignal();
};
