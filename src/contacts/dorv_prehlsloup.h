#pragma once

#include "dorv_vychzakl.h"
#include "dorv_zaklad.h"

class QPushButton;
class QTreeWidget;
class TKitSpeedButton;

// The column chooser ("FKPrehlSloup"): which contact fields a contact list
// shows, and in which order. The caller hands over its list and its settings
// section; OK stores the layout there ("ListSeznam") and the caller rebuilds
// its columns from it.
class TFKPrehlSloup : public TFKVychZakl, public ColumnChooser {
    Q_OBJECT
public:
    explicit TFKPrehlSloup(QWidget* parent = nullptr);

    QTreeWidget* LVyber;
    QTreeWidget* LPouz;
    TKitSpeedButton* SBPridej;
    TKitSpeedButton* SBOdeber;
    TKitSpeedButton* SBNahoru;
    TKitSpeedButton* SBDolu;
    QPushButton* BOK;
    QPushButton* BCancel;

    // ColumnChooser
    void SetListView(QTreeWidget* list, const QString& section) override;

    // The codes of the shown fields in order, ";"-joined.
    QString Layout() const;

    void SBPridejClick();
    void SBOdeberClick();
    void SBPosunClick(int delta);
    void BOKClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTreeWidget* m_list = nullptr;
    QString m_section;
    bool m_shown = false;
};
