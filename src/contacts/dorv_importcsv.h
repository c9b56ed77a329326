#pragma once

// The contacts' CSV import wizard.

#include "dorv_csvwizard.h"

#include "shared/contactcsv.h"

#include <QList>

#include <functional>

class QLabel;
class QListWidget;
class QTreeWidget;
class TAMEdit;
class TKitSpeedButton;
class TProLabel;

// The CSV import ("FKImportCSV"): the user picks the file and the separator
// (page 1), assigns the file's columns to contact fields (page 2) and sets
// default values (page 3); then every line of the file is shown in a filled
// new-contact form, modal, and only what the user saves there is stored.
class TFKImportCSV : public TFKCsvWizard {
    Q_OBJECT
public:
    explicit TFKImportCSV(QWidget* parent = nullptr);

    // Page 2.
    QListWidget* LBCSV;
    QTreeWidget* LSloupce;
    TKitSpeedButton* SBPrirad; // "<"
    TKitSpeedButton* SBZrus; // "X"
    // Page 3: default values, Tag = minus the field code.
    QLabel* LVychozi;
    TAMEdit* AMEUlice1;
    TAMEdit* AMEPSC1;
    TAMEdit* AMEMesto1;
    TAMEdit* AMEUlice2;
    TAMEdit* AMEPSC2;
    TAMEdit* AMEMesto2;
    QComboBox* CBFirma;
    QComboBox* CBFunkce;
    TAMEdit* AMESkupina1;
    TAMEdit* AMESkupina2;
    TAMEdit* AMESkupina3;
    // Group pickers and their "<+" buttons, Tag = the level.
    QComboBox* CBSkupina1;
    QComboBox* CBSkupina2;
    QComboBox* CBSkupina3;
    TKitSpeedButton* SBSkupina1;
    TKitSpeedButton* SBSkupina2;
    TKitSpeedButton* SBSkupina3;
    TProLabel* LSkupina;
    QPushButton* BBImport;

    // The text of the page-3 control of the field; empty for none.
    QString DejVychHodnotu(int code) const;
    // The rows of LSloupce: field code and assigned column, in list order.
    QList<CsvAssignment> Assignments() const;

    void BNextClick() override;
    void BPrevClick() override;
    void SBPriradClick();
    void SBZrusClick();
    void SBSkupinaClick(int level);
    // The lines of the file read on page 1, each in a form to confirm.
    void BBImportClick();

    // Shows one contact for confirmation; true when the user saved it.
    using Confirmation = std::function<bool(const QList<CsvValue>& values)>;
    // The lines of the table, one confirmation each. After the first
    // cancelled contact and then after every tenth the user is asked whether
    // to end the import. Returns the number of contacts saved.
    int ImportLines(const CsvTable& table, const Confirmation& confirm);
    // A new-contact form filled with the values, shown modal.
    static bool ConfirmInForm(const QList<CsvValue>& values);

private:
    QComboBox* GroupPicker(int level) const;
    TAMEdit* GroupList(int level) const;

    // The file as "Další >" read it from page 1, with its separator; the
    // import goes through the same lines without reading the file again.
    CsvTable m_table;
};
