#include "kitmenus.h"

#include "components/imglist.h"
#include "components/kitutils.h"
#include "components/maxmin.h"
#include "components/kitdrawing.h"

#include <QActionEvent>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <qdrawutil.h>

// Hands the measuring of the menu's items to the menu itself and gives it the
// 3-pixel border of the class library's menus.
class KitMenuStyle : public QProxyStyle {
public:
    explicit KitMenuStyle(TKitPopupMenu* menu)
        : m_menu(menu)
    {
    }

    QSize sizeFromContents(
        ContentsType type, const QStyleOption* option, const QSize& size, const QWidget* widget) const override
    {
        if (type == CT_MenuItem && widget == m_menu && m_menu->IsOwnerDrawn() && m_menu->m_measuring)
            return m_menu->MeasureItem(m_menu->m_measuring);
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (widget == m_menu && m_menu->IsOwnerDrawn()) {
            switch (metric) {
            case PM_MenuPanelWidth:
                return BorderWidth;
            case PM_MenuHMargin:
            case PM_MenuVMargin:
                return 0;
            default:
                break;
            }
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    static constexpr int BorderWidth = 3;

private:
    TKitPopupMenu* m_menu;
};

namespace {

// Width of text with its tabs expanded to the next stop of eight average
// characters, as the system's text output expanded them.
int expandedWidth(const QFontMetrics& fm, const QString& text)
{
    const int tab = qMax(1, 8 * fm.averageCharWidth());
    int x = 0;
    const QStringList parts = text.split(u'\t');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            x = (x / tab + 1) * tab;
        x += fm.horizontalAdvance(parts.at(i));
    }
    return x;
}

QString captionOf(const QAction* item)
{
    return DelChars(item->text(), u'&');
}

QString shortcutTextOf(const QAction* item)
{
    return item->shortcut().toString(QKeySequence::NativeText);
}

bool isButtonStyle(TKitMenuStyle style)
{
    return style == msBtnLowered || style == msBtnRaised;
}

void drawCheckMark(QPainter& canvas, const QRect& area, const QColor& color)
{
    const int s = qMin(area.width(), area.height()) - 4;
    if (s < 4)
        return;
    const QPointF o(area.left() + (area.width() - s) / 2.0, area.top() + (area.height() - s) / 2.0);
    canvas.save();
    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setPen(QPen(color, 2));
    const QPointF pts[] = { o + QPointF(0, s * 0.5), o + QPointF(s * 0.38, s * 0.85), o + QPointF(s, s * 0.1) };
    canvas.drawPolyline(pts, 3);
    canvas.restore();
}

} // namespace

TKitPopupMenu::TKitPopupMenu(QWidget* parent)
    : QMenu(parent)
    , m_proxyStyle(new KitMenuStyle(this))
{
    m_proxyStyle->setParent(this);
    setStyle(m_proxyStyle);
    setSeparatorsCollapsible(false);
    connect(this, &QMenu::hovered, this, [this] {
        if (Cursor != crDefault)
            setCursor(ScreenCursor(Cursor));
    });
}

void TKitPopupMenu::SetLeftMargin(int width)
{
    m_leftMargin = qMax(width, 0);
    RefreshMenuItems();
}

void TKitPopupMenu::SetMinTextOffset(int width)
{
    m_minTextOffset = qMax(width, 0);
    RefreshMenuItems();
}

void TKitPopupMenu::SetStyle(TKitMenuStyle style)
{
    m_style = style;
    RefreshMenuItems();
}

void TKitPopupMenu::SetShowCheckMarks(bool show)
{
    m_showCheckMarks = show;
    RefreshMenuItems();
}

void TKitPopupMenu::SetImages(TImageList* images)
{
    if (m_images)
        disconnect(m_images, nullptr, this, nullptr);
    m_images = images;
    if (m_images)
        connect(m_images, &TImageList::changed, this, &TKitPopupMenu::RefreshMenuItems);
    RefreshMenuItems();
}

bool TKitPopupMenu::IsOwnerDrawn() const
{
    return m_style != msStandard || (m_images && m_images->Count() > 0);
}

void TKitPopupMenu::Popup(int x, int y)
{
    if (OnPopup)
        OnPopup(this);
    RefreshMenuItems();
    popup(QPoint(x, y));
}

void TKitPopupMenu::RefreshMenuItems()
{
    // A style change makes the menu measure its items again.
    QEvent change(QEvent::StyleChange);
    QCoreApplication::sendEvent(this, &change);
    update();
}

void TKitPopupMenu::DrawDefaultMargin(QPainter& canvas, const QRect& rect, TColor startColor, TColor endColor)
{
    if (rect.isEmpty())
        return;
    GradientFill(canvas, rect.adjusted(0, 0, -3, 0), startColor, endColor, gdTopToBottom, 32);
    const int right = rect.left() + rect.width();
    canvas.fillRect(QRect(right - 2, rect.top(), 1, rect.height()), ColorToQColor(clBtnShadow));
    canvas.fillRect(QRect(right - 1, rect.top(), 1, rect.height()), ColorToQColor(clBtnHighlight));
}

QRect TKitPopupMenu::MarginRect() const
{
    const int b = KitMenuStyle::BorderWidth;
    return QRect(b, b, m_leftMargin, height() - 2 * b);
}

TOwnerDrawState TKitPopupMenu::StateOf(const QAction* item) const
{
    TOwnerDrawState state;
    if (item == activeAction())
        state |= odSelected;
    if (!item->isEnabled())
        state |= odDisabled | odGrayed;
    if (item->isChecked())
        state |= odChecked;
    if (item == defaultAction())
        state |= odDefault;
    return state;
}

QFont TKitPopupMenu::MenuFont(const QAction* item) const
{
    QFont f = font();
    if (item == defaultAction())
        f.setBold(true);
    return f;
}

int TKitPopupMenu::CheckWidth() const
{
    return style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
}

void TKitPopupMenu::GetImageIndex(QAction* item, TOwnerDrawState state, int& imageIndex)
{
    if (OnGetImageIndex)
        OnGetImageIndex(this, item, state, imageIndex);
}

void TKitPopupMenu::GetItemParams(QAction* item, TOwnerDrawState state, TMenuItemParams& params)
{
    if (OnGetItemParams)
        OnGetItemParams(this, item, state, params);
}

void TKitPopupMenu::MeasureMenuItem(QAction* item, int& width, int& height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, item, width, height);
}

