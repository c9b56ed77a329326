#include "kitlabel.h"

#include "components/kitbase.h"
#include "components/kitutil.h"
#include "components/kitutils.h"

#include <QEvent>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace {

// The colour that marks the text's pixels while it is graded.
constexpr TColor GraduateKey = 0xFE08F1;

struct Rgb {
    int r, g, b;
};

Rgb Components(TColor color)
{
    Rgb c {};
    SplitRGB(ColorToRGB(color), c.r, c.g, c.b);
    return c;
}

// from + R(step × (to − from) / steps) for each component.
QColor Between(const Rgb& from, const Rgb& to, int step, int steps)
{
    const auto one = [&](int a, int b) { return int(a + Round(double(step) * (b - a) / steps)); };
    return QColor(one(from.r, to.r), one(from.g, to.g), one(from.b, to.b));
}

QRgb Opaque(const QColor& c)
{
    return c.rgb() | 0xFF000000;
}

} // namespace

QPoint ShadeStep(TKitShadeDirection direction)
{
    static const QPoint steps[]
        = { { 0, 0 }, { 0, -1 }, { 1, -1 }, { 1, 0 }, { 1, 1 }, { 0, 1 }, { -1, 1 }, { -1, 0 }, { -1, -1 } };
    return steps[direction];
}

template <typename T> void TKitCustomSettings::Set(T& field, T value, const std::function<void()>& notify)
{
    if (field == value)
        return;
    field = value;
    if (!m_updating && notify)
        notify();
}

void TKitCustomSettings::SetGraduateFromColor(TColor color)
{
    Set(m_graduateFromColor, color, OnColorChange);
}

void TKitCustomSettings::SetGraduateStyle(TKitGraduateStyle style)
{
    Set(m_graduateStyle, style, OnStyleChange);
}

void TKitCustomSettings::SetHighlightColor(TColor color)
{
    Set(m_highlightColor, color, OnColorChange);
}

void TKitCustomSettings::SetHighlightDepth(TKitDepth depth)
{
    Set(m_highlightDepth, depth, OnStyleChange);
}

void TKitCustomSettings::SetHighlightDirection(TKitShadeDirection direction)
{
    Set(m_highlightDirection, direction, OnStyleChange);
}

void TKitCustomSettings::SetHighlightStyle(TKitShadeStyle style)
{
    Set(m_highlightStyle, style, OnStyleChange);
}

void TKitCustomSettings::SetShadowColor(TColor color)
{
    Set(m_shadowColor, color, OnColorChange);
}

void TKitCustomSettings::SetShadowDepth(TKitDepth depth)
{
    Set(m_shadowDepth, depth, OnStyleChange);
}

void TKitCustomSettings::SetShadowDirection(TKitShadeDirection direction)
{
    Set(m_shadowDirection, direction, OnStyleChange);
}

void TKitCustomSettings::SetShadowStyle(TKitShadeStyle style)
{
    Set(m_shadowStyle, style, OnStyleChange);
}

void TKitCustomSettings::EndUpdate()
{
    m_updating = false;
    if (OnColorChange)
        OnColorChange();
    if (OnStyleChange)
        OnStyleChange();
}

void TKitCustomSettings::Assign(const TKitCustomSettings& other)
{
    m_graduateFromColor = other.m_graduateFromColor;
    m_graduateStyle = other.m_graduateStyle;
    m_highlightColor = other.m_highlightColor;
    m_highlightDepth = other.m_highlightDepth;
    m_highlightDirection = other.m_highlightDirection;
    m_highlightStyle = other.m_highlightStyle;
    m_shadowColor = other.m_shadowColor;
    m_shadowDepth = other.m_shadowDepth;
    m_shadowDirection = other.m_shadowDirection;
    m_shadowStyle = other.m_shadowStyle;
}

TKitCustomLabel::TKitCustomLabel(QWidget* parent)
    : QWidget(parent)
    , m_schemes({ SchemeColors { clWhite, clBlack, clGray }, SchemeColors { clWhite, clGray, clBlack },
          SchemeColors { clWhite, clBlack, clGray }, SchemeColors { clWhite, clBlack, clSilver },
          SchemeColors { clYellow, clBlack, clOlive }, SchemeColors { clAqua, clNavy, clTeal } })
{
    m_fontColor = SchemeRow(m_colorScheme).text;
    m_settings.OnColorChange = [this] { ColorChanged(); };
    m_settings.OnStyleChange = [this] { StyleChanged(); };
    resize(150, 35);
    setFont(QFont(QStringLiteral("Times New Roman"), 20));
}

TKitCustomLabel::SchemeColors TKitCustomLabel::SchemeRow(TKitColorScheme scheme) const
{
    return m_schemes[size_t(scheme)];
}

void TKitCustomLabel::SetCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    TextChanged();
}

void TKitCustomLabel::SetAlignment(TAlignment alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    update();
}

void TKitCustomLabel::SetAutoSize(bool on)
{
    if (on == m_autoSize)
        return;
    m_autoSize = on;
    AdjustBounds();
}

