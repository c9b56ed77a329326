#pragma once

// Utility routines of the kit: disabled glyphs and checker brushes, parent
// backgrounds, rectangles on the screen, command-line tokens, the list and
// read errors.

#include "components/kitcolors.h"
#include "platform/errors.h"

#include <QEvent>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QStringView>

class QFontMetrics;
class QObject;
class QPainter;
class QWidget;
class TImageList;

// An index outside a list of the kit; the message is the class library's.
class EListError : public KorvelError {
public:
    explicit EListError(qsizetype index);
};

// A stream that ends early or holds impossible sizes.
class EReadError : public KorvelError {
public:
    EReadError();
};

// Paints into painter (in the control's coordinates) what lies behind the
// control: the parent's own painting, then every visible sibling that lies
// below the control and overlaps it. For controls that draw themselves
// transparently over their parent.
void PaintParentBackground(QWidget* control, QPainter& painter);

// The embossed picture of a disabled glyph: every pixel of source that is
// neither outlineColor nor transparent is drawn in highlightColor one pixel
// down and right (when drawHighlight) and then in shadowColor in place, on a
// backColor ground.
QPixmap BuildDisabledBitmap(const QPixmap& source, TColor outlineColor, TColor backColor, TColor highlightColor,
    TColor shadowColor, bool drawHighlight);
QPixmap BuildDisabledGlyph(const QPixmap& source, TColor outlineColor);

// Image index of images drawn as its silhouette, embossed the same way;
// nothing for an index outside the list.
void DrawListImageDisabled(const TImageList& images, QPainter& painter, int x, int y, int index, TColor highlightColor,
    TColor grayColor, bool drawHighlight);

// 8 x 8 in color1, with color2 where x and y are both odd or both even.
QPixmap MakeCheckerBrushBitmap(TColor color1, TColor color2);

inline int WidthOfRect(const QRect& r)
{
    return r.width();
}
inline int HeightOfRect(const QRect& r)
{
    return r.height();
}

// Drops events of this type still waiting in the queue for window.
void DiscardPendingMessage(QObject* window, QEvent::Type type);

// Moves rect, size kept, into screen: right and bottom edges are pulled in
// first, then left and top pushed out, so a rect larger than the screen ends
// at its top-left corner. Without a screen, the available area of the screen
// under the rect's centre (or the primary one) is taken.
void ClampRectToScreen(QRect& rect, const QRect& screen);
void ClampRectToScreen(QRect& rect);
// Centres the window on its screen without activating it.
void CenterWindowOnScreen(QWidget* window);

// text, or as much of its start as fits maxWidth followed by "...".
QString FitTextWithEllipsis(const QString& text, const QFontMetrics& metrics, int maxWidth);

// Command-line tokens: blanks and control characters and empty quote pairs
// are skipped; a double quote opens a run (blanks kept) that ends at the next
// one; the quotes are dropped. Returns the position after the token. A token
// has no length limit.
qsizetype NextCommandToken(QStringView text, qsizetype pos, QString& token);
int CountCommandTokens(QStringView text);
// Empty past the last token.
QString CommandTokenAt(QStringView text, int index);
// program := the first token; params := the others joined by blanks, those
// holding a blank put back in double quotes.
void SplitProgramAndParams(const QString& commandLine, QString& program, QString& params);

// Whether one of this program's windows is the active one.
bool IsOwnTaskActive();
