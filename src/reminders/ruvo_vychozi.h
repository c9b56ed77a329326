#pragma once

#include "ruvo_vychozi_zakl.h"

// The base of the reminders program's sizeable windows: their contents keep
// their proportions as the window is sized, and a help button at the top
// right (Shift+F1) opens the help of the next control clicked.
class TFVychozi : public TFVychoziZakl {
    Q_OBJECT
public:
    explicit TFVychozi(QWidget* parent = nullptr);
};
