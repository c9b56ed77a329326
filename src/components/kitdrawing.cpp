#include "kitdrawing.h"

#include "components/maxmin.h"

#include <QApplication>
#include <QBitmap>
#include <QPainter>
#include <QStyle>
#include <QWidget>

void CopyCell(const QPixmap& source, QPixmap& dest, int cols, int index, int rows)
{
    cols = qMax(cols, 1);
    rows = qMax(rows, 1);
    index = qMax(index, 0);
    const int w = source.width() / cols;
    const int h = source.height() / rows;
    dest = source.copy((index % cols) * w, (index / cols) * h, w, h);
}

void GradientFill(QPainter& painter, const QRect& rect, TColor startColor, TColor endColor, int direction, int bands)
{
    if (rect.isEmpty())
        return;
    const TColor start = ColorToRGB(startColor);
    const TColor end = ColorToRGB(endColor);
    if (bands < 2) {
        painter.fillRect(rect, ColorToQColor(start));
        return;
    }
    const bool vertical = direction == gdTopToBottom || direction == gdBottomToTop;
    const bool reversed = direction == gdBottomToTop || direction == gdRightToLeft;
    const int extent = vertical ? rect.height() : rect.width();
    const int n = IntMax(2, IntMin(bands, extent));
    const int band = extent / n;
    const int dr = GetRValue(end) - GetRValue(start);
    const int dg = GetGValue(end) - GetGValue(start);
    const int db = GetBValue(end) - GetBValue(start);
    // Band k covers [from, from + size) along the extent, measured from the
    // start colour's edge.
    auto fill = [&](int from, int size, const QColor& c) {
        if (size <= 0)
            return;
        const int lead = reversed ? extent - from - size : from;
        const QRect r = vertical ? QRect(rect.left(), rect.top() + lead, rect.width(), size)
                                 : QRect(rect.left() + lead, rect.top(), size, rect.height());
        painter.fillRect(r, c);
    };
    for (int k = 0; k < n; ++k) {
        const QColor c(GetRValue(start) + MulDiv(k, dr, n - 1), GetGValue(start) + MulDiv(k, dg, n - 1),
            GetBValue(start) + MulDiv(k, db, n - 1));
        fill(k * band, band, c);
    }
    fill(n * band, extent - n * band, ColorToQColor(end));
}

RotatedFont CreateRotatedFont(const QFont& font, int angle)
{
    RotatedFont result { font, angle };
    if (font.family().compare(QLatin1String("Default"), Qt::CaseInsensitive) == 0)
        result.font.setFamily(QApplication::font().family());
    result.font.setWeight(font.bold() ? QFont::Bold : QFont::Normal);
    return result;
}

void TextOutRotated(QPainter& painter, const RotatedFont& font, int x, int y, const QString& text, const QRect& clip)
{
    painter.save();
    if (clip.isValid())
        painter.setClipRect(clip, Qt::IntersectClip);
    painter.setFont(font.font);
    painter.translate(x, y);
    painter.rotate(-font.angle);
    painter.drawText(QPoint(0, painter.fontMetrics().ascent()), text);
    painter.restore();
}

bool BringWindowForward(QWidget* window, bool restore)
{
    if (!window || !window->isEnabled())
        return false;
    window->raise();
    window->activateWindow();
    if (restore) {
        if (!window->isVisible())
            return false;
        if (!window->isMaximized())
            window->showNormal();
        window->setFocus();
    }
    return true;
}

void StretchBltMasked(
    QPainter& painter, const QRect& dest, const QPixmap& bitmap, const QRect& source, const QColor& transparentColor)
{
    QPixmap part = bitmap.copy(source);
    part.setMask(part.createMaskFromColor(transparentColor, Qt::MaskInColor));
    painter.drawPixmap(dest, part);
}

void StretchTransparentBitmap(
    QPainter& painter, const QPixmap& bitmap, TColor transparentColor, QRect dest, QRect source)
{
    if (bitmap.isNull())
        return;
    if (source.isEmpty())
        source = bitmap.rect();
    if (dest.isEmpty())
        dest = QRect(dest.topLeft(), source.size());
    if (transparentColor == clNone) {
        painter.drawPixmap(dest, bitmap, source);
        return;
    }
    QColor key;
    if (bitmap.depth() == 1)
        key = Qt::white;
    else if (transparentColor == clDefault)
        key = bitmap.toImage().pixelColor(0, bitmap.height() - 1);
    else
        key = ColorToQColor(transparentColor);
    StretchBltMasked(painter, dest, bitmap, source, key);
}

QPixmap TransparentByCorner(const QPixmap& glyph)
{
    if (glyph.isNull())
        return glyph;
    QPixmap out = glyph;
    out.setMask(glyph.createMaskFromColor(glyph.toImage().pixelColor(0, glyph.height() - 1), Qt::MaskInColor));
    return out;
}

void DrawTransparentBitmap(QPainter& painter, int x, int y, const QPixmap& bitmap, TColor transparentColor)
{
    StretchTransparentBitmap(painter, bitmap, transparentColor, QRect(x, y, bitmap.width(), bitmap.height()), QRect());
}

TColor PaletteColor(TColor color)
{
    return ColorToRGB(color) | 0x02000000;
}

QSize IconSizeOf(const QIcon& icon)
{
    QSize best;
    for (const QSize& s : icon.availableSizes())
        if (s.width() * s.height() > best.width() * best.height())
            best = s;
    if (best.isValid() && !best.isEmpty())
        return best;
    const int system = QApplication::style()->pixelMetric(QStyle::PM_LargeIconSize);
    return QSize(system, system);
}

QString DelChars(const QString& text, QChar ch)
{
    QString result = text;
    result.remove(ch);
    return result;
}
