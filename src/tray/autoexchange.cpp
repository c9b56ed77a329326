#include "autoexchange.h"

#include "shared/exchangefiles.h"

bool AutoExpImpDue(const QString& iniPath)
{
    const QString midnight = QStringLiteral("0:00:00");
    const QString oneOClock = QStringLiteral("1:00:00");
    if (StoredMoment(iniPath, "datum", "cas", midnight) < StoredMoment(iniPath, "autodatum", "autocas", oneOClock))
        return true;
    return StoredMoment(iniPath, "kdatum", "kcas", midnight)
        < StoredMoment(iniPath, "kautodatum", "kautocas", oneOClock);
}
