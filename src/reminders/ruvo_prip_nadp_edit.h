#pragma once

#include <QDialog>
#include <QPointer>

class QLineEdit;
class QPushButton;
class TFPrip;

// The heading editor of a reminder pop-up. Its confirmation gives the pop-up
// the new heading; the file learns it only when the pop-up is confirmed.
class TFNPE : public QDialog {
    Q_OBJECT
public:
    // popup: the pop-up whose heading is edited.
    explicit TFNPE(TFPrip* popup);

    void BOKClick();
    void BVelkeClick();
    void BMaleClick();

private:
    QPointer<TFPrip> m_popup;
    QLineEdit* ENadpis;
    QPushButton* BOK;
    QPushButton* BCancel;
    QPushButton* BVelke;
    QPushButton* BMale;
};
