#include "autoexchange.h"

#include "platform/datetime.h"
#include "platform/inifile.h"

namespace {

const QString Section = QStringLiteral("FImport");
const QString NoDate = QStringLiteral("1.1.2000");

double storedMoment(const IniFile& ini, const QString& dateKey, const QString& timeKey, const QString& defTime)
{
    const auto date = TryStrToDate(ini.readString(Section, dateKey, NoDate));
    const auto time = TryStrToTime(ini.readString(Section, timeKey, defTime));
    return ComposeDateTime(date.value_or(*TryStrToDate(NoDate)), time.value_or(*TryStrToTime(defTime)));
}

} // namespace

bool AutoExpImpDue(const QString& iniPath)
{
    const IniFile ini(iniPath);
    const QString midnight = QStringLiteral("0:00:00");
    const QString oneOClock = QStringLiteral("1:00:00");
    if (storedMoment(ini, "datum", "cas", midnight) < storedMoment(ini, "autodatum", "autocas", oneOClock))
        return true;
    return storedMoment(ini, "kdatum", "kcas", midnight) < storedMoment(ini, "kautodatum", "kautocas", oneOClock);
}
