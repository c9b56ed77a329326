#pragma once

#include "ruvo_zakl_seznam.h"

class TKitSpeedButton;

// The reminder overview ("FPrehled"): the list window with the day limit and
// its date menu, the commands on the selected reminder (new, edit, erase,
// remove the erased ones, transfer on/off) and the exchange with other
// computers (export, import), and a panel of details.
class TFPrehled : public TFZSeznam {
    Q_OBJECT
public:
    explicit TFPrehled(QWidget* parent = nullptr);
    ~TFPrehled() override;

    TKitSpeedButton* BNew;
    TKitSpeedButton* BEdit;
    TKitSpeedButton* BVymaz;
    TKitSpeedButton* BOdstran;
    TKitSpeedButton* BEIAN;
    TKitSpeedButton* BExport;
    TKitSpeedButton* BImport;

    QMenu* MPripomenuti;
    QAction* MPNew;
    QAction* MPEditace;
    QAction* MPVymaz;
    QAction* MPOdstran;
    QAction* MPPrenos;
    QAction* MPExport;
    QAction* MPImport;
    QAction* MZobrazDetail;

    // The picture BEIAN shows: "EIANO" or "EINE".
    QString BEIANGlyph() const { return m_transferGlyph; }

    void BNewClick();
    void BEditClick();
    void BVymazClick();
    void BOdstranClick();
    void BEIANClick();
    void BExportClick();
    void BImportClick();
    void MZobrazDetailClick();

    void LViewClick(QTreeWidget* list, bool asClick) override;
    void MISAktClick() override;
    void MISNicClick() override;

protected:
    void FormClose() override;

private:
    void SetTransferGlyph(const QString& name);
    // The export or import window, modal; a refresh when it reports mrOk.
    void RunExchange(const QString& name);

    QString m_transferGlyph;
};
