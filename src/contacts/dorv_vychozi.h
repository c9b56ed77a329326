#pragma once

#include "dorv_vychzakl.h"

// The base of the contacts program's sizeable windows (the overview, the
// contact forms): its whole placement kept in "korvelk.ini", its contents
// keeping their proportions as it is sized unless the window lays itself
// out, and a help button at the top right (Shift+F1).
class TFKVychozi : public TFKVychZakl {
    Q_OBJECT
public:
    explicit TFKVychozi(QWidget* parent = nullptr);
};
