#include "alabel.h"

#include "components/maxmin.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

#include <cmath>
#include <numbers>

namespace {

double Radians(int angle)
{
    return angle * std::numbers::pi / 1800.0;
}

} // namespace

TALabel::TALabel(QWidget* parent)
    : QWidget(parent)
{
    QFont f = font();
    f.setFamily(QStringLiteral("Arial"));
    setFont(f);
    AdjustSize();
}

void TALabel::SetCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    AdjustSize();
    update();
}

void TALabel::SetAngle(int angle)
{
    if (angle == m_angle)
        return;
    m_angle = ((angle % 3600) + 3600) % 3600;
    AdjustSize();
    update();
}

void TALabel::SetAutoSize(bool on)
{
    if (on == m_autoSize)
        return;
    m_autoSize = on;
    AdjustSize();
}

void TALabel::SetTransparent(bool on)
{
    if (on == m_transparent)
        return;
    m_transparent = on;
    update();
}

QString TALabel::DrawnText() const
{
    return m_caption.left(255);
}

QSize TALabel::AutoSizeFor() const
{
    const QFontMetrics fm(font());
    const double tw = fm.horizontalAdvance(DrawnText());
    const double th = fm.height();
    const double s = std::fabs(std::sin(Radians(m_angle)));
    const double c = std::fabs(std::cos(Radians(m_angle)));
    return { int(Trunc(s * th + c * tw)) + 4, int(Trunc(s * tw + c * th)) + 4 };
}

QSize TALabel::sizeHint() const
{
    return AutoSizeFor();
}

// Resizing happens here, when what the size depends on changes; a resize from
// within a paint would ask for the paint again.
void TALabel::AdjustSize()
{
    updateGeometry();
    if (m_autoSize)
        resize(AutoSizeFor());
}

void TALabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        AdjustSize();
    QWidget::changeEvent(event);
}

QPoint TALabel::TextOrigin() const
{
    const QFontMetrics fm(font());
    const double tw = fm.horizontalAdvance(DrawnText());
    const double th = fm.height();
    const double theta = Radians(m_angle);
    if (!m_autoSize) {
        return { int(Trunc(width() / 2.0 - std::cos(theta) * tw / 2 - std::sin(theta) * th / 2)),
            int(Trunc(height() / 2.0 - std::cos(theta) * th / 2 + std::sin(theta) * tw / 2)) };
    }
    const double s = std::fabs(std::sin(theta));
    const double c = std::fabs(std::cos(theta));
    int x = m_angle < 901 || m_angle > 2699 ? 2 : int(Trunc(c * tw)) + 2;
    if (m_angle > 1800)
        x += int(Trunc(s * th));
    int y = 2;
    if (m_angle < 1800)
        y += int(Trunc(s * tw));
    if (m_angle > 900 && m_angle < 2700)
        y += int(Trunc(c * th));
    return { x, y };
}

void TALabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!m_transparent)
        p.fillRect(rect(), palette().color(QPalette::Active, QPalette::Window));
    const QPoint origin = TextOrigin();
    // drawText anchors the baseline; the text cell's top lies an ascent above.
    p.setFont(font());
    p.setPen(palette().color(QPalette::Active, QPalette::WindowText));
    p.translate(origin);
    p.rotate(-m_angle / 10.0);
    p.drawText(0, QFontMetrics(font()).ascent(), DrawnText());
}
