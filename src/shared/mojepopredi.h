#pragma once

class QWidget;

// Brings a window of the program to the front: a minimised one is restored
// (to maximised when it was), then raised and activated. The window manager
// decides whether it really takes the focus; nothing global is changed to
// force it. For a command sent for the user's key press or click, the window
// manager is asked on the user's behalf (UserAction). True when the window is active once the call returns; where the
// window system answers later, it may become active only after that.
bool BringToFront(QWidget* window);
