#include "kitshell.h"

#include "platform/application.h"
#include "tray/kitmenus.h"

#include <QCursor>
#include <QGuiApplication>
#include <QSystemTrayIcon>

namespace {

// How often a missing notification area is looked for again.
constexpr int DockPollInterval = 1000;
constexpr int MaxTipLength = 63;

TShiftState shiftOf(Qt::KeyboardModifiers modifiers)
{
    TShiftState shift;
    if (modifiers & Qt::ShiftModifier)
        shift |= ssShift;
    if (modifiers & Qt::AltModifier)
        shift |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        shift |= ssCtrl;
    return shift;
}

} // namespace

TKitTrayIcon::TKitTrayIcon(QObject* owner)
    : QObject(owner)
    , m_tray(new QSystemTrayIcon(this))
{
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) { Activated(r); });
    connect(&m_icons, &TIconList::OnChange, this, &TKitTrayIcon::UpdateTrayIcon);
    m_animationTimer.setSingleShot(true);
    connect(&m_animationTimer, &QTimer::timeout, this, &TKitTrayIcon::AnimationTick);
    m_dockPollTimer.setSingleShot(true);
    connect(&m_dockPollTimer, &QTimer::timeout, this, &TKitTrayIcon::DockPollTick);
}

TKitTrayIcon::~TKitTrayIcon()
{
    m_destroying = true;
    m_enabled = false;
    disconnect(&m_icons, nullptr, this, nullptr);
    m_animated = false;
    HideTrayIcon();
}

void TKitTrayIcon::SetActive(bool active)
{
    m_active = active;
    if (!active)
        HideTrayIcon();
    else if (!m_iconAdded)
        ShowTrayIcon();
}

void TKitTrayIcon::SetEnabled(bool enabled)
{
    m_enabled = enabled;
}

void TKitTrayIcon::SetHint(const QString& hint)
{
    if (hint == m_hint)
        return;
    m_hint = hint;
    UpdateTrayIcon();
}

QString TKitTrayIcon::TipText() const
{
    return m_hint.section(u'|', 0, 0).left(MaxTipLength);
}

void TKitTrayIcon::SetIcon(const QIcon& icon)
{
    m_icon = icon;
    UpdateTrayIcon();
}

void TKitTrayIcon::SetIcons(const TIconList& icons)
{
    m_icons.Assign(icons);
}

void TKitTrayIcon::SetAnimated(bool animated)
{
    const bool wanted = animated && m_icons.IconCount() > 0;
    if (wanted == m_animated)
        return;
    m_animated = wanted;
    if (!wanted)
        m_animationTimer.stop();
    else if (m_iconAdded)
        m_animationTimer.start(m_interval);
    m_frameIndex = 0;
    UpdateTrayIcon();
}

bool TKitTrayIcon::Docked() const
{
    return m_iconAdded && QSystemTrayIcon::isSystemTrayAvailable();
}

QIcon TKitTrayIcon::CurrentIcon() const
{
    if (m_animated && m_icons.IconCount() > 0)
        return m_icons.IconAt(qBound(0, m_frameIndex, m_icons.IconCount() - 1));
    return m_icon;
}

QRect TKitTrayIcon::Geometry() const
{
    return m_tray->geometry();
}

void TKitTrayIcon::UpdateNotifyData()
{
    m_tray->setIcon(CurrentIcon());
    m_tray->setToolTip(TipText());
}

void TKitTrayIcon::ShowTrayIcon()
{
    HideTrayIcon();
    if (CurrentIcon().isNull())
        return;
    m_leftDown = false;
    m_rightDown = false;
    UpdateNotifyData();
    m_tray->show();
    m_iconAdded = m_tray->isVisible();
    if (!m_iconAdded)
        return;
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        m_dockPollTimer.start(DockPollInterval);
    if (m_animated)
        m_animationTimer.start(m_interval);
}

void TKitTrayIcon::HideTrayIcon()
{
    m_tray->hide();
    m_iconAdded = false;
    m_leftDown = false;
    m_rightDown = false;
    m_animationTimer.stop();
    m_dockPollTimer.stop();
}

void TKitTrayIcon::UpdateTrayIcon()
{
    if (m_icons.IconCount() == 0 && m_animated) {
        m_animated = false;
        m_animationTimer.stop();
    }
    if (m_iconAdded) {
        if (CurrentIcon().isNull())
            HideTrayIcon();
        else
            UpdateNotifyData();
    } else if (m_active && !m_destroying) {
        ShowTrayIcon();
    }
}

void TKitTrayIcon::AdvanceFrame()
{
    if (m_destroying || !m_animated)
        return;
    if (++m_frameIndex >= m_icons.IconCount())
        m_frameIndex = 0;
    UpdateTrayIcon();
}

