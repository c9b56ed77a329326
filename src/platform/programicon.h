#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

// The 16 colours of the standard palette: the program's pictures (its icon,
// the tray's clocks and menu pictures) are painted in them, flat, with black
// outlines, rather than shipped as image files.
namespace StdColors {
inline const QColor Black(0, 0, 0);
inline const QColor Maroon(128, 0, 0);
inline const QColor Green(0, 128, 0);
inline const QColor Olive(128, 128, 0);
inline const QColor Navy(0, 0, 128);
inline const QColor Purple(128, 0, 128);
inline const QColor Teal(0, 128, 128);
inline const QColor Gray(128, 128, 128);
inline const QColor Silver(192, 192, 192);
inline const QColor Red(255, 0, 0);
inline const QColor Lime(0, 255, 0);
inline const QColor Yellow(255, 255, 0);
inline const QColor Blue(0, 0, 255);
inline const QColor Fuchsia(255, 0, 255);
inline const QColor Aqua(0, 255, 255);
inline const QColor White(255, 255, 255);
} // namespace StdColors

// The organiser's icon: a calendar leaf with an alarm clock in front of it,
// drawn on a 32 x 32 grid and scaled to size pixels (transparent ground).
QPixmap ProgramIconPixmap(int size);

// The icon at the sizes desktops ask for (16, 32, 48, 64): every window's
// icon, the about box's picture and the desktop entries' icon.
QIcon ProgramIcon();
