#pragma once

#include <QtGlobal>

// Integer helpers of the kit, with the class library's rounding rules, so that
// pixel arithmetic carried over from it gives the same results here.

// The larger (b when equal) and the smaller (b when equal).
constexpr int IntMax(int a, int b)
{
    return a > b ? a : b;
}

constexpr int IntMin(int a, int b)
{
    return a < b ? a : b;
}

// Halves go to the even neighbour (banker's rounding), as the class library's
// Round did.
qint64 Round(double x);
// Toward zero.
qint64 Trunc(double x);

// a * b / c over a 64-bit intermediate, rounded to the nearest with halves
// away from zero; -1 when c is 0 or the result does not fit 32 bits.
int MulDiv(int a, int b, int c);
