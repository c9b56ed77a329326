#include "sessionend.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The handler only writes a byte here; the event loop reads it. A handler,
// unlike a blocked signal mask, is not passed on to the programs this one
// starts.
int signalPipe[2] = { -1, -1 };

void onSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

void SessionEnd::CatchSignals()
{
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action { };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
}

SessionEnd::SessionEnd(QObject* parent)
    : QObject(parent)
{
    if (signalPipe[0] >= 0) {
        auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &SessionEnd::readSignal);
    }
    if (qGuiApp)
        connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
            if (!m_handler)
                return;
            // A cancel counts only inside an interaction the manager granted.
            bool interacting = false;
            const bool allow = m_handler({ false, [&] { return interacting = manager.allowsInteraction(); } });
            if (interacting) {
                if (!allow)
                    manager.cancel();
                manager.release();
            }
        });
}

void SessionEnd::readSignal()
{
    char bytes[16];
    bool any = false;
    while (::read(signalPipe[0], bytes, sizeof bytes) > 0)
        any = true;
    if (any && m_handler)
        m_handler({ true, [] { return false; } });
}
