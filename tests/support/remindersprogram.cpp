#include "remindersprogram.h"

#include "reminders/ruvo_zaklad.h"

RemindersProgram::RemindersProgram()
{
    restart();
}

RemindersProgram::RemindersProgram(const QDateTime& now)
    : m_clock(std::in_place, now)
{
    restart();
}

RemindersProgram::~RemindersProgram()
{
    closeWindows();
    m_hub.reset();
}

void RemindersProgram::restart(const QStringList& arguments)
{
    closeWindows();
    m_hub.reset();
    m_hub = std::make_unique<TFZaklad>(arguments);
}

void RemindersProgram::closeWindows() const
{
    freeWindowsBut(m_hub.get());
}
