#include "kitutils.h"

#include "components/imglist.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QSet>
#include <QWidget>

EListError::EListError(qsizetype index)
    : KorvelError(QStringLiteral("List index out of bounds (%1)").arg(index))
{
}

EReadError::EReadError()
    : KorvelError(QStringLiteral("Stream read error"))
{
}

namespace {

// Controls whose background is being copied; one of them reached again while
// its copy is made is left out instead of recursing.
QSet<const QWidget*>& paintingCopies()
{
    static QSet<const QWidget*> set;
    return set;
}

// Opaque white where source has a drawn pixel (not transparent, and not
// outline when one is given), transparent elsewhere.
QImage silhouetteOf(const QImage& source, TColor outline)
{
    QImage src = source.convertToFormat(QImage::Format_ARGB32);
    const bool useOutline = outline != clNone;
    const QRgb outlineRgb = qRgb(GetRValue(outline), GetGValue(outline), GetBValue(outline));
    QImage mask(src.size(), QImage::Format_ARGB32);
    for (int y = 0; y < src.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const bool background = qAlpha(in[x]) < 128 || (useOutline && (in[x] | 0xFF000000) == outlineRgb);
            out[x] = background ? 0 : 0xFFFFFFFF;
        }
    }
    return mask;
}

QImage tinted(const QImage& silhouette, const QColor& color)
{
    QImage out(silhouette.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(color);
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    p.drawImage(0, 0, silhouette);
    return out;
}

void drawEmbossed(QPainter& painter, int x, int y, const QImage& silhouette, TColor highlightColor, TColor shadowColor,
    bool drawHighlight)
{
    if (drawHighlight)
        painter.drawImage(x + 1, y + 1, tinted(silhouette, ColorToQColor(highlightColor)));
    painter.drawImage(x, y, tinted(silhouette, ColorToQColor(shadowColor)));
}

bool isCommandBlank(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 32;
}

} // namespace

void PaintParentBackground(QWidget* control, QPainter& painter)
{
    QWidget* parent = control->parentWidget();
    if (!parent || paintingCopies().contains(control))
        return;
    const QRect bounds = control->geometry();
    paintingCopies().insert(control);
    painter.save();
    painter.setClipRect(parent->rect().translated(-bounds.topLeft()), Qt::IntersectClip);
    parent->render(&painter, QPoint(), QRegion(bounds), QWidget::DrawWindowBackground);
    painter.restore();
    for (QObject* o : parent->children()) {
        if (o == control)
            break;
        auto* sibling = qobject_cast<QWidget*>(o);
        if (!sibling || sibling->isWindow() || !sibling->isVisible() || paintingCopies().contains(sibling))
            continue;
        const QRect overlap = sibling->geometry().intersected(bounds);
        if (overlap.isEmpty())
            continue;
        paintingCopies().insert(sibling);
        painter.save();
        painter.setClipRect(overlap.translated(-bounds.topLeft()), Qt::IntersectClip);
        sibling->render(&painter, overlap.topLeft() - bounds.topLeft(), QRegion(overlap.translated(-sibling->pos())),
            QWidget::DrawWindowBackground);
        painter.restore();
        paintingCopies().remove(sibling);
    }
    paintingCopies().remove(control);
}

QPixmap BuildDisabledBitmap(const QPixmap& source, TColor outlineColor, TColor backColor, TColor highlightColor,
    TColor shadowColor, bool drawHighlight)
{
    QImage result(source.size(), QImage::Format_ARGB32_Premultiplied);
    result.fill(ColorToQColor(backColor));
    QPainter p(&result);
    drawEmbossed(p, 0, 0, silhouetteOf(source.toImage(), outlineColor), highlightColor, shadowColor, drawHighlight);
    p.end();
    return QPixmap::fromImage(result);
}

QPixmap BuildDisabledGlyph(const QPixmap& source, TColor outlineColor)
{
    return BuildDisabledBitmap(source, outlineColor, clBtnFace, clBtnHighlight, clBtnShadow, true);
}

