#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

class QWidget;

// Context help of the programs' windows: a help button puts a window into
// help mode, and the next click anywhere opens the topic of the smallest
// control under it.

// The help context number a form or control carries; 0 = none.
int HelpContext(const QWidget* w);
void SetHelpContext(QWidget* w, int context);

// Whether every control that holds control, up to its window (which is not
// tested), is showing; true for a control without parent.
bool AllParentsVisible(const QWidget* control);

// Opens topic context of the program's help for window: a topic of its own
// for 1..9999, a popup topic for any other number.
void ShowHelpContext(QWidget* window, int context);

// Where a click of help mode at globalPos lands in form: the smallest visible
// control under it (among equal sizes the one made first) and its context
// number. Outside every control but inside the form, the form's own context
// and no target; outside the form, context 0. Labels and other display-only
// widgets, and Qt's inner parts of controls, are no targets.
struct HelpTarget {
    QWidget* Target = nullptr;
    int Context = 0;
};
HelpTarget FindHelpTarget(QWidget* form, const QPoint& globalPos);

// Help mode of one form: Enter captures the mouse with the help cursor; the
// next press, wherever it is, ends the mode (the form's cursor becomes the
// default one) and opens the topic under it. Closing or hiding the form ends
// the mode without a topic. The object is a child of the form.
class ContextHelpMode : public QObject {
    Q_OBJECT
public:
    explicit ContextHelpMode(QWidget* form);
    ~ContextHelpMode() override;

    void Enter();
    bool Active() const { return m_active; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Leave();

    QPointer<QWidget> m_form;
    bool m_active = false;
};
