#pragma once

#include <QString>
#include <QWidget>

// A label whose text is drawn at any angle, in tenths of a degree counter-
// clockwise. It takes no mouse presses, so a press on it reaches the form
// beneath (a form dragged by its client area moves on its headings too).
// The text colour is the palette's WindowText, the background its Window.
class TALabel : public QWidget {
    Q_OBJECT
public:
    explicit TALabel(QWidget* parent = nullptr);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    // Always kept in 0 .. 3599.
    int Angle() const { return m_angle; }
    void SetAngle(int angle);
    // The label takes the size of the rotated text plus 2 pixels on each side.
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool on);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool on);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Where the top-left corner of the rotated text cell lies in the label.
    QPoint TextOrigin() const;
    QString DrawnText() const;
    QSize AutoSizeFor() const;
    void AdjustSize();

    QString m_caption;
    int m_angle = 0;
    bool m_autoSize = true;
    bool m_transparent = false;
};
