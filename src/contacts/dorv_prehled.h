#pragma once

// The contact overview, which is also the deleted-contacts window.

#include "dorv_vychozi.h"
#include "dorv_zaklad.h"

#include <QList>

#include <cstdint>
#include <functional>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollArea;
class QTreeWidget;
class QUrl;
class TAMEdit;
class TKitSpeedButton;
struct ContactRecord;
struct LocatedContact;

// The contact overview ("FKPrehled"): the contacts of the file narrowed by
// seven filter inputs (name, three group levels, three field texts), sorted
// by a clicked column, in the columns the user chose; up to three merge
// panels collect the values of one field over the selected rows. From here
// the user makes, copies, edits, deletes and e-mails contacts and opens the
// deleted contacts, the column chooser and the CSV wizards.
//
// The deleted-contacts window is this class in mode 1: it sets its name and
// Mode before it is shown; it lists only deleted contacts and keeps only its
// column layout and sort in its settings section.
class TFKPrehled : public TFKVychozi, public ContactOverview {
    Q_OBJECT
public:
    explicit TFKPrehled(QWidget* parent = nullptr);
    ~TFKPrehled() override;

    // 0 overview, 1 deleted contacts.
    uint8_t Mode = 0;
    // 0-based; a stored column outside the list leaves the rows unsorted.
    int SortColumn = 1;
    bool SortAscending = true;

    QWidget* PIkon;
    TKitSpeedButton* BNew;
    TKitSpeedButton* BEdit;
    TKitSpeedButton* BOdstran;
    TKitSpeedButton* BFormOdstran;
    TKitSpeedButton* BEmail;
    TKitSpeedButton* BImportCSV;
    TKitSpeedButton* BExportCSV;
    QPushButton* BCancel;

    QWidget* PHled;
    QScrollArea* SBHled;
    QLabel* IHled;
    QGroupBox* GBJmeno;
    QLineEdit* EJmeno;
    QGroupBox* GBSkup;
    QComboBox* CBSkupina1;
    QComboBox* CBSkupina2;
    QComboBox* CBSkupina3;
    QGroupBox* GBVyb1;
    QGroupBox* GBVyb2;
    QGroupBox* GBVyb3;
    QComboBox* CBPol1;
    QComboBox* CBPol2;
    QComboBox* CBPol3;
    TAMEdit* AMEData1;
    TAMEdit* AMEData2;
    TAMEdit* AMEData3;

    QTreeWidget* List;

    QWidget* PSluc1;
    QWidget* PSluc2;
    QWidget* PSluc3;
    QComboBox* CBSluc1;
    QComboBox* CBSluc2;
    QComboBox* CBSluc3;
    TAMEdit* AMESluc1;
    TAMEdit* AMESluc2;
    TAMEdit* AMESluc3;

    QMenu* MKontakt;
    QAction* MKNew;
    QAction* MKNewKopie;
    QAction* MKEdit;
    QAction* MKVymaz;
    QAction* MKOdstran;
    QAction* MKEmail;
    QAction* MKImportCSV;
    QAction* MKExportCSV;
    QMenu* MZobraz;
    QAction* MZPanel;
    QAction* MZSluc2;
    QAction* MZSluc3;
    QAction* MZAktualizuj;
    QAction* MIPocet;
    QMenu* PMList;
    QAction* MPolozky;
    // In PMList only while exactly one row is selected.
    QAction* MKNewKopiePM;

    // ContactOverview
    void Aktualizuj() override;
    void VsechnySkupDoCombo() override;

    // A new-contact form copying the contact at position: the program's own
    // command -1 opens it once the handler has ended.
    virtual void OpenCopy(int position);

    // Reads the column layout, rebuilds the columns, reloads.
    void ZmenaSloupce();
    // Whether filter slot 1..7 has a text, and how many have.
    bool FiltrovatCislo(int slot) const;
    int Filtrovat() const;
    // Refills merge panel 1..3 from the selected rows.
    void AktualSluc(int panel);
    // Row actions are enabled while a row is selected.
    virtual void DE();

