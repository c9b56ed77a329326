#pragma once

#include "components/kitalign.h"
#include "components/kitcolors.h"
#include "components/kitconst.h"

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <functional>

class QRubberBand;

// The panel's edges.
enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
enum TBorderStyle { bsNone, bsSingle };

// Asked at each mouse move of a drag and at its release; x and y are the mouse
// in the splitter's coordinates. Clearing allowChange holds the line where it
// is (at the release: applies the line's last place).
using TSplitterMoveEvent = std::function<void(QObject* sender, int x, int y, bool& allowChange)>;

// A thin panel the user drags to resize a neighbouring aligned control. While
// the left button is held a line follows the mouse over the form, kept within
// TopLeftLimit and BottomRightLimit pixels of the parent's edges; on release
// the neighbour's height or width changes by the distance moved. What changes
// follows from the neighbours' alignment (SizingMode):
//   1  ControlFirst aligned top or bottom: its height
//   2  ControlFirst client, ControlSecond top or bottom: ControlSecond's height
//   3  ControlFirst aligned left or right: its width
//   4  ControlFirst client, ControlSecond left or right: ControlSecond's width
//   0  anything else, or the splitter aligned unlike the control that would
//      change: nothing, and no drag
// A drag turns the application's hints off until it ends. It ends applied on
// the release, and without any change on Esc, on a lost mouse grab (a press
// or release reaching another widget, a move without the button, a popup
// opening, the window blocked by a modal one), on a change of focus, on the
// window's deactivation, when the splitter is hidden, disabled or destroyed,
// and when OnPosChanging raises; every way gives the hints back.
class TKitSplitter : public QWidget {
    Q_OBJECT
public:
    // 185 x 3, a raised panel in clBtnFace.
    explicit TKitSplitter(QWidget* parent = nullptr);
    ~TKitSplitter() override;

    // The neighbours. The splitter itself or a window is refused (stored as
    // none); a neighbour that is destroyed reads as none.
    QWidget* ControlFirst() const { return m_controlFirst; }
    void SetControlFirst(QWidget* control);
    QWidget* ControlSecond() const { return m_controlSecond; }
    void SetControlSecond(QWidget* control);

    // How close to the parent's edges, in pixels, the line may come.
    int TopLeftLimit() const { return m_topLeftLimit; }
    void SetTopLeftLimit(int limit) { m_topLeftLimit = limit; }
    int BottomRightLimit() const { return m_bottomRightLimit; }
    void SetBottomRightLimit(int limit) { m_bottomRightLimit = limit; }
    // Both limits at once (the older forms' single limit).
    void SetLimitOffset(int limit);

    TAlign Align() const { return AlignOf(this); }
    // An alignment to an edge makes an unaligned splitter 3 pixels thick.
    // With no neighbour set, ControlFirst becomes the first control of the
    // parent (hidden ones too) at the pixel just outside the splitter's
    // aligned edge: above it for top, below for bottom, left of it for left,
    // right of it for right.
    void SetAlign(TAlign align);

    // The end of the owner form's building: the cursor follows the
    // neighbours' alignment as it stands now.
    void Loaded();

    int SizingMode() const;
    // A drag is in progress.
    bool Sizing() const { return m_sizing; }

    // The cursor over the splitter outside a drag; setting a neighbour or
    // Loaded sets it from the sizing mode.
    TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor cursor);

    // The panel.
    TPanelBevel BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TPanelBevel bevel);
    TPanelBevel BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TPanelBevel bevel);
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int width);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style);
    // With a single border: sunken 3D edge, or a flat frame line.
    bool Ctl3D() const { return m_ctl3D; }
    void SetCtl3D(bool on);
    TColor Color() const { return m_color; }
    // Clears ParentColor.
    void SetColor(TColor color);
    // The parent's background colour instead of Color.
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool on);

    TSplitterMoveEvent OnPosChanging;

signals:
    // A drag was applied.
    void OnPosChanged();
    void OnClick();
    void OnDblClick();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OnResize();

protected:
    virtual void Changed();
    virtual void Changing(int x, int y, bool& allowChange);

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QWidget* Neighbour(QWidget* control) const;
    void UpdateCursor();
    void StartDrag(QPoint pos);
    void DragTo(QPoint pos);
    // Ends a drag; apply: at the release, with the mouse at pos.
    void EndDrag(bool apply, QPoint pos = {});
    // Gives back everything a drag took; the drag is over.
    void StopSizing();
    void Apply(QPoint pos);
    QPoint ClampToLimits(QPoint pos) const;
    bool LineIsHorizontal() const { return m_sizeMode == 1 || m_sizeMode == 2; }
    // Moves the line to pos (the splitter's coordinates; only the moving
    // axis counts).
    void MoveLine(QPoint pos);
    bool GrabLostBy(QObject* watched, QEvent* event) const;

    QPointer<QWidget> m_controlFirst;
    QPointer<QWidget> m_controlSecond;
    int m_topLeftLimit = 20;
    int m_bottomRightLimit = 20;
    TCursor m_cursor = crDefault;
    TPanelBevel m_bevelInner = bvNone;
    TPanelBevel m_bevelOuter = bvRaised;
    int m_bevelWidth = 1;
    TBorderStyle m_borderStyle = bsNone;
    bool m_ctl3D = false;
    TColor m_color = clBtnFace;
    bool m_parentColor = false;

    // The drag.
    bool m_sizing = false;
    int m_sizeMode = 0;
    QPoint m_startPos;
    QPoint m_minPos;
    QPoint m_maxPos;
    QPoint m_lastLine; // global
    bool m_savedShowHint = true;
    QPointer<QRubberBand> m_line;
};
