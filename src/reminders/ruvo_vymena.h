#pragma once

// The common base of the export and import windows: the automatic run once
// the window shows and the guard against closing during a run.

#include "ruvo_vychozi_zakl.h"

#include <QPoint>
#include <QScopeGuard>
#include <QRect>
#include <QScopedValueRollback>
#include <QStringList>

#include <functional>

class IoError;
class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QWidget;
class TBaseWindow;
class TDirectoryEdit;

// What the export and import windows share: the look of their controls, the
// exchange folder they start with, the conversion of old home data before a
// reminder pass, and the report of a failed file operation.

// The base of both windows: in automatic mode the run starts by itself
// (TAuto) once the window first shows, and the window does not close while
// a run is in progress.
class TExchangeWindow : public TFVychoziZakl {
    Q_OBJECT
public:
    explicit TExchangeWindow(QWidget* parent = nullptr);

    QTimer* TAuto;
    // Set by the command hub before the window is shown.
    bool AutoMode = false;

    // Once, when the window first shows.
    virtual void FormShow() = 0;
    virtual void TAutoTimer() = 0;

    void done(int result) override;

protected:
    // Marks a run in progress for as long as the returned value lives.
    [[nodiscard]] QScopedValueRollback<bool> Running() { return QScopedValueRollback<bool>(m_running, true); }
    // The result the window closes with, once no run holds it open.
    virtual int Finished(int result) = 0;

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool m_running = false;
    bool m_shown = false;
};

// Rows of the two windows, in client coordinates.
namespace ExchangeLayoutRows {
constexpr int ClientWidth = 472;
constexpr int TopRow = 4; // the two check boxes, or the progress in their place
constexpr int GroupTop = 26;
constexpr int GroupRow = 22; // height of one row of a group
constexpr int GroupFirstRow = 18; // the first row's offset inside a group
} // namespace ExchangeLayoutRows

// A check box with its caption, hint (tool tip and status tip) and state.
QCheckBox* ExchangeCheckBox(
    QWidget* parent, const char* name, const QString& caption, const QString& hint, bool checked, QPoint at);
// The two groups "Připomenutí" and "Kontakty", side by side, one row per caption,
// with the rows' captions to their left; group boxes named GBPrip, GBKont.
void ExchangeGroups(QWidget* parent, const QStringList& rowCaptions, QGroupBox*& reminders, QGroupBox*& contacts);
// A row's "ano/ne" check box in a group.
QCheckBox* ExchangeRowBox(QGroupBox* group, const char* name, int row, const QString& hint, bool checked);
// A pass's label and progress bar, width wide from at, in place of its check
// box; hidden.
void ExchangeProgressRow(QWidget* parent, const char* labelName, const QString& caption, const char* barName,
    QPoint at, int width, QLabel*& label, QProgressBar*& bar);
// A pass shows its progress in place of its check box, the bar running from
// 0 to count; the check box comes back when the returned guard goes, however
// the pass ends.
[[nodiscard]] QScopeGuard<std::function<void()>> ShowPass(
    QWidget* window, QCheckBox* box, QLabel* label, QProgressBar* bar, int count);
// The "Adresář:" row with its directory edit "Dir", holding storedFolder.
TDirectoryEdit* ExchangeDirEdit(QWidget* parent, const QString& hint, int top, const QString& storedFolder);
// OK, cancel and help buttons in a row; cancel closes the window with
// mrCancel, help starts the window's context help.
void ExchangeButtons(TBaseWindow* window, QWidget* parent, int top, const QString& okHint, const QString& cancelHint,
    QPushButton*& ok, QPushButton*& cancel, QPushButton*& help);

// [Nastav] "expimpdir" as stored (default the program folder): the text the
// windows' folder edit starts with.
QString StoredExchangeFolderText();

// Tray code 4, then a moment for the tray resident to finish a tick it has
// begun before it sees the pause.
void PauseTray();

// The home reminder file in this program's layout before a pass works on
// it: a file of the previous layout is converted first, by the conversion
// window, which posts no tray codes of its own (the pass frames it), and
// this waits until that window is gone. False when the file is of a newer
// version (the program is ending) or could not be converted.
bool ReminderFileReady();

// The user learns that action ("Export", "Import") failed on a file, why,
// and that the data that was there is kept.
void ShowExchangeFailure(const QString& action, const IoError& error);
