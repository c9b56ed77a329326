#pragma once

#include <cstdint>

class QEvent;
class QWidget;

// Window managers that prevent focus stealing let a window take the focus
// only for the user's own key press or click. The tray resident opens the
// windows of the other programs for the user's hotkeys and menu clicks, so it
// sends the X server time of that action along with the command; the
// receiver asks the window manager, on the user's behalf as a taskbar would,
// to activate the windows it shows or brings forward for that command.
namespace UserAction {

// The X server time of the latest key press or click this program received;
// 0 when there was none.
uint32_t LastTime();
// Takes the time of an input event (key, mouse button) the program receives.
void NoteEvent(const QEvent* event);
// A key press taken by a grab (a hotkey), which Qt never sees as an event.
void Note(uint32_t time);

// While it lives, the program acts for the user's action at time (0: for
// none): every window shown, and every window brought forward through
// Activate, is activated with the focus once it is on the screen.
class Scope {
public:
    explicit Scope(uint32_t time);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

private:
    uint32_t m_outer;
};

// The time of the user's action the program acts for now; 0 outside a Scope.
uint32_t Current();

// Brings an open window forward with the focus for the current action;
// nothing outside a Scope, or without X11.
void Activate(QWidget* window);

} // namespace UserAction
