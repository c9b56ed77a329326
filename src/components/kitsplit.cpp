#include "kitsplit.h"

#include "components/appevents.h"
#include "platform/application.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QToolTip>

namespace {

bool IsEdge(TAlign align)
{
    return align == alTop || align == alBottom || align == alLeft || align == alRight;
}

// width rings inside r: top and left in topColor, right and bottom (and the
// two corners they reach) in bottomColor. r shrinks to what lies inside.
void Frame3D(QPainter& p, QRect& r, const QColor& topColor, const QColor& bottomColor, int width)
{
    for (; width > 0 && r.width() > 0 && r.height() > 0; --width) {
        p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topColor);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topColor);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomColor);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomColor);
        r.adjust(1, 1, -1, -1);
    }
}

} // namespace

TKitSplitter::TKitSplitter(QWidget* parent)
    : QWidget(parent)
{
    resize(185, 3);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Moves without the button tell of a release that went to another window.
    setMouseTracking(true);
    setCursor(ScreenCursor(m_cursor));
}

TKitSplitter::~TKitSplitter()
{
    if (m_sizing)
        StopSizing();
}

QWidget* TKitSplitter::Neighbour(QWidget* control) const
{
    return control == this || (control && control->isWindow()) ? nullptr : control;
}

void TKitSplitter::SetControlFirst(QWidget* control)
{
    m_controlFirst = Neighbour(control);
    UpdateCursor();
}

void TKitSplitter::SetControlSecond(QWidget* control)
{
    m_controlSecond = Neighbour(control);
    UpdateCursor();
}

void TKitSplitter::SetLimitOffset(int limit)
{
    m_topLeftLimit = limit;
    m_bottomRightLimit = limit;
}

void TKitSplitter::SetAlign(TAlign align)
{
    if (!IsEdge(Align())) {
        if (align == alTop || align == alBottom)
            resize(width(), 3);
        else if (align == alLeft || align == alRight)
            resize(3, height());
    }
    ::SetAlign(this, align);
    QWidget* parent = parentWidget();
    if (m_controlFirst || m_controlSecond || !parent || !IsEdge(align))
        return;
    QPoint outside;
    switch (align) {
    case alTop:
        outside = QPoint(x(), y() - 1);
        break;
    case alBottom:
        outside = QPoint(x(), y() + height());
        break;
    case alLeft:
        outside = QPoint(x() - 1, y());
        break;
    default:
        outside = QPoint(x() + width(), y());
        break;
    }
    QWidget* found = nullptr;
    for (QObject* o : parent->children()) {
        auto* c = qobject_cast<QWidget*>(o);
        if (c && c != this && !c->isWindow() && c->geometry().contains(outside)) {
            found = c;
            break;
        }
    }
    SetControlFirst(found);
}

void TKitSplitter::Loaded()
{
    UpdateCursor();
}

int TKitSplitter::SizingMode() const
{
    QWidget* first = m_controlFirst;
    QWidget* second = m_controlSecond;
    if (!first)
        return 0;
    const TAlign a1 = AlignOf(first);
    const TAlign a2 = second ? AlignOf(second) : alNone;
    int mode = 0;
    QWidget* changes = nullptr;
    if (a1 == alTop || a1 == alBottom) {
        mode = 1;
        changes = first;
    } else if (a1 == alClient && (a2 == alTop || a2 == alBottom)) {
        mode = 2;
        changes = second;
    } else if (a1 == alLeft || a1 == alRight) {
        mode = 3;
        changes = first;
    } else if (a1 == alClient && (a2 == alLeft || a2 == alRight)) {
        mode = 4;
        changes = second;
    }
    return changes && AlignOf(changes) == Align() ? mode : 0;
}

void TKitSplitter::SetCursor(TCursor cursor)
{
    m_cursor = cursor;
    if (!m_sizing)
        setCursor(ScreenCursor(cursor));
}

