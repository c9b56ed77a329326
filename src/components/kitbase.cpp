#include "kitbase.h"

#include "components/kitlabel.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWheelEvent>

namespace {

// Posted to the control, so that they run once the current move is over.
const QEvent::Type ControlMoved = QEvent::Type(QEvent::User + 100);
const QEvent::Type LabelMoved = QEvent::Type(QEvent::User + 101);

} // namespace

TKitAttachedLabel* TKitLabelInfo::Label() const
{
    return m_label;
}

void TKitLabelInfo::SetOffsetX(int x)
{
    SetOffsets(x, m_offsetY);
}

void TKitLabelInfo::SetOffsetY(int y)
{
    SetOffsets(m_offsetX, y);
}

void TKitLabelInfo::SetOffsets(int x, int y)
{
    m_offsetX = x;
    m_offsetY = y;
    m_control->PositionLabel();
}

void TKitLabelInfo::SetVisible(bool on)
{
    if (on == m_visible)
        return;
    m_visible = on;
    m_control->LabelVisibilityChanged();
}

TKitBase::TKitBase(QWidget* parent)
    : QWidget(parent)
    , m_labelInfo(this)
{
    resize(75, 25);
}

TKitBase::~TKitBase()
{
    m_labelInfo.SetVisible(false);
}

void TKitBase::SetLabelBelow(bool on)
{
    m_labelBelow = on;
    PositionLabel();
}

void TKitBase::LabelVisibilityChanged()
{
    QWidget* parent = parentWidget();
    if (!parent)
        return;
    if (TKitAttachedLabel* old = m_labelInfo.m_label) {
        disconnect(old, nullptr, this, nullptr);
        delete old;
    }
    if (!m_labelInfo.m_visible)
        return;
    auto* label = new TKitAttachedLabel(parent, this);
    label->SetCaption(objectName() + QStringLiteral("Label"));
    m_labelInfo.m_label = label;
    connect(label, &QObject::destroyed, this, &TKitBase::LabelDestroyed);
    m_labelInfo.m_offsetX = 0;
    m_labelInfo.m_offsetY = 0;
    PositionLabel();
    label->show();
    label->raise();
}

void TKitBase::LabelDestroyed()
{
    m_labelInfo.m_visible = false;
}

QPoint TKitBase::LabelOffsets(const TKitAttachedLabel* label) const
{
    const QRect l = label->geometry();
    if (m_labelBelow)
        return { l.x() - x(), l.y() - y() - height() };
    return { l.x() - x(), l.y() + l.height() - y() };
}

void TKitBase::PositionLabel()
{
    TKitAttachedLabel* label = m_labelInfo.m_label;
    if (!label || !label->parentWidget())
        return;
    const int left = x() + m_labelInfo.m_offsetX;
    const int top
        = m_labelBelow ? y() + height() + m_labelInfo.m_offsetY : y() - label->height() + m_labelInfo.m_offsetY;
    label->move(left, top);
}

void TKitBase::KeepLabelInPlace()
{
    TKitAttachedLabel* label = m_labelInfo.m_label;
    if (!m_labelInfo.m_visible || !label || !label->parentWidget())
        return;
    if (LabelOffsets(label) != QPoint(m_labelInfo.m_offsetX, m_labelInfo.m_offsetY))
        PositionLabel();
}

void TKitBase::TakeLabelOffsets()
{
    TKitAttachedLabel* label = m_labelInfo.m_label;
    if (!label || !label->parentWidget())
        return;
    m_labelInfo.m_visible = true;
    const QPoint offsets = LabelOffsets(label);
    m_labelInfo.SetOffsets(offsets.x(), offsets.y());
}

void TKitBase::AdoptLabel(TKitAttachedLabel* label)
{
    if (m_labelInfo.m_label == label)
        return;
    if (TKitAttachedLabel* old = m_labelInfo.m_label)
        disconnect(old, nullptr, this, nullptr);
    m_labelInfo.m_label = label;
    connect(label, &QObject::destroyed, this, &TKitBase::LabelDestroyed);
}

void TKitBase::PostLabelMoved()
{
    QCoreApplication::postEvent(this, new QEvent(LabelMoved));
}

bool TKitBase::event(QEvent* event)
{
    if (event->type() == ControlMoved) {
        KeepLabelInPlace();
        return true;
    }
    if (event->type() == LabelMoved) {
        TakeLabelOffsets();
        return true;
    }
    return QWidget::event(event);
}

void TKitBase::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    QCoreApplication::postEvent(this, new QEvent(ControlMoved));
}

void TKitBase::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    QCoreApplication::postEvent(this, new QEvent(ControlMoved));
}

void TKitBase::wheelEvent(QWheelEvent* event)
{
    QWidget::wheelEvent(event);
    // Only the vertical wheel is the wheel; a tilt or a touchpad's sideways
    // swipe goes on to the parent. Qt turns the vertical wheel with Alt held
    // into a horizontal one: that is still the wheel.
    const QPoint angle = event->angleDelta();
    const bool altTurned = angle.y() == 0 && (event->modifiers() & Qt::AltModifier);
    const int delta = altTurned ? angle.x() : angle.y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    event->accept();
    const QPoint at = event->globalPosition().toPoint();
    DoMouseWheel(event->modifiers(), delta, at.x(), at.y());
}

void TKitBase::DoMouseWheel(Qt::KeyboardModifiers shift, int delta, int xPos, int yPos)
{
    emit OnMouseWheel(shift, delta, xPos, yPos);
}
