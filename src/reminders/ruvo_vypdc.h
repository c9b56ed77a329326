#pragma once

#include "ruvo_newprip.h"
#include "ruvo_vychozi_zakl.h"

#include <QPointer>

class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;
class TKitSpinEdit;

// The date and time calculator ("FVypDC"): a base date and time plus or
// minus a number of days, hours or minutes gives the result, which OK hands
// to the date and time edits of the window that opened it. It opens at the
// mouse cursor, with the present minute as its base.
class TFVypDC : public TFVychoziZakl, public DateCalculatorTargets {
    Q_OBJECT
public:
    explicit TFVypDC(QWidget* parent = nullptr);

    void SetTargets(QDateEdit* targetDate, QLineEdit* targetTime) override;

    QGroupBox* GBZaklad;
    QDateEdit* EZDate;
    QLineEdit* EZCas;
    QGroupBox* GBOperace;
    // Tag: 1 add, 2 subtract.
    QComboBox* CBOper;
    TKitSpinEdit* RSEDelka;
    // Tag: 1 days, 2 hours, 3 minutes.
    QComboBox* CBDelka;
    QGroupBox* GBVysledek;
    QDateEdit* EVDate;
    QLineEdit* EVCas;
    QPushButton* BOK;
    QPushButton* BCancel;
    QPushButton* BBHelp;
    QPushButton* BVZ;

    QPointer<QDateEdit> TargetDate;
    QPointer<QLineEdit> TargetTime;

    // The result from the base, the operation and the length. A base time
    // that is no valid time leaves the result as it is.
    void Dopocti();
    // Leaving a combo: its Tag from its text (an unknown text keeps the Tag
    // and takes the focus back), then the result.
    void ComboExit(QComboBox* combo);
    void EZCasExit();
    void EVCasExit();
    void BVZClick();
    void BOKClick();
    void BBHelpClick();

private:
    void BuildControls();
    void PlaceAtCursor();
};
