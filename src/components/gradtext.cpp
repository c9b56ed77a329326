#include "gradtext.h"

#include "components/maxmin.h"

#include <QEvent>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QScopedValueRollback>

#include <cmath>

namespace {

QColor ToQColor(TColor rgb)
{
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

} // namespace

TGradText::TGradText(QWidget* parent)
    : QWidget(parent)
{
    resize(75, 25);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(18);
    font.setBold(true);
    font.setItalic(true);
    setFont(font);
    FitToText();
}

void TGradText::SetBeginColor(TColor color)
{
    if (color == m_beginColor)
        return;
    m_beginColor = color;
    update();
}

void TGradText::SetEndColor(TColor color)
{
    if (color == m_endColor)
        return;
    m_endColor = color;
    update();
}

void TGradText::SetGradientStyle(TGradientStyle style)
{
    if (style == m_gradientStyle)
        return;
    m_gradientStyle = style;
    update();
}

void TGradText::SetJustification(TJustification justification)
{
    if (justification == m_justification)
        return;
    m_justification = justification;
    FitToText();
    update();
}

void TGradText::SetLines(const QStringList& lines)
{
    if (lines.isEmpty() || lines == m_lines)
        return;
    m_lines = lines;
    FitToText();
    update();
}

TColor TGradText::BandColor(TColor begin, TColor end, int i, int n)
{
    const TColor b = ColorToRGB(begin);
    const TColor e = ColorToRGB(end);
    // A gradient one pixel high or wide has no steps; MulDiv would give -1.
    n = qMax(n, 1);
    const auto step = [i, n](int from, int to) { return (from + MulDiv(i, to - from, n)) & 0xFF; };
    return RGB(step(GetRValue(b), GetRValue(e)), step(GetGValue(b), GetGValue(e)), step(GetBValue(b), GetBValue(e)));
}

QString TGradText::Text() const
{
    return m_lines.join(QLatin1Char('\n'));
}

int TGradText::TextFlags() const
{
    const int align = m_justification == jLeft ? Qt::AlignLeft
        : m_justification == jRight            ? Qt::AlignRight
                                               : Qt::AlignHCenter;
    return Qt::TextWordWrap | Qt::AlignTop | align;
}

void TGradText::FitToText()
{
    if (m_fitting)
        return;
    const QScopedValueRollback<bool> fitting(m_fitting, true);
    // Measured left-aligned: where a centred line would start does not change
    // the size, and rounding up lets the same text fit the same width again.
    const int flags = (TextFlags() & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft;
    const QRectF needed = QFontMetricsF(font()).boundingRect(QRectF(0, 0, width(), height()), flags, Text());
    resize(int(std::ceil(needed.width())), int(std::ceil(needed.height())));
}

void TGradText::PaintGradient(QPainter& p) const
{
    const int w = width();
    const int h = height();
    const auto band = [this](int i, int n) { return ToQColor(BandColor(m_beginColor, m_endColor, i, n)); };
    switch (m_gradientStyle) {
    case gsHorizontal:
        for (int i = 0; i < 256; ++i) {
            const int x0 = MulDiv(i, w, 256);
            p.fillRect(QRect(x0, 0, MulDiv(i + 1, w, 256) - x0, h), band(i, 255));
        }
        break;
    case gsVertical:
        for (int i = 0; i < 256; ++i) {
            const int y0 = MulDiv(i, h, 256);
            p.fillRect(QRect(0, y0, w, MulDiv(i + 1, h, 256) - y0), band(i, 255));
        }
        break;
    case gsRectangle: {
        const double dx = w * 0.5 / 255;
        const double dy = h * 0.5 / 255;
        double left = 0;
        double top = 0;
        double right = w + 2;
        double bottom = h + 2;
        for (int i = 0; i < 256; ++i) {
            left += dx;
            right -= dx;
            top += dy;
            bottom -= dy;
            const QRect r(
                QPoint(int(Trunc(left)), int(Trunc(top))), QPoint(int(Trunc(right)) - 1, int(Trunc(bottom)) - 1));
            if (r.isValid())
                p.fillRect(r, band(i, 255));
        }
        break;
    }
    case gsVertCenter: {
        const int n = h / 2;
        for (int i = 0; i <= n; ++i) {
            const QColor c = band(i, n);
            p.fillRect(QRect(0, i, w, 1), c);
            p.fillRect(QRect(0, h - 1 - i, w, 1), c);
        }
        break;
    }
    case gsHorizCenter: {
        const int n = w / 2;
        for (int i = 0; i <= n; ++i) {
            const QColor c = band(i, n);
            p.fillRect(QRect(i, 0, 1, h), c);
            p.fillRect(QRect(w - 1 - i, 0, 1, h), c);
        }
        break;
    }
    }
}

void TGradText::paintEvent(QPaintEvent*)
{
    if (width() <= 0 || height() <= 0)
        return;
    // The letters are drawn with the gradient as their brush: only they show,
    // and a white gradient stays visible.
    QImage gradient(size(), QImage::Format_ARGB32_Premultiplied);
    gradient.fill(Qt::transparent);
    {
        QPainter g(&gradient);
        PaintGradient(g);
    }
    QPainter p(this);
    p.setPen(QPen(QBrush(gradient), 1));
    p.drawText(rect(), TextFlags(), Text());
}

void TGradText::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // A new width wraps the text anew.
    FitToText();
}

void TGradText::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        FitToText();
        update();
    }
}