void DrawListImageDisabled(const TImageList& images, QPainter& painter, int x, int y, int index, TColor highlightColor,
    TColor grayColor, bool drawHighlight)
{
    if (index < 0 || index >= images.Count())
        return;
    painter.save();
    drawEmbossed(
        painter, x, y, silhouetteOf(images.Image(index).toImage(), clNone), highlightColor, grayColor, drawHighlight);
    painter.restore();
}

QPixmap MakeCheckerBrushBitmap(TColor color1, TColor color2)
{
    QImage image(8, 8, QImage::Format_RGB32);
    const QRgb c1 = ColorToQColor(color1).rgb();
    const QRgb c2 = ColorToQColor(color2).rgb();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, (x % 2) == (y % 2) ? c2 : c1);
    return QPixmap::fromImage(image);
}

void DiscardPendingMessage(QObject* window, QEvent::Type type)
{
    QCoreApplication::removePostedEvents(window, type);
}

void ClampRectToScreen(QRect& rect, const QRect& screen)
{
    if (rect.right() > screen.right())
        rect.moveRight(screen.right());
    if (rect.bottom() > screen.bottom())
        rect.moveBottom(screen.bottom());
    if (rect.left() < screen.left())
        rect.moveLeft(screen.left());
    if (rect.top() < screen.top())
        rect.moveTop(screen.top());
}

void ClampRectToScreen(QRect& rect)
{
    QScreen* screen = QGuiApplication::screenAt(rect.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        ClampRectToScreen(rect, screen->availableGeometry());
}

void CenterWindowOnScreen(QWidget* window)
{
    QScreen* screen = window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QRect r = window->frameGeometry();
    r.moveTo(area.left() + (area.width() - r.width()) / 2, area.top() + (area.height() - r.height()) / 2);
    ClampRectToScreen(r, area);
    window->move(r.topLeft());
}

QString FitTextWithEllipsis(const QString& text, const QFontMetrics& metrics, int maxWidth)
{
    QString result = text;
    const qsizetype length = text.size();
    for (qsizetype i = 1; i <= length && metrics.horizontalAdvance(result) > maxWidth; ++i)
        result = text.left(qMax<qsizetype>(0, length - i - 1)) + QStringLiteral("...");
    return result;
}

qsizetype NextCommandToken(QStringView text, qsizetype pos, QString& token)
{
    token.clear();
    const qsizetype n = text.size();
    auto at = [&](qsizetype i) { return i < n ? text[i] : QChar(); };
    for (;;) {
        if (isCommandBlank(at(pos)))
            ++pos;
        else if (at(pos) == u'"' && at(pos + 1) == u'"')
            pos += 2;
        else
            break;
    }
    while (at(pos).unicode() > 32) {
        if (at(pos) == u'"') {
            ++pos;
            while (!at(pos).isNull() && at(pos) != u'"')
                token += text[pos++];
            if (at(pos) == u'"')
                ++pos;
        } else {
            token += text[pos++];
        }
    }
    return pos;
}

int CountCommandTokens(QStringView text)
{
    int count = 0;
    QString token;
    for (qsizetype pos = NextCommandToken(text, 0, token); !token.isEmpty(); pos = NextCommandToken(text, pos, token))
        ++count;
    return count;
}

QString CommandTokenAt(QStringView text, int index)
{
    QString token;
    qsizetype pos = 0;
    for (int i = 0; i <= index; ++i) {
        pos = NextCommandToken(text, pos, token);
        if (token.isEmpty())
            break;
    }
    return token;
}

void SplitProgramAndParams(const QString& commandLine, QString& program, QString& params)
{
    program.clear();
    params.clear();
    QString token;
    qsizetype pos = NextCommandToken(commandLine, 0, token);
    if (token.isEmpty())
        return;
    program = token;
    QStringList rest;
    for (pos = NextCommandToken(commandLine, pos, token); !token.isEmpty();
         pos = NextCommandToken(commandLine, pos, token))
        rest << (token.contains(u' ') ? u'"' + token + u'"' : token);
    params = rest.join(u' ');
}

bool IsOwnTaskActive()
{
    return QApplication::activeWindow() != nullptr;
}
