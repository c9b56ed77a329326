#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

// The pictures of the reminder list windows, painted here rather than
// shipped as image files: the header arrows "ARROWUP", "ARROWDOWN" and
// "NOARROW" (empty, of the same size), the transfer marks "EIANO" and "EINE",
// and the buttons "BOK", "BCANCEL", "BNEW", "BEDIT", "BVYMAZ", "BODSTRAN",
// "BEXPORT" and "BIMPORT". ground fills what lies around the picture: transparent, or
// the transparent colour of a speed button's glyph (the picture is then drawn
// without smoothing, so that no edge pixel mixes with the ground). An unknown
// name gives a null pixmap.
QPixmap ListWindowPicture(const QString& name, const QColor& ground = Qt::transparent);
