#pragma once

#include "ruvo_zakl_seznam.h"

#include <QList>

#include <cstdint>

class QPushButton;

// The erased reminders ("FOdstran"), all selected when the window opens: OK
// removes the selected ones from the reminder file for good and renumbers the
// rest, the tray resident pausing meanwhile. The window stays open; once it
// has removed anything it closes with mrOk, so that its opener reloads.
class TFOdstran : public TFZSeznam {
    Q_OBJECT
public:
    explicit TFOdstran(QWidget* parent = nullptr);
    ~TFOdstran() override;

    QPushButton* BOK = nullptr;

    // The list was empty when the window was made: the opener closes it
    // without showing it.
    bool NothingToRemove = false;
    // The file has changed: reminders were removed, or the rest renumbered.
    bool Removed = false;

    void BOKClick();

    // Once the file has changed the window closes with mrOk, however it is
    // closed.
    void done(int result) override;

protected:
    void FormResize() override;

private:
    // The IDs in the "číslo" column of the selected rows, first to last; a
    // cell that is no number gives none.
    QList<int32_t> SelectedIds() const;
};
