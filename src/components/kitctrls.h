#pragma once

// The kit's flat speed button and the glyph lists, cache and layout it draws
// with.

#include "components/kitcolors.h"
#include "components/kitconst.h"

#include <QList>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <functional>

class QFontMetrics;
class QMenu;
class QPainter;
class QShortcut;
class QTimer;

// Button states; bsInactive is only drawn: a flat button without the mouse
// over it.
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive, bsInactive };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
enum TKitDropDownMenuPos { dmpBottom, dmpRight };

// Pictures of one size shared by all buttons; a freed slot is taken again
// before the list grows.
class TGlyphList {
public:
    TGlyphList(int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Slots in use.
    int Count() const { return m_count; }
    int Add(const QPixmap& image);
    void Delete(int index);
    void Draw(QPainter& painter, int x, int y, int index) const;

private:
    int m_width;
    int m_height;
    int m_count = 0;
    QList<QPixmap> m_images;
    QList<bool> m_used;
};

// The program's glyph lists, at most one per size. Made with the first glyph
// and gone once a glyph is destroyed while it holds no list.
class TGlyphCache {
public:
    ~TGlyphCache();
    TGlyphList* GetList(int width, int height);
    // A list without used slots is freed.
    void ReturnList(TGlyphList* list);
    bool Empty() const { return m_lists.isEmpty(); }

private:
    QList<TGlyphList*> m_lists;
};

// Where the glyph, the caption and the drop-down mark go inside a button.
struct TGlyphLayout {
    QRect Glyph; // empty without a glyph
    QRect Text; // the caption's own extent
    QString Caption; // as it is drawn: fitted to the width
    QPoint Mark; // left end of the mark's top row (its 7 pixels)
};

// Lays out and paints a button's glyph, caption and drop-down mark, keeping
// one picture per button state. The source bitmap holds NumGlyphs cells side
// by side (up, disabled, pressed, held down, inactive); its bottom-left pixel
// is the transparent colour.
class TKitButtonGlyph {
public:
    explicit TKitButtonGlyph(std::function<void()> changed);
    ~TKitButtonGlyph();
    TKitButtonGlyph(const TKitButtonGlyph&) = delete;
    TKitButtonGlyph& operator=(const TKitButtonGlyph&) = delete;

    QPixmap Glyph() const { return m_glyph; }
    void SetGlyph(const QPixmap& glyph);
    int NumGlyphs() const { return m_numGlyphs; }
    void SetNumGlyphs(int count);
    TColor TransparentColor() const { return m_transparentColor; }
    TAlignment Alignment = taCenter;
    bool WordWrap = false;

    // The size of one cell; empty without a usable glyph.
    QSize CellSize() const;
    // Index of the state's picture in the list of its size; -1 for none.
    int StateImage(TButtonState state);
    // Drops the pictures built so far.
    void Release();

    TGlyphLayout LayoutGlyphAndText(const QFontMetrics& metrics, const QRect& client, const QString& caption,
        TButtonLayout layout, int margin, int spacing, bool dropMark) const;
    // Paints in state's look, colours from palette; the disabled caption and
    // mark are embossed.
    void Draw(QPainter& painter, const QRect& client, const QString& caption, TButtonLayout layout, int margin,
        int spacing, bool dropMark, TButtonState state, const QPalette& palette);

private:
    void GlyphChanged();
    QPixmap BuildImage(TButtonState state, const QRect& cell) const;

    std::function<void()> m_changed;
    QPixmap m_glyph;
    int m_numGlyphs = 1;
    TColor m_transparentColor = RGB(255, 0, 255);
    TGlyphList* m_list = nullptr;
    int m_indexes[5] = { -1, -1, -1, -1, -1 };
};

// The 3-D frame of a speed button in rect, which shrinks to the frame's
// inside. Colours resolve through palette.
void DrawButtonFrame(
    QPainter& painter, QRect& rect, bool pressed, TButtonStyle style, bool flat, const QPalette& palette);

// A push button without focus that draws a glyph and a caption. It can be
// flat (framed only while the mouse is over it), belong to a group of buttons
// of one parent of which one stays down, repeat its click while held, and drop
// down a menu.
class TKitSpeedButton : public QWidget {
    Q_OBJECT
public:
    explicit TKitSpeedButton(QWidget* parent = nullptr);
    ~TKitSpeedButton() override;

