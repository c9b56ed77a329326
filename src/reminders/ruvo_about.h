#pragma once

#include "components/mabout.h"

// The reminders program's about box, "FAbout": counted among the program's
// windows, its placement kept in "korvel.ini". Opened modal from the base
// windows' menu and non-modal by the command hub; an open box is brought to
// the front instead of a second one.
class TFAbout : public TFMAbout {
    Q_OBJECT
public:
    explicit TFAbout(QWidget* parent = nullptr);
};
