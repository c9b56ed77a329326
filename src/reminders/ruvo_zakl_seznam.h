#pragma once

// The base of the reminder list windows: the reminder file as a report list,
// optionally for one day, kept current by a timer.

#include "ruvo_vychozi.h"
#include "ruvo_zaklad.h"

#include <cstdint>

class QAction;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTextEdit;
class QTimer;
class QTreeWidget;
class TKitSplitter;
struct ReminderRecord;

// The base list window of the reminders program: the reminder file as a
// report list, optionally limited to one day with a second list of the
// reminders that warn on that day, kept current by a timer, its sort order,
// font size and layout remembered in the window's section of "korvel.ini".
//
// A derived window builds on the controls made here, sets its name (the
// settings section) and ErasedOnly when it lists erased reminders only, and
// ends its constructor with FormCreate,
// which reads the settings and fills the lists (and may start the conversion
// of an old data file first).
class TFZSeznam : public TFVychozi, public ReminderOverview {
    Q_OBJECT
public:
    ~TFZSeznam() override;

    // The sort column of a list is kept in a byte: -1 ("no sort") reads
    // back as 255, and every value outside 1 .. columns - 1 leaves the rows
    // in file order on a refresh.
    static constexpr uint8_t NoSort = 255;

    // List only erased reminders; set before FormCreate.
    bool ErasedOnly = false;
    uint8_t SortColumn = 1;
    bool SortAscending = true;
    uint8_t SortColumnU = 1;
    bool SortAscendingU = true;
    // The list clicked last: 1 LView, 2 LViewU.
    int32_t ActiveList = 1;

    QWidget* PButton;
    QPushButton* BCancel;
    QCheckBox* ChBOmez;
    QDateEdit* DTM;
    QLabel* LDen;
    QWidget* ScrollBox1;
    QTreeWidget* LView;
    TKitSplitter* RSOddel;
    QWidget* PUpozor;
    QLabel* LUpozor;
    QTreeWidget* LViewU;
    QWidget* PInfo;
    QLineEdit* EInfoCasPred;
    QLineEdit* EInfoCasProsle;
    QWidget* PanelPlus;
    QLineEdit* EInfoDelka;
    QLineEdit* EInfoZapis;
    QTextEdit* MInfoPopis;
    QTimer* Timer1;
    QTimer* TPrepOmez;

    QMenu* MZobraz;
    QAction* MZFontV;
    QAction* MZFontM;
    QAction* MZAutoJenDenSep;
    QAction* MZAutoJenDen;
    QAction* MZobrazObnov;
    QMenu* MZVychTrid;
    QAction* MISAkt;
    QAction* MISNic;
    // Keys only, never shown.
    QMenu* PMenu;
    QAction* MCancel;
    QAction* MOmez;
    QAction* MDalsi;
    QAction* MPredch;
    QMenu* PMenuDatum;
    QAction* MDNejblizsiDalsi;
    QAction* MDNejblizsiPredch;
    QAction* MDDnes;
    QAction* MDZitra;

    // Refills both lists, keeping the selection and the sort, and arms the
    // refresh for the next moment a row changes (at most a minute ahead).
    // An empty reminder file closes the window.
    void Aktualizuj() override;
    // Refills the list of reminders that warn on DTM's day.
    void AktualizujU();
    QTreeWidget* DejAktivList() const;
    // Fills the information panels for the reminder with that ID (0: empties
    // them); tag 0 is the main list, 1 the warned list.
    void InfoOCase(int32_t id, int tag);
    // Restarts the countdown of the automatic day-limit switching.
    void OdpocetAutPrepNaDenOdZac();

    // column -1: no column (nothing sorted, every header without an arrow).
    void ColumnClick(QTreeWidget* list, int column);
    // The header picture a list's column shows: "ARROWDOWN" (ascending),
    // "ARROWUP" or "NOARROW".
    static QString HeaderBitmap(const QTreeWidget* list, int column);
    // A click, or a key, in one of the lists.
    virtual void LViewClick(QTreeWidget* list, bool byMouse);
    void ChBOmezClick();
    void DTMChange();
    // DTM's day, midnight.
    double DTMDate() const;
    void SetDTMDate(double date);
    void MZFontClick(int tag);
    void MZAutoJenDenClick();
    void MDalsiClick(int tag);
    void MDNejblizsiClick(int tag);
    void MDDnesClick(int tag);
    virtual void MISAktClick();
    virtual void MISNicClick();
    virtual void BCancelClick();
    void TPrepOmezTimer();
    void Timer1Timer();

    void done(int result) override;

protected:
    explicit TFZSeznam(QWidget* parent = nullptr);

    // The window's creation: the base window's, the settings, the data
    // version check, the first filling.
    void FormCreate();
    // Saves the window's settings and stops its timers; runs once, before
    // the base window's closing. A modal result set here is the one the
    // window closes with.
    virtual void FormClose();
    virtual void FormResize();
    // Puts the bottom panels in their order from the bottom edge: status
    // bar, details, information, warned list, splitter. Hidden ones take no
    // room but get their place for when they are shown.
    void StackBottomPanels();

    QString SettingsFile() const;
    QString DataPath() const;
    QString Section() const;
    // The record at position id, when the file still holds it there; false
    // when the list is out of date (the file was renumbered or emptied).
    bool ReadListed(int32_t id, ReminderRecord& record) const;

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void ReapplySort(QTreeWidget* list);
    void InfoOVybrane();
    void ClearInfo();
    void ShowInfo(const ReminderRecord& r);
    void PUpozorResize();
    void RSOddelMoved();
    void SetTPrepOmezInterval(int seconds);
    void WaitForConversion();

    bool m_created = false;
    bool m_closed = false;
};
