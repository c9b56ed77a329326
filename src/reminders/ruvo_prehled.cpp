#include "ruvo_prehled.h"

#include "ruvo_eprip.h"
#include "ruvo_newprip.h"
#include "ruvo_odstran.h"
#include "ruvo_okna.h"

#include "components/kitalign.h"
#include "components/kitctrls.h"
#include "components/listpictures.h"
#include "platform/application.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "shared/commands.h"
#include "shared/datafilelock.h"
#include "shared/f_p.h"
#include "shared/jbstr.h"
#include "shared/reminderfile.h"
#include "shared/reminderlists.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTreeWidget>

namespace {

const QString Prehled = QStringLiteral("FPrehled");

// The column of a list whose caption is caption; -1 when none is.
int ColumnOf(const QTreeWidget* list, const QString& caption)
{
    const QTreeWidgetItem* header = list->headerItem();
    for (int i = 0; i < list->columnCount(); ++i)
        if (header->text(i) == caption)
            return i;
    return -1;
}

QPixmap SpeedGlyph(const QString& name)
{
    return ListWindowPicture(name, QColor(255, 0, 255));
}

} // namespace

TFPrehled::TFPrehled(QWidget* parent)
    : TFZSeznam(parent)
{
    setObjectName(Prehled);

    // After the seven buttons: the day limit above the weekday, the date
    // beside them.
    ChBOmez->setGeometry(238, 2, ChBOmez->sizeHint().width(), 17);
    LDen->setGeometry(240, 19, ChBOmez->width() - 2, 15);
    DTM->setGeometry(ChBOmez->geometry().right() + 4, 7, 92, 22);
    ChBOmez->show();
    DTM->show();
    MZAutoJenDenSep->setVisible(true);
    MZAutoJenDen->setVisible(true);
    DTM->setContextMenuPolicy(Qt::CustomContextMenu);
    LViewU->setToolTip(QStringLiteral("seznam v daný den upozorňovaných připomenutí (akcí)"));
    LViewU->setStatusTip(LViewU->toolTip());

    MPripomenuti = new QMenu(QStringLiteral("&Připomenutí"), Menu());
    MPripomenuti->setObjectName(QStringLiteral("MPripomenuti"));
    Menu()->insertMenu(MZobraz->menuAction(), MPripomenuti);

    struct Command {
        TKitSpeedButton*& button;
        QAction*& item;
        const char* buttonName;
        const char* itemName;
        QString hint;
        QString caption;
        QKeySequence key;
        const char* glyph;
        void (TFPrehled::*click)();
    };
    const Command commands[] = {
        { BNew, MPNew, "BNew", "MPNew", QStringLiteral("zadání nového připomenutí"), QStringLiteral("&nové"),
            QKeySequence(Qt::CTRL | Qt::Key_N), "BNEW", &TFPrehled::BNewClick },
        { BEdit, MPEditace, "BEdit", "MPEditace", QStringLiteral("editace vybraného připomenutí"),
            QStringLiteral("&editace"), QKeySequence(Qt::CTRL | Qt::Key_E), "BEDIT", &TFPrehled::BEditClick },
        { BVymaz, MPVymaz, "BVymaz", "MPVymaz", QStringLiteral("vymazání vybraného připomenutí"),
            QStringLiteral("&vymazání"), QKeySequence(Qt::Key_Delete), "BVYMAZ", &TFPrehled::BVymazClick },
        { BOdstran, MPOdstran, "BOdstran", "MPOdstran", QStringLiteral("odstranění vymazaných připomenutí"),
            QStringLiteral("&odstranění"), QKeySequence(Qt::CTRL | Qt::Key_Delete), "BODSTRAN",
            &TFPrehled::BOdstranClick },
        { BEIAN, MPPrenos, "BEIAN", "MPPrenos", QStringLiteral("přepnutí přenosu vybraného připomenutí"),
            QStringLiteral("ne/&přenos"), {}, "EINE", &TFPrehled::BEIANClick },
        { BExport, MPExport, "BExport", "MPExport", QStringLiteral("export připomenutí a kontaktů"),
            QStringLiteral("e&xport"), {}, "BEXPORT", &TFPrehled::BExportClick },
        { BImport, MPImport, "BImport", "MPImport", QStringLiteral("import připomenutí a kontaktů"),
            QStringLiteral("&import"), {}, "BIMPORT", &TFPrehled::BImportClick },
    };
    int x = 2;
    for (const Command& c : commands) {
        c.button = new TKitSpeedButton(PButton);
        c.button->setObjectName(QLatin1String(c.buttonName));
        c.button->setGeometry(x, 1, 33, 33);
        c.button->SetGlyph(SpeedGlyph(QLatin1String(c.glyph)));
        c.button->setToolTip(c.hint);
        c.button->setStatusTip(c.hint);
        x += 33;
        c.item = new QAction(c.caption, this);
        c.item->setObjectName(QLatin1String(c.itemName));
        c.item->setStatusTip(c.hint);
        if (!c.key.isEmpty())
            c.item->setShortcut(c.key);
        MPripomenuti->addAction(c.item);
        const auto click = c.click;
        connect(c.button, &TKitSpeedButton::OnClick, this, [this, click] { (this->*click)(); });
        connect(c.item, &QAction::triggered, this, [this, click] { (this->*click)(); });
    }
    m_transferGlyph = QStringLiteral("EINE");

    MZobrazDetail = new QAction(QStringLiteral("&detailní informace"), this);
    MZobrazDetail->setObjectName(QStringLiteral("MZobrazDetail"));
    MZobrazDetail->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    MZobrazDetail->setStatusTip(QStringLiteral("ne/zobrazí panel s detailními informacemi"));
    MZobrazDetail->setCheckable(true);
    MZobraz->addAction(MZobrazDetail);
    connect(MZobrazDetail, &QAction::triggered, this, &TFPrehled::MZobrazDetailClick);

    FormCreate();

    const bool details = IniReadBool(SettingsFile(), Prehled, QStringLiteral("PanelPlus"), true);
    MZobrazDetail->setChecked(details);
    {
        const AlignSuspension suspended(Client());
        PanelPlus->setVisible(details);
        StackBottomPanels();
    }
    if (details)
        LViewClick(LView, true);
}

