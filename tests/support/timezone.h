#pragma once

#include <QByteArray>

// The process's local time zone switched (TZ, e.g. "Europe/Prague") for the
// object's lifetime and restored after it, so that date tests can run across
// the clock changes of a given zone.
class ProcessTimeZone {
public:
    explicit ProcessTimeZone(const QByteArray& zone);
    ~ProcessTimeZone();

private:
    bool m_hadZone;
    QByteArray m_oldZone;
};
