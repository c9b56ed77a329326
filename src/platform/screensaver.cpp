#include "screensaver.h"

#include <QGuiApplication>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace {

// Qt's own connection: the offscreen platform gives an interface without one.
Display* display()
{
    if (!qGuiApp)
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return nullptr;
    return x11->display();
}

// The server-side extension; suspending needs version 1.1.
bool hasExtension(Display* dpy, bool needSuspend)
{
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XScreenSaverQueryExtension(dpy, &event, &error) || !XScreenSaverQueryVersion(dpy, &major, &minor))
        return false;
    return !needSuspend || major > 1 || (major == 1 && minor >= 1);
}

// A suspension is the server's per client and ends with our connection, so
// a crash cannot leave the saver switched off.
bool& suspendedByUs()
{
    static bool suspended = false;
    return suspended;
}

} // namespace

namespace ScreenSaver {

std::optional<bool> IsEnabled()
{
    Display* dpy = display();
    if (!dpy)
        return std::nullopt;
    int timeout = 0, interval = 0, blanking = 0, exposures = 0;
    XGetScreenSaver(dpy, &timeout, &interval, &blanking, &exposures);
    return timeout > 0 && !suspendedByUs();
}

bool SetEnabled(bool enabled)
{
    Display* dpy = display();
    if (!dpy || !hasExtension(dpy, true))
        return false;
    if (suspendedByUs() == !enabled)
        return true;
    XScreenSaverSuspend(dpy, enabled ? False : True);
    XSync(dpy, False);
    suspendedByUs() = !enabled;
    return true;
}

bool Activate()
{
    Display* dpy = display();
    if (!dpy)
        return false;
    XActivateScreenSaver(dpy);
    XSync(dpy, False);
    return true;
}

std::optional<bool> IsOn()
{
    Display* dpy = display();
    if (!dpy || !hasExtension(dpy, false))
        return std::nullopt;
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    if (!info)
        return std::nullopt;
    std::optional<bool> on;
    if (XScreenSaverQueryInfo(dpy, DefaultRootWindow(dpy), info))
        on = info->state == ScreenSaverOn;
    XFree(info);
    return on;
}

} // namespace ScreenSaver
