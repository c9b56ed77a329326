#pragma once

// The new-contact form and the group-level rows it shares with the CSV import.

#include "dorv_vychozi.h"
#include "dorv_zaklad.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QMenu;
class QPushButton;
class QTextEdit;
class TAMEdit;
class TKitSpeedButton;
class TProLabel;
struct ContactRecord;

// The form in which the user enters one contact ("FKNew"), empty or copied
// from another; the CSV import shows it modal, once per line, after filling
// it through SetFieldByTag. OK appends the contact and has the overview
// reload its list and its group boxes. The edit form derives from it.
//
// Every data control carries Tag = minus the code of the contact field it
// shows; group pickers and their "<+" buttons carry their level 1..3.
class TFKNew : public TFKVychozi, public NewContactForm {
    Q_OBJECT
public:
    explicit TFKNew(QWidget* parent = nullptr);
    ~TFKNew() override;

    QWidget* PJmeno;
    QComboBox* CBTitul_pred;
    TAMEdit* AMEJmeno;
    TAMEdit* AMEPrijmeni;
    QComboBox* CBTitul_za;
    QComboBox* CBPohlavi;
    TAMEdit* AMEUlice1;
    TAMEdit* AMEPSC1;
    TAMEdit* AMEMesto1;

    QWidget* PFirma;
    QComboBox* CBFirma;
    QComboBox* CBFunkce;
    TAMEdit* AMEUlice2;
    TAMEdit* AMEPSC2;
    TAMEdit* AMEMesto2;

    QWidget* PKontakt;
    TAMEdit* AMEEmail1;
    TAMEdit* AMEEmail2;
    TAMEdit* AMEEmail3;
    TAMEdit* AMEJine;
    TAMEdit* AMETel1;
    TAMEdit* AMETel2;
    TAMEdit* AMEFax;
    TAMEdit* AMEMobil1;
    TAMEdit* AMEMobil2;
    TAMEdit* AMEMobil3;
    TAMEdit* AMEICQ;

    QWidget* PWww;
    TAMEdit* AMEWWW1;
    TAMEdit* AMEWWW2;

    QWidget* PSkupina;
    TAMEdit* AMESkupina1;
    TAMEdit* AMESkupina2;
    TAMEdit* AMESkupina3;
    QComboBox* CBSkupina1;
    QComboBox* CBSkupina2;
    QComboBox* CBSkupina3;
    TKitSpeedButton* SBSkupina1;
    TKitSpeedButton* SBSkupina2;
    TKitSpeedButton* SBSkupina3;
    TProLabel* LSkupina;

    QWidget* PButton;
    QPushButton* BOK;
    QPushButton* BCancel;
    QCheckBox* ChBPrenos;
    QCheckBox* ChBTajne;
    QTextEdit* MPopis;

    QMenu* MVychozi;
    QMenu* MPrenos;
    QAction* MPrenosInfo;
    QMenu* MTajne;
    QAction* MTajneInfo;
    QMenu* MMoznosti;
    QAction* MFiltrSkupin;

    // The contact the form starts with (0: an empty form); set before it is
    // shown.
    int CopySource = 0;
    // 0 man, 1 woman; -1 in the edit form of several contacts that differ.
    int Gender = 0;
    bool Saved = false;
    // The gender box accepts "*" (the edit form of several contacts whose
    // genders differ).
    bool GenderMayDiffer = false;
    // Group pickers narrow one another as one is chosen.
    bool FiltrSkupin = false;

    // NewContactForm
    void SetCopySource(int number) override { CopySource = number; }

    // The record's fields in the controls; phones in blocks of three.
    void ZapisZazDoForm(const ContactRecord& record);
    // The three group pickers with the groups of the file.
    void NactiSkupiny();
    // The "nastaveno na:" item for a default kept under key.
    void InfoOVychBool(const QString& key, QAction* item, bool def);

    // The data controls of a field code, in form order.
    QList<QWidget*> FieldControls(int code) const;
    QComboBox* GroupPicker(int level) const;
    TAMEdit* GroupList(int level) const;

    virtual void BOKClick();
    void BCancelClick();
    // "<+" (or Enter in the picker): the picker's group joins the level's list.
    void SBSkupinaClick(int level);
    void CBSkupinaExit(int level);
    void CBPohlaviExit();
    void MFiltrSkupinClick();

    void done(int result) override;

protected:
    // The texts and flags of the controls as a record stores them; phones
    // cleaned to what a number holds. Numbers and stamps are left alone.
    void ControlsToRecord(ContactRecord& record) const;
    // The first showing: value lists, group pickers and the copied contact.
    virtual void FormShow();
    // Runs once, when a close is accepted.
    virtual void FormClose();
    QString PlacementFile() const;
    QString DataPath() const;
    // Whether the form may close: a saved form may; else the user is asked.
    bool AcceptClose();

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();

    // The data controls by field code, in form order.
    QHash<int, QList<QWidget*>> m_fieldControls;
    bool m_shown = false;
    bool m_closeAccepted = false;
    int m_resizeDepth = 0;
};

// Gives the text, without double quotes, to every control of the form whose
// Tag is -code and which is exactly an aligned edit, a combo box or the memo.
// The gender control (code 5) takes only "žena" (in any case), which also
// sets the gender; code 0 changes nothing.
void SetFieldByTag(TFKNew* form, int code, const QString& text);

// A new-contact form of the program, prepared by fill and shown modal;
// returns its result (mrOk when the user saved the contact).
int RunNewContactForm(const std::function<void(TFKNew* form)>& fill);

// "<+" of a group level: the picker's group joins the level's ";"-list
// unless it is empty or the list holds it already (letter case aside).
void AddPickedGroup(const QComboBox* picker, TAMEdit* list);

// The controls of one group level on parent: the label "úroveň n:", the
// level's list AMESkupina<n> (Tag minus the field code), its "<+" button
// SBSkupina<n> and the group picker CBSkupina<n> (both Tag n), in one row
// at y, in the given columns; the label 3 pixels lower.
struct GroupLevelControls {
    TAMEdit* list;
    TKitSpeedButton* add;
    QComboBox* picker;
};
struct GroupLevelColumns {
    int labelX, labelWidth, labelHeight, listX, listWidth, addX, addWidth, pickerX, pickerWidth, height;
};
GroupLevelControls MakeGroupLevel(QWidget* parent, int level, int y, const GroupLevelColumns& columns);
