#include "proctrls.h"

#include "components/kitdrawing.h"
#include "components/maxmin.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

#include <cmath>
#include <iterator>
#include <numbers>

namespace {

struct Preset {
    TDirection highlightDirection;
    int highlightDepth;
    TDirection shadowDirection;
    TShadowDepth shadowDepth;
    TShadowSize shadowSize;
    bool buttonFaceText;
};

// By TShadowStyle; ssCustom has none.
// clang-format off
constexpr Preset kPresets[] = {
    {drNone, 0, drNone, 0, 0, false},               // ssNone
    {drNone, 0, drNone, 0, 0, false},               // ssCustom (not applied)
    {drUpLeft, 1, drNone, 0, 0, false},             // ssRaised
    {drUpLeft, 1, drDownRight, 1, 1, true},         // ssRaisedColor
    {drUpLeft, 1, drDownRight, 1, 1, false},        // ssRaisedShadow
    {drUpLeft, 1, drDownRight, 1, 4, false},        // ssRaisedThickShadow
    {drDownRight, 1, drNone, 0, 0, false},          // ssRecessed
    {drDownRight, 1, drUpLeft, 1, 1, true},         // ssRecessedColor
    {drDownRight, 1, drUpLeft, 1, 1, false},        // ssRecessedShadow
    {drNone, 0, drDownRight, 2, 1, false},          // ssShadow
    {drNone, 0, drDownRight, 1, 4, false},          // ssThickShadow
};
// clang-format on
static_assert(std::size(kPresets) == ssThickShadow + 1);

} // namespace

QPoint DirectionStep(TDirection direction)
{
    switch (direction) {
    case drUp:
        return { 0, -1 };
    case drDown:
        return { 0, 1 };
    case drLeft:
        return { -1, 0 };
    case drRight:
        return { 1, 0 };
    case drUpLeft:
        return { -1, -1 };
    case drUpRight:
        return { 1, -1 };
    case drDownLeft:
        return { -1, 1 };
    case drDownRight:
        return { 1, 1 };
    case drNone:
        break;
    }
    return { 0, 0 };
}

TProCustomLabel::TProCustomLabel(QWidget* parent)
    : QWidget(parent)
{
    AdjustBounds();
}

template <class T> bool TProCustomLabel::Change(T& field, T value)
{
    if (field == value)
        return false;
    field = value;
    update();
    return true;
}

template <class T> void TProCustomLabel::ChangeShadow(T& field, T value)
{
    if (Change(field, value))
        m_shadowStyle = ssCustom;
}

void TProCustomLabel::SetCaption(const QString& caption)
{
    if (Change(m_caption, caption))
        AdjustBounds();
}

void TProCustomLabel::SetAlignment(TAlignment alignment)
{
    Change(m_alignment, alignment);
}

void TProCustomLabel::SetAutoSize(bool on)
{
    if (Change(m_autoSize, on))
        AdjustBounds();
}

void TProCustomLabel::SetColor(TColor color)
{
    Change(m_color, color);
}

void TProCustomLabel::SetFontColor(TColor color)
{
    Change(m_fontColor, color);
}

void TProCustomLabel::SetShowAccelChar(bool on)
{
    if (Change(m_showAccelChar, on))
        AdjustBounds();
}

void TProCustomLabel::SetTransparent(bool on)
{
    Change(m_transparent, on);
}

void TProCustomLabel::SetWordWrap(bool on)
{
    if (Change(m_wordWrap, on))
        AdjustBounds();
}

void TProCustomLabel::SetAngle(int angle)
{
    angle %= 360;
    if (angle < 0)
        angle += 360;
    if (Change(m_angle, angle) && angle > 0)
        SetAutoSize(false);
}

void TProCustomLabel::SetOffsetX(int offset)
{
    if (Change(m_offsetX, offset) && offset > 0)
        SetAutoSize(false);
}

void TProCustomLabel::SetOffsetY(int offset)
{
    if (Change(m_offsetY, offset) && offset > 0)
        SetAutoSize(false);
}

void TProCustomLabel::SetVerticalAlignment(TVerticalAlignment alignment)
{
    Change(m_verticalAlignment, alignment);
}

void TProCustomLabel::SetShadowStyle(TShadowStyle style)
{
    if (!Change(m_shadowStyle, style) || style == ssCustom)
        return;
    const Preset& p = kPresets[style];
    m_highlightDirection = p.highlightDirection;
    m_highlightDepth = p.highlightDepth;
    m_highlightColor = clBtnHighlight;
    m_shadowDirection = p.shadowDirection;
    m_shadowDepth = p.shadowDepth;
    m_shadowSize = p.shadowSize;
    m_shadowColor = clBtnShadow;
    if (p.buttonFaceText)
        m_fontColor = clBtnFace;
}

void TProCustomLabel::SetHighlightDirection(TDirection direction)
{
    ChangeShadow(m_highlightDirection, direction);
}

void TProCustomLabel::SetHighlightDepth(int depth)
{
    ChangeShadow(m_highlightDepth, depth);
}

void TProCustomLabel::SetHighlightColor(TColor color)
{
    ChangeShadow(m_highlightColor, color);
}

void TProCustomLabel::SetShadowDirection(TDirection direction)
{
    ChangeShadow(m_shadowDirection, direction);
}

void TProCustomLabel::SetShadowDepth(TShadowDepth depth)
{
    ChangeShadow(m_shadowDepth, depth);
}

