#include "programstarter.h"

#include "commandchannel.h"
#include "paths.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

// The started program has gone (a zombie counts as gone: nobody may reap an
// orphan in a container).
bool hasEnded(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const int close = line.lastIndexOf(')');
    if (close < 0 || close + 2 >= line.size())
        return true;
    const char state = line.at(close + 2);
    return state == 'Z' || state == 'X';
}

} // namespace

bool PostOrStart(
    const QString& title, const QString& programName, int32_t code, int32_t arg, int timeoutMs, uint32_t userTime)
{
    if (CommandChannel::post(title, code, arg, userTime))
        return true;
    if (CommandChannel::answers(title))
        return false; // it runs but takes nothing: a second copy would not help
    qint64 pid = 0;
    if (!QProcess::startDetached(ProgramFolder() + QLatin1Char('/') + programName, {}, QString(), &pid))
        return false;
    // The program takes codes once it has bound its socket; until then they
    // would be lost. Looked for every millisecond: a due reminder waits on it.
    const QDeadlineTimer deadline(timeoutMs);
    while (!CommandChannel::answers(title) && !deadline.hasExpired() && !hasEnded(pid))
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<qint64>(1, deadline.remainingTime())));
    return CommandChannel::post(title, code, arg, userTime);
}
