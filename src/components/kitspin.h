#pragma once

#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QPainter;
class QTimer;
class QToolButton;

// Which half of a stepping button a click came from.
enum TUDBtnType { btNext, btPrev };
enum TValueType { vtInteger, vtFloat };
enum TSpinButtonKind { bkStandard, bkDiagonal };

// The diagonal stepping button: a square cut by its diagonal (bottom-left to
// top-right corner) into an upper-left "up" half and a lower-right "down"
// half. A held half repeats, first after 400 ms, then every 100 ms.
class TKitSpinButton : public QWidget {
    Q_OBJECT
public:
    // Which half is shown pressed.
    enum State { NoHalf = 0, TopHalf = 1, BottomHalf = 2 };

    explicit TKitSpinButton(QWidget* parent = nullptr);

    QPixmap UpGlyph() const { return m_upGlyph; }
    QPixmap DownGlyph() const { return m_downGlyph; }
    // A copy is kept; its bottom-left pixel is the transparent colour. A null
    // picture brings back the built-in arrow.
    void SetUpGlyph(const QPixmap& glyph);
    void SetDownGlyph(const QPixmap& glyph);

    QWidget* FocusControl() const { return m_focusControl; }
    void SetFocusControl(QWidget* control) { m_focusControl = control; }

    State PressedState() const { return m_state; }

signals:
    void OnTopClick();
    void OnBottomClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    State HalfAt(QPointF pos) const;
    void SetState(State state);
    void FireTopClick();
    void FireBottomClick();
    void AfterClick();
    void RepeatTick();
    void DrawImage(QPainter& p, State kind) const;

    State m_state = NoHalf;
    State m_lastPressed = NoHalf;
    bool m_dragging = false;
    bool m_leftDown = false;
    QPixmap m_upGlyph;
    QPixmap m_downGlyph;
    QTimer* m_repeatTimer = nullptr;
    QPointer<QWidget> m_focusControl;
};

// The standard up-down button: two arrow buttons stacked, each repeating
// while held. Its width is always the default button width.
class TKitUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TKitUpDown(QWidget* parent = nullptr);

signals:
    void OnClick(TUDBtnType button);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Click(TUDBtnType button);

    QToolButton* m_up;
    QToolButton* m_down;
    bool m_inClick = false;
};

// A one-line edit holding an integer or a fixed-point number as text, stepped
// by Increment with the arrow keys or its button and kept within MinValue ..
// MaxValue (both equal: no limits). A number it reports is always within the
// limits, even while typed text beyond them waits for the focus to leave.
class TKitSpinEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TKitSpinEdit(QWidget* parent = nullptr);

    bool ArrowKeys() const { return m_arrowKeys; }
    void SetArrowKeys(bool on) { m_arrowKeys = on; }
    TSpinButtonKind ButtonKind() const { return m_buttonKind; }
    void SetButtonKind(TSpinButtonKind kind);
    int Decimal() const { return m_decimal; }
    void SetDecimal(int decimal);
    bool EditorEnabled() const { return m_editorEnabled; }
    void SetEditorEnabled(bool on);
    double Increment() const { return m_increment; }
    void SetIncrement(double increment) { m_increment = increment; }
    double MinValue() const { return m_minValue; }
    void SetMinValue(double value) { m_minValue = value; }
    double MaxValue() const { return m_maxValue; }
    void SetMaxValue(double value) { m_maxValue = value; }
    TValueType ValueType() const { return m_valueType; }
    void SetValueType(TValueType type);

    // The text's number within the limits; text that is no number reads as
    // MinValue (truncated toward zero in integer mode).
    double Value() const;
    // Writes the text: the value within the limits, rounded (halves to even)
    // in integer mode, with Decimal places in float mode.
    void SetValue(double value);
    // Value truncated toward zero, kept within the 32-bit range.
    int ValueAsInteger() const;
    void SetValueAsInteger(int value) { SetValue(value); }

    // Read-only as the owner set it: no typing and no stepping. EditorEnabled
    // False makes the text read-only too (isReadOnly), which does not count
    // here; while it is False, set the owner's read-only with SetReadOnly.
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool on);

    double ClampToRange(double x) const;
    virtual bool AcceptsChar(QChar key) const;
    virtual void StepUp();
    virtual void StepDown();

    TKitSpinButton* SpinButton() const { return m_spinButton; }
    TKitUpDown* UpDown() const { return m_upDown; }

signals:
    // The text changed, by the user or by a step; not while the edit rewrites
    // its own text during a step.
    void OnChange();
    void OnTopClick();
    void OnBottomClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The number the text holds, as it stands; text that is no number gives
    // MinValue (truncated in integer mode) and isNumber false.
    double TextValue(bool* isNumber = nullptr) const;
    void Step(double delta, bool up);
    void BuildSpinButton();
    void LayoutSpinButton();
    void ApplyTextRect();
    void ApplyReadOnly();
    void UpdateMinimumHeight();
    void HandleUpDownClick(TUDBtnType button);

    TValueType m_valueType = vtInteger;
    TSpinButtonKind m_buttonKind = bkDiagonal;
    double m_minValue = 0;
    double m_maxValue = 0;
    double m_increment = 1;
    int m_decimal = 2;
    bool m_changing = false;
    bool m_editorEnabled = true;
    bool m_arrowKeys = true;
    bool m_readOnly = false;
    bool m_applyingReadOnly = false;
    TKitSpinButton* m_spinButton = nullptr;
    TKitUpDown* m_upDown = nullptr;
};
