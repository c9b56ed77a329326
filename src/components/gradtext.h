#pragma once

#include "components/kitcolors.h"

#include <QStringList>
#include <QWidget>

class QPainter;

// How the colours run: across (left to right), down (top to bottom), from the
// outer edge in, from the top and bottom edges to the middle row, or from the
// left and right edges to the middle column.
enum TGradientStyle { gsHorizontal, gsVertical, gsRectangle, gsVertCenter, gsHorizCenter };
enum TJustification { jLeft, jCenter, jRight };

// A block of text whose letters are filled with a colour gradient, drawn on
// nothing (the parent shows around and between the letters). The control
// sizes itself to its text: the lines are wrapped at word boundaries within
// its current width, and it takes the width and height they need. It does so
// whenever the text, font or justification changes and when it is resized.
// The font is the widget's font (default Times New Roman 18 pt, bold italic).
class TGradText : public QWidget {
    Q_OBJECT
public:
    // 75 x 25 before it fits the text "GradText"; yellow to red, downwards,
    // centred.
    explicit TGradText(QWidget* parent = nullptr);

    TColor BeginColor() const { return m_beginColor; }
    void SetBeginColor(TColor color);
    TColor EndColor() const { return m_endColor; }
    void SetEndColor(TColor color);
    TGradientStyle GradientStyle() const { return m_gradientStyle; }
    void SetGradientStyle(TGradientStyle style);
    TJustification Justification() const { return m_justification; }
    void SetJustification(TJustification justification);
    const QStringList& Lines() const { return m_lines; }
    // An empty list is ignored: the text stays.
    void SetLines(const QStringList& lines);

    // The colour of band i of a gradient of n steps: each of red, green and
    // blue moves from begin towards end by MulDiv(i, difference, n), kept to
    // its low byte. System colours are resolved first; n below 1 counts as 1.
    static TColor BandColor(TColor begin, TColor end, int i, int n);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString Text() const;
    int TextFlags() const;
    void FitToText();
    void PaintGradient(QPainter& p) const;

    TColor m_beginColor = clYellow;
    TColor m_endColor = clRed;
    TGradientStyle m_gradientStyle = gsVertical;
    TJustification m_justification = jCenter;
    QStringList m_lines { QStringLiteral("GradText") };
    bool m_fitting = false;
};
