#pragma once

#include "components/basewindow.h"

// The base of the contacts program's fixed-size windows (the column chooser,
// the CSV wizards): the common base window, counted by the program's main
// form, its position kept in "korvelk.ini"; it keeps its designed size.
class TFKVychZakl : public TBaseWindow {
    Q_OBJECT
public:
    explicit TFKVychZakl(QWidget* parent = nullptr);

protected:
    TFKVychZakl(Frame frame, QWidget* parent);
};
