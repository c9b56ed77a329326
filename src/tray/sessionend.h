#pragma once

#include "platform/endsignals.h"

#include <QObject>

#include <functional>

// One request to end the user's session.
struct SessionEndRequest {
    // SIGTERM or SIGHUP: the program is to end, nothing can stop it.
    bool fromSignal = false;
    // The session manager's asking: whether it lets this program stop the
    // end. Asked only when the program would (asking may show the user that
    // a program holds up the end).
    std::function<bool()> mayRefuse;
};

// The end of the user's session as the tray resident sees it: the session
// manager asking the program to save its work, or SIGTERM or SIGHUP, which
// ending a session sends. Both arrive in the event loop.
class SessionEnd : public QObject {
    Q_OBJECT
public:
    explicit SessionEnd(QObject* parent = nullptr);

    // Answers each request: true lets the session end, false refuses it
    // (only after mayRefuse said yes; the session manager then cancels it).
    void setHandler(std::function<bool(const SessionEndRequest&)> handler) { m_handler = std::move(handler); }

private:
    EndSignals m_signals;
    std::function<bool(const SessionEndRequest&)> m_handler;
};
