#pragma once

#include "ruvo_newprip.h"

#include <cstdint>

// The new-reminder form filled from a stored reminder ("FEditPrip"): OK
// rewrites that record in place, keeping its ID, creation time and next-time
// setting, and makes it active again when it was erased. The defaults menu
// is not offered; every other handler is the new-reminder form's.
class TFEditPrip : public TFNewPrip {
    Q_OBJECT
public:
    explicit TFEditPrip(QWidget* parent = nullptr);
    ~TFEditPrip() override;

    // The position (= ID) of the record to edit; set by the opener before
    // the form is shown.
    int32_t EditedRecordNumber = 0;

    void BOKClick() override;

    void setVisible(bool visible) override;

private:
    // The record into the controls; false when the file no longer holds a
    // record at the position.
    bool FormShow();
    // The record at the position is still the one loaded.
    bool StillTheLoadedReminder() const;
    // Says that the reminder has gone and closes the form unchanged.
    void ReminderGone();

    double m_keptCreated = 0;
    int32_t m_keptNextKind = 0;
    double m_keptNextAmount = 0;
    bool m_shown = false;
};
