#include "dorv_edit.h"

#include "components/amedit.h"
#include "components/contexthelp.h"
#include "platform/application.h"
#include "platform/commandchannel.h"
#include "platform/datetime.h"
#include "shared/commands.h"
#include "shared/contactfields.h"
#include "shared/contactfile.h"
#include "shared/datafilelock.h"
#include "shared/f_p.h"
#include "shared/itemlist.h"
#include "shared/jbstr.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>

namespace {

const QString Star = QStringLiteral("*");

bool SameFolded(const QString& a, const QString& b)
{
    return CzechLowerCase(a) == CzechLowerCase(b);
}

bool IsGroupList(int code)
{
    return code >= 6 && code <= 8;
}

bool IsPhoneCode(int code)
{
    return code >= 15 && code <= 20;
}

QStringList Groups(const QString& list)
{
    QStringList groups;
    const int n = ItemCount(list, u';');
    for (int i = 1; i <= n; ++i)
        if (const QString g = ExtractItem(list, u';', i); !g.isEmpty())
            groups << g;
    return groups;
}

QString Description(const ContactRecord& r)
{
    return JoinMemoPieces({ r.popis1, r.popis2, r.popis3, r.popis4 });
}

void SetDescription(ContactRecord& r, const QString& text)
{
    r.popis1 = MemoPiece(1, text);
    r.popis2 = MemoPiece(2, text);
    r.popis3 = MemoPiece(3, text);
    r.popis4 = MemoPiece(4, text);
}

} // namespace

QString MergeShownText(const QString& shown, const QString& value)
{
    return shown != Star && SameFolded(shown, StripStar(value)) ? shown : Star;
}

QString MergeShownGroups(const QString& shown, const QString& value)
{
    if (shown.isEmpty() && value.isEmpty())
        return {};
    if (shown == Star)
        return Star;
    const QString shownList = StripStar(shown);
    // The shown spelling, in the value's order.
    QStringList common;
    const QStringList shownGroups = Groups(shownList);
    for (const QString& g : Groups(value))
        for (const QString& s : shownGroups)
            if (SameFolded(s, g) && !common.contains(s)) {
                common << s;
                break;
            }
    if (common.isEmpty())
        return Star;
    bool differ = shown.startsWith(Star);
    for (const QString& g : shownGroups)
        differ = differ || !ListHasItem(value, g, u';');
    for (const QString& g : Groups(value))
        differ = differ || !ListHasItem(shownList, g, u';');
    return (differ ? Star : QString()) + common.join(u';');
}

Qt::CheckState MergeShownFlag(Qt::CheckState state, bool value)
{
    if (state == Qt::PartiallyChecked || value != (state == Qt::Checked))
        return Qt::PartiallyChecked;
    return state;
}

QString MergeSavedText(const QString& stored, const QString& form, const QString& snapshot)
{
    if (SameFolded(form, snapshot))
        return stored;
    if (!snapshot.isEmpty() && form.startsWith(Star))
        return stored + form.mid(1);
    return StripStar(form);
}

QString MergeSavedGroups(const QString& stored, const QString& form, const QString& snapshot)
{
    if (SameFolded(form, snapshot))
        return stored;
    if (snapshot.isEmpty() || !form.startsWith(Star))
        return StripStar(form);
    const QString formList = StripStar(form);
    QString result = stored;
    for (const QString& g : Groups(StripStar(snapshot)))
        if (!ListHasItem(formList, g, u';'))
            result = RemoveListItem(result, g, u';');
    for (const QString& g : Groups(formList))
        if (!ListHasItem(result, g, u';'))
            result = result.isEmpty() ? g : result + u';' + g;
    return result;
}

TFKEdit::TFKEdit(QWidget* parent)
    : TFKNew(parent)
{
    setObjectName(QStringLiteral("FKEdit"));
    setWindowTitle(QStringLiteral("Editace kontaktu"));
    SetHelpContext(this, 1200);
    PlacementSection = QStringLiteral("FKEdit");
    BOK->setToolTip(QStringLiteral("zapíše změny do databáze"));
    BOK->setStatusTip(BOK->toolTip());
    Counted(true);
}

// A form freed without a close (the program ending) counts no longer either.
TFKEdit::~TFKEdit()
{
    Counted(false);
}

void TFKEdit::Counted(bool counted)
{
    if (counted == m_counted || !FKZaklad())
        return;
    m_counted = counted;
    if (counted)
        FKZaklad()->EditFormOpened();
    else
        FKZaklad()->EditFormClosed();
}

void TFKEdit::SetRecordNumber(int number)
{
    RecordNumber = number;
    Multi = false;
}

void TFKEdit::SetMultiEdit(const QString& numbers)
{
    NumberList = numbers;
    Multi = true;
}

void TFKEdit::FormClose()
{
    TFKNew::FormClose();
    Counted(false);
}

