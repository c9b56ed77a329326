#include "tickinterval.h"

#include "platform/walltimer.h"

#include <algorithm>

int IntervalUntil(double moment, int longest)
{
    const qint64 ms = WallTimer::MsecsUntil(moment);
    if (ms < 1)
        return RetryInterval;
    return int(std::min<qint64>(ms, longest));
}
