#include "clock.h"

#include "localzone.h"

#include <QtGlobal>

namespace {

enum class Mode { Real, Fixed, Offset };

struct State {
    Mode mode = Mode::Real;
    QDateTime fixed;
    qint64 offsetMs = 0;

    State()
    {
        LocalZone::pin();
        const QByteArray fake = qgetenv("KORVEL_FAKE_NOW");
        if (fake.isEmpty())
            return;
        const QDateTime t = QDateTime::fromString(QString::fromLatin1(fake), Qt::ISODateWithMs);
        if (t.isValid()) {
            mode = Mode::Offset;
            offsetMs = QDateTime::currentDateTime().msecsTo(t);
        }
    }
};

State& state()
{
    static State s;
    return s;
}

// A faked clock starts with the program, not at its first reading.
const bool startedWithProgram = (state(), true);

} // namespace

namespace Clock {

QDateTime now()
{
    LocalZone::followChanges();
    State& s = state();
    switch (s.mode) {
    case Mode::Fixed:
        return s.fixed;
    case Mode::Offset:
        return QDateTime::fromMSecsSinceEpoch(QDateTime::currentMSecsSinceEpoch() + s.offsetMs);
    case Mode::Real:
        break;
    }
    return QDateTime::currentDateTime();
}

void setNow(const QDateTime& t)
{
    state().mode = Mode::Fixed;
    state().fixed = t;
}

void advance(qint64 ms)
{
    State& s = state();
    if (s.mode == Mode::Fixed)
        s.fixed = s.fixed.addMSecs(ms);
    else {
        s.mode = Mode::Offset;
        s.offsetMs += ms;
    }
}

void setRunningFrom(const QDateTime& t)
{
    state().mode = Mode::Offset;
    state().offsetMs = QDateTime::currentDateTime().msecsTo(t);
}

void reset()
{
    state().mode = Mode::Real;
    state().offsetMs = 0;
}

} // namespace Clock
