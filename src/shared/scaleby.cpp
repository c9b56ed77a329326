#include "scaleby.h"

#include <QWidget>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

int scaled(int value, int multiplier, int divisor)
{
    return static_cast<int>(std::nearbyint(double(value) * multiplier / divisor));
}

bool pointSized(const QFont& f)
{
    return f.pointSize() > 0;
}

int fontSize(const QFont& f)
{
    return pointSized(f) ? f.pointSize() : f.pixelSize();
}

// w and every widget below it that is no window of its own, parents first.
void collect(QWidget* w, std::vector<std::pair<QWidget*, int>>& out)
{
    out.emplace_back(w, fontSize(w->font()));
    for (QObject* child : w->children())
        if (auto* cw = qobject_cast<QWidget*>(child); cw && !cw->isWindow())
            collect(cw, out);
}

} // namespace

void ScaleBy(QWidget* w, int multiplier, int divisor)
{
    if (multiplier <= 0 || divisor <= 0)
        return;
    std::vector<std::pair<QWidget*, int>> widgets;
    collect(w, widgets);

    // Fonts go parents first: a child that inherits its font has followed its
    // parent already, one with a font of its own is set here.
    for (const auto& [widget, oldSize] : widgets) {
        const int size = std::max(1, scaled(oldSize, multiplier, divisor));
        QFont f = widget->font();
        if (fontSize(f) == size)
            continue;
        if (pointSized(f))
            f.setPointSize(size);
        else
            f.setPixelSize(size);
        widget->setFont(f);
    }

    // The edges are scaled rather than the sizes, so controls that touch go
    // on touching.
    for (const auto& entry : widgets) {
        QWidget* widget = entry.first;
        if (widget == w)
            continue;
        const QRect g = widget->geometry();
        const int left = scaled(g.x(), multiplier, divisor);
        const int top = scaled(g.y(), multiplier, divisor);
        const int right = scaled(g.x() + g.width(), multiplier, divisor);
        const int bottom = scaled(g.y() + g.height(), multiplier, divisor);
        widget->setGeometry(left, top, right - left, bottom - top);
    }
}
