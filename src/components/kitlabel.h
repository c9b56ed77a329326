#pragma once

// The kit's base label: appearances, colour schemes, shading and gradients,
// and the label that attaches itself to another control.

#include "components/kitcolors.h"
#include "components/kitconst.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

class QImage;
class TKitBase;

enum TKitAppearance : uint8_t { apNone, apCustom, apFlying, apRaised, apSunken, apShadow };
// Scoped: the calendar's colour schemes share some of the names.
enum class TKitColorScheme : uint8_t { csCustom, csText, csWindows, csEmbossed, csGold, csSteel };
// Scoped: the gradient text's styles share two of the names.
enum class TKitGraduateStyle : uint8_t { gsNone, gsHorizontal, gsVertical };
enum TKitShadeDirection : uint8_t {
    sdNone,
    sdUp,
    sdUpRight,
    sdRight,
    sdDownRight,
    sdDown,
    sdDownLeft,
    sdLeft,
    sdUpLeft
};
enum TKitShadeStyle : uint8_t { ssPlain, ssExtrude, ssGraduated };
// 0..255.
using TKitDepth = uint8_t;

// The step of one depth unit in a direction.
QPoint ShadeStep(TKitShadeDirection direction);

// The highlight and shadow copies of a label's text. A setter that changes a
// value tells the label (colours and styles apart), unless an update is open;
// EndUpdate tells both.
class TKitCustomSettings {
public:
    TColor GraduateFromColor() const { return m_graduateFromColor; }
    void SetGraduateFromColor(TColor color);
    TKitGraduateStyle GraduateStyle() const { return m_graduateStyle; }
    void SetGraduateStyle(TKitGraduateStyle style);
    TColor HighlightColor() const { return m_highlightColor; }
    void SetHighlightColor(TColor color);
    TKitDepth HighlightDepth() const { return m_highlightDepth; }
    void SetHighlightDepth(TKitDepth depth);
    TKitShadeDirection HighlightDirection() const { return m_highlightDirection; }
    void SetHighlightDirection(TKitShadeDirection direction);
    TKitShadeStyle HighlightStyle() const { return m_highlightStyle; }
    void SetHighlightStyle(TKitShadeStyle style);
    TColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(TColor color);
    TKitDepth ShadowDepth() const { return m_shadowDepth; }
    void SetShadowDepth(TKitDepth depth);
    TKitShadeDirection ShadowDirection() const { return m_shadowDirection; }
    void SetShadowDirection(TKitShadeDirection direction);
    TKitShadeStyle ShadowStyle() const { return m_shadowStyle; }
    void SetShadowStyle(TKitShadeStyle style);

    void BeginUpdate() { m_updating = true; }
    void EndUpdate();
    // All ten values, without telling anyone.
    void Assign(const TKitCustomSettings& other);

    std::function<void()> OnColorChange;
    std::function<void()> OnStyleChange;

private:
    template <typename T> void Set(T& field, T value, const std::function<void()>& notify);

    TColor m_graduateFromColor = clGray;
    TKitGraduateStyle m_graduateStyle = TKitGraduateStyle::gsNone;
    TColor m_highlightColor = clWhite;
    TKitDepth m_highlightDepth = 1;
    TKitShadeDirection m_highlightDirection = sdUpLeft;
    TKitShadeStyle m_highlightStyle = ssPlain;
    TColor m_shadowColor = clBlack;
    TKitDepth m_shadowDepth = 1;
    TKitShadeDirection m_shadowDirection = sdDownRight;
    TKitShadeStyle m_shadowStyle = ssPlain;
    bool m_updating = false;
};

// A label that paints its text over highlight and shadow copies moved in any
// of eight directions (one layer, a solid extrusion, or layers graded from
// the shade's colour to the text's), optionally with the text itself graded
// across or down in 16 bands. Six colour schemes and six appearances set the
// copies at once; changing a colour by hand makes the scheme csCustom, a
// direction, depth or style the appearance apCustom. The text is drawn
// without anti-aliasing, as the class library drew it.
class TKitCustomLabel : public QWidget {
    Q_OBJECT
public:
    explicit TKitCustomLabel(QWidget* parent = nullptr);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool on);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool on);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool on);
    bool ShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool on);
    // The background of an opaque label; with ParentColor the parent's.
    TColor Color() const;
    void SetColor(TColor color);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool on);
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor color);
    // The parent's font and text colour.
    void SetParentFont();

    TKitAppearance Appearance() const { return m_appearance; }
    void SetAppearance(TKitAppearance appearance);
    TKitColorScheme ColorScheme() const { return m_colorScheme; }
    void SetColorScheme(TKitColorScheme scheme);
    TKitCustomSettings& CustomSettings() { return m_settings; }

    struct SchemeColors {
        TColor highlight;
        TColor shadow;
        TColor text;
    };
    // This label's scheme table; the csCustom row holds the last scheme set.
    SchemeColors SchemeRow(TKitColorScheme scheme) const;

    // The label's picture as Paint makes it.
    QImage Render();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ColorChanged();
    void StyleChanged();
    // What a changed text or look needs: the size for AutoSize, a repaint.
    void TextChanged();
    void AdjustBounds();
    int TextFlags() const;
    QFont PaintFont() const;

    QString m_caption;
    TAlignment m_alignment = taLeftJustify;
    bool m_autoSize = false;
    bool m_wordWrap = true;
    bool m_transparent = true;
    bool m_showAccelChar = true;
    TColor m_color = clBtnFace;
    bool m_parentColor = true;
    TColor m_fontColor;
    TKitAppearance m_appearance = apRaised;
    TKitColorScheme m_colorScheme = TKitColorScheme::csWindows;
    TKitCustomSettings m_settings;
    std::array<SchemeColors, 6> m_schemes;
    bool m_applyingScheme = false;
    bool m_applyingAppearance = false;
};

// The caption label of a kit control (TKitBase), standing on the control's
// parent at offsets the control keeps: it follows the control when the
// control moves, and a move of the label becomes the control's new offsets.
// Plain by default: scheme csText, appearance apNone, opaque, the parent's
// font and colour, sized to its text.
class TKitAttachedLabel : public TKitCustomLabel {
    Q_OBJECT
public:
    TKitAttachedLabel(QWidget* parent, TKitBase* control);

    TKitBase* KitControl() const { return m_control; }

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BoundsChanged();

    QPointer<TKitBase> m_control;
};
