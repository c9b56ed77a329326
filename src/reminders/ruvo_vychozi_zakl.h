#pragma once

#include "components/basewindow.h"

// The base of the reminders program's fixed-size windows: the common base
// window, counted by the program's main form, its placement in "korvel.ini".
class TFVychoziZakl : public TBaseWindow {
    Q_OBJECT
public:
    explicit TFVychoziZakl(QWidget* parent = nullptr);

protected:
    TFVychoziZakl(Frame frame, QWidget* parent);
};