void TProCustomLabel::SetShadowSize(TShadowSize size)
{
    ChangeShadow(m_shadowSize, size);
}

void TProCustomLabel::SetShadowColor(TColor color)
{
    ChangeShadow(m_shadowColor, color);
}

int TProCustomLabel::TextFlags() const
{
    int flags = Qt::TextExpandTabs | Qt::AlignTop;
    flags |= m_alignment == taRightJustify ? Qt::AlignRight
        : m_alignment == taCenter          ? Qt::AlignHCenter
                                           : Qt::AlignLeft;
    if (m_wordWrap)
        flags |= Qt::TextWordWrap;
    if (m_showAccelChar)
        flags |= Qt::TextShowMnemonic;
    return flags;
}

// The unrotated text's extent; an empty caption measures as a blank, so an
// empty label keeps a line's height.
QSize TProCustomLabel::TextSize() const
{
    const QString text = m_caption.isEmpty() ? QStringLiteral(" ") : m_caption;
    const QRect limit(0, 0, m_wordWrap ? qMax(width(), 1) : 0, 0);
    return QFontMetrics(font()).boundingRect(limit, TextFlags() & ~Qt::AlignHorizontal_Mask, text).size();
}

QSize TProCustomLabel::sizeHint() const
{
    return TextSize();
}

// Sizing happens when what the size depends on changes, never in a paint,
// which a resize would ask for again.
void TProCustomLabel::AdjustBounds()
{
    updateGeometry();
    if (!m_autoSize)
        return;
    const QSize text = TextSize();
    const int w = m_wordWrap ? width() : text.width();
    QRect bounds = geometry();
    if (m_alignment == taRightJustify)
        bounds.setLeft(bounds.right() + 1 - w);
    else
        bounds.setWidth(w);
    bounds.setHeight(text.height());
    setGeometry(bounds);
}

void TProCustomLabel::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        AdjustBounds();
}

void TProCustomLabel::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    emit OnMouseEnter();
}

void TProCustomLabel::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    emit OnMouseLeave();
}

void TProCustomLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int flags = TextFlags();
    const QRect client = rect();
    QRect r = client;
    if (!m_transparent)
        p.fillRect(r, ColorToQColor(m_color));
    p.setFont(font());
    const QFontMetrics fm(font());
    const RotatedFont rotated = CreateRotatedFont(font(), m_angle);

    if (m_angle != 0) {
        const QFontMetrics rfm(rotated.font);
        const int w = rfm.horizontalAdvance(m_caption);
        const int h = rfm.height();
        const double theta = m_angle * std::numbers::pi / 180.0;
        const int wc = int(Round(w * std::cos(theta)));
        const int ws = int(Round(w * std::sin(theta)));
        const int hc = int(Round(h * std::cos(theta)));
        const int hs = int(Round(h * std::sin(theta)));
        int bw, bh;
        if (m_angle < 90) {
            bw = hs + wc;
            bh = ws + hc;
        } else if (m_angle < 180) {
            bw = hs - wc;
            bh = ws - hc;
        } else if (m_angle < 270) {
            bw = -wc - hs;
            bh = -ws - hc;
        } else {
            bw = wc - hs;
            bh = hc - ws;
        }
        bw = qMin(bw, client.width());
        bh = qMin(bh, client.height());
        r = QRect(client.topLeft(), QSize(bw, bh));
        if (m_alignment == taCenter)
            r.translate((client.width() - bw) / 2, 0);
        else if (m_alignment == taRightJustify)
            r.translate(client.width() - bw, 0);
        if (m_verticalAlignment == vaCenter)
            r.translate(0, (client.height() - bh) / 2);
        else if (m_verticalAlignment == vaBottom)
            r.translate(0, client.height() - bh);
        // Where the rotated text cell starts so that it fills the box.
        if (m_angle < 90)
            r.translate(0, ws);
        else if (m_angle < 180)
            r.translate(-wc, bh);
        else if (m_angle < 270)
            r.translate(bw, -hc);
        else
            r.translate(-hs, 0);
    } else if (m_verticalAlignment != vaTop) {
        const int th = fm.boundingRect(client, flags, m_caption).height();
        r.setHeight(th);
        r.translate(0, m_verticalAlignment == vaCenter ? (client.height() - th) / 2 : client.height() - th);
    }
    r.translate(m_offsetX, m_offsetY);

    const auto draw = [&](const QRect& at, TColor color) {
        p.setPen(ColorToQColor(color));
        if (m_angle != 0)
            TextOutRotated(p, rotated, at.left(), at.top(), m_caption);
        else
            p.drawText(at, flags, m_caption);
    };

    if (!isEnabled()) {
        draw(r.translated(1, 1), clBtnHighlight);
        draw(r, clBtnShadow);
        return;
    }
    if (m_shadowStyle != ssNone) {
        const QPoint step = DirectionStep(m_shadowDirection);
        // Copies that moved further than the label and the text together
        // cannot show; the rest of them are not drawn.
        const int reach = client.width() + client.height() + fm.horizontalAdvance(m_caption) + fm.height()
            + qAbs(m_offsetX) + qAbs(m_offsetY);
        QPoint shift = step * m_shadowDepth;
        for (int i = 0; i < m_shadowSize && shift.manhattanLength() <= 2 * reach; ++i) {
            draw(r.translated(shift), m_shadowColor);
            shift += step;
        }
        draw(r.translated(DirectionStep(m_highlightDirection) * m_highlightDepth), m_highlightColor);
    }
    draw(r, m_fontColor);
}
