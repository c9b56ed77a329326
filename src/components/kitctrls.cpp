#include "kitctrls.h"

#include "components/kitutils.h"
#include "components/maxmin.h"
#include "platform/application.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QFontMetrics>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcut>
#include <QTimer>

namespace {

TGlyphCache* g_glyphCache = nullptr;

// Live buttons, and the checker of held-down buttons they share.
int g_buttonCount = 0;
QPixmap* g_checker = nullptr;

QColor PaletteColor(TColor color, const QPalette& palette)
{
    const TColor rgb = ColorToRGB(color, palette);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

QRgb OpaqueRgb(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

// Pixels of the key colour become transparent.
QImage MaskedBy(const QImage& source, QRgb key)
{
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] | 0xFF000000) == (key | 0xFF000000))
                line[x] = 0;
    }
    return image;
}

// The transparent colour and the button face stay; every other colour
// becomes its grey.
QImage Grayed(const QImage& source, QRgb transparent, QRgb face)
{
    QImage image = source.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x] | 0xFF000000;
            if (c == (transparent | 0xFF000000) || c == (face | 0xFF000000))
                continue;
            const int gray = (qRed(c) * 77 + qGreen(c) * 150 + qBlue(c) * 29) >> 8;
            line[x] = qRgb(gray, gray, gray);
        }
    }
    return image;
}

// One 3-D frame step: top and left in one colour, right and bottom (with
// the two corners they share with it) in the other.
void Frame3D(QPainter& p, QRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    r.adjust(1, 1, -1, -1);
}

// The drop-down mark: a triangle of 7, 5, 3 and 1 pixels.
void DrawMark(QPainter& p, QPoint at, const QColor& color)
{
    for (int row = 0; row < 4; ++row)
        p.fillRect(QRect(at.x() + row, at.y() + row, 7 - 2 * row, 1), color);
}

bool TrimmedAtEnd(QChar c)
{
    return c.unicode() <= 32;
}

} // namespace

// ---------------------------------------------------------------- TGlyphList

TGlyphList::TGlyphList(int width, int height)
    : m_width(width)
    , m_height(height)
{
}

int TGlyphList::Add(const QPixmap& image)
{
    int index = int(m_used.indexOf(false));
    if (index < 0) {
        index = int(m_images.size());
        m_images.append(QPixmap());
        m_used.append(false);
    }
    m_images[index] = image.copy(0, 0, m_width, m_height);
    m_used[index] = true;
    ++m_count;
    return index;
}

void TGlyphList::Delete(int index)
{
    if (index < 0 || index >= m_used.size() || !m_used[index])
        return;
    m_used[index] = false;
    m_images[index] = QPixmap();
    --m_count;
}

void TGlyphList::Draw(QPainter& painter, int x, int y, int index) const
{
    if (index >= 0 && index < m_used.size() && m_used[index])
        painter.drawPixmap(x, y, m_images[index]);
}

// ---------------------------------------------------------------- TGlyphCache

TGlyphCache::~TGlyphCache()
{
    qDeleteAll(m_lists);
}

TGlyphList* TGlyphCache::GetList(int width, int height)
{
    for (TGlyphList* list : m_lists)
        if (list->Width() == width && list->Height() == height)
            return list;
    m_lists.append(new TGlyphList(width, height));
    return m_lists.last();
}

void TGlyphCache::ReturnList(TGlyphList* list)
{
    if (list && list->Count() == 0 && m_lists.removeOne(list))
        delete list;
}

// ---------------------------------------------------------------- TKitButtonGlyph

TKitButtonGlyph::TKitButtonGlyph(std::function<void()> changed)
    : m_changed(std::move(changed))
{
    if (!g_glyphCache)
        g_glyphCache = new TGlyphCache;
}

TKitButtonGlyph::~TKitButtonGlyph()
{
    Release();
    if (g_glyphCache && g_glyphCache->Empty()) {
        delete g_glyphCache;
        g_glyphCache = nullptr;
    }
}

void TKitButtonGlyph::SetGlyph(const QPixmap& glyph)
{
    m_glyph = glyph.copy();
    GlyphChanged();
}

void TKitButtonGlyph::SetNumGlyphs(int count)
{
    count = IntMin(count, 5);
    if (count <= 0 || count == m_numGlyphs)
        return;
    Release();
    m_numGlyphs = count;
    if (m_changed)
        m_changed();
}

