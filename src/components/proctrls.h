#pragma once

#include "components/kitcolors.h"
#include "components/kitconst.h"

#include <QPoint>
#include <QString>
#include <QWidget>

// Shadow and highlight presets; ssCustom is what a label becomes when one of
// its shadow or highlight properties is changed by itself.
enum TShadowStyle {
    ssNone,
    ssCustom,
    ssRaised,
    ssRaisedColor,
    ssRaisedShadow,
    ssRaisedThickShadow,
    ssRecessed,
    ssRecessedColor,
    ssRecessedShadow,
    ssShadow,
    ssThickShadow
};
enum TDirection { drNone, drUp, drDown, drLeft, drRight, drUpLeft, drUpRight, drDownLeft, drDownRight };
enum TVerticalAlignment { vaTop, vaCenter, vaBottom };
using TShadowDepth = quint16;
using TShadowSize = quint16;

// One pixel step in the direction (y grows downwards).
QPoint DirectionStep(TDirection direction);

// A label whose caption can be drawn at any angle, with copies of it in a
// shadow colour and a highlight colour behind it. Colours are the class
// library's (system colours follow the application's palette); the text
// colour is FontColor. Mouse presses pass on to the parent.
class TProCustomLabel : public QWidget {
    Q_OBJECT
public:
    explicit TProCustomLabel(QWidget* parent = nullptr);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);
    // At angle 0 the label takes the size of its text (with WordWrap only its
    // height; a right-aligned label keeps its right edge).
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool on);
    // The background unless Transparent.
    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor color);
    bool ShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool on);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool on);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool on);

    // Degrees counter-clockwise, kept in 0..359. Above 0 switches AutoSize off.
    int Angle() const { return m_angle; }
    void SetAngle(int angle);
    // Shift of the text; a positive one switches AutoSize off.
    int OffsetX() const { return m_offsetX; }
    void SetOffsetX(int offset);
    int OffsetY() const { return m_offsetY; }
    void SetOffsetY(int offset);
    TVerticalAlignment VerticalAlignment() const { return m_verticalAlignment; }
    void SetVerticalAlignment(TVerticalAlignment alignment);
    TVerticalAlignment Layout() const { return VerticalAlignment(); }
    void SetLayout(TVerticalAlignment alignment) { SetVerticalAlignment(alignment); }

    // A preset sets the seven properties below; ssCustom leaves them.
    TShadowStyle ShadowStyle() const { return m_shadowStyle; }
    void SetShadowStyle(TShadowStyle style);
    TDirection HighlightDirection() const { return m_highlightDirection; }
    void SetHighlightDirection(TDirection direction);
    int HighlightDepth() const { return m_highlightDepth; }
    void SetHighlightDepth(int depth);
    TColor HighlightColor() const { return m_highlightColor; }
    void SetHighlightColor(TColor color);
    TDirection ShadowDirection() const { return m_shadowDirection; }
    void SetShadowDirection(TDirection direction);
    // Steps of the first shadow copy.
    TShadowDepth ShadowDepth() const { return m_shadowDepth; }
    void SetShadowDepth(TShadowDepth depth);
    // Number of shadow copies, each one step further.
    TShadowSize ShadowSize() const { return m_shadowSize; }
    void SetShadowSize(TShadowSize size);
    TColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(TColor color);

    QSize sizeHint() const override;

signals:
    void OnMouseEnter();
    void OnMouseLeave();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int TextFlags() const;
    QSize TextSize() const;
    void AdjustBounds();
    // Stores value into field and repaints when it differs; true then.
    template <class T> bool Change(T& field, T value);
    // A shadow or highlight property set by itself makes the style custom.
    template <class T> void ChangeShadow(T& field, T value);

    QString m_caption;
    TAlignment m_alignment = taLeftJustify;
    bool m_autoSize = true;
    TColor m_color = clBtnFace;
    TColor m_fontColor = clWindowText;
    bool m_showAccelChar = true;
    bool m_transparent = false;
    bool m_wordWrap = false;
    int m_angle = 0;
    int m_offsetX = 0;
    int m_offsetY = 0;
    TVerticalAlignment m_verticalAlignment = vaTop;
    TShadowStyle m_shadowStyle = ssNone;
    TDirection m_highlightDirection = drNone;
    int m_highlightDepth = 0;
    TColor m_highlightColor = clBtnHighlight;
    TDirection m_shadowDirection = drNone;
    TShadowDepth m_shadowDepth = 0;
    TShadowSize m_shadowSize = 0;
    TColor m_shadowColor = clBtnShadow;
};

// The label the forms place.
class TProLabel : public TProCustomLabel {
    Q_OBJECT
public:
    using TProCustomLabel::TProCustomLabel;
};
