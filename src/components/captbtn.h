#pragma once

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QRect>

class QAbstractButton;
class QWidget;

// One small glyph button that a form carries where Windows had it in the
// caption bar. The window manager owns the caption here, so the button sits
// at the right end of the form's own top edge, in the corner of the form's
// menu bar when it has one; Shift+F1 does what a click does. The component
// watches the form through an event filter on it (the filter installed last
// sees an event first) and consumes only its own key.
class TCaptionButton : public QObject {
    Q_OBJECT
public:
    // owner: the form; the component is its child and lives as long as it.
    explicit TCaptionButton(QWidget* owner);
    ~TCaptionButton() override;

    // Stretched into the button's face.
    QPixmap Glyph() const { return m_glyph; }
    void SetGlyph(const QPixmap& glyph);
    // Kept for forms written for the caption bar, where it cleared the system
    // buttons; those are outside the form here, so it does not move the button.
    int RightMargin() const { return m_rightMargin; }
    void SetRightMargin(int margin);
    // Hidden: no button, and Shift+F1 goes on to the form.
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);

    // Every button of the program has its own code, counted from 666.
    quint16 HitTestCode() const { return m_hitTestCode; }
    // The button in the form's coordinates; empty while hidden.
    QRect ButtonRect() const;
    // Drawn sunken: pressed and the pointer over it.
    bool Pressed() const;

signals:
    void OnClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();
    void Click();

    QPointer<QWidget> m_form;
    QPointer<QAbstractButton> m_face;
    QPixmap m_glyph;
    int m_rightMargin = 0;
    bool m_visible = true;
    quint16 m_hitTestCode;
};
