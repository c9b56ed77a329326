#pragma once

#include "components/kitcolors.h"

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QString>

class QPainter;
class QWidget;

// Drawing routines of the owner-drawn menu and the picture clip.

// dest := cell index of source cut into cols x rows equal cells (cols or rows
// of 0 or less count as 1, a negative index as 0), with the source's mask.
void CopyCell(const QPixmap& source, QPixmap& dest, int cols, int index, int rows);

// Directions of GradientFill: where startColor lies.
enum GradientDirection { gdTopToBottom = 0, gdBottomToTop = 1, gdLeftToRight = 2, gdRightToLeft = 3 };

// Fills rect with bands of colours running from startColor to endColor: n
// bands of extent / n pixels (n = bands, at least 2 and at most the extent),
// the extent % n pixels left over in the colour of the far edge. Fewer than 2
// bands fill rect with startColor alone.
void GradientFill(QPainter& painter, const QRect& rect, TColor startColor, TColor endColor, int direction, int bands);

// A font whose text runs at angle degrees counter-clockwise; "Default" as the
// family stands for the application's font.
struct RotatedFont {
    QFont font;
    int angle = 0;
};
RotatedFont CreateRotatedFont(const QFont& font, int angle);
// Text with its cell's top-left corner at (x, y), turned about that point,
// clipped to clip when one is given.
void TextOutRotated(
    QPainter& painter, const RotatedFont& font, int x, int y, const QString& text, const QRect& clip = QRect());

// Brings window to the front; false when it is disabled. With restore, a
// minimised window is restored and takes the focus; false when invisible.
bool BringWindowForward(QWidget* window, bool restore);

// The class library's rule for glyphs: the colour of the bottom-left pixel is
// see-through.
QPixmap TransparentByCorner(const QPixmap& glyph);

// clNone as transparentColor draws bitmap as it is; clDefault takes the
// bitmap's bottom-left pixel as its transparent colour (white for a
// monochrome bitmap).
void DrawTransparentBitmap(QPainter& painter, int x, int y, const QPixmap& bitmap, TColor transparentColor);
// Empty rects stand for the whole bitmap.
void StretchTransparentBitmap(
    QPainter& painter, const QPixmap& bitmap, TColor transparentColor, QRect dest, QRect source);
// Source part of bitmap stretched onto dest, pixels of transparentColor left
// out.
void StretchBltMasked(
    QPainter& painter, const QRect& dest, const QPixmap& bitmap, const QRect& source, const QColor& transparentColor);

// The palette-relative form of a colour (bit 0x02000000 set); painting takes
// the RGB part.
TColor PaletteColor(TColor color);

// The size an icon is drawn at: its largest own size, else the system's icon
// size.
QSize IconSizeOf(const QIcon& icon);

// text without any ch.
QString DelChars(const QString& text, QChar ch);
