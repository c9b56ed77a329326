#include "hotkeys.h"

#include "useraction.h"

#include <QGuiApplication>

#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>
#include <optional>

namespace {

// ---- shortcut texts ----

const QLatin1String ShiftPrefix("Shift+");
const QLatin1String CtrlPrefix("Ctrl+");
const QLatin1String AltPrefix("Alt+");
const QLatin1String WinPrefix("Win+");

struct NamedKey {
    const char* name;
    Qt::Key key;
    bool keypad;
};

// The class library's own names, then the names the keyboard gives the rest.
constexpr NamedKey NamedKeys[] = {
    { "BkSp", Qt::Key_Backspace, false },
    { "Tab", Qt::Key_Tab, false },
    { "Enter", Qt::Key_Return, false },
    { "Esc", Qt::Key_Escape, false },
    { "Space", Qt::Key_Space, false },
    { "PgUp", Qt::Key_PageUp, false },
    { "PgDn", Qt::Key_PageDown, false },
    { "End", Qt::Key_End, false },
    { "Home", Qt::Key_Home, false },
    { "Left", Qt::Key_Left, false },
    { "Up", Qt::Key_Up, false },
    { "Right", Qt::Key_Right, false },
    { "Down", Qt::Key_Down, false },
    { "Ins", Qt::Key_Insert, false },
    { "Del", Qt::Key_Delete, false },
    { "Pause", Qt::Key_Pause, false },
    { "Num *", Qt::Key_Asterisk, true },
    { "Num +", Qt::Key_Plus, true },
    { "Num -", Qt::Key_Minus, true },
    { "Num /", Qt::Key_Slash, true },
    { "Num Del", Qt::Key_Delete, true },
};
constexpr int FunctionKeys = 24;
const QLatin1String NumPrefix("Num ");

// A key written as its character: Latin-1 letters, digits and punctuation.
bool isCharacterKey(int key)
{
    return key > 0x20 && key <= 0xff && key != 0x7f && QChar(key).isPrint();
}

int keyFromName(const QString& name, bool& keypad)
{
    keypad = false;
    for (const NamedKey& k : NamedKeys)
        if (name.compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0) {
            keypad = k.keypad;
            return k.key;
        }
    if (name.size() >= 2 && name[0].toUpper() == u'F') {
        bool ok = false;
        const int n = name.mid(1).toInt(&ok);
        if (ok && n >= 1 && n <= FunctionKeys && name.mid(1) == QString::number(n))
            return Qt::Key_F1 + n - 1;
    }
    if (name.size() == NumPrefix.size() + 1 && name.startsWith(NumPrefix, Qt::CaseInsensitive) && name.back().isDigit()
        && name.back().unicode() < 0x80) {
        keypad = true;
        return Qt::Key_0 + name.back().digitValue();
    }
    if (name.size() == 1) {
        const QChar upper = name[0].toUpper();
        if (isCharacterKey(upper.unicode()))
            return upper.unicode();
    }
    return 0;
}

QString nameOfKey(int key, bool keypad)
{
    for (const NamedKey& k : NamedKeys)
        if (k.key == key && k.keypad == keypad)
            return QLatin1String(k.name);
    if (keypad)
        return key >= Qt::Key_0 && key <= Qt::Key_9 ? NumPrefix + QChar(key) : QString();
    if (key >= Qt::Key_F1 && key < Qt::Key_F1 + FunctionKeys)
        return QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1);
    if (isCharacterKey(key) && QChar(key).toUpper() == QChar(key))
        return QString(QChar(key));
    return {};
}

// ---- X11 ----

struct X11 {
    xcb_connection_t* connection;
    xcb_window_t root;
};

// Qt's own connection; the offscreen platform gives an interface without one.
std::optional<X11> x11()
{
    if (!qGuiApp)
        return std::nullopt;
    auto* native = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!native || !native->connection())
        return std::nullopt;
    xcb_connection_t* c = native->connection();
    return X11 { c, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root };
}