void TKitSplitter::UpdateCursor()
{
    switch (SizingMode()) {
    case 1:
    case 2:
        SetCursor(crVSplit);
        break;
    case 3:
    case 4:
        SetCursor(crHSplit);
        break;
    default:
        SetCursor(crDefault);
        break;
    }
}

void TKitSplitter::SetBevelInner(TPanelBevel bevel)
{
    m_bevelInner = bevel;
    update();
}

void TKitSplitter::SetBevelOuter(TPanelBevel bevel)
{
    m_bevelOuter = bevel;
    update();
}

void TKitSplitter::SetBevelWidth(int width)
{
    m_bevelWidth = qMax(width, 1);
    update();
}

void TKitSplitter::SetBorderStyle(TBorderStyle style)
{
    m_borderStyle = style;
    update();
}

void TKitSplitter::SetCtl3D(bool on)
{
    m_ctl3D = on;
    update();
}

void TKitSplitter::SetColor(TColor color)
{
    m_color = color;
    m_parentColor = false;
    update();
}

void TKitSplitter::SetParentColor(bool on)
{
    m_parentColor = on;
    update();
}

void TKitSplitter::Changed()
{
    emit OnPosChanged();
}

void TKitSplitter::Changing(int x, int y, bool& allowChange)
{
    if (OnPosChanging) {
        const TSplitterMoveEvent handler = OnPosChanging;
        handler(this, x, y, allowChange);
    }
}

void TKitSplitter::StartDrag(QPoint pos)
{
    m_sizing = true;
    ApplicationEvents& app = ApplicationEvents::instance();
    m_savedShowHint = app.ShowHint();
    app.SetShowHint(false);
    QToolTip::hideText();
    // Esc and every sign of a lost grab reach the splitter from anywhere.
    qApp->installEventFilter(this);

    m_startPos = pos;
    const QWidget* parent = parentWidget();
    m_minPos = QPoint(m_topLeftLimit, m_topLeftLimit) - this->pos();
    m_maxPos = QPoint(parent->width() - m_bottomRightLimit, parent->height() - m_bottomRightLimit) - this->pos();

    m_line = new QRubberBand(QRubberBand::Line, window());
    MoveLine(QPoint(width() / 2, height() / 2));
    m_line->show();
    m_line->raise();
}

QPoint TKitSplitter::ClampToLimits(QPoint pos) const
{
    if (pos.x() - m_startPos.x() < m_minPos.x())
        pos.setX(m_startPos.x() + m_minPos.x());
    else if (m_maxPos.x() < pos.x() + width() - m_startPos.x())
        pos.setX(m_maxPos.x() + m_startPos.x() - width());
    if (pos.y() - m_startPos.y() < m_minPos.y())
        pos.setY(m_startPos.y() + m_minPos.y());
    else if (m_maxPos.y() < pos.y() + height() - m_startPos.y())
        pos.setY(m_maxPos.y() + m_startPos.y() - height());
    return pos;
}

void TKitSplitter::MoveLine(QPoint pos)
{
    const bool horizontal = LineIsHorizontal();
    QPoint global = mapToGlobal(horizontal ? QPoint(0, pos.y()) : QPoint(pos.x(), 0));
    const QWidget* parent = parentWidget();
    const QRect area(parent->mapToGlobal(QPoint(0, 0)), parent->size());
    if (horizontal)
        global.setY(qBound(area.top(), global.y(), area.bottom()));
    else
        global.setX(qBound(area.left(), global.x(), area.right()));
    if (!m_line->isHidden() && global == m_lastLine)
        return;
    m_lastLine = global;
    const int thickness = horizontal ? height() : width();
    const int pen = thickness < 4 ? 2 : thickness - 2;
    const QPoint at = m_line->parentWidget()->mapFromGlobal(global);
    m_line->setGeometry(
        horizontal ? QRect(at.x(), at.y() - pen / 2, width(), pen) : QRect(at.x() - pen / 2, at.y(), pen, height()));
}

