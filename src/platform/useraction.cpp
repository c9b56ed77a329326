#include "useraction.h"

#include <QApplication>
#include <QHash>
#include <QInputEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

uint32_t lastTime = 0;
uint32_t currentTime = 0;

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    static QHash<QByteArray, xcb_atom_t> known;
    if (const auto it = known.constFind(name); it != known.cend())
        return *it;
    xcb_intern_atom_reply_t* reply
        = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(qstrlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    if (a != XCB_ATOM_NONE)
        known.insert(name, a);
    return a;
}

// The window Qt keeps the user time on: a helper window when the window
// manager asks for one (_NET_WM_USER_TIME_WINDOW), else the window itself.
xcb_window_t userTimeWindow(xcb_connection_t* c, xcb_window_t window)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, atom(c, "_NET_WM_USER_TIME_WINDOW"), XCB_ATOM_WINDOW, 0, 1), nullptr);
    xcb_window_t target = window;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 4)
        target = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
    std::free(reply);
    return target;
}

// The window takes the user's time as its own, then the window manager is
// asked to activate it. Source 2 says the request stands for the user's
// direct action (as a taskbar's does): window managers that compare times
// (openbox among them) leave an application's own request unanswered while
// the user works in another window.
void requestActivation(QWidget* window, uint32_t time)
{
    if (!window->isVisible())
        return;
    auto* native = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = native ? native->connection() : nullptr;
    if (!c)
        return;
    const xcb_window_t id = xcb_window_t(window->winId());
    xcb_change_property(
        c, XCB_PROP_MODE_REPLACE, userTimeWindow(c, id), atom(c, "_NET_WM_USER_TIME"), XCB_ATOM_CARDINAL, 32, 1, &time);
    xcb_client_message_event_t event {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = id;
    event.type = atom(c, "_NET_ACTIVE_WINDOW");
    event.data.data32[0] = 2;
    event.data.data32[1] = time;
    xcb_send_event(c, 0, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root,
        XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
        reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

// Asked from the event loop: a window shown just now has been mapped by then,
// so the window manager manages it before it reads the request.
void activateLater(QWidget* window, uint32_t time)
{
    QTimer::singleShot(0, window, [w = QPointer<QWidget>(window), time] {
        if (w)
            requestActivation(w, time);
    });
}

// Catches the windows shown while a Scope lives.
class ShowWatch : public QObject {
protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (currentTime != 0 && event->type() == QEvent::Show && object->isWidgetType()) {
            auto* w = static_cast<QWidget*>(object);
            const Qt::WindowType type = w->windowType();
            if (w->isWindow() && type != Qt::Popup && type != Qt::ToolTip)
                activateLater(w, currentTime);
        }
        return false;
    }
};

ShowWatch& showWatch()
{
    static ShowWatch watch;
    return watch;
}

} // namespace

namespace UserAction {

uint32_t LastTime()
{
    return lastTime;
}

void NoteEvent(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        Note(uint32_t(static_cast<const QInputEvent*>(event)->timestamp()));
        break;
    default:
        break;
    }
}

void Note(uint32_t time)
{
    // Events made up inside the program carry no time.
    if (time != 0)
        lastTime = time;
}

Scope::Scope(uint32_t time)
    : m_outer(currentTime)
{
    currentTime = time;
    if (time != 0 && qApp)
        qApp->installEventFilter(&showWatch());
}

Scope::~Scope()
{
    currentTime = m_outer;
    if (currentTime == 0 && qApp)
        qApp->removeEventFilter(&showWatch());
}

uint32_t Current()
{
    return currentTime;
}

void Activate(QWidget* window)
{
    if (currentTime != 0)
        activateLater(window, currentTime);
}

} // namespace UserAction