void TKitButtonGlyph::GlyphChanged()
{
    Release();
    const int w = m_glyph.width();
    const int h = m_glyph.height();
    if (h > 0) {
        const QRgb corner = m_glyph.toImage().pixel(0, h - 1);
        m_transparentColor = RGB(qRed(corner), qGreen(corner), qBlue(corner));
        if (w % h == 0)
            m_numGlyphs = w / h > 5 ? 1 : w / h;
    }
    if (m_changed)
        m_changed();
}

QSize TKitButtonGlyph::CellSize() const
{
    if (m_glyph.isNull() || m_numGlyphs <= 0)
        return {};
    const QSize cell(m_glyph.width() / m_numGlyphs, m_glyph.height());
    return cell.width() > 0 && cell.height() > 0 ? cell : QSize();
}

void TKitButtonGlyph::Release()
{
    for (int& index : m_indexes) {
        if (index >= 0 && m_list)
            m_list->Delete(index);
        index = -1;
    }
    if (m_list && g_glyphCache)
        g_glyphCache->ReturnList(m_list);
    m_list = nullptr;
}

int TKitButtonGlyph::StateImage(TButtonState state)
{
    if (state == bsDown && m_numGlyphs < 3)
        state = bsUp;
    if (m_indexes[state] >= 0)
        return m_indexes[state];
    const QSize cell = CellSize();
    if (cell.isEmpty())
        return -1;
    if (!m_list) {
        if (!g_glyphCache)
            g_glyphCache = new TGlyphCache;
        m_list = g_glyphCache->GetList(cell.width(), cell.height());
    }
    const int column = state < m_numGlyphs ? state : 0;
    m_indexes[state] = m_list->Add(BuildImage(state, QRect(QPoint(column * cell.width(), 0), cell)));
    return m_indexes[state];
}

QPixmap TKitButtonGlyph::BuildImage(TButtonState state, const QRect& cell) const
{
    const QImage source = m_glyph.toImage();
    const QRgb transparent = OpaqueRgb(m_transparentColor);
    const QRgb face = OpaqueRgb(clBtnFace);
    if (state == bsDisabled && m_numGlyphs == 1) {
        const QPixmap shape = QPixmap::fromImage(MaskedBy(source, transparent));
        const QPixmap embossed = BuildDisabledBitmap(shape, clBlack, clBtnFace, clBtnHighlight, clBtnShadow, true);
        return QPixmap::fromImage(MaskedBy(embossed.toImage(), face));
    }
    if (state == bsInactive && m_numGlyphs < 5) {
        const QImage up = source.copy(QRect(QPoint(0, 0), cell.size()));
        return QPixmap::fromImage(MaskedBy(Grayed(up, transparent, face), transparent));
    }
    return QPixmap::fromImage(MaskedBy(source.copy(cell), transparent));
}

