#include "sessionend.h"

#include <QGuiApplication>
#include <QSessionManager>

SessionEnd::SessionEnd(QObject* parent)
    : QObject(parent)
{
    connect(&m_signals, &EndSignals::received, this, [this] {
        if (m_handler)
            m_handler({ true, [] { return false; } });
    });
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
