#include "walltimer.h"

#include "clock.h"
#include "datetime.h"

#include <QTimer>

#include <limits>

namespace WallTimer {

qint64 MsecsUntil(double moment)
{
    // Counted in real time, not as a difference of date-times: on the days
    // summer time begins or ends that difference is an hour off.
    const QDateTime target = DateTimeToQDateTime(moment);
    if (!target.isValid())
        return std::numeric_limits<qint64>::max();
    return Clock::now().msecsTo(target) + 1;
}

void Arm(QTimer& timer, int ms)
{
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    timer.start(ms);
}

} // namespace WallTimer
