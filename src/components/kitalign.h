#pragma once

#include <QPointer>
#include <QWidget>

// Where a control sits in its parent, as the class library's Align placed
// controls: top, bottom, left and right controls are stacked against the
// parent's edges in that order, each keeping its own height (top, bottom) or
// width (left, right) and taking the whole of the other extent that is left;
// client controls fill what remains. Controls of one kind are stacked by
// their current position (the top-most top control first against the top
// edge, the bottom-most bottom control first against the bottom edge, and so
// on), so moving a hidden control past another before showing it decides
// which of the two lies nearer the edge. Hidden controls take no room.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// alNone until set.
TAlign AlignOf(const QWidget* control);

// Sets the control's alignment within its parent (which must be set) and
// realigns the parent's controls. From then on the parent's controls are
// realigned whenever the parent is resized or shown, and whenever an aligned
// control is shown, hidden, moved or resized: a control whose height or Top
// is changed keeps its new height, or takes its new place in the stack.
// Qt reports no moves or resizes inside a window that is not on screen: after
// changing the bounds of aligned controls there, call AlignControls before
// reading their positions.
void SetAlign(QWidget* control, TAlign align);

// A new panel named name, width wide and height high, stacked at top under
// the panels before it (top moves down past it) and aligned to the top, as a
// form's panels lay one below the other.
QWidget* AddTopPanel(QWidget* parent, const char* name, int width, int height, int& top);

// Realigns parent's aligned controls now. control, when given, is the one
// whose bounds just changed: among controls of its kind at the same position
// it keeps its place nearest the top and left edges.
void AlignControls(QWidget* parent, QWidget* control = nullptr);

// Alignment of parent's controls waits while suspended; EnableAlign of the
// last suspension realigns. Calls pair up; prefer AlignSuspension.
void DisableAlign(QWidget* parent);
void EnableAlign(QWidget* parent);

// DisableAlign for a scope: the parent is realigned when the scope ends, also
// when an exception leaves it.
class AlignSuspension {
public:
    explicit AlignSuspension(QWidget* parent);
    ~AlignSuspension();
    AlignSuspension(const AlignSuspension&) = delete;
    AlignSuspension& operator=(const AlignSuspension&) = delete;

private:
    QPointer<QWidget> m_parent;
};