void TKitSplitter::DragTo(QPoint pos)
{
    const QPointer<TKitSplitter> self(this);
    bool allow = true;
    try {
        Changing(pos.x(), pos.y(), allow);
    } catch (const std::exception& e) {
        if (self)
            EndDrag(false);
        ShowException(e);
        return;
    }
    // The handler may have ended the drag (a modal box) or the splitter.
    if (!self || !m_sizing)
        return;
    if (!allow) {
        setCursor(ScreenCursor(crNoDrop));
        return;
    }
    const QPoint clamped = ClampToLimits(pos);
    const bool noDrop = LineIsHorizontal() ? clamped.y() != pos.y() : clamped.x() != pos.x();
    // Set on every move, so that a move refused by the handler leaves no
    // stale no-drop cursor behind.
    setCursor(ScreenCursor(noDrop ? crNoDrop : m_cursor));
    MoveLine(clamped + QPoint(width() / 2, height() / 2) - m_startPos);
}

void TKitSplitter::EndDrag(bool apply, QPoint pos)
{
    if (!m_sizing)
        return;
    bool allow = true;
    if (apply) {
        const QPointer<TKitSplitter> self(this);
        try {
            Changing(pos.x(), pos.y(), allow);
        } catch (const std::exception& e) {
            if (self)
                StopSizing();
            ShowException(e);
            return;
        }
        if (!self || !m_sizing)
            return;
    }
    const QPoint line = mapFromGlobal(m_lastLine);
    StopSizing();
    if (!apply)
        return;
    if (!allow)
        pos = line + m_startPos - QPoint(width() / 2, height() / 2);
    Apply(pos);
    RunGuarded([this] { Changed(); });
}

void TKitSplitter::StopSizing()
{
    m_sizing = false;
    // Not deleted here: the line is a child of the form, whose children may
    // be in the middle of an event walk that ended the drag.
    if (m_line) {
        m_line->hide();
        m_line->deleteLater();
        m_line = nullptr;
    }
    qApp->removeEventFilter(this);
    ApplicationEvents::instance().SetShowHint(m_savedShowHint);
    setCursor(ScreenCursor(m_cursor));
}

void TKitSplitter::Apply(QPoint pos)
{
    QWidget* target = m_sizeMode == 1 || m_sizeMode == 3 ? m_controlFirst : m_controlSecond;
    QWidget* parent = parentWidget();
    if (!target || !parent)
        return;
    QPoint p = ClampToLimits(pos);
    QPoint start = m_startPos;
    // Moving towards a control on the right or bottom shrinks it. The side is
    // the resized control's, so a top control does not shrink because the
    // other neighbour sits at the bottom.
    const TAlign side = AlignOf(target);
    if (side == alRight) {
        p.setX(-p.x());
        start.setX(-start.x());
    }
    if (side == alBottom) {
        p.setY(-p.y());
        start.setY(-start.y());
    }
    const bool vertical = LineIsHorizontal();
    const int room = vertical ? parent->height() - height() : parent->width() - width();
    int extent = vertical ? target->height() + p.y() - start.y() : target->width() + p.x() - start.x();
    if (extent <= 0)
        extent = 1;
    if (extent >= room)
        extent = room - 3;
    extent = qMax(extent, 1);
    // A control at the bottom or right keeps that edge, and so its place among
    // the controls stacked there.
    QRect bounds = target->geometry();
    if (side == alBottom)
        bounds.setTop(bounds.bottom() + 1 - extent);
    else if (side == alRight)
        bounds.setLeft(bounds.right() + 1 - extent);
    else if (vertical)
        bounds.setHeight(extent);
    else
        bounds.setWidth(extent);
    const AlignSuspension suspended(target->parentWidget());
    target->setGeometry(bounds);
}

