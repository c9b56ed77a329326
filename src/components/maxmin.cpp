#include "maxmin.h"

#include <cmath>
#include <limits>

qint64 Round(double x)
{
    return static_cast<qint64>(std::nearbyint(x));
}

qint64 Trunc(double x)
{
    return static_cast<qint64>(std::trunc(x));
}

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const qint64 p = qint64(a) * qint64(b);
    const qint64 d = c < 0 ? -qint64(c) : qint64(c);
    const qint64 n = c < 0 ? -p : p;
    const qint64 mag = ((n < 0 ? -n : n) + d / 2) / d;
    const qint64 q = n < 0 ? -mag : mag;
    if (q > std::numeric_limits<int>::max() || q < -std::numeric_limits<int>::max())
        return -1;
    return int(q);
}