xcb_keysym_t keysymOf(QKeyCombination shortCut)
{
    const int key = shortCut.key();
    if (shortCut.keyboardModifiers() & Qt::KeypadModifier) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            return XK_KP_0 + (key - Qt::Key_0);
        switch (key) {
        case Qt::Key_Asterisk:
            return XK_KP_Multiply;
        case Qt::Key_Plus:
            return XK_KP_Add;
        case Qt::Key_Minus:
            return XK_KP_Subtract;
        case Qt::Key_Slash:
            return XK_KP_Divide;
        case Qt::Key_Delete:
            return XK_KP_Delete;
        case Qt::Key_Enter:
            return XK_KP_Enter;
        default:
            return 0;
        }
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return XK_F1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return XK_BackSpace;
    case Qt::Key_Tab:
        return XK_Tab;
    case Qt::Key_Return:
        return XK_Return;
    case Qt::Key_Enter:
        return XK_KP_Enter;
    case Qt::Key_Escape:
        return XK_Escape;
    case Qt::Key_PageUp:
        return XK_Prior;
    case Qt::Key_PageDown:
        return XK_Next;
    case Qt::Key_End:
        return XK_End;
    case Qt::Key_Home:
        return XK_Home;
    case Qt::Key_Left:
        return XK_Left;
    case Qt::Key_Up:
        return XK_Up;
    case Qt::Key_Right:
        return XK_Right;
    case Qt::Key_Down:
        return XK_Down;
    case Qt::Key_Insert:
        return XK_Insert;
    case Qt::Key_Delete:
        return XK_Delete;
    case Qt::Key_Pause:
        return XK_Pause;
    case Qt::Key_Print:
        return XK_Print;
    default:
        break;
    }
    // Latin-1 keysyms are their characters; a letter's key is its small letter.
    if (key >= 0x20 && key <= 0xff)
        return QChar(key).toLower().unicode();
    return 0;
}

QList<quint8> keycodesOf(xcb_key_symbols_t* symbols, xcb_keysym_t keysym)
{
    QList<quint8> codes;
    if (xcb_keycode_t* list = xcb_key_symbols_get_keycode(symbols, keysym)) {
        for (xcb_keycode_t* k = list; *k != XCB_NO_SYMBOL; ++k)
            if (!codes.contains(*k))
                codes.append(*k);
        std::free(list);
    }
    return codes;
}

// The modifier bit that carries keysym (Num Lock, Alt), from the server's map.
quint16 modifierMaskOf(xcb_connection_t* c, xcb_key_symbols_t* symbols, xcb_keysym_t keysym, quint16 fallback)
{
    const QList<quint8> codes = keycodesOf(symbols, keysym);
    xcb_get_modifier_mapping_reply_t* reply = xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr);
    if (!reply)
        return fallback;
    const xcb_keycode_t* map = xcb_get_modifier_mapping_keycodes(reply);
    const int perModifier = reply->keycodes_per_modifier;
    quint16 mask = 0;
    for (int mod = 0; mod < 8 && !mask; ++mod)
        for (int i = 0; i < perModifier; ++i)
            if (map[mod * perModifier + i] != 0 && codes.contains(map[mod * perModifier + i]))
                mask = quint16(1u << mod);
    std::free(reply);
    return mask ? mask : fallback;
}

QList<quint16> lockVariants(quint16 numLock)
{
    return { 0, XCB_MOD_MASK_LOCK, numLock, quint16(XCB_MOD_MASK_LOCK | numLock) };
}

void ungrab(const X11& x, quint16 modifiers, quint16 numLock, const QList<quint8>& keycodes)
{
    for (quint8 code : keycodes)
        for (quint16 variant : lockVariants(numLock))
            xcb_ungrab_key(x.connection, code, x.root, modifiers | variant);
    xcb_flush(x.connection);
}

constexpr quint16 ModifierBits = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_LOCK | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1
    | XCB_MOD_MASK_2 | XCB_MOD_MASK_3 | XCB_MOD_MASK_4 | XCB_MOD_MASK_5;

} // namespace

QKeyCombination TextToShortCut(const QString& text)
{
    Qt::KeyboardModifiers modifiers;
    QString rest = text;
    for (bool found = true; found;) {
        found = false;
        for (const auto& [prefix, modifier] :
            { std::pair { ShiftPrefix, Qt::ShiftModifier }, std::pair { CtrlPrefix, Qt::ControlModifier },
                std::pair { AltPrefix, Qt::AltModifier }, std::pair { WinPrefix, Qt::MetaModifier } })
            if (rest.startsWith(prefix, Qt::CaseInsensitive)) {
                modifiers |= modifier;
                rest = rest.mid(prefix.size());
                found = true;
            }
    }
    bool keypad = false;
    const int key = keyFromName(rest, keypad);
    if (!key)
        return QKeyCombination::fromCombined(0);
    if (keypad)
        modifiers |= Qt::KeypadModifier;
    return QKeyCombination(modifiers, Qt::Key(key));
}

QString ShortCutToText(QKeyCombination shortCut)
{
    const Qt::KeyboardModifiers modifiers = shortCut.keyboardModifiers();
    const QString name = nameOfKey(shortCut.key(), modifiers & Qt::KeypadModifier);
    if (name.isEmpty())
        return {};
    QString text;
    if (modifiers & Qt::ShiftModifier)
        text += ShiftPrefix;
    if (modifiers & Qt::ControlModifier)
        text += CtrlPrefix;
    if (modifiers & Qt::AltModifier)
        text += AltPrefix;
    if (modifiers & Qt::MetaModifier)
        text += WinPrefix;
    return text + name;
}

