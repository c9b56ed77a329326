#pragma once

#include "dorv_prehled.h"

// The deleted contacts ("FKOdstran"): the overview in mode 1, without its
// filter and its making, deleting and mailing, where the user restores
// deleted contacts or removes them from the file for good. Shown modal by
// the overview; it reports OK when it changed the file, so that the overview
// reloads, and Cancel otherwise.
class TFKOdstran : public TFKPrehled {
    Q_OBJECT
public:
    explicit TFKOdstran(QWidget* parent = nullptr);

    TKitSpeedButton* BObnov;
    TKitSpeedButton* BDefOdstran;
    QAction* MKObnov;
    QAction* MKDefOdstran;

    // A restore or a removal happened: the window reports OK.
    bool Changed = false;

    // Restores the selected contacts; through the button the window then
    // closes.
    void BObnovClick();
    void MKObnovClick();
    // Removes the selected contacts from the file, without a question.
    void BDefOdstranClick();
    void DEOdstran();

    void DE() override;
    // Over this modal window: the copy is shown modal on top of it.
    void OpenCopy(int position) override;
    void done(int result) override;

private:
    void Restore();
};
