#pragma once

#include "dorv_csvwizard.h"
#include "dorv_zaklad.h"

#include <QList>

class QGroupBox;
class QRadioButton;
class QTreeWidget;

// The CSV export ("FKExportCSV"): a header line of the chosen column names,
// then one line per contact of the chosen range with the chosen fields, in
// CP1250 with CR LF line ends. Page 1: the file, the separator and the range
// (every contact of the file, deleted ones included; the overview's rows; its
// selected rows). Page 2: the fields 1..35 with check boxes and editable
// column names, kept in "korvelk.ini" as "<code>_udaj" and "<code>_stav".
class TFKExportCSV : public TFKCsvWizard, public ContactExport {
    Q_OBJECT
public:
    explicit TFKExportCSV(QWidget* parent = nullptr);

    QGroupBox* RGRozsah;
    QRadioButton* RGRozsahItems[3];
    QTreeWidget* LSloupce;
    QPushButton* BVse;
    QPushButton* BVybrane;
    QPushButton* BVychNazev;
    QPushButton* BBExport;

    // ContactExport
    void SetRange(int item) override;
    int Range() const;

    void BNextClick() override;
    void BVseClick();
    void BVybraneClick();
    void BVychNazevClick();
    void BBExportClick();
    void CBOddelExit();

    // Whether the name (without its folder) is other than one item before a
    // single "." and "csv" after it, letter case aside.
    static bool OtherThanCsv(const QString& fileName);

    // The lines written and the overview's rows left out because the file no
    // longer holds the contact they show.
    struct Result {
        int written = 0;
        int skipped = 0;
    };
    // Writes the file for the ticked rows and the range; throws IoError, and
    // the file is then as it was.
    Result Export(const QString& path, QChar sep);

protected:
    void FormClose() override;

private:
    void LSloupceChanged(int row);
    // Where the contacts of the overview's rows (range 1) or selected rows
    // (range 2) stand in the file now, in list order; none without an
    // overview or its number column. Rows whose contact the file holds no
    // more are counted in gone.
    QList<int> OverviewPositions(int range, int& gone) const;
};