TGlyphLayout TKitButtonGlyph::LayoutGlyphAndText(const QFontMetrics& metrics, const QRect& client,
    const QString& caption, TButtonLayout layout, int margin, int spacing, bool dropMark) const
{
    const QSize cell = CellSize();
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    const int cw = client.width();
    const int ch = client.height();
    const int marginPart = margin != -1 ? margin : 0;
    const int spacingPart = spacing != -1 ? spacing : 0;
    int limitW = cw;
    int limitH = ch;
    if (horizontal)
        limitW = cw - cell.width() - marginPart - spacingPart - (dropMark ? 9 : 0);
    else
        limitH = ch - cell.height() - marginPart - spacingPart;
    limitW = IntMax(limitW, 0);
    limitH = IntMax(limitH, 0);

    TGlyphLayout result;
    QString text = caption.left(255);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    if (!WordWrap) {
        QStringList lines = text.split(u'\n');
        for (QString& line : lines)
            line = FitTextWithEllipsis(line, metrics, limitW);
        text = lines.join(u'\n');
    }
    while (!text.isEmpty() && TrimmedAtEnd(text.back()))
        text.chop(1);
    result.Caption = text;

    QSize textSize;
    if (!text.isEmpty()) {
        const int flags = Qt::AlignHCenter | Qt::TextShowMnemonic | (WordWrap ? Qt::TextWordWrap : 0);
        const QRect bounds = metrics.boundingRect(QRect(0, 0, WordWrap ? limitW : 0, 0), flags, text);
        textSize = QSize(IntMin(bounds.width(), limitW), IntMin(bounds.height(), limitH));
    }
    const QSize ownTextSize = textSize;
    QSize glyphSize = cell.isEmpty() ? QSize(0, 0) : cell;
    if (dropMark) {
        if (cell.isEmpty() || layout == blGlyphLeft)
            textSize.rwidth() += 9;
        else
            glyphSize.rwidth() += 6;
    }

    QPoint glyphPos;
    QPoint textPos;
    if (horizontal) {
        glyphPos.setY(ch / 2 - glyphSize.height() / 2);
        textPos.setY(ch / 2 - textSize.height() / 2);
    } else {
        glyphPos.setX(cw / 2 - glyphSize.width() / 2);
        textPos.setX(cw / 2 - textSize.width() / 2);
    }

    const int clientMain = horizontal ? cw : ch;
    const int glyphMain = horizontal ? glyphSize.width() : glyphSize.height();
    const int textMain = horizontal ? textSize.width() : textSize.height();
    if (textSize.width() == 0 || glyphSize.width() == 0)
        spacing = 0;
    if (margin == -1 && spacing == -1) {
        margin = (clientMain - glyphMain - textMain) / 3;
        spacing = margin;
    } else if (margin == -1) {
        margin = clientMain / 2 - (glyphMain + spacing + textMain) / 2;
    } else if (spacing == -1) {
        spacing = (clientMain - margin - glyphMain) / 2 - textMain / 2;
    }
    switch (layout) {
    case blGlyphLeft:
        glyphPos.setX(margin);
        textPos.setX(glyphPos.x() + glyphMain + spacing);
        break;
    case blGlyphRight:
        glyphPos.setX(cw - margin - glyphMain);
        textPos.setX(glyphPos.x() - spacing - textMain);
        break;
    case blGlyphTop:
        glyphPos.setY(margin);
        textPos.setY(glyphPos.y() + glyphMain + spacing);
        break;
    case blGlyphBottom:
        glyphPos.setY(ch - margin - glyphMain);
        textPos.setY(glyphPos.y() - spacing - textMain);
        break;
    }
    glyphPos += client.topLeft();
    textPos += client.topLeft();

    if (!cell.isEmpty())
        result.Glyph = QRect(glyphPos, cell);
    result.Text = QRect(textPos, ownTextSize);
    if (!cell.isEmpty() && layout != blGlyphLeft)
        result.Mark = QPoint(glyphPos.x() + cell.width() + 1, glyphPos.y() + cell.height() / 2 - 1);
    else if (ownTextSize.width() > 0)
        result.Mark = QPoint(textPos.x() + ownTextSize.width() + 3, textPos.y() + ownTextSize.height() / 2 - 1);
    else
        result.Mark = QPoint((2 * textPos.x() + textSize.width() - 7) / 2, textPos.y() + textSize.height() / 2 - 1);
    return result;
}

void TKitButtonGlyph::Draw(QPainter& painter, const QRect& client, const QString& caption, TButtonLayout layout,
    int margin, int spacing, bool dropMark, TButtonState state, const QPalette& palette)
{
    const TGlyphLayout l
        = LayoutGlyphAndText(QFontMetrics(painter.font()), client, caption, layout, margin, spacing, dropMark);
    if (!l.Glyph.isEmpty()) {
        const int index = StateImage(state);
        if (m_list)
            m_list->Draw(painter, l.Glyph.x(), l.Glyph.y(), index);
    }
    const bool disabled = state == bsDisabled;
    const QColor highlight = PaletteColor(clBtnHighlight, palette);
    const QColor shadow = PaletteColor(clBtnShadow, palette);
    if (!l.Caption.isEmpty()) {
        const int align = Alignment == taLeftJustify ? Qt::AlignLeft
            : Alignment == taRightJustify            ? Qt::AlignRight
                                                     : Qt::AlignHCenter;
        const int flags = align | Qt::AlignTop | Qt::TextShowMnemonic | (WordWrap ? Qt::TextWordWrap : 0);
        painter.save();
        painter.setBrush(Qt::NoBrush);
        if (disabled) {
            painter.setPen(highlight);
            painter.drawText(l.Text.translated(1, 1), flags, l.Caption);
            painter.setPen(shadow);
        } else {
            painter.setPen(PaletteColor(clBtnText, palette));
        }
        painter.drawText(l.Text, flags, l.Caption);
        painter.restore();
    }
    if (dropMark) {
        if (disabled) {
            DrawMark(painter, l.Mark + QPoint(1, 1), highlight);
            DrawMark(painter, l.Mark, shadow);
        } else {
            DrawMark(painter, l.Mark, PaletteColor(clBtnText, palette));
        }
    }
}