int TKitPopupMenu::ImageIndexOf(QAction* item, TOwnerDrawState state)
{
    int index = -1;
    if (m_images && !item->isSeparator())
        GetImageIndex(item, state, index);
    return m_images && index >= 0 && index < m_images->Count() ? index : -1;
}

TMenuItemParams TKitPopupMenu::ParamsOf(QAction* item, TOwnerDrawState state)
{
    TMenuItemParams params;
    params.Font = MenuFont(item);
    if (state.testFlag(odSelected) && !isButtonStyle(m_style)) {
        params.FontColor = clHighlightText;
        params.Color = clHighlight;
    }
    GetItemParams(item, state, params);
    if (item->isSeparator())
        params.Graphic = QPixmap();
    return params;
}

int TKitPopupMenu::PictureAreaWidth(QAction* item, TOwnerDrawState state)
{
    if (ImageIndexOf(item, state) >= 0)
        return IntMax(m_images->Width() + 2, m_minTextOffset);
    const TMenuItemParams params = ParamsOf(item, state);
    if (!params.Graphic.isNull()) {
        const bool glyphs = params.NumGlyphs >= 2 && params.NumGlyphs <= 5;
        const int w = (glyphs ? params.Graphic.width() / params.NumGlyphs : params.Graphic.width()) + 2;
        return IntMax(w, m_minTextOffset);
    }
    return m_minTextOffset;
}

int TKitPopupMenu::CaptionColumnWidth()
{
    int widest = 0;
    for (QAction* a : actions())
        if (a->isVisible() && !a->isSeparator())
            widest = IntMax(widest, expandedWidth(QFontMetrics(MenuFont(a)), captionOf(a) + QStringLiteral("\t\t")));
    return widest;
}

int TKitPopupMenu::ShortcutColumnWidth() const
{
    // The menu itself reserves the widest shortcut text once for all items;
    // what is left to add is the blank behind it.
    for (QAction* a : actions())
        if (a->isVisible() && !a->isSeparator() && !a->menu() && !a->shortcut().isEmpty())
            return fontMetrics().horizontalAdvance(u' ');
    return 0;
}