// The contacts are read before the value lists are filled, which processes
// events: what is shown is what the numbers named when the form was asked
// for. Several are read in one pass, and a number the file no longer holds
// names none of them; one is read at its number clamped to the file.
void TFKEdit::FormShow()
{
    QList<ContactRecord> records;
    if (Multi) {
        QList<int> positions;
        for (const QString& n : NumberList.split(u';'))
            if (const int position = n.toInt(); position != 0)
                positions << position;
        const QHash<int, ContactRecord> read = ReadContactsAt(DataPath(), positions);
        for (int position : positions)
            if (const auto found = read.constFind(position); found != read.constEnd()) {
                records << *found;
                m_edited << Edited { position, found->unikat };
            }
    } else if (RecordNumber != 0) {
        int position = RecordNumber;
        ContactRecord r;
        ReadContact(position, DataPath(), r);
        records << r;
        m_edited << Edited { position, r.unikat };
    }
    const QPointer<TFKEdit> self(this);
    TFKNew::FormShow();
    if (!self || records.isEmpty())
        return;
    RecordNumber = m_edited.first().number;
    Unikat = m_edited.first().unikat;
    ZapisZazDoForm(records.first());
    if (!Multi)
        return;
    for (QCheckBox* box : { ChBPrenos, ChBTajne })
        box->setTristate(true);
    for (qsizetype i = 1; i < records.size(); ++i)
        MergeIntoForm(records[i]);
    NactiNovaDataZaz(Snapshot);
}

void TFKEdit::MergeIntoForm(const ContactRecord& r)
{
    for (const ContactTextField& f : ContactTextFields()) {
        const QString& value = r.*f.member;
        for (QWidget* w : FieldControls(f.code)) {
            if (auto* list = qobject_cast<TAMEdit*>(w); list && IsGroupList(f.code))
                list->setText(MergeShownGroups(list->text(), value));
            else if (auto* edit = qobject_cast<QLineEdit*>(w))
                edit->setText(MergeShownText(edit->text(), IsPhoneCode(f.code) ? GroupBy3(value) : value));
            else if (auto* combo = qobject_cast<QComboBox*>(w))
                combo->setEditText(MergeShownText(combo->currentText(), value));
        }
    }
    MPopis->setPlainText(MergeShownText(MPopis->toPlainText(), Description(r)));
    CBPohlavi->setEditText(MergeShownText(CBPohlavi->currentText(), GenderText(r.pohlavi)));
    if (CBPohlavi->currentText() == Star) {
        Gender = -1;
        GenderMayDiffer = true;
    }
    ChBPrenos->setCheckState(MergeShownFlag(ChBPrenos->checkState(), r.prenos));
    ChBTajne->setCheckState(MergeShownFlag(ChBTajne->checkState(), r.tajne));
}

void TFKEdit::NactiNovaDataZaz(ContactRecord& r)
{
    for (int code = 15; code <= 20; ++code)
        for (QWidget* w : FieldControls(code))
            if (auto* edit = qobject_cast<QLineEdit*>(w))
                edit->setText(CleanPhoneNumber(edit->text()));
    ControlsToRecord(r);
    r.cislo = RecordNumber;
    r.verze = DataVersion;
    r.unikat = Unikat;
    r.zmena = Now();
}

ContactRecord TFKEdit::MergedRecord(const ContactRecord& stored, const ContactRecord& form) const
{
    ContactRecord r = stored;
    for (const ContactTextField& f : ContactTextFields()) {
        if (FieldControls(f.code).isEmpty())
            continue; // the description's pieces, merged whole below
        r.*f.member = IsGroupList(f.code) ? MergeSavedGroups(stored.*f.member, form.*f.member, Snapshot.*f.member)
                                          : MergeSavedText(stored.*f.member, form.*f.member, Snapshot.*f.member);
    }
    SetDescription(r, MergeSavedText(Description(stored), Description(form), Description(Snapshot)));
    if (CBPohlavi->currentText() != Star)
        r.pohlavi = Gender;
    if (ChBPrenos->checkState() != Qt::PartiallyChecked)
        r.prenos = ChBPrenos->isChecked();
    if (ChBTajne->checkState() != Qt::PartiallyChecked)
        r.tajne = ChBTajne->isChecked();
    r.verze = DataVersion;
    r.zmena = form.zmena;
    return r;
}

void TFKEdit::BOKClick()
{
    RunGuarded([this] {
        ContactRecord form;
        NactiNovaDataZaz(form);
        // Another program may have renumbered the file since the form
        // opened: each contact is written where its stamp stands now, found
        // and read with the others in one pass each, and no other program's
        // change falls in between.
        QList<std::pair<int, double>> edited;
        for (const Edited& e : m_edited)
            edited.append({ e.number, e.unikat });
        int gone = 0;
        DataFileLock lock(DataPath());
        for (const LocatedContact& stored : ReadLocatedContacts(DataPath(), edited)) {
            const int position = stored.position;
            if (position == 0) {
                ++gone;
                continue;
            }
            if (!Multi) {
                form.cislo = RecordNumber = position;
                WriteContact(position, DataPath(), form);
                continue;
            }
            ContactRecord r = MergedRecord(stored.record, form);
            r.cislo = position;
            WriteContact(position, DataPath(), r);
        }
        lock.release();
        ReportContactsGone(gone);
        if (!Multi && gone > 0)
            return; // the form stays open with what the user typed
        CommandChannel::own().postToSelf(dcReloadList, 0);
        Saved = true;
        done(mrOk);
    });
}
