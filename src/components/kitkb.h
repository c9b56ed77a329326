#pragma once

#include <QString>
#include <QtGlobal>

// Loader of the optional keyboard-monitor library "libKbMon.so", an outside
// component that watches the lock keys for the whole desktop and tells each
// registered window when one of them changes. The library is not part of the
// organiser; without it everything runs as before.
//
// Its exports, C calling convention, a window being its X11 id:
//   int32_t RegisterKeyboardHook(uint32_t window)   -> the message number it
//                                                      will notify window with
//   void    DeregisterKeyboardHook(uint32_t window)

using MonitorWindow = quint32;

// Loads the library (freeing one held before) and looks up both exports, each
// of which may be missing. Returns whether the library loaded.
bool LoadKeyboardMonitor();
// LoadKeyboardMonitor, its result kept as the loaded flag.
bool LoadMonitor();
bool KeyboardMonitorLoaded();
// Deregisters every registered window, last first, and frees the library.
void UnloadKeyboardMonitor();
// 0 when the library has no RegisterKeyboardHook.
qint32 RegisterMonitorWindow(MonitorWindow window);
// Nothing when the library has no DeregisterKeyboardHook.
void DeregisterMonitorWindow(MonitorWindow window);

// The name the library is loaded by ("libKbMon.so": the dynamic linker's
// search); a path loads that file.
QString KeyboardMonitorLibraryName();
void SetKeyboardMonitorLibraryName(const QString& name);
