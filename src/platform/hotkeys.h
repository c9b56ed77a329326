#pragma once

#include <QAbstractNativeEventFilter>
#include <QKeyCombination>
#include <QList>
#include <QObject>
#include <QString>

// Shortcut texts as the class library wrote them into the settings file: the
// prefixes "Shift+", "Ctrl+", "Alt+" (in that order) before the key's name:
// "Ctrl+Alt+N", "Shift+F5", "Alt+PgUp", "Ctrl+Num 5". The Windows key, which
// the class library had no text for, follows as "Win+". Reading ignores letter
// case and the order of the prefixes. A text that names no key, modifiers
// alone included, gives the empty shortcut (toCombined() == 0), and a
// shortcut that has no text gives "".
QKeyCombination TextToShortCut(const QString& text);
QString ShortCutToText(QKeyCombination shortCut);

// Whether a shortcut may be taken from every other program as a system-wide
// hotkey: it holds Ctrl, Alt or the Windows key, or its key is a function key.
// A plain letter or Escape grabbed for the whole desktop would be lost to
// every other program.
bool IsGlobalHotKey(QKeyCombination shortCut);

// System-wide hotkeys (RegisterHotKey, WM_HOTKEY): key grabs on the X11 root
// window; a press is reported with the hotkey's id from the event loop.
// Without an X11 connection (offscreen, Wayland) every registration fails.
class HotKeys : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit HotKeys(QObject* parent = nullptr);
    ~HotKeys() override;

    // False when the combination cannot be had: it is no global hotkey
    // (IsGlobalHotKey), another program holds it, this program holds it under
    // another id, the keyboard has no such key, or there is no X11
    // connection. Registering an id again replaces it.
    bool registerHotKey(int id, QKeyCombination shortCut);
    void unregisterHotKey(int id);
    void unregisterAll();

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    void hotKey(int id);

private:
    struct Grab {
        int id;
        quint16 modifiers;
        quint16 numLock; // the modifier bit of Num Lock, which a press may carry
        QList<quint8> keycodes;
    };
    static QList<HotKeys*>& instances();
    bool heldElsewhere(const Grab& grab) const;

    QList<Grab> m_grabs;
};