void TKitTrayIcon::AnimationTick()
{
    m_animationTimer.stop();
    AdvanceFrame();
    if (m_animated && m_iconAdded)
        m_animationTimer.start(m_interval);
}

void TKitTrayIcon::DockPollTick()
{
    m_dockPollTimer.stop();
    if (!m_iconAdded)
        return;
    // Added anew once a host is there, so it gets the icon and tip as they are
    // now whichever way Qt speaks to it.
    if (QSystemTrayIcon::isSystemTrayAvailable())
        ShowTrayIcon();
    else
        m_dockPollTimer.start(DockPollInterval);
}

bool TKitTrayIcon::PopupAtCursor(int x, int y)
{
    if (!m_active || !m_popupMenu || !m_popupMenu->AutoPopup)
        return false;
    m_popupMenu->Popup(x, y);
    return true;
}

bool TKitTrayIcon::RunDefaultItem()
{
    if (!m_active || !m_popupMenu || m_popupMenu->actions().isEmpty())
        return false;
    QAction* item = m_popupMenu->defaultAction();
    if (!item || !item->isEnabled())
        return false;
    item->trigger();
    return true;
}

void TKitTrayIcon::Activated(int reason)
{
    // The notification area reports whole clicks; they are replayed as the
    // button messages they stand for.
    const QPoint pos = QCursor::pos();
    const Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        HandleMouseMessage(MouseMessage::LButtonDown, pos, mods);
        HandleMouseMessage(MouseMessage::LButtonUp, pos, mods);
        break;
    case QSystemTrayIcon::DoubleClick:
        HandleMouseMessage(MouseMessage::LButtonDblClk, pos, mods);
        HandleMouseMessage(MouseMessage::LButtonUp, pos, mods);
        break;
    case QSystemTrayIcon::Context:
        HandleMouseMessage(MouseMessage::RButtonDown, pos, mods);
        HandleMouseMessage(MouseMessage::RButtonUp, pos, mods);
        break;
    case QSystemTrayIcon::MiddleClick:
        HandleMouseMessage(MouseMessage::MButtonDown, pos, mods);
        HandleMouseMessage(MouseMessage::MButtonUp, pos, mods);
        break;
    default:
        break;
    }
}

void TKitTrayIcon::HandleMouseMessage(MouseMessage message, const QPoint& pos, Qt::KeyboardModifiers modifiers)
{
    if (!m_enabled)
        return;
    const TShiftState shift = shiftOf(modifiers);
    const int x = pos.x();
    const int y = pos.y();
    RunGuarded([&] {
        switch (message) {
        case MouseMessage::Move:
            DoMouseMove(shift, x, y);
            break;
        case MouseMessage::LButtonDown:
            DoMouseDown(Qt::LeftButton, shift | ssLeft, x, y);
            m_leftDown = true;
            break;
        case MouseMessage::LButtonUp:
            if (m_leftDown) {
                m_leftDown = false;
                DoClick(Qt::LeftButton, shift | ssLeft, x, y);
            }
            DoMouseUp(Qt::LeftButton, shift | ssLeft, x, y);
            break;
        case MouseMessage::LButtonDblClk:
            DoDblClick();
            DoMouseDown(Qt::LeftButton, shift | ssDouble, x, y);
            break;
        case MouseMessage::RButtonDown:
            DoMouseDown(Qt::RightButton, shift | ssRight, x, y);
            m_rightDown = true;
            break;
        case MouseMessage::RButtonUp:
            if (m_rightDown) {
                m_rightDown = false;
                DoClick(Qt::RightButton, shift | ssRight, x, y);
            }
            DoMouseUp(Qt::RightButton, shift | ssRight, x, y);
            break;
        case MouseMessage::RButtonDblClk:
            DoMouseDown(Qt::RightButton, shift | ssDouble, x, y);
            break;
        case MouseMessage::MButtonDown:
            DoMouseDown(Qt::MiddleButton, shift | ssMiddle, x, y);
            break;
        case MouseMessage::MButtonUp:
            DoMouseUp(Qt::MiddleButton, shift | ssMiddle, x, y);
            break;
        case MouseMessage::MButtonDblClk:
            DoMouseDown(Qt::MiddleButton, shift | ssDouble, x, y);
            break;
        }
    });
}

void TKitTrayIcon::DoClick(Qt::MouseButton button, TShiftState shift, int x, int y)
{
    if (button == Qt::RightButton && PopupAtCursor(x, y))
        return;
    if (OnClick)
        OnClick(this, button, shift, x, y);
}

void TKitTrayIcon::DoDblClick()
{
    if (!RunDefaultItem() && OnDblClick)
        OnDblClick(this);
}

void TKitTrayIcon::DoMouseDown(Qt::MouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TKitTrayIcon::DoMouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TKitTrayIcon::DoMouseUp(Qt::MouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}
