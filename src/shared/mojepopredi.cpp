#include "mojepopredi.h"

#include "platform/useraction.h"

#include <QWidget>

bool BringToFront(QWidget* window)
{
    if (window->isMinimized()) {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->show();
    }
    // Also when it looks active here: the program may not have heard yet that
    // the user went to another window.
    UserAction::Activate(window);
    if (window->isActiveWindow())
        return true;
    window->raise();
    window->activateWindow();
    return window->isActiveWindow();
}