// ---------------------------------------------------------------- DrawButtonFrame

void DrawButtonFrame(
    QPainter& painter, QRect& rect, bool pressed, TButtonStyle style, bool flat, const QPalette& palette)
{
    // The desktop always has the new look here; only bsWin31 asks for the old.
    const bool newLook = style != bsWin31;
    const QColor frame = PaletteColor(clWindowFrame, palette);
    const QColor highlight = PaletteColor(clBtnHighlight, palette);
    const QColor shadow = PaletteColor(clBtnShadow, palette);
    const QColor face = PaletteColor(clBtnFace, palette);
    if (pressed) {
        if (flat) {
            Frame3D(painter, rect, frame, highlight);
        } else if (newLook) {
            Frame3D(painter, rect, frame, highlight);
            Frame3D(painter, rect, shadow, face);
        } else {
            Frame3D(painter, rect, frame, frame);
            painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), shadow);
            painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), shadow);
        }
    } else if (newLook) {
        if (flat) {
            Frame3D(painter, rect, highlight, shadow);
        } else {
            Frame3D(painter, rect, highlight, frame);
            Frame3D(painter, rect, face, shadow);
        }
    } else if (flat) {
        Frame3D(painter, rect, highlight, frame);
    } else {
        Frame3D(painter, rect, frame, frame);
        Frame3D(painter, rect, highlight, shadow);
    }
    rect.adjust(1, 1, -1, -1);
}

// ---------------------------------------------------------------- TKitSpeedButton

TKitSpeedButton::TKitSpeedButton(QWidget* parent)
    : QWidget(parent)
    , m_glyph([this] { update(); })
{
    resize(25, 25);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    ++g_buttonCount;
}

template <typename T> void TKitSpeedButton::Assign(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    update();
}

TKitSpeedButton::~TKitSpeedButton()
{
    if (--g_buttonCount == 0) {
        delete g_checker;
        g_checker = nullptr;
    }
}

void TKitSpeedButton::SetAlignment(TAlignment alignment)
{
    Assign(m_glyph.Alignment, alignment);
}

void TKitSpeedButton::SetWordWrap(bool on)
{
    Assign(m_glyph.WordWrap, on);
}

void TKitSpeedButton::SetLayout(TButtonLayout layout)
{
    Assign(m_layout, layout);
}

void TKitSpeedButton::SetSpacing(int spacing)
{
    Assign(m_spacing, spacing);
}

void TKitSpeedButton::SetMargin(int margin)
{
    if (margin >= -1)
        Assign(m_margin, margin);
}

void TKitSpeedButton::SetGrayedInactive(bool on)
{
    Assign(m_grayedInactive, on);
}

void TKitSpeedButton::SetFlat(bool on)
{
    Assign(m_flat, on);
}

void TKitSpeedButton::SetStyle(TButtonStyle style)
{
    Assign(m_style, style);
}

void TKitSpeedButton::SetMarkDropDown(bool on)
{
    Assign(m_markDropDown, on);
}

void TKitSpeedButton::SetTransparent(bool on)
{
    Assign(m_transparent, on);
}

void TKitSpeedButton::SetNumGlyphs(int count)
{
    m_glyph.SetNumGlyphs(count);
}

void TKitSpeedButton::SetGlyph(const QPixmap& glyph)
{
    m_glyph.SetGlyph(glyph);
}

void TKitSpeedButton::SetGroupIndex(int index)
{
    if (index == m_groupIndex)
        return;
    m_groupIndex = index;
    UpdateExclusive();
}

void TKitSpeedButton::SetAllowAllUp(bool on)
{
    if (on == m_allowAllUp)
        return;
    m_allowAllUp = on;
    UpdateExclusive();
}

void TKitSpeedButton::SetAllowTimer(bool on)
{
    m_allowTimer = on;
    if (!on && m_repeatTimer) {
        // Possibly called from the timer's own tick.
        m_repeatTimer->stop();
        m_repeatTimer->deleteLater();
        m_repeatTimer = nullptr;
    }
}

QMenu* TKitSpeedButton::DropDownMenu() const
{
    return m_dropDownMenu;
}

void TKitSpeedButton::SetDropDownMenu(QMenu* menu)
{
    m_dropDownMenu = menu;
    if (m_markDropDown)
        update();
}

