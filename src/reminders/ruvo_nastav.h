#pragma once

// The settings window, with its hotkey fields and sound-file list.

#include "ruvo_vychozi_zakl.h"

#include <QKeyCombination>
#include <QLineEdit>
#include <QListWidget>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TDirTree;
class TDirectoryEdit;

// A field that takes a key combination: the combination pressed in it
// becomes its shortcut, shown as the settings file writes it ("Ctrl+Alt+N"),
// even when it is a shortcut of the window; Backspace alone clears it; Tab
// moves on and Escape closes the window, as elsewhere. A combination that is
// no system-wide hotkey (a plain letter, Shift+A) is refused: the field keeps
// what it had.
class THotKey : public QLineEdit {
    Q_OBJECT
public:
    explicit THotKey(QWidget* parent = nullptr);

    // No key: toCombined() == 0.
    QKeyCombination HotKey() const { return m_hotKey; }
    void SetHotKey(QKeyCombination hotKey);

signals:
    void HotKeyChanged();
    void HotKeyRefused(QKeyCombination refused);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QKeyCombination m_hotKey;
};

// The files of one folder whose names match a mask, sorted by name; hidden
// files are not shown. A folder that cannot be read shows nothing.
class TFileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TFileListBox(QWidget* parent = nullptr);

    QString Directory() const { return m_directory; }
    void SetDirectory(const QString& directory);
    // "*.wav": letter case does not matter.
    QString Mask() const { return m_mask; }
    void SetMask(const QString& mask);
    // Reads the folder again.
    void Update();

private:
    QString m_directory;
    QString m_mask = QStringLiteral("*.*");
};

// Copies the data files "korvel.da1" and "korvel.db1" (those that exist) from
// one folder to another, both or neither, without ever losing them: each is
// copied beside its new name, renamed once complete and on disk, and read
// back; a file of that name already in the new folder is never overwritten.
// Returns the names copied. On failure the copies made are removed, the old
// folder is untouched, and IoError says why. The old files are removed by
// the caller once the new folder is in use (RemoveOldDataFiles).
QStringList CopyDataFiles(const QString& fromFolder, const QString& toFolder);
// Removes the data files from the old folder and moves the backups
// "korvel.bak" and "kkorvel.bak" along (checked the same way) where the new
// folder has none.
void RemoveOldDataFiles(const QString& fromFolder, const QString& toFolder);

// The settings window ("FNastav"): the sound folders, the exchange folder and
// automatic exchange, the reminder repeat period, the overview's day-limit
// switching, the tray animation, taskbar buttons, the database folder, the
// six global hotkeys and the spoken clock, all in "korvel.ini". OK saves
// everything, moves the data files when the database folder changed, and
// tells the tray resident to re-read its settings (6) and re-plan its
// clock (3); Cancel saves nothing.
class TFNastav : public TFVychoziZakl {
    Q_OBJECT
public:
    explicit TFNastav(QWidget* parent = nullptr);

    // [Nastav] adrdatabaze as it was when the window was made.
    QString OldDataFolder;

    QTabWidget* PC;

    TDirTree* DirTree;
    TFileListBox* FileLB;
    QTreeWidget* LVAdr;
    QPushButton* BPlus;
    QPushButton* BPryc;
    QPushButton* BNahoru;
    QPushButton* BDolu;

    TDirectoryEdit* Dir;
    QCheckBox* ChBAuto;
    QCheckBox* ChBKAuto;
    QCheckBox* ChBImpDel;
    QCheckBox* ChBPrehled;
    QCheckBox* ChBExpDel;
    QCheckBox* ChBExpZmen;
    QCheckBox* ChBKImpDel;
    QCheckBox* ChBKPrehled;
    QCheckBox* ChBKExpDel;
    QCheckBox* ChBKExpZmen;
    QCheckBox* ChBExpZal;

    // Tag 0: minutes; Tag 1: seconds.
    QSlider* TBPripOpak;
    QLineEdit* EPripOpak;
    QSlider* TAutoOmez;
    QLineEdit* EAutoOmez;
    QCheckBox* ChBAnim;
    QCheckBox* ChBZobrIconForm;
    TDirectoryEdit* DEDatabaze;

    THotKey* NKNew;
    THotKey* HKPrehled;
    THotKey* HKAktCas;
    THotKey* HKNewK;
    THotKey* HKPrehledK;
    THotKey* HKKalendar;
    // Says why a combination is refused as a hotkey; empty otherwise.
    QLabel* LHotKeyHint;

    // The clock tab's buttons "AnoNe00" .. "AnoNe45" and check boxes "Gong00",
    // "Slova00" .. are found by name.
    QGroupBox* RCyklus;
    QCheckBox* SlovaAC;

    QPushButton* BOK;
    QPushButton* BCancel;
    QPushButton* BBHelp;

    // The radio group's chosen item: 0 "12 hodin", 1 "24 hodin".
    int RCyklusIndex() const;
    void SetRCyklusIndex(int index);

    void HodinyDleIni();
    void HodinyDoIni();
    // edit := value + " min." (kind 1) or value + " sec." (kind 2).
    static void InfopripOpak(int value, int kind, QLineEdit* edit);
    // A clock button's state: glyph, hint and Tag.
    static void SetAnoNe(QToolButton* button, bool on);

    void TrackBarChange(QSlider* trackBar);
    void AnoNeClick(QToolButton* button);
    void BPlusClick();
    void BPrycClick();
    void BNahoruClick();
    void BDoluClick();
    void LVAdrClick(QTreeWidgetItem* item);
    void DirTreeChange(QTreeWidgetItem* node);
    void BOKClick();
    void BBHelpClick();

private:
    QString SettingsFile() const;
    void BuildControls();
    QWidget* BuildFoldersTab();
    QWidget* BuildExchangeTab();
    QWidget* BuildSettingsTab();
    QWidget* BuildHotkeysTab();
    QWidget* BuildClockTab();
    void ShowHotKeyHint(QKeyCombination refused);
    void LoadSettings();
    // Everything but the database folder; throws IniWriteError.
    void SaveSettings();
    // The data files to the folder in DEDatabaze; a refusal is explained to
    // the user.
    void MoveDatabases();

    QButtonGroup* m_cyklus;
};
