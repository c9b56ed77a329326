#include "dorv_odstran.h"

#include "dorv_newk.h"

#include "components/contexthelp.h"
#include "components/kitctrls.h"
#include "components/listpictures.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "shared/contactfields.h"
#include "shared/contactfile.h"
#include "shared/datafilelock.h"

#include <QAction>
#include <QHash>
#include <QMenu>
#include <QPointer>
#include <QTreeWidget>

namespace {

constexpr int CaptionedButtonWidth = 84;

} // namespace

TFKOdstran::TFKOdstran(QWidget* parent)
    : TFKPrehled(parent)
{
    Mode = 1;
    setObjectName(QStringLiteral("FKOdstran"));
    setWindowTitle(QStringLiteral("Odstranění a obnovení smazaného kontaktu"));
    SetHelpContext(this, 1400);

    for (TKitSpeedButton* b : { BNew, BEdit, BOdstran, BImportCSV, BFormOdstran, BEmail })
        b->hide();
    // Captions beside the pictures; Alt and the marked letter click them.
    const auto button = [this](const char* name, const char* glyph, const QString& caption, const QString& hint,
                            int left, void (TFKOdstran::*click)()) {
        auto* b = new TKitSpeedButton(PIkon);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(left, 1, CaptionedButtonWidth, 33);
        b->SetGlyph(ListWindowPicture(QLatin1String(glyph), QColor(255, 0, 255)));
        b->SetLayout(blGlyphLeft);
        b->SetCaption(caption);
        b->setToolTip(hint);
        b->setStatusTip(hint);
        b->setEnabled(false);
        connect(b, &TKitSpeedButton::OnClick, this, [this, click] { (this->*click)(); });
        return b;
    };
    BObnov = button("BObnov", "BNEW", QStringLiteral("  o&bnov"),
        QStringLiteral("obnovení vymazaného vybraného kontaktu"), 2, &TFKOdstran::BObnovClick);
    BDefOdstran = button("BDefOdstran", "BVYMAZ", QStringLiteral("o&dstraň"),
        QStringLiteral("definitivně odstraní vybraný vymazaný kontakt"), 2 + CaptionedButtonWidth,
        &TFKOdstran::BDefOdstranClick);
    BExportCSV->move(2 + 2 * CaptionedButtonWidth, BExportCSV->y());

    for (QAction* item : MKontakt->actions())
        if (item->isSeparator())
            item->setVisible(false);
    for (QAction* item : { MKNew, MKEdit, MKVymaz, MKEmail, MKImportCSV, MZPanel })
        item->setVisible(false);
    MKObnov = new QAction(QStringLiteral("o&bnov"), this);
    MKObnov->setObjectName(QStringLiteral("MKObnov"));
    MKDefOdstran = new QAction(QStringLiteral("o&dstraň"), this);
    MKDefOdstran->setObjectName(QStringLiteral("MKDefOdstran"));
    MKontakt->insertActions(MKontakt->actions().value(0), { MKObnov, MKDefOdstran });
    connect(MKObnov, &QAction::triggered, this, &TFKOdstran::MKObnovClick);
    connect(MKDefOdstran, &QAction::triggered, this, &TFKOdstran::BDefOdstranClick);
    // The separator behind the toolbar item goes with it.
    const QList<QAction*> view = MZobraz->actions();
    if (view.size() > 1 && view[1]->isSeparator())
        view[1]->setVisible(false);
    DE();
    // Without the filter the list is where the user works.
    List->setFocus();
}

void TFKOdstran::DE()
{
    TFKPrehled::DE();
    // Hidden items keep no shortcut either.
    for (QAction* item : { MKNew, MKEdit, MKVymaz, MKEmail, MKImportCSV })
        item->setEnabled(false);
    DEOdstran();
}

// A form opened otherwise would wait behind this modal window until it
// closes.
void TFKOdstran::OpenCopy(int position)
{
    RunNewContactForm([position](TFKNew* form) { form->SetCopySource(position); });
}

void TFKOdstran::DEOdstran()
{
    const bool any = !List->selectedItems().isEmpty();
    BObnov->setEnabled(any);
    BDefOdstran->setEnabled(any);
    MKObnov->setEnabled(any);
    MKDefOdstran->setEnabled(any);
}

void TFKOdstran::Restore()
{
    if (List->selectedItems().isEmpty() || NumberColumnIndex(List) == 0)
        return;
    int gone = 0;
    DataFileLock lock(DataPath());
    const QList<ListedContact> listed = SelectedContacts();
    const QList<LocatedContact> located = ReadListedContacts(listed);
    for (qsizetype i = 0; i < listed.size(); ++i) {
        if (located[i].position == 0) {
            gone += listed[i].number >= 1;
            continue;
        }
        ContactRecord record = located[i].record;
        record.vymazano = false;
        record.zmena = Now();
        WriteContact(located[i].position, DataPath(), record);
        Changed = true;
    }
    lock.release();
    ReportContactsGone(gone);
    Aktualizuj();
}

void TFKOdstran::BObnovClick()
{
    const QPointer<TFKOdstran> self(this);
    Restore();
    if (self)
        done(mrCancel); // the result follows Changed
}

void TFKOdstran::MKObnovClick()
{
    Restore();
}

// The selected contacts are found in one pass over the file and removed in
// one more, which writes the file anew once: the same file as removing them
// one by one from the highest position down. Where the file cannot be locked,
// a contact that another program moved between the passes is left alone and
// reported.
void TFKOdstran::BDefOdstranClick()
{
    if (List->selectedItems().isEmpty() || NumberColumnIndex(List) == 0)
        return;
    const QList<ListedContact> listed = SelectedContacts();
    // The positions found stay the selected contacts' until the removal: no
    // other program renumbers the file meanwhile.
    DataFileLock lock(DataPath());
    const QList<int> positions = LocateListedContacts(listed);
    QHash<int, double> chosen; // position -> the stamp it must hold
    for (qsizetype i = 0; i < listed.size(); ++i)
        if (positions[i] != 0)
            chosen.insert(positions[i], listed[i].unikat);
    const int removed = RemoveContactsWhere(DataPath(), [&](int position, const ContactRecord& record) {
        const auto found = chosen.constFind(position);
        return found != chosen.constEnd() && record.unikat == *found;
    });
    lock.release();
    Changed = Changed || removed > 0;
    ReportContactsGone(int(positions.count(0) + chosen.size() - removed));
    Aktualizuj();
}

void TFKOdstran::done(int result)
{
    Q_UNUSED(result);
    TFKPrehled::done(Changed ? mrOk : mrCancel);
}
