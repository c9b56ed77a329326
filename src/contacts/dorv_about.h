#pragma once

#include "components/mabout.h"

// The contacts program's about box, "FKAbout": counted among the program's
// windows, its placement kept in section "FAbout" of "korvel.ini", which
// both programs share. Opened modal from the base windows' menu; an open box
// is brought to the front instead of a second one.
class TFKAbout : public TFMAbout {
    Q_OBJECT
public:
    explicit TFKAbout(QWidget* parent = nullptr);
};
