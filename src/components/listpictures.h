#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

// The pictures of the list windows of the reminders and contacts programs,
// painted here rather than shipped as image files: the header arrows
// "ARROWUP", "ARROWDOWN" and "NOARROW" (empty, of the same size), the
// transfer marks "EIANO" and "EINE", the buttons "BOK", "BCANCEL", "BNEW",
// "BEDIT", "BVYMAZ", "BODSTRAN", "BEXPORT", "BIMPORT" and "BEMAIL" (24 x 24),
// and the magnifier "HLEDANI" of a filter panel (32 x 32). ground fills what lies around the picture: transparent, or
// the transparent colour of a speed button's glyph (the picture is then drawn
// without smoothing, so that no edge pixel mixes with the ground). An unknown
// name gives a null pixmap.
QPixmap ListWindowPicture(const QString& name, const QColor& ground = Qt::transparent);
