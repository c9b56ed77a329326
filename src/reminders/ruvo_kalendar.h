#pragma once

#include "ruvo_vychozi.h"

class QAction;
class QMenu;
class TKitCalendar;

// The calendar window ("FKalendar"): one month calendar filling the window,
// weeks from Monday, the weekend in red. Esc closes it.
class TFKalendar : public TFVychozi {
    Q_OBJECT
public:
    explicit TFKalendar(QWidget* parent = nullptr);

    TKitCalendar* KitCalendar1;
    // Pops up by no click: it carries the short cut.
    QMenu* PopupMenu1;
    QAction* MKonec;
};
