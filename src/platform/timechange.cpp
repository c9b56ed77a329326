#include "timechange.h"

#include <QSocketNotifier>

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>

namespace {
// The timer itself never needs to expire: it is armed only for the kernel to
// cancel it when the clock is set.
constexpr time_t FarAhead = time_t(100) * 366 * 24 * 3600;
} // namespace

TimeChange::TimeChange(QObject* parent)
    : QObject(parent)
{
    m_fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd < 0)
        return;
    if (!arm()) {
        close(m_fd);
        m_fd = -1;
        return;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TimeChange::readTimer);
}

TimeChange::~TimeChange()
{
    delete m_notifier;
    if (m_fd >= 0)
        close(m_fd);
}

// Also after each change: the far moment is then counted from the new time.
bool TimeChange::arm()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    itimerspec timer {};
    timer.it_value.tv_sec = now.tv_sec + FarAhead;
    return timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &timer, nullptr) == 0;
}

void TimeChange::readTimer()
{
    std::uint64_t expirations = 0;
    const ssize_t n = read(m_fd, &expirations, sizeof expirations);
    const bool changed = n < 0 && errno == ECANCELED;
    if (n < 0 && !changed)
        return;
    if (!arm()) {
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
        close(m_fd);
        m_fd = -1;
    }
    if (changed)
        emit timeChanged();
}