void TKitSpeedButton::SetCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    delete m_accelerator;
    m_accelerator = nullptr;
    const QKeySequence mnemonic = QKeySequence::mnemonic(caption);
    if (!mnemonic.isEmpty()) {
        m_accelerator = new QShortcut(mnemonic, this);
        connect(m_accelerator, &QShortcut::activated, this, [this] {
            if (isEnabled())
                RunGuarded([this] { Click(); });
        });
    }
    update();
}

void TKitSpeedButton::SetDown(bool down)
{
    if (m_groupIndex == 0)
        down = false;
    if (down == m_down || (m_down && !m_allowAllUp))
        return;
    m_down = down;
    m_state = down ? bsExclusive : bsUp;
    update();
    if (down)
        UpdateExclusive();
}

void TKitSpeedButton::UpdateExclusive()
{
    QWidget* parent = parentWidget();
    if (m_groupIndex == 0 || !parent)
        return;
    for (TKitSpeedButton* button : parent->findChildren<TKitSpeedButton*>(Qt::FindDirectChildrenOnly))
        button->ButtonPressed(m_groupIndex, this);
}

void TKitSpeedButton::ButtonPressed(int groupIndex, TKitSpeedButton* sender)
{
    if (groupIndex != m_groupIndex || !parentWidget() || sender == this)
        return;
    if (sender->m_down && m_down) {
        m_down = false;
        m_state = bsUp;
        update();
    }
    m_allowAllUp = sender->m_allowAllUp;
}

void TKitSpeedButton::Click()
{
    if (m_modalResult != 0)
        if (auto* dialog = qobject_cast<QDialog*>(window()))
            dialog->done(m_modalResult);
    emit OnClick();
}

QColor TKitSpeedButton::SystemColor(TColor color) const
{
    return PaletteColor(color, palette());
}

void TKitSpeedButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Paint(painter);
}

void TKitSpeedButton::Paint(QPainter& painter)
{
    if (!isEnabled()) {
        m_state = bsDisabled;
        m_tracking = false;
    } else if (m_state == bsDisabled) {
        m_state = m_down && m_groupIndex != 0 ? bsExclusive : bsUp;
    }
    TButtonState drawState = m_state;
    if (m_flat && !m_mouseInControl)
        drawState = bsInactive;

    painter.setFont(font());
    QRect r = rect();
    painter.fillRect(r, SystemColor(clBtnFace));
    if (m_transparent)
        PaintParentBackground(this, painter);
    const bool pressed = m_state == bsDown || m_state == bsExclusive;
    if (drawState != bsInactive || m_state == bsExclusive)
        DrawButtonFrame(painter, r, pressed, m_style, m_flat, palette());
    else
        r.adjust(2, 2, -2, -2);
    if (m_state == bsExclusive && !m_transparent && (!m_flat || drawState == bsInactive)) {
        if (!g_checker)
            g_checker = new QPixmap(MakeCheckerBrushBitmap(clBtnFace, clBtnHighlight));
        painter.fillRect(r.adjusted(-1, -1, 1, 1), QBrush(*g_checker));
    }
    if (pressed)
        r.translate(1, 1);
    const TButtonState glyphState = m_grayedInactive && m_state != bsDisabled ? drawState : m_state;
    PaintGlyphAndCaption(painter, r, glyphState);
}

void TKitSpeedButton::PaintGlyphAndCaption(QPainter& painter, const QRect& client, TButtonState glyphState)
{
    m_glyph.Draw(painter, client, m_caption, m_layout, m_margin, m_spacing, m_markDropDown && m_dropDownMenu,
        glyphState, palette());
}

bool TKitSpeedButton::Inside(QPoint pos) const
{
    return pos.x() >= 0 && pos.x() < width() && pos.y() >= 0 && pos.y() <= height();
}

void TKitSpeedButton::SetMouseOver(bool over)
{
    if (over == m_mouseInControl)
        return;
    m_mouseInControl = over;
    if (m_flat)
        update();
    if (over)
        emit OnMouseEnter();
    else
        emit OnMouseLeave();
}

void TKitSpeedButton::RefreshMouseOver()
{
    SetMouseOver(isEnabled() && QApplication::widgetAt(QCursor::pos()) == this && IsOwnTaskActive());
}

void TKitSpeedButton::mousePressEvent(QMouseEvent* event)
{
    RunGuarded([&] { MouseDown(event->button(), event->modifiers(), event->position().toPoint()); });
}

void TKitSpeedButton::mouseReleaseEvent(QMouseEvent* event)
{
    RunGuarded([&] { MouseUp(event->button(), event->modifiers(), event->position().toPoint()); });
}

void TKitSpeedButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_menuTracking)
        return;
    RunGuarded([&] {
        MouseDown(event->button(), event->modifiers(), event->position().toPoint());
        if (m_down)
            emit OnDblClick();
    });
}

void TKitSpeedButton::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos)
{
    if (m_menuTracking)
        return;
    emit OnMouseDown(button, modifiers, pos.x(), pos.y());
    if (button == Qt::RightButton)
        RefreshMouseOver();
    if (isEnabled() && !m_mouseInControl) {
        m_mouseInControl = true;
        update();
    }
    if (button != Qt::LeftButton || !isEnabled())
        return;
    if (!m_down) {
        m_state = bsDown;
        update();
    }
    m_tracking = true;
    m_menuTracking = true;
    QPointer<TKitSpeedButton> self(this);
    if (m_dropDownMenu)
        PopUpDropDownMenu(pos);
    if (!self)
        return;
    m_menuTracking = false;
    if (m_allowTimer) {
        if (!m_repeatTimer) {
            m_repeatTimer = new QTimer(this);
            connect(m_repeatTimer, &QTimer::timeout, this, &TKitSpeedButton::RepeatTick);
        }
        m_repeatTimer->start(m_initPause);
    }
}

void TKitSpeedButton::PopUpDropDownMenu(QPoint pressPos)
{
    QMenu* menu = m_dropDownMenu;
    QPoint at;
    if (m_menuPosition == dmpBottom)
        at = QPoint(-1, height());
    else
        at = QPoint(width(), -1);
    // The press that closes the menu over this button must not press it again:
    // the filter keeps Qt from replaying it.
    menu->installEventFilter(this);
    QPointer<TKitSpeedButton> self(this);
    menu->exec(mapToGlobal(at));
    if (m_dropDownMenu) {
        m_dropDownMenu->removeEventFilter(this);
        m_dropDownMenu->setAttribute(Qt::WA_NoMouseReplay, false);
    }
    if (self)
        MouseUp(Qt::LeftButton, QApplication::keyboardModifiers(), pressPos);
}

bool TKitSpeedButton::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_dropDownMenu
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && rect().contains(mapFromGlobal(mouse->globalPosition().toPoint())))
            m_dropDownMenu->setAttribute(Qt::WA_NoMouseReplay);
    }
    return QWidget::eventFilter(watched, event);
}

void TKitSpeedButton::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    emit OnMouseMove(event->modifiers(), pos.x(), pos.y());
    if (!m_tracking)
        return;
    TButtonState state = Inside(pos) ? bsDown : bsUp;
    if (m_down)
        state = bsExclusive;
    if (state != m_state) {
        m_state = state;
        update();
    }
}

void TKitSpeedButton::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos)
{
    emit OnMouseUp(button, modifiers, pos.x(), pos.y());
    if (button == Qt::RightButton)
        RefreshMouseOver();
    if (!m_tracking || button != Qt::LeftButton)
        return;
    m_tracking = false;
    const bool inside = Inside(pos);
    if (m_groupIndex == 0) {
        m_state = bsUp;
        m_mouseInControl = false;
        update();
    } else if (inside) {
        SetDown(!m_down);
    } else {
        m_state = m_down ? bsExclusive : bsUp;
        update();
    }
    QPointer<TKitSpeedButton> self(this);
    if (inside && !m_menuTracking)
        Click();
    if (!self)
        return;
    RefreshMouseOver();
    if (m_repeatTimer)
        m_repeatTimer->stop();
}

void TKitSpeedButton::RepeatTick()
{
    m_repeatTimer->setInterval(m_repeatInterval);
    if (m_state != bsDown || !m_tracking)
        return;
    try {
        Click();
    } catch (const std::exception& e) {
        // Stopped first: the error box runs its own loop, in which the timer
        // would go on firing.
        if (m_repeatTimer)
            m_repeatTimer->stop();
        ShowException(e);
    }
}

void TKitSpeedButton::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    if (!m_mouseInControl && isEnabled() && IsOwnTaskActive())
        SetMouseOver(true);
}

void TKitSpeedButton::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (m_mouseInControl && isEnabled() && !m_tracking)
        SetMouseOver(false);
}

void TKitSpeedButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        RefreshMouseOver();
        update();
        break;
    case QEvent::PaletteChange:
        m_glyph.Release();
        update();
        break;
    case QEvent::FontChange:
        update();
        break;
    default:
        break;
    }
}

void TKitSpeedButton::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    RefreshMouseOver();
}
