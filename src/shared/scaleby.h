#pragma once

class QWidget;

// Scales the positions, sizes and fonts of every control inside w (not w
// itself, nor separate windows) by multiplier / divisor, and w's font with
// them. Each edge and font size is rounded to the nearest integer, halves to
// even; a font never drops below 1. Nothing happens unless both factors are
// positive.
void ScaleBy(QWidget* w, int multiplier, int divisor);