void TKitCustomLabel::SetWordWrap(bool on)
{
    if (on == m_wordWrap)
        return;
    m_wordWrap = on;
    TextChanged();
}

void TKitCustomLabel::SetTransparent(bool on)
{
    if (on == m_transparent)
        return;
    m_transparent = on;
    update();
}

void TKitCustomLabel::SetShowAccelChar(bool on)
{
    if (on == m_showAccelChar)
        return;
    m_showAccelChar = on;
    TextChanged();
}

TColor TKitCustomLabel::Color() const
{
    if (m_parentColor && parentWidget())
        return QColorToColor(parentWidget()->palette().color(parentWidget()->backgroundRole()));
    return m_color;
}

void TKitCustomLabel::SetColor(TColor color)
{
    m_color = color;
    m_parentColor = false;
    update();
}

void TKitCustomLabel::SetParentColor(bool on)
{
    m_parentColor = on;
    update();
}

void TKitCustomLabel::SetFontColor(TColor color)
{
    if (color == m_fontColor)
        return;
    m_fontColor = color;
    update();
}

void TKitCustomLabel::SetParentFont()
{
    setFont(QFont());
    m_fontColor = clWindowText;
    TextChanged();
}

// A change by hand leaves the preset: the colours make the scheme csCustom,
// anything else the appearance apCustom. Applying one preset leaves the other
// as it is: a scheme keeps the appearance, an appearance the scheme.
void TKitCustomLabel::ColorChanged()
{
    update();
    if (!m_applyingScheme && !m_applyingAppearance)
        m_colorScheme = TKitColorScheme::csCustom;
}

void TKitCustomLabel::StyleChanged()
{
    update();
    if (m_applyingScheme || m_applyingAppearance)
        return;
    m_appearance = apCustom;
    TextChanged();
}

void TKitCustomLabel::SetColorScheme(TKitColorScheme scheme)
{
    if (scheme == m_colorScheme)
        return;
    m_colorScheme = scheme;
    m_applyingScheme = true;
    const SchemeColors row = SchemeRow(scheme);
    m_settings.BeginUpdate();
    m_settings.SetHighlightColor(row.highlight);
    m_fontColor = row.text;
    m_settings.SetShadowColor(row.shadow);
    if (scheme != TKitColorScheme::csCustom)
        m_schemes[size_t(TKitColorScheme::csCustom)] = row;
    m_settings.EndUpdate();
    m_applyingScheme = false;
    TextChanged();
}

void TKitCustomLabel::SetAppearance(TKitAppearance appearance)
{
    if (appearance == m_appearance)
        return;
    m_appearance = appearance;
    m_applyingAppearance = true;
    const SchemeColors row = SchemeRow(m_colorScheme);
    m_settings.BeginUpdate();
    m_settings.SetHighlightColor(row.highlight);
    const auto set = [this](TKitShadeDirection hd, int hdepth, TKitShadeDirection sd, int sdepth) {
        m_settings.SetHighlightDirection(hd);
        m_settings.SetHighlightDepth(TKitDepth(hdepth));
        m_settings.SetShadowDirection(sd);
        m_settings.SetShadowDepth(TKitDepth(sdepth));
    };
    switch (appearance) {
    case apNone:
        set(sdNone, 0, sdNone, 0);
        break;
    case apCustom:
        break;
    case apFlying:
        set(sdDownRight, 1, sdDownRight, 5);
        m_settings.SetHighlightColor(row.shadow);
        break;
    case apRaised:
        set(sdUpLeft, 1, sdDownRight, 1);
        break;
    case apSunken:
        set(sdDownRight, 1, sdUpLeft, 1);
        break;
    case apShadow:
        set(sdNone, 0, sdDownRight, 2);
        break;
    }
    m_settings.EndUpdate();
    m_applyingAppearance = false;
    TextChanged();
}

void TKitCustomLabel::TextChanged()
{
    AdjustBounds();
    update();
}

int TKitCustomLabel::TextFlags() const
{
    int flags = Qt::TextExpandTabs | Qt::AlignTop;
    if (m_wordWrap)
        flags |= Qt::TextWordWrap;
    if (m_showAccelChar)
        flags |= Qt::TextShowMnemonic;
    switch (m_alignment) {
    case taLeftJustify:
        flags |= Qt::AlignLeft;
        break;
    case taRightJustify:
        flags |= Qt::AlignRight;
        break;
    case taCenter:
        flags |= Qt::AlignHCenter;
        break;
    }
    return flags;
}

