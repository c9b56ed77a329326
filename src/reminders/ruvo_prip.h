#pragma once

// The reminder pop-up: the shaped window that shows a due reminder, rings its
// sounds and takes the user's confirm, postpone or erase.

#include "ruvo_prip_pravidla.h"
#include "ruvo_zaklad.h"

#include "platform/datetime.h"
#include "shared/reminderrecord.h"

#include <QWidget>

class ContextHelpMode;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTextEdit;
class QTimer;
class TALabel;
class TAMEdit;
class TCaptionRegion;
class TFormRegion;
class TKitSpinEdit;

// The pop-up of a due reminder ("Pripomenuti" + record position): a yellow
// window cut to a fixed shape, the heading written along both slanted sides.
// It rings the reminder's sounds, keeps the time, turns its frame red once the
// event time has passed, and lets the user set the next pop-up (further mode)
// or move the event itself (repeat mode), erase the reminder, or leave it.
//
// The hub makes it, gives it its record position and name and shows it; it
// reads the record when it is shown, and reads it again to confirm or erase,
// so changes made elsewhere meanwhile are kept. A pop-up whose reminder has
// left its position writes nothing.
class TFPrip : public QWidget, public ReminderPopup {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 600;
    static constexpr int ClientHeight = 450;
    static const QString FormRegionScript;
    static const QString CaptionRegionScript;

    explicit TFPrip(QWidget* parent = nullptr);
    ~TFPrip() override;

    // ReminderPopup
    int RecordNumber() const override { return m_recordNumber; }
    void SetRecordNumber(int number) override;
    double ReminderCreated() const override { return m_created; }
    // Plays sounds 1, 2, 3 one after another, those that exist.
    void ZvukAkce() override;

    double EventStart() const { return m_eventStart; }
    // The sound paths, made absolute (still in their stored form).
    QString Sound(int n) const { return m_sounds[n - 1]; }
    bool HeadingChanged() const { return m_headingChanged; }
    QString Heading() const;

    double DejNewCas() const;
    double DejDelku() const;

    void BOKClick();
    void BCancelClick();
    void TDatumTimer();
    void ChBVychClick();
    void MFNPEClick();
    void BHelpClick();
    // The heading editor's confirmation: the three headings take the new
    // heading, which is written with the next confirmation.
    void SetHeading(const QString& heading);

    QTimer* TDatum() const { return m_timer; }
    TCaptionRegion* CRegion1() const { return m_captionRegion; }
    TFormRegion* FRegion() const { return m_formRegion; }

    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    void FormCreate();
    // False when the record is not there: the window is not to show.
    bool FormShow();
    void FormClose();

    bool RepeatMode() const;
    NextTimeSetting NextTime() const;
    double EndReference() const;
    double AbsoluteTime(const QDateEdit* date, QLineEdit* time, double& lastValid) const;

    void ShowNextTime();
    void ShowWarning();
    void ShowEnd();
    void ApplyModeVisibility();

    void CBZnovuChange();
    void CBPredChange();
    void CBProsleChange();
    void CBDelkaChange();
    void ECasZnovuExit();
    void MEDelka2Exit();
    void LengthEdited();

    void SetDateAndTime(QDateEdit* date, QLineEdit* time, double dt);
    // Reads the record at the pop-up's position into record; false when it
    // is no longer this pop-up's reminder, or erased other than by the tray's
    // overdue rule while the pop-up was open.
    bool ReadOwn(ReminderRecord& record) const;
    // ReadOwn; when it fails, says so and closes the window.
    bool ReadOwnReminder(ReminderRecord& record);
    // Writes changed over the pop-up's reminder when the file still holds it
    // as it was read (seen), under the file's lock; otherwise says so and
    // writes nothing: another program's change is never written over.
    bool WriteOwnReminder(const ReminderRecord& seen, const ReminderRecord& changed);
    void ReportGone();
    // Shows the message that stops a confirmation.
    void Stop(PripMessage message, const QString& remindDate = {}, const QString& remindTime = {});
    void PlaceHeadings();
    QString DataPath() const;
    QString SettingsFile() const;

    // Record and values as loaded.
    int m_recordNumber = 0;
    double m_created = 0;
    double m_eventStart = 0;
    QString m_sounds[3];
    int32_t m_loadedNextKind = nkMinutes;
    double m_loadedLength = 0;
    double m_loadedNextAmount = 0;
    bool m_headingChanged = false;
    // The user changed a length control: only then is the length recomputed.
    bool m_lengthTouched = false;
    // The last valid times of the three time edits, read while one is half typed.
    mutable double m_lastZnovuTime = 10 * OneHour;
    mutable double m_lastDelkaTime = 0;
    mutable double m_lastPredTime = 0;
    // Controls set by the program, not by the user: their handlers wait.
    int m_quiet = 0;
    bool m_shown = false;
    bool m_closed = false;

    TFormRegion* m_formRegion;
    TCaptionRegion* m_captionRegion;
    ContextHelpMode* m_helpMode;
    QTimer* m_timer;
    QMenu* PMNadpis;
    QMenu* PMenuMemo;

    TALabel* Nadpis1;
    TALabel* Nadpis2;
    TALabel* Nadpis3;
    QTextEdit* MPopis;
    TAMEdit* ECislo;
    TAMEdit* EDatum;
    TAMEdit* EAktDatum;
    TAMEdit* EDalsi;
    TAMEdit* ECasPred;
    TAMEdit* ECasProsle;
    TAMEdit* AMEDelka;
    TAMEdit* MEDelka;
    QCheckBox* ChBVych;
    QLabel* Label2;
    QLabel* Label4;
    QLabel* Label5;
    QComboBox* CBZnovu;
    TKitSpinEdit* EZnovuKolik;
    QDateEdit* DTZnovu;
    QLineEdit* ECasZnovu;
    QComboBox* CBPred;
    TKitSpinEdit* EPredKolik;
    QDateEdit* DTDP;
    QLineEdit* MEDP;
    QComboBox* CBProsle;
    TKitSpinEdit* EProsleKolik;
    QComboBox* CBDelka;
    TKitSpinEdit* SEDelka;
    QDateEdit* DTPDelka;
    QLineEdit* MEDelka2;
    QCheckBox* CBPrenos;
    QPushButton* BOK;
    QPushButton* BCancel;
    QPushButton* BHelp;
};
