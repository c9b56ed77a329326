#include "kitcolors.h"

#include <QGuiApplication>
#include <QPalette>

#include <iterator>

namespace {

struct SystemRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Windows' colour indices 0 .. 24 in the order of their constants; the nearest
// palette role stands in for each.
constexpr SystemRole SystemRoles[] = {
    { QPalette::Active, QPalette::Mid }, // scroll bar
    { QPalette::Active, QPalette::Dark }, // desktop
    { QPalette::Active, QPalette::Highlight }, // active caption
    { QPalette::Inactive, QPalette::Mid }, // inactive caption
    { QPalette::Active, QPalette::Window }, // menu
    { QPalette::Active, QPalette::Base }, // window
    { QPalette::Active, QPalette::Shadow }, // window frame
    { QPalette::Active, QPalette::WindowText }, // menu text
    { QPalette::Active, QPalette::Text }, // window text
    { QPalette::Active, QPalette::HighlightedText }, // caption text
    { QPalette::Active, QPalette::Window }, // active border
    { QPalette::Inactive, QPalette::Window }, // inactive border
    { QPalette::Active, QPalette::Mid }, // application workspace
    { QPalette::Active, QPalette::Highlight }, // highlight
    { QPalette::Active, QPalette::HighlightedText }, // highlight text
    { QPalette::Active, QPalette::Button }, // button face
    { QPalette::Active, QPalette::Dark }, // button shadow
    { QPalette::Disabled, QPalette::Text }, // gray text
    { QPalette::Active, QPalette::ButtonText }, // button text
    { QPalette::Disabled, QPalette::WindowText }, // inactive caption text
    { QPalette::Active, QPalette::Light }, // button highlight
    { QPalette::Active, QPalette::Shadow }, // 3-D dark shadow
    { QPalette::Active, QPalette::Midlight }, // 3-D light
    { QPalette::Active, QPalette::ToolTipText }, // info text
    { QPalette::Active, QPalette::ToolTipBase }, // info background
};

QPalette applicationPalette()
{
    return qGuiApp ? QGuiApplication::palette() : QPalette();
}

} // namespace

TColor ColorToRGB(TColor color, const QPalette& palette)
{
    if (!IsSystemColor(color))
        return color;
    const quint32 index = color & 0xFF;
    if (index >= std::size(SystemRoles))
        return clBlack;
    const SystemRole& r = SystemRoles[index];
    return QColorToColor(palette.color(r.group, r.role));
}

TColor ColorToRGB(TColor color)
{
    if (!IsSystemColor(color))
        return color;
    return ColorToRGB(color, applicationPalette());
}

QColor ColorToQColor(TColor color)
{
    if (color == clNone)
        return QColor(Qt::transparent);
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor QColorToColor(const QColor& color)
{
    return RGB(color.red(), color.green(), color.blue());
}
