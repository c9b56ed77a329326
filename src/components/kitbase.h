#pragma once

#include <QPointer>
#include <QWidget>

class TKitAttachedLabel;
class TKitBase;

// Where a kit control's caption label stands, and whether it exists.
// Offsets: label Left = control Left + OffsetX; label bottom = control Top +
// OffsetY for a label above the control, label Top = control bottom + OffsetY
// for one below it.
class TKitLabelInfo {
public:
    explicit TKitLabelInfo(TKitBase* control)
        : m_control(control)
    {
    }

    int OffsetX() const { return m_offsetX; }
    void SetOffsetX(int x);
    int OffsetY() const { return m_offsetY; }
    void SetOffsetY(int y);
    // True creates the label on the control's parent (when it has one),
    // False frees it.
    bool Visible() const { return m_visible; }
    void SetVisible(bool on);
    TKitAttachedLabel* Label() const;

private:
    friend class TKitBase;
    void SetOffsets(int x, int y);

    TKitBase* m_control;
    int m_offsetX = 0;
    int m_offsetY = 0;
    bool m_visible = false;
    QPointer<TKitAttachedLabel> m_label;
};

// The base of the kit's self-drawn controls: an optional caption label that
// keeps its place beside the control (TKitLabelInfo), and the mouse wheel as
// OnMouseWheel with the wheel's signed delta (120 a notch, forward positive)
// and the mouse's screen position.
class TKitBase : public QWidget {
    Q_OBJECT
public:
    explicit TKitBase(QWidget* parent = nullptr);
    ~TKitBase() override;

    TKitLabelInfo& KitLabelInfo() { return m_labelInfo; }
    // False: the label stands above the control.
    bool LabelBelow() const { return m_labelBelow; }
    void SetLabelBelow(bool on);

    // The label tells its control that it moved: the control takes it as its
    // label at once and, once the move is over, its place as the offsets.
    void AdoptLabel(TKitAttachedLabel* label);
    void PostLabelMoved();

signals:
    void OnMouseWheel(Qt::KeyboardModifiers shift, int delta, int xPos, int yPos);

protected:
    // Descendants that act on the wheel call this first.
    virtual void DoMouseWheel(Qt::KeyboardModifiers shift, int delta, int xPos, int yPos);

    bool event(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    friend class TKitLabelInfo;
    void LabelVisibilityChanged();
    void PositionLabel();
    // After a move of the control: the label back at the stored offsets.
    void KeepLabelInPlace();
    // After a move of the label: its place becomes the offsets.
    void TakeLabelOffsets();
    QPoint LabelOffsets(const TKitAttachedLabel* label) const;
    void LabelDestroyed();

    TKitLabelInfo m_labelInfo;
    bool m_labelBelow = false;
};
