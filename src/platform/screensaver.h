#pragma once

#include <optional>

// The X server's screen saver, standing in for the system's screen-saver
// switch and its "start now" command. Without an X11 connection (offscreen,
// Wayland) every call reports failure. Desktop screen lockers that ignore the
// server's saver are not reached.
namespace ScreenSaver {

// Whether the saver starts by itself after the idle time: the server has a
// timeout and this program has not switched it off. Empty when it cannot be read.
std::optional<bool> IsEnabled();

// Switches the saver off (suspended for as long as this program runs, or
// until switched on again) or back on. False when it cannot be done.
bool SetEnabled(bool enabled);

// Starts the saver now.
bool Activate();

// Whether the saver is showing now. Empty when it cannot be read.
std::optional<bool> IsOn();

} // namespace ScreenSaver
