#pragma once

#include <QObject>
#include <QVariant>

// The integer every component of the class library carried for its owner's
// use (a combo's chosen kind, a contact control's field code). Kept as a
// dynamic property; 0 until set.
inline int tag(const QObject* o)
{
    return o->property("tag").toInt();
}

inline void setTag(QObject* o, int value)
{
    o->setProperty("tag", value);
}
