#pragma once

#include "shared/commands.h"

#include <QProcess>
#include <QString>
#include <QStringList>

// The tray resident as another program holding its title (korvel_peer
// listen from $KORVEL_BUILD_DIR), logging every code it receives as one
// "code argument" line. Given another title, it stands in for that program.
class FakeTray {
public:
    explicit FakeTray(const QString& log, const QString& title = TrayAppTitle);
    ~FakeTray();

    // Whether the title answers, waiting at most timeoutMs for it. With 0 it
    // only looks: under QTRY_VERIFY the wait then serves the event loop.
    bool Ready(int timeoutMs = 10000) const;
    QStringList Codes() const;
    // The codes once count of them have come; after timeoutMs, with a
    // warning, those that did.
    QStringList WaitForCodes(int count, int timeoutMs = 5000) const;

private:
    QString m_title;
    QString m_log;
    QProcess m_process;
};
