#pragma once

#include "dorv_newk.h"

#include "shared/contactrecord.h"

#include <QList>
#include <QString>

// How the edit form of several contacts shows and stores their fields. A
// "*" shown in a field says that the contacts differ there; texts compare
// with Czech case folding.

// The shown text after one more contact's value: kept while it equals the
// value, else "*".
QString MergeShownText(const QString& shown, const QString& value);
// The shown group list after one more contact's list: the groups both hold,
// in the value's order, "*" in front when the lists differ; "*" alone when
// they have no group in common.
QString MergeShownGroups(const QString& shown, const QString& value);
// A box turns grayed (and stays so) when a contact's flag differs from it.
Qt::CheckState MergeShownFlag(Qt::CheckState state, bool value);
// What one contact stores of a text field: its own value while the field
// shows what it showed (snapshot); "*x" appends x to each contact's value;
// any other text replaces it.
QString MergeSavedText(const QString& stored, const QString& form, const QString& snapshot);
// What one contact stores of a group list: its own while the list is
// unchanged; with a leading "*" its own list less the shown groups the user
// removed, plus the groups added; without, the form's list.
QString MergeSavedGroups(const QString& stored, const QString& form, const QString& snapshot);

// The form in which the user edits one contact, or several at once
// ("FKEdit"). It is counted in the main form's open edit forms from its
// making until its close is accepted. A save writes each contact where it
// stands when it is saved: one that another program removed meanwhile is
// reported and not written, and no other contact is ever written over.
class TFKEdit : public TFKNew, public ContactEditForm {
    Q_OBJECT
public:
    explicit TFKEdit(QWidget* parent = nullptr);
    ~TFKEdit() override;

    // One contact by its number, or several by a ";"-list of numbers; set
    // before the form is shown.
    int RecordNumber = 0;
    bool Multi = false;
    QString NumberList;
    // The edited contact's creation stamp: the key it is found again by.
    double Unikat = 0;
    // The form's record right after the contacts were shown (several only).
    ContactRecord Snapshot;

    // ContactEditForm
    void SetRecordNumber(int number) override;
    void SetMultiEdit(const QString& numbers) override;

    // The record the form holds; phones cleaned in their edits as well.
    void NactiNovaDataZaz(ContactRecord& record);

    void BOKClick() override;

protected:
    void FormShow() override;
    void FormClose() override;

private:
    // Each contact shown after the first merged into the controls.
    void MergeIntoForm(const ContactRecord& record);
    // The stored contact with the form's changes (several contacts).
    ContactRecord MergedRecord(const ContactRecord& stored, const ContactRecord& form) const;
    void Counted(bool counted);

    struct Edited {
        int number;
        double unikat;
    };
    QList<Edited> m_edited;
    bool m_counted = false;
};
