#pragma once

// The owner-drawn popup menu of the tray icon and the parameters of drawing
// one item.

#include "components/imglist.h"
#include "components/kitcolors.h"
#include "components/kitconst.h"

#include <QFont>
#include <QMenu>
#include <QPixmap>
#include <QPointer>

#include <functional>

class QProxyStyle;

enum TKitMenuStyle { msStandard, msOwnerDraw, msBtnLowered, msBtnRaised };

// The state an item is drawn in.
enum TOwnerDrawStateFlag {
    odSelected = 0x01,
    odGrayed = 0x02,
    odDisabled = 0x04,
    odChecked = 0x08,
    odDefault = 0x20,
};
Q_DECLARE_FLAGS(TOwnerDrawState, TOwnerDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TOwnerDrawState)

// What an item is drawn with; OnGetItemParams may change every field.
struct TMenuItemParams {
    QFont Font;
    TColor FontColor = clMenuText;
    // clNone leaves the item's ground unfilled.
    TColor Color = clMenu;
    // A bitmap of 2 to 5 glyphs side by side holds the pictures for the
    // normal, disabled, selected and checked item (in that order).
    QPixmap Graphic;
    int NumGlyphs = 1;
};

// A popup menu that draws its own items: a picture per item, check marks, the
// default item in bold, embossed disabled items, and a painted strip along its
// left edge. Items are the menu's QActions; a text of "-" makes a separator.
// Sub-menus are drawn alike when they are TKitPopupMenus themselves.
class TKitPopupMenu : public QMenu {
    Q_OBJECT
public:
    explicit TKitPopupMenu(QWidget* parent = nullptr);

    // Shown while an item is highlighted; crDefault keeps the arrow.
    TCursor Cursor = crDefault;
    // Whether a right click on the tray icon opens the menu.
    bool AutoPopup = true;

    int LeftMargin() const { return m_leftMargin; }
    void SetLeftMargin(int width);
    // Least width reserved before an item's text.
    int MinTextOffset() const { return m_minTextOffset; }
    void SetMinTextOffset(int width);
    // msStandard leaves the drawing to the style unless Images holds images;
    // the button styles frame the selected item instead of highlighting it.
    TKitMenuStyle Style() const { return m_style; }
    void SetStyle(TKitMenuStyle style);
    bool ShowCheckMarks() const { return m_showCheckMarks; }
    void SetShowCheckMarks(bool show);
    TImageList* Images() const { return m_images; }
    void SetImages(TImageList* images);

    bool IsOwnerDrawn() const;

    std::function<void(TKitPopupMenu* sender)> OnPopup;
    // Asked for every item but separators while Images is set.
    std::function<void(TKitPopupMenu* sender, QAction* item, TOwnerDrawState state, int& imageIndex)> OnGetImageIndex;
    // Replaces the item painter; the item's ground is filled already.
    std::function<void(
        TKitPopupMenu* sender, QAction* item, QPainter& canvas, const QRect& rect, TOwnerDrawState state)>
        OnDrawItem;
    // Replaces the default margin painter.
    std::function<void(TKitPopupMenu* sender, QPainter& canvas, const QRect& rect)> OnDrawMargin;
    std::function<void(TKitPopupMenu* sender, QAction* item, TOwnerDrawState state, TMenuItemParams& params)>
        OnGetItemParams;
    // The last word on an item's size (without the left margin).
    std::function<void(TKitPopupMenu* sender, QAction* item, int& width, int& height)> OnMeasureItem;

    // OnPopup, then the menu opens with its top-left corner at (x, y).
    void Popup(int x, int y);
    // Sizes are measured anew (after the items, Style or Images changed).
    void RefreshMenuItems();

    // The default margin: a gradient of 32 bands from startColor at the top
    // to endColor, and a 3-D edge along its right side.
    static void DrawDefaultMargin(QPainter& canvas, const QRect& rect, TColor startColor, TColor endColor);

    // Where the margin strip lies in the menu.
    QRect MarginRect() const;
    // The measured size of an item, margin included.
    QSize MeasureItem(const QAction* item);

protected:
    virtual void DrawMenuItem(QPainter& canvas, QAction* item, const QRect& rect, TOwnerDrawState state);
    virtual void DrawMargin(QPainter& canvas, const QRect& rect);
    virtual void GetImageIndex(QAction* item, TOwnerDrawState state, int& imageIndex);
    virtual void GetItemParams(QAction* item, TOwnerDrawState state, TMenuItemParams& params);
    virtual void MeasureMenuItem(QAction* item, int& width, int& height);

    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;
    void actionEvent(QActionEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    friend class KitMenuStyle;

    TOwnerDrawState StateOf(const QAction* item) const;
    int ImageIndexOf(QAction* item, TOwnerDrawState state);
    TMenuItemParams ParamsOf(QAction* item, TOwnerDrawState state);
    QFont MenuFont(const QAction* item) const;
    int CheckWidth() const;
    int PictureAreaWidth(QAction* item, TOwnerDrawState state);
    int CaptionColumnWidth();
    int ShortcutColumnWidth() const;
    bool SelectByLetter(QChar letter);

    int m_leftMargin = 0;
    int m_minTextOffset = 0;
    TKitMenuStyle m_style = msStandard;
    bool m_showCheckMarks = true;
    QPointer<TImageList> m_images;
    QProxyStyle* m_proxyStyle;
    // The item the style is about to measure (set by initStyleOption).
    mutable const QAction* m_measuring = nullptr;
};
