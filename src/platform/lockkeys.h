#pragma once

// Whether a lock key is toggled on, read from the X server's keyboard
// indicators. Without an X11 connection every key reads off.
namespace LockKeys {

enum class Key { CapsLock, NumLock, ScrollLock };

bool isOn(Key key);

} // namespace LockKeys
