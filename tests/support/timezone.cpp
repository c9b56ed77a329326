#include "timezone.h"

#include <QtGlobal>

#include <ctime>

ProcessTimeZone::ProcessTimeZone(const QByteArray& zone)
    : m_hadZone(qEnvironmentVariableIsSet("TZ"))
    , m_oldZone(qgetenv("TZ"))
{
    qputenv("TZ", zone);
    tzset();
}

ProcessTimeZone::~ProcessTimeZone()
{
    if (m_hadZone)
        qputenv("TZ", m_oldZone);
    else
        qunsetenv("TZ");
    tzset();
}