    // A listed contact: the number its row shows and its creation stamp.
    struct ListedContact {
        int number;
        double unikat;
    };
    // The rows (or the selected rows) in list order (number 0 for a row
    // without one); empty without the number column.
    QList<ListedContact> ListedContacts(bool selectedOnly) const;
    QList<ListedContact> SelectedContacts() const { return ListedContacts(true); }
    // The positions of the listed contacts now (another program may have
    // renumbered the file since the list was filled), found in one pass over
    // the file: 0 for a row without a number and for a contact the file
    // holds no more.
    QList<int> LocateListedContacts(const QList<ListedContact>& listed) const;
    // The same with their records, read in one more pass.
    QList<LocatedContact> ReadListedContacts(const QList<ListedContact>& listed) const;
    // The same for one contact: its position (0 when gone) and its record.
    int ReadListedContact(const ListedContact& listed, ContactRecord& record) const;
    // The positions of the selected contacts now; those gone are counted in
    // gone and left out.
    QList<int> SelectedPositions(int& gone) const;

    // The distinct ";"-items of the texts in their order, Czech case folded,
    // joined by ";": what a merge panel shows.
    static QString MergedItems(const QStringList& texts);

    // Whether the name text (first name, blank, surname) meets the name
    // filter: ";" separates alternatives, blanks the words each of which
    // must occur in the name, Czech case folded.
    static bool NameMatches(const QString& filter, const QString& name);
    // The mail link that opens a message to the addresses.
    static QUrl MailLink(const QString& addresses);

    void ListColumnClick(int column);
    // A click or a key in the list: enabling and the merge panels.
    virtual void ListClick();
    void CBSkupinaExit(QComboBox* combo);
    void CBPolExit(QComboBox* combo);
    void CBSlucExit(QComboBox* combo);
    void BNewClick();
    void MKNewKopieClick();
    void BEditClick();
    void BOdstranClick();
    void BFormOdstranClick();
    void BEmailClick();
    void BImportCSVClick();
    void BExportCSVClick();
    void MPolozkyClick();
    void MZPanelClick();
    void MZSlucClick(QAction* item);
    void MIPocetClick();

    void setVisible(bool visible) override;
    void done(int result) override;

protected:
    // The first showing: sort and filter settings, group boxes, columns,
    // the list.
    virtual void FormShow();
    // Saves the settings; runs once, before the base window's closing.
    virtual void FormClose();
    virtual void FormResize();

    QString PlacementFile() const;
    QString DataPath() const;
    QString Section() const;

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildToolbar();
    void BuildFilter();
    void BuildList();
    void BuildMergePanels();
    void BuildMenus();
    // Whether the record meets the active filter slots.
    int MatchingSlots(const ContactRecord& record, const QList<bool>& active) const;
    // Run run of the group boxes' filling becomes the current one; the
    // test whether it still is.
    std::function<bool()> GroupRun(int run);
    // Whether the run is still the current one at the end (a box whose text
    // names no group changes nothing and ends no run).
    bool FillGroupBoxes(int run);
    bool LeaveGroupBox(QComboBox* combo, int run);
    void StackMergePanels();
    void ReapplySort();
    QComboBox* MergeCombo(int panel) const;
    TAMEdit* MergeEdit(int panel) const;
    QWidget* MergePanel(int panel) const;
    QComboBox* GroupCombo(int level) const;
    QComboBox* FieldCombo(int box) const;
    TAMEdit* FieldEdit(int box) const;

    // Of the runs of one kind of work started one after another (each lets
    // events in), only the newest goes on: the others stop where they are,
    // and all of them stop when the window closes.
    class LatestRun {
    public:
        int start() { return m_current = ++m_started; }
        bool current(int run) const { return m_current == run; }
        void stop() { m_current = -1; }

    private:
        int m_started = 0;
        int m_current = 0;
    };
    // The window closes: no run of its work goes on.
    void StopRuns();

    LatestRun m_reloadRun;
    LatestRun m_mergeRun;
    LatestRun m_groupRun;
    int m_lastGroupLevel = 0;
    int m_recordedChoice[3] = { 0, 0, 0 };
    bool m_shown = false;
    bool m_listClickPending = false;
    bool m_closed = false;
};
