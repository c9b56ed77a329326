#include "commands.h"

#include "platform/commandchannel.h"

RuvoCodeClass ClassifyRuvoCode(int32_t code)
{
    if (code >= 1)
        return RuvoCodeClass::RecordPosition;
    if (code >= rcCalendar)
        return RuvoCodeClass::Command;
    return RuvoCodeClass::Ignored;
}

bool NotifyTray(int32_t code)
{
    return CommandChannel::post(TrayAppTitle, code);
}

TrayPause::TrayPause(bool active)
    : m_active(active)
{
    if (m_active)
        NotifyTray(tnPause);
}

TrayPause::~TrayPause()
{
    if (m_active)
        NotifyTray(tnResume);
}

bool NotifyContacts(int32_t code)
{
    return CommandChannel::post(ContactAppTitle, code);
}

void PostRefreshOverview()
{
    CommandChannel::own().postToSelf(rcRefreshOverview);
}