bool TKitSplitter::GrabLostBy(QObject* watched, QEvent* event) const
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        // While the grab holds, the mouse speaks to the splitter alone.
        return watched != this && watched->isWidgetType();
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        return watched->isWidgetType();
    case QEvent::WindowDeactivate:
    case QEvent::WindowBlocked:
        return watched == window();
    case QEvent::ApplicationDeactivate:
        return true;
    case QEvent::Show:
        return watched->isWidgetType() && static_cast<QWidget*>(watched)->windowType() == Qt::Popup;
    default:
        return false;
    }
}

bool TKitSplitter::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_sizing)
        return false;
    const QEvent::Type type = event->type();
    if ((type == QEvent::ShortcutOverride || type == QEvent::KeyPress)
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        // Esc belongs to the drag: no shortcut of the form sees it.
        event->accept();
        if (type == QEvent::KeyPress)
            EndDrag(false);
        return true;
    }
    if (GrabLostBy(watched, event))
        EndDrag(false);
    return false;
}

bool TKitSplitter::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Hide:
    case QEvent::ParentAboutToChange:
        EndDrag(false);
        break;
    case QEvent::EnabledChange:
        if (!isEnabled())
            EndDrag(false);
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TKitSplitter::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRect r = rect();
    const QWidget* parent = parentWidget();
    const QColor face
        = m_parentColor && parent ? parent->palette().color(parent->backgroundRole()) : ColorToQColor(m_color);
    if (m_borderStyle == bsSingle) {
        if (m_ctl3D) {
            Frame3D(p, r, ColorToQColor(clBtnShadow), ColorToQColor(clBtnHighlight), 1);
            Frame3D(p, r, ColorToQColor(cl3DDkShadow), ColorToQColor(cl3DLight), 1);
        } else {
            Frame3D(p, r, ColorToQColor(clWindowFrame), ColorToQColor(clWindowFrame), 1);
        }
    }
    for (TPanelBevel bevel : { m_bevelOuter, m_bevelInner }) {
        const QColor light = ColorToQColor(clBtnHighlight);
        const QColor shadow = ColorToQColor(clBtnShadow);
        if (bevel == bvLowered)
            Frame3D(p, r, shadow, light, m_bevelWidth);
        else if (bevel == bvRaised)
            Frame3D(p, r, light, shadow, m_bevelWidth);
        else if (bevel == bvSpace)
            Frame3D(p, r, face, face, m_bevelWidth);
    }
    p.fillRect(r, face);
}

void TKitSplitter::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit OnResize();
}

void TKitSplitter::mousePressEvent(QMouseEvent* event)
{
    const QPointer<TKitSplitter> self(this);
    const QPoint pos = event->position().toPoint();
    emit OnMouseDown(event->button(), event->modifiers(), pos.x(), pos.y());
    if (!self || event->button() != Qt::LeftButton || m_sizing || !parentWidget())
        return;
    m_sizeMode = SizingMode();
    if (m_sizeMode != 0)
        StartDrag(pos);
}

void TKitSplitter::mouseMoveEvent(QMouseEvent* event)
{
    const QPointer<TKitSplitter> self(this);
    const QPoint pos = event->position().toPoint();
    emit OnMouseMove(event->modifiers(), pos.x(), pos.y());
    if (!self || !m_sizing)
        return;
    if (event->buttons() & Qt::LeftButton)
        DragTo(pos);
    else
        EndDrag(false);
}

void TKitSplitter::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointer<TKitSplitter> self(this);
    const QPoint pos = event->position().toPoint();
    emit OnMouseUp(event->button(), event->modifiers(), pos.x(), pos.y());
    if (!self || event->button() != Qt::LeftButton)
        return;
    EndDrag(true, pos);
    if (self && rect().contains(pos))
        emit OnClick();
}

void TKitSplitter::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPointer<TKitSplitter> self(this);
    emit OnDblClick();
    if (self)
        QWidget::mouseDoubleClickEvent(event);
}
