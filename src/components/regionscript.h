#pragma once

#include <QRegion>
#include <QString>

#include <functional>
#include <optional>

// The region script: a small text language that describes a window's shape.
// Lines are separated by CR LF; each line is one command (the first
// character) with its arguments directly behind it:
//   A O X D          mode of the current level: and, or, xor, diff
//   Rx1,y1,x2,y2     rectangle (right and bottom edge left out)
//   Ex1,y1,x2,y2     ellipse inscribed in that rectangle
//   Ux1,y1,x2,y2,w,h rectangle with rounded corners, w x h the corner ellipse
//   Lx1,y1,...,xn,yn polygon of at least three points, alternate fill
//   W...             the same with winding fill
//   Thvx,y,name      the external region called name, anchor h (L C R) and
//                    v (T C B) of its box put on the point x,y
//   { }              open and close a group (at most 14 open)
// Arguments are integer expressions over + - * /, parentheses, unary minus,
// decimal numbers and the metric letters X C Y R B W H. Coordinates are
// window coordinates: 0,0 is the top-left corner of the whole window, frame
// included. Letters, commands and names are case-insensitive.

// Values of the metric letters, read from the owner form.
struct RegionMetrics {
    int X = 0; // left edge of the client area
    int C = 0; // top edge of the client area
    int Y = 0; // top edge of the caption bar
    int R = 0; // right edge of the client area
    int B = 0; // bottom edge of the client area
    int W = 0; // width of the window
    int H = 0; // height of the window
};

// An external region as the command T places it: its shape (none when it has
// none) and the size that placement uses (-1: the shape's own box).
struct ExternalShape {
    std::optional<QRegion> region;
    int width = -1;
    int height = -1;
};

struct RegionScriptContext {
    RegionMetrics metrics;
    // The external region called name (compared without regard to case), or
    // nothing when the form holds none of that name.
    std::function<std::optional<ExternalShape>(const QString& name)> findExternal;
    // Told of a name that T could not find; the translation goes on.
    std::function<void(const QString& name)> externalNotFound;
    // The window's box, when known: shapes are built only inside it. Nothing
    // outside a window is shown, and a shape reaching far past it then costs
    // no more than the window's own size.
    std::optional<QRect> bounds;
};

// Translates a whole script; none for an empty script or one that produces
// no region at the outer level. Script faults raise ECannotTranslate with
// " in line " + the line number appended to the message. Empty lines are
// skipped (a script may end in CR LF).
std::optional<QRegion> TranslateRegionScript(const QString& script, const RegionScriptContext& context);

// One argument of a command; faults raise ECannotTranslate naming the
// position within the argument, counted from 1.
int EvalRegionExpression(const QString& argument, const RegionMetrics& metrics);

// Upper case of the ASCII letters a to z only, as the scripts compare.
QString RegionUpperCase(const QString& text);

// Whether a command T of the script places the external region called name.
bool RegionScriptNames(const QString& script, const QString& name);

// The script with every command T that places oldName placing newName
// instead; nothing else of the script changes.
QString RenameInRegionScript(const QString& script, const QString& oldName, const QString& newName);