bool IsGlobalHotKey(QKeyCombination shortCut)
{
    const int key = shortCut.key();
    if (key >= Qt::Key_F1 && key < Qt::Key_F1 + FunctionKeys)
        return true;
    return shortCut.keyboardModifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

HotKeys::HotKeys(QObject* parent)
    : QObject(parent)
{
    instances().append(this);
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installNativeEventFilter(this);
}

HotKeys::~HotKeys()
{
    unregisterAll();
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    instances().removeOne(this);
}

QList<HotKeys*>& HotKeys::instances()
{
    static QList<HotKeys*> all;
    return all;
}

// The server lets one client grab a combination twice; RegisterHotKey did not.
bool HotKeys::heldElsewhere(const Grab& grab) const
{
    for (const HotKeys* owner : instances())
        for (const Grab& other : owner->m_grabs)
            if ((owner != this || other.id != grab.id) && other.modifiers == grab.modifiers)
                for (quint8 code : grab.keycodes)
                    if (other.keycodes.contains(code))
                        return true;
    return false;
}

bool HotKeys::registerHotKey(int id, QKeyCombination shortCut)
{
    unregisterHotKey(id);
    if (!IsGlobalHotKey(shortCut))
        return false;
    const std::optional<X11> x = x11();
    const xcb_keysym_t keysym = keysymOf(shortCut);
    if (!x || !keysym)
        return false;

    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(x->connection);
    if (!symbols)
        return false;
    const quint16 numLock = modifierMaskOf(x->connection, symbols, XK_Num_Lock, XCB_MOD_MASK_2);
    const quint16 alt = modifierMaskOf(x->connection, symbols, XK_Alt_L, XCB_MOD_MASK_1);
    Grab grab { id, 0, numLock, keycodesOf(symbols, keysym) };
    xcb_key_symbols_free(symbols);

    const Qt::KeyboardModifiers modifiers = shortCut.keyboardModifiers();
    if (modifiers & Qt::ShiftModifier)
        grab.modifiers |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        grab.modifiers |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::AltModifier)
        grab.modifiers |= alt;
    if (modifiers & Qt::MetaModifier)
        grab.modifiers |= XCB_MOD_MASK_4;
    if (grab.keycodes.isEmpty() || heldElsewhere(grab))
        return false;

    // Checked requests: a combination another client holds is refused with
    // BadAccess, which unchecked grabs would only report asynchronously.
    QList<xcb_void_cookie_t> cookies;
    for (quint8 code : grab.keycodes)
        for (quint16 variant : lockVariants(numLock))
            cookies.append(xcb_grab_key_checked(
                x->connection, 1, x->root, grab.modifiers | variant, code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    bool refused = false;
    for (const xcb_void_cookie_t& cookie : cookies)
        if (xcb_generic_error_t* error = xcb_request_check(x->connection, cookie)) {
            refused = true;
            std::free(error);
        }
    if (refused) {
        // Grabs that did succeed are released; another client's stay untouched.
        ungrab(*x, grab.modifiers, numLock, grab.keycodes);
        return false;
    }
    m_grabs.append(grab);
    return true;
}

void HotKeys::unregisterHotKey(int id)
{
    for (qsizetype i = 0; i < m_grabs.size(); ++i)
        if (m_grabs[i].id == id) {
            const Grab grab = m_grabs.takeAt(i);
            if (const std::optional<X11> x = x11())
                ungrab(*x, grab.modifiers, grab.numLock, grab.keycodes);
            return;
        }
}

void HotKeys::unregisterAll()
{
    while (!m_grabs.isEmpty())
        unregisterHotKey(m_grabs.first().id);
}

bool HotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (m_grabs.isEmpty() || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_KEY_PRESS)
        return false;
    const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event);
    for (const Grab& grab : m_grabs) {
        const quint16 ignored = XCB_MOD_MASK_LOCK | grab.numLock;
        if (grab.keycodes.contains(press->detail) && (press->state & ModifierBits & ~ignored) == grab.modifiers) {
            UserAction::Note(press->time);
            // Delivered from the event loop, as the posted WM_HOTKEY was, not
            // from inside Qt's event reading.
            QMetaObject::invokeMethod(
                this, [this, id = grab.id] { emit hotKey(id); }, Qt::QueuedConnection);
            return true;
        }
    }
    return false;
}