    TAlignment Alignment() const { return m_glyph.Alignment; }
    void SetAlignment(TAlignment alignment);
    bool AllowAllUp() const { return m_allowAllUp; }
    void SetAllowAllUp(bool on);
    bool AllowTimer() const { return m_allowTimer; }
    void SetAllowTimer(bool on);
    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int index);
    bool Down() const { return m_down; }
    void SetDown(bool down);
    QMenu* DropDownMenu() const;
    void SetDropDownMenu(QMenu* menu);
    TKitDropDownMenuPos MenuPosition() const { return m_menuPosition; }
    void SetMenuPosition(TKitDropDownMenuPos position) { m_menuPosition = position; }
    // "&" marks the accelerator: Alt and the letter click the button.
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    bool Flat() const { return m_flat; }
    void SetFlat(bool on);
    QPixmap Glyph() const { return m_glyph.Glyph(); }
    void SetGlyph(const QPixmap& glyph);
    bool GrayedInactive() const { return m_grayedInactive; }
    void SetGrayedInactive(bool on);
    // Milliseconds before the first repeat.
    int InitPause() const { return m_initPause; }
    void SetInitPause(int ms) { m_initPause = ms; }
    TButtonLayout Layout() const { return m_layout; }
    void SetLayout(TButtonLayout layout);
    // -1: centred; a value below -1 is refused.
    int Margin() const { return m_margin; }
    void SetMargin(int margin);
    bool MarkDropDown() const { return m_markDropDown; }
    void SetMarkDropDown(bool on);
    // Given to the dialog the button sits on when it is clicked (0: none).
    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int result) { m_modalResult = result; }
    int NumGlyphs() const { return m_glyph.NumGlyphs(); }
    // Above 5 stores 5; 0 or less changes nothing.
    void SetNumGlyphs(int count);
    int RepeatInterval() const { return m_repeatInterval; }
    void SetRepeatInterval(int ms) { m_repeatInterval = ms; }
    int Spacing() const { return m_spacing; }
    void SetSpacing(int spacing);
    TButtonStyle Style() const { return m_style; }
    void SetStyle(TButtonStyle style);
    // Drawn over what lies behind it instead of the button face.
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool on);
    bool WordWrap() const { return m_glyph.WordWrap; }
    void SetWordWrap(bool on);

    TButtonState State() const { return m_state; }
    bool MouseInControl() const { return m_mouseInControl; }
    TKitButtonGlyph& ButtonGlyph() { return m_glyph; }

    // Sets the dialog's result, then fires OnClick.
    virtual void Click();

signals:
    void OnClick();
    void OnDblClick();
    void OnMouseEnter();
    void OnMouseLeave();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void OnMouseMove(Qt::KeyboardModifiers modifiers, int x, int y);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

protected:
    virtual void Paint(QPainter& painter);
    virtual void PaintGlyphAndCaption(QPainter& painter, const QRect& client, TButtonState glyphState);
    virtual void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    virtual void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    // The colour of a system colour in this button's palette.
    QColor SystemColor(TColor color) const;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend void BroadcastGroup(TKitSpeedButton* sender);
    void ButtonPressed(int groupIndex, TKitSpeedButton* sender);
    void UpdateExclusive();
    void RefreshMouseOver();
    void SetMouseOver(bool over);
    bool Inside(QPoint pos) const;
    void PopUpDropDownMenu(QPoint pressPos);
    void RepeatTick();
    // Sets a property that changes the look, repainting when it changed.
    template <typename T> void Assign(T& field, T value);

    TKitButtonGlyph m_glyph;
    TButtonState m_state = bsUp;
    bool m_mouseInControl = false;
    bool m_tracking = false;
    bool m_menuTracking = false;
    bool m_allowAllUp = false;
    bool m_allowTimer = false;
    bool m_down = false;
    bool m_flat = false;
    bool m_grayedInactive = true;
    bool m_markDropDown = true;
    bool m_transparent = false;
    int m_groupIndex = 0;
    int m_initPause = 500;
    int m_repeatInterval = 100;
    int m_margin = -1;
    int m_spacing = 1;
    int m_modalResult = 0;
    TButtonLayout m_layout = blGlyphTop;
    TButtonStyle m_style = bsAutoDetect;
    TKitDropDownMenuPos m_menuPosition = dmpBottom;
    QString m_caption;
    QPointer<QMenu> m_dropDownMenu;
    QTimer* m_repeatTimer = nullptr;
    QShortcut* m_accelerator = nullptr;
};
