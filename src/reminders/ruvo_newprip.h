#pragma once

// The new-reminder form and the targets of its date calculator.

#include "ruvo_vychozi.h"

#include "shared/reminderrecord.h"

#include <QString>

#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QTextEdit;
class TAMEdit;
class TFilenameEdit;
class TKitSpeedButton;
class TKitSpinEdit;

// What the new-reminder form asks of the date calculator ("FVypDC"), which it
// opens modal: the calculator hands its result to the form's event date and
// time edits.
class DateCalculatorTargets {
public:
    virtual void SetTargets(QDateEdit* targetDate, QLineEdit* targetTime) = 0;

protected:
    ~DateCalculatorTargets() = default;
};

// The form in which the user makes a reminder ("FNewPrip"): the event's date
// and time, how long before it the first pop-up comes (or, sound-only, how it
// repeats), what happens when a pop-up is missed, the event's length, up to
// three sounds, a heading and a description. OK checks the input, appends the
// record and tells the tray resident and the overview. The menu "&Výchozí"
// keeps per-field defaults in [FNewPrip] of the settings file.
//
// The edit form derives from it: it loads a record into the controls with
// LoadRecord, builds the record to store with ControlsRecord and replaces
// BOKClick; every other handler is this form's.
class TFNewPrip : public TFVychozi {
    Q_OBJECT
public:
    explicit TFNewPrip(QWidget* parent = nullptr);
    ~TFNewPrip() override;

    // Panels, top to bottom as they stand, then the two at the bottom.
    QWidget* PDatumCas;
    QWidget* PDalsi;
    QWidget* PDny;
    QWidget* PProsle;
    QWidget* PDelka;
    QWidget* PZvuk;
    QWidget* PNadpis;
    QWidget* PPopis;
    QWidget* PButton;

    QDateEdit* EDate;
    QLineEdit* ECas;
    QCheckBox* ChBPrenos;
    QCheckBox* ChBPouzeZvuk;
    TKitSpeedButton* SpeedButton1;

    QLabel* Label5;
    TKitSpinEdit* EDPKolik;
    QComboBox* CBDP;
    QDateEdit* DTDP;
    QLineEdit* MEDP;
    TAMEdit* ECasPred;

    QListWidget* ChLDny;

    TKitSpinEdit* EProsleKolik;
    QComboBox* CBProsle;
    TAMEdit* ECasProsle;

    TKitSpinEdit* SEDelka;
    QComboBox* CBDelka;
    QDateEdit* DTPDelka;
    QLineEdit* MEDelka;
    TAMEdit* AMEDelka;

    QComboBox* CBAdr;
    TKitSpeedButton* TlPrehratDat;
    TFilenameEdit* EZvuk1;
    TFilenameEdit* EZvuk2;
    TFilenameEdit* EZvuk3;

    QLabel* Label7;
    QLineEdit* ENadpis;
    QPushButton* BVelke;
    QPushButton* BMale;

    QTextEdit* MPopis;
    QMenu* PMenuMemo;

    QPushButton* BOK;
    QPushButton* BCancel;

    // "&Výchozí" and its "&nastav dle aktuálního" item of "délka" (disabled
    // while the length is an end date and time).
    QMenu* MVychozi;
    QAction* MDelkaNastav;
    // Ctrl+P "přehrát".
    QAction* MPrehrat;

    // Sound-only shows the repeat kinds instead of the advance kinds and
    // hides the description, the length and the first pop-up time.
    void Nastavpanely(bool soundOnly);
    void NastavInitialDir(const QString& folder);

    // The event start as EDate and ECas set it; none while ECas holds no
    // valid time.
    std::optional<double> Start() const;
    // AdvanceAmount: the absolute first pop-up for kind 4, else EDPKolik.
    double DejPredKolik() const;
    // The event length; 0 for a sound-only reminder.
    double DejDelku() const;
    void DopocetCasPred();
    void DopocetCasProsle();
    void DopoctiDatumCasDelka();

    void CBDPChange();
    void CBProsleChange();
    void CBDelkaChange();
    // ECas, MEDP and MEDelka when the focus leaves them.
    void TimeEditExit(QLineEdit* edit);
    void BVelkeClick();
    void BMaleClick();
    // Plays the sounds of EZvuk1, EZvuk2, EZvuk3 that exist, one after another.
    void TlPrehratDatClick();
    void SpeedButton1Click();

    virtual void BOKClick();
    void BCancelClick();

    // How a sound file name is stored: a file inside the program folder
    // relative to it, "\" first and "\" between the names; any other as it
    // is. FileNameOfStoredSound gives the edit's text back.
    static QString StoredSoundPath(const QString& fileName, const QString& programDir);
    static QString FileNameOfStoredSound(const QString& stored, const QString& programDir);

protected:
    // The controls as a stored record shows it; an event date or time that
    // does not parse leaves EDate and ECas as they are. A length of minutes,
    // hours or days is kept as it was stored until the user changes it.
    void LoadRecord(const ReminderRecord& record);
    // Every time edit in use holds a valid time; the user is told of the
    // first that does not.
    bool TimesValid();
    // A record from zeros with what the controls set: every field but ID,
    // Created, LastChange, NextKind and NextAmount. Needs TimesValid.
    ReminderRecord ControlsRecord() const;
    // The length message for a negative length; false then.
    bool LengthAcceptable(double length);
    // A stored record: the tray resident and an open overview are told, and
    // the form closes with mrOk.
    void Stored();

    QString SettingsFile() const;
    QString ProgramDirectory() const;
    QString DataPath() const;

    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    void BuildDefaultsMenu();
    void LoadDefaults();
    bool SoundOnly() const;
    // The first pop-up time, the overdue deadline and the event end.
    void ShowDerived();
    // Sets a date edit and a time edit to dt.
    static void SetDateAndTime(QDateEdit* date, QLineEdit* time, double dt);
    static std::optional<double> DateAndTime(const QDateEdit* date, const QLineEdit* time);
    void FitDayColumns();

    // A stored length of minutes, hours or days, until the user changes it.
    std::optional<double> m_keptLength;
    int m_resizeDepth = 0;
};