TFPrehled::~TFPrehled() = default;

void TFPrehled::FormClose()
{
    RunGuarded(
        [this] { IniWriteBool(SettingsFile(), Prehled, QStringLiteral("PanelPlus"), MZobrazDetail->isChecked()); });
    TFZSeznam::FormClose();
}

void TFPrehled::MISAktClick()
{
    IniWriteInteger(SettingsFile(), Section(), QStringLiteral("vych_col"), SortColumn);
    IniWriteBool(SettingsFile(), Section(), QStringLiteral("vych_AZ"), SortAscending);
}

void TFPrehled::MISNicClick()
{
    IniWriteInteger(SettingsFile(), Section(), QStringLiteral("vych_col"), -1);
}

void TFPrehled::LViewClick(QTreeWidget* list, bool asClick)
{
    TFZSeznam::LViewClick(list, asClick);
    if (!asClick)
        return;
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    const int column = ColumnOf(list, QStringLiteral("přenos"));
    if (selected.isEmpty() || column < 0)
        return;
    SetTransferGlyph(
        SameText(selected.first()->text(column), u"ANO") ? QStringLiteral("EIANO") : QStringLiteral("EINE"));
}

void TFPrehled::SetTransferGlyph(const QString& name)
{
    if (name == m_transferGlyph)
        return;
    m_transferGlyph = name;
    BEIAN->SetGlyph(SpeedGlyph(name));
}

void TFPrehled::MZobrazDetailClick()
{
    const AlignSuspension suspended(Client());
    PanelPlus->setVisible(MZobrazDetail->isChecked());
    StackBottomPanels();
}

void TFPrehled::BNewClick()
{
    auto* form = qobject_cast<TFNewPrip*>(ReminderForms().Create(QStringLiteral("FNewPrip")));
    if (!form)
        return;
    if (DTMDate() >= DateOf(Now()))
        form->EDate->setDate(DTM->date());
    form->show();
}

void TFPrehled::BEditClick()
{
    const int32_t id = SelectedItemId(DejAktivList());
    if (id == 0)
        return;
    auto* form = new TFEditPrip;
    form->EditedRecordNumber = id;
    if (Dialogs::execModal(form) == mrOk)
        Aktualizuj();
}

void TFPrehled::BVymazClick()
{
    const int32_t id = SelectedItemId(DejAktivList());
    if (id == 0)
        return;
    ReminderRecord record;
    if (!ReadListed(id, record)) {
        // Another window renumbered the file: the list is out of date.
        Aktualizuj();
        return;
    }
    if (record.Erased)
        return;
    if (MessageDlgBeep(QStringLiteral("Opravdu vybrané připomenutí vymazat?"), MsgDlgType::Confirmation,
            MsgBtn::Yes | MsgBtn::No, 0)
        == mrNo)
        return;
    // Written as the file holds it now, when it is still the reminder asked
    // about: the answer may have taken a while.
    {
        const DataFileLock lock(DataPath());
        ReminderRecord now;
        if (ReadListed(id, now) && now.Created == record.Created) {
            now.Erased = true;
            now.LastChange = Now();
            WriteReminder(id, DataPath(), now);
        }
    }
    NotifyTray(tnClockChanged);
    Aktualizuj();
}

void TFPrehled::BOdstranClick()
{
    if (LView->topLevelItemCount() == 0)
        return;
    QPointer<TFOdstran> form = new TFOdstran;
    if (form->NothingToRemove) {
        form->close();
        return;
    }
    if (Dialogs::execModal(form) == mrOk)
        Aktualizuj();
}

void TFPrehled::BEIANClick()
{
    const int32_t id = SelectedItemId(DejAktivList());
    if (id == 0)
        return;
    {
        const DataFileLock lock(DataPath());
        ReminderRecord record;
        if (ReadListed(id, record)) {
            record.Transferable = !record.Transferable;
            record.LastChange = Now();
            WriteReminder(id, DataPath(), record);
        }
    }
    Aktualizuj();
}

void TFPrehled::BExportClick()
{
    if (LView->topLevelItemCount() == 0)
        return;
    RunExchange(QStringLiteral("FExport"));
}

void TFPrehled::BImportClick()
{
    RunExchange(QStringLiteral("FImport"));
}

void TFPrehled::RunExchange(const QString& name)
{
    QWidget* w = ReminderForms().Create(name);
    if (!w)
        return;
    auto* dialog = qobject_cast<QDialog*>(w);
    if (!dialog) {
        w->show();
        return;
    }
    if (Dialogs::execModal(dialog) == mrOk)
        Aktualizuj();
}
