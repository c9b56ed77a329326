#pragma once

#include "ruvo_vymena.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class TDirectoryEdit;
class TGradText;

// Whether [Nastav] "expimpdir" (default the program folder) names a folder
// whose volume is ready and which exists.
bool ExchangeFolderReady();

// The export ("FExport"): the transferable reminders and contacts of the home
// files into the exchange files of the folder in Dir, optionally only those
// changed since the last import, with a backup copy, and afterwards the
// transferable erased ones removed at home. The tray resident is paused for
// the reminders and resumed afterwards (or told to end, ChBPoz), also when
// the export fails. In automatic mode (the command hub) the check boxes come
// from the settings and the export runs by itself once the window shows.
class TFExport : public TExchangeWindow {
    Q_OBJECT
public:
    explicit TFExport(QWidget* parent = nullptr);

    QCheckBox* ChBPrip;
    QCheckBox* ChBKont;
    QGroupBox* GBPrip;
    QGroupBox* GBKont;
    QCheckBox* ChBZmena;
    QCheckBox* ChBOdstranit;
    QCheckBox* ChBKZmena;
    QCheckBox* ChBKOdstranit;
    QCheckBox* ChBZaloha;
    QCheckBox* ChBPoz;
    TDirectoryEdit* Dir;
    QLabel* LAkce;
    QProgressBar* Prubeh;
    QLabel* LKAkce;
    QProgressBar* KPrubeh;
    QPushButton* BOK;
    QPushButton* BCancel;
    QPushButton* BBHelp;

    // A deletion pass ran: the window closes with mrOk, so its opener reloads.
    bool DeletedAny = false;

    // The export run. Interactive, the user is told the result.
    void Exp(bool interactive);
    void BOKClick();
    void TAutoTimer() override;
    void FormShow() override;

protected:
    int Finished(int result) override;
};

// The export the tray resident asks for when the user's session ends
// ("FExportAuto"): the same window, centred on the screen, telling the user
// that the session end was stopped and should be repeated.
class TFExportAuto : public TFExport {
    Q_OBJECT
public:
    explicit TFExportAuto(QWidget* parent = nullptr);

    QWidget* Panel;
    TGradText* GradText;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlacePanel();
    bool m_centred = false;
};
