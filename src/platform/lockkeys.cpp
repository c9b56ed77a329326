#include "lockkeys.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace LockKeys {

bool isOn(Key key)
{
    if (!qGuiApp)
        return false;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection() || !x11->display())
        return false;
    Display* dpy = x11->display();
    const char* name = key == Key::CapsLock ? "Caps Lock" : key == Key::NumLock ? "Num Lock" : "Scroll Lock";
    const Atom atom = XInternAtom(dpy, name, True);
    if (atom == None)
        return false;
    Bool on = False;
    if (!XkbGetNamedIndicator(dpy, atom, nullptr, &on, nullptr, nullptr))
        return false;
    return on;
}

} // namespace LockKeys
