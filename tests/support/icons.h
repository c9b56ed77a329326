#pragma once

#include <QColor>
#include <QIcon>

// An icon of one colour all over, to tell icons apart by their colour.
QIcon solidIcon(const QColor& c, int size = 16);
// The colour in the middle of the icon drawn at 16 × 16.
QColor colourOf(const QIcon& icon);
