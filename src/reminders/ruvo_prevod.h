#pragma once

#include "ruvo_vychozi_zakl.h"

class QLabel;
class QProgressBar;

// Converts a reminder file of the previous layout once it is on the screen,
// showing the progress, and closes itself when done. Its creators wait for
// it ("FPrevod") to disappear. The tray resident is paused for the
// conversion and resumed after it, whatever happened; not so when the import
// runs it, which pauses and resumes the tray resident itself.
class TFPrevod : public TFVychoziZakl {
    Q_OBJECT
public:
    explicit TFPrevod(QWidget* parent = nullptr);

    // Set by the import before the window is shown.
    bool FromImport = false;

    QLabel* Label1;
    QProgressBar* Prubeh;

    // The conversion; runs once, on the first show.
    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_shown = false;
};
