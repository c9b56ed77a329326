#pragma once

#include "dorv_vychzakl.h"

class QComboBox;
class QLabel;
class QPushButton;
class QStackedWidget;
class TFilenameEdit;

// What the two CSV wizards share: pages moved by "< Předchozí" and
// "Další >" (no tabs), the CSV file and the one-character separator on the
// first page, and the keys "oddelovac" (default ",") and "adresar" (the file
// picker's folder) in the window's section of "korvelk.ini", read when it
// opens and written when it closes.
class TFKCsvWizard : public TFKVychZakl {
    Q_OBJECT
public:
    QStackedWidget* PageC;
    QLabel* LFileCSV;
    TFilenameEdit* FileCSV;
    QLabel* LOddel;
    QComboBox* CBOddel;
    QPushButton* BPrev;
    QPushButton* BNext;
    QPushButton* BCancel;
    QPushButton* BBHelp;

    // 1-based.
    int Page() const;
    void SetPage(int page);
    // The first character of the separator box; a null character when empty.
    QChar Oddelovac() const;
    // Warns about an unusable separator and puts the focus back in its box;
    // true for a usable one. It must not be empty, a blank, or "|" (which
    // the export writes in place of the separator inside values).
    bool CheckSeparator();

    virtual void BNextClick() = 0;
    virtual void BPrevClick();

    void done(int result) override;

protected:
    // The client area is width x height above the status bar; the first page
    // holds the file and separator boxes, the file box captioned fileLabel.
    TFKCsvWizard(
        const QString& name, const QString& caption, const QString& fileLabel, int width, int height, QWidget* parent);

    QWidget* AddPage();
    QWidget* PageWidget(int page) const;
    int PageHeight() const;
    QString Ini() const;
    QString Section() const;
    // Each button enabled on the pages it moves from.
    void EnableButtons();
    // Runs once, when the window closes.
    virtual void FormClose();

    void closeEvent(QCloseEvent* event) override;

    static constexpr int Gap = 8;

private:
    bool m_closed = false;
};
