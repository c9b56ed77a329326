#pragma once

// The tray icon component: the icon in the notification area, its animation
// and its mouse events.

#include "tray/icolist.h"
#include "tray/kitmenus.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class QSystemTrayIcon;

// Keys and buttons held during a mouse event, and whether it was the second
// click of a double click.
enum TShiftStateFlag {
    ssShift = 0x01,
    ssAlt = 0x02,
    ssCtrl = 0x04,
    ssLeft = 0x08,
    ssRight = 0x10,
    ssMiddle = 0x20,
    ssDouble = 0x40,
};
Q_DECLARE_FLAGS(TShiftState, TShiftStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TShiftState)

// An icon in the desktop's notification area with a tip, an optional
// animation through a list of icons, and the mouse turned into events: a
// click, a double click (which runs the popup menu's default item), the right
// button opening the popup menu at the cursor.
//
// Everything runs on the main thread; the animation is a timer there. While
// the desktop has no notification area the icon waits and docks as soon as
// one appears.
class TKitTrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TKitTrayIcon(QObject* owner = nullptr);
    ~TKitTrayIcon() override;

    // The icon is shown.
    bool Active() const { return m_active; }
    void SetActive(bool active);
    // Mouse actions become events.
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    // The tip shows the text before the first "|", at most 63 characters.
    const QString& Hint() const { return m_hint; }
    void SetHint(const QString& hint);
    QString TipText() const;
    const QIcon& Icon() const { return m_icon; }
    void SetIcon(const QIcon& icon);
    TIconList& Icons() { return m_icons; }
    void SetIcons(const TIconList& icons);
    // Cycles through Icons; stays off while Icons is empty.
    bool Animated() const { return m_animated; }
    void SetAnimated(bool animated);
    // Milliseconds between frames.
    int Interval() const { return m_interval; }
    void SetInterval(int ms) { m_interval = ms; }
    // Opened by a right click; cleared when the menu is destroyed.
    TKitPopupMenu* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(TKitPopupMenu* menu) { m_popupMenu = menu; }

    using MouseEvent
        = std::function<void(TKitTrayIcon* sender, Qt::MouseButton button, TShiftState shift, int x, int y)>;
    // A click of the left button, or of the right one when no menu opened.
    MouseEvent OnClick;
    // A left double click for which no default item ran.
    std::function<void(TKitTrayIcon* sender)> OnDblClick;
    std::function<void(TKitTrayIcon* sender, TShiftState shift, int x, int y)> OnMouseMove;
    MouseEvent OnMouseDown;
    MouseEvent OnMouseUp;

    void ShowTrayIcon();
    void HideTrayIcon();
    // Brings the shown icon and tip up to date (after any change of them).
    void UpdateTrayIcon();
    void AdvanceFrame();
    // Opens the popup menu at (x, y); false when there is none to open.
    bool PopupAtCursor(int x, int y);
    // Runs the popup menu's default item; false when none ran.
    bool RunDefaultItem();

    // The icon is shown (the notification area takes it once there is one).
    bool IconAdded() const { return m_iconAdded; }
    // A notification area exists and holds the icon.
    bool Docked() const;
    int FrameIndex() const { return m_frameIndex; }
    // Icons[frame] while animated, else Icon.
    QIcon CurrentIcon() const;
    // Where the notification area shows the icon; empty when it does not.
    QRect Geometry() const;

    // What the notification area reports of the mouse over the icon.
    enum class MouseMessage {
        Move,
        LButtonDown,
        LButtonUp,
        LButtonDblClk,
        RButtonDown,
        RButtonUp,
        RButtonDblClk,
        MButtonDown,
        MButtonUp,
        MButtonDblClk,
    };
    void HandleMouseMessage(MouseMessage message, const QPoint& pos, Qt::KeyboardModifiers modifiers);

protected:
    virtual void DoClick(Qt::MouseButton button, TShiftState shift, int x, int y);
    virtual void DoDblClick();
    virtual void DoMouseDown(Qt::MouseButton button, TShiftState shift, int x, int y);
    virtual void DoMouseMove(TShiftState shift, int x, int y);
    virtual void DoMouseUp(Qt::MouseButton button, TShiftState shift, int x, int y);
    // Puts the current icon and the tip into the notification area's icon.
    virtual void UpdateNotifyData();

private:
    void AnimationTick();
    void DockPollTick();
    void Activated(int reason);

    QSystemTrayIcon* m_tray;
    bool m_active = true;
    bool m_enabled = true;
    bool m_destroying = false;
    QString m_hint;
    QIcon m_icon;
    TIconList m_icons;
    bool m_animated = false;
    int m_interval = 150;
    QPointer<TKitPopupMenu> m_popupMenu;
    int m_frameIndex = -1;
    bool m_iconAdded = false;
    bool m_leftDown = false;
    bool m_rightDown = false;
    QTimer m_animationTimer;
    QTimer m_dockPollTimer;
};