QSize TKitPopupMenu::MeasureItem(const QAction* constItem)
{
    auto* item = const_cast<QAction*>(constItem);
    const TOwnerDrawState state = StateOf(item);
    const TMenuItemParams params = ParamsOf(item, state);
    const QFontMetrics fm(params.Font);
    const int check = CheckWidth();
    const int gap = int(Round(0.3 * check));
    // The system's menu height (text + 6), 2 less on the newer look.
    int height = fm.height() + 4;
    int width = 2 * gap + expandedWidth(fm, captionOf(item) + QStringLiteral("\t\t")) + ShortcutColumnWidth();
    if (item->menu())
        width += expandedWidth(fm, QStringLiteral("\t\t"));
    if (m_showCheckMarks)
        width += check;
    if (item->isSeparator())
        height = IntMax(9, fm.height() / 2);
    const int image = ImageIndexOf(item, state);
    if (image >= 0) {
        width += IntMax(m_images->Width() + 2, m_minTextOffset);
        height = IntMax(height, m_images->Height() + 4);
    } else if (!params.Graphic.isNull()) {
        width += PictureAreaWidth(item, state);
        height = IntMax(height, params.Graphic.height() + 4);
    } else if (m_minTextOffset > 0) {
        width += m_minTextOffset;
    }
    MeasureMenuItem(item, width, height);
    return QSize(width + m_leftMargin + 1, height);
}

void TKitPopupMenu::DrawMargin(QPainter& canvas, const QRect& rect)
{
    if (OnDrawMargin) {
        OnDrawMargin(this, canvas, rect);
        return;
    }
    DrawDefaultMargin(canvas, rect, clBlue, RGB(GetRValue(clBlue) / 4, GetGValue(clBlue) / 4, GetBValue(clBlue) / 4));
}

void TKitPopupMenu::DrawMenuItem(QPainter& canvas, QAction* item, const QRect& rect, TOwnerDrawState state)
{
    const TMenuItemParams params = ParamsOf(item, state);
    if (params.Color != clNone)
        canvas.fillRect(rect, ColorToQColor(params.Color));
    if (OnDrawItem) {
        OnDrawItem(this, item, canvas, rect, state);
        return;
    }
    if (item->isSeparator()) {
        const int y = rect.top() + rect.height() / 2 - 1;
        canvas.fillRect(QRect(rect.left() + 1, y, rect.width() - 2, 1), ColorToQColor(clBtnShadow));
        canvas.fillRect(QRect(rect.left() + 1, y + 1, rect.width() - 2, 1), ColorToQColor(clBtnHighlight));
        return;
    }
    const bool selected = state.testFlag(odSelected);
    const bool disabled = state.testFlag(odDisabled);
    const bool checked = state.testFlag(odChecked);
    const bool buttons = isButtonStyle(m_style);
    if (selected && buttons)
        qDrawShadePanel(&canvas, rect, palette(), m_style == msBtnLowered, 1);

    const int check = CheckWidth();
    int x = rect.left() + int(Round(0.3 * check));
    if (m_showCheckMarks) {
        if (checked)
            drawCheckMark(canvas, QRect(x, rect.top(), check, rect.height()), ColorToQColor(params.FontColor));
        x += check;
    }

    const QRect picture(x, rect.top(), PictureAreaWidth(item, state), rect.height());
    x = picture.right() + 1;
    const int image = ImageIndexOf(item, state);
    const bool hasPicture = image >= 0 || !params.Graphic.isNull();
    if (checked && !m_showCheckMarks && !buttons && picture.width() > 0) {
        const QRect pressed = picture.adjusted(0, 1, 0, -1);
        if (selected)
            canvas.fillRect(pressed, ColorToQColor(clBtnFace));
        else
            canvas.fillRect(pressed, QBrush(MakeCheckerBrushBitmap(clBtnFace, clBtnHighlight)));
        qDrawShadePanel(&canvas, pressed, palette(), true, 1);
        if (!hasPicture)
            drawCheckMark(canvas, pressed, ColorToQColor(clMenuText));
    }
    if (image >= 0) {
        const int px = picture.left() + (picture.width() - m_images->Width()) / 2;
        const int py = picture.top() + (picture.height() - m_images->Height()) / 2;
        if (disabled)
            DrawListImageDisabled(*m_images, canvas, px, py, image, clBtnHighlight, clBtnShadow, true);
        else
            m_images->Draw(canvas, px, py, image);
    } else if (!params.Graphic.isNull()) {
        QPixmap glyph = params.Graphic;
        const bool glyphs = params.NumGlyphs >= 2 && params.NumGlyphs <= 5;
        if (glyphs) {
            int g = disabled ? 1 : selected ? 2 : checked ? 3 : 0;
            if (g >= params.NumGlyphs)
                g = 0;
            const int w = params.Graphic.width() / params.NumGlyphs;
            glyph = params.Graphic.copy(g * w, 0, w, params.Graphic.height());
        } else if (disabled) {
            glyph = BuildDisabledBitmap(glyph, clNone, clNone, clBtnHighlight, clBtnShadow, true);
        }
        canvas.drawPixmap(picture.left() + (picture.width() - glyph.width()) / 2,
            picture.top() + (picture.height() - glyph.height()) / 2, glyph);
    }

    canvas.setFont(params.Font);
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextExpandTabs;
    const QString shortcut = item->menu() ? QString() : shortcutTextOf(item);
    const int shortcutX = x + CaptionColumnWidth();
    auto drawTexts = [&](int dx, TColor color) {
        canvas.setPen(ColorToQColor(color));
        canvas.drawText(QRect(x + dx, rect.top() + dx, rect.right() - x, rect.height()), flags, item->text());
        if (!shortcut.isEmpty())
            canvas.drawText(QRect(shortcutX + dx, rect.top() + dx, qMax(0, rect.right() - shortcutX), rect.height()),
                flags, shortcut);
    };
    if (disabled) {
        drawTexts(1, clBtnHighlight);
        drawTexts(0, clBtnShadow);
    } else {
        drawTexts(0, params.FontColor);
    }
    if (item->menu()) {
        QStyleOption arrow;
        arrow.initFrom(this);
        const int s = fontMetrics().height() / 2;
        arrow.rect = QRect(rect.right() - s - 2, rect.top() + (rect.height() - s) / 2, s, s);
        arrow.palette.setColor(QPalette::ButtonText, ColorToQColor(disabled ? clBtnShadow : params.FontColor));
        style()->drawPrimitive(QStyle::PE_IndicatorArrowRight, &arrow, &canvas, this);
    }
}

