#pragma once

#include <QObject>

class QSocketNotifier;

// Tells when the wall clock jumps: the system time was set, or the machine
// woke from suspend (the programs' WM_TIMECHANGE). Timers that wait for a
// wall-clock moment must then be aimed anew.
class TimeChange : public QObject {
    Q_OBJECT
public:
    explicit TimeChange(QObject* parent = nullptr);
    ~TimeChange() override;

    // False when the kernel gave no clock-change timer; nothing is reported then.
    bool isWatching() const { return m_fd >= 0; }

signals:
    void timeChanged();

private:
    bool arm();
    void readTimer();

    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
};
