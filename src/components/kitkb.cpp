#include "kitkb.h"

#include <QFile>
#include <QList>

#include <dlfcn.h>

namespace {

using RegisterProc = qint32 (*)(quint32);
using DeregisterProc = void (*)(quint32);

struct MonitorLibrary {
    QString name = QStringLiteral("libKbMon.so");
    void* handle = nullptr;
    bool loaded = false;
    RegisterProc registerHook = nullptr;
    DeregisterProc deregisterHook = nullptr;
    QList<MonitorWindow> windows;

    // The program's end unloads a library still held.
    ~MonitorLibrary() { UnloadKeyboardMonitor(); }
};

MonitorLibrary& library()
{
    static MonitorLibrary lib;
    return lib;
}

} // namespace

bool LoadKeyboardMonitor()
{
    MonitorLibrary& lib = library();
    if (lib.handle) {
        UnloadKeyboardMonitor();
        if (lib.handle)
            return false;
    }
    lib.handle = dlopen(QFile::encodeName(lib.name).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!lib.handle)
        return false;
    lib.registerHook = reinterpret_cast<RegisterProc>(dlsym(lib.handle, "RegisterKeyboardHook"));
    lib.deregisterHook = reinterpret_cast<DeregisterProc>(dlsym(lib.handle, "DeregisterKeyboardHook"));
    return true;
}

bool LoadMonitor()
{
    library().loaded = LoadKeyboardMonitor();
    return library().loaded;
}

bool KeyboardMonitorLoaded()
{
    return library().loaded;
}

void UnloadKeyboardMonitor()
{
    MonitorLibrary& lib = library();
    if (!lib.handle)
        return;
    // By index: without DeregisterKeyboardHook the list does not shrink.
    for (qsizetype i = lib.windows.size() - 1; i >= 0; --i)
        DeregisterMonitorWindow(lib.windows.at(i));
    if (dlclose(lib.handle) != 0)
        return;
    lib.handle = nullptr;
    lib.loaded = false;
    lib.registerHook = nullptr;
    lib.deregisterHook = nullptr;
    // The windows are no longer known to any library; a new load starts clean.
    lib.windows.clear();
}

qint32 RegisterMonitorWindow(MonitorWindow window)
{
    MonitorLibrary& lib = library();
    if (!lib.registerHook)
        return 0;
    lib.windows.append(window);
    return lib.registerHook(window);
}

void DeregisterMonitorWindow(MonitorWindow window)
{
    MonitorLibrary& lib = library();
    if (!lib.deregisterHook)
        return;
    lib.windows.removeOne(window);
    lib.deregisterHook(window);
}

QString KeyboardMonitorLibraryName()
{
    return library().name;
}

void SetKeyboardMonitorLibraryName(const QString& name)
{
    library().name = name;
}