void TKitPopupMenu::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const
{
    QMenu::initStyleOption(option, action);
    m_measuring = action;
}

void TKitPopupMenu::actionEvent(QActionEvent* event)
{
    QMenu::actionEvent(event);
    QAction* a = event->action();
    if ((event->type() == QEvent::ActionAdded || event->type() == QEvent::ActionChanged) && a && !a->isSeparator()
        && a->text() == QLatin1String("-"))
        a->setSeparator(true);
}

void TKitPopupMenu::paintEvent(QPaintEvent* event)
{
    if (!IsOwnerDrawn()) {
        QMenu::paintEvent(event);
        return;
    }
    QPainter canvas(this);
    canvas.fillRect(rect(), ColorToQColor(clMenu));
    if (m_leftMargin > 0) {
        canvas.save();
        canvas.setClipRect(MarginRect());
        DrawMargin(canvas, MarginRect());
        canvas.restore();
    }
    for (QAction* a : actions()) {
        if (!a->isVisible())
            continue;
        const QRect r = actionGeometry(a);
        if (r.isEmpty())
            continue;
        const QRect content = r.adjusted(m_leftMargin + 1, 0, 0, 0);
        canvas.save();
        canvas.setClipRect(content);
        DrawMenuItem(canvas, a, content, StateOf(a));
        canvas.restore();
    }
    qDrawWinPanel(&canvas, rect(), palette(), false);
}

void TKitPopupMenu::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    if (text.size() == 1 && text.at(0).isLetterOrNumber()
        && !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) && SelectByLetter(text.at(0)))
        return;
    QMenu::keyPressEvent(event);
}

bool TKitPopupMenu::SelectByLetter(QChar letter)
{
    const QChar wanted = letter.toUpper();
    QList<QAction*> candidates;
    for (QAction* a : actions())
        if (a->isVisible() && !a->isSeparator())
            candidates << a;
    QList<QAction*> matches;
    for (QAction* a : candidates) {
        const qsizetype amp = a->text().indexOf(u'&');
        if (amp >= 0 && amp + 1 < a->text().size() && a->text().at(amp + 1).toUpper() == wanted)
            matches << a;
    }
    if (matches.isEmpty())
        for (QAction* a : candidates) {
            const QString caption = captionOf(a);
            if (!caption.isEmpty() && caption.at(0).toUpper() == wanted)
                matches << a;
        }
    if (matches.isEmpty())
        return false;
    if (matches.size() == 1) {
        QAction* only = matches.first();
        if (!only->isEnabled()) {
            close();
            return true;
        }
        setActiveAction(only);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QMenu::keyPressEvent(&enter);
        return true;
    }
    const qsizetype current = candidates.indexOf(activeAction());
    QAction* next = matches.first();
    for (QAction* m : matches)
        if (candidates.indexOf(m) > current) {
            next = m;
            break;
        }
    setActiveAction(next);
    return true;
}

void TKitPopupMenu::hideEvent(QHideEvent* event)
{
    unsetCursor();
    QMenu::hideEvent(event);
}