QFont TKitCustomLabel::PaintFont() const
{
    QFont f = font();
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

void TKitCustomLabel::AdjustBounds()
{
    if (!m_autoSize)
        return;
    const QString text = m_caption.isEmpty() ? QStringLiteral(" ") : m_caption;
    const QFontMetrics fm(PaintFont());
    const QRect r = m_wordWrap ? fm.boundingRect(QRect(0, 0, width(), 1 << 20), TextFlags(), text)
                               : fm.boundingRect(QRect(), TextFlags(), text);
    const int left = m_alignment == taRightJustify ? x() + width() - r.width() : x();
    setGeometry(left, y(), r.width(), r.height());
}

QImage TKitCustomLabel::Render()
{
    const QRect r = rect();
    const int flags = TextFlags();
    const TKitCustomSettings& cs = m_settings;
    const QPoint h = ShadeStep(cs.HighlightDirection()) * cs.HighlightDepth();
    const QPoint s0 = ShadeStep(cs.ShadowDirection()) * cs.ShadowDepth();
    const int lo = IntMin(IntMin(IntMin(h.x(), h.y()), IntMin(s0.x(), s0.y())), 0);
    const int hi = IntMax(IntMax(IntMax(h.x(), h.y()), IntMax(s0.x(), s0.y())), 0);
    const int shift = m_alignment == taCenter ? (hi - lo) / 2 : m_alignment == taRightJustify ? hi - lo : 0;

    QImage work(r.size(), QImage::Format_RGB32);
    {
        QPainter p(&work);
        if (m_transparent)
            PaintParentBackground(this, p);
        else
            work.fill(ColorToQColor(Color()));
    }
    const QFont paintFont = PaintFont();
    const auto drawText = [&](QImage& on, const QPoint& offset, const QColor& color) {
        QPainter p(&on);
        p.setFont(paintFont);
        p.setPen(color);
        p.drawText(r.translated(offset), flags, m_caption);
    };
    const Rgb fontRgb = Components(m_fontColor);
    const auto shade = [&](TColor color, TKitDepth depth, TKitShadeDirection direction, TKitShadeStyle style) {
        const QPoint step = ShadeStep(direction);
        const bool layered = style != ssPlain && depth > 1;
        const Rgb shadeRgb = Components(color);
        for (int m = depth; m >= (layered ? 1 : depth); --m) {
            const QColor c = style == ssGraduated && layered ? Between(shadeRgb, fontRgb, depth - m, depth - 1)
                                                             : ColorToQColor(color);
            drawText(work, QPoint(m * step.x() - lo - shift, m * step.y() - lo), c);
        }
    };
    shade(cs.ShadowColor(), cs.ShadowDepth(), cs.ShadowDirection(), cs.ShadowStyle());
    shade(cs.HighlightColor(), cs.HighlightDepth(), cs.HighlightDirection(), cs.HighlightStyle());

    const QPoint textOffset(-lo - shift, -lo);
    if (cs.GraduateStyle() == TKitGraduateStyle::gsNone) {
        drawText(work, textOffset, ColorToQColor(m_fontColor));
        return work;
    }
    QImage mask = work.copy();
    drawText(mask, textOffset, ColorToQColor(GraduateKey));
    const QRgb key = Opaque(ColorToQColor(GraduateKey));
    const bool horizontal = cs.GraduateStyle() == TKitGraduateStyle::gsHorizontal;
    const int tw = QFontMetrics(paintFont).horizontalAdvance(m_caption);
    const int x0 = m_alignment == taCenter ? (r.width() - tw) / 2 - lo - shift
        : m_alignment == taRightJustify    ? r.width() - hi - tw
                                           : -lo;
    const int span = horizontal ? tw - 1 : r.height() - 1;
    const Rgb from = Components(cs.GraduateFromColor());
    for (int i = 0; i < 16; ++i) {
        const QRgb band = Opaque(Between(from, fontRgb, i, 15));
        const int a = int(Round(double(i) * span / 15));
        const int b = int(Round(double(i + 1) * span / 15));
        const QRect area = horizontal ? QRect(QPoint(x0 + a, 0), QPoint(x0 + b - 1, r.height() - 1))
                                      : QRect(QPoint(0, a - lo), QPoint(r.width() - 1, b - lo - 1));
        const QRect inside = area & QRect(QPoint(0, 0), work.size());
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            const auto* m = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
            auto* w = reinterpret_cast<QRgb*>(work.scanLine(y));
            for (int x = inside.left(); x <= inside.right(); ++x)
                if ((m[x] | 0xFF000000) == key)
                    w[x] = band;
        }
    }
    return work;
}

void TKitCustomLabel::paintEvent(QPaintEvent*)
{
    const QImage picture = Render();
    QPainter p(this);
    p.drawImage(0, 0, picture);
}

void TKitCustomLabel::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        TextChanged();
    else if (event->type() == QEvent::PaletteChange)
        update();
}

TKitAttachedLabel::TKitAttachedLabel(QWidget* parent, TKitBase* control)
    : TKitCustomLabel(parent)
    , m_control(control)
{
    SetAutoSize(true);
    SetColorScheme(TKitColorScheme::csText);
    SetAppearance(apNone);
    SetParentFont();
    SetTransparent(false);
}

void TKitAttachedLabel::moveEvent(QMoveEvent* event)
{
    TKitCustomLabel::moveEvent(event);
    BoundsChanged();
}

void TKitAttachedLabel::resizeEvent(QResizeEvent* event)
{
    TKitCustomLabel::resizeEvent(event);
    BoundsChanged();
}

void TKitAttachedLabel::BoundsChanged()
{
    TKitBase* control = m_control;
    if (!control || control->window() != window())
        return;
    control->AdoptLabel(this);
    control->PostLabelMoved();
}
