#pragma once

#include "ruvo_vymena.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class TDirectoryEdit;

// The import ("FImport"): the exchange files another machine exported into
// the folder in Dir go into the home files, reminders keyed by Created and
// contacts by unikat, after a backup of each home file; erased ones can be
// removed at home afterwards. The tray resident is paused for the reminders
// and always resumed. In automatic mode (the command hub, at the tray
// resident's start) the import runs by itself once the window shows, and
// the window closes.
class TFImport : public TExchangeWindow {
    Q_OBJECT
public:
    explicit TFImport(QWidget* parent = nullptr);

    QCheckBox* ChBPrip;
    QCheckBox* ChBKont;
    QGroupBox* GBPrip;
    QGroupBox* GBKont;
    QCheckBox* ChBOdstranit;
    QCheckBox* ChBPrehled;
    QCheckBox* ChBNeCas;
    QCheckBox* ChBKOdstranit;
    QCheckBox* ChBKPrehled; // hidden, without effect
    QCheckBox* ChBKNeCas;
    TDirectoryEdit* Dir;
    QLabel* PLAkce;
    QProgressBar* PPrubeh;
    QLabel* KLAkce;
    QProgressBar* KPrubeh;
    QPushButton* BOK;
    QPushButton* BCancel;
    QPushButton* BBHelp;

    // Reminders were imported: the window closes with mrOk.
    bool ImportedAny = false;

    // The import run from the folder in Dir. The user is told about exchange
    // files that cannot be imported, why and what to do; interactive, also
    // the result.
    void Import(bool interactive);

    // The folder's volume is ready and the folder exists; interactive, the
    // user is told otherwise.
    static bool ImportFolderReady(const QString& folder, bool interactive);
    // The exchange file of the folder is there and newer than the one last
    // exported or imported here. Interactive, a missing file is reported and
    // the user may import a file that is not newer all the same.
    static bool ReminderImportDue(const QString& folder, bool interactive);
    static bool ContactImportDue(const QString& folder, bool interactive);
    // The command hub's test (code -9): the stored exchange folder is ready
    // and, for each side of the automatic exchange that is on, its exchange
    // file is newer.
    static bool AutoImportDue();

    void BOKClick();
    void TAutoTimer() override;
    void FormShow() override;

protected:
    int Finished(int result) override;

private:
    // The import has run (or the tray resident has been resumed without it).
    bool m_ran = false;
};
