#include "faketray.h"

#include "platform/commandchannel.h"
#include "shared/commands.h"

#include "testsupport.h"

#include <QDeadlineTimer>
#include <QTest>
#include <QThread>

FakeTray::FakeTray(const QString& log, const QString& title)
    : m_title(title)
    , m_log(log)
{
    m_process.start(qEnvironmentVariable("KORVEL_BUILD_DIR") + QStringLiteral("/tests/tools/korvel_peer"),
        { QStringLiteral("listen"), title, log });
}

FakeTray::~FakeTray()
{
    m_process.kill();
    m_process.waitForFinished();
}

bool FakeTray::Ready(int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!CommandChannel::answers(m_title)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

QStringList FakeTray::Codes() const
{
    return QString::fromUtf8(readFileBytes(m_log)).split(u'\n', Qt::SkipEmptyParts);
}

QStringList FakeTray::WaitForCodes(int count, int timeoutMs) const
{
    if (!QTest::qWaitFor([&] { return Codes().size() >= count; }, timeoutMs))
        qWarning("the tray got %d codes of %d", int(Codes().size()), count);
    return Codes();
}
